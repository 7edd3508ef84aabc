#include "recio/console.hpp"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace recio {
namespace {

struct ConsoleState {
    bool line_open = false;  // the last record written has not had its line feed yet
    bool input_ended = false;
    ~ConsoleState() {
        if (line_open) std::fputc('\n', stdout);
        std::fflush(stdout);
    }
};

ConsoleState& state() {
    static ConsoleState s;
    return s;
}

}  // namespace

void console_record(std::string_view record) {
    ConsoleState& s = state();
    char control = record.empty() ? ' ' : record[0];
    std::string_view text = record.empty() ? record : record.substr(1);
    if (control == '+') {
        std::fputc('\r', stdout);
    } else {
        if (s.line_open) std::fputc('\n', stdout);
        if (control == '0') std::fputc('\n', stdout);
    }
    // Control characters in the text (an escape sequence in a title read from
    // a file) are shown as '?': only the carriage control moves the cursor.
    std::string shown(text);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    s.line_open = true;
    std::fflush(stdout);
}

void console_end_line() {
    ConsoleState& s = state();
    if (s.line_open) std::fputc('\n', stdout);
    s.line_open = false;
    std::fflush(stdout);
}

bool keyboard_at_end() {
    return state().input_ended;
}

void keyboard_restart() {
    state().input_ended = false;
    std::cin.clear();
}

std::string keyboard_line() {
    ConsoleState& s = state();
    std::fflush(stdout);
    std::string line;
    if (!s.input_ended && !std::getline(std::cin, line)) s.input_ended = true;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A typed line ends with the user's own line feed on the screen; without
    // a terminal the program ends the prompt line itself.
    if (s.line_open && !::isatty(STDIN_FILENO)) std::fputc('\n', stdout);
    s.line_open = false;
    return line;
}

bool KeyboardSource::next_record(std::string& record) {
    if (keyboard_at_end() && !end_reads_empty_) return false;
    record = keyboard_line();
    if (keyboard_at_end() && !end_reads_empty_) return false;
    ++records_;
    return true;
}

}  // namespace recio
