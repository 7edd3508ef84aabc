#include "placer/site.hpp"

#include <cmath>

namespace placer {

Scale scale_of(const SiteFrame& site) {
    Scale s;
    if (site.coord_system == 2) {
        s.sign = -1.0f;
        s.feet_per_unit = FEET_PER_DEGREE;
        s.lon_factor = std::cos(gridlib::radians(site.nw_n));
    }
    return s;
}

PointFrame point_frame(const SiteFrame& site) {
    PointFrame pf;
    pf.sinr = std::sin(site.rotation * DEG_TO_RAD);
    pf.cosr = std::cos(site.rotation * DEG_TO_RAD);
    if (site.coord_system == 2) pf.f = std::cos(site.nw_n * 3.1416f / 180.0f);
    return pf;
}

gridlib::Position point_position(const SiteFrame& site, const PointFrame& pf, std::int32_t i) {
    const auto r =
        static_cast<std::int32_t>(static_cast<float>(i) / (static_cast<float>(site.npr) + 0.001f));
    const auto a = static_cast<float>((i - (r * site.npr + 1)) * site.spacing);
    const auto b = static_cast<float>(r * site.spacing);
    gridlib::Position p;
    if (site.coord_system == 2) {
        p.e = site.nw_e - (pf.sinr * b + pf.cosr * a) / (pf.f * FEET_PER_DEGREE);
        p.n = site.nw_n - (pf.cosr * b - pf.sinr * a) / FEET_PER_DEGREE;
    } else {
        p.e = pf.sinr * b + pf.cosr * a + site.nw_e;
        p.n = pf.sinr * a + (site.nw_n - pf.cosr * b);
    }
    return p;
}

}  // namespace placer
