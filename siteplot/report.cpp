#include "siteplot/report.hpp"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <optional>
#include <regex>
#include <sstream>
#include <utility>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "recio/format.hpp"
#include "recio/records.hpp"
#include "results/errors.hpp"
#include "results/mound.hpp"
#include "results/site.hpp"
#include "siteplot/commands.hpp"
#include "suitefiles/balance.hpp"
#include "suitefiles/dump_ini.hpp"

namespace siteplot {
namespace {

namespace fs = std::filesystem;

std::string escaped(const std::string& s) {
    std::string o;
    for (char c : s) {
        switch (c) {
            case '<':
                o += "&lt;";
                break;
            case '>':
                o += "&gt;";
                break;
            case '&':
                o += "&amp;";
                break;
            case '"':
                o += "&quot;";
                break;
            default:
                o += c;
        }
    }
    return o;
}

std::string trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string base64(const std::string& bytes) {
    static const char* const A = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string o;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        o += {A[v >> 18 & 63], A[v >> 12 & 63], A[v >> 6 & 63], A[v & 63]};
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        o += {A[v >> 18 & 63], A[v >> 12 & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8;
        o += {A[v >> 18 & 63], A[v >> 12 & 63], A[v >> 6 & 63], '='};
    }
    return o;
}

// The files of the run, from its DUMP.INI.
struct Run {
    suitefiles::DumpControl c;
    std::string start_grid, out_grid, act, his, bal, csv;
};

Run find_run() {
    Run r;
    if (!suitefiles::read_dump_ini("DUMP.INI", r.c))
        throw results::InputError(
            "NO DUMP.INI IN THIS FOLDER: RUN siteplot report IN THE FOLDER OF A PLACEMENT RUN");
    auto name = [&](const std::string& stem, const char* ext) {
        return gridlib::site_file_name(r.c.prefix, stem, ext);
    };
    r.start_grid = name(r.c.site, ".IN");
    r.out_grid = name(r.c.out, ".IN");
    r.act = name(r.c.out, ".ACT");
    r.his = name(r.c.out, ".HIS");
    r.bal = name(r.c.out, ".BAL");
    r.csv = name(r.c.out, ".CSV");
    if (!exists(r.out_grid))
        throw results::InputError("THE RUN'S OUTPUT SITE " + r.out_grid +
                                  " IS NOT THERE: HAS THE RUN BEEN MADE?");
    return r;
}

// A picture drawn by the siteplot command itself, read back for the page.
struct Picture {
    std::string caption, png;  // png: the file's bytes, empty when not drawn
};

class Pictures {
  public:
    Pictures() {
        dir_ = fs::temp_directory_path() / ("siteplot-report-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~Pictures() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    Pictures(const Pictures&) = delete;
    Pictures& operator=(const Pictures&) = delete;

    // Runs "siteplot ARGS -o <tmp>.png"; its notes and problems go to `warnings`.
    // A command that numbers its pictures (mound maps, <tmp>_<tag>.png) is
    // read back by the tag of the one wanted.
    Picture draw(const std::string& caption, std::vector<std::string> args,
                 std::vector<std::string>& warnings, const std::string& tag = "") {
        const std::string stem = (dir_ / ("p" + std::to_string(++count_))).string();
        const std::string file = stem + ".png";
        args.insert(args.begin(), "siteplot");
        args.push_back("-o");
        args.push_back(file);
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        std::ostringstream said;
        const int status = run(static_cast<int>(argv.size()), argv.data(), said);
        std::istringstream lines(said.str());
        for (std::string l; std::getline(lines, l);) {
            l = trimmed(l);
            if (l.rfind("NOTE: ", 0) == 0) warnings.push_back(caption + ": " + l.substr(6));
            if (status != 0 && !l.empty()) warnings.push_back(caption + " NOT DRAWN: " + l);
        }
        const std::string drawn = tag.empty() ? file : stem + "_" + tag + ".png";
        Picture p{caption, status == 0 ? file_text(drawn) : std::string()};
        return p;
    }

  private:
    fs::path dir_;
    int count_ = 0;
};

std::string row(const std::vector<std::string>& cells, const char* tag = "td") {
    std::string o = "<tr>";
    for (const std::string& c : cells)
        o += std::string("<") + tag + ">" + escaped(c) + "</" + tag + ">";
    return o + "</tr>\n";
}

std::string fixed(double v, int decimals) {
    char t[64];
    std::snprintf(t, sizeof t, "%.*f", decimals, v);
    return t;
}

std::string site_section(const Run& r, const results::Site& site) {
    const suitefiles::DumpControl& c = r.c;
    const gridlib::SiteGrid& g = site.grid;
    std::string o = "<h2>Site and activity</h2>\n<table>\n";
    auto item = [&o](const std::string& k, const std::string& v) { o += row({k, v}); };
    item("Title", trimmed(c.title));
    item("Starting site", r.start_grid);
    item("Output site", r.out_grid);
    item("Grid", std::to_string(g.points_we) + " x " + std::to_string(g.points_ns) + " points at " +
                     std::to_string(g.interval) + " ft, rotation " +
                     fixed(static_cast<double>(g.rotation), 1) + " deg");
    item("Coordinates",
         g.coord_system == 2 ? "longitude/latitude (degrees)" : "easting/northing (feet)");
    item("Depths", "feet below the site datum (long-term datum " +
                       fixed(static_cast<double>(g.datum), 2) + " ft)");
    item("Material", trimmed(c.material));
    item("Equipment", trimmed(c.equipment));
    item("Loads", std::to_string(c.loads) + " of " + fixed(static_cast<double>(c.load_volume), 0) +
                      " CY, " + std::to_string(c.total_amount) + " CY in all");
    item("Period", std::to_string(c.start_month) + "/" + std::to_string(c.start_year) + " to " +
                       std::to_string(c.end_month) + "/" + std::to_string(c.end_year) + ", " +
                       std::to_string(c.disposal_days) + " days of disposal, " +
                       std::to_string(c.period_days) + " days in all");
    return o + "</table>\n";
}

// The balance table from <output>.CSV (and the text of <output>.BAL), or the
// loads of the placement summary when the run left no balance.
std::string balance_section(const Run& r, std::vector<std::string>& warnings) {
    std::string o = "<h2>Material balance</h2>\n";
    if (exists(r.csv)) {
        suitefiles::BalanceTotals totals;
        if (exists(r.bal) && suitefiles::read_balance_totals(r.bal, totals)) {
            o += "<table class=\"data\">\n" + row({"figure of the activity", "value"}, "th");
            for (const auto& [name, value] : totals.values) {
                std::ostringstream v;
                v << std::setprecision(10) << value;
                o += row({name, v.str()});
            }
            o += "</table>\n";
        }
        std::istringstream in(file_text(r.csv));
        std::string table = "<div class=\"wide\"><table class=\"data\">\n";
        bool head = true;
        int loads = 0;
        for (std::string l; std::getline(in, l);) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            if (l.empty()) continue;
            std::vector<std::string> cells;
            std::stringstream ls(l);
            for (std::string cell; std::getline(ls, cell, ',');) cells.push_back(trimmed(cell));
            table += row(cells, head ? "th" : "td");
            if (!head) ++loads;
            head = false;
        }
        o += "<details><summary>" + std::to_string(loads) + " loads in " + escaped(r.csv) +
             "</summary>\n" + table + "</table></div></details>\n";
        if (exists(r.bal)) {
            o += "<details><summary>The balance as " + escaped(r.bal) + " gives it</summary><pre>" +
                 escaped(file_text(r.bal)) + "</pre></details>\n";
            std::vector<std::string> run_warnings;
            if (suitefiles::read_balance_warnings(r.bal, run_warnings))
                warnings.insert(warnings.end(), run_warnings.begin(), run_warnings.end());
        }
        return o;
    }
    const std::string absent = "THE MATERIAL BALANCE (" + r.bal + ", " + r.csv +
                               ") IS ABSENT: THE LOADS OF THE PLACEMENT SUMMARY ARE SHOWN";
    warnings.push_back(absent);
    o += "<p class=\"warn\">" + escaped(absent) + "</p>\n";
    if (!exists(r.act)) return o + "<p>No placement summary " + escaped(r.act) + ".</p>\n";
    const std::regex load_line(R"(^ +(\d+) +(\d+)\. +(-?\d+\.\d{4}) +(-?\d+\.\d{4})$)");
    std::istringstream in(file_text(r.act));
    const std::string head =
        "<table class=\"data\">\n" +
        row({"load", "loads remaining", "volume (CY)", "easting", "northing"}, "th");
    std::string rows;
    int n = 0;
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (!std::regex_match(l, m, load_line)) continue;
        rows += row({std::to_string(++n), m[1].str(), m[2].str(), m[3].str(), m[4].str()});
    }
    return o + "<details><summary>" + std::to_string(n) + " loads in " + escaped(r.act) +
           "</summary>\n" + head + rows + "</table></details>\n";
}

// The hours of the last disposal week's grid and of the history's last grid
// when the history goes on after the disposal (the quiet weeks); none else.
std::optional<std::pair<double, double>> quiet_weeks(const results::BathSeries& s) {
    for (std::size_t k = s.grids.size(); k-- > 0;)
        if (s.grids[k].kind == "DISPOSAL WEEK") {
            if (s.grids.back().hours > s.grids[k].hours + 0.5)
                return std::make_pair(s.grids[k].hours, s.grids.back().hours);
            break;
        }
    return std::nullopt;
}

// The mound through the activity, from the site history.
std::string evolution_table(const results::SiteSeries& ss, const results::Site& site) {
    const results::Reference ref = results::first_grid_reference(ss.series);
    const std::vector<results::MoundState> states =
        results::mound_history(ss.series, ref, site.frame, ss.we_ft, ss.ns_ft);
    std::string o =
        "<table class=\"data\">\n" +
        row({"hours", "date", "snapshot", "height (ft)", "net volume change of the site (CY)",
             "of the mound area (CY)", "centroid shift (ft)"},
            "th");
    for (std::size_t k = 0; k < states.size(); ++k) {
        const results::BathGrid& g = ss.series.grids[k];
        const results::MoundState& m = states[k];
        o += row({fixed(g.hours, 0), g.date, g.kind, fixed(m.height, 2), fixed(m.volume, 0),
                  fixed(m.area_volume, 0), fixed(m.offset, 1)});
    }
    return o + "</table>\n";
}

// What the placement summary's continuation pages report.
void summary_warnings(const Run& r, std::vector<std::string>& warnings) {
    if (!exists(r.act)) return;
    const std::string t = file_text(r.act);
    if (t.find("NAVIGABLE DEPTH HAS NOT BEEN EXCEEDED") == std::string::npos &&
        t.find("LOCATIONS WHERE NAVIGABLE DEPTH HAS BEEN EXCEEDED") != std::string::npos)
        warnings.push_back("THE NAVIGABLE DEPTH (" + std::to_string(r.c.navigable_depth) +
                           " FT) HAS BEEN EXCEEDED: SEE " + r.act);
    if (t.find("NO DISPOSALS HAVE BEEN PLACED OUTSIDE") == std::string::npos &&
        t.find("LATERAL BOUNDARY TOLERANCE") != std::string::npos)
        warnings.push_back("LOADS WERE PLACED OUTSIDE THE LATERAL BOUNDARY TOLERANCE (" +
                           std::to_string(r.c.lateral_tolerance) + " FT): SEE " + r.act);
}

const char* const STYLE =
    "body{font-family:sans-serif;margin:2em;max-width:1100px;color:#222}"
    "h1{font-size:1.5em}h2{font-size:1.2em;border-bottom:1px solid #ccc;margin-top:1.5em}"
    "table{border-collapse:collapse;margin:0.5em 0}td,th{padding:2px 10px;text-align:left}"
    "table.data td,table.data th{border:1px solid #ccc;text-align:right}"
    "figure{margin:1em 0}img{max-width:100%;border:1px solid #ddd}"
    ".warn{color:#a00}.wide{overflow-x:auto}pre{background:#f6f6f6;padding:0.5em;overflow-x:auto}";

// Sets data-images on the body once every picture has loaded, for a browser
// test (and shows the state at the foot of the page).
const char* const IMAGE_CHECK =
    "<script>window.addEventListener('load',function(){var ok=true,n=0;"
    "for(var i=0;i<document.images.length;i++){var m=document.images[i];n++;"
    "if(!(m.complete&&m.naturalWidth>0))ok=false;}"
    "document.body.setAttribute('data-images',ok?'loaded':'missing');"
    "document.getElementById('image-state').textContent=n+' pictures, '+(ok?'all "
    "shown':'some missing');});</script>\n";

}  // namespace

void write_report(const std::string& path, std::ostream& out) {
    const Run r = find_run();
    const results::Site site = results::load_site(r.out_grid);
    std::vector<std::string> warnings = site.notes;
    summary_warnings(r, warnings);

    Pictures pictures;
    std::vector<Picture> shown;
    std::vector<std::string> depth_args = {"depth", r.out_grid};
    if (exists(r.act)) {
        depth_args.push_back("--dumps");
        depth_args.push_back(r.act);
    }
    shown.push_back(pictures.draw("DEPTHS AFTER THE ACTIVITY", depth_args, warnings));
    if (exists(r.start_grid) && r.start_grid != r.out_grid)
        shown.push_back(pictures.draw("MATERIAL ADDED (DEPTH BEFORE MINUS AFTER)",
                                      {"diff", r.start_grid, r.out_grid}, warnings));
    else
        warnings.push_back(
            "THE STARTING SITE " + r.start_grid +
            (r.start_grid == r.out_grid ? " IS THE RUN'S OUTPUT SITE" : " IS NOT THERE") +
            ": NO MAP OF THE MATERIAL ADDED (THE HISTORY STILL HAS THE START)");
    std::string evolution;
    if (exists(r.his)) {
        shown.push_back(pictures.draw("THE MOUND THROUGH THE ACTIVITY",
                                      {"evolution", r.his, "--site", r.out_grid}, warnings));
        const results::SiteSeries ss = results::load_site_series(r.his, site);
        evolution = evolution_table(ss, site);
        if (const auto quiet = quiet_weeks(ss.series)) {
            const std::string since = fixed(quiet->first, 0), end = fixed(quiet->second, 0);
            shown.push_back(pictures.draw(
                "THE BED'S CHANGE AFTER THE LAST DISPOSAL WEEK (" + since + " TO " + end + " H)",
                {"mound", r.his, "--site", r.out_grid, "--since", since, "--hours", end}, warnings,
                end + "h"));
        }
    } else {
        warnings.push_back("NO SITE HISTORY " + r.his + ": THE MOUND'S EVOLUTION IS NOT SHOWN");
    }

    std::ostringstream html;
    html << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>"
         << escaped("Disposal run " + r.c.out + " on site " + r.c.site) << "</title>\n<style>"
         << STYLE << "</style>\n</head>\n<body>\n<h1>"
         << escaped("Disposal run " + r.c.out + " on site " + r.c.site) << "</h1>\n"
         << site_section(r, site) << balance_section(r, warnings) << "<h2>Maps</h2>\n";
    for (const Picture& p : shown) {
        if (p.png.empty()) continue;
        html << "<figure><img alt=\"" << escaped(p.caption) << "\" src=\"data:image/png;base64,"
             << base64(p.png) << "\"><figcaption>" << escaped(p.caption)
             << "</figcaption></figure>\n";
        if (p.caption == "THE MOUND THROUGH THE ACTIVITY") html << evolution;
    }
    html << "<h2>Warnings</h2>\n";
    if (warnings.empty()) html << "<p>None.</p>\n";
    html << "<ul>\n";
    for (const std::string& w : warnings) html << "<li class=\"warn\">" << escaped(w) << "</li>\n";
    html << "</ul>\n<p id=\"image-state\"></p>\n" << IMAGE_CHECK << "</body></html>\n";

    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream f(temp, std::ios::binary);
        f << html.str();
        f.close();
        if (!f) {
            std::remove(temp.c_str());
            throw results::InputError("CANNOT WRITE THE REPORT " + path);
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw results::InputError("CANNOT WRITE THE REPORT " + path);
    }
    out << " REPORT WRITTEN: " << path << "\n";
}

}  // namespace siteplot
