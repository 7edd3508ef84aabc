// The resampled grid file and WAVREC.OUT.
#include <algorithm>
#include <cmath>
#include <string>

#include "dredge/driver.hpp"
#include "dredge/errors.hpp"
#include "suitefiles/tns.hpp"
#include "suitefiles/wavrec.hpp"

namespace dredge {

namespace {

// Bound of the cell size and of the depths of a resampled grid file (ft).
constexpr float kMaxLength = 1.0e5f;

}  // namespace

StartGrid read_start_grid(const std::string& path, Grid& depth) {
    recio::RecordReader in(path);
    if (!in.is_open()) throw RunError("COULD NOT OPEN THE GRID FILE " + path);
    // The records before the end marker must hold every depth of the grid:
    // a short record would otherwise read as zeros, the marker as depths.
    // They must hold no more either: the file of a larger grid, read row
    // by row into a smaller one, would shift every row into the next.
    const std::size_t values = suitefiles::count_tns_depths(in);
    if (values != depth.v.size())
        throw RunError(path + " HOLDS " + std::to_string(values) + " DEPTHS; A " +
                       std::to_string(depth.nx) + " X " + std::to_string(depth.ny) +
                       " GRID NEEDS " + std::to_string(depth.v.size()));
    const suitefiles::TnsHeader h = suitefiles::read_tns(in, depth.v.data(), depth.v.size());
    StartGrid g;
    g.dx = h.spacing;
    g.title = h.title;
    // A cell size or depth that its F5.1 or F8.3 field cannot hold without
    // an exponent is no grid a grid writer made, and would overflow the
    // volumes and moments of the mound.
    if (!(g.dx > 0.0f && g.dx < kMaxLength))
        throw RunError(path +
                       ", RECORD 1, COLUMNS 11-15: THE CELL SIZE MUST BE ABOVE 0 AND BELOW " +
                       number_text(kMaxLength) + " FT, NOT " + number_text(g.dx));
    for (std::size_t k = 0; k < depth.v.size(); ++k) {
        if (std::fabs(depth.v[k]) < kMaxLength) continue;
        throw RunError(path + ", RECORD " + std::to_string(3 + k / 26) + ", FIELD " +
                       std::to_string(1 + k % 26) + ": THE DEPTH " + number_text(depth.v[k]) +
                       " FT LIES OUTSIDE -" + number_text(kMaxLength) + " TO " +
                       number_text(kMaxLength) + " FT");
    }
    return g;
}

void WaveSeries::open(const std::string& path, std::int32_t n0) {
    path_ = path;
    if (!in_.open(path)) throw RunError("COULD NOT OPEN " + path);
    if (!suitefiles::skip_to_wave_step(in_, 0))
        throw RunError(path + " ENDS IN ITS NINE HEADER RECORDS");
    if (n0 > 1 && !in_.skip(n0 - 1))
        throw RunError(path + " HAS FEWER THAN " + std::to_string(n0 - 1) +
                       " WAVE RECORDS BEFORE STEP N0 = " + std::to_string(n0));
}

void WaveSeries::next(std::int32_t step, float& height, float& period) {
    if (!suitefiles::read_wave_height_period(in_, height, period))
        throw RunError(path_ + " HAS NO WAVE RECORD FOR STEP N = " + std::to_string(step));
    if (!fits_field(height, 12, 5))
        throw RunError(beyond_field(path_, in_.record_number(), 1, "WAVE HEIGHT", height, 12, 5));
    if (!fits_field(period, 12, 5))
        throw RunError(beyond_field(path_, in_.record_number(), 2, "WAVE PERIOD", period, 12, 5));
    height = std::max(height * 3.28f, 1.0f);
    period = std::max(period, 3.0f);
}

}  // namespace dredge
