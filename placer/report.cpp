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
    return out_.open(path, recio::RecordWriter::Mode::Atomic);
}

void PlacementReport::header(const DumpControl& c) {
    out_.write("(1X,'DREDGING   PLACEMENT   SUMMARY   FOR   SITE: ',A6)", recio::padded(c.site, 6));
    out_.write("(/,/,1X,'TYPE OF MATERIAL PLACED AT SITE: ',A22)", recio::padded(c.material, 30));
    out_.write("(1X,'AMOUNT MATERIAL PLACED AT SITE: ',I7)", c.total_amount);
    out_.write("(1X,'EQUIPMENT USED FOR MATERIAL PLACEMENT: ',A6)", recio::padded(c.equipment, 6));
    out_.write("(1X,'PLACEMENT TECHNIQUE: ',A20)", recio::padded(c.technique, 30));
    out_.write("(1X,'DATE OF PLACEMENT COMMENCEMENT: ',I2,',',I4)", c.start_month, c.start_year);
    out_.write("(1X,'DATE OF PLACEMENT CONCLUSSION: ',I2,',',I4)", c.end_month, c.end_year);
    out_.write("(1X,'NUMBER OF LOADS TO PLACE ALL MATERIAL: ',I4)", c.loads);
    out_.write("(/,/,/,1X,'LOAD #',10X,'PER LOAD VOLUME',15X,'LOCATION')");
    out_.write("(1X,40X,'EASTING',5X,'NORTHING',/)");
}

void PlacementReport::load_line(std::int16_t remaining, float volume, float e, float n) {
    out_.write("(1X,2X,I4,14X,F5.0,10X,F12.4,3X,F12.4)", remaining, volume, e, n);
}

void PlacementReport::page_head() {
    out_.write("(A1,1X,'DREDGING PLACEMENT SUMMARY, CONT.',/,/,/)", "\f");
}

void PlacementReport::navigable_page(const SiteFrame& site, const std::vector<float>& depth,
                                     std::int16_t navigable) {
    page_head();
    out_.write("(1X,'LOCATIONS WHERE NAVIGABLE DEPTH HAS BEEN EXCEEDED')");
    out_.write("(/,1X,'NAVIGABLE DEPTH = ',I4,/,/)", navigable);
    // The integer part of the depth at most the navigable depth.
    auto exceeded = [&](std::int32_t i) {
        return std::trunc(depth[static_cast<std::size_t>(i - 1)]) <= static_cast<float>(navigable);
    };
    bool any = false;
    for (std::int32_t i = 1; i <= site.total_points && !any; ++i) any = exceeded(i);
    if (!any) {
        out_.write("(1X,'NAVIGABLE DEPTH HAS NOT BEEN EXCEEDED WITHIN',/,1X,'THE DISPOSAL AREA')");
        return;
    }
    out_.write("(1X,5X,'EASTING',5X,'NORTHING',13X,'ACTUAL DEPTH(ft)',/)");
    const suitefiles::Rotation pf = point_frame(site);
    for (std::int32_t i = 1; i <= site.total_points; ++i)
        if (exceeded(i)) {
            suitefiles::Position p = point_position(site, pf, i);
            out_.write("(1X,F12.4,5X,F12.4,10X,F6.1)", p.e, p.n,
                       depth[static_cast<std::size_t>(i - 1)]);
        }
}

void PlacementReport::lateral_page(const LateralList& list, std::int16_t tolerance) {
    page_head();
    out_.write(
        "(1X,'LOCATIONS WHERE DREDGING PLACEMENTS HAVE',/,1X,"
        "'BEEN DEPOSITED OUTSIDE THE BOUNDARIES LATERAL TOLERANCE')");
    out_.write("(/,1X,'LATERAL BOUNDARY TOLERANCE = ',I4,/,/)", tolerance);
    if (!list.any_outside) {
        out_.write("(1X,'NO DISPOSALS HAVE BEEN PLACED OUTSIDE LATERAL ','BOUNDARY TOLERANCES')");
        return;
    }
    out_.write("(/,/,/,1X,10X,'LOAD #',15X,'DIST. FROM LAT. BOUNDRY(ft)')");
    for (const auto& entry : list.entries)
        out_.write("(1X,11X,I3,40X,I3)", entry.first, entry.second);
}

bool write_run_length(const std::string& path, std::int16_t hours) {
    recio::RecordWriter out(path);
    if (!out.is_open()) return false;
    out.write("(5I7)", hours);
    return out.close();
}

}  // namespace placer
