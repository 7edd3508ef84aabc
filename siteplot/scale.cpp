#include "siteplot/scale.hpp"

#include <algorithm>
#include <cmath>

#include "results/errors.hpp"

namespace siteplot {
namespace {

struct Stop {
    double at;
    RGB c;
};

// Colour ramps, sampled at evenly spaced stops.
const std::vector<Stop>& ramp(ScaleKind k) {
    static const std::vector<Stop> depth = {
        {0.000, {255, 255, 217}}, {0.125, {237, 248, 177}}, {0.250, {199, 233, 180}},
        {0.375, {127, 205, 187}}, {0.500, {65, 182, 196}},  {0.625, {29, 145, 192}},
        {0.750, {34, 94, 168}},   {0.875, {37, 52, 148}},   {1.000, {8, 29, 88}}};
    static const std::vector<Stop> difference = {{0.000, {5, 48, 97}},     {0.167, {33, 102, 172}},
                                                 {0.333, {146, 197, 222}}, {0.500, {247, 247, 247}},
                                                 {0.667, {223, 194, 125}}, {0.833, {166, 97, 26}},
                                                 {1.000, {84, 48, 5}}};
    static const std::vector<Stop> thickness = {
        {0.000, {255, 255, 229}}, {0.125, {255, 247, 188}}, {0.250, {254, 227, 145}},
        {0.375, {254, 196, 79}},  {0.500, {254, 153, 41}},  {0.625, {236, 112, 20}},
        {0.750, {204, 76, 2}},    {0.875, {153, 52, 4}},    {1.000, {102, 37, 6}}};
    switch (k) {
        case ScaleKind::Depth:
            return depth;
        case ScaleKind::Difference:
            return difference;
        default:
            return thickness;
    }
}

RGB sample(const std::vector<Stop>& r, double t) {
    t = std::clamp(t, 0.0, 1.0);
    std::size_t i = 1;
    while (i + 1 < r.size() && r[i].at < t) ++i;
    const Stop& a = r[i - 1];
    const Stop& b = r[i];
    const double u = (t - a.at) / (b.at - a.at);
    auto mix = [u](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + u * (y - x)));
    };
    return {mix(a.c.r, b.c.r), mix(a.c.g, b.c.g), mix(a.c.b, b.c.b)};
}

}  // namespace

double nice_step(double span, int target) {
    if (!(span > 0) || !std::isfinite(span)) return 1.0;
    const double raw = span / target;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (m * p >= raw * 0.999) return m * p;
    return 10.0 * p;
}

Scale make_scale(ScaleKind kind, double lo, double hi, double contour_step) {
    Scale s;
    s.kind = kind;
    if (kind == ScaleKind::Difference) {
        // Symmetric about zero so that white always means no change.
        const double m = std::max(std::fabs(lo), std::fabs(hi));
        lo = -m;
        hi = m;
    }
    if (kind == ScaleKind::Thickness) lo = std::min(lo, 0.0);
    double step = contour_step > 0 ? contour_step : nice_step(hi - lo, 10);
    if (!(hi > lo)) {
        // A flat surface: one contour interval about its value.
        const double c = lo;
        step = contour_step > 0 ? contour_step : (c == 0 ? 0.1 : nice_step(std::fabs(c), 10));
        lo = c - step;
        hi = c + step;
        if (kind == ScaleKind::Thickness && c == 0) lo = 0;
    }
    double first = std::floor(lo / step + 1e-9) * step;
    double last = std::ceil(hi / step - 1e-9) * step;
    if (kind == ScaleKind::Difference) {
        const double m = std::max(std::fabs(first), std::fabs(last));
        first = -m;
        last = m;
    }
    const double count = (last - first) / step;
    if (!(count <= 2000))
        throw results::InputError("THE CONTOUR INTERVAL IS TOO SMALL FOR THE RANGE OF VALUES");
    int intervals = static_cast<int>(std::lround(count));
    if (intervals < 1) intervals = 1;
    // Too many contours for a readable picture: keep the shading fine, the
    // contours at most 40.
    int contour_every = 1;
    while (intervals / contour_every > 40) ++contour_every;
    const int sub = std::max(1, 48 / intervals);
    // A difference scale has an odd number of bands, so that its middle band
    // holds zero and shows white.
    const int nb = intervals * sub + (kind == ScaleKind::Difference ? 1 : 0);
    for (int k = 0; k <= nb; ++k) s.edges.push_back(first + (last - first) * k / nb);
    for (int k = 0; k <= intervals; k += contour_every) s.contours.push_back(first + step * k);
    s.step = step * contour_every;
    const std::vector<Stop>& r = ramp(kind);
    for (int k = 0; k < nb; ++k)
        s.colours.push_back(sample(r, nb == 1 ? 0.5 : static_cast<double>(k) / (nb - 1)));
    return s;
}

int band_of(const Scale& s, double v) {
    const int nb = s.bands();
    for (int k = 0; k < nb; ++k)
        if (v < s.edges[static_cast<std::size_t>(k) + 1]) return k;
    return nb - 1;
}

RGB colour_of(const Scale& s, double v) {
    return s.colours[static_cast<std::size_t>(band_of(s, v))];
}

int decimals_for(double step) {
    int d = 0;
    double m = std::fabs(step);
    while (d < 8 && std::fabs(m - std::round(m)) > 1e-6 * std::max(m, 1.0)) {
        m *= 10;
        ++d;
    }
    return d;
}

}  // namespace siteplot
