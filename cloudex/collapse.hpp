// Dynamic collapse: the cloud flattens into an oblate ellipsoid spreading
// under its excess density, on the bottom or at its level of neutral
// buoyancy, until diffusion outruns the spreading.
#pragma once

#include "cloudex/phase.hpp"
#include "cloudex/state.hpp"

namespace cloudex {

struct Run;

// Half surface of the collapsing oblate ellipsoid divided by pi, for the
// horizontal semi-axis a and the vertical semi-axis b (ft^2).
float collapse_half_surface(float a, float b);

// Initial collapse time step after a descent that ended at neutral
// buoyancy: with N = sqrt(g*G') the buoyancy frequency of the relative
// stratification G' (1/ft) and a the last descent radius,
// X = (840*a^3*N)^(3/7) and DT = ((X/a)^3/N)*0.0001.
float collapse_time_step(float a, float rel_gradient);

// Rates of the collapse state x, y, z, M, Px, Py, Pz, B, a, Pa, a2, Pa2, S(i).
class CollapseModel {
  public:
    CollapseModel(const PhaseEnv& env, float xbarge, float zbarge, float r0)
        : env_(env), xb_(xbarge), zb_(zbarge), r0_(r0) {}
    void operator()(const float* y, float* dy);

    int k = 0;                       // profile interval of the last evaluation
    float fall[kMaxFractions] = {};  // fall velocities in force

  private:
    const PhaseEnv& env_;
    float xb_, zb_, r0_;
};

// Collapse of the current layer from the descent's end state; prints the
// trials and the report and updates run.out and run.track. Returns false
// when ten trials did not end with diffusion outrunning the collapse.
bool run_collapse(Run& run);

}  // namespace cloudex
