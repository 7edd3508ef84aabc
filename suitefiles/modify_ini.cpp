#include "suitefiles/modify_ini.hpp"

#include "recio/format.hpp"
#include "suitefiles/name_rules.hpp"
#include "suitefiles/record_list.hpp"

namespace suitefiles {
namespace {

using recio::fixed_text;

constexpr const char* INI_PREFIX = "(A19)";
constexpr const char* INI_SITE = "(A6)";
constexpr const char* INI_TITLE = "(A60)";
constexpr const char* INI_INTEGERS = "(3I5)";
constexpr const char* INI_EDIT = "(3F12.4)";
constexpr const char* INI_SURVEY_FILE = "(A32,3X,I5)";
constexpr const char* INI_SURVEY_COLUMNS = "(3A8)";

std::string where(const recio::RecordReader& in) {
    return "MODIFY.INI RECORD " + std::to_string(in.record_number()) + ": ";
}

// Why the name just read cannot be used ("" if it can): longer than its
// field, cut short it would name another site, folder or file; or one the
// name rules refuse.
std::string name_problem(const recio::RecordReader& in, const char* what, std::size_t width,
                         const std::string& name, NameKind kind) {
    if (recio::runs_past(in.last_record(), width))
        return where(in) + what + " IS LONGER THAN " + std::to_string(width) + " CHARACTERS";
    if (name.empty() || name[0] == ' ') return {};  // a missing name is told by its own check
    const std::string why = name_fault(name, kind);
    return why.empty() ? std::string{} : where(in) + what + ": " + why;
}

template <class... A>
void add(std::vector<std::string>& records, const char* format, const A&... values) {
    for (std::string& r : recio::format_records(format, values...)) records.push_back(std::move(r));
}

std::string trimmed(const std::string& s) {
    const std::size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string{} : s.substr(0, end + 1);
}

}  // namespace

std::string read_modify_ini(recio::RecordReader& in, ModifyIni& c) {
    in.need(INI_PREFIX, fixed_text(c.prefix, 19));
    std::string fault =
        name_problem(in, "THE DRIVE/DIRECTORY PREFIX", 19, c.prefix, NameKind::Prefix);
    in.need(INI_SITE, fixed_text(c.old_site, 6));
    if (fault.empty())
        fault = name_problem(in, "THE EXISTING SITE NAME", 6, c.old_site, NameKind::Site);
    in.need(INI_SITE, fixed_text(c.new_site, 6));
    if (fault.empty()) fault = name_problem(in, "THE NEW SITE NAME", 6, c.new_site, NameKind::Site);
    if (!fault.empty()) return fault;
    in.need(INI_TITLE, fixed_text(c.title, 60));
    in.need(INI_INTEGERS, c.mode);
    if (c.new_site.empty() || c.new_site[0] == ' ')
        return "MODIFY.INI RECORD 3: NO NEW SITE NAME (IT MUST START IN COLUMN 1)";
    if (c.mode == MODIFY_EDITS) {
        // Read wider than the 16-bit count so that any number in the field
        // meets the capacity check rather than an overflow.
        std::int32_t count = 0;
        in.need(INI_INTEGERS, count);
        if (count < 0 || count > MAX_EDITS)
            return "MODIFY.INI RECORD 6: " + std::to_string(count) +
                   " EDIT POINTS; A RUN TAKES 0 TO " + std::to_string(MAX_EDITS);
        c.edits.resize(static_cast<std::size_t>(count));
        for (EditPoint& p : c.edits) in.need(INI_EDIT, p.e, p.n, p.depth);
    } else if (c.mode == MODIFY_SURVEY) {
        std::array<std::string, 3>& n = c.survey.columns;
        in.need(INI_SURVEY_FILE, fixed_text(c.survey.file, 32), c.survey.spacing);
        fault = name_problem(in, "THE SURVEY FILE NAME", 32, c.survey.file, NameKind::Prefix);
        if (!fault.empty()) return fault;
        in.need(INI_SURVEY_COLUMNS, fixed_text(n[0], 8), fixed_text(n[1], 8), fixed_text(n[2], 8));
    } else {
        return "MODIFY.INI RECORD 5: THE MODIFICATION MODE IS " + std::to_string(c.mode) +
               ", NOT 1 (POINT EDITS) OR 2 (SURVEY FILE)";
    }
    in.need(INI_INTEGERS, c.sign_option);
    // With an edit count one short, the last edit record would be taken for
    // the depth sign option and the real option record left over.
    const long sign_record = in.record_number();
    const std::string hint =
        c.mode == MODIFY_EDITS ? " (IS THE EDIT COUNT OF RECORD 6 RIGHT?)" : "";
    if (recio::runs_past(in.last_record(), 5))
        return "MODIFY.INI RECORD " + std::to_string(sign_record) +
               ": THE DEPTH SIGN OPTION RECORD HOLDS MORE THAN THE OPTION" + hint;
    std::string extra;
    while (in.next_record(extra))
        if (extra.find_first_not_of(" \r") != std::string::npos)
            return "MODIFY.INI RECORD " + std::to_string(in.record_number()) +
                   ": A RECORD AFTER THE DEPTH SIGN OPTION OF RECORD " +
                   std::to_string(sign_record) + hint;
    return {};
}

std::vector<std::string> modify_ini_records(const ModifyIni& c) {
    std::vector<std::string> r;
    // The name, title and prefix records end with their text, as people write them.
    r.push_back(trimmed(recio::padded(c.prefix, 19)));
    r.push_back(trimmed(recio::padded(c.old_site, 6)));
    r.push_back(trimmed(recio::padded(c.new_site, 6)));
    r.push_back(trimmed(recio::padded(c.title, 60)));
    add(r, INI_INTEGERS, static_cast<std::int32_t>(c.mode));
    if (c.mode == MODIFY_EDITS) {
        add(r, INI_INTEGERS, static_cast<std::int32_t>(c.edits.size()));
        for (const EditPoint& p : c.edits) add(r, INI_EDIT, p.e, p.n, p.depth);
    } else if (c.mode == MODIFY_SURVEY) {
        add(r, INI_SURVEY_FILE, recio::padded(c.survey.file, 32), c.survey.spacing);
        add(r, INI_SURVEY_COLUMNS, recio::padded(c.survey.columns[0], 8),
            recio::padded(c.survey.columns[1], 8), recio::padded(c.survey.columns[2], 8));
    } else {
        return r;
    }
    add(r, INI_INTEGERS, c.sign_option);
    return r;
}

bool write_modify_ini(const std::string& path, const ModifyIni& c) {
    return write_record_list(path, modify_ini_records(c));
}

}  // namespace suitefiles
