// The commands of siteplot: each reads the suite's files, builds a picture
// and writes it.
#pragma once

#include <iosfwd>

namespace siteplot {

// Runs one command line (argv[1] is the command). Messages go to out;
// returns the exit status: 0 done, 1 an input fault, 2 a usage fault.
int run(int argc, const char* const* argv, std::ostream& out);

}  // namespace siteplot
