// Bottom shear stress from the current and the waves, once per run.
#pragma once

#include "cloudex/listing.hpp"
#include "cloudex/state.hpp"

namespace cloudex {

// Wavelength L (ft) at depth h (ft) for the deep-water wavelength l0 (ft)
// and the period (s): L = l0*tanh(2*pi*h/L) solved by halving the step
// between successive iterates, from (sqrt(0.322*l0)*period + l0)/2, until
// two iterates differ by less than 0.01 ft; at most 100 passes, after which
// `converged` is false and the last iterate is returned.
float wavelength(float l0, float period, float h, bool& converged);

// Friction factor of a steady current: 1/(4*(log10(zref/rough))^2).
float current_friction_factor(float zref, float rough);

// Wave friction factor for the orbital amplitude ab (ft) over a bed of
// roughness rough (ft): 0.22864*(ab/(30*rough))^(-0.52148) up to a relative
// amplitude of 100, 0.02 beyond; at most 0.5.
float wave_friction_factor(float ab, float rough);

// Fills the bottom shear stress grid (lb/ft^2, 0 on land); writes a console
// message for every wavelength iteration that does not converge.
void compute_bottom_shear(const Grid& g, Ambient& a);

// Prints the grid: a form feed, its heading and pages of 17 columns.
void print_bottom_shear(Listing& out, const Grid& g, const Ambient& a);

}  // namespace cloudex
