// Conversions of model reals to whole numbers that stay defined whatever
// the real holds (a huge value from a damaged input, infinity, NaN).
#pragma once

#include <cstdint>
#include <limits>

namespace dredge {

// The integer part of v (truncation toward zero), held to lo..hi; NaN
// gives lo. Equal to static_cast<int>(v) whenever that lies within lo..hi.
inline int held_trunc(float v, int lo, int hi) {
    const double x = static_cast<double>(v);
    if (!(x >= static_cast<double>(lo))) return lo;
    if (!(x <= static_cast<double>(hi))) return hi;
    return static_cast<int>(x);
}

// The integer part of v as a 64-bit integer, held to the range of the type
// (NaN gives 0).
inline std::int64_t saturated_int64(float v) {
    constexpr float limit = 9.2e18f;  // below 2^63
    if (v != v) return 0;
    if (v >= limit) return std::numeric_limits<std::int64_t>::max();
    if (v <= -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(v);
}

}  // namespace dredge
