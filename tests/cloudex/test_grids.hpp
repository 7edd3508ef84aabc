// Small grids and profiles for the kernel tests.
#pragma once

#include <vector>

#include "cloudex/gridsetup.hpp"
#include "cloudex/state.hpp"

namespace cloudex_test {

// An n x m grid of constant depth with its codes and water-point runs.
inline cloudex::Grid water_grid(int n, int m, float spacing, float depth) {
    cloudex::Grid g;
    g.nmax = static_cast<std::int16_t>(n);
    g.mmax = static_cast<std::int16_t>(m);
    g.dx = g.dz = spacing;
    g.rdx = g.rdz = 1.0f / spacing;
    g.area = spacing * spacing;
    for (int mm = 1; mm <= m; ++mm)
        for (int nn = 1; nn <= n; ++nn) g.depth(nn, mm) = depth;
    cloudex::assign_codes(g);
    cloudex::build_runs(g);
    return g;
}

// A density profile in slugs per cubic foot.
inline cloudex::Profile profile(const std::vector<float>& depth, const std::vector<float>& dens) {
    cloudex::Profile p;
    p.ndens = static_cast<std::int16_t>(depth.size());
    for (std::size_t i = 0; i < depth.size(); ++i) {
        p.depth[i] = depth[i];
        p.dens[i] = dens[i];
        p.dens_gcc[i] = dens[i] / cloudex::kToSlugs;
    }
    return p;
}

}  // namespace cloudex_test
