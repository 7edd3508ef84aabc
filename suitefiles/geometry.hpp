// The geometry of a disposal site: where its points lie, how its rotation and
// degrees are turned into plane feet, and the lattice the long-term model
// works on.
//
// A site is a lattice of points laid along its own axes and anchored at its
// north-west corner. Point I (1-based) lies in row r = int(I / (points W-E +
// 0.001)) and column k = I - (r x points W-E + 1), both 0-based; rows run
// from the northern edge southward, columns from the western edge eastward.
// Its local offsets are XL = k x interval (along the rows) and YL = r x
// interval (down the columns), and with SINR, COSR of the rotation
//
//   plane site (system 1):      E = E0 + XL COSR + YL SINR,  N = N0 + XL SINR - YL COSR   (feet)
//   geographic site (system 2): E = E0 - (XL COSR + YL SINR) / (CL x 364800)
//                               N = N0 - (YL COSR - XL SINR) / 364800            (degrees)
//
// with CL the cosine of the corner's latitude and longitudes positive to the
// west. The routines of the suite write these sums in different orders and
// with different radian factors; in single precision the order shows in the
// last bit of a written coordinate, so each routine's form is kept as its own
// named function below.
#pragma once

#include <cstdint>

namespace suitefiles {

// ---- constants

// Feet per degree of latitude, for every geographic site (positions, dump
// distances, the view tools' map frame).
constexpr float FEET_PER_DEGREE = 364800.0f;
constexpr double FEET_PER_DEGREE_D = 364800.0;

// Pi as the grid routines write it: degrees x 3.1416 / 180 turns the site
// rotation and the corner latitude in GRID1, the grid readers, sitegen,
// modify, utility, loadpat, the view tools, and the longitude factor of the
// placement routines.
constexpr float GRID_PI = 3.1416f;
// Degrees to radians of the placement routines (the rotation in the point
// formula of BUILD, the placement report and GETBACK, the vessel and current
// directions, the avalanching slope of the set-up) and of the long-term
// model's current directions.
constexpr float PLACEMENT_DEG_TO_RAD = 0.017453333f;
// Degrees to radians of the slope angles (AVAL1, the long-term model's
// avalanching) and of the long-term model's tide phases.
constexpr float SLOPE_DEG_TO_RAD = 0.01745328f;
// Degrees per radian of the compass bearing CTHETA.
constexpr float CTHETA_DEG_PER_RAD = 57.295647f;
// Pi of the long-term model's current bearing (180 / 3.14159 degrees per radian).
constexpr float TIDAL_PI = 3.14159f;

// Degrees to radians the way the grid routines do it: deg x 3.1416 / 180.
inline float radians(float degrees) {
    return degrees * GRID_PI / 180.0f;
}
// The same in double precision, for the view tools' map frame.
inline double radians(double degrees) {
    return degrees * 3.1416 / 180.0;
}

// ---- the site

constexpr std::int32_t MAXPTS = 40401;  // points a site holds: 201 x 201

// The lattice of a site and where it lies. The corner is the one positions
// are measured from: the site NW corner of the summary file (site
// coordinates) or the local NW corner of the grid file (plane feet).
struct SiteGeometry {
    std::int32_t total_points = 0;
    std::int16_t points_we = 0;     // points per row, west to east
    std::int16_t points_ns = 0;     // rows, north to south
    std::int16_t interval = 0;      // feet between neighbouring points
    float rotation = 0.0f;          // degrees from true north
    std::int16_t coord_system = 1;  // 1 plane feet, 2 longitude/latitude degrees (west positive)
    float nw_e = 0.0f, nw_n = 0.0f;
    bool geographic() const { return coord_system == 2; }
};

// Corner and centre coordinates of a site, in the site's coordinate system.
struct SiteCorners {
    float nw_e = 0, nw_n = 0, ne_e = 0, ne_n = 0, sw_e = 0, sw_n = 0, se_e = 0, se_n = 0;
    float centre_e = 0, centre_n = 0;
};

struct Position {
    float e = 0, n = 0;
};

// Rotation terms: SINR, COSR, and for geographic sites CL, the cosine of the
// corner's latitude (the longitude factor); CL is 1 for plane sites.
struct Rotation {
    float sinr = 0, cosr = 1, cl = 1;
};

// ---- point positions

// Row (0-based) of point I, with the 0.001 that keeps a row's last point in its row.
inline std::int32_t point_row(std::int32_t point, std::int16_t points_we) {
    return static_cast<std::int32_t>(static_cast<float>(point) /
                                     (static_cast<float>(points_we) + 0.001f));
}
// Column (0-based) of point I.
inline std::int32_t point_column(std::int32_t point, std::int16_t points_we) {
    return point - (point_row(point, points_we) * points_we + 1);
}

// Local offsets of point I from the NW corner, feet.
struct Offsets {
    float xl = 0, yl = 0;  // along the rows, down the columns
};
inline Offsets point_offsets(std::int32_t point, std::int16_t points_we, std::int16_t interval) {
    const std::int32_t r = point_row(point, points_we);
    return {static_cast<float>((point - (r * points_we + 1)) * interval),
            static_cast<float>(r * interval)};
}

// Rotation terms of the grid routines: both angles x 3.1416 / 180.
Rotation rotation_of(float rotation_deg, std::int16_t coord_system, float nw_latitude);
// Rotation terms of the placement routines: the rotation x 0.017453333, the
// latitude x 3.1416 / 180.
Rotation placement_rotation_of(const SiteGeometry& site);

// Position of point I as the grid readers' callers form it (sitegen's survey,
// utility's shapes): E0 + XL COSR + YL SINR, N0 + XL SINR - YL COSR.
inline Position site_position(const SiteGeometry& site, const Rotation& rot, std::int32_t point) {
    const Offsets o = point_offsets(point, site.points_we, site.interval);
    if (site.geographic())
        return {site.nw_e - (o.xl * rot.cosr + o.yl * rot.sinr) / (FEET_PER_DEGREE * rot.cl),
                site.nw_n - (o.yl * rot.cosr - o.xl * rot.sinr) / FEET_PER_DEGREE};
    return {site.nw_e + o.xl * rot.cosr + o.yl * rot.sinr,
            site.nw_n + o.xl * rot.sinr - o.yl * rot.cosr};
}
// Plane position as GRID1 forms it, whatever the coordinate system (the
// local frame of the corners and the resampling).
inline Position grid1_local_position(const SiteGeometry& site, const Rotation& rot,
                                     std::int32_t point) {
    const Offsets o = point_offsets(point, site.points_we, site.interval);
    return {site.nw_e + o.yl * rot.sinr + o.xl * rot.cosr,
            site.nw_n + o.xl * rot.sinr - o.yl * rot.cosr};
}
// Position as GRID1 forms it for the point file and the corners:
// E0 + YL SINR + XL COSR, N0 + XL SINR - YL COSR; in degrees
// E0 - (YL SINR + XL COSR) / (CL 364800), N0 - (YL COSR - XL SINR) / 364800.
inline Position grid1_position(const SiteGeometry& site, const Rotation& rot, std::int32_t point) {
    if (!site.geographic()) return grid1_local_position(site, rot, point);
    const Offsets o = point_offsets(point, site.points_we, site.interval);
    return {site.nw_e - (o.yl * rot.sinr + o.xl * rot.cosr) / (rot.cl * FEET_PER_DEGREE),
            site.nw_n - (o.yl * rot.cosr - o.xl * rot.sinr) / FEET_PER_DEGREE};
}
// Plane position as the placement routines form it from plane offsets.
inline Position placer_local_position(float e0, float n0, const Rotation& rot, float xl, float yl) {
    return {rot.sinr * yl + rot.cosr * xl + e0, rot.sinr * xl + (n0 - rot.cosr * yl)};
}
// Position as the placement routines form it (BUILD, the placement report,
// GETBACK): (SINR YL + COSR XL) + E0, SINR XL + (N0 - COSR YL); in degrees
// E0 - (SINR YL + COSR XL) / (CL 364800), N0 - (COSR YL - SINR XL) / 364800.
inline Position placer_position(const SiteGeometry& site, const Rotation& rot, std::int32_t point) {
    const Offsets o = point_offsets(point, site.points_we, site.interval);
    if (site.geographic())
        return {site.nw_e - (rot.sinr * o.yl + rot.cosr * o.xl) / (rot.cl * FEET_PER_DEGREE),
                site.nw_n - (rot.cosr * o.yl - rot.sinr * o.xl) / FEET_PER_DEGREE};
    return placer_local_position(site.nw_e, site.nw_n, rot, o.xl, o.yl);
}

// ---- the resampled lattice

// Node counts of the lattice the long-term model works on: the site's own
// when both counts are below 202; otherwise 201 along the longer axis and
// int(shorter x 201 / longer) along the other (201 each for equal counts).
// A reduced lattice keeps at least two nodes along each axis, so that it has
// a node spacing: a 400 x 3 site gets 201 x 2, not 201 x 1.
struct LatticeSize {
    int nx = 0;  // west-east
    int ny = 0;  // south-north
    bool reduced(int points_we, int points_ns) const { return nx != points_we || ny != points_ns; }
};
LatticeSize lattice_size(int points_we, int points_ns);

}  // namespace suitefiles
