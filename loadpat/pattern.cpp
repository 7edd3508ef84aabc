// Dump cells, their centroids and the scatter of dumps about them.
#include <cmath>

#include "loadpat/loadpat.hpp"
#include "recio/random.hpp"

namespace loadpat {

bool is_approach(std::string_view word) {
    for (const char* w : {"NO", "WE", "SO", "EA", "NW", "SW", "SE", "NE"})
        if (word == w) return true;
    return false;
}

bool on_approach_side(std::string_view a, float b) {
    if (a == "NO") return (b > 270.0f && b <= 360.0f) || (b >= 0.0f && b <= 90.0f);
    if (a == "WE") return b > 180.0f && b <= 360.0f;
    if (a == "SO") return b > 90.0f && b <= 270.0f;
    if (a == "EA") return b >= 0.0f && b < 180.0f;
    if (a == "NW") return (b > 225.0f && b <= 360.0f) || (b >= 0.0f && b <= 45.0f);
    if (a == "SW") return b > 135.0f && b <= 315.0f;
    if (a == "SE") return b >= 45.0f && b < 225.0f;
    if (a == "NE") return (b >= 315.0f && b <= 360.0f) || (b >= 0.0f && b <= 135.0f);
    return false;
}

namespace {

// Integer part of extent / cell size, held to a count that cannot overflow.
std::int32_t cell_count(std::int32_t extent, float cell) {
    float q = static_cast<float>(extent) / cell;
    if (!(q >= 1.0f)) return 0;
    if (q >= 1.0e9f) return 1000000000;
    return static_cast<std::int32_t>(q);
}

}  // namespace

CellLayout cell_layout(const gridlib::SiteSummary& summary, float rotation, float dxc, float dyc) {
    CellLayout c;
    c.dxc = dxc;
    c.dyc = dyc;
    c.columns = cell_count(summary.we_extent, dxc);
    c.rows = cell_count(summary.ns_extent, dyc);
    suitefiles::Rotation rot = suitefiles::rotation_of(rotation, 1, 0.0f);
    c.sinr = rot.sinr;
    c.cosr = rot.cosr;
    c.e0 = summary.corners.nw_e + (dyc / 2.0f) * c.sinr + (dxc / 2.0f) * c.cosr;
    c.n0 = summary.corners.nw_n + (dxc / 2.0f) * c.sinr - (dyc / 2.0f) * c.cosr;
    return c;
}

std::vector<suitefiles::Position> dump_list(const CellLayout& c, std::int16_t loads_per_cell) {
    std::vector<suitefiles::Position> list;
    for (std::int16_t pass = 1; pass <= loads_per_cell; ++pass) {
        for (std::int32_t j = 1; j <= c.rows; ++j) {
            for (std::int32_t i = 1; i <= c.columns; ++i) {
                float xi = static_cast<float>(i - 1) * c.dxc;
                float yj = static_cast<float>(j - 1) * c.dyc;
                suitefiles::Position p;
                p.e = c.e0 + xi * c.cosr + yj * c.sinr;
                p.n = c.n0 + xi * c.sinr - yj * c.cosr;
                list.push_back(p);
            }
        }
    }
    return list;
}

std::vector<suitefiles::Position> place_dumps(const std::vector<suitefiles::Position>& list,
                                              std::int16_t control, std::string_view approach,
                                              float radius, std::uint32_t seed) {
    if (control != RANDOM_ABOUT_CENTROIDS) return list;
    recio::UniformRandom random(seed);
    auto draw = [&random] { return random.next(); };
    std::vector<suitefiles::Position> dumps;
    dumps.reserve(list.size());
    for (const suitefiles::Position& centroid : list)
        dumps.push_back(scatter_dump(centroid, approach, radius, draw));
    return dumps;
}

}  // namespace loadpat
