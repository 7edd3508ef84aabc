// BUILD: the set-up of one fate-model run.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "placer/kernels.hpp"
#include "recio/console.hpp"
#include "recio/records.hpp"
#include "suitefiles/deck.hpp"
#include "suitefiles/record_list.hpp"

namespace placer {
namespace {

void blank_lines(int n) {
    for (int i = 0; i < n; ++i) recio::console_list();
}

// The console echo of an accepted dump.
void echo(const DumpControl& ctl, const Vessel& vessel, const SiteFrame& site,
          const DumpConditions& cond, float current, float seabed, float e, float n) {
    blank_lines(7);
    recio::console_list("     CONDUCTING   DREDGED   MATERIAL   PLACEMENT");
    blank_lines(3);
    recio::console_list("Disposal Volume (load,CY) = ", static_cast<std::int32_t>(ctl.load_volume));
    recio::console_list("Disposal vessel speed (ft/sec) = ",
                        std::sqrt(vessel.vx * vessel.vx + vessel.vy * vessel.vy));
    recio::console_list("Wave Height (ft)= ", static_cast<std::int32_t>(cond.wave_height),
                        "  Period (sec)= ", static_cast<std::int32_t>(cond.wave_period));
    recio::console_list("Tide Amplitude (ft) = ", cond.tide);
    recio::console_list("Current Amplitude (ft/sec) = ", current);
    recio::console_list("Seabed elevation (-ft) = ", seabed);
    blank_lines(1);
    recio::console_list("DISPOSAL COORDINATES ARE:");
    if (site.coord_system == 2)
        recio::console_list("LONGITUDE=", e, " LATITUDE=", n);
    else
        recio::console_list("EASTING =", e, " NORTHING =", n);
    blank_lines(1);
    recio::console_list("There are", cond.dumps_remaining, " dumps remaining for this");
    recio::console_list("disposal activity");
    blank_lines(4);
}

// The nearest grid point to the requested position within sqrt(2) spacings
// (+2 ft), ties keeping the earlier point; 0 when there is none.
std::int32_t nearest_point(const SiteFrame& site, const DumpConditions& cond, float dx) {
    const auto radius =
        static_cast<float>(static_cast<std::int32_t>(std::sqrt(2.0f * dx * dx)) + 2);
    const suitefiles::Rotation pf = point_frame(site);
    float best = radius;
    std::int32_t nearest = 0;
    for (std::int32_t i = 1; i <= site.total_points; ++i) {
        suitefiles::Position p = point_position(site, pf, i);
        float de, dn;
        if (site.coord_system == 2) {
            de = std::fabs(p.e - cond.req_e) * pf.cl * FEET_PER_DEGREE;
            dn = std::fabs(p.n - cond.req_n) * FEET_PER_DEGREE;
        } else {
            de = std::fabs(p.e - cond.req_e);
            dn = std::fabs(p.n - cond.req_n);
        }
        const float dist = std::sqrt(dn * dn + de * de);
        if (dist < best) {
            best = dist;
            nearest = i;
        }
    }
    return nearest;
}

// The site points under the fate grid: offsets -hr..+hr and -hc..+hc about
// the dump. A node whose site index falls off the site, or wraps round the
// end of a row, is off-site (index 0).
struct FateFootprint {
    const SiteFrame& site;
    std::int32_t nearest, dump_row;
    int hr, hc;
    std::int32_t site_index(int m, int n) const {
        const std::int32_t k = nearest + n + m * site.points_we;
        if (k < 1 || k > site.total_points) return 0;
        return row_of(k, site.points_we) == dump_row + m ? k : 0;
    }
};

// Depth of the current observation: the water level, unless the site is
// much shallower than the water level and material settling through the
// mean depth in the depth-scaled current would drift past the release
// point's distance from the grid edge; then the mean depth.
float observation_depth(const DumpConditions& cond, const Material& mat, float mean, float x0) {
    float d_obs = cond.water_level;
    if (mean * 1.1f < cond.water_level) {
        const float sx = cond.current_x * cond.water_level / mean;
        const float sy = cond.current_y * cond.water_level / mean;
        if (x0 < (mean / mat.min_fall) * std::max(std::fabs(sx), std::fabs(sy)) * 0.7f)
            d_obs = mean;
    }
    return d_obs;
}

// The deck of the load: the fate grid in `work`, the dump at (x0, z0).
suitefiles::FateDeck fate_deck(const DumpControl& ctl, const Material& mat, const Vessel& vessel,
                               const DumpConditions& cond, WorkGrid& work, float mean, float dx,
                               float x0, float z0, float d_obs) {
    suitefiles::FateDeck d;
    d.title = "CLOUDEX DATA-FILE USED FOR vexal";
    d.kvessel = code(ctl.kvessel);
    d.nmax = cond.cols;
    d.mmax = cond.rows;
    d.nsolid = ctl.nfrac;
    d.nlayer = ctl.nlayer;
    d.nbins = ctl.nbins;
    d.key1 = ctl.key1;
    d.kvary = ctl.kvary;
    d.kwave = ctl.kwave;
    d.kpdesc = ctl.kpdesc;
    d.kpcoll = ctl.kpcoll;
    d.nprt = ctl.nprt;
    d.depc = mean;
    d.dx = dx;
    d.dz = dx;
    d.kdepth = ctl.kdepth;
    for (int r = 1; r <= cond.rows; ++r)
        d.depth.insert(d.depth.end(), work.row(r), work.row(r) + cond.cols);
    d.xbarge = x0;
    d.zbarge = z0;
    d.rough = ctl.rough;
    d.zref = ctl.zref;
    d.hwave = cond.wave_height;
    d.twave = cond.wave_period;
    d.dwave = cond.wave_direction;
    d.ndens = ctl.nprofile;
    const auto m = static_cast<std::size_t>(std::max<int>(0, ctl.nprofile));
    d.profile_depth.assign(ctl.profile_depth, ctl.profile_depth + m);
    d.profile_density.assign(ctl.profile_density, ctl.profile_density + m);
    d.kvel = ctl.kvel;
    d.vax = cond.current_x;
    d.vaz = cond.current_y;
    d.dobs = d_obs;
    d.tstop = cond.tstop;
    d.dtl = ctl.dtl;
    d.trel = ctl.trel;
    d.bargl = mat.sim_length;
    d.bargw = mat.sim_width;
    d.drel1 = ctl.loaded_draft;
    d.drel2 = ctl.light_draft;
    d.rhow = ctl.rhow;
    d.tdis = ctl.tdis;
    d.binl = ctl.binl;
    d.binw = ctl.binw;
    d.theta = vessel.heading;
    suitefiles::DeckLayer layer;
    layer.cu = vessel.vx;
    layer.cw = vessel.vy;
    layer.vollay = ctl.load_volume / static_cast<float>(ctl.nlayer);
    for (std::size_t i = 0; i < ctl.fractions.size(); ++i) {
        const Fraction& f = ctl.fractions[i];
        layer.fractions.push_back(
            {f.name, f.sg, f.conc, mat.fall[i], f.void_ratio, f.taucd, f.cohesive, f.strip});
    }
    d.layers.assign(static_cast<std::size_t>(ctl.nlayer > 0 ? ctl.nlayer : 0), layer);
    d.tprint = {cond.tprint1, cond.tprint2};
    return d;
}

}  // namespace

BuildResult BUILD(const DumpControl& ctl, const Material& mat, const Vessel& vessel,
                  const SiteFrame& site, const std::vector<float>& depth,
                  const DumpConditions& cond, WorkGrid& work, const std::string& deck_name) {
    BuildResult res;

    // Fate grid of R rows (north to south) and C columns (west to east), the
    // dump at node (R/2 + 1, C/2 + 1), x0 feet below the top row and z0 feet
    // right of the left column.
    const int hr = cond.rows / 2, hc = cond.cols / 2;
    const float dx = static_cast<float>(site.interval);
    float x0 = static_cast<float>(hr) * dx;
    float z0 = static_cast<float>(hc) * dx;
    const float current =
        std::sqrt(cond.current_x * cond.current_x + cond.current_y * cond.current_y);
    work.clear();

    const std::int32_t nearest = nearest_point(site, cond, dx);
    res.e = cond.req_e;
    res.n = cond.req_n;
    if (nearest == 0) {
        blank_lines(4);
        recio::console_list("PLACEMENT OF DISPOSAL CYCLE IS OUTSIDE");
        recio::console_list("OF SITE BOUNDARIES, PLACEMENT ABORTED");
        blank_lines(1);
        res.abort = 1;
        return res;
    }
    res.nearest = nearest;
    const suitefiles::Position at = point_position(site, point_frame(site), nearest);
    const float seabed = depth[static_cast<std::size_t>(nearest - 1)];
    echo(ctl, vessel, site, cond, current, seabed, at.e, at.n);

    // Off-site nodes take the mean depth of the on-site nodes.
    const FateFootprint foot{site, nearest, row_of(nearest, site.points_we), hr, hc};
    float sum = 0.0f;
    std::int32_t count = 0;
    for (int m = -hr; m <= hr; ++m)
        for (int n = -hc; n <= hc; ++n)
            if (std::int32_t k = foot.site_index(m, n)) {
                sum += depth[static_cast<std::size_t>(k - 1)];
                ++count;
            }
    const float mean = sum / static_cast<float>(count);
    res.mean_depth = mean;
    res.nodes = count;
    if (count < (cond.rows * cond.cols) / 4) {
        blank_lines(4);
        recio::console_list("PLACEMENT OF DISPOSAL CYCLE IS ON THE");
        recio::console_list(" SITE BOUNDARY, PLACEMENT ABORTED");
        blank_lines(1);
        res.abort = 1;
        return res;
    }
    res.e = at.e;
    res.n = at.n;
    for (int m = -hr; m <= hr; ++m)
        for (int n = -hc; n <= hc; ++n) {
            const std::int32_t k = foot.site_index(m, n);
            work.at(m + hr + 1, n + hc + 1) =
                (k ? depth[static_cast<std::size_t>(k - 1)] : mean) + cond.tide;
        }

    // The release point moves back by half the vessel's travel during the
    // discharge, so that the discharge is centred on the dump node.
    x0 = x0 - vessel.vx * ctl.trel / 2.0f;
    z0 = z0 - vessel.vy * ctl.trel / 2.0f;
    const float d_obs = observation_depth(cond, mat, mean, x0);

    // No deck is written when a value does not fit its field.
    const std::vector<std::string> records = suitefiles::fate_deck_records(
        fate_deck(ctl, mat, vessel, cond, work, mean, dx, x0, z0, d_obs), res.deck_problem);
    if (!res.deck_problem.empty()) return res;
    res.deck_written = suitefiles::write_record_list(deck_name, records);
    return res;
}

}  // namespace placer
