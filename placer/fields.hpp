// Values and the fixed-width fields they travel in.
//
// Everything placer hands on goes through fixed-width fields: the site
// depths into the grid files (F8.3), the load's values into the fate-model
// deck CLDX.DUE, the long-term values into PCD.INI. A value its field cannot
// hold would be written as asterisks (or as "NaN", "Infinity") and lost to
// the program that reads it: a grid file that no program can read again, a
// deck the fate model cannot take. The same holds for values read: a depth
// of 1E30 in an F8.3 field of a file is no depth its writer can have written.
// These checks find such values before anything is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "placer/control.hpp"
#include "placer/kernels.hpp"
#include "placer/schedule.hpp"
#include "placer/setup.hpp"

namespace placer {

// The format of a site depth in the grid files.
constexpr std::string_view DEPTH_FIELD = "(F8.3)";

// True when `value`, written under the one-field format `format` (such as
// "(F8.3)" or "(I5)"), keeps its value: finite, and not asterisks.
bool fits(float value, std::string_view format);
bool fits(std::int32_t value, std::string_view format);

// A value as messages show it: "1E+30", "1000000", "0.25".
std::string value_text(float value);

// "<place>: <what> <value> LIES BEYOND ITS FIELD (<format>)", for a value read.
std::string beyond_field(const std::string& place, const std::string& what, float value,
                         std::string_view format);

// The place of field `field` of record `record` of a file: "FILE RECORD r, FIELD f".
std::string field_place(const std::string& file, long record, long field);

// The first of the n depths that lies beyond the grid files' F8.3 field, as
// a message naming the file, the record and field it was read from (26 depths
// a record from `first_record` on) and the point; empty when all fit.
std::string depth_problem(const std::string& file, long first_record,
                          const std::vector<float>& depth, std::int32_t n);

// What the run hands on, known at start-up: the values of DUMP.INI (and of
// the site grid file `grid_file`, its rotation and long-term datum) that
// travel into PCD.INI every week and, in a placement run, into the deck of
// every load. The first value that its field cannot hold, as a message
// naming where it comes from; empty when all fit.
std::string handover_problem(const DumpControl& c, const Material& m, const Vessel& v,
                             const Schedule& s, const std::string& grid_file, float rotation,
                             float datum);

}  // namespace placer
