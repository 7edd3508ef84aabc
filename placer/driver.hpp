// The placement simulator's run: start-up, the disposal weeks load by load,
// the long-term periods, the final files and the listing screen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recio/program.hpp"

namespace placer {

// Where a run spends its time, stage by stage (seconds of wall-clock time;
// for the child programs also the processor time they used themselves, so
// that wall - cpu is the cost of starting them and waiting on their files).
struct StageTimes {
    double fate_wall = 0, fate_cpu = 0;            // cloudex, once per load
    double long_term_wall = 0, long_term_cpu = 0;  // dredge, once per week
    double deck = 0;                               // BUILD: fate grid and deck
    double deposit = 0;                            // RDEPOS: deposit read-back and superposition
    double getback = 0;                            // GETBACK: long-term grid read-back
    double avalanching = 0;                        // AVAL1
    double grid_writing = 0;                       // GRID1 and ARGPB
    int fate_runs = 0, long_term_runs = 0;
    long rss_first_load_kb = 0,
         rss_last_load_kb = 0;    // resident memory after the first and last load
    std::vector<long> rss_kb;     // resident memory after each load, kilobytes
    std::vector<int> open_files;  // files held open after each load
};

struct RunOptions {
    // Seed of the random scatter (placement mode 1); the clock's seconds when empty.
    std::optional<std::uint32_t> seed;
    // Where the base surface D:\BASSE.IN is read from.
    std::string base_surface = "BASSE.IN";
    // When given, the run adds its stage times to it.
    StageTimes* times = nullptr;
};

// Exit status of a run (the suite's statuses; recio::STATUS_REFUSALS is kept
// for a run that finished with refused loads or failed model runs).
enum RunStatus : int { RUN_OK = recio::STATUS_DONE, RUN_FAILED = recio::STATUS_FAILED };

// Runs one placement activity in the current directory; returns RUN_OK when
// it ended normally, RUN_FAILED after an orderly stop on a problem (or when
// ACTION.BAT does not ask for a placement run).
int run(const RunOptions& options);

}  // namespace placer
