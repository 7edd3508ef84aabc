#include "suitefiles/loadpat_answers.hpp"

#include <array>
#include <cctype>
#include <cmath>

#include "recio/format.hpp"
#include "suitefiles/name_rules.hpp"
#include "suitefiles/record_list.hpp"

namespace suitefiles {
namespace {

constexpr const char* REAL = "(F12.4)";
constexpr const char* WHOLE = "(I6)";
constexpr std::size_t SITE_PATH_LENGTH = 15;

std::string at(const recio::RecordReader& in) {
    return "LOADPAT.ANS RECORD " + std::to_string(in.record_number()) + ": ";
}

std::string trimmed(const std::string& s) {
    const std::size_t begin = s.find_first_not_of(' ');
    if (begin == std::string::npos) return {};
    return s.substr(begin, s.find_last_not_of(' ') - begin + 1);
}

bool is_approach_word(const std::string& w) {
    static const std::array<const char*, 8> words{"NO", "WE", "SO", "EA", "NW", "SW", "SE", "NE"};
    for (const char* word : words)
        if (w == word) return true;
    return false;
}

template <class... A>
void add(std::vector<std::string>& records, const char* format, const A&... values) {
    for (std::string& r : recio::format_records(format, values...)) records.push_back(std::move(r));
}

}  // namespace

std::string read_loadpat_answers(recio::RecordReader& in, LoadpatAnswers& a) {
    std::string field;
    in.need("(A15)", recio::fixed_text(field, static_cast<int>(SITE_PATH_LENGTH)));
    a.site = trimmed(field);
    if (recio::runs_past(in.last_record(), SITE_PATH_LENGTH))
        return at(in) + "THE SITE PATH IS LONGER THAN 15 CHARACTERS";
    if (a.site.empty()) return at(in) + "NO SITE PATH";
    if (std::string why = name_fault(a.site, NameKind::Path); !why.empty())
        return at(in) + "THE SITE PATH " + a.site + ": " + why;
    const auto positive = [](float v) { return v > 0.0f && std::isfinite(v); };
    in.need(REAL, a.dxc);
    if (!positive(a.dxc)) return at(in) + "THE EAST-WEST DUMP INTERVAL MUST BE GREATER THAN 0 FT";
    in.need(REAL, a.dyc);
    if (!positive(a.dyc)) return at(in) + "THE NORTH-SOUTH DUMP INTERVAL MUST BE GREATER THAN 0 FT";
    in.need(WHOLE, a.loads);
    if (a.loads < 1) return at(in) + "THERE MUST BE AT LEAST 1 LOAD IN EACH DUMP CELL";
    in.need(WHOLE, a.control);
    if (a.control != 0 && a.control != 1)
        return at(in) + "THE PLACEMENT CONTROL MUST BE 1 (RANDOM) OR 0 (AT THE CENTROIDS)";
    if (a.control == 1) {
        in.need("(A2)", recio::fixed_text(field, 2));
        a.approach = trimmed(field);
        for (char& ch : a.approach)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (!is_approach_word(a.approach))
            return at(in) + "THE APPROACH DIRECTION MUST BE ONE OF: NO WE SO EA NW SW SE NE";
        in.need(REAL, a.radius);
        if (!positive(a.radius))
            return at(in) + "THE RADIUS OF PLACEMENT MUST BE GREATER THAN 0 FT";
    }
    return {};
}

std::vector<std::string> loadpat_answers_records(const LoadpatAnswers& a) {
    std::vector<std::string> r{a.site};
    add(r, REAL, a.dxc);
    add(r, REAL, a.dyc);
    add(r, WHOLE, a.loads);
    add(r, WHOLE, a.control);
    if (a.control == 1) {
        r.push_back(a.approach);
        add(r, REAL, a.radius);
    }
    return r;
}

bool write_loadpat_answers(const std::string& path, const LoadpatAnswers& a) {
    return write_record_list(path, loadpat_answers_records(a));
}

}  // namespace suitefiles
