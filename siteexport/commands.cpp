#include "siteexport/commands.hpp"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "recio/format.hpp"
#include "recio/records.hpp"
#include "results/errors.hpp"
#include "results/mound.hpp"
#include "results/options.hpp"
#include "results/site.hpp"
#include "siteexport/export.hpp"
#include "suitefiles/dump_ini.hpp"

namespace siteexport {
namespace {

using results::InputError;
using results::Options;

const char* const USAGE =
    "USAGE:\n"
    "  siteexport geotiff GRID.IN -o GRID.tif [--crs EPSG:NNNN]\n"
    "  siteexport diff BEFORE.IN AFTER.IN -o THICKNESS.tif [--crs EPSG:NNNN]\n"
    "  siteexport netcdf OUT.HIS|PLOTBATH.DAT --site GRID.IN -o MOUND.nc [--crs EPSG:NNNN] "
    "[--start-date YYYY-MM-DD]\n"
    "                    [--datum NAME]\n"
    "OPTIONS:\n"
    "  -o FILE             file to write\n"
    "  --crs TEXT          coordinate reference system of the site coordinates (EPSG code, WKT or "
    "PROJ text);\n"
    "                      a geographic site without one is written as WGS 84 (EPSG:4326)\n"
    "  --summary FILE      site summary file (default: the .OUT beside the grid file; - for none)\n"
    "  --pcd FILE          long-term control file giving the start of the run (default: PCD.INI "
    "beside PLOTBATH.DAT)\n"
    "  --start-date DATE   calendar date of hour 0 of the simulated period (default: the first\n"
    "                      day of the start month in DUMP.INI beside PLOTBATH.DAT, else "
    "2000-01-01)\n"
    "  --datum NAME        vertical datum of the site depths, e.g. MLLW or MSL (named in the "
    "depth's\n"
    "                      long_name; MSL also gives it its CF standard name)\n"
    "  --force             write even over a file of the suite (a site's .IN, .OUT, .DAT, .TNS,\n"
    "                      .ACT, .TIM, a control or series file) or over a file read\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string output(const Options& o) {
    if (!o.has("output")) throw UsageError("NO OUTPUT FILE: GIVE -o FILE");
    const std::string path = o.get("output");
    results::check_output_file(o, path);
    return path;
}

void need_positional(const Options& o, std::size_t n) {
    if (o.positional.size() != n) throw UsageError("WRONG NUMBER OF FILES");
}

void print_notes(const std::vector<std::string>& notes, std::ostream& out) {
    for (const std::string& n : notes) out << " NOTE: " << n << "\n";
}

std::string file_name(const std::string& p) {
    return std::filesystem::path(p).filename().string();
}

// Writes through a temporary file beside the target and renames it into
// place, so that a failed export leaves no half-written file.
template <class Write>
void written_atomically(const std::string& path, Write write, std::ostream& out) {
    const std::string temp = path + ".part";
    try {
        write(temp);
    } catch (...) {
        std::remove(temp.c_str());
        throw;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::remove(temp.c_str());
        throw InputError("CANNOT WRITE " + path + ": " + ec.message());
    }
    out << " FILE WRITTEN: " << path << "\n";
}

std::string rotation_text(float deg) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", static_cast<double>(deg));
    return buf;
}

std::map<std::string, std::string> site_metadata(const results::Site& s) {
    const gridlib::SiteGrid& g = s.grid;
    return {{"SITE_GRID_FILE", file_name(s.grid_file)},
            {"SITE_POINTS_WE", std::to_string(g.points_we)},
            {"SITE_POINTS_NS", std::to_string(g.points_ns)},
            {"SITE_INTERVAL_FT", std::to_string(g.interval)},
            {"SITE_ROTATION_DEG", rotation_text(g.rotation)},
            {"SITE_COORDINATE_SYSTEM",
             s.frame.geographic() ? "2 (LONGITUDE EAST POSITIVE, LATITUDE)" : "1 (FEET)"}};
}

int geotiff(const Options& o, std::ostream& out) {
    need_positional(o, 1);
    const std::string path = output(o);
    const results::Site site = results::load_site(o.positional[0], o.get("summary"));
    print_notes(site.notes, out);
    const Crs crs = resolve_crs(o.get("crs"), site.frame);
    print_notes(crs.notes, out);
    std::map<std::string, std::string> md = site_metadata(site);
    md["VALUES"] = "DEPTH IN FEET, POSITIVE DOWN";
    written_atomically(
        path,
        [&](const std::string& t) {
            write_geotiff(t, site.frame, site.depths, crs, "depth (ft, positive down)", md);
        },
        out);
    return 0;
}

int difference(const Options& o, std::ostream& out) {
    need_positional(o, 2);
    const std::string path = output(o);
    const results::Site before = results::load_site(o.positional[0], o.get("summary"));
    const results::Site after = results::load_site(o.positional[1], o.get("summary"));
    print_notes(before.notes, out);
    const results::Raster d = results::grid_difference(before, after);
    const Crs crs = resolve_crs(o.get("crs"), before.frame);
    print_notes(crs.notes, out);
    std::map<std::string, std::string> md = site_metadata(before);
    md["VALUES"] = "DEPTH OF " + file_name(before.grid_file) + " MINUS DEPTH OF " +
                   file_name(after.grid_file) +
                   ", FEET: THICKNESS OF NEW MATERIAL (NEGATIVE WHERE ERODED)";
    written_atomically(
        path,
        [&](const std::string& t) {
            write_geotiff(t, before.frame, d, crs, "thickness (ft, deposit positive)", md);
        },
        out);
    return 0;
}

