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
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = static_cast<std::size_t>((key * 0x9E3779B1u) >> 7) & mask;
    while (slots_[s] != 0 && keys_[s] != key) s = (s + 1) & mask;
    return s;
}

void CellWaves::grow(std::size_t capacity) {
    std::vector<std::uint32_t> keys(capacity), slots(capacity, 0);
    keys.swap(keys_);
    slots.swap(slots_);
    for (std::size_t s = 0; s < slots.size(); ++s) {
        if (slots[s] == 0) continue;
        const std::size_t to = slot_of(keys[s]);
        keys_[to] = keys[s];
        slots_[to] = slots[s];
    }
}

void CellWaves::make_room(std::size_t more) {
    std::size_t capacity = slots_.size();
    while (2 * (values_.size() + more) > capacity) capacity *= 2;
    if (capacity != slots_.size()) grow(capacity);
}

void CellWaves::add(std::size_t slot, std::uint32_t key) {
    keys_[slot] = key;
    values_.emplace_back();
    slots_[slot] = static_cast<std::uint32_t>(values_.size());
}

const CellWave& CellWaves::at(float h) {
    const std::uint32_t key = key_of(h);
    std::size_t s = slot_of(key);
    if (slots_[s] == 0) {
        make_room(1);
        s = slot_of(key);
        add(s, key);
        values_.back() = cell_wave(h0_, t_, h, pi_);
    }
    return values_[slots_[s] - 1];
}

void CellWaves::prepare(const std::vector<float>& depths) {
    make_room(depths.size());
    values_.reserve(values_.size() + depths.size());
    const std::size_t first_new = values_.size();
    std::vector<float> todo;
    todo.reserve(depths.size());
    for (float h : depths) {
        const std::uint32_t key = key_of(h);
        const std::size_t s = slot_of(key);
        if (slots_[s] != 0) continue;
        add(s, key);
        todo.push_back(h);
    }
    WaveLength w[kWavelengthBatch];
    const float l0 = deep_water_length(t_, pi_), two_pi = 2.0f * pi_;
    for (std::size_t first = 0; first < todo.size(); first += kWavelengthBatch) {
        const int count =
            static_cast<int>(std::min<std::size_t>(kWavelengthBatch, todo.size() - first));
        wavelengths(t_, todo.data() + first, count, l0, two_pi, w);
        for (int k = 0; k < count; ++k) {
            const std::size_t at = first + static_cast<std::size_t>(k);
            values_[first_new + at] = cell_wave_of(h0_, t_, todo[at], pi_, w[k]);
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
