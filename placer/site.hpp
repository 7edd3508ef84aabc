// The site as the placement routines see it: the lattice of grid points, the
// coordinates of a point, the scale between site units and feet, and the
// 210 x 210 work array shared by the fate grid, the deposit grid, the
// long-term grid and the avalanching.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "suitefiles/geometry.hpp"

namespace placer {

constexpr float DEG_TO_RAD = suitefiles::PLACEMENT_DEG_TO_RAD;
constexpr float FEET_PER_DEGREE = suitefiles::FEET_PER_DEGREE;
constexpr int WORK_DIM = 210;  // storage per axis of the work array

// A work array of reals, at least 210 x 210, element (i, j) 1-based, i the
// first index. A site may have more than 210 points along a row (a 250 x 100
// site holds 25000 points): the array then grows to hold it.
struct WorkGrid {
    int dim_i = WORK_DIM, dim_j = WORK_DIM;
    std::vector<float> v = std::vector<float>(WORK_DIM * WORK_DIM, 0.0f);
    float& at(int i, int j) { return v[static_cast<std::size_t>((i - 1) * dim_j + (j - 1))]; }
    float at(int i, int j) const { return v[static_cast<std::size_t>((i - 1) * dim_j + (j - 1))]; }
    float* row(int i) { return &v[static_cast<std::size_t>((i - 1) * dim_j)]; }
    void clear() { std::fill(v.begin(), v.end(), 0.0f); }
    // Makes room for `rows` x `cols` elements (contents cleared when it grows).
    void hold(int rows, int cols) {
        if (rows <= dim_i && cols <= dim_j) return;
        dim_i = std::max(dim_i, rows);
        dim_j = std::max(dim_j, cols);
        v.assign(static_cast<std::size_t>(dim_i) * static_cast<std::size_t>(dim_j), 0.0f);
    }
};

// The lattice of a site and where it lies. Points are numbered row by row
// from the north-west corner; the corner is the site north-west corner of
// the summary file, in the site's coordinate system, and the point count and
// spacing are the summary file's.
using SiteFrame = suitefiles::SiteGeometry;

// Site units to feet: 1 for easting/northing; 364800 feet per degree for
// longitude/latitude, longitude differences further multiplied by the cosine
// of the corner latitude, and longitudes counted positive to the west.
struct Scale {
    float sign = 1.0f;
    float feet_per_unit = 1.0f;
    float lon_factor = 1.0f;
};
Scale scale_of(const SiteFrame& site);

// Rotation terms of the point formulas: sine and cosine of the rotation
// (x 0.017453333) and, for longitude/latitude sites, the longitude factor
// F = cos(latitude of the corner x 3.1416/180).
inline suitefiles::Rotation point_frame(const SiteFrame& site) {
    return suitefiles::placement_rotation_of(site);
}

// Coordinates of point i (1-based), as the placement routines form them.
inline suitefiles::Position point_position(const SiteFrame& site, const suitefiles::Rotation& pf,
                                           std::int32_t i) {
    return suitefiles::placer_position(site, pf, i);
}

// 1-based row of point k: k / npr, plus 1 when the division is not exact.
inline std::int32_t row_of(std::int32_t k, std::int16_t npr) {
    return k / npr + (k % npr != 0 ? 1 : 0);
}

}  // namespace placer
