// CTHETA: compass bearing of a vector.
#include <cmath>

#include "placer/schedule.hpp"
#include "suitefiles/geometry.hpp"

namespace placer {

float CTHETA(float u, float v) {
    constexpr float DEG_PER_RAD = suitefiles::CTHETA_DEG_PER_RAD;
    if (u == 0.0f && v == 0.0f) return 0.0f;
    if (u >= 0.0f && v > 0.0f) return std::atan(u / v) * DEG_PER_RAD;
    if (u > 0.0f && v <= 0.0f) return std::fabs(std::atan(v / u)) * DEG_PER_RAD + 90.0f;
    if (u <= 0.0f && v < 0.0f) return std::fabs(std::atan(u / v)) * DEG_PER_RAD + 180.0f;
    return std::fabs(std::atan(v / u)) * DEG_PER_RAD + 270.0f;
}

}  // namespace placer