// The date of hour 0 of the simulated period: --start-date, else the start
// month and year of the activity in DUMP.INI beside the series file (the
// file gives no day: the first of the month is taken), else 2000-01-01,
// said to stand in.
void activity_start(const Options& o, std::ostream& out, NetcdfOptions& no) {
    if (o.has("start-date")) {
        no.start_date = o.get("start-date");
        no.start_source = "the start date given with --start-date";
        return;
    }
    const std::filesystem::path ini =
        std::filesystem::path(o.positional[0]).parent_path() / "DUMP.INI";
    std::error_code ec;
    suitefiles::DumpControl c;
    try {
        if (!std::filesystem::is_regular_file(ini, ec) ||
            !suitefiles::read_dump_ini(ini.string(), c)) {
            print_notes({"NO DUMP.INI BESIDE THE SERIES: TIME COUNTS FROM 2000-01-01, A DATE THAT "
                         "STANDS IN (GIVE --start-date)"},
                        out);
            return;
        }
    } catch (const recio::RecordError& e) {
        throw InputError(std::string(e.what()) + " (GIVE --start-date TO EXPORT WITHOUT IT)");
    }
    if (c.start_month < 1 || c.start_month > 12 || c.start_year < 1000 || c.start_year > 9999)
        throw InputError(ini.string() + " RECORD 12: THE START MONTH " +
                         std::to_string(c.start_month) + " AND YEAR " +
                         std::to_string(c.start_year) +
                         " NAME NO DATE (GIVE --start-date TO EXPORT WITHOUT IT)");
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-01", static_cast<int>(c.start_year),
                  static_cast<int>(c.start_month));
    no.start_date = date;
    no.start_source = "the first day of the start month of the activity in " +
                      file_name(ini.string()) + ", which gives its month and year only";
    print_notes(
        {"TIME COUNTS FROM " + no.start_date + ", THE START OF THE ACTIVITY IN " + ini.string()},
        out);
}

int netcdf(const Options& o, std::ostream& out) {
    need_positional(o, 1);
    const std::string path = output(o);
    if (!o.has("site")) throw UsageError("THE GRID SERIES NEEDS ITS SITE: GIVE --site GRID.IN");
    const results::Site site = results::load_site(o.get("site"), o.get("summary"));
    print_notes(site.notes, out);
    const results::SiteSeries ss = results::load_site_series(o.positional[0], site, o.get("pcd"));
    if (ss.thickness_form)
        throw InputError(o.positional[0] +
                         " IS OF A COHESIVE PLACEMENT RUN: ITS GRIDS ARE THE MOUND ON A FLAT "
                         "REFERENCE BED, NOT DEPTHS; EXPORT THE SITE'S HISTORY (<OUTPUT>.HIS)");
    print_notes(ss.notes, out);
    const Crs crs = resolve_crs(o.get("crs"), site.frame);
    print_notes(crs.notes, out);
    if (!crs.cf_note.empty()) print_notes({crs.cf_note}, out);
    NetcdfOptions no;
    if (ss.history && !o.has("start-date")) {
        no.start_date = ss.series.grids.front().date;  // the first day of the activity
        no.start_source = "the start of the activity in the site's history";
    } else {
        activity_start(o, out, no);
    }
    no.datum = o.get("datum");
    no.title = "disposal mound on site " + file_name(site.grid_file);
    no.source =
        file_name(o.positional[0]) + (ss.history ? ", the site's history through the placement run"
                                                 : " of the long-term mound model");
    written_atomically(
        path,
        [&](const std::string& t) {
            write_netcdf(t, site.frame, ss.series, ss.we_ft, ss.ns_ft, crs, no);
        },
        out);
    out << " " << ss.series.grids.size() << " GRIDS OF " << ss.series.nx << " x " << ss.series.ny
        << "\n";
    return 0;
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out) {
    const std::string cmd = argc > 1 ? argv[1] : "";
    try {
        if (cmd.empty() || cmd == "help" || cmd == "--help" || cmd == "-h") {
            out << USAGE;
            return cmd.empty() ? 2 : 0;
        }
        Options o;
        try {
            o = results::parse_options(
                argc, argv, 2, {"crs", "summary", "site", "pcd", "start-date", "datum"}, {"force"});
        } catch (const InputError& e) {
            throw UsageError(e.what());
        }
        if (cmd == "geotiff") return geotiff(o, out);
        if (cmd == "diff") return difference(o, out);
        if (cmd == "netcdf") return netcdf(o, out);
        throw UsageError("UNKNOWN COMMAND " + cmd);
    } catch (const UsageError& e) {
        out << " " << e.what() << "\n" << USAGE;
        return 2;
    } catch (const InputError& e) {
        out << " " << e.what() << "\n";
        return 1;
    } catch (const recio::RecordError& e) {
        out << " " << e.what() << "\n";
        return 1;
    }
}

}  // namespace siteexport
