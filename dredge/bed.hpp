// Bed evolution of one three-hour step: slope limiting by avalanching
// (MAXANGX, MAXANGY), bed continuity (CNTNUTY) and the mound's centroid
// (CENTROID2).
#pragma once

#include <cstdint>
#include <vector>

#include "dredge/grid.hpp"

namespace dredge {

// The limit angle each slope-limiting routine chose for the last line it
// processed; it carries over to the next line and the next call. Both start
// at the second (post-avalanching) slope angle.
struct SlopeState {
    float theta_x = 0.0f;
    float theta_y = 0.0f;
};

// One line of elevations (positive up) rebuilt by an avalanche.
//   z      the line's elevations, z[0] .. z[n-1] for cells 1..n (ft)
//   smax   the signed steepest slope of the line, at cell imax (1-based):
//          the anchor is the higher cell of that pair
//   tan_theta  the limit slope; dz = tan_theta DX is the elevation fall
//          from one cell to the next at the limit angle (ft)
//   low    the lowest cell the stretch may be extended to going down the
//          line (2); going up it ends at the line's last cell n
// From the anchor the stretch grows one cell at a time, each time rebuilt
// as a uniform slope of tan(theta) falling away from the anchor with the sum
// of its elevations unchanged, until the step from its end to the next cell
// is no steeper than the limit or the line ends. Returns the far end (1-based).
int avalanche_line(float* z, int n, float smax, int imax, float tan_theta, float dx, int low);

// Steepest slope of a line of elevations: scans cells 2..n, slope
// s(I) = (z(I) - z(I-1)) / dx. smax the signed slope of largest magnitude
// (the first on ties), imax its cell, mean the mean |s| over the cells with
// a slope (0 if none).
struct LineSlopes {
    float smax = 0.0f;
    int imax = 2;
    float mean = 0.0f;
};
LineSlopes line_slopes(const float* z, int n, float dx);

// Current regime of the slope rule: the mean |U| (ub) and mean |V| (vb) at
// the four cells (4,4), (NX-4,4), (4,NY-4), (NX-4,NY-4), each index held to
// the grid on grids narrower than five cells.
struct CurrentRegime {
    float ub = 0.0f, vb = 0.0f;
};
CurrentRegime current_regime(const Fields& f);

// Trigger angle phi and limit angle theta of one line (radians).
//   along, across  the regime's current along and across the line
//   calm           true when the regime counts as having no current
//   mean, smax     the line's mean and steepest slope (tangents, used as
//                  they are against the angles)
//   wave_ratio     H0 / elevation at the steepest cell; speed the current
//                  speed there (ft/s); theta_prev the last line's limit angle
// Without current, without slopes or with equal components theta = a2. With
// the current mostly across the line theta leans from a2 toward the mean
// slope (when a2 is steeper): a2 - (a2 - mean)(1 - along/across). With the
// current mostly along it, theta = a2 + (phi - a2)(1 - across/along), where
// phi drops to a1 - 0.75 (a1 - theta_prev) for a line steeper than a1 whose
// steepest cell stands high against the waves (ratio >= 0.2) or sits in a
// current of at least 1 ft/s.
struct SlopeAngles {
    float phi = 0.0f, theta = 0.0f;
};
SlopeAngles slope_angles(float a1, float a2, float along, float across, bool calm, float mean,
                         float smax, float wave_ratio, float speed, float theta_prev);

// MAXANGX: slope limiting along the lines of constant J (J = 2..NY), slopes
// along I. Reverses the sign of every depth (elevations, positive up) and
// leaves it reversed for MAXANGY, which must follow.
//   in:  a1 trigger angle, a2 limit angle (radians), h0 deep-water wave
//        height of the step (ft), f.u and f.v (the current regime)
//   out: f.depth (as elevations), state.theta_x
// A line whose steepest slope is steeper than the trigger angle is
// avalanched to the limit angle, which leans from a2 toward the line's mean
// slope or toward the trigger angle as the current runs more across or
// along the line. Returns the number of lines avalanched.
int MAXANGX(Fields& f, float a1, float a2, float h0, SlopeState& state);

// MAXANGY: the same along the lines of constant I (I = 2..NX), slopes along
// J, with the roles of the two current components exchanged; then turns the
// elevations back into depths. Returns the number of lines avalanched.
int MAXANGY(Fields& f, float a1, float a2, float h0, SlopeState& state);

// CNTNUTY: bed continuity.
//   in:  dt the step (s); ised the sediment type. With ised = 1 the bed
//        change is the divergence of the smoothed transport f.qx, f.qy of
//        ACKWHT over dt; with any other type it is the one COHESIVE left
//        in f.bedchg.
//   out: f.bedchg smoothed (0.25/0.5/0.25 along J, then along I); f.u, f.v
//        scaled so the discharge of each cell is kept over its new depth,
//        and held to at most the celerity sqrt(32.2 depth) of the old depth;
//        f.depth increased by the bed change (erosion deepens).
void CNTNUTY(Fields& f, float dt, std::int32_t ised);

// CENTROID2: volume and centroid of the mound above the reference bed
// level DEPTH(1,1) (height of a cell: DEPTH(1,1) - DEPTH(I,J)).
//   in:  xref, yref the reference centroid (ft; 0 to obtain it)
//   out: xc, yc the centroid along I and J minus the reference (ft),
//        measured from cell (1,1); vol the mound volume (cubic yards)
// The centroid is the area-weighted mean of the line centroids, each line
// taken as trapezoidal strips between neighbouring cells with moments
// truncated to whole numbers. A line without area keeps its last centroid;
// a grid with no area at all leaves xc and yc as they were.
struct CentroidState {
    std::vector<float> line_x;  // centroid of each line of constant J (ft)
    std::vector<float> line_y;  // centroid of each line of constant I (ft)
};
void CENTROID2(const Fields& f, float xref, float yref, float& xc, float& yc, float& vol,
               CentroidState& state);

}  // namespace dredge
