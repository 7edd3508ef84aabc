// The ambient water at a point: depth, density, current and vertical diffusion.
#pragma once

#include "cloudex/state.hpp"

namespace cloudex {

// Bilinear interpolation of a grid field at the position x (ft from the top
// edge) and z (ft from the left edge). The node indices are the integer parts
// of z/DZ + 0.0001 and x/DX + 0.0001 and the weights the fractional parts
// (zero below 0.0001); indices are kept inside the grid.
float interpolate(const Grid& grid, const Field& f, float x, float z);

// Water depth at (x, z), ft.
inline float depth_at(const Grid& grid, float x, float z) {
    return interpolate(grid, grid.depth, x, z);
}

// Ambient density (slugs/ft^3) at depth y by linear interpolation in the
// profile interval k (0-based), which is first moved until
// depth(k) <= y <= depth(k+1) as far as the profile allows; beyond the ends
// the first or last interval is extended.
float density_at(const Profile& p, float y, int& k);
// Density gradient of profile interval k (slugs/ft^4); 0 for a single point.
float density_gradient(const Profile& p, int k);

// Ambient x- and z-velocities (ft/s) at (x, depth y, z) for every KVEL.
// KVEL = 3 stops the run when the lower profile depth lies at the bottom.
void ambient_velocity(const Grid& grid, const Ambient& amb, float x, float y, float z, float& u,
                      float& w);

// Depth-averaged velocity grids from the single observation of KVEL 1 and 2
// by continuity: u = VAX*D/h, w = VAZ*D/h; land points get 0.
void build_velocity_grids(const Grid& grid, Ambient& amb);

// Vertical diffusion coefficient Kv (ft^2/s) at grid point (n, m) and depth
// y for a small cloud whose mid-depth is ymid; sg is the fraction's density
// in slugs/ft^3. Returns false (Kv untouched) when the point is not in the
// water.
bool vertical_diffusion(const Grid& grid, const Ambient& amb, float aky0, int n, int m, float y,
                        float ymid, const SmallCloud& c, float sg, float& kv);

}  // namespace cloudex
