// Errors that end a run of the long-term mound model.
#pragma once

#include <stdexcept>
#include <string>

namespace dredge {

// A run that cannot go on: an input file that is missing, short or holds a
// value the model cannot work with, or a field that became undefined. The
// message names the file, the value or the step and is shown on the console
// as it stands.
class RunError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace dredge
