// The ensemble program: its command line and course (see ensemble.hpp).
#pragma once

namespace ensemble {

// Runs the program; returns its exit status (0 all members done, 1 refused
// input or members that did not finish, 2 a usage error).
int run(int argc, char** argv);

}  // namespace ensemble
