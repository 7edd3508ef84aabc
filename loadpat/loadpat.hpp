// Dump-pattern generator: the dump locations of a disposal activity laid out
// over a site's lattice of dump cells, at the cell centroids or scattered
// about them with a bias set by the vessel's approach direction.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gridlib/sitegrid.hpp"

namespace loadpat {

constexpr std::int64_t MAX_DUMPS = 4000;

// The eight approach directions: "NO", "WE", "SO", "EA", "NW", "SW", "SE", "NE".
bool is_approach(std::string_view word);
// True when a bearing (degrees clockwise from north, 0 to 360) lies in the
// half-circle of full-radius bearings of the approach direction.
bool on_approach_side(std::string_view approach, float bearing);

// The lattice of dump cells over a site.
struct CellLayout {
    std::int32_t columns = 0;  // NC, west to east
    std::int32_t rows = 0;     // NR, north to south
    float dxc = 0, dyc = 0;    // cell width and height, feet
    float sinr = 0, cosr = 1;  // of the grid rotation
    float e0 = 0, n0 = 0;      // centroid of the NW cell
};
CellLayout cell_layout(const gridlib::SiteSummary& summary, float rotation, float dxc, float dyc);

// The dump list: for each load pass, the cell centroids row by row (north to
// south), west to east within a row.
std::vector<suitefiles::Position> dump_list(const CellLayout& cells, std::int16_t loads_per_cell);

// One dump scattered about its cell centroid. `draw` returns uniform reals
// on [0, 1): r = u1 x R x 1.1 and a bearing u2 x 360. On the approach side
// the dump goes out to r at full radius, moved out toward the rim when it
// falls within 0.4 R; on the far side a new bearing u3 x 360 is drawn and
// the distance halved.
template <class Draw>
suitefiles::Position scatter_dump(suitefiles::Position centroid, std::string_view approach,
                                  float radius, Draw&& draw) {
    float r = draw() * radius * 1.1f;
    float bearing = draw() * 360.0f;
    float factor = 1.0f;
    if (on_approach_side(approach, bearing)) {
        if (r / radius < 0.4f) r = (1.0f - r / radius) * radius;
    } else {
        bearing = draw() * 360.0f;
        factor = 0.5f;
    }
    float b = suitefiles::radians(bearing);
    suitefiles::Position p;
    p.n = centroid.n + std::cos(b) * r * factor;
    p.e = centroid.e + std::sin(b) * r * factor;
    return p;
}

enum : std::int16_t { AT_CENTROIDS = 0, RANDOM_ABOUT_CENTROIDS = 1 };

// The dumps in list order: the centroids themselves (control 0), or each
// scattered about its centroid with the generator seeded once (control 1).
std::vector<suitefiles::Position> place_dumps(const std::vector<suitefiles::Position>& list,
                                              std::int16_t control, std::string_view approach,
                                              float radius, std::uint32_t seed);

// The whole run: the questions at the console, the site headers, the dump
// file. The generator is seeded from the clock's seconds unless a seed is
// given. Returns the exit status.
int run_loadpat(std::optional<std::uint32_t> seed = std::nullopt);

}  // namespace loadpat
