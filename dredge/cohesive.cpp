// COHESIVE: erosion, deposition and suspended transport of a cohesive bed.
#include <cmath>
#include <vector>

#include "dredge/hydro.hpp"
#include "dredge/transport.hpp"
#include "recio/console.hpp"

namespace dredge {

namespace {

constexpr float kTauErosion = 0.01f;      // critical shear stress for erosion (lb/ft2)
constexpr float kTauDeposition = 0.001f;  // critical shear stress for deposition (lb/ft2)
constexpr float kSubStep = 60.0f;         // s
constexpr int kSubSteps = 180;            // one three-hour step

// Bed shear stress and the erosion and deposition coefficients of every
// cell with water and current.
void coefficients(Fields& f, float h0, float t, float n, float m) {
    const float g = 32.2f;
    const float ks = 0.1969f;
    const float ws = 6.56e-5f;  // settling velocity (ft/s)
    for (int j = 1; j <= f.ny; ++j) {
        for (int i = 1; i <= f.nx; ++i) {
            const float h = f.depth(i, j);
            if (std::fabs(h) <= 0.1f) continue;
            const CellWave w = cell_wave(h0, t, h, 3.1415927f);
            if (!w.converged) recio::console_list("WAVENUMBER ERROR");
            const float u = f.u(i, j), v = f.v(i, j);
            const float uc = std::sqrt(u * u + v * v);
            if (uc <= 1.0e-6f) continue;
            const float cc = chezy(h, n);
            const float cgrain = 18.0f * std::log10(12.0f * h / ks);
            const float xi = cgrain * std::sqrt(w.fw / (2.0f * g));
            const float r = xi * w.ub / uc;
            const float b = std::sqrt(1.0f + 0.5f * (r * r));
            const float uw = b * uc;  // wave-enhanced velocity
            const float tau = 1.99f * g * uw * uw / (cc * cc);
            f.taub(i, j) = tau;
            f.erate(i, j) = (tau / kTauErosion - 1.0f) / h * m;
            f.dcoef(i, j) = (1.0f - tau / kTauDeposition) / h * ws;
        }
    }
}

// Rates of change of the concentration along the interior of line I
// (0-based j = 1..ny-2), and the bed change they carry. m, c, p: lines
// I-1, I, I+1.
struct ConcLine {
    const float* __restrict cm;
    const float* __restrict cc;
    const float* __restrict cp;
    const float* __restrict hm;
    const float* __restrict hc;
    const float* __restrict hp;
    const float* __restrict u;
    const float* __restrict v;
    const float* __restrict tau;
    const float* __restrict erate;
    const float* __restrict dcoef;
};

struct ConcCoefficients {
    float tdx, tdy, tdx2, tdy2, dx2, dy2, kx, ky, dry;
};

void concentration_rates(const ConcLine& in, const ConcCoefficients& k, int ny, float* __restrict rate,
                         float* __restrict bed) {
    for (int j = 1; j < ny - 1; ++j) {
        const float c = in.cc[j];
        const float h = in.hc[j];
        const float dcx = in.cp[j] - in.cm[j];
        const float dcy = in.cc[j + 1] - in.cc[j - 1];
        const float ax = in.u[j] * dcx / k.tdx;
        const float ay = in.v[j] * dcy / k.tdy;
        const float dx = k.kx * ((in.hp[j] - in.hm[j]) * dcx / k.tdx2 / h + (in.cp[j] + in.cm[j] - 2.0f * c) / k.dx2);
        const float dy =
            k.ky * ((in.hc[j + 1] - in.hc[j - 1]) * dcy / k.tdy2 / h + (in.cc[j + 1] + in.cc[j - 1] - 2.0f * c) / k.dy2);
        const float tau = in.tau[j];
        const float e = tau > kTauErosion ? in.erate[j] : 0.0f;
        const float dp = tau < kTauDeposition ? c * in.dcoef[j] : 0.0f;
        rate[j] = -ax - ay + dx + dy + e - dp;
        bed[j] += (e - dp) * h / k.dry * kSubStep;
    }
}

}  // namespace

void cohesive(Fields& f, float h0, float t, float n, std::int32_t icoh, float p) {
    const int nx = f.nx, ny = f.ny;
    const float m = icoh == 2 ? 0.00102f : 1.02e-5f;  // erosion rate constant (lb/ft2/s)
    f.conc.fill(0.002f);
    f.bedchg.fill(0.0f);
    coefficients(f, h0, t, n, m);

    const float tdx = 2.0f * f.dx, tdy = 2.0f * f.dy;
    const ConcCoefficients k{tdx, tdy, tdx * tdx, tdy * tdy, f.dx * f.dx, f.dy * f.dy, 25.0f, 25.0f,
                             (1.0f - p) * 160.195f};
    std::vector<float> rate(static_cast<std::size_t>(ny));
    for (int step = 0; step < kSubSteps; ++step) {
        // Lines of constant I in turn; each line is advanced before the next
        // one is computed.
        for (int i = 2; i <= nx - 1; ++i) {
            const ConcLine in{f.conc.line(i - 1),  f.conc.line(i), f.conc.line(i + 1), f.depth.line(i - 1),
                              f.depth.line(i),     f.depth.line(i + 1), f.u.line(i),   f.v.line(i),
                              f.taub.line(i),      f.erate.line(i), f.dcoef.line(i)};
            concentration_rates(in, k, ny, rate.data(), f.bedchg.line(i));
            rate[0] = rate[1];
            rate[static_cast<std::size_t>(ny - 1)] = rate[static_cast<std::size_t>(ny - 2)];
            float* __restrict c = f.conc.line(i);
            const float* __restrict r = rate.data();
            for (int j = 0; j < ny; ++j) c[j] += r[j] * kSubStep;
        }
        // Edges by linear extrapolation; the inflow column I = 1 stays.
        for (int i = 1; i <= nx; ++i) {
            float* c = f.conc.line(i);
            c[0] = 2.0f * c[1] - c[2];
            c[ny - 1] = 2.0f * c[ny - 2] - c[ny - 3];
        }
        {
            float* __restrict cn = f.conc.line(nx);
            const float* __restrict c1 = f.conc.line(nx - 1);
            const float* __restrict c2 = f.conc.line(nx - 2);
            for (int j = 0; j < ny; ++j) cn[j] = 2.0f * c1[j] - c2[j];
        }
    }
}

}  // namespace dredge
