// MAXANGX: slope limiting along the lines of constant J.
#include <cmath>
#include <vector>

#include "dredge/bed.hpp"

namespace dredge {

int MAXANGX(Fields& f, float a1, float a2, float h0, SlopeState& state) {
    const int nx = f.nx, ny = f.ny;
    // Elevations (positive up) for the pair MAXANGX / MAXANGY.
    for (float& z : f.depth.v) z = -z;
    const CurrentRegime regime = current_regime(f);
    const bool calm = regime.ub < 0.01f || regime.vb < 0.01f;
    std::vector<float> line(static_cast<std::size_t>(nx));
    int avalanches = 0;
    for (int j = 2; j <= ny; ++j) {
        for (int i = 1; i <= nx; ++i) line[static_cast<std::size_t>(i - 1)] = f.depth(i, j);
        const LineSlopes s = line_slopes(line.data(), nx, f.dx);
        const float u = f.u(s.imax, j), v = f.v(s.imax, j);
        const float speed = std::sqrt(u * u + v * v);
        const SlopeAngles a = slope_angles(a1, a2, regime.ub, regime.vb, calm, s.mean, s.smax,
                                           h0 / f.depth(s.imax, j), speed, state.theta_x);
        state.theta_x = a.theta;
        if (std::atan(std::fabs(s.smax)) > a.phi) {
            avalanche_line(line.data(), nx, s.smax, s.imax, std::tan(a.theta), f.dx, 2);
            for (int i = 1; i <= nx; ++i) f.depth(i, j) = line[static_cast<std::size_t>(i - 1)];
            ++avalanches;
        }
    }
    return avalanches;
}

}  // namespace dredge
