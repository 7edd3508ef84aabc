// What the descent, collapse and bottom spreading share: the environment
// they read, the explicit Euler step and the cohesive fall velocity.
#pragma once

#include <vector>

#include "cloudex/state.hpp"

namespace cloudex {

// Read-only view of the run state used while a cloud moves.
struct PhaseEnv {
    const Grid& grid;
    const Ambient& amb;
    const Coefs& coef;
    const std::vector<Fraction>& frac;
    int nsolid;
    const Vessel& vessel;
    float h;  // water depth at the dump location, ft

    float rhos() const { return amb.prof.surface(); }
    float rhob() const { return amb.prof.bottom(); }
};

// One explicit Euler step of the n-entry state y over dt: the derivative is
// evaluated once at y and every entry advances by dt times its rate.
template <class Derivative>
void euler_step(Derivative& deriv, float* y, int n, float dt) {
    float dy[kCollapseBase + kMaxFractions] = {};
    deriv(y, dy);
    for (int i = 0; i < n; ++i) y[i] += dt * dy[i];
}

// Fall velocity (ft/s) of cohesive material in a collapsing cloud at the
// volumetric concentration cf of a fraction of density sg (g/cc):
// 3.4E-5 up to 9.6E-6 vol/vol, 0.0069 above 0.00115, and between them
// 1.6E-7*cm^(4/3) + 2.25E-5 with cm = sg*cf*1.0E6 the concentration in mg/L.
float cohesive_fall_collapse(float sg_gcc, float cf);

// Fall velocity (ft/s) of a small cloud of a fraction: VFALL, or for a
// cohesive fraction the rule of the concentration cm = sg*(mass/vol)*1.0E6
// in mg/L: 3.4E-5 up to 25, 0.0069 above 3000, 1.6E-7*cm^(4/3) + 2.25E-5
// between.
float cloud_fall_velocity(const Fraction& f, float mass, float vol);

}  // namespace cloudex
