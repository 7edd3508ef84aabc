#include "results/frame.hpp"

#include <cmath>

namespace results {

Frame make_frame(int coord_system, double nw_e, double nw_n, double rotation_deg) {
    Frame f;
    f.coord_system = coord_system;
    f.nw_e = nw_e;
    f.nw_n = nw_n;
    f.rotation_deg = rotation_deg;
    f.sinr = std::sin(suite_radians(rotation_deg));
    f.cosr = std::cos(suite_radians(rotation_deg));
    f.cl = coord_system == 2 ? std::cos(suite_radians(nw_n)) : 1.0;
    return f;
}

XY to_map(const Frame& f, double xl, double yl) {
    const double de = xl * f.cosr + yl * f.sinr;  // feet east of the NW corner
    const double dn = xl * f.sinr - yl * f.cosr;  // feet north of the NW corner
    if (f.geographic())
        return {-f.nw_e + de / (f.cl * FEET_PER_DEGREE), f.nw_n + dn / FEET_PER_DEGREE};
    return {f.nw_e + de, f.nw_n + dn};
}

XY to_local(const Frame& f, double x, double y) {
    double de, dn;
    if (f.geographic()) {
        de = (x + f.nw_e) * f.cl * FEET_PER_DEGREE;
        dn = (y - f.nw_n) * FEET_PER_DEGREE;
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
    if (f.geographic()) return {1.0 / (f.cl * FEET_PER_DEGREE), 1.0 / FEET_PER_DEGREE};
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

LatticeSize lattice_size(int we, int ns) {
    if (we < 202 && ns < 202) return {we, ns};
    if (we == ns) return {201, 201};
    if (we > ns) return {201, ns * 201 / we};
    return {we * 201 / ns, 201};
}

}  // namespace results
