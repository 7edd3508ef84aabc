// Bottom spreading: a cloud lying on the bed spreads as a surge until
// diffusion outruns it or it becomes too thin.
#pragma once

#include "cloudex/phase.hpp"
#include "cloudex/state.hpp"

namespace cloudex {

// Return codes of the bottom spreading.
constexpr int kSpreadCapacity = 2;  // step capacity reached
constexpr int kSpreadEnded = 3;     // spreading ended

// Curved surface (sq ft) of half an ellipsoid of three semi-axes, cut
// perpendicular to its shortest axis, by 100 slices along that axis and 90
// angle steps round a quarter of each cross-section.
float half_ellipsoid_surface(float s1, float s2, float s3);

// Curved surface (sq ft) of half a spheroid with horizontal semi-axes a and
// a2 (nearly equal; their geometric mean is taken) and vertical semi-axis b.
float half_spheroid_surface(float a, float a2, float b);

// Where the cloud lies: the dump location the record is measured from and
// the collapse time step.
struct SpreadFrame {
    float xb = 0, zb = 0;  // dump location, ft
    float dt = 0;          // time step, s
};

// Energy form, used after a normal descent or when the bed is met during
// the collapse. Starts at the bed step s (already recorded) from the
// collapse state y; records every further step in tr, advances s, and
// leaves the end state in y. Returns kSpreadEnded or kSpreadCapacity.
int spread_energy(const PhaseEnv& env, const SpreadFrame& fr, Track& tr, StateVector& y, int& s);

// Bypassed form, used when the water was too shallow for a descent: the
// load lies on the bed as a half ellipsoid from step s (the bed step).
// Same contract as spread_energy.
int spread_bypassed(const PhaseEnv& env, const SpreadFrame& fr, Track& tr, StateVector& y, int& s);

}  // namespace cloudex
