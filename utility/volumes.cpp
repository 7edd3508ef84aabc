// Cut, fill and net volumes of a grid against an elevation or another grid.
#include "utility/utility.hpp"

namespace utility {

Volumes grid_volumes(gridlib::SiteGrid& first, const gridlib::SiteGrid* second, float elevation,
                     bool store_difference) {
    // Every point stands for a full cell of interval x interval square feet,
    // the points on the edges of the site included.
    const double cell = static_cast<double>(first.interval) * static_cast<double>(first.interval);
    double cut = 0.0, fill = 0.0, sum = 0.0;
    for (std::int32_t i = 0; i < first.total_points; ++i) {
        std::size_t p = static_cast<std::size_t>(i);
        float d = second ? first.depth[p] - second->depth[p] : elevation - first.depth[p];
        if (d < 0.0f) cut += cell * static_cast<double>(d);
        if (d > 0.0f) fill += cell * static_cast<double>(d);
        sum += static_cast<double>(d);
        if (store_difference) first.depth[p] = d;
    }
    Volumes v;
    v.cut = cut / 27.0;  // cubic feet to cubic yards
    v.fill = fill / 27.0;
    v.net = v.cut + v.fill;
    v.mean = first.total_points > 0
                 ? static_cast<float>(sum / static_cast<double>(first.total_points))
                 : 0.0f;
    return v;
}

}  // namespace utility
