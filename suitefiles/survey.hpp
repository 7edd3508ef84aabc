// A survey file: free-format records (blank- or comma-separated) of three
// numbers each, a northing (or latitude), an easting (or longitude) and a
// depth (feet), in the column order the control file names.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "recio/records.hpp"

namespace suitefiles {

enum class Quantity : std::int8_t { Northing, Easting, Depth, Unknown };

// The quantity a column name stands for, from its first two characters:
// "N " or "LA" northing (latitude), "E " or "LO" easting (longitude),
// "D " or "DE" depth. So "N", "LAT", "E", "LONG", "D", "DEPTH" are known and
// "NORTH", "EAST" are not.
Quantity column_quantity(std::string_view name);

// The order of the three columns: order[c] is the quantity held in column c.
// False unless the three names give northing, easting and depth once each.
bool column_order(const std::array<std::string, 3>& names, std::array<Quantity, 3>& order);

// A survey as a control file names it (SITEGEN.INI, MODIFY.INI).
struct SurveySpec {
    std::string file;                    // file name (trailing blanks are dropped)
    std::int32_t spacing = 0;            // survey point spacing, feet
    std::array<std::string, 3> columns;  // column names, in file order
};

// One survey point, its depth as the file states it (the sign kept).
struct SurveyPoint {
    float east = 0, north = 0, depth = 0;
};

// The next point of `in` in the column order `order`; false at the end of
// the file. A value that cannot be read, or one left out (a slash or a null
// value), throws recio::RecordError.
bool read_survey_point(recio::RecordReader& in, const std::array<Quantity, 3>& order,
                       SurveyPoint& p);

// Reads a whole survey; false when it cannot be opened.
bool read_survey(const std::string& path, const std::array<Quantity, 3>& order,
                 std::vector<SurveyPoint>& points);

// The records of a survey, each point's three values in the column order
// `order` through the record layout `format`, e.g. "(3F8.1)"; and the file
// written from them.
std::vector<std::string> survey_records(const std::vector<SurveyPoint>& points,
                                        const std::array<Quantity, 3>& order,
                                        std::string_view format);
bool write_survey(const std::string& path, const std::vector<SurveyPoint>& points,
                  const std::array<Quantity, 3>& order, std::string_view format);

}  // namespace suitefiles
