// A disposal week (7 days, 57 three-hour steps) of the long-term mound
// model on a 201 x 201 grid of 50-ft cells with waves from the wave series
// and tide (and tidal current) from harmonic constituents: a non-cohesive
// and a cohesive case at an offshore site, and both under strong harbour
// currents. Reports the time per step and per cell-sweep of the current solver,
// and the current solver's cost when it runs all of its 500 sweeps.
//
//   build/bench/dredge/dredge_bench            (or build/bin/dredge_bench)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cases.hpp"
#include "dredge/driver.hpp"
#include "dredge/hydro.hpp"

namespace {

namespace fs = std::filesystem;

void week(benchmark::State& state, const dredge_bench::WeekCase& c) {
    const fs::path dir = fs::temp_directory_path() / ("dredge_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    dredge_bench::write_case(dir, c, DREDGE_DATA_DIR);
    const fs::path home = fs::current_path();
    dredge::RunStats stats;
    int status = 0;
    for (auto _ : state) {
        fs::current_path(dir);
        // The run's console goes nowhere while it is timed.
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        std::FILE* null = std::fopen("/dev/null", "w");
        ::dup2(::fileno(null), STDOUT_FILENO);
        status = dredge::run_dredge(&stats);
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        std::fclose(null);
        fs::current_path(home);
    }
    fs::remove_all(dir);
    if (status != 0) state.SkipWithError("the run stopped with a message");
    state.counters["sett_ft"] = stats.settlement;
    state.counters["steps"] = stats.steps;
    state.counters["s_per_step"] = stats.total_seconds / stats.steps;
    state.counters["velocity_sweeps_per_step"] =
        static_cast<double>(stats.velocity_sweeps) / static_cast<double>(stats.velocity_calls);
    state.counters["velocity_s"] = stats.velocity_seconds;
    state.counters["velocity_ns_per_cell_sweep"] =
        stats.velocity_seconds * 1e9 / static_cast<double>(stats.velocity_cells);
    state.counters["transport_s"] = stats.transport_seconds;
}

void NonCohesiveWeek201(benchmark::State& state) {
    week(state, dredge_bench::kWeekCases[0]);
}
void CohesiveWeek201(benchmark::State& state) {
    week(state, dredge_bench::kWeekCases[1]);
}
// Under harbour currents the concentration field needs many more, shorter
// updates per minute to stay stable, which makes this the costly cohesive
// case.
void NonCohesiveWeek201HarbourCurrents(benchmark::State& state) {
    week(state, dredge_bench::kWeekCases[2]);
}
void CohesiveWeek201HarbourCurrents(benchmark::State& state) {
    week(state, dredge_bench::kWeekCases[3]);
}

// The current solver's worst case: a field it cannot settle (cells of 2 ft
// are far too small for its pseudo-time step), so every call runs all 500
// sweeps. A week of such steps costs 57 times one call.
void VelocityAllSweeps201(benchmark::State& state) {
    dredge::Fields start;
    start.resize(201, 201);
    start.dx = start.dy = 2.0f;
    for (int i = 1; i <= 201; ++i)
        for (int j = 1; j <= 201; ++j) start.depth(i, j) = j == 101 ? 12.0f : 20.0f;
    dredge::INITLZ(start, 20.0f, 0.5f, 0.025f);
    std::int64_t sweeps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dredge::Fields f = start;
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        std::FILE* null = std::fopen("/dev/null", "w");
        ::dup2(::fileno(null), STDOUT_FILENO);
        state.ResumeTiming();
        sweeps += dredge::VELOCITY(f, 20.0f, 0.025f).sweeps;
        state.PauseTiming();
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        std::fclose(null);
        state.ResumeTiming();
    }
    state.counters["sweeps_per_call"] =
        benchmark::Counter(static_cast<double>(sweeps), benchmark::Counter::kAvgIterations);
    state.counters["ns_per_cell_sweep"] =
        benchmark::Counter(static_cast<double>(sweeps) * 199.0 * 201.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(NonCohesiveWeek201)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(CohesiveWeek201)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(NonCohesiveWeek201HarbourCurrents)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(CohesiveWeek201HarbourCurrents)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(VelocityAllSweeps201)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
