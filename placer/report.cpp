// The placement summary report.
#include "placer/report.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace placer {

void LateralList::test(std::int16_t dump_in_week, float e, float n, float centre_e, float centre_n,
                       std::int32_t we_extent, std::int32_t ns_extent, std::int16_t tolerance,
                       const Scale& sc) {
    const float dx = std::fabs(centre_e - e) * sc.lon_factor * sc.feet_per_unit;
    const float dy = std::fabs(centre_n - n) * sc.feet_per_unit;
    const auto hx = static_cast<float>(std::abs(we_extent / 2 - tolerance));
    const auto hy = static_cast<float>(std::abs(ns_extent / 2 - tolerance));
    if (!(hx < dx || hy < dy)) return;
    // Whole feet beyond the tolerance line; a position as far as a 32-bit
    // count cannot hold (a request far off the site) is held at its end.
    const float far = std::max(dx - hx, dy - hy);
    const std::int32_t beyond = far < 2147483520.0f ? static_cast<std::int32_t>(far) : INT32_MAX;
    if (entries.size() < CAPACITY)
        entries.emplace_back(dump_in_week, beyond);
    else
        entries.back() = {dump_in_week, beyond};
    any_outside = true;
}

// The report of a run is written beside the report of the previous one and
// takes its place only when complete: a run that stops leaves the earlier
// report as it was.
bool PlacementReport::open(const std::string& path) {
    return out_.open(path);
}

void PlacementReport::header(const DumpControl& c) {
    suitefiles::ActivityHeader h;
    h.site = c.site;
    h.material = c.material;
    h.total_amount = c.total_amount;
    h.equipment = c.equipment;
    h.technique = c.technique;
    h.start_month = c.start_month;
    h.start_year = c.start_year;
    h.end_month = c.end_month;
    h.end_year = c.end_year;
    h.loads = c.loads;
    out_.header(h);
}

void PlacementReport::load_line(std::int16_t remaining, float volume, float e, float n,
                                bool refused) {
    out_.load_line(remaining, volume, e, n, refused);
}

void PlacementReport::navigable_page(const SiteFrame& site, const std::vector<float>& depth,
                                     std::int16_t navigable) {
    out_.page_head();
    out_.navigable_title(navigable);
    // The integer part of the depth at most the navigable depth.
    auto exceeded = [&](std::int32_t i) {
        return std::trunc(depth[static_cast<std::size_t>(i - 1)]) <= static_cast<float>(navigable);
    };
    bool any = false;
    for (std::int32_t i = 1; i <= site.total_points && !any; ++i) any = exceeded(i);
    if (!any) {
        out_.navigable_none();
        return;
    }
    out_.navigable_columns();
    const suitefiles::Rotation pf = point_frame(site);
    for (std::int32_t i = 1; i <= site.total_points; ++i)
        if (exceeded(i)) {
            suitefiles::Position p = point_position(site, pf, i);
            out_.navigable_point(p.e, p.n, depth[static_cast<std::size_t>(i - 1)]);
        }
}

void PlacementReport::lateral_page(const LateralList& list, std::int16_t tolerance) {
    out_.page_head();
    out_.lateral_title(tolerance);
    if (!list.any_outside) {
        out_.lateral_none();
        return;
    }
    out_.lateral_columns();
    for (const auto& entry : list.entries) out_.lateral_entry(entry.first, entry.second);
}

bool write_run_length(const std::string& path, std::int16_t hours) {
    return suitefiles::write_run_length(path, hours);
}

}  // namespace placer
