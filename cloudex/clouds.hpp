// Small clouds: the suspended solids of each fraction as Gaussian puffs that
// drift, grow, fall and deposit on the bottom grid.
#pragma once

#include <array>
#include <vector>

#include "cloudex/listing.hpp"
#include "cloudex/state.hpp"

namespace cloudex {

// What moving small clouds read.
struct CloudEnv {
    const Grid& grid;
    const Ambient& amb;
    const Coefs& coef;
    const Vessel& vessel;
};

// Spreads the solids volume `mass` (cu ft) reaching the bottom at (x, z)
// over the points that receive deposits (non-land points of rows and
// columns 2..N-1) with the Gaussian weights
//   w(n, m) = exp(-0.5*((((m-1)*DX - x)/sx)^2 + (((n-1)*DZ - z)/sz)^2)),
// the exponent limited to -88: each point receives mass*w/sum(w). The weight
// is a product of a row factor and a column factor, so the sum costs one
// pass over the runs; where every weight falls below the limit the deposit
// is spread evenly, as the limited weights are then all equal.
void spread_deposit(const Grid& g, Field& bottom, float mass, float x, float z, float sx, float sz);

// Keeps a cloud moved from water of depth h_old into shallower water of
// depth h_new at its height above the bed: its top rises by the decrease of
// depth (never above the surface). Into deeper water the top stays.
void follow_rising_bed(SmallCloud& c, float h_old, float h_new);

// Grows the horizontal standard deviations over dt by the 4/3 law:
// K = ALAMDA*(4*sigma)^(4/3), at most 100 ft^2/s, sigma += (K/sigma)*dt.
void grow_horizontal(float alamda, SmallCloud& c, float dt);

// Undoes the parts of an advection step (from xo, zo with velocities u, w)
// that carried the cloud onto land, by the codes of its new cell.
void apply_land_rule(const Grid& g, SmallCloud& c, float xo, float zo, float u, float w);

// One deposition sub-step of length delta (s) for a cloud of fraction f:
// where the bottom shear stress allows deposition the cloud falls, the part
// that passes the bottom leaves the cloud, and the top and the base move
// apart by the diffusion length sqrt(2*Kv*delta) (sqrt(0.2*Kv*step) for a
// tenth of a step). Returns the solids volume (cu ft) that reached the
// bottom; the caller spreads it with spread_deposit.
float deposit_substep(const CloudEnv& env, const Fraction& f, SmallCloud& c, float delta);

// Small clouds of fraction fi cut from the record of the current layer's
// descent and collapse (xb, zb: the dump location of the layer). Stops the
// run when the increment is zero or the fraction would hold more than 75.
void create_clouds(const CloudEnv& env, const Track& tr, const Outcome& o, const Fraction& f,
                   std::size_t fi, float xb, float zb, std::vector<SmallCloud>& list, Listing& out);

// Brings every small cloud of the present fractions forward to t_end: drift,
// growth and one deposition pass. Stops the run when a cloud leaves the grid.
void bring_forward(const CloudEnv& env, const std::vector<Fraction>& frac,
                   std::array<std::vector<SmallCloud>, kMaxFractions>& clouds,
                   std::array<Field, kMaxFractions>& bottom, float t_end);

// Erases the clouds whose mass is gone; the later ones move down.
void erase_empty(std::vector<SmallCloud>& list);

}  // namespace cloudex
