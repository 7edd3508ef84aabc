// Simple structures superimposed on a site: a conical mound, and a berm
// built of crest points along a line, each the apex of a cone.
#include <algorithm>
#include <cmath>

#include "utility/utility.hpp"

namespace utility {

CoordFactors coord_factors(std::int16_t coord_system, float nw_latitude) {
    CoordFactors f;
    if (coord_system == 2) {
        f.fact = suitefiles::FEET_PER_DEGREE;
        f.cl = std::cos(suitefiles::radians(nw_latitude));
        f.sgn = -1.0f;
    }
    return f;
}

ShapedSite::ShapedSite(gridlib::SiteGrid& g, float nw_easting, float nw_northing)
    : grid(g),
      nw_e(nw_easting),
      nw_n(nw_northing),
      rot(suitefiles::rotation_of(g.rotation, g.coord_system, nw_northing)),
      f(coord_factors(g.coord_system, nw_northing)) {
    std::size_t n_points = static_cast<std::size_t>(std::max(g.total_points, 0));
    e.resize(n_points);
    n.resize(n_points);
    const suitefiles::SiteGeometry site = gridlib::geometry_of(g, nw_e, nw_n);
    for (std::int32_t i = 1; i <= g.total_points; ++i) {
        suitefiles::Position p = suitefiles::site_position(site, rot, i);
        e[static_cast<std::size_t>(i - 1)] = p.e;
        n[static_cast<std::size_t>(i - 1)] = p.n;
    }
}

void apply_mound(ShapedSite& site, const Mound& m) {
    std::vector<float>& depth = site.grid.depth;
    for (std::size_t i = 0; i < site.e.size(); ++i) {
        float r = distance_ft(site.e[i], site.n[i], m.centre_e, m.centre_n, site.f);
        raise_to_cone(depth[i], m.crest, r, m.slope);
    }
}

BermLine berm_line(const Berm& b, std::int16_t interval, const CoordFactors& f) {
    BermLine line;
    line.start_e = b.start_e;
    line.start_n = b.start_n;
    float dn = (b.start_n - b.end_n) * f.fact;
    float de = (b.start_e - b.end_e) * f.cl * f.fact;
    float length = std::sqrt(dn * dn + de * de);
    if (!(length < 2147483520.0f)) {  // no whole number of feet in 32 bits
        line.too_long = true;
        return line;
    }
    std::int32_t feet = static_cast<std::int32_t>(length);
    float angle = std::fabs(de) < 1.0f ? 1.5708f : std::atan(std::fabs(dn) / std::fabs(de));
    line.sina = std::sin(angle);
    line.cosa = std::cos(angle);
    line.interval = interval;
    line.fact = f.fact;
    line.cl = f.cl;
    line.sgn = f.sgn;
    line.end_north = dn < 0.0f;
    // dE is a difference of coordinates; SGN x dE is the same difference
    // measured eastward in feet (longitudes grow westward), so the end lies
    // east of the start when SGN x dE < 0.
    line.end_east = f.sgn * de < 0.0f;
    line.steps = interval > 0 ? feet / interval : 0;
    return line;
}

suitefiles::Position BermLine::at(std::int32_t j) const {
    float along = static_cast<float>(j * interval);
    float step_n = along * sina / fact;
    float step_e = along * sgn * cosa / (cl * fact);
    suitefiles::Position p;
    // step_e carries SGN: added, it moves the step east in either coordinate system.
    p.n = end_north ? start_n + step_n : start_n - step_n;
    p.e = end_east ? start_e + step_e : start_e - step_e;
    return p;
}

std::vector<suitefiles::Position> berm_steps(const Berm& b, std::int16_t interval,
                                             const CoordFactors& f) {
    BermLine line = berm_line(b, interval, f);
    std::vector<suitefiles::Position> steps;
    if (line.too_long) return steps;
    steps.reserve(static_cast<std::size_t>(line.steps));
    for (std::int32_t j = 1; j <= line.steps; ++j) steps.push_back(line.at(j));
    return steps;
}

void apply_berm_every_point(ShapedSite& site, const Berm& b) {
    BermLine line = berm_line(b, site.grid.interval, site.f);
    if (line.too_long) return;
    std::vector<float>& depth = site.grid.depth;
    const std::size_t n_points = site.e.size();
    const float band = crest_band(b);
    for (std::int32_t j = 1; j <= line.steps; ++j) {
        suitefiles::Position p = line.at(j);
        for (std::size_t a = 0; a < n_points; ++a) {
            if (distance_ft(site.e[a], site.n[a], p.e, p.n, site.f) > band) continue;
            depth[a] = b.crest;
            for (std::size_t m = 0; m < n_points; ++m) {
                float r = distance_ft(site.e[m], site.n[m], site.e[a], site.n[a], site.f);
                raise_to_cone(depth[m], b.crest, r, b.slope);
            }
        }
    }
}

// ---- the berm, visiting only the points it can reach

namespace {

// Index geometry of a site: where a location lies among the rows and columns
// of the grid, and how far (in feet) the float positions of the points may
// stray from the exact lattice. Windows are widened by that allowance, so a
// point left out of a window is one the exact test would have left alone.
struct Lattice {
    std::int32_t rows = 0, cols = 0;
    double interval = 1.0;
    double slack_ft = 1.0;
};

Lattice lattice_of(const ShapedSite& site) {
    const gridlib::SiteGrid& g = site.grid;
    Lattice lat;
    lat.rows = g.points_ns;
    lat.cols = g.points_we;
    lat.interval = static_cast<double>(g.interval);
    // Largest coordinate magnitude in feet, and the size of the site: the
    // rounding of a 32-bit position is a few units in the last place of both.
    double largest = std::max(std::fabs(static_cast<double>(site.nw_e)),
                              std::fabs(static_cast<double>(site.nw_n)));
    for (std::size_t i = 0; i < site.e.size(); ++i)
        largest = std::max({largest, std::fabs(static_cast<double>(site.e[i])),
                            std::fabs(static_cast<double>(site.n[i]))});
    double scale = largest * static_cast<double>(site.f.fact) +
                   static_cast<double>(lat.rows + lat.cols) * lat.interval;
    lat.slack_ft = 1.0 + 4.0e-6 * scale;
    return lat;
}

// Fractional (row, column) of a location given in the site's coordinates.
void locate(const ShapedSite& site, const Lattice& lat, suitefiles::Position p, double& row,
            double& col) {
    const double fact = static_cast<double>(site.f.fact);
    double de = static_cast<double>(site.f.sgn) *
                (static_cast<double>(p.e) - static_cast<double>(site.nw_e)) *
                static_cast<double>(site.f.cl) * fact;
    double dn = (static_cast<double>(p.n) - static_cast<double>(site.nw_n)) * fact;
    double sinr = static_cast<double>(site.rot.sinr), cosr = static_cast<double>(site.rot.cosr);
    col = (de * cosr + dn * sinr) / lat.interval;
    row = (de * sinr - dn * cosr) / lat.interval;
}

// The change of (row, column) for a change (de, dn) of a location's
// coordinates: locate() is linear in them.
void locate_change(const ShapedSite& site, const Lattice& lat, double de, double dn, double& drow,
                   double& dcol) {
    const double fact = static_cast<double>(site.f.fact);
    const double x = static_cast<double>(site.f.sgn) * de * static_cast<double>(site.f.cl) * fact;
    const double y = dn * fact;
    const double sinr = static_cast<double>(site.rot.sinr),
                 cosr = static_cast<double>(site.rot.cosr);
    dcol = (x * cosr + y * sinr) / lat.interval;
    drow = (x * sinr - y * cosr) / lat.interval;
}

// The steps j (1 .. steps) that can come within `reach` rows and columns of
// the grid. The step points lie on a line, so their row and column change
// linearly with j; the window is widened by what the single-precision step
// positions may stray from that line, so that every step the exact test
// would keep lies inside it. A berm that runs far past the site (or starts
// far from it) then costs only the steps near the site.
void steps_near_grid(const ShapedSite& site, const Lattice& lat, const BermLine& line, double reach,
                     std::int32_t& first, std::int32_t& last) {
    first = 1;
    last = line.steps;
    if (line.steps <= 0) return;
    double row0 = 0, col0 = 0;
    locate(site, lat, line.at(0), row0, col0);
    const double step = static_cast<double>(line.interval);
    const double dn = step * static_cast<double>(line.sina) / static_cast<double>(line.fact) *
                      (line.end_north ? 1 : -1);
    const double de = step * static_cast<double>(line.sgn) * static_cast<double>(line.cosa) /
                      (static_cast<double>(line.cl) * static_cast<double>(line.fact)) *
                      (line.end_east ? 1 : -1);
    double drow = 0, dcol = 0;
    locate_change(site, lat, de, dn, drow, dcol);
    const double along = static_cast<double>(line.steps) * step;
    const double stray_ft = 1.0e-6 * ((std::fabs(static_cast<double>(line.start_e)) +
                                       std::fabs(static_cast<double>(line.start_n))) *
                                          static_cast<double>(line.fact) +
                                      along) +
                            1.0;
    const double margin = reach + stray_ft / lat.interval + 2.0;
    double lo = 1.0, hi = static_cast<double>(line.steps);
    const auto keep = [&](double a, double d, std::int32_t count) {
        const double from = -margin, to = static_cast<double>(count - 1) + margin;
        if (std::fabs(d) < 1.0e-12) {
            if (a < from || a > to) hi = lo - 1.0;  // the line never comes near
            return;
        }
        double j1 = (from - a) / d, j2 = (to - a) / d;
        if (j1 > j2) std::swap(j1, j2);
        lo = std::max(lo, std::floor(j1) - 1.0);
        hi = std::min(hi, std::ceil(j2) + 1.0);
    };
    keep(row0, drow, lat.rows);
    keep(col0, dcol, lat.cols);
    if (!(lo <= hi)) {
        first = 1;
        last = 0;
        return;
    }
    first = static_cast<std::int32_t>(lo);
    last = static_cast<std::int32_t>(hi);
}

std::int32_t clamp_index(double x, std::int32_t count) {
    if (!(x > 0.0)) return 0;
    if (x >= static_cast<double>(count - 1)) return count - 1;
    return static_cast<std::int32_t>(x);
}

// The cone of apex a over the points within `reach_idx` rows and columns
// (a disc in index units), row by row, so in point order.
void cone_in_window(ShapedSite& site, const Lattice& lat, std::size_t a, double reach_idx,
                    float crest, float slope) {
    std::vector<float>& depth = site.grid.depth;
    const std::int32_t ra = static_cast<std::int32_t>(a) / lat.cols;
    const std::int32_t ka = static_cast<std::int32_t>(a) % lat.cols;
    const float ae = site.e[a], an = site.n[a];
    const double whole = static_cast<double>(lat.rows + lat.cols);
    const std::int32_t reach_rows =
        reach_idx >= whole ? lat.rows : static_cast<std::int32_t>(std::ceil(reach_idx));
    const std::int32_t r0 = std::max(0, ra - reach_rows),
                       r1 = std::min(lat.rows - 1, ra + reach_rows);
    for (std::int32_t r = r0; r <= r1; ++r) {
        std::int32_t k0 = 0, k1 = lat.cols - 1;
        if (reach_idx < whole) {
            double dr = static_cast<double>(r - ra);
            std::int32_t half = static_cast<std::int32_t>(
                                    std::sqrt(std::max(0.0, reach_idx * reach_idx - dr * dr))) +
                                1;
            k0 = std::max(0, ka - half);
            k1 = std::min(lat.cols - 1, ka + half);
        }
        std::size_t m = static_cast<std::size_t>(r) * static_cast<std::size_t>(lat.cols) +
                        static_cast<std::size_t>(k0);
        for (std::int32_t k = k0; k <= k1; ++k, ++m) {
            float dist = distance_ft(site.e[m], site.n[m], ae, an, site.f);
            raise_to_cone(depth[m], crest, dist, slope);
        }
    }
}

}  // namespace

void apply_berm(ShapedSite& site, const Berm& b) {
    BermLine line = berm_line(b, site.grid.interval, site.f);
    const float band = crest_band(b);
    // No steps, or a band that holds no point (a negative crest width): no apex, no change.
    if (line.too_long || line.steps <= 0 || site.e.empty() || !(band >= 0.0f)) return;
    std::vector<float>& depth = site.grid.depth;
    const Lattice lat = lattice_of(site);

    // How far a cone can reach. Depths only ever become shallower, or are set
    // to the crest depth, so no depth exceeds the deeper of the deepest depth
    // now and the crest depth; a cone lowers a point only where its depth
    // lies more than r x slope below the crest.
    const float deepest = *std::max_element(
        depth.begin(), depth.begin() + static_cast<std::ptrdiff_t>(site.e.size()));
    bool cones = true;
    double cone_reach =
        static_cast<double>(lat.rows + lat.cols);  // in rows and columns: the whole grid
    if (b.slope > 0.0f) {
        if (!(deepest - b.crest > 0.0f)) {
            cones = false;
        } else {
            double reach_ft = static_cast<double>(deepest - b.crest) / static_cast<double>(b.slope);
            cone_reach = (reach_ft * (1.0 + 1.0e-4) + lat.slack_ft) / lat.interval + 1.0;
        }
    }
    const double band_reach = (static_cast<double>(band) + lat.slack_ft) / lat.interval + 1.0;

    std::int32_t first = 1, last = 0;
    steps_near_grid(site, lat, line, band_reach, first, last);
    for (std::int32_t j = first; j <= last; ++j) {
        suitefiles::Position p = line.at(j);
        double row = 0, col = 0;
        locate(site, lat, p, row, col);
        if (row + band_reach < 0.0 || col + band_reach < 0.0 ||
            row - band_reach > static_cast<double>(lat.rows - 1) ||
            col - band_reach > static_cast<double>(lat.cols - 1))
            continue;
        const std::int32_t r0 = clamp_index(std::floor(row - band_reach), lat.rows);
        const std::int32_t r1 = clamp_index(std::ceil(row + band_reach), lat.rows);
        const std::int32_t k0 = clamp_index(std::floor(col - band_reach), lat.cols);
        const std::int32_t k1 = clamp_index(std::ceil(col + band_reach), lat.cols);
        for (std::int32_t r = r0; r <= r1; ++r) {
            for (std::int32_t k = k0; k <= k1; ++k) {
                std::size_t a = static_cast<std::size_t>(r) * static_cast<std::size_t>(lat.cols) +
                                static_cast<std::size_t>(k);
                if (distance_ft(site.e[a], site.n[a], p.e, p.n, site.f) > band) continue;
                depth[a] = b.crest;
                if (cones) cone_in_window(site, lat, a, cone_reach, b.crest, b.slope);
            }
        }
    }
}

}  // namespace utility
