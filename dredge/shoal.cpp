// SHOAL and the linear-wave wavelength iteration it shares with the
// transport routines.
#include <cmath>

#include "dredge/hydro.hpp"
#include "recio/console.hpp"

namespace dredge {

void wavelengths(float t, const float* d, int count, float l0, float two_pi, WaveLength* out) {
    // First guess: the mean of the deep-water length 5.12 T^2 and the
    // shallow-water length T sqrt(g d).
    float l[kWavelengthBatch];
    bool open[kWavelengthBatch];
    for (int k = 0; k < count; ++k) {
        l[k] = 0.5f * t * (5.12f * t + std::sqrt(32.2f * d[k]));
        out[k] = WaveLength{};
        open[k] = true;
    }
    int left = count;
    for (int pass = 1; pass <= 100 && left > 0; ++pass) {
        // The depths' iterations are independent: one pass of each in turn.
        for (int k = 0; k < count; ++k) {
            if (!open[k]) continue;
            WaveLength& w = out[k];
            w.length = l0 * std::tanh(two_pi * d[k] / l[k]);
            w.passes = pass;
            if (std::fabs(w.length - l[k]) < 0.001f) {
                w.converged = true;
                open[k] = false;
                --left;
            } else {
                l[k] = (w.length + l[k]) / 2.0f;
            }
        }
    }
}

WaveLength wavelength(float t, float d, float l0, float two_pi) {
    WaveLength w;
    wavelengths(t, &d, 1, l0, two_pi, &w);
    return w;
}

float shoaling_coefficient(float kh) {
    return std::sqrt(1.0f / (std::tanh(kh) * (1.0f + 2.0f * kh / std::sinh(2.0f * kh))));
}

WaveLength SHOAL(float h, float t, float d, float& h0) {
    const float l0 = 5.1247935f * t * t;  // deep-water wavelength g T^2 / 2 pi
    WaveLength w = wavelength(t, d, l0, 6.28318f);
    if (!w.converged) recio::console_list("WAVENUMBER COMPUTATION DID NOT CONVERGE!!");
    const float k = 2.0f * 3.14159f / w.length;
    const float kh = k * d;
    h0 = h / shoaling_coefficient(kh);
    return w;
}

float chezy(float d, float n) {
    return 1.486f * std::pow(d, 0.1666667f) / n;
}

}  // namespace dredge
