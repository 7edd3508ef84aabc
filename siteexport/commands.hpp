// The commands of siteexport: site grids as GeoTIFF, the long-term grid
// series as NetCDF.
#pragma once

#include <iosfwd>

namespace siteexport {

// Runs one command line (argv[1] is the command). Messages go to out;
// returns the exit status: 0 done, 1 an input fault, 2 a usage fault.
int run(int argc, const char* const* argv, std::ostream& out);

}  // namespace siteexport
