// The line avalanche and slope rule shared by MAXANGX and MAXANGY.
#include <array>
#include <cmath>
#include <cstdlib>

#include "dredge/bed.hpp"

namespace dredge {

int avalanche_line(float* z, int n, float smax, int imax, float tan_theta, float dx, int low) {
    // 1-based views: zl(i) = z[i-1].
    auto zl = [z](int i) -> float& { return z[i - 1]; };
    std::array<float, kGridCapacity + 2> tmp{};
    const float dz = tan_theta * dx;
    int d, p;
    if (smax > 0.0f) {
        d = -1;  // rising toward imax: the anchor is imax, material moves down the line
        p = imax;
    } else {
        d = +1;
        p = imax - 1;
    }
    const float zp = zl(p);
    int e = p;
    float sum = 0.0f;
    for (;;) {
        e += d;
        sum += zl(e);
        const int m = std::abs(e - p);
        const float fm = static_cast<float>(m);
        // Anchor value that keeps the sum over p..e with a uniform fall dz.
        tmp[static_cast<std::size_t>(p)] = zp + (sum - fm * zp) / (fm + 1.0f) + 0.5f * fm * dz;
        for (int k = 1; k <= m; ++k)
            tmp[static_cast<std::size_t>(p + k * d)] =
                tmp[static_cast<std::size_t>(p)] - static_cast<float>(k) * dz;
        const int next = e + d;
        if (next < low || next > n) break;
        const float end = tmp[static_cast<std::size_t>(e)];
        const bool steep =
            d < 0 ? (end - zl(next)) / dx > tan_theta : (zl(next) - end) / dx < -tan_theta;
        if (!steep) break;
    }
    for (int i = std::min(p, e); i <= std::max(p, e); ++i) zl(i) = tmp[static_cast<std::size_t>(i)];
    return e;
}

LineSlopes line_slopes(const float* z, int n, float dx) {
    LineSlopes s;
    float sum = 0.0f;
    int count = 0;
    for (int i = 2; i <= n; ++i) {
        const float slope = (z[i - 1] - z[i - 2]) / dx;
        if (i == 2 || std::fabs(slope) > std::fabs(s.smax)) {
            s.smax = slope;
            s.imax = i;
        }
        if (std::fabs(slope) > 0.0f) {
            sum += std::fabs(slope);
            ++count;
        }
    }
    s.mean = count > 0 ? sum / static_cast<float>(count) : 0.0f;
    return s;
}

CurrentRegime current_regime(const Fields& f) {
    auto held = [](int i, int n) { return i < 1 ? 1 : (i > n ? n : i); };
    const int lo_i = held(4, f.nx), hi_i = held(f.nx - 4, f.nx);
    const int lo_j = held(4, f.ny), hi_j = held(f.ny - 4, f.ny);
    CurrentRegime r;
    r.ub = (std::fabs(f.u(lo_i, lo_j)) + std::fabs(f.u(hi_i, lo_j)) + std::fabs(f.u(lo_i, hi_j)) +
            std::fabs(f.u(hi_i, hi_j))) /
           4.0f;
    r.vb = (std::fabs(f.v(lo_i, lo_j)) + std::fabs(f.v(hi_i, lo_j)) + std::fabs(f.v(lo_i, hi_j)) +
            std::fabs(f.v(hi_i, hi_j))) /
           4.0f;
    return r;
}

SlopeAngles slope_angles(float a1, float a2, float along, float across, bool calm, float mean,
                         float smax, float wave_ratio, float speed, float theta_prev) {
    SlopeAngles s;
    s.phi = a1;
    if (calm || mean == 0.0f || across == along) {
        s.theta = a2;
    } else if (across > along) {
        s.theta = a2 > mean ? a2 - (a2 - mean) * (1.0f - along / across) : a2;
    } else {
        if (a1 < smax && (wave_ratio >= 0.2f || speed >= 1.0f))
            s.phi = a1 - 0.75f * (a1 - theta_prev);
        s.theta = a2 + (s.phi - a2) * (1.0f - across / along);
    }
    return s;
}

}  // namespace dredge
