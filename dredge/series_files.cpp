// The resampled grid file, WAVREC.OUT and PLOTBATH.DAT.
#include <algorithm>
#include <string>

#include "dredge/driver.hpp"
#include "dredge/errors.hpp"

namespace dredge {

StartGrid read_start_grid(const std::string& path, Grid& depth) {
    recio::RecordReader in(path);
    if (!in.is_open()) throw RunError("COULD NOT OPEN THE GRID FILE " + path);
    StartGrid g;
    in.need("(10X,F5.1)", g.dx);
    in.need("(A50)", g.title);
    in.need("(26F8.3)", recio::array(depth.v.data(), depth.v.size()));
    if (!(g.dx > 0.0f)) throw RunError(path + ": THE CELL SIZE MUST BE POSITIVE, NOT " + std::to_string(g.dx));
    return g;
}

void WaveSeries::open(const std::string& path, std::int32_t n0) {
    path_ = path;
    if (!in_.open(path)) throw RunError("COULD NOT OPEN " + path);
    if (!in_.skip(9)) throw RunError(path + " ENDS IN ITS NINE HEADER RECORDS");
    if (n0 > 1 && !in_.skip(n0 - 1))
        throw RunError(path + " HAS FEWER THAN " + std::to_string(n0 - 1) + " WAVE RECORDS BEFORE STEP N0 = " +
                         std::to_string(n0));
}

void WaveSeries::next(std::int32_t step, float& height, float& period) {
    if (!in_.read("(14X,2F12.5)", height, period))
        throw RunError(path_ + " HAS NO WAVE RECORD FOR STEP N = " + std::to_string(step));
    height = std::max(height * 3.28f, 1.0f);
    period = std::max(period, 3.0f);
}

void PlotBath::open(const std::string& path) {
    if (!out_.open(path)) throw RunError("COULD NOT WRITE " + path);
}

void PlotBath::header(float grain, float n, float dx, float dy) {
    out_.write("(' TIME =   00 HR ',4F10.5)", grain, n, dx, dy);
}

void PlotBath::grid(const Grid& depth) { out_.write("(26F8.3)", recio::array(depth.v.data(), depth.v.size())); }

void PlotBath::elapsed(std::int32_t hours) { out_.write("(5X,'ELAPSED TIME = ',I10,' HOURS')", hours); }

void PlotBath::end_marker() { out_.write("(20X,'      9999')"); }

bool PlotBath::close() { return !out_.is_open() || out_.close(); }

}  // namespace dredge
