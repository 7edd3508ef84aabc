// Whether a site's values fit the fixed fields of its files. A value that
// does not fit is written as asterisks, which no reader can take back, so a
// site holding one is refused before any of its files is touched.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <type_traits>

#include "gridlib/layout.hpp"
#include "gridlib/sitegrid.hpp"
#include "recio/format.hpp"

namespace gridlib {
namespace {

template <class T>
bool fits(const char* format, T value) {
    return recio::fits_field(format, value);
}

std::string shown(float value, const char* how = "%.4f") {
    char text[48];
    std::snprintf(text, sizeof text, how, static_cast<double>(value));
    std::string s = text;
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
std::string shown(std::int64_t value) {
    return std::to_string(value);
}

struct Check {
    std::string fault;
    std::string file;  // "THE GRID FILE", "THE SUMMARY FILE" ...

    template <class T>
    void field(const char* what, T value, const char* format, const char* edit,
               const char* how = "%.4f") {
        if (!fault.empty() || fits(format, value)) return;
        std::string v;
        if constexpr (std::is_floating_point_v<T>)
            v = shown(value, how);
        else
            v = shown(static_cast<std::int64_t>(value));
        fault = what + std::string(" ") + v + " DOES NOT FIT " + file + " (" + edit + ")";
    }
};

}  // namespace

bool fits_depth_field(float value) {
    return fits("(F8.3)", value);
}

std::string grid_fault(const SiteGrid& g) {
    const std::string header = layout::header_fault(g, "");
    if (!header.empty()) return header;
    Check c{{}, "THE GRID FILE"};
    c.field("THE TOTAL OF POINTS", g.total_points, "(I5)", "I5");
    c.field("THE NUMBER OF POINTS N-S", g.points_ns, "(I3)", "I3");
    c.field("THE NUMBER OF POINTS W-E", g.points_we, "(I3)", "I3");
    c.field("THE INTERVAL", g.interval, "(I4)", "I4");
    c.field("THE ROTATION", g.rotation, "(F5.1)", "F5.1", "%.1f");
    c.field("THE COORDINATE SYSTEM", g.coord_system, "(I3)", "I3");
    c.field("THE LOCAL NW CORNER EASTING", g.local_nw_e, "(F12.4)", "F12.4");
    c.field("THE LOCAL NW CORNER NORTHING", g.local_nw_n, "(F12.4)", "F12.4");
    if (!c.fault.empty()) return c.fault;
    for (std::int32_t i = 0; i < g.total_points; ++i) {
        const float d = g.depth[static_cast<std::size_t>(i)];
        if (!fits_depth_field(d))
            return "THE DEPTH " + shown(d, "%g") + " FT OF POINT " + std::to_string(i + 1) +
                   " DOES NOT FIT THE GRID FILE (-999.999 TO 9999.999 FT)";
    }
    c.field("THE LONG-TERM DATUM", g.datum, "(F8.3)", "F8.3");
    return c.fault;
}

std::string resampled_spacing_fault(const SiteGrid& g) {
    if (!layout::header_fault(g, "").empty()) return {};
    Check c{{}, "THE RESAMPLED GRID FILE"};
    c.field("THE NODE SPACING OF", layout::resampled_lattice(g).sp, "(F5.1)",
            "F5.1, AT MOST 999.9 FT", "%.1f");
    return c.fault;
}

std::string summary_fault(const SiteGrid& g, const SiteSummary& s, std::int8_t new_site) {
    const std::string header = layout::header_fault(g, "");
    if (!header.empty()) return header;
    Check c{{}, "THE SUMMARY FILE"};
    if (new_site != 1) {
        c.field("THE NUMBER OF DISPOSAL SEQUENCES SINCE THE LAST ACTIVITY", s.seq_since_last,
                "(I4)", "I4");
        c.field("THE TOTAL NUMBER OF DISPOSAL SEQUENCES", s.total_seq, "(I4)", "I4");
    }
    c.field("THE N-S EXTENT", s.ns_extent, "(I6)", "I6");
    c.field("THE W-E EXTENT", s.we_extent, "(I6)", "I6");
    // Extent per point x 2 x ratio: a few points over a long extent overflow it.
    const std::int64_t scale = layout::lineal_scale(g, s, layout::page_shape(g));
    c.field("THE LINEAL SCALE (FEET PER INCH)", scale, "(I5)", "I5");
    if (c.fault.empty() && scale > INT16_MAX)
        c.fault = "THE LINEAL SCALE (FEET PER INCH) " + shown(scale) + " IS TOO LARGE";
    c.field("THE SURVEY INTERVAL", s.survey_interval, "(I4)", "I4");
    c.field("THE PORTRAYAL INTERVAL", s.portrayal_interval, "(I4)", "I4");
    const SiteCorners& k = s.corners;
    const struct {
        const char* what;
        float value;
    } coordinates[] = {
        {"THE NW CORNER EASTING", k.nw_e},  {"THE NW CORNER NORTHING", k.nw_n},
        {"THE NE CORNER EASTING", k.ne_e},  {"THE NE CORNER NORTHING", k.ne_n},
        {"THE SW CORNER EASTING", k.sw_e},  {"THE SW CORNER NORTHING", k.sw_n},
        {"THE SE CORNER EASTING", k.se_e},  {"THE SE CORNER NORTHING", k.se_n},
        {"THE CENTRE EASTING", k.centre_e}, {"THE CENTRE NORTHING", k.centre_n},
    };
    for (const auto& x : coordinates) c.field(x.what, x.value, "(F12.4)", "F12.4");
    return c.fault;
}

GridStored site_storable(const SiteGrid& g, const SiteSummary& s, std::int8_t new_site) {
    std::string fault = grid_fault(g);
    if (fault.empty()) fault = summary_fault(g, s, new_site);
    if (fault.empty()) return {};
    return {false, {"", {"NO GRID WRITTEN: " + fault}}};
}

}  // namespace gridlib
