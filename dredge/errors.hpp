// Errors that end a run of the long-term mound model.
#pragma once

#include <stdexcept>
#include <string>

namespace dredge {

// An input file that is missing, short or holds a value the model cannot
// work with. The message names the file or the value and is shown on the
// console as it stands.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace dredge
