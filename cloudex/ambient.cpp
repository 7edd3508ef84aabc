#include "cloudex/ambient.hpp"

#include <algorithm>
#include <cmath>

#include "cloudex/listing.hpp"

namespace cloudex {

float interpolate(const Grid& grid, const Field& f, float x, float z) {
    const float zn = z / grid.dz;
    const float xm = x / grid.dx;
    const int i = trunc_index(zn + 0.0001f);
    const int j = trunc_index(xm + 0.0001f);
    float fz = zn - static_cast<float>(i);
    float fx = xm - static_cast<float>(j);
    if (fz < 0.0001f) fz = 0.0f;
    if (fx < 0.0001f) fx = 0.0f;
    const int n1 = std::clamp(i, 1, static_cast<int>(grid.nmax));
    const int n2 = std::clamp(i + 1, 1, static_cast<int>(grid.nmax));
    const int m1 = std::clamp(j, 1, static_cast<int>(grid.mmax));
    const int m2 = std::clamp(j + 1, 1, static_cast<int>(grid.mmax));
    const float a = f(n1, m1) + fz * (f(n2, m1) - f(n1, m1));
    const float b = f(n1, m2) + fz * (f(n2, m2) - f(n1, m2));
    return a + fx * (b - a);
}

float density_gradient(const Profile& p, int k) {
    if (p.ndens < 2) return 0.0f;
    const auto i = static_cast<std::size_t>(k);
    const float dd = p.depth[i + 1] - p.depth[i];
    return dd != 0.0f ? (p.dens[i + 1] - p.dens[i]) / dd : 0.0f;
}

float density_at(const Profile& p, float y, int& k) {
    if (p.ndens < 2) {
        k = 0;
        return p.dens[0];
    }
    const int last = p.ndens - 2;
    k = std::clamp(k, 0, last);
    while (k < last && p.depth[static_cast<std::size_t>(k + 1)] < y) ++k;
    while (k > 0 && y < p.depth[static_cast<std::size_t>(k)]) --k;
    return p.dens[static_cast<std::size_t>(k)] +
           (y - p.depth[static_cast<std::size_t>(k)]) * density_gradient(p, k);
}

namespace {

// Velocity of a two-point profile: v1 down to depth d1, linear to v2 at d2,
// then falling linearly to zero at the bottom depth h.
float two_point(float y, float d1, float d2, float v1, float v2, float h) {
    if (y <= d1) return v1;
    if (y < d2) return v1 + (y - d1) * (v2 - v1) / (d2 - d1);
    if (d2 == h)
        throw Stop(
            {"WARNING...NEED TO CHANGE VELOCITY PROFILE...LAST ENTRY CAN NOT BE AT THE "
             "BOTTOM..."});
    return v2 * (1.0f - (y - d2) / (h - d2));
}

}  // namespace

void ambient_velocity(const Grid& grid, const Ambient& amb, float x, float y, float z, float& u,
                      float& w) {
    if (amb.kvel == kVelTwoPoint) {
        const float h = depth_at(grid, x, z);
        u = two_point(y, amb.du1, amb.du2, amb.uu1, amb.uu2, h);
        w = two_point(y, amb.dw1, amb.dw2, amb.ww1, amb.ww2, h);
        return;
    }
    u = interpolate(grid, amb.u, x, z);
    w = interpolate(grid, amb.w, x, z);
    if (amb.kvel == kVelObservedLog) {
        // Logarithmic distribution over the depth about the depth average.
        const float h = depth_at(grid, x, z);
        if (y < h && h > 0.0f) {
            const float f =
                1.0f + 0.476f * std::pow(h, -2.0f / 3.0f) * (1.0f + std::log((h - y) / h));
            u *= f;
            w *= f;
        }
    }
}

void build_velocity_grids(const Grid& grid, Ambient& amb) {
    amb.u.fill(0.0f);
    amb.w.fill(0.0f);
    for (int m = 1; m <= grid.mmax; ++m)
        for (int n = 1; n <= grid.nmax; ++n) {
            const float h = grid.depth(n, m);
            if (h == 0.0f) continue;
            amb.u(n, m) = amb.vax * amb.dobs / h;
            amb.w(n, m) = amb.vaz * amb.dobs / h;
        }
}

bool vertical_diffusion(const Grid& grid, const Ambient& amb, float aky0, int n, int m, float y,
                        float ymid, const SmallCloud& c, float sg, float& kv) {
    const float x = static_cast<float>(m) * grid.dx;
    const float z = static_cast<float>(n) * grid.dz;
    const float h = depth_at(grid, x, z);
    if (y >= h || y <= 0.0f) return false;
    const float y1 = std::min(y + 1.0f, h);
    const float y2 = std::max(y - 1.0f, 0.0f);
    int k = 0;
    float rho1 = density_at(amb.prof, y1, k);
    float rho2 = density_at(amb.prof, y2, k);
    // The cloud's own peak excess density, added on its inner side.
    const float spread = std::pow(2.0f * kPi, 1.5f) * c.sv * c.sx * c.sz;
    const float excess = spread > 0.0f ? 0.0111f * sg * c.mass / spread : 0.0f;
    if (y < ymid)
        rho1 += excess;
    else if (y > ymid)
        rho2 += excess;
    float u1, w1, u2, w2;
    ambient_velocity(grid, amb, x, y1, z, u1, w1);
    ambient_velocity(grid, amb, x, y2, z, u2, w2);
    float shear = std::sqrt((u1 - u2) * (u1 - u2) + (w1 - w2) * (w1 - w2)) / (y1 - y2);
    if (shear == 0.0f || amb.kvel == kVelObservedLog) {
        float us, ws;
        ambient_velocity(grid, amb, x, 0.0f, z, us, ws);
        shear = 0.7f * std::sqrt(us * us + ws * ws) / h;
    }
    if (shear == 0.0f) {
        kv = 5.0e-6f;
        return true;
    }
    float ri = (kGrav / (((rho1 + rho2) / 2.0f) * shear * shear)) * (rho1 - rho2) / (y1 - y2);
    ri = std::clamp(ri, 0.0f, 4.0f);
    kv = aky0 * (1.0f - 0.25f * ri);
    if (kv == 0.0f) kv = 5.0e-6f;
    return true;
}

}  // namespace cloudex
