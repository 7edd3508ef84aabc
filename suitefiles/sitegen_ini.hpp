// SITEGEN.INI, the site grid generator's control file: its values, one
// reader, one writer, and the checks of the site they describe.
//
//   1  (A6)          site name
//   2  (A60)         title
//   3  (A19)         drive/directory prefix
//   4  (I2,F5.1)     coordinate system (1 plane feet, 2 geographic degrees),
//                    rotation (degrees, positive counterclockwise about the NW corner)
//   5  (4F13.4)      NW easting, northing in the site's system; NW easting,
//                    northing in the local plane frame (feet)
//   6  (4F13.4)      NE easting, northing, SW easting, northing
//   7  (4F13.4)      SE easting, northing
//   8  (5I7)         W-E extent, N-S extent (feet)
//   9  (4F13.4)      centre easting, northing
//   10 (5I7)         points W-E, points N-S, total points, interval (feet),
//                    survey interval (feet)
//   11 (5I7)         generation mode: 1 sloping plane, 2 survey file
//   12 (mode 1) (4F13.4)     depth at the NW corner (feet)
//   13 (mode 1) (4F13.4)     W-E slope, N-S slope (feet per foot)
//   12 (mode 2) (A32,3X,I5)  survey file name, survey point spacing (feet)
//   13 (mode 2) (3A8)        the three survey column names, in file order
//   14 (5I7)         depth sign option of the point file
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recio/records.hpp"
#include "suitefiles/field_fault.hpp"
#include "suitefiles/geometry.hpp"
#include "suitefiles/survey.hpp"

namespace suitefiles {

inline constexpr const char* SITEGEN_NAME = "(A6)";
inline constexpr const char* SITEGEN_TITLE = "(A60)";
inline constexpr const char* SITEGEN_PREFIX = "(A19)";
inline constexpr const char* SITEGEN_SYSTEM = "(I2,F5.1)";
inline constexpr const char* SITEGEN_REALS = "(4F13.4)";
inline constexpr const char* SITEGEN_INTEGERS = "(5I7)";
inline constexpr const char* SITEGEN_SURVEY_FILE = "(A32,3X,I5)";
inline constexpr const char* SITEGEN_SURVEY_COLUMNS = "(3A8)";

enum : std::int16_t { SITEGEN_PLANE = 1, SITEGEN_SURVEY = 2 };

struct SitegenIni {
    std::string site;    // A6
    std::string title;   // A60
    std::string prefix;  // A19
    std::int16_t coord_system = 1;
    float rotation = 0.0f;
    float site_nw_e = 0.0f, site_nw_n = 0.0f;    // in the site's coordinate system
    float local_nw_e = 0.0f, local_nw_n = 0.0f;  // in the local plane frame
    SiteCorners corners;                         // NW (= site NW), NE, SW, SE, centre
    std::int32_t we_extent = 0, ns_extent = 0;   // feet
    std::int16_t points_we = 0, points_ns = 0;
    std::int32_t total_points = 0;
    std::int16_t interval = 0, survey_interval = 0;
    std::int16_t mode = 0;
    float nw_depth = 0.0f;                   // sloping plane
    float slope_we = 0.0f, slope_ns = 0.0f;  // feet per foot
    SurveySpec survey;                       // survey file
    std::int16_t sign_option = 0;            // depths in the point file
    // A name that runs on past its field: the record and what it is.
    long too_long_record = 0;
    std::string too_long;
};

// Reads SITEGEN.INI record by record (a record with fewer values than its
// layout leaves the rest at 0; with a mode other than 1 or 2 the records
// after 11 are not read). Throws recio::RecordError for an unreadable field
// or an early end of the file.
SitegenIni read_sitegen_ini(recio::RecordReader& in);

// The records that hold `c`, in the layouts the reader takes them back with.
std::vector<std::string> sitegen_ini_records(const SitegenIni& c);
bool write_sitegen_ini(const std::string& path, const SitegenIni& c);

// The first value from which no site can be made ("" if there is none): a
// name longer than its field or one the name rules refuse, counts the grid
// file cannot hold, an unknown system or mode, extents that are not
// (points - 1) x interval, corners or a centre that do not lie where the
// NW corner, the rotation and the extents put them.
std::vector<FieldFault> sitegen_ini_faults(const SitegenIni& c);

// The corners and centre the NW corner, rotation, counts and interval give,
// in the site's coordinate system; and how far off (in the site's units)
// a given corner may be to count as the same.
SiteCorners expected_corners(const SitegenIni& c);
float corner_tolerance(const SitegenIni& c);

}  // namespace suitefiles
