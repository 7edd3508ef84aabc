// Colour scales of the pictures: shading bands, contour levels and the
// colour of each band.
//
// A scale is a run of bands of equal width between two "nice" limits; every
// band has one colour, taken from a colour ramp at the band's place on the
// scale, so a value always shows in the colour of the band that holds it.
//   depth:      light yellow (shallow) through green-blue to navy (deep)
//   difference: blue (erosion) through white (no change) to brown (deposit),
//               limits symmetric about zero
//   thickness:  white (none) through yellow and orange to dark brown
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace siteplot {

struct RGB {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const RGB& o) const { return r == o.r && g == o.g && b == o.b; }
};

enum class ScaleKind { Depth, Difference, Thickness };

struct Scale {
    ScaleKind kind = ScaleKind::Depth;
    std::vector<double> edges;     // band edges, ascending (bands = edges - 1)
    std::vector<double> contours;  // contour levels, a subset of the edges
    std::vector<RGB> colours;      // one per band
    double step = 1;               // contour interval
    int bands() const { return static_cast<int>(colours.size()); }
};

// A round step (1, 2, 2.5 or 5 times a power of ten) near span / target.
double nice_step(double span, int target);

// The scale for values from lo to hi. contour_step 0 chooses one; a given
// range (range_lo < range_hi) replaces the data limits.
Scale make_scale(ScaleKind kind, double lo, double hi, double contour_step = 0);

// The band that holds v (values outside the scale take the end bands).
int band_of(const Scale& s, double v);
RGB colour_of(const Scale& s, double v);

// Number of decimals that show multiples of step exactly (at most 8).
int decimals_for(double step);

}  // namespace siteplot
