// MAXANGY: slope limiting along the lines of constant I.
#include <cmath>

#include "dredge/bed.hpp"

namespace dredge {

int MAXANGY(Fields& f, float a1, float a2, float h0, SlopeState& state) {
    const int nx = f.nx, ny = f.ny;
    // The depths hold elevations since MAXANGX.
    const CurrentRegime regime = current_regime(f);
    const bool calm = regime.ub == 0.0f || regime.vb == 0.0f;
    int avalanches = 0;
    for (int i = 2; i <= nx; ++i) {
        float* line = f.depth.line(i);
        // f.dx: the cells are square (DY = DX).
        const LineSlopes s = line_slopes(line, ny, f.dx);
        const float u = f.u(i, s.imax), v = f.v(i, s.imax);
        const float speed = std::sqrt(u * u + v * v);
        const SlopeAngles a = slope_angles(a1, a2, regime.vb, regime.ub, calm, s.mean, s.smax,
                                           h0 / line[s.imax - 1], speed, state.theta_y);
        state.theta_y = a.theta;
        if (std::atan(std::fabs(s.smax)) > a.phi) {
            avalanche_line(line, ny, s.smax, s.imax, std::tan(a.theta), f.dx, 2);
            ++avalanches;
        }
    }
    for (float& z : f.depth.v) z = -z;
    return avalanches;
}

}  // namespace dredge
