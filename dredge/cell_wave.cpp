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

namespace {

std::uint32_t key_of(float h) {
    std::uint32_t k;
    std::memcpy(&k, &h, sizeof k);
    return k;
}

}  // namespace

std::size_t CellWaves::slot_of(std::uint32_t key) const {
    const std::size_t mask = keys_.size() - 1;
    std::size_t s = static_cast<std::size_t>((key * 0x9E3779B1u) >> 7) & mask;
    while (used_[s] && keys_[s] != key) s = (s + 1) & mask;
    return s;
}

void CellWaves::grow(std::size_t capacity) {
    std::vector<std::uint32_t> keys(capacity);
    std::vector<unsigned char> used(capacity, 0);
    std::vector<CellWave> values(capacity);
    keys.swap(keys_);
    used.swap(used_);
    values.swap(values_);
    for (std::size_t s = 0; s < keys.size(); ++s) {
        if (!used[s]) continue;
        const std::size_t to = slot_of(keys[s]);
        keys_[to] = keys[s];
        used_[to] = 1;
        values_[to] = values[s];
    }
}

void CellWaves::make_room(std::size_t more) {
    std::size_t capacity = keys_.size();
    while (2 * (count_ + more) > capacity) capacity *= 2;
    if (capacity != keys_.size()) grow(capacity);
}

const CellWave& CellWaves::at(float h) {
    const std::uint32_t key = key_of(h);
    std::size_t s = slot_of(key);
    if (!used_[s]) {
        make_room(1);
        s = slot_of(key);
        keys_[s] = key;
        used_[s] = 1;
        values_[s] = cell_wave(h0_, t_, h, pi_);
        ++count_;
    }
    return values_[s];
}

void CellWaves::prepare(const std::vector<float>& depths) {
    make_room(depths.size());
    std::vector<float> todo;
    std::vector<std::size_t> slots;
    todo.reserve(depths.size());
    slots.reserve(depths.size());
    for (float h : depths) {
        const std::uint32_t key = key_of(h);
        const std::size_t s = slot_of(key);
        if (used_[s]) continue;
        keys_[s] = key;
        used_[s] = 1;
        ++count_;
        todo.push_back(h);
        slots.push_back(s);
    }
    WaveLength w[kWavelengthBatch];
    const float l0 = deep_water_length(t_, pi_), two_pi = 2.0f * pi_;
    for (std::size_t first = 0; first < todo.size(); first += kWavelengthBatch) {
        const int count =
            static_cast<int>(std::min<std::size_t>(kWavelengthBatch, todo.size() - first));
        wavelengths(t_, todo.data() + first, count, l0, two_pi, w);
        for (int k = 0; k < count; ++k) {
            const std::size_t at = first + static_cast<std::size_t>(k);
            values_[slots[at]] = cell_wave_of(h0_, t_, todo[at], pi_, w[k]);
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
