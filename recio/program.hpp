// The frame every program of the suite runs in: its exit statuses, and one
// place that turns a stop the program did not foresee into a console message
// and a status.
#pragma once

#include <functional>
#include <string>

namespace recio {

// Exit statuses, the same for every program.
enum ExitStatus : int {
    STATUS_DONE = 0,      // the program did its job
    STATUS_FAILED = 1,    // it refused its input or its run failed; nothing stored
    STATUS_USAGE = 2,     // a command-line tool was called the wrong way
    STATUS_REFUSALS = 3,  // placer finished, but loads were refused or a fate or
                          // long-term run failed
};

// The texts a program stops with.
struct StopTexts {
    std::string program;  // upper-case name: "<PROGRAM> STOPPED: NOT ENOUGH MEMORY"
    std::string closing;  // a line written after every stop message ("" for none)
    // The programs of the suite hold the folder they run in; the view tools
    // only read its files and write where they are told, so they run beside
    // a running program and in folders they cannot write.
    bool holds_folder = true;
};

// Runs a program's body and returns its status. A program that holds its
// folder runs holding the current folder's lock (FolderLock): while another
// program of the suite runs there, other than the one that started this
// program, it is refused at once; it then finishes the set of files a dead run
// left behind (recover_sets). An unreadable record ends the program with the
// record library's message, running out of memory and any other failure with
// "<PROGRAM> STOPPED: ..."; each is followed by the closing line and ends with
// STATUS_FAILED.
int run_main(const StopTexts& texts, const std::function<int()>& body);

}  // namespace recio
