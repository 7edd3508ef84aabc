#pragma once

#include <stdexcept>

namespace results {

// A fault of the input that ends the run: missing or unusable files, grids
// that do not belong together, bad options. The message is for the user.
class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace results
