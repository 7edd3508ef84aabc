// COHESIVE: erosion, deposition and suspended transport of a cohesive bed.
#include <algorithm>
#include <cmath>
#include <cstring>
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
constexpr int kBlock = 8;                 // sub-steps swept together

// Bed shear stress and the erosion and deposition coefficients of every
// cell with water and current.
void coefficients(Fields& f, float h0, float t, float n, float m) {
    const float g = 32.2f;
    const float ws = 6.56e-5f;  // settling velocity (ft/s)
    CellWaves waves(h0, t, 3.1415927f);
    std::vector<float> wet;
    wet.reserve(f.depth.v.size());
    for (float h : f.depth.v)
        if (!(std::fabs(h) <= 0.1f)) wet.push_back(h);  // the cells computed below
    waves.prepare(wet);
    // The cells in memory order (each cell's values depend on nothing else).
    for (int i = 1; i <= f.nx; ++i) {
        for (int j = 1; j <= f.ny; ++j) {
            const float h = f.depth(i, j);
            if (std::fabs(h) <= 0.1f) continue;
            const CellWave& w = waves.at(h);
            if (!w.converged) recio::console_list("WAVENUMBER ERROR");
            const float u = f.u(i, j), v = f.v(i, j);
            const float uc = std::sqrt(u * u + v * v);
            if (uc <= 1.0e-6f) continue;
            const float cc = chezy(h, n);
            const float uw = stirring_factor(h, uc, w) * uc;  // wave-enhanced velocity
            const float tau = 1.99f * g * uw * uw / (cc * cc);
            f.taub(i, j) = tau;
            f.erate(i, j) = (tau / kTauErosion - 1.0f) / h * m;
            f.dcoef(i, j) = (1.0f - tau / kTauDeposition) / h * ws;
        }
    }
}

// What the concentration update of one line needs and what does not change
// over the sub-steps of a call: for the interior cells (0-based j = 1..ny-2)
// of line I the depth and its differences across the cell, the current, the
// erosion source (ERATE where TAUB exceeds the stress for erosion, +0.0
// elsewhere) and the deposition coefficient with its mask.
struct LineConstants {
    const float* __restrict h;
    const float* __restrict hx;  // DEPTH(I+1,J) - DEPTH(I-1,J)
    const float* __restrict hy;  // DEPTH(I,J+1) - DEPTH(I,J-1)
    const float* __restrict u;
    const float* __restrict v;
    const float* __restrict erosion;
    const std::int32_t* __restrict depositing;  // all bits set where TAUB is below the stress for
                                                // deposition
    const float* __restrict dcoef;
};

// x where the mask has all bits set, +0.0 where it is 0: the value of
// (condition ? x : 0.0f), written as a bit mask so that the cell loop has
// no branch.
inline float kept(float x, std::int32_t mask) {
    std::int32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits &= mask;
    float y;
    std::memcpy(&y, &bits, sizeof y);
    return y;
}

struct ConcCoefficients {
    float tdx, tdy, tdx2, tdy2, dx2, dy2, kx, ky, dry, dt;
};

// Number of equal parts each one-minute sub-step is split into so that the
// explicit advection-diffusion update stays stable: with the part dt,
// K dt (1/DX^2 + 1/DY^2) <= 1/2 and dt (ue^2 + ve^2) / K <= 2 in every
// interior cell, where ue, ve are the current plus the drift that the
// depth-weighted diffusion adds (K |dh/dx| / h). One part whenever the
// minute itself is stable.
int parts_per_minute(const Fields& f, float kx, float ky) {
    const double kxd = static_cast<double>(kx), kyd = static_cast<double>(ky);
    const double dxd = static_cast<double>(f.dx), dyd = static_cast<double>(f.dy);
    double worst = 0.0;  // largest (ue^2 + ve^2) / K
    for (int i = 2; i <= f.nx - 1; ++i)
        for (int j = 2; j <= f.ny - 1; ++j) {
            const double h = static_cast<double>(f.depth(i, j));
            const double hx =
                static_cast<double>(f.depth(i + 1, j)) - static_cast<double>(f.depth(i - 1, j));
            const double hy =
                static_cast<double>(f.depth(i, j + 1)) - static_cast<double>(f.depth(i, j - 1));
            const double ue =
                std::fabs(static_cast<double>(f.u(i, j))) + kxd * std::fabs(hx) / (2.0 * dxd * h);
            const double ve =
                std::fabs(static_cast<double>(f.v(i, j))) + kyd * std::fabs(hy) / (2.0 * dyd * h);
            worst = std::max(worst, ue * ue / kxd + ve * ve / kyd);
        }
    const double diffusion = std::max(kxd, kyd) * (1.0 / (dxd * dxd) + 1.0 / (dyd * dyd));
    double dt = 0.5 / diffusion;
    if (worst > 0.0) dt = std::min(dt, 2.0 / worst);
    const double parts = std::ceil(60.0 / dt);
    if (!(parts <= 100000.0)) return 100000;  // an undefined or absurd field: bounded work
    return std::max(1, static_cast<int>(parts));
}

