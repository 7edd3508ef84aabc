#include "results/frame.hpp"

#include <cmath>

namespace results {

Frame make_frame(int coord_system, double nw_e, double nw_n, double rotation_deg) {
    Frame f;
    f.coord_system = coord_system;
    f.nw_e = nw_e;
    f.nw_n = nw_n;
    f.rotation_deg = rotation_deg;
    f.sinr = std::sin(suitefiles::radians(rotation_deg));
    f.cosr = std::cos(suitefiles::radians(rotation_deg));
    f.cl = coord_system == 2 ? std::cos(suitefiles::radians(nw_n)) : 1.0;
    return f;
}

XY to_map(const Frame& f, double xl, double yl) {
    const double de = xl * f.cosr + yl * f.sinr;  // feet east of the NW corner
    const double dn = xl * f.sinr - yl * f.cosr;  // feet north of the NW corner
    if (f.geographic())
        return {-f.nw_e + de / (f.cl * suitefiles::FEET_PER_DEGREE_D),
                f.nw_n + dn / suitefiles::FEET_PER_DEGREE_D};
    return {f.nw_e + de, f.nw_n + dn};
}

XY to_local(const Frame& f, double x, double y) {
    double de, dn;
    if (f.geographic()) {
        de = (x + f.nw_e) * f.cl * suitefiles::FEET_PER_DEGREE_D;
        dn = (y - f.nw_n) * suitefiles::FEET_PER_DEGREE_D;
    } else {
        de = x - f.nw_e;
        dn = y - f.nw_n;
    }
    // Inverse of the rotation [cos sin; sin -cos], which is its own inverse
    // up to the determinant -(cos^2 + sin^2).
    const double det = f.cosr * f.cosr + f.sinr * f.sinr;
    return {(de * f.cosr + dn * f.sinr) / det, (de * f.sinr - dn * f.cosr) / det};
}

XY site_to_map(const Frame& f, double e, double n) {
    if (f.geographic()) return {-e, n};
    return {e, n};
}

XY map_units_per_foot(const Frame& f) {
    if (f.geographic())
        return {1.0 / (f.cl * suitefiles::FEET_PER_DEGREE_D), 1.0 / suitefiles::FEET_PER_DEGREE_D};
    return {1.0, 1.0};
}

XY node_map(const Frame& f, const Raster& r, double col, double row) {
    return to_map(f, r.x0 + col * r.dx, r.y0 + row * r.dy);
}

std::array<double, 6> geotransform(const Frame& f, const Raster& r) {
    const XY o = node_map(f, r, 0, 0);
    const XY c = node_map(f, r, 1, 0);
    const XY w = node_map(f, r, 0, 1);
    const double g1 = c.x - o.x, g4 = c.y - o.y;  // one column on
    const double g2 = w.x - o.x, g5 = w.y - o.y;  // one row on
    return {o.x - 0.5 * (g1 + g2), g1, g2, o.y - 0.5 * (g4 + g5), g4, g5};
}

}  // namespace results
