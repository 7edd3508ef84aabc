#include "suitefiles/name_rules.hpp"

#include <cctype>

namespace suitefiles {

bool is_suite_file_stem(std::string_view stem) {
    static constexpr std::string_view fixed[] = {
        "ACTION", "DUMP",   "SITEGEN", "MODIFY", "UTL",      "PCD",   "TIDE",   "TIDAL", "WAVREC",
        "PCDDF2", "PCDDF3", "PCDDF4",  "BASSE",  "PLOTBATH", "STORE", "CONSOL", "CLDX",  "FOLDER"};
    std::string upper;
    for (char c : stem)
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    for (std::string_view f : fixed)
        if (upper == f) return true;
    return false;
}

namespace {

std::string site_name_fault(std::string_view name) {
    if (name.empty()) return "NO NAME";
    if (name.find('.') != std::string_view::npos) return "A PERIOD IN THE NAME";
    if (name.find_first_of("/\\") != std::string_view::npos)
        return "A FOLDER SEPARATOR IN THE NAME";
    if (is_suite_file_stem(name))
        return std::string(name) + " IS THE NAME OF ONE OF THE SUITE'S OWN FILES";
    return "";
}

}  // namespace

std::string name_fault(std::string_view field, NameKind kind) {
    const std::size_t end = field.find_last_not_of(' ');
    const std::string_view text =
        end == std::string_view::npos ? std::string_view{} : field.substr(0, end + 1);
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "A CONTROL CHARACTER IN THE NAME";
    if (text.find(' ') != std::string_view::npos) return "A BLANK INSIDE THE NAME";
    if (kind != NameKind::Site) {
        // ".." as a folder of the path: a prefix or path that climbs out of
        // the folders it names.
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t sep = text.find_first_of("/\\", start);
            const std::size_t stop = sep == std::string_view::npos ? text.size() : sep;
            if (text.substr(start, stop - start) == "..") return "A '..' IN THE PATH";
            if (sep == std::string_view::npos) break;
            start = sep + 1;
        }
    }
    switch (kind) {
        case NameKind::Site:
            return site_name_fault(text);
        case NameKind::Prefix:
            return "";
        case NameKind::Path: {
            const std::size_t sep = text.find_last_of("/\\:");
            return site_name_fault(sep == std::string_view::npos ? text : text.substr(sep + 1));
        }
    }
    return "";
}

}  // namespace suitefiles
