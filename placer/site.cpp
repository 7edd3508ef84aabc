#include "placer/site.hpp"

#include <cmath>

namespace placer {

Scale scale_of(const SiteFrame& site) {
    Scale s;
    if (site.coord_system == 2) {
        s.sign = -1.0f;
        s.feet_per_unit = FEET_PER_DEGREE;
        s.lon_factor = std::cos(suitefiles::radians(site.nw_n));
    }
    return s;
}

}  // namespace placer
