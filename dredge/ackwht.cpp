// ACKWHT: Ackers-White total load with wave stirring.
#include <algorithm>
#include <cmath>

#include "dredge/hydro.hpp"
#include "dredge/transport.hpp"
#include "recio/console.hpp"

namespace dredge {

AckersWhite ackers_white_constants(float d50_mm) {
    AckersWhite aw;
    aw.d = d50_mm * 0.00328084f;
    // (g (s - 1) / nu^2)^(1/3) with s = 2.6 and nu = 1.0e-5 ft2/s.
    aw.dgr = aw.d * std::pow(5.152e11f, 0.33333f);
    if (aw.dgr > 60.0f) {
        aw.n = 0.0f;
        aw.a = 0.17f;
        aw.m = 1.5f;
        aw.c = 0.025f;
    } else {
        const float lg = std::log10(aw.dgr);
        aw.n = 1.0f - 0.56f * lg;
        aw.a = 0.23f / std::sqrt(aw.dgr) + 0.14f;
        aw.m = 9.66f / aw.dgr + 1.34f;
        aw.c = std::pow(10.0f, (2.86f - lg) * lg - 3.53f);
    }
    return aw;
}

void ACKWHT(Fields& f, float h0, float& t, float d50, float n, float p) {
    const float g = 32.2f;
    const float s = 2.6f;  // specific gravity of the grains
    if (t < 1.0f) t = 1.0f;
    const AckersWhite aw = ackers_white_constants(d50);
    const float d = aw.d;
    const float grain_scale = std::sqrt(g * d * (s - 1.0f));
    CellWaves waves(h0, t, 3.14159f);
    for (int j = 1; j <= f.ny; ++j) {
        for (int i = 1; i <= f.nx; ++i) {
            const float h = f.depth(i, j);
            if (std::fabs(h) <= 0.1f) continue;
            const CellWave& w = waves.at(h);
            if (!w.converged) recio::console_list("WAVENUMBER COMPUTATION DID NOT CONVERGE!!");
            const float u = f.u(i, j), v = f.v(i, j);
            const float uc = std::sqrt(u * u + v * v);
            if (uc <= 1.0e-5f) continue;
            const float cc = chezy(h, n);
            const float ustar = std::sqrt(g) * uc / cc;
            const float b = stirring_factor(h, uc, w);
            float fgr =
                std::pow(ustar, aw.n) *
                std::pow(b * uc / (std::sqrt(32.0f) * std::log10(10.0f * h / d)), 1.0f - aw.n) /
                grain_scale;
            fgr = std::min(fgr, 1.2f);
            const float y = std::max(fgr / aw.a - 1.0f, 0.0f);
            const float ggr = aw.c * std::pow(y, aw.m);
            const float q = s / (1.0f - p) * ggr * d * uc * b * std::pow(b * uc / ustar, aw.n);
            f.qx(i, j) = q * u / uc;
            f.qy(i, j) = q * v / uc;
        }
    }
}

}  // namespace dredge
