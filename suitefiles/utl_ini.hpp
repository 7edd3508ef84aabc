// UTL.INI, the grid utilities' control file: two layouts, one for each job
// that reads it (ACTION.BAT's flag word chooses), each with one reader and
// one writer.
//
// UTILITY1, a mound or a berm on a site:
//   1  (A26)      site path: prefix and site name, no extension
//   2  (A1)       structure: M mound, B berm (either case)
//   mound: 3 (2F12.4) centre easting, northing (site system)
//          4 (2F12.4) crest depth (ft), side slope (vertical over horizontal)
//          5 (I4)     depth sign option of the point file
//   berm:  3 (2F12.4) start easting, northing;  4 (2F12.4) end easting, northing
//          5 (2F12.4) crest depth (ft), side slope;  6 (I4) crest width (ft)
//          7 (I4)     depth sign option
//
// UTILITY2, volumes:
//   1  (I4)       difference mode: 1 above an elevation, 2 between two grids,
//                 3 as 2 and store the difference grid
//   2  (A26)      first site path
//   3  (2F12.4)   mode 1: the elevation (a depth, ft) in the first field
//   3  (A26)      modes 2, 3: second site path
//   4  (A26)      mode 3: site path of the difference grid
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recio/records.hpp"

namespace suitefiles {

struct Mound {
    float centre_e = 0, centre_n = 0;  // site coordinates
    float crest = 0;                   // crest depth, feet
    float slope = 0;                   // side slope, vertical over horizontal
};

struct Berm {
    float start_e = 0, start_n = 0, end_e = 0, end_n = 0;  // site coordinates
    float crest = 0, slope = 0;
    std::int16_t crest_width = 0;  // feet
};

// UTILITY1: the site path and the mound or berm.
struct UtlStructure {
    std::string path;    // site path, up to its first blank
    char structure = 0;  // 'M' mound or 'B' berm (either case in the file)
    Mound mound;
    Berm berm;
    std::int16_t sign_option = 0;
};

enum : std::int16_t { VOLUME_ABOVE = 1, VOLUME_BETWEEN = 2, VOLUME_DIFFERENCE = 3 };

// UTILITY2: the difference mode and the site paths.
struct UtlVolumes {
    std::int16_t mode = 0;
    std::string first, second, difference;  // site paths; second and difference as the mode needs
    float elevation = 0.0f;                 // mode 1
};

// Read UTL.INI for each job. Return "" when it can be used, or why not
// ("UTL.INI RECORD n: ..."): a site path longer than its field or one the
// name rules refuse; a structure other than M or B, a side slope not above
// 0; a mode other than 1 to 3, an elevation beyond the report's field, no
// path for the difference grid. Throw recio::RecordError for an unreadable
// field or an early end of the file.
std::string read_utl_structure(recio::RecordReader& in, UtlStructure& c);
std::string read_utl_volumes(recio::RecordReader& in, UtlVolumes& c);

// The records that hold the values, in the layouts the readers take back.
std::vector<std::string> utl_structure_records(const UtlStructure& c);
std::vector<std::string> utl_volumes_records(const UtlVolumes& c);
bool write_utl_structure(const std::string& path, const UtlStructure& c);
bool write_utl_volumes(const std::string& path, const UtlVolumes& c);

}  // namespace suitefiles
