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

// Whether a real read from an Fw.d field lies within what that field can
// hold written without an exponent (w - d - 1 digits before the point, one
// fewer for a negative value). A value beyond it ("1E30" read through the
// field) is no value a writer of the file made.
inline bool fits_field(float v, int w, int d) {
    float top = 1.0f;
    for (int k = 0; k < w - d - 1; ++k) top *= 10.0f;
    return v < top && v > -top / 10.0f;
}

// "RECORD r, FIELD k: THE <what> <v> DOES NOT FIT ITS FIELD (Fw.d)" for a
// file's value beyond fits_field.
inline std::string beyond_field(const std::string& file, long record, int field,
                                const std::string& what, float v, int w, int d) {
    return file + " RECORD " + std::to_string(record) + ", FIELD " + std::to_string(field) +
           ": THE " + what + " " + number_text(v) + " DOES NOT FIT ITS FIELD (F" +
           std::to_string(w) + "." + std::to_string(d) + ")";
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
