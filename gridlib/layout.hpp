// What the readers and writers of the site files share inside the library:
// the checks of a grid header and the numbers of the page portrayal and of
// the resampled lattice that the writers compute and the checks must know.
#pragma once

#include <cstdint>
#include <string>

#include "gridlib/sitegrid.hpp"

namespace gridlib::layout {

// Why no grid can have this header ("" if one can): point counts that do not
// match or exceed the storage, or an interval that is not positive. `name`
// is the file the header was read from, named in the message with its
// records; empty for a grid in memory.
std::string header_fault(const SiteGrid& g, const std::string& name);

// The resampled lattice: M1 nodes west-east, M2 south-north, and the node
// spacing SP in whole feet. Needs a header without a header_fault.
struct ResampledLattice {
    int m1 = 0, m2 = 0;
    float sp = 0.0f;
};
ResampledLattice resampled_lattice(const SiteGrid& g);

// How the depths are fitted to the page: turned by 90 degrees when the site
// is wider than it is long and more than 25 points wide; reduced 1:ratio.
struct PageShape {
    int rows = 0, cols = 0;  // before reduction: rows down the page, columns across it
    int ratio = 1;
    bool turned = false;
};
PageShape page_shape(const SiteGrid& g);

// The lineal scale of the portrayal (1 inch = ... feet): (extent div points)
// x 2 x ratio along the page's columns, wide enough to tell an overflow.
std::int64_t lineal_scale(const SiteGrid& g, const SiteSummary& s, const PageShape& page);

}  // namespace gridlib::layout
