// The console: records written with carriage control, and keyboard lines.
//
// The first character of every record written to the console is a
// carriage-control character and is not shown: a blank starts a new line,
// '0' leaves one empty line first, '1' starts a new page (a new line here),
// '+' returns to the start of the current line and writes over it.
// Lines are therefore ended lazily: the line feed of a record is written when
// the next record starts a new line, or when the program reads the keyboard
// or ends, so that a '+' record can overwrite the line before it.
//
// Keyboard reads never hang at the end of input: the end of standard input
// reads as an empty line, so a run with no terminal finishes.
#pragma once

#include <string>
#include <string_view>

#include "recio/format.hpp"

namespace recio {

// Writes one record (its first character is carriage control).
void console_record(std::string_view record);
// Ends the current console line, if one is open.
void console_end_line();

template <class... A>
void console_write(std::string_view format, const A&... args) {
    for (const std::string& r : format_records(format, args...)) console_record(r);
}
template <class... A>
void console_list(const A&... args) {
    console_record(list_line(args...));
}

// One line from the keyboard, without its line end; "" at the end of input.
std::string keyboard_line();
// True once standard input has reached its end.
bool keyboard_at_end();
// Takes the keyboard up again after standard input was reopened on a new
// stream of answers (for tests that run a session more than once in one
// process): forgets that the input had ended.
void keyboard_restart();

// Formatted read of one keyboard line (end of input reads as an empty line).
template <class... T>
void keyboard_read(std::string_view format, T&&... items);

// List-directed read from the keyboard: values across as many lines as needed.
// Returns false when the input ends before every item has a value (the items
// not reached keep their values). An unreadable value throws RecordError.
template <class... T>
bool keyboard_list(T&&... items);

// ---- implementation

class KeyboardSource : public RecordSource {
  public:
    explicit KeyboardSource(bool end_reads_empty) : end_reads_empty_(end_reads_empty) {}
    bool next_record(std::string& record) override;
    const std::string& source_name() const override { return name_; }
    long record_number() const override { return records_; }

  private:
    bool end_reads_empty_;
    std::string name_ = "KEYBOARD";
    long records_ = 0;
};

template <class... T>
void keyboard_read(std::string_view format, T&&... items) {
    KeyboardSource source(true);
    const InItem list[] = {InItem{}, to_in(items)...};
    read_items(format, source, list + 1, sizeof...(T));
}

template <class... T>
bool keyboard_list(T&&... items) {
    KeyboardSource source(false);
    const InItem list[] = {InItem{}, to_in(items)...};
    try {
        return read_list(source, list + 1, sizeof...(T));
    } catch (const RecordError&) {
        if (keyboard_at_end()) return false;
        throw;
    }
}

}  // namespace recio
