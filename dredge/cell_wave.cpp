// Wave quantities at one cell, shared by ACKWHT and COHESIVE.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "dredge/hydro.hpp"
#include "dredge/transport.hpp"

namespace dredge {

namespace {

// The cell's quantities once its wavelength is known.
CellWave cell_wave_of(float h0, float t, float h, float pi, const WaveLength& w) {
    const float g = 32.2f;
    const float ks = 0.1969f;  // bed roughness (ft)
    const float two_pi = 2.0f * pi;
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

float deep_water_length(float t, float pi) {
    return 32.2f * t * t / (2.0f * pi);
}

}  // namespace

CellWave cell_wave(float h0, float t, float h, float pi) {
    const WaveLength w = wavelength(t, h, deep_water_length(t, pi), 2.0f * pi);
    return cell_wave_of(h0, t, h, pi, w);
}

std::uint32_t CellWaves::key(float h) {
    std::uint32_t k;
    std::memcpy(&k, &h, sizeof k);
    return k;
}

const CellWave& CellWaves::at(float h) {
    auto found = known_.find(key(h));
    if (found == known_.end()) found = known_.emplace(key(h), cell_wave(h0_, t_, h, pi_)).first;
    return found->second;
}

void CellWaves::prepare(const std::vector<float>& depths) {
    known_.reserve(known_.size() + depths.size());
    std::vector<float> todo;
    todo.reserve(depths.size());
    for (float h : depths)
        if (known_.emplace(key(h), CellWave{}).second) todo.push_back(h);
    WaveLength w[kWavelengthBatch];
    const float l0 = deep_water_length(t_, pi_), two_pi = 2.0f * pi_;
    for (std::size_t first = 0; first < todo.size(); first += kWavelengthBatch) {
        const int count =
            static_cast<int>(std::min<std::size_t>(kWavelengthBatch, todo.size() - first));
        wavelengths(t_, todo.data() + first, count, l0, two_pi, w);
        for (int k = 0; k < count; ++k) {
            const float h = todo[first + static_cast<std::size_t>(k)];
            known_[key(h)] = cell_wave_of(h0_, t_, h, pi_, w[k]);
        }
    }
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
