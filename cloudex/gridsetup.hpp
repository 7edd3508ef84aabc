// Grid set-up: codes of the grid points, water-point runs, the dump point.
#pragma once

#include "cloudex/state.hpp"

namespace cloudex {

// Codes from the depth grid: X on the first and last rows and columns, L
// where the depth is 0, O on the other points of the second and second-last
// rows and columns, W elsewhere; counts the W points.
void assign_codes(Grid& g);

// Runs of consecutive non-land points along each column n = 2..NMAX-1 within
// rows 2..MMAX-1: the points that receive deposits. Stops the run when there
// are more than 150.
void build_runs(Grid& g);

// The grid point nearest the dump location: row = int(XBARGE/DX + 1.5),
// column = int(ZBARGE/DZ + 1.5).
void locate_dump(Grid& g);

// Interior land (code 4): land points of rows and columns 2..N-1 whose four
// neighbours were all land before this pass.
void mark_interior_land(Grid& g);

// Letter of a code in the coded grid and in the maps.
char code_letter(std::int16_t code);

}  // namespace cloudex
