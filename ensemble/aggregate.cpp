// Aggregation of an ensemble: statistics per grid point over the members of
// each plan, balance figures per member, and the files that carry them.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <limits>
#include <sstream>

#include "ensemble/ensemble.hpp"
#include "gridlib/sitegrid.hpp"
#include "results/errors.hpp"
#include "results/site.hpp"
#include "siteexport/export.hpp"
#include "siteplot/plot.hpp"
#include "suitefiles/geometry.hpp"
#include "utility/utility.hpp"

namespace fs = std::filesystem;

namespace ensemble {
namespace {

using results::InputError;

constexpr double SQFT_PER_ACRE = 43560.0;

// The members of one plan that ran, read back.
struct PlanRun {
    const Plan* plan = nullptr;
    PlanInputs inputs;
    results::Site site;  // the starting site, with its map frame
    std::vector<std::vector<float>> depths, thickness;
    std::vector<const Member*> done;
    std::vector<MemberFigures> figures;
    PointStats depth_stats, thickness_stats;
    std::vector<float> exceedance;
};

std::vector<float> site_depths(const gridlib::SiteGrid& g) {
    return {g.depth.begin(), g.depth.begin() + g.total_points};
}

// The volume gained and the top of the mound of one member.
MemberFigures member_figures(const results::Site& start, const gridlib::SiteGrid& after) {
    MemberFigures f;
    gridlib::SiteGrid before = start.grid;
    f.volume_cy = utility::grid_volumes(before, &after, 0.0f, false).net;
    std::int32_t top = 0;
    float rise = -std::numeric_limits<float>::max();
    for (std::int32_t i = 0; i < after.total_points; ++i) {
        const std::size_t p = static_cast<std::size_t>(i);
        const float r = start.grid.depth[p] - after.depth[p];
        if (r > rise) {
            rise = r;
            top = i;
        }
    }
    f.top_rise_ft = static_cast<double>(rise);
    f.top_depth_ft = static_cast<double>(after.depth[static_cast<std::size_t>(top)]);
    const suitefiles::SiteGeometry geo = gridlib::geometry_of(
        start.grid, static_cast<float>(start.frame.nw_e), static_cast<float>(start.frame.nw_n));
    const suitefiles::Rotation rot = suitefiles::rotation_of(
        start.grid.rotation, start.grid.coord_system, static_cast<float>(start.frame.nw_n));
    const suitefiles::Position pos = suitefiles::grid1_position(geo, rot, top + 1);
    f.top_e = static_cast<double>(pos.e);
    f.top_n = static_cast<double>(pos.n);
    return f;
}

bool same_lattice(const gridlib::SiteGrid& a, const gridlib::SiteGrid& b) {
    return a.points_we == b.points_we && a.points_ns == b.points_ns && a.interval == b.interval &&
           a.total_points == b.total_points;
}

// Reads the done members of a plan; a member whose grid cannot be read or
// does not fit the site counts as failed.
PlanRun read_plan(const std::string& run_folder, const Plan& plan,
                  const std::vector<Member>& members, EnsembleOutcome& outcome) {
    PlanRun run;
    run.plan = &plan;
    run.inputs = plan_inputs(run_folder, plan);
    run.site = results::load_site(plan_file(run_folder, plan, run.inputs.site + ".IN"));
    const std::vector<float> start = site_depths(run.site.grid);
    for (const Member& m : members) {
        if (m.plan != plan.name) continue;
        if (read_member_status(m.folder).state != MemberState::Done) {
            outcome.failed.push_back(m.id());
            continue;
        }
        const std::string out = (fs::path(m.folder) / (run.inputs.out + ".IN")).string();
        gridlib::SiteGrid after;
        if (gridlib::RGRID1(out, after) != gridlib::GRID_OK ||
            !same_lattice(after, run.site.grid)) {
            std::cout << " MEMBER " << m.id() << ": ITS GRID " << out
                      << " CANNOT BE READ OR DOES NOT FIT THE SITE" << std::endl;
            outcome.failed.push_back(m.id());
            continue;
        }
        MemberFigures f = member_figures(run.site, after);
        f.loads = read_load_table((fs::path(m.folder) / (run.inputs.out + ".CSV")).string());
        std::vector<float> d = site_depths(after), t(d.size());
        for (std::size_t i = 0; i < d.size(); ++i) t[i] = start[i] - d[i];
        run.depths.push_back(std::move(d));
        run.thickness.push_back(std::move(t));
        run.done.push_back(&m);
        run.figures.push_back(f);
        ++outcome.done;
    }
    if (!run.done.empty()) {
        run.depth_stats = point_stats(run.depths);
        run.thickness_stats = point_stats(run.thickness);
        run.exceedance = exceedance(run.depths, run.inputs.navigable_depth);
    }
    return run;
}

std::string number(double v, int decimals) {
    if (!std::isfinite(v)) return "";
    std::ostringstream s;
    s << std::fixed << std::setprecision(decimals) << v;
    return s.str();
}

void write_text(const fs::path& path, const std::string& text, EnsembleOutcome& outcome) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
    out.flush();
    if (!out) throw InputError("CANNOT WRITE " + path.string());
    outcome.written.push_back(path.string());
}

void write_members_csv(const fs::path& path, const std::vector<PlanRun>& runs,
                       const std::vector<Member>& members, EnsembleOutcome& outcome) {
    std::ostringstream s;
    s << "plan,member,seed,status,exit_status,volume_on_site_cy,mound_top_rise_ft,"
         "mound_top_depth_ft,mound_top_easting,mound_top_northing,loads,loads_refused,"
         "loads_failed,suspended_cuft,folder\n";
    for (const Member& m : members) {
        const MemberStatus st = read_member_status(m.folder);
        const MemberFigures* f = nullptr;
        for (const PlanRun& r : runs)
            for (std::size_t k = 0; k < r.done.size(); ++k)
                if (r.done[k] == &m) f = &r.figures[k];
        s << m.plan << ',' << m.index + 1 << ',' << m.seed << ','
          << (f                                  ? "done"
              : st.state == MemberState::Missing ? "missing"
                                                 : "failed")
          << ',' << (st.state == MemberState::Missing ? "" : std::to_string(st.exit_status)) << ',';
        if (f) {
            s << number(f->volume_cy, 0) << ',' << number(f->top_rise_ft, 2) << ','
              << number(f->top_depth_ft, 2) << ',' << number(f->top_e, 4) << ','
              << number(f->top_n, 4) << ',';
            if (f->loads.found)
                s << f->loads.loads << ',' << f->loads.refused << ',' << f->loads.failed << ','
                  << number(f->loads.suspended_cuft, 1) << ',';
            else
                s << ",,,,";
        } else {
            s << ",,,,,,,,,";
        }
        s << m.folder << '\n';
    }
    write_text(path, s.str(), outcome);
}

// Mean of some figures; NaN for none.
double mean_of(const std::vector<double>& v) {
    if (v.empty()) return std::numeric_limits<double>::quiet_NaN();
    double sum = 0;
    for (double x : v) sum += x;
    return sum / static_cast<double>(v.size());
}

double percentile_of(const std::vector<double>& v, double p) {
    if (v.empty()) return std::numeric_limits<double>::quiet_NaN();
    std::vector<float> f(v.begin(), v.end());
    return percentile(f, p);
}

// The plan-against-plan summary: one row per plan, as CSV and as a table on
// the console.
void write_plans_summary(const fs::path& path, const std::vector<PlanRun>& runs,
                         EnsembleOutcome& outcome) {
    std::ostringstream csv, table;
    csv << "plan,members,done,navigable_depth_ft,volume_mean_cy,volume_p05_cy,volume_p95_cy,"
           "mound_top_rise_mean_ft,mound_top_rise_p95_ft,exceedance_max,"
           "area_exceedance_5pct_acres,area_exceedance_50pct_acres,loads_refused_mean,"
           "suspended_mean_cuft\n";
    table << std::left << std::setw(16) << " PLAN" << std::right << std::setw(8) << "DONE"
          << std::setw(12) << "VOLUME CY" << std::setw(13) << "TOP RISE FT" << std::setw(10)
          << "P(EXC)" << std::setw(16) << "ACRES P>=0.05" << '\n';
    for (const PlanRun& r : runs) {
        std::vector<double> vol, rise, refused, suspended;
        for (const MemberFigures& f : r.figures) {
            vol.push_back(f.volume_cy);
            rise.push_back(f.top_rise_ft);
            if (f.loads.found) {
                refused.push_back(f.loads.refused);
                suspended.push_back(f.loads.suspended_cuft);
            }
        }
        double pmax = r.exceedance.empty() ? std::numeric_limits<double>::quiet_NaN() : 0.0;
        int n05 = 0, n50 = 0;
        for (float p : r.exceedance) {
            pmax = std::max(pmax, static_cast<double>(p));
            n05 += p >= 0.05f;
            n50 += p >= 0.5f;
        }
        const double cell = static_cast<double>(r.site.grid.interval) *
                            static_cast<double>(r.site.grid.interval) / SQFT_PER_ACRE;
        const bool any = !r.done.empty();
        csv << r.plan->name << ',' << r.plan->members << ',' << r.done.size() << ','
            << r.inputs.navigable_depth << ',' << number(mean_of(vol), 0) << ','
            << number(percentile_of(vol, 0.05), 0) << ',' << number(percentile_of(vol, 0.95), 0)
            << ',' << number(mean_of(rise), 2) << ',' << number(percentile_of(rise, 0.95), 2) << ','
            << number(pmax, 3) << ',' << (any ? number(n05 * cell, 2) : "") << ','
            << (any ? number(n50 * cell, 2) : "") << ',' << number(mean_of(refused), 2) << ','
            << number(mean_of(suspended), 1) << '\n';
        table << ' ' << std::left << std::setw(15) << r.plan->name << std::right << std::setw(8)
              << (std::to_string(r.done.size()) + "/" + std::to_string(r.plan->members))
              << std::setw(12) << number(mean_of(vol), 0) << std::setw(13)
              << number(mean_of(rise), 2) << std::setw(10) << number(pmax, 3) << std::setw(16)
              << (any ? number(n05 * cell, 2) : "") << '\n';
    }
    write_text(path, csv.str(), outcome);
    std::cout << table.str()
              << " (MEANS OVER THE MEMBERS; P(EXC): THE HIGHEST PROBABILITY OF A "
                 "POINT RISING ABOVE THE NAVIGABLE DEPTH)"
              << std::endl;
}

// A plane of the site grid (northern row first) in the order of the NetCDF
// lattice (southern row first).
std::vector<float> south_first(const std::vector<float>& v, int nx, int ny) {
    std::vector<float> out(v.size());
    for (int j = 0; j < ny; ++j)
        std::copy_n(v.begin() + static_cast<std::ptrdiff_t>((ny - 1 - j) * nx), nx,
                    out.begin() + static_cast<std::ptrdiff_t>(j * nx));
    return out;
}

void write_netcdf(const fs::path& path, const std::vector<PlanRun>& runs,
                  const AggregateOptions& options, EnsembleOutcome& outcome) {
    const PlanRun& first = runs.front();
    const gridlib::SiteGrid& g = first.site.grid;
    for (const PlanRun& r : runs)
        if (!same_lattice(r.site.grid, g))
            throw InputError("THE PLANS START FROM SITES OF DIFFERENT GRIDS (PLAN " + r.plan->name +
                             "); ensemble.nc HOLDS ONE LATTICE");
    const int nx = g.points_we, ny = g.points_ns;
    results::Raster lattice;
    lattice.nx = nx;
    lattice.ny = ny;
    lattice.dx = static_cast<double>(g.interval);
    lattice.y0 = static_cast<double>(ny - 1) * static_cast<double>(g.interval);
    lattice.dy = -static_cast<double>(g.interval);

    struct Named {
        const char* name;
        const char* long_name;
        const char* units;
        const char* positive;
        std::vector<float> PlanRun::*field;
        std::vector<float> PointStats::*stat;
        PointStats PlanRun::*stats;
    };
    const std::vector<Named> named = {
        {"exceedance_probability",
         "probability that the bottom rises above the navigable depth (the integer part of the "
         "final depth at most the navigable depth)",
         "1", "", &PlanRun::exceedance, nullptr, nullptr},
        {"depth_mean", "mean final depth over the members", "ft", "down", nullptr,
         &PointStats::mean, &PlanRun::depth_stats},
        {"depth_min", "least final depth over the members", "ft", "down", nullptr, &PointStats::min,
         &PlanRun::depth_stats},
        {"depth_p05", "5th percentile of the final depth", "ft", "down", nullptr, &PointStats::p05,
         &PlanRun::depth_stats},
        {"depth_p50", "median final depth", "ft", "down", nullptr, &PointStats::p50,
         &PlanRun::depth_stats},
        {"depth_p95", "95th percentile of the final depth", "ft", "down", nullptr, &PointStats::p95,
         &PlanRun::depth_stats},
        {"thickness_p50",
         "median deposit thickness (rise of the bottom: starting depth minus final depth)", "ft",
         "", nullptr, &PointStats::p50, &PlanRun::thickness_stats},
        {"thickness_p95", "95th percentile of the deposit thickness", "ft", "", nullptr,
         &PointStats::p95, &PlanRun::thickness_stats},
    };
    std::vector<siteexport::NetcdfField> fields;
    const std::vector<float> none(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny),
                                  std::numeric_limits<float>::quiet_NaN());
    for (const Named& n : named) {
        siteexport::NetcdfField f{n.name, n.long_name, n.units, n.positive, {}};
        for (const PlanRun& r : runs) {
            if (r.done.empty()) {
                f.planes.push_back(none);
                continue;
            }
            const std::vector<float>& v = n.field ? r.*(n.field) : (r.*(n.stats)).*(n.stat);
            f.planes.push_back(south_first(v, nx, ny));
        }
        fields.push_back(std::move(f));
    }
    std::string plan_names, members, navigable;
    for (const PlanRun& r : runs) {
        plan_names += (plan_names.empty() ? "" : " ") + r.plan->name;
        members += (members.empty() ? "" : " ") + std::to_string(r.done.size());
        navigable += (navigable.empty() ? "" : " ") + std::to_string(r.inputs.navigable_depth);
    }
    const siteexport::Crs crs = siteexport::resolve_crs(options.crs, first.site.frame);
    for (const std::string& note : crs.notes) std::cout << " " << note << '\n';
    if (crs.wkt.empty())
        std::cout
            << " NO --crs GIVEN: ensemble.nc PLACES THE MAPS IN THE SITE'S PLANE FEET, WITHOUT "
               "A NAMED PROJECTION\n";
    siteexport::write_netcdf_fields(
        path.string(), first.site.frame, lattice, crs, "plan", runs.size(), fields,
        {{"title", "ensemble of placement runs: statistics per grid point"},
         {"institution", "disposal site suite"},
         {"source", "ensemble over placer runs with seeded random scatter"},
         {"plan_names", plan_names},
         {"plan_members", members},
         {"plan_navigable_depth_ft", navigable},
         {"comment",
          "one plane per plan (plan_names, in order); percentiles are linear between the "
          "members' sorted values; NaN for a plan without a finished member; lattice " +
              std::to_string(nx) + " x " + std::to_string(ny) + " site points, interval " +
              std::to_string(g.interval) + " ft"}});
    outcome.written.push_back(path.string());
}

