#include "suitefiles/geometry.hpp"

#include <algorithm>
#include <cmath>

namespace suitefiles {

Rotation rotation_of(float rotation_deg, std::int16_t coord_system, float nw_latitude) {
    Rotation r;
    const float angle = radians(rotation_deg);
    r.sinr = std::sin(angle);
    r.cosr = std::cos(angle);
    if (coord_system == 2) r.cl = std::cos(radians(nw_latitude));
    return r;
}

Rotation placement_rotation_of(const SiteGeometry& site) {
    Rotation r;
    r.sinr = std::sin(site.rotation * PLACEMENT_DEG_TO_RAD);
    r.cosr = std::cos(site.rotation * PLACEMENT_DEG_TO_RAD);
    if (site.geographic()) r.cl = std::cos(radians(site.nw_n));
    return r;
}

LatticeSize lattice_size(int points_we, int points_ns) {
    LatticeSize s{points_we, points_ns};
    if (points_we < 202 && points_ns < 202) return s;
    if (points_we == points_ns) {
        s.nx = s.ny = 201;
    } else if (points_we > points_ns) {
        s.nx = 201;
        s.ny = points_ns * 201 / points_we;
    } else {
        s.ny = 201;
        s.nx = points_we * 201 / points_ns;
    }
    s.nx = std::max(s.nx, 2);
    s.ny = std::max(s.ny, 2);
    return s;
}

}  // namespace suitefiles
