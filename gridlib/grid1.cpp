// GRID1: stores a site grid (.IN), its x,y,z point file (.DAT) and its
// resampled grid (.TNS) on a lattice of at most 201 x 201 nodes.
//
// The resampling takes, for every node, the nearest grid point (pass 1), then
// an inverse-distance (1/d^3) weighting of the few nearest grid points (pass 2),
// searching only a small window of rows and columns around the node's place in
// the source grid, so its cost grows with the number of nodes only.
#include <algorithm>
#include <cmath>

#include "gridlib/layout.hpp"
#include "gridlib/sitegrid.hpp"
#include "recio/console.hpp"
#include "recio/file_set.hpp"
#include "recio/records.hpp"
#include "suitefiles/tns.hpp"

namespace gridlib {
namespace {

using recio::RecordWriter;

constexpr const char* GRID_FILE_HEADER =
    "(1X,'TOTAL NUMBER OF GRID POINTS FOR THIS DISPOSAL',/,"
    "1X,'AREA IS ',I5,/,"
    "1X,'THE NUMBER OF GRID POINTS IN THE NORTH-SOUTH',/,"
    "1X,'DIRECTION IS ',I3,/,"
    "1X,'THE NUMBER OF GRID POINTS IN THE WEST-EAST',/,"
    "1X,'DIRECTION IS ',I3,/,"
    "1X,'THE INTERVAL (FEET) BETWEEN GRID POINTS IS ',I4,/,"
    "1X,'GRID ROTATION ANGLE (DEG.) FROM TRUE NORTH IS ',F5.1,/,"
    "1X,'COORDINATE SYSTEM IS ',I3,/,"
    "1X,'LONGTERM DATUM IS ',F8.3,/,"
    "1X,'LOCAL NW CORNER IS ',2F12.4,/,/,/)";
constexpr const char* GRID_FILE_DEPTHS = "(26F8.3)";
constexpr const char* POINT_RECORD = "(1X,6X,F12.4,F12.4,6X,F10.4)";

using suitefiles::Position;
using suitefiles::Rotation;
using suitefiles::SiteGeometry;

float point_file_depth(float depth, float datum, std::int16_t sign_option) {
    if (sign_option == 1) return -depth;
    if (sign_option == 2) return datum - depth;
    return depth;
}

// A writer of `name`: straight into place, or to its temporary in a set.
struct Target {
    std::string name;
    recio::FileSet* set = nullptr;
};

bool open_target(RecordWriter& out, const Target& t) {
    if (t.set) return out.open(t.set->stage(t.name), RecordWriter::Mode::Staged);
    return out.open(t.name, RecordWriter::Mode::Atomic);
}

bool finish(RecordWriter& out, const Target& t, GridReport& report) {
    if (out.close()) return true;
    report.lines.push_back("UNABLE TO WRITE FILE " + t.name);
    return false;
}

bool write_grid_file(const Target& name, const SiteGrid& g, GridReport& report) {
    RecordWriter out;
    open_target(out, name);
    out.write(GRID_FILE_HEADER, g.total_points, g.points_ns, g.points_we, g.interval, g.rotation,
              g.coord_system, g.datum, g.local_nw_e, g.local_nw_n);
    out.write(GRID_FILE_DEPTHS,
              recio::array(g.depth.data(), static_cast<std::size_t>(std::max(0, g.total_points))));
    return finish(out, name, report);
}

struct Corners {
    Position ne, sw, se;
};

bool write_point_file(const Target& name, const SiteGrid& g, const SiteGeometry& site,
                      const Rotation& rot, std::int16_t sign_option, GridReport& report) {
    RecordWriter out;
    open_target(out, name);
    for (std::int32_t i = 1; i <= g.total_points; ++i) {
        const Position p = suitefiles::grid1_position(site, rot, i);
        out.write(POINT_RECORD, p.e, p.n,
                  point_file_depth(g.depth[static_cast<std::size_t>(i - 1)], g.datum, sign_option));
    }
    return finish(out, name, report);
}

struct Resampling {
    int m1 = 0, m2 = 0;
    float rx = 0, ry = 0, sp = 0;
    SiteGeometry local;  // the grid from its local NW corner
    Rotation rot;
};

// Pass 1: each node takes the depth of the nearest grid point in a window of
// 5 columns by 3 rows around the node's place in the source grid.
void nearest_point_pass(const SiteGrid& g, const Resampling& rs, const Corners& c, float dey,
                        float dny, float dex, float dnx, ResampleWork& w) {
    const std::int32_t total = g.total_points, we = g.points_we;
    for (int i = 1; i <= rs.m1; ++i) {
        for (int j = 1; j <= rs.m2; ++j) {
            std::size_t k = static_cast<std::size_t>((i - 1) * rs.m2 + j - 1);
            w.node_e[k] =
                c.sw.e + static_cast<float>(j - 1) * dey + static_cast<float>(i - 1) * dex;
            w.node_n[k] =
                c.sw.n + static_cast<float>(j - 1) * dny + static_cast<float>(i - 1) * dnx;
            float radius = rs.sp * 1.4142f + 5.0f;
            int q = static_cast<int>(static_cast<float>(j) * rs.ry);
            int p = static_cast<int>(static_cast<float>(i) * rs.rx);
            int col_lo = std::max(1, p - 2);
            int col_hi = std::min<int>(we, col_lo + 4);
            std::int32_t start = q <= 3 ? total : total - (q - 2) * we;
            std::int32_t end = std::max<std::int32_t>(1, start - 3 * we + 1);
            start = std::min(start, total);
            for (std::int32_t m = start; m >= end; --m) {
                std::int32_t col = m - suitefiles::point_row(m, g.points_we) * we;
                if (col < col_lo || col > col_hi) continue;
                Position s = suitefiles::grid1_local_position(rs.local, rs.rot, m);
                float dx = std::fabs(s.e - w.node_e[k]);
                float dy = std::fabs(s.n - w.node_n[k]);
                float d = std::sqrt(dx * dx + dy * dy);
                if (d < radius) {
                    radius = d;
                    w.node_d[k] = g.depth[static_cast<std::size_t>(m - 1)];
                }
            }
        }
    }
}

// Pass 2: each node takes the 1/d^3-weighted mean of up to K nearest grid
// points within a radius (K = 8, or 4 when the lattice is not much coarser
// than the grid; 3 within the node spacing on the lattice's edges), searched
// in a window of 7 columns by about 7 rows. A node with no candidate keeps
// its pass 1 depth.
void weighted_pass(const SiteGrid& g, const Resampling& rs, ResampleWork& w) {
    const std::int32_t total = g.total_points, we = g.points_we, ns = g.points_ns;
    const int nodes = rs.m1 * rs.m2;
    for (int k = 1; k <= nodes; ++k) {
        int ii = static_cast<int>(static_cast<float>(k) / (static_cast<float>(rs.m2) + 0.01f));
        int jj = k - ii * rs.m2;
        float fy = static_cast<float>(jj) * rs.ry;
        float fx = static_cast<float>(ii) * rs.rx;
        int col_lo = std::max(1, static_cast<int>(fx) - 3);
        int col_hi = std::min<int>(we, col_lo + 6);
        std::int32_t start = fy > 4.0f ? total - (static_cast<int>(fy) - 3) * we : total;
        std::int32_t end;
        if (fy >= static_cast<float>(ns - 4)) {
            start = total - (ns - 5) * we;
            end = 1;
        } else {
            end = (ns - 1 - (static_cast<int>(fy) + 3)) * we + 1;
        }
        start = std::min(start, total);
        end = std::max<std::int32_t>(end, 1);

        int limit = 8;
        double radius = static_cast<double>(rs.sp * 1.4142f + 5.0f);
        if (rs.sp < 1.7f * static_cast<float>(g.interval)) limit = 4;
        if (k <= rs.m2 || k > nodes - rs.m2 || jj == 1 || jj == rs.m2) {
            radius = static_cast<double>(rs.sp);
            limit = 3;
        }
        double cand_d[8];
        float cand_depth[8];
        int held = 0;
        const std::size_t kk = static_cast<std::size_t>(k - 1);
        for (std::int32_t m = start; m >= end; --m) {
            std::int32_t col = m - suitefiles::point_row(m, g.points_we) * we;
            if (col < col_lo || col > col_hi) continue;
            Position s = suitefiles::grid1_local_position(rs.local, rs.rot, m);
            double dx = std::fabs(static_cast<double>(s.e) - static_cast<double>(w.node_e[kk]));
            double dy = std::fabs(static_cast<double>(s.n) - static_cast<double>(w.node_n[kk]));
            if (dx < 2.0) dx = 1.0;
            if (dy < 2.0) dy = 1.0;
            double d = std::sqrt(dx * dx + dy * dy);
            if (!(d < radius)) continue;
            int slot = held;
            if (held == limit) {
                slot = 0;
                for (int c = 1; c < held; ++c)
                    if (cand_d[c] > cand_d[slot]) slot = c;
                if (d > cand_d[slot]) continue;
            } else {
                ++held;
            }
            cand_d[slot] = d < 2.0 ? 1.0 : d;
            cand_depth[slot] = g.depth[static_cast<std::size_t>(m - 1)];
        }
        if (held == 0) continue;
        double sum_wd = 0.0, sum_w = 0.0;
        for (int c = 0; c < held; ++c) {
            double d3 = cand_d[c] * cand_d[c] * cand_d[c];
            sum_wd += static_cast<double>(cand_depth[c]) / d3;
            sum_w += 1.0 / d3;
        }
        w.node_d[kk] = static_cast<float>(sum_wd / sum_w);
    }
}

// Fills the resampled lattice; (1, 1) is the SW corner and (M1, M2) the NE corner.
void resample(const SiteGrid& g, Resampling& rs, const Corners& c, ResampleWork& w, bool fill) {
    const std::int32_t total = g.total_points, we = g.points_we, ns = g.points_ns;
    const auto depth_of = [&](std::int32_t point) {
        return g.depth[static_cast<std::size_t>(point - 1)];
    };
    if (rs.m1 == we && rs.m2 == ns) {
        if (!fill) return;
        for (int i = 1; i <= rs.m1; ++i)
            for (int j = 1; j <= rs.m2; ++j)
                w.at(i, j) = depth_of(total - (we - 1) + (i - 1) - (j - 1) * we);
        return;
    }
    rs.ry = static_cast<float>(ns) / static_cast<float>(rs.m2);
    rs.rx = static_cast<float>(we) / static_cast<float>(rs.m1);
    float dey = (g.local_nw_e - c.sw.e) / static_cast<float>(rs.m2 - 1);
    float dny = (g.local_nw_n - c.sw.n) / static_cast<float>(rs.m2 - 1);
    float dex = (c.se.e - c.sw.e) / static_cast<float>(rs.m1 - 1);
    float dnx = (c.se.n - c.sw.n) / static_cast<float>(rs.m1 - 1);
    if (!fill) return;
    nearest_point_pass(g, rs, c, dey, dny, dex, dnx, w);
    weighted_pass(g, rs, w);
    for (int i = 1; i <= rs.m1; ++i)
        for (int j = 1; j <= rs.m2; ++j)
            w.at(i, j) = w.node_d[static_cast<std::size_t>((i - 1) * rs.m2 + j - 1)];
    w.at(1, 1) = depth_of(total - we + 1);
    w.at(1, rs.m2) = depth_of(1);
    w.at(rs.m1, 1) = depth_of(total);
    w.at(rs.m1, rs.m2) = depth_of(we);
}

bool write_resampled_file(const Target& name, const Resampling& rs, ResampleWork& w,
                          std::string_view title, GridReport& report) {
    RecordWriter out;
    open_target(out, name);
    std::vector<float> values;
    values.reserve(static_cast<std::size_t>(rs.m1 * rs.m2));
    for (int i = 1; i <= rs.m1; ++i)
        for (int j = 1; j <= rs.m2; ++j) values.push_back(w.at(i, j));
    suitefiles::write_tns(out, rs.sp, title, values.data(), values.size());
    return finish(out, name, report);
}

}  // namespace

namespace layout {

// SP: the grid interval when the grid is not reduced; otherwise the smaller
// of the two axes' extents over their node steps, in whole feet.
ResampledLattice resampled_lattice(const SiteGrid& g) {
    ResampledLattice r;
    const suitefiles::LatticeSize size = suitefiles::lattice_size(g.points_we, g.points_ns);
    r.m1 = size.nx;
    r.m2 = size.ny;
    if (r.m1 == g.points_we && r.m2 == g.points_ns) {
        r.sp = static_cast<float>(g.interval);
    } else {
        int sp_ns = (g.points_ns - 1) * g.interval / (r.m2 - 1);
        int sp_we = (g.points_we - 1) * g.interval / (r.m1 - 1);
        r.sp = static_cast<float>(std::min(sp_ns, sp_we));
    }
    return r;
}

}  // namespace layout

bool commit_site(recio::FileSet& set) {
    if (set.commit()) return true;
    recio::console_list("UNABLE TO WRITE FILE " + set.failure() + "; THE SITE IS AS IT WAS");
    return false;
}

GridStored GRID1(std::string_view file_name, float site_nw_e, float site_nw_n, const SiteGrid& g,
                 ResampleWork& w, std::int32_t mode, std::int16_t sign_option,
                 std::string_view title, recio::FileSet* set) {
    GridStored out;
    const auto failed = [&out]() {
        out.ok = false;
        return out;
    };
    std::string name = trimmed(file_name);
    std::string base = base_name(name);
    // Nothing is written that RGRID1 (or the long-term model) could not read back.
    const std::string fault = grid_fault(g);
    if (!fault.empty()) {
        out.report.lines.push_back("GRID FILE " + name + " NOT WRITTEN: " + fault);
        return failed();
    }
    if (mode != GRID1_GRID_ONLY) {
        const std::string spacing = resampled_spacing_fault(g);
        if (!spacing.empty())
            out.report.lines.push_back("NOTE: " + spacing + "; THE LONG-TERM MODEL CANNOT READ " +
                                       base + ".TNS");
    }
    if (mode == GRID1_NEW) {
        std::fill(w.node_e.begin(), w.node_e.end(), 0.0f);
        std::fill(w.node_n.begin(), w.node_n.end(), 0.0f);
        std::fill(w.node_d.begin(), w.node_d.end(), 0.0f);
        std::fill(w.res.begin(), w.res.end(), 0.0f);
    }
    if (!write_grid_file({name, set}, g, out.report)) return failed();
    if (mode == GRID1_GRID_ONLY) return out;

    const Rotation rot = suitefiles::rotation_of(g.rotation, g.coord_system, site_nw_n);
    if (!write_point_file({base + ".DAT", set}, g, geometry_of(g, site_nw_e, site_nw_n), rot,
                          sign_option, out.report))
        return failed();

    Resampling rs;
    rs.local = geometry_of(g, g.local_nw_e, g.local_nw_n);
    rs.rot = rot;
    Corners c;
    c.ne = suitefiles::grid1_local_position(rs.local, rot, g.points_we);
    c.sw = suitefiles::grid1_local_position(rs.local, rot, g.total_points - g.points_we + 1);
    c.se = suitefiles::grid1_local_position(rs.local, rot, g.total_points);
    const layout::ResampledLattice lattice = layout::resampled_lattice(g);
    rs.m1 = lattice.m1;
    rs.m2 = lattice.m2;
    rs.sp = lattice.sp;
    resample(g, rs, c, w, mode != GRID1_KEEP_RESAMPLED);
    if (!write_resampled_file({base + ".TNS", set}, rs, w, title, out.report)) return failed();
    return out;
}

}  // namespace gridlib
