// Errors that end a run of the long-term mound model.
#pragma once

#include <cstdio>
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

// A real for a message: six significant digits, exponent form for very
// large or small values (1.00000E+30 rather than thirty-one digits).
inline std::string number_text(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6G", static_cast<double>(v));
    return text;
}

// A message as the console can show it: a control character or a byte
// outside printable ASCII (quoted from an unreadable field of a damaged
// file) becomes '?', so that it cannot move the cursor or end the line.
inline std::string printable(std::string text) {
    for (char& ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        if (u < 0x20 || u > 0x7e) ch = '?';
    }
    return text;
}

}  // namespace dredge
