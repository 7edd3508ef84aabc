// CNTNUTY: bed continuity and the current's response to the new depths.
#include <algorithm>
#include <cmath>
#include <vector>

#include "dredge/bed.hpp"

namespace dredge {

namespace {

// 0.25/0.5/0.25 smoothing along J of every line of constant I (J = 2..NY-1,
// from the values before smoothing).
void smooth_along_j(Grid& g, std::vector<float>& work) {
    for (int i = 1; i <= g.nx; ++i) {
        float* __restrict a = g.line(i);
        float* __restrict w = work.data();
        for (int j = 0; j < g.ny; ++j) w[j] = a[j];
        for (int j = 1; j < g.ny - 1; ++j) a[j] = 0.25f * w[j - 1] + 0.5f * w[j] + 0.25f * w[j + 1];
    }
}

// The same along I (I = 2..NX-1 for every J).
void smooth_along_i(Grid& g, std::vector<float>& previous, std::vector<float>& work) {
    std::copy_n(g.line(1), g.ny, previous.data());
    for (int i = 2; i <= g.nx - 1; ++i) {
        float* __restrict a = g.line(i);
        const float* __restrict next = g.line(i + 1);
        float* __restrict pv = previous.data();
        float* __restrict w = work.data();
        for (int j = 0; j < g.ny; ++j) {
            w[j] = a[j];
            a[j] = 0.25f * pv[j] + 0.5f * a[j] + 0.25f * next[j];
            pv[j] = w[j];
        }
    }
}

// Edge rows and columns copied from their inner neighbours.
void copy_edges(Grid& g) {
    for (int i = 1; i <= g.nx; ++i) {
        g(i, 1) = g(i, 2);
        g(i, g.ny) = g(i, g.ny - 1);
    }
    for (int j = 1; j <= g.ny; ++j) {
        g(1, j) = g(2, j);
        g(g.nx, j) = g(g.nx - 1, j);
    }
}

}  // namespace

void CNTNUTY(Fields& f, float dt, std::int32_t ised) {
    const int nx = f.nx, ny = f.ny;
    const std::size_t m = static_cast<std::size_t>(ny);
    std::vector<float> previous(m), work(m);
    if (ised == 1) {
        // Transport of ACKWHT: smoothed, the edge lines carrying what their
        // inner neighbours carry, then its divergence.
        smooth_along_j(f.qx, work);
        smooth_along_j(f.qy, work);
        for (int i = 1; i <= nx; ++i) {
            f.qy(i, 1) = f.qy(i, 2);
            f.qy(i, ny) = f.qy(i, ny - 1);
        }
        smooth_along_i(f.qx, previous, work);
        smooth_along_i(f.qy, previous, work);
        for (int j = 1; j <= ny; ++j) {
            f.qx(1, j) = f.qx(2, j);
            f.qx(nx, j) = f.qx(nx - 1, j);
        }
        const float tdx = 2.0f * f.dx, tdy = 2.0f * f.dy;
        for (int i = 2; i <= nx - 1; ++i) {
            const float* __restrict qxm = f.qx.line(i - 1);
            const float* __restrict qxp = f.qx.line(i + 1);
            const float* __restrict qy = f.qy.line(i);
            float* __restrict b = f.bedchg.line(i);
            for (int j = 1; j < ny - 1; ++j)
                b[j] = dt * ((qxp[j] - qxm[j]) / tdx + (qy[j + 1] - qy[j - 1]) / tdy);
        }
    }
    copy_edges(f.bedchg);
    smooth_along_j(f.bedchg, work);
    copy_edges(f.bedchg);
    smooth_along_i(f.bedchg, previous, work);
    copy_edges(f.bedchg);

    for (std::size_t k = 0; k < f.depth.v.size(); ++k) {
        const float d = f.depth.v[k];
        const float change = f.bedchg.v[k];
        const float dnew = d + change;
        float u = f.u.v[k], v = f.v.v[k];
        if (dnew > 0.0f) {  // the discharge of the cell kept over its new depth
            u = u * d / dnew;
            v = v * d / dnew;
        }
        const float celerity = std::sqrt(32.2f * d);
        const float speed = std::sqrt(u * u + v * v);
        if (speed > celerity) {  // Froude limit
            u = u * celerity / speed;
            v = v * celerity / speed;
        }
        f.u.v[k] = u;
        f.v.v[k] = v;
        f.depth.v[k] = dnew;
    }
}

}  // namespace dredge
