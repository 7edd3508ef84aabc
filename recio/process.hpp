// Child programs, started by the names the system knows them by.
//
// "CLOUDEX.EXE" and "DREDGE.EXE" are programs of this suite: they are looked
// up beside the running program (its folder, from /proc/self/exe), then on
// the PATH, as `cloudex` and `dredge`. Any other name is an outside program:
// looked up in the current folder as written ("CARRYX.EXE") and as its
// lower-case stem ("carryx"), then on the PATH under both names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace recio {

// The executable a program name stands for; empty when there is none.
std::string find_program(std::string_view name);

// What a child program cost: wall-clock seconds from start to end, and the
// processor seconds (user + system) it used itself.
struct ChildTimes {
    double wall = 0.0;
    double cpu = 0.0;
};

// Starts the named program with an argument of one blank, without a shell,
// and waits for it to end. Returns its exit status, or -1 when it could not
// be found or started (a program killed by a signal returns 128 + signal).
// When `times` is given, the child's costs are added to it.
int run_program(std::string_view name, ChildTimes* times = nullptr);

// Kills the child program run_program is waiting for, if any, and waits for
// its end. Safe in a signal handler.
void stop_running_child() noexcept;

// A command's standard streams: input from `in`, output and errors into
// `out` ("" leaves them as they are).
struct CommandStreams {
    std::string in = "/dev/null";
    std::string out;
};

// Starts argv[0] (looked up on the PATH when it has no '/') in `folder`,
// waits for it and returns its exit status (128 + signal for a killed
// child, -1 when it could not be started).
int run_command(const std::vector<std::string>& args, const std::string& folder,
                const CommandStreams& streams);

}  // namespace recio
