// VELOCITY: steady depth-averaged current by pseudo-time relaxation.
//
// The sweeps are written as plain loops over the cells of one line of
// constant I (contiguous in memory) with no dependence between the cells of
// the loop, so that the compiler can evaluate several cells at once; every
// cell still goes through exactly the operations, in exactly the order, of
// the one-cell formula, so the results do not depend on that.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dredge/hydro.hpp"
#include "recio/console.hpp"

namespace dredge {

namespace {

// Residuals of the momentum equations along I (rx) and J (ry) and of
// continuity (rc) for the interior cells j = 1..ny-2 (0-based) of one line
// of constant I. m, c, p: lines I-1, I, I+1.
struct LineIn {
    const float* __restrict dm;
    const float* __restrict dc;
    const float* __restrict dp;
    const float* __restrict um;
    const float* __restrict uc;
    const float* __restrict up;
    const float* __restrict vm;
    const float* __restrict vc;
    const float* __restrict vp;
    const float* __restrict em;
    const float* __restrict ec;
    const float* __restrict ep;
};

struct Coefficients {
    float g, ev, tdx, tdy, dx2, dy2, ch2;
};

__attribute__((target_clones("avx2", "default"))) void residuals(const LineIn& in,
                                                                 const Coefficients& k, int ny,
                                                                 float* __restrict rx,
                                                                 float* __restrict ry,
                                                                 float* __restrict rc) {
    const float g = k.g, ev = k.ev, tdx = k.tdx, tdy = k.tdy, dx2 = k.dx2, dy2 = k.dy2, ch2 = k.ch2;
    for (int j = 1; j < ny - 1; ++j) {
        const float u = in.uc[j], v = in.vc[j];
        const float h = in.dc[j] + in.ec[j];
        const float speed = std::sqrt(u * u + v * v);
        const float friction = ch2 * h;
        const float dudx = (in.up[j] - in.um[j]) / tdx;
        const float dudy = (in.uc[j + 1] - in.uc[j - 1]) / tdy;
        const float dvdx = (in.vp[j] - in.vm[j]) / tdx;
        const float dvdy = (in.vc[j + 1] - in.vc[j - 1]) / tdy;
        const float lapu =
            (in.up[j] + in.um[j] - 2.0f * u) / dx2 + (in.uc[j + 1] + in.uc[j - 1] - 2.0f * u) / dy2;
        const float lapv =
            (in.vp[j] + in.vm[j] - 2.0f * v) / dx2 + (in.vc[j + 1] + in.vc[j - 1] - 2.0f * v) / dy2;
        rx[j] = -(g * (in.ep[j] - in.em[j]) / tdx + g * u * speed / friction - ev * lapu +
                  v * dudy + u * dudx);
        ry[j] = -(g * (in.ec[j + 1] - in.ec[j - 1]) / tdy + g * v * speed / friction - ev * lapv +
                  v * dvdy + u * dvdx);
        const float qxp = (in.dp[j] + in.ep[j]) * in.up[j];
        const float qxm = (in.dm[j] + in.em[j]) * in.um[j];
        const float qyp = (in.dc[j + 1] + in.ec[j + 1]) * in.vc[j + 1];
        const float qym = (in.dc[j - 1] + in.ec[j - 1]) * in.vc[j - 1];
        rc[j] = -((qxp - qxm) / tdx + (qyp - qym) / tdy);
    }
}

// Copies the end entries of a line array from their inner neighbours.
void copy_ends(float* a, int n) {
    a[0] = a[1];
    a[n - 1] = a[n - 2];
}

// 0.25/0.5/0.25 smoothing of the inner entries of a line array (from the
// values before smoothing), ends copied from their new inner neighbours.
void smooth_line(const float* __restrict a, float* __restrict out, int n) {
    for (int j = 1; j < n - 1; ++j) out[j] = 0.25f * a[j - 1] + 0.5f * a[j] + 0.25f * a[j + 1];
    copy_ends(out, n);
}

void advance(float* __restrict u, float* __restrict v, float* __restrict e,
             const float* __restrict sx, const float* __restrict sy, const float* __restrict sc,
             float* __restrict change, int n) {
    for (int j = 0; j < n; ++j) {
        u[j] += 0.1f * sx[j];
        v[j] += 0.1f * sy[j];
        e[j] += 0.1f * sc[j];
        change[j] = 0.1f * std::sqrt(sx[j] * sx[j] + sy[j] * sy[j]);
    }
}

// Largest of non-negative values, an undefined value (NaN) counting as the
// largest of all so that a field gone undefined never passes for converged.
// For non-negative reals the order of the bit patterns, sign bit cleared, is
// the order of the values, with NaN above infinity.
std::uint32_t largest_bits(const float* a, int n) {
    std::uint32_t m = 0;
    for (int j = 0; j < n; ++j) {
        std::uint32_t b;
        std::memcpy(&b, &a[j], sizeof b);
        b &= 0x7fffffffu;
        m = b > m ? b : m;
    }
    return m;
}

// Discharge per unit width (DEPTH + ETA) U of a line.
void discharge(const float* __restrict d, const float* __restrict e, const float* __restrict u,
               float* __restrict q, int n) {
    for (int j = 0; j < n; ++j) q[j] = (d[j] + e[j]) * u[j];
}

}  // namespace

VelocityResult VELOCITY(Fields& f, float q, float n) {
    const int nx = f.nx, ny = f.ny;
    const float dx = f.dx, dy = f.dy;
    const float ch = chezy(f.depth(nx, 1), n);
    const Coefficients k{32.2f, 50.0f, 2.0f * dx, 2.0f * dy, dx * dx, dy * dy, ch * ch};
    const int limit = 500;
    const float tolerance = 0.02f;

    const std::size_t m = static_cast<std::size_t>(ny);
    std::vector<float> rx(m), ry(m), rc(m), sx(m), sy(m), sc(m), change(m);
    // Old values of the edge conditions, recorded at the start of a sweep.
    std::vector<float> q2_old(m), qm_old(m), qn_old(m), e1_old(m), e2_old(m), em_old(m), u1_old(m),
        un_old(m);
    std::vector<float> q2(m), qm(m), previous(m), saved(m);

    VelocityResult result;
    for (int sweep = 1; sweep <= limit; ++sweep) {
        result.sweeps = sweep;
        discharge(f.depth.line(2), f.eta.line(2), f.u.line(2), q2_old.data(), ny);
        discharge(f.depth.line(nx - 1), f.eta.line(nx - 1), f.u.line(nx - 1), qm_old.data(), ny);
        discharge(f.depth.line(nx), f.eta.line(nx), f.u.line(nx), qn_old.data(), ny);
        std::copy_n(f.eta.line(1), ny, e1_old.data());
        std::copy_n(f.eta.line(2), ny, e2_old.data());
        std::copy_n(f.eta.line(nx - 1), ny, em_old.data());
        std::copy_n(f.u.line(1), ny, u1_old.data());
        std::copy_n(f.u.line(nx), ny, un_old.data());

        // Interior columns, one after the other: each column is advanced
        // before the next one is computed.
        std::uint32_t error_bits = 0;
        for (int i = 2; i <= nx - 1; ++i) {
            const LineIn in{f.depth.line(i - 1), f.depth.line(i), f.depth.line(i + 1),
                            f.u.line(i - 1),     f.u.line(i),     f.u.line(i + 1),
                            f.v.line(i - 1),     f.v.line(i),     f.v.line(i + 1),
                            f.eta.line(i - 1),   f.eta.line(i),   f.eta.line(i + 1)};
            residuals(in, k, ny, rx.data(), ry.data(), rc.data());
            copy_ends(rx.data(), ny);
            copy_ends(ry.data(), ny);
            copy_ends(rc.data(), ny);
            smooth_line(rx.data(), sx.data(), ny);
            smooth_line(ry.data(), sy.data(), ny);
            smooth_line(rc.data(), sc.data(), ny);
            advance(f.u.line(i), f.v.line(i), f.eta.line(i), sx.data(), sy.data(), sc.data(),
                    change.data(), ny);
            error_bits = std::max(error_bits, largest_bits(change.data(), ny));
        }
        float error;
        std::memcpy(&error, &error_bits, sizeof error);
        result.error = error;
        if (error < tolerance) {
            result.converged = true;
            return result;
        }

        // Smooth the set-up along I (from the values before smoothing).
        std::copy_n(f.eta.line(1), ny, previous.data());
        for (int i = 2; i <= nx - 1; ++i) {
            float* __restrict e = f.eta.line(i);
            const float* __restrict en = f.eta.line(i + 1);
            float* __restrict pv = previous.data();
            float* __restrict sv = saved.data();
            for (int j = 0; j < ny; ++j) {
                sv[j] = e[j];
                e[j] = 0.25f * pv[j] + 0.5f * e[j] + 0.25f * en[j];
                pv[j] = sv[j];
            }
        }

        // Inflow edge I = 1: continuity over the first two columns admits
        // the discharge q; the edge cell keeps its own discharge.
        discharge(f.depth.line(2), f.eta.line(2), f.u.line(2), q2.data(), ny);
        {
            const float* d1 = f.depth.line(1);
            const float* e2 = f.eta.line(2);
            const float* v2 = f.v.line(2);
            float* e1 = f.eta.line(1);
            float* u1 = f.u.line(1);
            float* v1 = f.v.line(1);
            for (int j = 0; j < ny; ++j) {
                float e =
                    0.1f * (2.0f * q - q2_old[j] - q2[j]) / dx - e2[j] + e1_old[j] + e2_old[j];
                e = 0.5f * (e1_old[j] + e);
                e1[j] = e;
                u1[j] = u1_old[j] * (d1[j] + e1_old[j]) / (d1[j] + e);
                v1[j] = 0.5f * (v1[j] + v2[j]);
            }
        }
        // Outflow edge I = NX: passes on the discharge change of column
        // NX - 1, corrected for the storage change there.
        discharge(f.depth.line(nx - 1), f.eta.line(nx - 1), f.u.line(nx - 1), qm.data(), ny);
        {
            const float* em = f.eta.line(nx - 1);
            const float* vm = f.v.line(nx - 1);
            float* un = f.u.line(nx);
            float* vn = f.v.line(nx);
            for (int j = 0; j < ny; ++j) {
                const float x = qm[j] + (qm_old[j] - qn_old[j]) - 10.0f * dx * (em[j] - em_old[j]);
                if (qn_old[j] != 0.0f) un[j] = un_old[j] * x / qn_old[j];
                vn[j] = 0.5f * (vm[j] + vn[j]);
            }
        }

        // Smooth the inflow set-up along J.
        {
            float* e1 = f.eta.line(1);
            std::copy_n(e1, ny, saved.data());
            for (int j = 1; j < ny - 1; ++j)
                e1[j] = 0.25f * saved[j - 1] + 0.5f * saved[j] + 0.25f * saved[j + 1];
            e1[0] = e1[1];
            e1[ny - 1] = e1[ny - 2];
        }
    }
    recio::console_list(" ITERATION FAILED TO MEET MINIMUM ERROR LIMITS");
    return result;
}

}  // namespace dredge
