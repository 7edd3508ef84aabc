// MODIFY.INI, the bathymetry modifier's control file: its values, one reader
// and one writer.
//
//   1  (A19)          drive/directory prefix
//   2  (A6)           existing site name
//   3  (A6)           new site name
//   4  (A60)          title for the resampled grid file
//   5  (3I5)          modification mode: 1 point edits, 2 survey file
//   6  (mode 1) (3I5)         number of edit points
//   7.. (mode 1) (3F12.4)     one record per edit: easting, northing (site
//                             system: feet, or degrees for a geographic site), depth (ft)
//   6  (mode 2) (A32,3X,I5)   survey file name, survey point spacing (ft)
//   7  (mode 2) (3A8)         the three survey column names, in file order
//   last (3I5)        depth sign option of the point file
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recio/records.hpp"
#include "suitefiles/survey.hpp"

namespace suitefiles {

enum : std::int8_t { MODIFY_EDITS = 1, MODIFY_SURVEY = 2 };

// Edit points one run can hold.
constexpr std::int32_t MAX_EDITS = 10000;

// One edit: a position in the site's coordinate system and the new depth.
struct EditPoint {
    float e = 0.0f, n = 0.0f, depth = 0.0f;
};

struct ModifyIni {
    std::string prefix;    // A19
    std::string old_site;  // A6
    std::string new_site;  // A6
    std::string title;     // A60
    std::int8_t mode = 0;
    std::vector<EditPoint> edits;  // point edits, in file order
    SurveySpec survey;             // survey file
    std::int16_t sign_option = 0;  // depths in the point file
};

// Reads MODIFY.INI. Returns "" when the file was read whole, or why it cannot
// be used ("MODIFY.INI RECORD n: ..."): a name longer than its field or one
// the name rules refuse, an unknown mode, more edit points than can be held,
// records after the last. Found before the records that depend on it are
// read. Throws recio::RecordError for an unreadable field or an early end of
// the file.
std::string read_modify_ini(recio::RecordReader& in, ModifyIni& c);

// The records that hold `c`, in the layouts the reader takes them back with.
std::vector<std::string> modify_ini_records(const ModifyIni& c);
bool write_modify_ini(const std::string& path, const ModifyIni& c);

}  // namespace suitefiles
