#include "suitefiles/name_rules.hpp"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace suitefiles {

namespace {

std::string upper_case(std::string_view text) {
    std::string upper;
    for (char c : text)
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return upper;
}

}  // namespace

bool is_suite_file_stem(std::string_view stem) {
    static constexpr std::string_view fixed[] = {
        "ACTION", "DUMP",   "SITEGEN", "MODIFY", "UTL",           "PCD",   "TIDE",
        "TIDAL",  "WAVREC", "PCDDF2",  "PCDDF3", "PCDDF4",        "BASSE", "PLOTBATH",
        "STORE",  "CONSOL", "CLDX",    "FOLDER", WEEKLY_GRID_STEM};
    const std::string upper = upper_case(stem);
    for (std::string_view f : fixed)
        if (upper == f) return true;
    return false;
}

bool is_suite_file_name(std::string_view path) {
    static constexpr std::string_view extensions[] = {".IN",  ".OUT", ".DAT", ".TNS", ".ACT",
                                                      ".TIM", ".INI", ".BAT", ".DUE", ".DUT",
                                                      ".DUO", ".XYZ", ".SET", ".LOG", ".LCK"};
    const std::filesystem::path p{std::string(path)};
    if (is_suite_file_stem(p.stem().string())) return true;
    const std::string extension = upper_case(p.extension().string());
    for (std::string_view e : extensions)
        if (extension == e) return true;
    return false;
}

namespace {

// A name made absolute, with its links followed as far as they exist.
std::filesystem::path plain_path(const std::string& name) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(name, ec);
    if (ec) p = name;
    const std::filesystem::path followed = std::filesystem::weakly_canonical(p, ec);
    return ec ? p.lexically_normal() : followed;
}

}  // namespace

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec) && !ec) return true;
    return plain_path(a) == plain_path(b);
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

// The part of a path after its folder (and drive) part.
std::string_view own_name(std::string_view path) {
    const std::size_t sep = path.find_last_of("/\\:");
    return sep == std::string_view::npos ? path : path.substr(sep + 1);
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
        case NameKind::Path:
            return site_name_fault(own_name(text));
        case NameKind::File: {
            const std::string_view name = own_name(text);
            return site_name_fault(name.substr(0, name.rfind('.')));
        }
        case NameKind::Input:
            return text.empty() ? "NO NAME" : "";
    }
    return "";
}

}  // namespace suitefiles