// One sub-step of line I (0-based j = 0..ny-1): the rates of its interior
// cells from lines I-1 (already advanced), I and I+1, the bed change they
// carry, then the line advanced by rate x dt; its first and last entries,
// which take the rate of their inner neighbour, are replaced at once by the
// linear extrapolation of the edges (no other line reads them before that).
// rate: scratch of ny entries.
__attribute__((always_inline)) inline void advance_line(
    const float* __restrict cm, float* __restrict cc, const float* __restrict cp,
    const LineConstants& in, const ConcCoefficients& k, int ny, float* __restrict rate,
    float* __restrict bed) {
    for (int j = 1; j < ny - 1; ++j) {
        const float c = cc[j];
        const float h = in.h[j];
        const float dcx = cp[j] - cm[j];
        const float dcy = cc[j + 1] - cc[j - 1];
        const float ax = in.u[j] * dcx / k.tdx;
        const float ay = in.v[j] * dcy / k.tdy;
        const float dx = k.kx * (in.hx[j] * dcx / k.tdx2 / h + (cp[j] + cm[j] - 2.0f * c) / k.dx2);
        const float dy =
            k.ky * (in.hy[j] * dcy / k.tdy2 / h + (cc[j + 1] + cc[j - 1] - 2.0f * c) / k.dy2);
        const float e = in.erosion[j];
        const float dp = kept(c * in.dcoef[j], in.depositing[j]);
        rate[j] = -ax - ay + dx + dy + e - dp;
        bed[j] += (e - dp) * h / k.dry * k.dt;
    }
    for (int j = 1; j < ny - 1; ++j) cc[j] += rate[j] * k.dt;
    cc[0] = 2.0f * cc[1] - cc[2];
    cc[ny - 1] = 2.0f * cc[ny - 2] - cc[ny - 3];
}

// The same loop built for the vector units at hand; chosen once per call.
using LineStep = void (*)(const float*, float*, const float*, const LineConstants&,
                          const ConcCoefficients&, int, float*, float*);

__attribute__((target("arch=x86-64-v4,prefer-vector-width=512"))) void advance_line_avx512(
    const float* cm, float* cc, const float* cp, const LineConstants& in, const ConcCoefficients& k,
    int ny, float* rate, float* bed) {
    advance_line(cm, cc, cp, in, k, ny, rate, bed);
}
__attribute__((target("avx2"))) void advance_line_avx2(const float* cm, float* cc, const float* cp,
                                                       const LineConstants& in,
                                                       const ConcCoefficients& k, int ny,
                                                       float* rate, float* bed) {
    advance_line(cm, cc, cp, in, k, ny, rate, bed);
}
void advance_line_sse2(const float* cm, float* cc, const float* cp, const LineConstants& in,
                       const ConcCoefficients& k, int ny, float* rate, float* bed) {
    advance_line(cm, cc, cp, in, k, ny, rate, bed);
}

LineStep line_step_for_this_cpu() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("x86-64-v4")) return advance_line_avx512;
    if (__builtin_cpu_supports("avx2")) return advance_line_avx2;
    return advance_line_sse2;
}

// The constants of every interior line, laid out line after line (ny
// entries per line, the interior at j = 1..ny-2).
struct SweepConstants {
    std::vector<float> hx, hy, erosion;
    std::vector<std::int32_t> depositing;

