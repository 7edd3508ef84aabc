#include "cloudex/shear.hpp"

#include <algorithm>
#include <cmath>

#include "cloudex/ambient.hpp"
#include "cloudex/echo.hpp"
#include "recio/console.hpp"

namespace cloudex {

float wavelength(float l0, float period, float h, bool& converged) {
    float l = (std::sqrt(0.322f * l0) * period + l0) / 2.0f;
    for (int pass = 0; pass < 100; ++pass) {
        const float next = l0 * std::tanh(2.0f * kPi * h / l);
        if (std::fabs(next - l) < 0.01f) {
            converged = true;
            return next;
        }
        l = (next + l) / 2.0f;
    }
    converged = false;
    return l;
}

float current_friction_factor(float zref, float rough) {
    const float lg = std::log10(zref / rough);
    return 1.0f / (4.0f * lg * lg);
}

float wave_friction_factor(float ab, float rough) {
    const float rel = ab / (30.0f * rough);
    const float fw = rel <= 100.0f ? 0.22864f * std::pow(rel, -0.52148f) : 0.02f;
    return std::min(fw, 0.5f);
}

namespace {

float solve_wavelength(float l0, float period, float h) {
    bool converged = true;
    const float l = wavelength(l0, period, h, converged);
    if (!converged) recio::console_record(" WAVENUMBER COMPUTATION DID NOT CONVERGE!!");
    return l;
}

}  // namespace

void compute_bottom_shear(const Grid& g, Ambient& a) {
    a.tau.fill(0.0f);
    const float rhob = a.prof.bottom();
    const bool waves = a.kwave != 0 && a.twave > 0.0f;
    const float period = a.twave;
    float l0 = 0, cw0 = 0, h0 = 0;
    if (waves) {
        // Deep-water height from the height given at the reference depth.
        l0 = 5.1247773f * period * period;
        cw0 = l0 / period;
        const auto at = [&](int k) {
            return g.depth(std::min(k, static_cast<int>(g.nmax)),
                           std::min(k, static_cast<int>(g.mmax)));
        };
        const float hr = (at(5) + at(20)) / 2.0f;
        const float l = solve_wavelength(l0, period, hr);
        const float k = 2.0f * kPi / l;
        const float cw = l / period;
        const float kh2 = 2.0f * k * hr;
        const float nn = kh2 <= 10.0f ? 0.5f * (1.0f + kh2 / std::sinh(kh2)) : 0.5f;
        const float ks = std::sqrt(cw0 / (2.0f * nn * cw));
        h0 = a.hwave / ks;
    }
    const float fc = current_friction_factor(a.zref, a.rough);
    for (int m = 1; m <= g.mmax; ++m)
        for (int n = 1; n <= g.nmax; ++n) {
            const float h = g.depth(n, m);
            if (h == 0.0f) continue;
            float x = static_cast<float>(m - 1) * g.dx;
            float z = static_cast<float>(n - 1) * g.dz;
            if (m == 1 || n == 1) {
                x = static_cast<float>(m) * g.dx;
                z = static_cast<float>(n) * g.dz;
            }
            float u, w;
            ambient_velocity(g, a, x, h - a.zref, z, u, w);
            const float phi = w == 0.0f ? kPi / 2.0f : std::fabs(std::atan(u / w));
            const float tc = 0.97f * rhob * fc * (u * u + w * w);
            if (!waves) {
                a.tau(n, m) = tc;
                continue;
            }
            const float l = solve_wavelength(l0, period, h);
            const float k = 2.0f * kPi / l;
            const float cw = l / period;
            const float kh2 = 2.0f * k * h;
            const float nn = 0.5f * (1.0f + kh2 / std::sinh(kh2));
            const float ks = std::sqrt(cw0 / (2.0f * nn * cw));
            const float hl = std::min(ks * h0, 0.78f * h);
            const float ab =
                std::max(hl / (2.0f * std::sinh(2.0f * kPi * (h - a.zref) / l)), 1.0e-5f);
            const float ub = ab / (0.5f * period);
            const float tw = 0.97f * rhob * wave_friction_factor(ab, a.rough) * ub * ub;
            const float dphi = std::fabs(std::fabs(a.dwave) - phi);
            const float along = tw + tc * std::fabs(std::cos(dphi));
            const float across = tc * std::sin(dphi);
            a.tau(n, m) = std::sqrt(along * along + across * across);
        }
}

void print_bottom_shear(Listing& out, const Grid& g, const Ambient& a) {
    out.page();
    out.line("BOTTOM SHEAR STRESS, LBS/SQ FT:");
    print_pages17(out, g, a.tau, "(1X,'M N= ',I2,17I7)", "(1X,I2,1X,17F7.4)");
}

}  // namespace cloudex
