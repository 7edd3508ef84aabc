// Names that write only what they name. A site is stored as prefix + site name
// + extension, and the companion files take the text before the name's first
// period, so a period or a blank inside a name, a control character or a ".."
// would write files the user did not name (NEW.PR.IN beside NEW.DAT; "NEW PR"
// as site NEW); the name of one of the suite's fixed-name files (TIDE, PCD,
// PLOTBATH, ...) would overwrite the suite's own inputs and exchange files.
#pragma once

#include <string>
#include <string_view>

namespace suitefiles {

// The stem of the placement run's grid of the week (PLWEEK.IN, .DAT, .TNS in
// the working folder): the grid each weekly long-term run works on, while the
// output site stays as it was until the run stores it whole at its end.
inline constexpr std::string_view WEEKLY_GRID_STEM = "PLWEEK";

// What a name read from a fixed-column field stands for.
enum class NameKind {
    Site,    // a site or output name (A6): letters, digits and the like only
    Prefix,  // a drive/directory prefix (A19), ending with its separator
    Path,    // prefix + site name (A26): the part after the last separator is a site name
    File,    // prefix + site name + extension (A32): a file stored or handed on by name;
             // the stem of its own name (before the extension) is a site name
    Input,   // a file only read by name (A32): any file name without a blank, a
             // control character or a ".."
};

// Why the field's text cannot be used as a name of that kind ("" if it can):
// "A PERIOD IN THE NAME", "A BLANK INSIDE THE NAME", "A CONTROL CHARACTER IN
// THE NAME", "A '..' IN THE PATH", "TIDE IS THE NAME OF ONE OF THE SUITE'S OWN
// FILES", "A FOLDER SEPARATOR IN THE NAME", "NO NAME". Trailing blanks end
// the field and are not part of it.
std::string name_fault(std::string_view field, NameKind kind);

// True if a name (without folder and extension; any case) is the stem of one
// of the suite's fixed-name files: its control files (ACTION, DUMP, SITEGEN,
// MODIFY, UTL, PCD), series and data files (TIDE, TIDAL, WAVREC, PCDDF2 to
// PCDDF4, BASSE) and exchange and work files (CLDX, PLOTBATH, STORE, CONSOL,
// FOLDER, PLWEEK).
bool is_suite_file_stem(std::string_view stem);

// True if a file name (folder and extension included; any case) is that of
// one of the suite's files: a fixed-name file (above), or a file of the kinds
// the suite stores sites, runs, their controls and logs under (.IN .OUT .DAT
// .TNS .ACT .TIM .INI .BAT .DUE .DUT .DUO .XYZ .SET .LOG .LCK).
bool is_suite_file_name(std::string_view path);

// True if two names name the same file: the same existing file, or the same
// path once made absolute and plain ("./A.IN" and "A.IN").
bool same_file(const std::string& a, const std::string& b);

}  // namespace suitefiles
