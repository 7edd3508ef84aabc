// ACTION.BAT: the start-up flag word. The menu writes a program's word into
// the file's first record before it starts the program; the program proceeds
// only on its own word. No program writes the file.
#pragma once

#include <string>
#include <string_view>

namespace suitefiles {

constexpr const char* ACTION_FILE = "ACTION.BAT";

// The first 10 characters of the first record (A10, padded with blanks);
// "" when the file cannot be opened or has no record.
std::string read_action_word(const std::string& path = ACTION_FILE);

// True when the flag word begins with `word` (as many characters as `word` has).
bool action_word_is(std::string_view word, const std::string& path = ACTION_FILE);

// The line that tells a user who started a program without the menu what to
// do: it names the word the program expected and the menu command.
std::string menu_hint(std::string_view expected, std::string_view menu_command);

// Writes menu_hint on the error stream, for a program whose wrong start ends
// without a word on the console (after ending the console's open line).
void menu_hint_on_error_stream(std::string_view expected, std::string_view menu_command);

}  // namespace suitefiles
