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

// What a name read from a fixed-column field stands for.
enum class NameKind {
    Site,    // a site or output name (A6): letters, digits and the like only
    Prefix,  // a drive/directory prefix (A19), ending with its separator
    Path,    // prefix + site name (A26): the part after the last separator is a site name
};

// Why the field's text cannot be used as a name of that kind ("" if it can):
// "A PERIOD IN THE NAME", "A BLANK INSIDE THE NAME", "A CONTROL CHARACTER IN
// THE NAME", "A '..' IN THE PATH", "TIDE IS THE NAME OF ONE OF THE SUITE'S OWN
// FILES", "NO NAME". Trailing blanks end the field and are not part of it.
std::string name_fault(std::string_view field, NameKind kind);

// True if a name (without folder and extension; any case) is the stem of one
// of the suite's fixed-name files: its control files (ACTION, DUMP, SITEGEN,
// MODIFY, UTL, PCD), series and data files (TIDE, TIDAL, WAVREC, PCDDF2 to
// PCDDF4, BASSE) and exchange files (CLDX, PLOTBATH, STORE, CONSOL, FOLDER).
bool is_suite_file_stem(std::string_view stem);

}  // namespace suitefiles
