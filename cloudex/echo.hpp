// The echo of the input deck on the listing, block by block.
#pragma once

#include <string_view>

#include "cloudex/listing.hpp"
#include "cloudex/state.hpp"

namespace cloudex {

// A grid field in pages of 17 columns: per page a header line with the
// column numbers (format `header`, e.g. "(1X,'M N =',I2,17I7)"), then one
// line per row with the row number and the values (format `row`).
void print_pages17(Listing& out, const Grid& g, const Field& f, std::string_view header,
                   std::string_view row);

// Title lines, printer control characters and banner; the title and file.
void echo_header(Listing& out, const Controls& c, std::string_view base_name);
// Grid size.
void echo_area(Listing& out, const Grid& g);
// Execution-parameter heading (KEY1 = 0 or 1 only).
void echo_parameters(Listing& out, const Controls& c);
// Grid parameters, depth grid, coded grid with its legend and count.
void echo_grid(Listing& out, const Grid& g);
// Dump location and the grid point nearest to it.
void echo_dump(Listing& out, const Grid& g);
// Density profile, depth at the dump, velocity distribution and grids.
void echo_ambient(Listing& out, const Grid& g, const Ambient& a);
// Time parameters and the barge or hopper-dredge description (first layer).
void echo_times_vessel(Listing& out, const Controls& c, const Times& t, const Vessel& v);
// Heading of the coefficient block, then the fourteen echoed values.
void echo_coef_heading(Listing& out, const Controls& c);
void echo_coef_values(Listing& out, const Coefs& k);
// Material description heading of a layer and the fraction table heads.
void echo_material(Listing& out, const Controls& c, int layer);
// One fraction line with its critical shear stress and stripping note.
void echo_fraction(Listing& out, const Fraction& f);

}  // namespace cloudex