results::Raster site_plane(const gridlib::SiteGrid& g, const std::vector<float>& v) {
    results::Raster r = results::site_raster(g);
    r.v = v;
    return r;
}

void draw_maps(const fs::path& folder, const PlanRun& r, EnsembleOutcome& outcome) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string members = std::to_string(r.done.size()) + " MEMBERS";
    siteplot::MapPicture p;
    p.frame = r.site.frame;
    siteplot::set_axis_labels(p);
    p.title = "PLAN " + r.plan->name + ": BOTTOM ABOVE THE NAVIGABLE DEPTH";
    p.subtitle = "PROBABILITY OVER " + members + ", NAVIGABLE DEPTH " +
                 std::to_string(r.inputs.navigable_depth) + " FT";
    p.raster = site_plane(r.site.grid, r.exceedance);
    p.scale = siteplot::make_scale(siteplot::ScaleKind::Thickness, 0.0, 1.0, 0.1);
    p.bar_label = "PROBABILITY";
    p.skip_zero_contour = true;
    p.isolines.push_back({site_plane(r.site.grid, r.depth_stats.p50),
                          static_cast<double>(r.inputs.navigable_depth),
                          "MEDIAN BOTTOM AT THE NAVIGABLE DEPTH"});
    const fs::path exc = folder / (r.plan->name + "-exceedance.png");
    siteplot::draw_map(exc.string(), 1000, 800, p);
    outcome.written.push_back(exc.string());

    const std::pair<const char*, const std::vector<float>*> thick[] = {
        {"p50", &r.thickness_stats.p50}, {"p95", &r.thickness_stats.p95}};
    for (const auto& t : thick) {
        siteplot::MapPicture q;
        q.frame = r.site.frame;
        siteplot::set_axis_labels(q);
        q.title = std::string("PLAN ") + r.plan->name + ": DEPOSIT THICKNESS, " +
                  (t.first[1] == '5' ? "MEDIAN" : "95TH PERCENTILE");
        q.subtitle = members + ", FINAL BOTTOM AGAINST THE STARTING SITE";
        q.raster = site_plane(r.site.grid, *t.second);
        const auto mm = std::minmax_element(t.second->begin(), t.second->end());
        q.scale = siteplot::make_scale(siteplot::ScaleKind::Thickness, 0.0,
                                       std::max(0.1, static_cast<double>(*mm.second)));
        q.bar_label = "THICKNESS (FT)";
        q.skip_zero_contour = true;
        const fs::path png = folder / (r.plan->name + "-thickness-" + t.first + ".png");
        siteplot::draw_map(png.string(), 1000, 800, q);
        outcome.written.push_back(png.string());
    }
}

}  // namespace

