// Sediment transport of one three-hour step under waves and current:
// ACKWHT for a non-cohesive bed, COHESIVE for a cohesive one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dredge/grid.hpp"

namespace dredge {

// Wave quantities at a cell of depth h (ft) for the deep-water height h0
// (ft) and period t (s), by linear wave theory with the routine's own pi:
//   k   wave number 2 pi / L (1/ft), L from the wavelength iteration with
//       L0 = g t^2 / (2 pi)
//   hl  local wave height Ks h0, at most 0.78 h (depth-limited breaking)
//   ub  near-bed orbital velocity amplitude g k t hl / (4 pi cosh kh) (ft/s)
//   ab  near-bed orbital excursion amplitude hl / (2 sinh kh) (ft)
//   fw  wave friction factor: 0.5 for ab < 0.0001 ft, else
//       0.22864 (ab/ks)^-0.52148 up to ab/ks = 70 and 0.02 beyond, at most
//       0.5, with the bed roughness ks = 0.1969 ft
struct CellWave {
    float k = 0.0f, kh = 0.0f, hl = 0.0f, ub = 0.0f, ab = 0.0f, fw = 0.0f;
    bool converged = true;
};
CellWave cell_wave(float h0, float t, float h, float pi);

// The wave quantities of one call of a transport routine (fixed h0, t and
// pi), remembered by depth: a site has many cells of the same depth, and a
// cell's quantities depend on nothing else.
class CellWaves {
  public:
    CellWaves(float h0, float t, float pi) : h0_(h0), t_(t), pi_(pi) { grow(4096); }
    const CellWave& at(float h);
    // Works out at once the quantities of every depth of the list not yet
    // known, so that at() then only looks them up.
    void prepare(const std::vector<float>& depths);

  private:
    // Open addressing on the depth's bits, at most half full: a slot holds
    // 1 + the index of the depth's entry in values_, 0 when free.
    std::size_t slot_of(std::uint32_t key) const;
    void grow(std::size_t capacity);
    void make_room(std::size_t more);
    void add(std::size_t slot, std::uint32_t key);

    float h0_, t_, pi_;
    std::vector<std::uint32_t> keys_, slots_;
    std::vector<CellWave> values_;
};

// Wave-stirring factor B = sqrt(1 + 0.5 (xi ub / uc)^2) of a current of
// speed uc (ft/s) over a bed of depth h (ft) under the cell's waves:
// xi = C' sqrt(fw / 2g) turns the near-bed orbital velocity into an
// equivalent addition to the current, with the grain-roughness Chezy value
// C' = 18 log10(12 h / ks), ks = 0.1969 ft.
float stirring_factor(float h, float uc, const CellWave& w);

// Ackers-White sediment constants for the grain size D (ft): the
// dimensionless grain size Dgr = D (g (s - 1) / nu^2)^(1/3) and the
// transition exponent n, mobility threshold A, exponent m and coefficient C.
struct AckersWhite {
    float d = 0.0f, dgr = 0.0f, n = 0.0f, a = 0.0f, m = 0.0f, c = 0.0f;
};
AckersWhite ackers_white_constants(float d50_mm);

// ACKWHT: total-load transport of a non-cohesive bed by the Ackers-White
// formula, the current's shear enhanced by the wave-stirring factor
// B = sqrt(1 + 0.5 (xi ub / Uc)^2).
//   in:  f.depth (tide included, ft), f.u, f.v (ft/s), h0 deep-water wave
//        height (ft), t wave period (s; raised to 1 s if lower, also for the
//        caller), d50 median grain size (mm), n Manning's n, p bed porosity
//   out: f.qx, f.qy: bulk transport per unit width along I and J (ft2/s),
//        pores included, in the direction of the current
// Cells with |depth| <= 0.1 ft or a current of at most 1e-5 ft/s keep
// their earlier values. A cell whose wavelength iteration does not settle
// prints "WAVENUMBER COMPUTATION DID NOT CONVERGE!!" and goes on.
void ACKWHT(Fields& f, float h0, float& t, float d50, float n, float p);

// COHESIVE: erosion and deposition of a cohesive bed over one three-hour
// step, with the suspended load advected and diffused.
//   in:  f.depth, f.u, f.v, h0, t, n as for ACKWHT; icoh the erosion-rate
//        option (1: M = 1.02e-5, 2: M = 0.00102 lb/ft2/s); p bed porosity
//   out: f.taub wave-current bed shear stress (lb/ft2); f.erate erosion
//        source (TAUB/0.01 - 1) M / h (lb/ft3/s); f.dcoef deposition
//        coefficient (1 - TAUB/0.001) ws / h (1/s), ws = 6.56e-5 ft/s;
//        f.conc the concentration (lb/ft3) after 180 one-minute sub-steps of
//        advection, depth-weighted diffusion (25 ft2/s), erosion above
//        0.01 lb/ft2 and deposition below 0.001 lb/ft2, started from
//        0.002 lb/ft3 with the inflow column I = 1 held there; f.bedchg the
//        bed lowering of the step (ft, positive = erosion), the mass
//        exchanged with the bed over the dry density (1 - p) 160.195 lb/ft3.
// Cells with |depth| <= 0.1 ft or a current of at most 1e-6 ft/s keep the
// coefficients of their last computation. "WAVENUMBER ERROR" marks a cell
// whose wavelength iteration did not settle.
void COHESIVE(Fields& f, float h0, float t, float n, std::int32_t icoh, float p);

}  // namespace dredge
