#include "cloudex/phase.hpp"

#include <cmath>

namespace cloudex {

namespace {

// Flocculation law of the settling velocity of cohesive material, for a
// concentration in mg/L above the free-settling range.
float flocculated_fall(float cm) {
    return 1.6e-7f * std::pow(cm, 4.0f / 3.0f) + 2.25e-5f;
}

}  // namespace

float cohesive_fall_collapse(float sg_gcc, float cf) {
    if (cf <= 9.6e-6f) return 3.4e-5f;
    if (cf <= 0.00115f) return flocculated_fall(sg_gcc * cf * 1.0e6f);
    return 0.0069f;
}

float cloud_fall_velocity(const Fraction& f, float mass, float vol) {
    if (f.kcohes != 1) return f.vfall;
    const float cm = vol > 0.0f ? f.sg_gcc * (mass / vol) * 1.0e6f : 0.0f;
    if (cm <= 25.0f) return 3.4e-5f;
    if (cm <= 3000.0f) return flocculated_fall(cm);
    return 0.0069f;
}

}  // namespace cloudex