double percentile(std::vector<float>& values, double p) {
    if (values.empty()) return std::numeric_limits<double>::quiet_NaN();
    std::sort(values.begin(), values.end());
    const double rank = p * static_cast<double>(values.size() - 1);
    const std::size_t lo = static_cast<std::size_t>(std::floor(rank));
    const std::size_t hi = std::min(lo + 1, values.size() - 1);
    const double w = rank - static_cast<double>(lo);
    return static_cast<double>(values[lo]) * (1.0 - w) + static_cast<double>(values[hi]) * w;
}

PointStats point_stats(const std::vector<std::vector<float>>& values) {
    PointStats s;
    if (values.empty()) return s;
    const std::size_t n = values.front().size();
    for (auto* v : {&s.mean, &s.min, &s.p05, &s.p50, &s.p95}) v->resize(n);
    std::vector<float> column(values.size());
    for (std::size_t i = 0; i < n; ++i) {
        double sum = 0;
        for (std::size_t m = 0; m < values.size(); ++m) {
            column[m] = values[m][i];
            sum += static_cast<double>(column[m]);
        }
        s.mean[i] = static_cast<float>(sum / static_cast<double>(values.size()));
        s.p05[i] = static_cast<float>(percentile(column, 0.05));  // sorts the column
        s.min[i] = column.front();
        s.p50[i] = static_cast<float>(percentile(column, 0.50));
        s.p95[i] = static_cast<float>(percentile(column, 0.95));
    }
    return s;
}

