#include "suitefiles/sitegen_ini.hpp"

#include <algorithm>
#include <cmath>

#include "recio/format.hpp"
#include "suitefiles/name_rules.hpp"
#include "suitefiles/record_list.hpp"

namespace suitefiles {

namespace {

using recio::fixed_text;
using recio::padded;

constexpr const char* FILE_NAME = "SITEGEN.INI";

template <class... A>
void add(std::vector<std::string>& records, const char* format, const A&... values) {
    for (std::string& r : recio::format_records(format, values...)) records.push_back(std::move(r));
}

// A value as a field of `format` writes it, without the leading blanks.
template <class T>
std::string shown(const char* format, T value) {
    std::string text = recio::format_records(format, value)[0];
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

std::string trimmed(const std::string& s) {
    const std::size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string{} : s.substr(0, end + 1);
}

FieldFault fault(long record, int first, int last, const char* field, std::string value,
                 std::string problem) {
    return {FILE_NAME, record, first, last, field, std::move(value), std::move(problem)};
}

// A corner given in the file against where the site's geometry puts it.
void check_corner(std::vector<FieldFault>& out, long record, int first, const char* name,
                  float given_e, float given_n, float want_e, float want_n, float tolerance) {
    if (std::fabs(given_e - want_e) <= tolerance && std::fabs(given_n - want_n) <= tolerance)
        return;
    const std::string want = shown("(F13.4)", want_e) + " " + shown("(F13.4)", want_n);
    out.push_back(fault(record, first, first + 25, name,
                        shown("(F13.4)", given_e) + " " + shown("(F13.4)", given_n),
                        std::string("DOES NOT FIT THE NW CORNER, ROTATION, POINTS AND INTERVAL; ") +
                            "THEY PUT IT AT " + want + " (WITHIN " + shown("(F13.4)", tolerance) +
                            ")"));
}

}  // namespace

SitegenIni read_sitegen_ini(recio::RecordReader& in) {
    SitegenIni c;
    SiteCorners& k = c.corners;
    // A name longer than its field would be cut short and the site stored
    // under another name, or in another folder.
    const auto whole_name = [&](const char* what, std::size_t width) {
        if (c.too_long.empty() && recio::runs_past(in.last_record(), width)) {
            c.too_long_record = in.record_number();
            c.too_long =
                what + std::string(" IS LONGER THAN ") + std::to_string(width) + " CHARACTERS";
        }
    };
    in.need(SITEGEN_NAME, fixed_text(c.site, 6));
    whole_name("THE SITE NAME", 6);
    in.need(SITEGEN_TITLE, fixed_text(c.title, 60));
    in.need(SITEGEN_PREFIX, fixed_text(c.prefix, 19));
    whole_name("THE DRIVE/DIRECTORY PREFIX", 19);
    in.need(SITEGEN_SYSTEM, c.coord_system, c.rotation);
    in.need(SITEGEN_REALS, c.site_nw_e, c.site_nw_n, c.local_nw_e, c.local_nw_n);
    in.need(SITEGEN_REALS, k.ne_e, k.ne_n, k.sw_e, k.sw_n);
    in.need(SITEGEN_REALS, k.se_e, k.se_n);
    in.need(SITEGEN_INTEGERS, c.we_extent, c.ns_extent);
    in.need(SITEGEN_REALS, k.centre_e, k.centre_n);
    in.need(SITEGEN_INTEGERS, c.points_we, c.points_ns, c.total_points, c.interval,
            c.survey_interval);
    in.need(SITEGEN_INTEGERS, c.mode);
    k.nw_e = c.site_nw_e;
    k.nw_n = c.site_nw_n;
    if (c.mode != SITEGEN_PLANE && c.mode != SITEGEN_SURVEY) return c;  // the checks tell the user
    if (c.mode == SITEGEN_SURVEY) {
        std::array<std::string, 3>& n = c.survey.columns;
        in.need(SITEGEN_SURVEY_FILE, fixed_text(c.survey.file, 32), c.survey.spacing);
        whole_name("THE SURVEY FILE NAME", 32);
        in.need(SITEGEN_SURVEY_COLUMNS, fixed_text(n[0], 8), fixed_text(n[1], 8),
                fixed_text(n[2], 8));
    } else {
        in.need(SITEGEN_REALS, c.nw_depth);
        in.need(SITEGEN_REALS, c.slope_we, c.slope_ns);
    }
    in.need(SITEGEN_INTEGERS, c.sign_option);
    return c;
}

std::vector<std::string> sitegen_ini_records(const SitegenIni& c) {
    const SiteCorners& k = c.corners;
    std::vector<std::string> r;
    // The name, title and prefix records end with their text, as people write them.
    r.push_back(trimmed(c.site.substr(0, std::min<std::size_t>(c.site.size(), 6))));
    r.push_back(trimmed(c.title.substr(0, std::min<std::size_t>(c.title.size(), 60))));
    r.push_back(trimmed(c.prefix.substr(0, std::min<std::size_t>(c.prefix.size(), 19))));
    add(r, SITEGEN_SYSTEM, c.coord_system, c.rotation);
    add(r, SITEGEN_REALS, c.site_nw_e, c.site_nw_n, c.local_nw_e, c.local_nw_n);
    add(r, SITEGEN_REALS, k.ne_e, k.ne_n, k.sw_e, k.sw_n);
    add(r, SITEGEN_REALS, k.se_e, k.se_n);
    add(r, SITEGEN_INTEGERS, c.we_extent, c.ns_extent);
    add(r, SITEGEN_REALS, k.centre_e, k.centre_n);
    add(r, SITEGEN_INTEGERS, c.points_we, c.points_ns, c.total_points, c.interval,
        c.survey_interval);
    add(r, SITEGEN_INTEGERS, c.mode);
    if (c.mode != SITEGEN_PLANE && c.mode != SITEGEN_SURVEY) return r;
    if (c.mode == SITEGEN_SURVEY) {
        add(r, SITEGEN_SURVEY_FILE, padded(c.survey.file, 32), c.survey.spacing);
        add(r, SITEGEN_SURVEY_COLUMNS, padded(c.survey.columns[0], 8),
            padded(c.survey.columns[1], 8), padded(c.survey.columns[2], 8));
    } else {
        add(r, SITEGEN_REALS, c.nw_depth);
        add(r, SITEGEN_REALS, c.slope_we, c.slope_ns);
    }
    add(r, SITEGEN_INTEGERS, c.sign_option);
    return r;
}

bool write_sitegen_ini(const std::string& path, const SitegenIni& c) {
    return write_record_list(path, sitegen_ini_records(c));
}

SiteCorners expected_corners(const SitegenIni& c) {
    SiteGeometry site;
    site.points_we = c.points_we;
    site.points_ns = c.points_ns;
    site.total_points = static_cast<std::int32_t>(c.points_we) * c.points_ns;
    site.interval = c.interval;
    site.rotation = c.rotation;
    site.coord_system = c.coord_system;
    site.nw_e = c.site_nw_e;
    site.nw_n = c.site_nw_n;
    const Rotation rot = rotation_of(c.rotation, c.coord_system, c.site_nw_n);
    const Position ne = grid1_position(site, rot, c.points_we);
    const Position sw = grid1_position(site, rot, site.total_points - c.points_we + 1);
    const Position se = grid1_position(site, rot, site.total_points);
    SiteCorners k;
    k.nw_e = c.site_nw_e;
    k.nw_n = c.site_nw_n;
    k.ne_e = ne.e;
    k.ne_n = ne.n;
    k.sw_e = sw.e;
    k.sw_n = sw.n;
    k.se_e = se.e;
    k.se_n = se.n;
    k.centre_e = (c.site_nw_e + se.e) / 2.0f;
    k.centre_n = (c.site_nw_n + se.n) / 2.0f;
    return k;
}

float corner_tolerance(const SitegenIni& c) {
    // A foot on a plane site; on a geographic one the last decimal the file
    // writes (0.0001 degree, about 36 ft of latitude).
    return c.coord_system == 2 ? 0.0001f : 1.0f;
}

std::vector<FieldFault> sitegen_ini_faults(const SitegenIni& c) {
    std::vector<FieldFault> out;
    if (!c.too_long.empty()) {
        const int width = c.too_long_record == 1 ? 6 : c.too_long_record == 3 ? 19 : 32;
        out.push_back(fault(c.too_long_record, 1, width, "NAME", "", c.too_long));
        return out;
    }
    if (c.site.empty() || c.site[0] == ' ')
        out.push_back(fault(1, 1, 6, "SITE NAME", trimmed(c.site),
                            "NO SITE NAME (IT MUST START IN COLUMN 1)"));
    else if (const std::string why = name_fault(c.site, NameKind::Site); !why.empty())
        out.push_back(fault(1, 1, 6, "SITE NAME", trimmed(c.site),
                            why + " (A SITE NAME IS 1 TO 6 LETTERS, DIGITS OR SIGNS)"));
    if (const std::string why = name_fault(c.prefix, NameKind::Prefix); !why.empty())
        out.push_back(fault(3, 1, 19, "DRIVE/DIRECTORY PREFIX", trimmed(c.prefix), why));
    if (c.coord_system != 1 && c.coord_system != 2)
        out.push_back(fault(4, 1, 2, "COORDINATE SYSTEM", std::to_string(c.coord_system),
                            "THE COORDINATE SYSTEM IS " + std::to_string(c.coord_system) +
                                ", NOT 1 (PLANE) OR 2 (GEOGRAPHIC)"));
    // The grid file holds each count in three columns.
    const std::string counts = std::to_string(c.points_we) + " " + std::to_string(c.points_ns);
    const std::int32_t lattice = static_cast<std::int32_t>(c.points_we) * c.points_ns;
    bool lattice_ok = false;
    if (c.points_we < 1 || c.points_we > 999 || c.points_ns < 1 || c.points_ns > 999)
        out.push_back(fault(10, 1, 14, "POINTS W-E, POINTS N-S", counts,
                            std::to_string(c.points_we) + " POINTS W-E AND " +
                                std::to_string(c.points_ns) +
                                " POINTS N-S: EACH MUST BE 1 TO 999"));
    else if (lattice > MAXPTS)
        out.push_back(fault(10, 1, 14, "POINTS W-E, POINTS N-S", counts,
                            std::to_string(c.points_we) + " x " + std::to_string(c.points_ns) +
                                " POINTS ARE MORE THAN THE " + std::to_string(MAXPTS) +
                                " A SITE CAN HOLD"));
    else if (c.total_points != lattice)
        out.push_back(fault(10, 15, 21, "TOTAL POINTS", std::to_string(c.total_points),
                            "THE TOTAL OF " + std::to_string(c.total_points) + " POINTS IS NOT " +
                                std::to_string(c.points_we) + " x " + std::to_string(c.points_ns) +
                                " = " + std::to_string(lattice)));
    else
        lattice_ok = true;
    const bool interval_ok = c.interval >= 1 && c.interval <= 9999;
    if (!interval_ok)
        out.push_back(
            fault(10, 22, 28, "INTERVAL", std::to_string(c.interval),
                  "THE INTERVAL IS " + std::to_string(c.interval) + " FT, NOT 1 TO 9999"));
    if (c.mode != SITEGEN_PLANE && c.mode != SITEGEN_SURVEY)
        out.push_back(fault(11, 1, 7, "GENERATION MODE", std::to_string(c.mode),
                            "THE GENERATION MODE IS " + std::to_string(c.mode) +
                                ", NOT 1 (SLOPING PLANE) OR 2 (SURVEY FILE)"));
    if (c.mode == SITEGEN_SURVEY)
        if (const std::string why = name_fault(c.survey.file, NameKind::Prefix); !why.empty())
            out.push_back(fault(12, 1, 32, "SURVEY FILE NAME", trimmed(c.survey.file), why));
    if (!lattice_ok || !interval_ok) return out;

    // The extents, corners and centre the lattice and the rotation give.
    const std::int32_t we = (c.points_we - 1) * c.interval, ns = (c.points_ns - 1) * c.interval;
    if (c.we_extent != we)
        out.push_back(fault(8, 1, 7, "W-E EXTENT", std::to_string(c.we_extent),
                            "IS NOT (POINTS W-E - 1) x INTERVAL = " + std::to_string(we) + " FT"));
    if (c.ns_extent != ns)
        out.push_back(fault(8, 8, 14, "N-S EXTENT", std::to_string(c.ns_extent),
                            "IS NOT (POINTS N-S - 1) x INTERVAL = " + std::to_string(ns) + " FT"));
    const SiteCorners want = expected_corners(c);
    const SiteCorners& k = c.corners;
    const float tol = corner_tolerance(c);
    check_corner(out, 6, 1, "NE CORNER (EASTING NORTHING)", k.ne_e, k.ne_n, want.ne_e, want.ne_n,
                 tol);
    check_corner(out, 6, 27, "SW CORNER (EASTING NORTHING)", k.sw_e, k.sw_n, want.sw_e, want.sw_n,
                 tol);
    check_corner(out, 7, 1, "SE CORNER (EASTING NORTHING)", k.se_e, k.se_n, want.se_e, want.se_n,
                 tol);
    check_corner(out, 9, 1, "CENTRE (EASTING NORTHING)", k.centre_e, k.centre_n, want.centre_e,
                 want.centre_n, tol);
    return out;
}

}  // namespace suitefiles
