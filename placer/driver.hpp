// The placement simulator's run: start-up, the disposal weeks load by load,
// the long-term periods, the final files and the listing screen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace placer {

struct RunOptions {
    // Seed of the random scatter (placement mode 1); the clock's seconds when empty.
    std::optional<std::uint32_t> seed;
    // Where the base surface D:\BASSE.IN is read from.
    std::string base_surface = "BASSE.IN";
};

// Exit status of a run.
enum RunStatus : int { RUN_OK = 0, RUN_FAILED = 1 };

// Runs one placement activity in the current directory; returns RUN_OK when
// it ended normally, RUN_FAILED after an orderly stop on a problem (or when
// ACTION.BAT does not ask for a placement run).
int run(const RunOptions& options);

}  // namespace placer
