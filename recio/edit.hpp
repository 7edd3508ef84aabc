// Single edit descriptors: how one value becomes a field and back.
//
// Output follows what a standard Fortran runtime (gfortran) writes: values are
// rounded from their exact binary value (ties to even), right-justified, the
// optional leading zero is dropped when the field is one column short, and a
// value that does not fit fills the field with asterisks. The G descriptor
// chooses between F and E form with the runtime's own threshold arithmetic,
// done in the precision of the value (so a 32-bit real and a 64-bit real may
// choose differently at a boundary, exactly as the runtime does).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "recio/items.hpp"

namespace recio::edit {

// Iw.m: m is the minimum number of digits (-1 when absent).
std::string int_field(std::int64_t value, int w, int m = -1);
// Fw.d of a value given exactly as a double (a float widens exactly).
std::string fixed_field(double value, int w, int d);
// Ew.d or Ew.dEe (e = 0 when absent): 0.ddddE+xx form.
std::string exp_field(double value, int w, int d, int e = 0);
// Gw.d or Gw.dEe for 32-bit and 64-bit reals.
std::string general_field(float value, int w, int d, int e = 0);
std::string general_field(double value, int w, int d, int e = 0);
// Aw (w < 0: the text as it is): a short text is right-justified, a long one cut.
std::string text_field(std::string_view text, int w);

// List-directed output of one value, without the separator in front.
std::string list_value(const OutItem& item, std::size_t index);

enum class Parse { Ok, Bad, Range };

// Numeric input fields (F, E, G and D editing): blanks ignored, an all-blank
// field reads zero, a decimal point overrides the d implied decimals, an
// exponent may be written as E, D, or a bare sign (1.5-2).
Parse read_real(std::string_view field, int d, float& out);
Parse read_real(std::string_view field, int d, double& out);
// I editing: blanks ignored, an all-blank field reads zero.
Parse read_int(std::string_view field, std::int64_t& out);

// The range of an integer kind, for checking what was read.
bool fits(Kind kind, std::int64_t value);

}  // namespace recio::edit
