// Convective descent: the released layer as a buoyant hemispherical cloud
// falling until it meets the bottom or reaches neutral buoyancy.
#pragma once

#include <vector>

#include "cloudex/phase.hpp"
#include "cloudex/state.hpp"

namespace cloudex {

class Deck;
struct Run;

// Initial radius (ft) of the hemisphere holding a layer of vollay cu yd:
// (81*vollay/(2*pi))^(1/3).
float initial_radius(float vollay);

// Bulk density (g/cc) of a layer: sum CONC*SG + (1 - sum CONC)*RHOW.
float bulk_density(const std::vector<Fraction>& frac, float rhow);

// Aggregate void ratio of a layer: sum CONC*VOIDR / sum CONC (0 without solids).
float bulk_void_ratio(const std::vector<Fraction>& frac);

// Initial descent velocity (ft/s): (plan area / opening area) times the draft
// change per layer over the release time per layer; 0 when the opening area
// or the release time is not positive.
float initial_descent_velocity(int kvessel, const Vessel& v, int nbins, int nlayer, float trel);

// Initial descent time step (s) for the initial velocity cv, radius rb,
// depth h, entrainment ALPHA0, bulk density roo and the surface and bottom
// ambient densities (all densities in the same units); 5 s without an
// initial velocity or for a load no denser than the surface water.
float descent_time_step(float cv, float rb, float h, float alpha0, float roo, float rhos,
                        float rhob);

// Rates of the descent state x, y, z, M, Px, Py, Pz, B, K, S(1..NSOLID).
class DescentModel {
  public:
    DescentModel(const PhaseEnv& env, float xbarge, float zbarge)
        : env_(env), xb_(xbarge), zb_(zbarge) {}
    void operator()(const float* y, float* dy);

    int k = 0;     // profile interval of the last evaluation
    int step = 0;  // current integration step (settling starts after step 10)

  private:
    const PhaseEnv& env_;
    float xb_, zb_;
};

// Descent of layer `layer` (1-based): reads the deck records that fall due,
// prints the layer's echo and results, writes record 3 of the deposit file
// on the first call, and leaves the outcome and the cloud state for the
// collapse in run.out, run.track and run.y.
void run_descent(Run& run, Deck& deck, int layer);

}  // namespace cloudex
