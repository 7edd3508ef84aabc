#include "results/mound.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

#include "results/errors.hpp"
#include "suitefiles/history.hpp"
#include "suitefiles/pcd_ini.hpp"

namespace results {
namespace {

std::size_t node(const BathSeries& s, int i, int j) {
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(s.ny) +
           static_cast<std::size_t>(j);
}

// Local offsets of lattice node (i, j), both 0-based, j = 0 the southern row.
XY node_local(const BathSeries& s, int i, int j, double we, double ns) {
    const double dx = s.nx > 1 ? we / (s.nx - 1) : 0.0;
    const double dy = s.ny > 1 ? ns / (s.ny - 1) : 0.0;
    return {i * dx, ns - j * dy};
}

}  // namespace

Reference flat_reference(const BathSeries& s) {
    const std::size_t n = static_cast<std::size_t>(s.nx) * static_cast<std::size_t>(s.ny);
    return Reference(n, static_cast<double>(s.grids.at(0).depth.at(0)));
}

Reference first_grid_reference(const BathSeries& s) {
    const std::vector<float>& d = s.grids.at(0).depth;
    return Reference(d.begin(), d.end());
}

Reference site_reference(const gridlib::SiteGrid& base, const BathSeries& s) {
    const double iv = static_cast<double>(base.interval);
    const double we = (base.points_we - 1) * iv, ns = (base.points_ns - 1) * iv;
    Reference ref(static_cast<std::size_t>(s.nx) * static_cast<std::size_t>(s.ny), 0.0);
    auto depth = [&](int row, int col) {
        return static_cast<double>(
            base.depth[static_cast<std::size_t>(row) * static_cast<std::size_t>(base.points_we) +
                       static_cast<std::size_t>(col)]);
    };
    for (int i = 0; i < s.nx; ++i)
        for (int j = 0; j < s.ny; ++j) {
            const XY p = node_local(s, i, j, we, ns);
            // Fractional column and row of the node on the site grid.
            const double fc = std::clamp(p.x / iv, 0.0, static_cast<double>(base.points_we - 1));
            const double fr = std::clamp(p.y / iv, 0.0, static_cast<double>(base.points_ns - 1));
            const int c0 = std::min(static_cast<int>(fc), std::max(base.points_we - 2, 0));
            const int r0 = std::min(static_cast<int>(fr), std::max(base.points_ns - 2, 0));
            const int c1 = std::min(c0 + 1, base.points_we - 1),
                      r1 = std::min(r0 + 1, base.points_ns - 1);
            const double tc = fc - c0, tr = fr - r0;
            ref[node(s, i, j)] = (1 - tr) * ((1 - tc) * depth(r0, c0) + tc * depth(r0, c1)) +
                                 tr * ((1 - tc) * depth(r1, c0) + tc * depth(r1, c1));
        }
    return ref;
}

std::vector<bool> mound_area(const BathSeries& s, const Reference& ref) {
    if (ref.size() != static_cast<std::size_t>(s.nx) * static_cast<std::size_t>(s.ny))
        throw InputError("THE REFERENCE BED DOES NOT FIT THE LATTICE");
    auto area_of = [&](const BathGrid& g) {
        std::vector<bool> a(ref.size(), false);
        bool any = false;
        for (std::size_t k = 0; k < ref.size(); ++k)
            if (ref[k] - static_cast<double>(g.depth[k]) > MOUND_AREA_RISE) a[k] = any = true;
        return std::make_pair(a, any);
    };
    for (auto g = s.grids.rbegin(); g != s.grids.rend(); ++g)
        if (g->kind == "DISPOSAL WEEK") {
            auto a = area_of(*g);
            if (a.second) return a.first;
        }
    for (const BathGrid& g : s.grids) {
        auto a = area_of(g);
        if (a.second) return a.first;
    }
    return {};
}

std::vector<MoundState> mound_history(const BathSeries& s, const Reference& ref, const Frame& f,
                                      double we_ft, double ns_ft) {
    const std::vector<bool> area = mound_area(s, ref);
    const double cell_cy = static_cast<double>(s.dx) * static_cast<double>(s.dy) / 27.0;
    std::vector<MoundState> out;
    for (const BathGrid& g : s.grids) {
        MoundState m;
        m.hours = g.hours;
        double net = 0, net_area = 0, sum_h = 0, sum_x = 0, sum_y = 0;
        for (int i = 0; i < s.nx; ++i)
            for (int j = 0; j < s.ny; ++j) {
                const std::size_t k = node(s, i, j);
                const double h = ref[k] - static_cast<double>(g.depth[k]);
                const bool in_area = !area.empty() && area[k];
                net += h;
                if (in_area) net_area += h;
                if (!(h > 0)) continue;
                m.height = std::max(m.height, h);
                m.has_mound = true;
                if (!area.empty() && !in_area) continue;
                const XY p = node_local(s, i, j, we_ft, ns_ft);
                sum_h += h;
                sum_x += h * p.x;
                sum_y += h * p.y;
            }
        m.volume = net * cell_cy;
        m.area_volume = net_area * cell_cy;
        if (sum_h > 0) {
            m.centroid_xl = sum_x / sum_h;
            m.centroid_yl = sum_y / sum_h;
        } else {
            m.has_mound = false;
        }
        out.push_back(m);
    }
    // Shift of the centroid since the first grid that has a mound, turned
    // from the site axes to east and north.
    const MoundState* first = nullptr;
    for (MoundState& m : out) {
        if (!m.has_mound) continue;
        if (!first) first = &m;
        const double dxl = m.centroid_xl - first->centroid_xl,
                     dyl = m.centroid_yl - first->centroid_yl;
        m.offset_e = dxl * f.cosr + dyl * f.sinr;
        m.offset_n = dxl * f.sinr - dyl * f.cosr;
        m.offset = std::hypot(m.offset_e, m.offset_n);
    }
    return out;
}

BathSeries thickness_series(const BathSeries& s, const Reference& ref) {
    BathSeries t = s;
    for (BathGrid& g : t.grids)
        for (std::size_t k = 0; k < g.depth.size(); ++k)
            g.depth[k] = static_cast<float>(ref[k] - static_cast<double>(g.depth[k]));
    return t;
}

namespace {

// The run's control file names a cohesive placement run (its long-term model
// then works on the thickness form); false when it does not say, or cannot
// be read as far as its sediment type.
bool cohesive_placement_run(const std::string& pcd) {
    suitefiles::PcdIni run;
    try {
        return suitefiles::read_pcd_ini(pcd, run) && suitefiles::code(run.ised) > 1 &&
               suitefiles::code(run.icoh) == 2;
    } catch (const recio::RecordError&) {
        return false;
    }
}

}  // namespace

SiteSeries load_site_series(const std::string& plotbath_file, const Site& site,
                            const std::string& pcd_file) {
    SiteSeries out;
    const gridlib::SiteGrid& g = site.grid;
    out.we_ft = (g.points_we - 1) * static_cast<double>(g.interval);
    out.ns_ft = (g.points_ns - 1) * static_cast<double>(g.interval);
    if (suitefiles::is_history_file(plotbath_file)) {
        out.series = read_site_history(plotbath_file, g);
        out.history = true;
        return out;
    }
    std::string pcd = pcd_file;
    if (pcd.empty()) {
        const std::filesystem::path beside =
            std::filesystem::path(plotbath_file).parent_path() / "PCD.INI";
        std::error_code ec;
        if (std::filesystem::exists(beside, ec)) pcd = beside.string();  // named if not a file
    }
    double start = 0;
    if (!pcd.empty()) {
        start = run_start_hours(pcd);
        out.notes.push_back("THE INITIAL GRID IS AT " + std::to_string(static_cast<long>(start)) +
                            " HOURS (START STEP OF " + pcd + ")");
        if (cohesive_placement_run(pcd)) {
            out.thickness_form = true;
            out.notes.push_back(
                plotbath_file +
                " IS OF A COHESIVE PLACEMENT RUN: ITS GRIDS ARE THE MOUND ON A FLAT BED AT THE "
                "REFERENCE DEPTH, NOT SITE DEPTHS (THE SITE'S HISTORY, <OUTPUT>.HIS, HAS THEM)");
        }
    } else {
        out.notes.push_back("NO PCD.INI: THE INITIAL GRID IS TAKEN AT 0 HOURS");
    }
    const suitefiles::LatticeSize n = suitefiles::lattice_size(g.points_we, g.points_ns);
    out.series = read_plotbath(plotbath_file, n.nx, n.ny, start);
    if (!out.series.complete)
        out.notes.push_back(plotbath_file + " HAS NO END MARKER: THE RUN MAY NOT HAVE FINISHED");
    return out;
}

}  // namespace results
