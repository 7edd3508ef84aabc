#include "siteplot/commands.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "recio/format.hpp"
#include "results/errors.hpp"
#include "results/mound.hpp"
#include "results/options.hpp"
#include "results/readers.hpp"
#include "results/site.hpp"
#include "siteplot/plot.hpp"
#include "siteplot/report.hpp"

namespace siteplot {
namespace {

using results::InputError;
using results::Options;

const char* const USAGE =
    "USAGE:\n"
    "  siteplot depth GRID.IN -o MAP.png [--dumps FILE.ACT|FILE.XYZ]...\n"
    "  siteplot diff BEFORE.IN AFTER.IN -o THICKNESS.png [--dumps FILE]...\n"
    "  siteplot deposit CLDX.DUT -o DEPOSIT.png [--site GRID.IN --at E,N]\n"
    "  siteplot mound PLOTBATH.DAT|OUT.HIS --site GRID.IN -o MOUND.png [--hours H,H,...|all]\n"
    "                [--base BEFORE.IN | --since H]   (--since: the bed's rise since the grid at "
    "H)\n"
    "  siteplot evolution OUT.HIS|PLOTBATH.DAT --site GRID.IN -o EVOLUTION.png [--base "
    "BEFORE.IN]\n"
    "  siteplot report -o REPORT.html   (in the folder of a placement run)\n"
    "OPTIONS:\n"
    "  -o FILE           picture to write (.png, or .svg)\n"
    "  --size WxH        picture size in pixels (default 1000x800)\n"
    "  --title TEXT      title in place of the one made from the files\n"
    "  --range LO,HI     limits of the colour scale\n"
    "  --contour FT      contour interval\n"
    "  --whole-site      map the whole site (default: frame what changed, or the dumps)\n"
    "  --summary FILE    site summary file (default: the .OUT beside the grid file; - for none)\n"
    "  --pcd FILE        long-term control file giving the start of the run (default: PCD.INI "
    "beside PLOTBATH.DAT)\n"
    "  --force           write even over a file of the suite (a site's .IN, .OUT, .DAT, .TNS,\n"
    "                    .ACT, .TIM, a control or series file) or over a file read\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Size {
    int w = 1000, h = 800;
};

Size picture_size(const Options& o) {
    Size s;
    if (!o.has("size")) return s;
    const std::vector<double> v = o.numbers("size");
    if (v.size() != 2) throw InputError("--size TAKES WIDTHxHEIGHT, E.G. 1000x800");
    s.w = static_cast<int>(v[0]);
    s.h = static_cast<int>(v[1]);
    return s;
}

std::string output(const Options& o) {
    if (!o.has("output")) throw UsageError("NO PICTURE NAME: GIVE -o FILE.png");
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

std::string fixed(double v, int decimals) {
    if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0;  // no "-0.00"
    std::ostringstream s;
    s.setf(std::ios::fixed);
    s.precision(decimals);
    s << v;
    return s.str();
}

// Value limits of a raster, or the --range given.
void limits(const Options& o, const std::vector<float>& v, double& lo, double& hi) {
    if (o.has("range")) {
        const std::vector<double> r = o.numbers("range");
        if (r.size() != 2 || !(r[1] > r[0]))
            throw InputError("--range TAKES LOW,HIGH WITH LOW BELOW HIGH");
        lo = r[0];
        hi = r[1];
        return;
    }
    lo = 0;
    hi = 0;
    if (v.empty()) return;
    const auto mm = std::minmax_element(v.begin(), v.end());
    lo = static_cast<double>(*mm.first);
    hi = static_cast<double>(*mm.second);
}

// Dump positions of every --dumps file, on the map of the site.
void add_dumps(const Options& o, const results::Site& site, MapPicture& p, std::ostream& out) {
    std::size_t n = 0;
    for (const std::string& f : o.all("dumps")) {
        if (site.grid.coord_system == 2 && !site.frame.geographic())
            throw InputError("DUMP POSITIONS OF A GEOGRAPHIC SITE NEED ITS SITE SUMMARY FILE");
        for (const results::DumpPoint& d : results::read_dumps(f))
            p.dumps.push_back(results::site_to_map(site.frame, d.e, d.n));
        out << " DUMPS READ FROM " << f << "\n";
        n = p.dumps.size();
    }
    if (n) p.dumps_label = std::to_string(n) + " DUMP POSITION" + (n == 1 ? "" : "S");
}

// Changes smaller than this share of the largest (or than 0.01 ft, the
// rounding of the grid files) do not decide what a map frames.
constexpr double FRAMED_SHARE = 0.02, FRAMED_LEAST_FT = 0.01;

// The map positions of the nodes where |value| is a visible change.
std::vector<XY> changed_nodes(const results::Frame& f, const results::Raster& r) {
    float top = 0;
    for (const float v : r.v) top = std::max(top, std::fabs(v));
    const double least = std::max(FRAMED_LEAST_FT, FRAMED_SHARE * static_cast<double>(top));
    std::vector<XY> out;
    for (int row = 0; row < r.ny; ++row)
        for (int col = 0; col < r.nx; ++col)
            if (std::fabs(static_cast<double>(r.at(col, row))) >= least)
                out.push_back(results::node_map(f, r, col, row));
    return out;
}

// What the map frames: the changed nodes and the dumps, unless the whole
// site is asked for (or nothing changed).
void frame_changes(const Options& o, const std::vector<XY>& changed, MapPicture& p) {
    if (o.has("whole-site") || changed.empty()) return;
    p.focus = changed;
    p.focus.insert(p.focus.end(), p.dumps.begin(), p.dumps.end());
}

// A scale for thickness of new material: the blue erosion half only when
// something eroded beyond the rounding of the files.
ScaleKind change_kind(double lo, double hi) {
    return lo < -std::max(FRAMED_LEAST_FT, FRAMED_SHARE * std::fabs(hi)) ? ScaleKind::Difference
                                                                         : ScaleKind::Thickness;
}

// The scale of a thickness of new material from lo to hi: the two-sided
// difference scale when something eroded, else one from 0 (the rounding of
// the files below it shows as no change).
Scale change_scale(double lo, double hi, double contour) {
    const ScaleKind k = change_kind(lo, hi);
    return make_scale(k, k == ScaleKind::Thickness ? std::max(lo, 0.0) : lo, hi, contour);
}

const char* const DEPTH_LABEL = "DEPTH BELOW THE SITE DATUM (FT)";

std::string site_subtitle(const results::Site& s) {
    const gridlib::SiteGrid& g = s.grid;
    return std::to_string(g.points_we) + " x " + std::to_string(g.points_ns) + " POINTS AT " +
           std::to_string(g.interval) + " FT, ROTATION " +
           fixed(static_cast<double>(g.rotation), 1) + " DEG";
}

std::string file_stem(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

void written(const std::string& path, std::ostream& out) {
    out << " PICTURE WRITTEN: " << path << "\n";
}

int depth_map(const Options& o, std::ostream& out) {
    need_positional(o, 1);
    const std::string pic = output(o);
    const results::Site site = results::load_site(o.positional[0], o.get("summary"));
    print_notes(site.notes, out);
    MapPicture p;
    p.frame = site.frame;
    p.raster = site.depths;
    set_axis_labels(p);
    add_dumps(o, site, p, out);
    // The dumps are where the site changed.
    if (!p.dumps.empty()) frame_changes(o, p.dumps, p);
    const Size sz = picture_size(o);
    double lo, hi;
    limits(o, values_in_view(sz.w, sz.h, p), lo, hi);
    p.scale = make_scale(ScaleKind::Depth, lo, hi, o.number("contour", 0));
    p.bar_label = DEPTH_LABEL;
    p.title = o.get("title", "SITE DEPTHS: " + file_stem(site.grid_file));
    p.subtitle = site_subtitle(site) + ", CONTOURS EVERY " +
                 fixed(p.scale.step, decimals_for(p.scale.step)) + " FT";
    draw_map(pic, sz.w, sz.h, p);
    written(pic, out);
    return 0;
}

int difference_map(const Options& o, std::ostream& out) {
    need_positional(o, 2);
    const std::string pic = output(o);
    const results::Site before = results::load_site(o.positional[0], o.get("summary"));
    const results::Site after = results::load_site(o.positional[1], o.get("summary"));
    print_notes(before.notes, out);
    MapPicture p;
    p.frame = before.frame;
    p.raster = results::grid_difference(before, after);
    double lo, hi;
    limits(o, p.raster.v, lo, hi);
    p.scale = change_scale(lo, hi, o.number("contour", 0));
    p.skip_zero_contour = true;
    p.bar_label = p.scale.kind == ScaleKind::Difference ? "THICKNESS (FT): + DEPOSIT, - EROSION"
                                                        : "THICKNESS OF NEW MATERIAL (FT)";
    p.title = o.get("title", "DEPOSIT THICKNESS: " + file_stem(before.grid_file) + " MINUS " +
                                 file_stem(after.grid_file));
    const auto mm = std::minmax_element(p.raster.v.begin(), p.raster.v.end());
    p.subtitle = "DEPTH BEFORE MINUS DEPTH AFTER, FROM " +
                 fixed(static_cast<double>(*mm.first), 2) + " TO " +
                 fixed(static_cast<double>(*mm.second), 2) + " FT";
    set_axis_labels(p);
    add_dumps(o, before, p, out);
    frame_changes(o, changed_nodes(p.frame, p.raster), p);
    const Size sz = picture_size(o);
    draw_map(pic, sz.w, sz.h, p);
    written(pic, out);
    return 0;
}

int deposit_map(const Options& o, std::ostream& out) {
    need_positional(o, 1);
    const std::string pic = output(o);
    const results::DepositFile d = results::read_deposit_file(o.positional[0]);
    const int block = d.deposit_block();
    if (block < 0)
        throw InputError(o.positional[0] + " HOLDS NO DEPOSIT UP TO THE SIMULATION DURATION (" +
                         fixed(d.tstop, 1) + " S)");
    MapPicture p;
    p.raster = d.raster(block);
    if (o.has("site") != o.has("at")) throw InputError("--site AND --at GO TOGETHER");
    if (o.has("site")) {
        const results::Site site = results::load_site(o.get("site"), o.get("summary"));
        print_notes(site.notes, out);
        const std::vector<double> at = o.numbers("at");
        if (at.size() != 2) throw InputError("--at TAKES EASTING,NORTHING");
        // A dump position is a site coordinate: one that no site file could
        // hold (F12.4) would stretch the picture's axes beyond what it can draw.
        for (const double v : at)
            if (!recio::fits_field("(F12.4)", v))
                throw InputError("--at: THE DUMP POSITION " + o.get("at") +
                                 " DOES NOT FIT A SITE COORDINATE (F12.4)");
        if (site.grid.coord_system == 2 && !site.frame.geographic())
            throw InputError("A DUMP POSITION ON A GEOGRAPHIC SITE NEEDS ITS SITE SUMMARY FILE");
        p.frame = site.frame;
        const XY m = results::site_to_map(site.frame, at[0], at[1]);
        const XY local = results::to_local(site.frame, m.x, m.y);
        p.raster.x0 += local.x;
        p.raster.y0 += local.y;
        p.marks.push_back(m);
        set_axis_labels(p);
    } else {
        // The fate grid's own frame: feet from the dump point along its axes.
        p.frame = results::make_frame(1, 0, 0, 0);
        p.marks.push_back({0, 0});
        p.x_label = "FEET EAST OF THE DUMP POINT (GRID AXES)";
        p.y_label = "FEET NORTH OF THE DUMP POINT (GRID AXES)";
    }
    double lo, hi;
    limits(o, p.raster.v, lo, hi);
    p.scale = make_scale(ScaleKind::Thickness, lo, hi, o.number("contour", 0));
    p.skip_zero_contour = true;
    p.bar_label = "THICKNESS (FT)";
    // The deck's own title is the placement simulator's fixed text, which
    // says nothing of the load: the file is named instead.
    p.title = o.get("title", "DEPOSIT OF ONE LOAD: " + file_stem(o.positional[0]));
    const auto mx = std::max_element(p.raster.v.begin(), p.raster.v.end());
    p.subtitle = fixed(d.blocks[static_cast<std::size_t>(block)].seconds, 1) +
                 " S AFTER THE DUMP, BLOCK " + std::to_string(block + 1) + " OF " +
                 std::to_string(d.blocks.size()) + ", LARGEST " +
                 fixed(static_cast<double>(*mx), 3) + " FT";
    const Size sz = picture_size(o);
    draw_map(pic, sz.w, sz.h, p);
    written(pic, out);
    return 0;
}

// The first grid of the series at `hours` (within half an hour).
std::size_t grid_at(const results::BathSeries& s, double hours) {
    for (std::size_t k = 0; k < s.grids.size(); ++k)
        if (std::fabs(s.grids[k].hours - hours) <= 0.5) return k;
    std::string have;
    for (const results::BathGrid& g : s.grids) have += " " + fixed(g.hours, 0);
    throw InputError("NO GRID AT " + fixed(hours, 0) + " HOURS; THE FILE HOLDS GRIDS AT" + have);
}

// The grids of the series picked by --hours (default: the first and the last).
std::vector<std::size_t> chosen_grids(const Options& o, const results::BathSeries& s) {
    std::vector<std::size_t> pick;
    const std::size_t n = s.grids.size();
    const std::string h = o.get("hours");
    if (h.empty()) {
        pick.push_back(0);
        if (n > 1) pick.push_back(n - 1);
        return pick;
    }
    if (h == "all") {
        for (std::size_t k = 0; k < n; ++k) pick.push_back(k);
        return pick;
    }
    for (double want : results::parse_numbers(h, "--hours")) pick.push_back(grid_at(s, want));
    return pick;
}

std::string numbered(const std::string& pic, const std::string& tag) {
    const std::filesystem::path p(pic);
    return (p.parent_path() / (p.stem().string() + "_" + tag + p.extension().string())).string();
}

// The reference bed of the mound: the --base grid, else for a site history
// the site the activity began on, else the long-term model's own.
results::Reference reference_of(const Options& o, const results::SiteSeries& ss,
                                std::string& label) {
    const results::BathSeries& s = ss.series;
    if (o.has("base") && ss.thickness_form)
        throw InputError(
            "--base MEASURES SITE DEPTHS, AND THESE GRIDS ARE NOT: DRAW THE SITE'S "
            "HISTORY (<OUTPUT>.HIS) WITH --base, OR THESE GRIDS WITHOUT IT");
    if (o.has("since")) {
        if (o.has("base")) throw UsageError("GIVE --base OR --since, NOT BOTH");
        const std::vector<double> h = results::parse_numbers(o.get("since"), "--since");
        if (h.size() != 1) throw UsageError("--since TAKES ONE TIME IN HOURS");
        const std::size_t k = grid_at(s, h[0]);
        label = "BED RISE SINCE " + fixed(s.grids[k].hours, 0) + " HOURS (DAY " +
                fixed(s.grids[k].hours / 24.0, 1) + ")";
        const std::vector<float>& d = s.grids[k].depth;
        return results::Reference(d.begin(), d.end());
    }
    if (o.has("base")) {
        const results::Site base = results::load_site(o.get("base"), "-");
        label = "HEIGHTS ABOVE THE BED OF " + file_stem(base.grid_file);
        return results::site_reference(base.grid, s);
    }
    if (ss.history) {
        label = "HEIGHTS ABOVE THE SITE AT THE START OF THE ACTIVITY";
        return results::first_grid_reference(s);
    }
    label = ss.thickness_form
                ? "HEIGHTS ABOVE THE FLAT REFERENCE BED OF A COHESIVE RUN'S GRIDS"
                : "HEIGHTS ABOVE A FLAT BED AT THE SOUTH-WEST CORNER DEPTH OF THE INITIAL GRID";
    return results::flat_reference(s);
}

int mound_maps(const Options& o, std::ostream& out) {
    need_positional(o, 1);
    const std::string pic = output(o);
    if (!o.has("site")) throw UsageError("THE MOUND NEEDS ITS SITE: GIVE --site GRID.IN");
    const results::Site site = results::load_site(o.get("site"), o.get("summary"));
    print_notes(site.notes, out);
    results::SiteSeries ss = results::load_site_series(o.positional[0], site, o.get("pcd"));
    print_notes(ss.notes, out);
    const std::vector<std::size_t> pick = chosen_grids(o, ss.series);

    std::string ref_label;
    const bool thickness = o.has("base") || o.has("since");
    results::BathSeries shown = ss.series;
    if (thickness) shown = results::thickness_series(ss.series, reference_of(o, ss, ref_label));

    // One colour scale for every map, so that they compare.
    std::vector<float> all;
    for (std::size_t k : pick)
        all.insert(all.end(), shown.grids[k].depth.begin(), shown.grids[k].depth.end());
    double lo, hi;
    limits(o, all, lo, hi);
    const Scale scale = thickness ? change_scale(lo, hi, o.number("contour", 0))
                                  : make_scale(ScaleKind::Depth, lo, hi, o.number("contour", 0));
    // Frame where any chosen grid differs from the first of the series.
    std::vector<XY> changed;
    {
        results::Raster first = results::bath_raster(ss.series, 0, ss.we_ft, ss.ns_ft);
        for (std::size_t k : pick) {
            results::Raster d = results::bath_raster(ss.series, k, ss.we_ft, ss.ns_ft);
            for (std::size_t v = 0; v < d.v.size(); ++v) d.v[v] -= first.v[v];
            const std::vector<XY> c = changed_nodes(site.frame, d);
            changed.insert(changed.end(), c.begin(), c.end());
        }
    }

    MapPicture base;
    base.frame = site.frame;
    set_axis_labels(base);
    add_dumps(o, site, base, out);
    const Size sz = picture_size(o);
    // One picture per grid, each checked before any is drawn.
    std::vector<std::string> names;
    for (std::size_t k : pick) {
        const results::BathGrid& g = shown.grids[k];
        std::string name = numbered(pic, fixed(g.hours, 0) + "h");
        if (std::find(names.begin(), names.end(), name) != names.end())
            name = numbered(pic, fixed(g.hours, 0) + "h_" + std::to_string(k));
        results::check_output_file(o, name);
        names.push_back(name);
    }
    for (std::size_t n = 0; n < pick.size(); ++n) {
        const std::size_t k = pick[n];
        MapPicture p = base;
        p.raster = results::bath_raster(shown, k, ss.we_ft, ss.ns_ft);
        p.scale = scale;
        p.skip_zero_contour = thickness;
        const bool since = o.has("since");
        p.bar_label = since       ? "RISE OF THE BED (FT)"
                      : thickness ? "THICKNESS ABOVE THE BASE (FT)"
                                  : DEPTH_LABEL;
        frame_changes(o, changed, p);
        const results::BathGrid& g = shown.grids[k];
        p.title = o.get("title", std::string(since       ? "BED CHANGE"
                                             : thickness ? "MOUND THICKNESS"
                                                         : "MOUND DEPTHS") +
                                     " AT " + fixed(g.hours, 0) + " HOURS (DAY " +
                                     fixed(g.hours / 24.0, 1) + ")" +
                                     (!g.kind.empty() ? ", " + g.kind
                                      : g.initial     ? ", START OF THE RUN"
                                                      : ""));
        p.subtitle = std::string(ss.history ? "SITE GRID " : "LONG-TERM LATTICE ") +
                     std::to_string(shown.nx) + " x " + std::to_string(shown.ny) +
                     (g.date.empty() ? "" : ", " + g.date) + ", CONTOURS EVERY " +
                     fixed(scale.step, decimals_for(scale.step)) + " FT" +
                     (since ? ", " + ref_label : "");
        draw_map(names[n], sz.w, sz.h, p);
        written(names[n], out);
    }
    return 0;
}

int evolution_plot(const Options& o, std::ostream& out) {
    need_positional(o, 1);
    const std::string pic = output(o);
    if (!o.has("site")) throw UsageError("THE MOUND NEEDS ITS SITE: GIVE --site GRID.IN");
    const results::Site site = results::load_site(o.get("site"), o.get("summary"));
    print_notes(site.notes, out);
    results::SiteSeries ss = results::load_site_series(o.positional[0], site, o.get("pcd"));
    print_notes(ss.notes, out);
    EvolutionPicture p;
    const results::Reference ref = reference_of(o, ss, p.reference);
    p.states = results::mound_history(ss.series, ref, site.frame, ss.we_ft, ss.ns_ft);
    p.activity = ss.history;
    for (const results::BathGrid& g : ss.series.grids)
        p.disposal.push_back(g.kind == "DISPOSAL WEEK");
    p.title = o.get("title", "MOUND EVOLUTION: " + file_stem(o.positional[0]));
    out << "      HOURS   HEIGHT(FT)  VOLUME(CU YD)  AREA VOL(CU YD)  OFFSET(FT)  EAST(FT)  "
           "NORTH(FT)\n";
    for (const results::MoundState& m : p.states)
        out << recio::format_records("(1X,F10.0,F13.3,F15.1,F17.1,F12.1,F10.1,F11.1)", m.hours,
                                     m.height, m.volume, m.area_volume, m.offset, m.offset_e,
                                     m.offset_n)[0]
            << "\n";
    const Size sz = picture_size(o);
    draw_evolution(pic, sz.w, sz.h, p);
    written(pic, out);
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
            o = results::parse_options(argc, argv, 2,
                                       {"size", "title", "range", "contour", "summary", "dumps",
                                        "site", "at", "hours", "pcd", "base", "since"},
                                       {"whole-site", "force"});
        } catch (const InputError& e) {
            throw UsageError(e.what());
        }
        if (cmd == "depth") return depth_map(o, out);
        if (cmd == "diff") return difference_map(o, out);
        if (cmd == "deposit") return deposit_map(o, out);
        if (cmd == "mound") return mound_maps(o, out);
        if (cmd == "evolution") return evolution_plot(o, out);
        if (cmd == "report") {
            need_positional(o, 0);
            if (!o.has("output")) throw UsageError("NO REPORT NAME: GIVE -o REPORT.html");
            write_report(o.get("output"), out);
            return 0;
        }
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

}  // namespace siteplot