std::vector<float> exceedance(const std::vector<std::vector<float>>& depths, int navigable_depth) {
    if (depths.empty()) return {};
    std::vector<float> p(depths.front().size(), 0.0f);
    for (std::size_t i = 0; i < p.size(); ++i) {
        int above = 0;
        for (const std::vector<float>& d : depths)
            above += static_cast<int>(d[i]) <= navigable_depth;  // integer part, as the report
        p[i] = static_cast<float>(static_cast<double>(above) / static_cast<double>(depths.size()));
    }
    return p;
}

EnsembleOutcome aggregate(const std::string& run_folder, const std::string& out_folder,
                          const std::vector<Plan>& plans, const std::vector<Member>& members,
                          const AggregateOptions& options) {
    EnsembleOutcome outcome;
    std::vector<PlanRun> runs;
    for (const Plan& p : plans) runs.push_back(read_plan(run_folder, p, members, outcome));
    const fs::path out(out_folder);
    write_members_csv(out / "members.csv", runs, members, outcome);
    if (outcome.done == 0) return outcome;
    write_plans_summary(out / "plans.csv", runs, outcome);
    write_netcdf(out / "ensemble.nc", runs, options, outcome);
    for (const PlanRun& r : runs)
        if (!r.done.empty()) draw_maps(out / "maps", r, outcome);
    return outcome;
}

}  // namespace ensemble
