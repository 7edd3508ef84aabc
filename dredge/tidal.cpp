// TIDAL.DAT and the harmonic tide and tidal current.
#include "suitefiles/tidal.hpp"

#include <cmath>

#include "dredge/driver.hpp"
#include "dredge/errors.hpp"
#include "suitefiles/geometry.hpp"

namespace dredge {

TideTable read_tidal(const std::string& path) {
    suitefiles::TidalReader in;
    if (!in.open(path)) throw RunError("COULD NOT OPEN " + path);
    std::vector<std::string> skipped;
    if (!in.title(skipped)) throw RunError(path + " ENDS IN ITS HEADER");
    TideTable t;
    suitefiles::TidalLevels levels;
    in.levels(levels);
    const std::int32_t ncon = levels.ncon;
    t.mean = levels.mean, t.u0 = levels.u0, t.v0 = levels.v0;
    if (ncon < 0 || ncon > suitefiles::MAX_CONSTITUENTS)
        throw RunError(path + ": THE NUMBER OF CONSTITUENTS MUST BE 0 TO 20, NOT " +
                       std::to_string(ncon));
    const long header = in.record_number();
    const float head[] = {t.mean, t.u0, t.v0};
    const char* head_names[] = {"MEAN LEVEL", "MEAN U CURRENT", "MEAN V CURRENT"};
    for (int k = 0; k < 3; ++k)
        if (!fits_field(head[k], 10, 2))
            throw RunError(beyond_field(path, header, k + 2, head_names[k], head[k], 10, 2));
    float reach = std::fabs(t.mean);  // the highest the tide can rise (m)
    t.mean *= 3.28f;
    t.u0 *= 0.0328f;
    t.v0 *= 0.0328f;
    if (!in.heading(skipped)) throw RunError(path + " ENDS BEFORE ITS CONSTITUENTS");
    for (std::int32_t c = 0; c < ncon; ++c) {
        suitefiles::TidalConstituent k;
        in.constituent(k);
        const long record = in.record_number();
        if (!fits_field(k.speed, 10, 6))
            throw RunError(beyond_field(path, record, 1, "CONSTITUENT SPEED", k.speed, 10, 6));
        const float values[] = {k.amplitude, k.phase,       k.u_amplitude,
                                k.u_phase,   k.v_amplitude, k.v_phase};
        const char* names[] = {"AMPLITUDE", "PHASE",       "U AMPLITUDE",
                               "U PHASE",   "V AMPLITUDE", "V PHASE"};
        for (int v = 0; v < 6; ++v)
            if (!fits_field(values[v], 10, 2))
                throw RunError(beyond_field(path, record, v + 2, names[v], values[v], 10, 2));
        reach += std::fabs(k.amplitude);
        t.speed.push_back(k.speed);
        t.amplitude.push_back(k.amplitude * 3.28f);
        t.phase.push_back(k.phase);
        t.u_amplitude.push_back(k.u_amplitude * 0.0328f);
        t.u_phase.push_back(k.u_phase);
        t.v_amplitude.push_back(k.v_amplitude * 0.0328f);
        t.v_phase.push_back(k.v_phase);
    }
    // The tide is added to every depth and taken off again each step: a
    // tide of more than the deepest depth a grid file holds would wipe out
    // the depths' decimals.
    if (!(reach * 3.28f < 1.0e5f))
        throw RunError(path + ": THE MEAN LEVEL AND THE AMPLITUDES ADD UP TO A TIDE OF " +
                       number_text(reach) + " M; AT MOST " + number_text(1.0e5f / 3.28f) +
                       " M (100000 FT) IS ALLOWED");
    return t;
}

TideState tide_at(const TideTable& table, float t) {
    const float w = suitefiles::SLOPE_DEG_TO_RAD;
    TideState s{table.mean, table.u0, table.v0};
    for (std::size_t c = 0; c < table.speed.size(); ++c) {
        s.tide += table.amplitude[c] * std::cos((table.speed[c] * t - table.phase[c]) * w);
        s.u += table.u_amplitude[c] * std::cos((table.speed[c] * t - table.u_phase[c]) * w);
        s.v += table.v_amplitude[c] * std::cos((table.speed[c] * t - table.v_phase[c]) * w);
    }
    return s;
}

float tidal_direction(float u, float v, float previous) {
    const float degrees = 180.0f / suitefiles::TIDAL_PI;
    if (u >= 0.0f && v > 0.0f) return std::atan(u / v) * degrees;
    if (u > 0.0f && v <= 0.0f) return std::fabs(std::atan(v / u)) * degrees + 90.0f;
    if (u <= 0.0f && v < 0.0f) return std::fabs(std::atan(u / v)) * degrees + 180.0f;
    if (u < 0.0f && v >= 0.0f) return std::fabs(std::atan(v / u)) * degrees + 270.0f;
    return previous;  // no current: the last direction stays
}

}  // namespace dredge
