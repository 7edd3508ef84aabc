#include "suitefiles/action.hpp"

#include <cstdio>

#include "recio/console.hpp"
#include "recio/records.hpp"

namespace suitefiles {

constexpr const char* ACTION_RECORD = "(A10)";

std::string read_action_word(const std::string& path) {
    recio::RecordReader in(path);
    if (!in.is_open()) return "";
    std::string word;
    try {
        if (!in.read(ACTION_RECORD, recio::fixed_text(word, 10))) return "";
    } catch (const recio::RecordError&) {
        return "";
    }
    return word;
}

bool action_word_is(std::string_view word, const std::string& path) {
    const std::string flag = read_action_word(path);
    return !flag.empty() && flag.compare(0, word.size(), word) == 0;
}

std::string menu_hint(std::string_view expected, std::string_view menu_command) {
    return std::string(ACTION_FILE) + " DOES NOT HOLD " + std::string(expected) +
           ": START THIS PROGRAM WITH " + std::string(menu_command);
}

void menu_hint_on_error_stream(std::string_view expected, std::string_view menu_command) {
    recio::console_end_line();
    const std::string line = menu_hint(expected, menu_command) + "\n";
    std::fputs(line.c_str(), stderr);
}

}  // namespace suitefiles
