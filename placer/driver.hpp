// The placement simulator's run: start-up, the disposal weeks load by load,
// the long-term periods, the final files and the listing screen.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "recio/process.hpp"
#include "recio/program.hpp"

namespace placer {

// The stages of a run that an observer is told of.
enum class Stage {
    Deck,         // BUILD: fate grid and deck
    Deposit,      // RDEPOS: deposit read-back and superposition
    GetBack,      // GETBACK: long-term grid read-back
    Avalanching,  // AVAL1
    GridWriting,  // GRID1 and ARGPB
};
enum class Child { FateModel, LongTermModel };

// Probes a caller (a benchmark) hangs into a run; every callback may be left
// empty, and a run without an observer does none of this work.
struct RunObserver {
    std::function<void(Stage)> stage_begins, stage_ends;
    // A child program ended: the wall-clock time its start and run took, and
    // the processor time it used itself.
    std::function<void(Child, const recio::ChildTimes&)> child_ended;
    // A load has gone through (the count of loads made so far).
    std::function<void(std::int32_t made)> load_done;
};

struct RunOptions {
    // Seed of the random scatter (placement mode 1); the clock's seconds when empty.
    std::optional<std::uint32_t> seed;
    // Where the base surface D:\BASSE.IN is read from.
    std::string base_surface = "BASSE.IN";
    // When given, told of the stages, child programs and loads of the run.
    const RunObserver* observer = nullptr;
};

// Exit status of a run (the suite's statuses).
enum RunStatus : int {
    RUN_OK = recio::STATUS_DONE,
    RUN_FAILED = recio::STATUS_FAILED,
    RUN_LOSSES = recio::STATUS_REFUSALS,
};

// Runs one placement activity in the current directory; returns RUN_OK when
// it ended normally, RUN_LOSSES when it finished and stored its results but
// loads were refused or a fate or long-term run failed, RUN_FAILED after an
// orderly stop on a problem (or when ACTION.BAT does not ask for a placement
// run).
int run(const RunOptions& options);

}  // namespace placer