    explicit SweepConstants(const Fields& f) {
        const std::size_t cells = f.depth.v.size();
        hx.assign(cells, 0.0f);
        hy.assign(cells, 0.0f);
        erosion.assign(cells, 0.0f);
        depositing.assign(cells, 0);
        for (int i = 2; i <= f.nx - 1; ++i) {
            const float* hm = f.depth.line(i - 1);
            const float* hc = f.depth.line(i);
            const float* hp = f.depth.line(i + 1);
            const std::size_t at = f.depth.index(i, 1);
            for (int j = 1; j < f.ny - 1; ++j) {
                const std::size_t c = at + static_cast<std::size_t>(j);
                hx[c] = hp[j] - hm[j];
                hy[c] = hc[j + 1] - hc[j - 1];
                const float tau = f.taub.v[c];
                erosion[c] = kept(f.erate.v[c], tau > kTauErosion ? -1 : 0);
                depositing[c] = tau < kTauDeposition ? -1 : 0;
            }
        }
    }
    LineConstants line(const Fields& f, int i) const {
        const std::size_t at = f.depth.index(i, 1);
        return LineConstants{
            f.depth.line(i), hx.data() + at,      hy.data() + at,         f.u.line(i),
            f.v.line(i),     erosion.data() + at, depositing.data() + at, f.dcoef.line(i)};
    }
};

}  // namespace

void COHESIVE(Fields& f, float h0, float t, float n, std::int32_t icoh, float p) {
    const int nx = f.nx, ny = f.ny;
    const float m = icoh == 2 ? 0.00102f : 1.02e-5f;  // erosion rate constant (lb/ft2/s)
    f.conc.fill(0.002f);
    f.bedchg.fill(0.0f);
    coefficients(f, h0, t, n, m);

    const float tdx = 2.0f * f.dx, tdy = 2.0f * f.dy;
    const float kx = 25.0f, ky = 25.0f;  // horizontal diffusion (ft2/s)
    const int parts = parts_per_minute(f, kx, ky);
    const float dt = parts == 1 ? kSubStep : kSubStep / static_cast<float>(parts);
    const ConcCoefficients k{
        tdx, tdy, tdx * tdx, tdy * tdy, f.dx * f.dx, f.dy * f.dy, kx, ky, (1.0f - p) * 160.195f,
        dt};
    // What erodes or takes deposits, the depth differences and the current
    // are fixed for the call (TAUB does not change over the sub-steps).
    const SweepConstants fixed(f);
    const LineStep advance = line_step_for_this_cpu();
    std::vector<float> rate(static_cast<std::size_t>(ny));
    const auto advance_i = [&](int i) {
        advance(f.conc.line(i - 1), f.conc.line(i), f.conc.line(i + 1), fixed.line(f, i), k, ny,
                rate.data(), f.bedchg.line(i));
    };
    // The end of a sub-step, once line NX-1 is advanced: edges by linear
    // extrapolation (the interior lines' were done as they were advanced);
    // the inflow column I = 1 stays.
    const auto finish_step = [&]() {
        float* c = f.conc.line(1);
        c[0] = 2.0f * c[1] - c[2];
        c[ny - 1] = 2.0f * c[ny - 2] - c[ny - 3];
        float* __restrict cn = f.conc.line(nx);
        const float* __restrict c1 = f.conc.line(nx - 1);
        const float* __restrict c2 = f.conc.line(nx - 2);
        for (int j = 0; j < ny; ++j) cn[j] = 2.0f * c1[j] - c2[j];
    };
    // Each sub-step advances the lines I = 2..NX-1 in turn. Line I of a
    // sub-step needs line I-1 of the same sub-step and lines I, I+1 of the
    // one before, so sub-step s+1 can follow sub-step s two lines behind:
    // kBlock sub-steps sweep the grid together as a wave, on the few lines
    // that stay in the cache, and every line still sees its neighbours
    // exactly as in one sub-step after the other.
    const int steps = kSubSteps * parts;
    for (int first = 0; first < steps; first += kBlock) {
        const int block = std::min(kBlock, steps - first);
        for (int front = 2; front <= nx - 1 + 2 * (block - 1); ++front)
            for (int b = 0; b < block; ++b) {
                const int i = front - 2 * b;
                if (i < 2 || i > nx - 1) continue;
                advance_i(i);
                if (i == nx - 1) finish_step();
            }
    }
}

}  // namespace dredge
