#include "suitefiles/utl_ini.hpp"

#include <cctype>

#include "recio/format.hpp"
#include "suitefiles/name_rules.hpp"
#include "suitefiles/record_list.hpp"

namespace suitefiles {
namespace {

constexpr const char* SITE_PATH = "(A26)";
constexpr const char* PAIR = "(2F12.4)";
constexpr const char* OPTION = "(I4)";

// Reads a site path (A26) and keeps it up to its first blank; "" or why it
// cannot be used: cut short at the field's end it would name another site,
// and a path the name rules refuse would write or read files not named.
std::string read_path(recio::RecordReader& in, std::string& path) {
    std::string field;
    in.need(SITE_PATH, recio::fixed_text(field, 26));
    path = field.substr(0, field.find(' '));
    const std::string where = "UTL.INI RECORD " + std::to_string(in.record_number()) + ": ";
    if (recio::runs_past(in.last_record(), 26))
        return where + "THE SITE PATH IS LONGER THAN 26 CHARACTERS";
    if (path.empty()) return {};  // a missing path is told by its own check
    const std::string why = name_fault(field, NameKind::Path);
    return why.empty() ? std::string{} : where + "THE SITE PATH " + path + ": " + why;
}

template <class... A>
void add(std::vector<std::string>& records, const char* format, const A&... values) {
    for (std::string& r : recio::format_records(format, values...)) records.push_back(std::move(r));
}

}  // namespace

std::string read_utl_structure(recio::RecordReader& in, UtlStructure& c) {
    std::string kind;
    const std::string fault = read_path(in, c.path);
    if (!fault.empty()) return fault;
    in.need("(A1)", recio::fixed_text(kind, 1));
    c.structure = static_cast<char>(std::toupper(static_cast<unsigned char>(kind[0])));
    float slope = 0.0f;
    if (c.structure == 'M') {
        in.need(PAIR, c.mound.centre_e, c.mound.centre_n);
        in.need(PAIR, c.mound.crest, c.mound.slope);
        in.need(OPTION, c.sign_option);
        slope = c.mound.slope;
    } else if (c.structure == 'B') {
        in.need(PAIR, c.berm.start_e, c.berm.start_n);
        in.need(PAIR, c.berm.end_e, c.berm.end_n);
        in.need(PAIR, c.berm.crest, c.berm.slope);
        in.need(OPTION, c.berm.crest_width);
        in.need(OPTION, c.sign_option);
        slope = c.berm.slope;
    } else {
        return "THE STRUCTURE IN UTL.INI (RECORD 2) MUST BE \"M\" (MOUND) OR \"B\" (BERM)";
    }
    if (!(slope > 0.0f)) return "THE SIDE SLOPE IN UTL.INI MUST BE GREATER THAN 0";
    return {};
}

std::string read_utl_volumes(recio::RecordReader& in, UtlVolumes& c) {
    in.need(OPTION, c.mode);
    if (c.mode != VOLUME_ABOVE && c.mode != VOLUME_BETWEEN && c.mode != VOLUME_DIFFERENCE)
        return "THE DIFFERENCE MODE IN UTL.INI (RECORD 1) MUST BE 1, 2 OR 3";
    std::string fault = read_path(in, c.first);
    if (c.mode == VOLUME_ABOVE) {
        in.need(PAIR, c.elevation);
        // The report gives the elevation as F6.1: one beyond it (no site
        // reaches it) would be reported as asterisks beside its volume.
        if (fault.empty() && !recio::fits_field("(F6.1)", c.elevation)) {
            std::string value = recio::format_records("(G12.5)", c.elevation)[0];
            value.erase(0, value.find_first_not_of(' '));
            fault = "UTL.INI RECORD 3: THE ELEVATION " + value +
                    " FT IS BEYOND THE REPORT'S FIELD (F6.1, -999.9 TO 9999.9 FT)";
        }
    } else {
        const std::string second = read_path(in, c.second);
        if (fault.empty()) fault = second;
        if (c.mode == VOLUME_DIFFERENCE) {
            const std::string difference = read_path(in, c.difference);
            if (fault.empty()) fault = difference;
        }
    }
    if (!fault.empty()) return fault;
    if (c.mode == VOLUME_DIFFERENCE && c.difference.empty())
        return "UTL.INI RECORD 4: NO SITE PATH FOR THE DIFFERENCE GRID (IT MUST START IN COLUMN 1)";
    return {};
}

std::vector<std::string> utl_structure_records(const UtlStructure& c) {
    std::vector<std::string> r{c.path, std::string(1, c.structure)};
    if (c.structure == 'M') {
        add(r, PAIR, c.mound.centre_e, c.mound.centre_n);
        add(r, PAIR, c.mound.crest, c.mound.slope);
        add(r, OPTION, c.sign_option);
    } else if (c.structure == 'B') {
        add(r, PAIR, c.berm.start_e, c.berm.start_n);
        add(r, PAIR, c.berm.end_e, c.berm.end_n);
        add(r, PAIR, c.berm.crest, c.berm.slope);
        add(r, OPTION, c.berm.crest_width);
        add(r, OPTION, c.sign_option);
    }
    return r;
}

std::vector<std::string> utl_volumes_records(const UtlVolumes& c) {
    std::vector<std::string> r;
    add(r, OPTION, c.mode);
    r.push_back(c.first);
    if (c.mode == VOLUME_ABOVE) {
        add(r, PAIR, c.elevation);
    } else {
        r.push_back(c.second);
        if (c.mode == VOLUME_DIFFERENCE) r.push_back(c.difference);
    }
    return r;
}

bool write_utl_structure(const std::string& path, const UtlStructure& c) {
    return write_record_list(path, utl_structure_records(c));
}
bool write_utl_volumes(const std::string& path, const UtlVolumes& c) {
    return write_record_list(path, utl_volumes_records(c));
}

}  // namespace suitefiles
