// A value of a fixed-column control file that a run cannot use, with where it
// stands: the file, the record, the columns and the field.
#pragma once

#include <string>

namespace suitefiles {

struct FieldFault {
    std::string file;         // e.g. "SITEGEN.INI"
    long record = 0;          // 1-based
    int first = 0, last = 0;  // columns, 1-based (0: the whole record)
    std::string field;        // e.g. "NE EASTING"
    std::string value;        // as the file holds it
    std::string problem;      // what is wrong, and what would be accepted
};

// "SITEGEN.INI RECORD 6: <problem>", the way the programs report it.
inline std::string program_message(const FieldFault& f) {
    return f.file + " RECORD " + std::to_string(f.record) + ": " + f.problem;
}

// "SITEGEN.INI:6:1-13: NE EASTING: 2000433.0124: <problem>", the way a
// compiler reports it.
inline std::string check_message(const FieldFault& f) {
    std::string columns =
        f.first > 0 ? std::to_string(f.first) + "-" + std::to_string(f.last) : "1";
    return f.file + ":" + std::to_string(f.record) + ":" + columns + ": " + f.field + ": " +
           f.value + ": " + f.problem;
}

}  // namespace suitefiles
