// Keyword files: each fixed-column control file of the suite as a TOML file
// with names that explain themselves, units beside them and comments; the
// field tables that tie each name to its record, columns and value; and the
// checks `menu check` runs over a folder.
//
// The fixed-column files are read and written only by their own readers and
// writers (suitefiles/); this library turns their values into keyword files
// and back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "suitefiles/dump_ini.hpp"
#include "suitefiles/loadpat_answers.hpp"
#include "suitefiles/modify_ini.hpp"
#include "suitefiles/pcd_ini.hpp"
#include "suitefiles/sitegen_ini.hpp"
#include "suitefiles/utl_ini.hpp"

namespace keyfiles {

// The control files a keyword file can stand for. UTL.INI has two layouts,
// one for each grid utility: a mound or berm, and volumes. LOADPAT.ANS holds
// the answers to loadpat's questions (`loadpat < LOADPAT.ANS`).
enum class Kind { Sitegen, Modify, Dump, Pcd, UtlStructure, UtlVolumes, Loadpat };

// The kind named by a file name (SITEGEN.INI, MODIFY.INI, DUMP.INI, PCD.INI,
// UTL.INI, LOADPAT.ANS; any case) or by the `file = "..."` line of a keyword file; false if
// none. UTL.INI gives UtlStructure: which layout a file has is told by
// utl_layout_of (fixed-column) or by its [volumes] table (keyword file).
bool kind_of_name(const std::string& file_name, Kind& kind);
// The layout of a fixed-column UTL.INI: volumes when its first record is a
// difference mode (a whole number in columns 1-4), a mound or berm otherwise.
Kind utl_layout_of(const std::string& path);
const char* file_name_of(Kind kind);

// One value of a control file: where it stands and what it means.
struct Field {
    std::string section, key;  // [section] key, e.g. [site] rotation_deg
    int item = -1;             // index in an array of tables ([[fraction]]), -1 for none
    std::string meaning;       // words and units for a person
    long record = 0;
    int first = 0, last = 0;  // columns, 1-based
    enum class Type { Text, Integer, Real } type = Type::Real;
    std::size_t width = 0;  // characters of a text field
    // Codes with names: the keyword file writes the name, and takes either.
    std::vector<std::pair<long, std::string>> names;
    // Codes that are letters in the file (UTL.INI's M and B): told as letters, and
    // the letter itself, either case, taken as well as the name.
    bool letters = false;
    // The values an integer's storage holds (reals: those of a 32-bit real).
    double lowest = -3.4028234663852886e38, highest = 3.4028234663852886e38;
    std::function<std::string()> get_text;
    std::function<void(const std::string&)> set_text;
    std::function<double()> get_number;
    std::function<void(double)> set_number;
};

// The fields of each file, for the shape the values have (the placement
// mode, the number of fractions and profile points, the generation mode).
std::vector<Field> fields_of(suitefiles::SitegenIni& c);
std::vector<Field> fields_of(suitefiles::ModifyIni& c);
std::vector<Field> fields_of(suitefiles::DumpControl& c);
std::vector<Field> fields_of(suitefiles::PcdIni& c);
std::vector<Field> fields_of(suitefiles::UtlStructure& c);
std::vector<Field> fields_of(suitefiles::UtlVolumes& c);
std::vector<Field> fields_of(suitefiles::LoadpatAnswers& c);

// The values of a control file, whichever kind it is.
struct Values {
    Kind kind = Kind::Dump;
    suitefiles::SitegenIni sitegen;
    suitefiles::ModifyIni modify;
    suitefiles::DumpControl dump;
    suitefiles::PcdIni pcd;
    suitefiles::UtlStructure utl_structure;
    suitefiles::UtlVolumes utl_volumes;
    suitefiles::LoadpatAnswers loadpat;
};
std::vector<Field> fields_of(Values& v);

// Reads a fixed-column file with its own reader; throws recio::RecordError
// (file, record, field) when it cannot be read, std::runtime_error when it
// cannot be opened.
Values read_fixed(const std::string& path, Kind kind);
// The fixed-column records of the values, from the file's own writer.
std::vector<std::string> fixed_records(const Values& v);

// The keyword file of the values, commented with record, columns and units.
std::string to_toml(Values& v);
// The values of a keyword file; throws std::runtime_error naming the file,
// the key and what is wrong (an unknown key, a missing one, a value of the
// wrong type or beyond its field).
Values from_toml(const std::string& text, const std::string& source_name);

// Each record of a fixed-column file with its field names, values and units.
std::string explain(Values& v);

// `menu check` over the control and series files of a folder: one line
// "FILE:RECORD:COLUMNS: field: value: what is wrong and the accepted range"
// per fault. Empty when a run would start from what the folder holds.
std::vector<std::string> check_folder(const std::string& folder);

// What `menu check` adds when a placement would start: the first load run
// as a trial by placer (in a copy of the folder), and one warning per
// fraction whose critical shear stress for deposition lies below the bottom
// shear stress the fate model finds at its dump cell, so that none of it can
// deposit there. Warnings do not stop a run. Empty when there is nothing to
// say (a note when the trial could not run).
std::vector<std::string> deposition_warnings(const std::string& folder);

// A working example of a program's control file, as a keyword file: the
// program is sitegen, modify, placer, dredge, loadpat or utility (a mound;
// "utility berm", "utility volumes" for the others).
bool example_for(const std::string& program, Values& v);

}  // namespace keyfiles
