// Wave quantities at one cell, shared by ACKWHT and COHESIVE.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "dredge/hydro.hpp"
#include "dredge/transport.hpp"

namespace dredge {

CellWave cell_wave(float h0, float t, float h, float pi) {
    const float g = 32.2f;
    const float ks = 0.1969f;  // bed roughness (ft)
    const float two_pi = 2.0f * pi;
    const WaveLength w = wavelength(t, h, g * t * t / two_pi, two_pi);
    CellWave c;
    c.converged = w.converged;
    c.k = two_pi / w.length;
    c.kh = c.k * h;
    c.hl = std::min(shoaling_coefficient(c.kh) * h0, 0.78f * h);
    c.ub = g * c.k * t * c.hl / (4.0f * pi * std::cosh(c.kh));
    c.ab = c.hl / (2.0f * std::sinh(c.kh));
    if (c.ab < 0.0001f) {
        c.fw = 0.5f;
    } else {
        const float r = c.ab / ks;
        c.fw = r <= 70.0f ? 0.22864f * std::pow(r, -0.52148f) : 0.02f;
    }
    c.fw = std::min(c.fw, 0.5f);
    return c;
}

const CellWave& CellWaves::at(float h) {
    std::uint32_t key;
    std::memcpy(&key, &h, sizeof key);
    auto found = known_.find(key);
    if (found == known_.end()) found = known_.emplace(key, cell_wave(h0_, t_, h, pi_)).first;
    return found->second;
}

float stirring_factor(float h, float uc, const CellWave& w) {
    const float g = 32.2f;
    const float ks = 0.1969f;
    const float cgrain = 18.0f * std::log10(12.0f * h / ks);
    const float xi = cgrain * std::sqrt(w.fw / (2.0f * g));
    const float r = xi * w.ub / uc;
    return std::sqrt(1.0f + 0.5f * (r * r));
}

}  // namespace dredge
