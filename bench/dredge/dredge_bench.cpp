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

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dredge/driver.hpp"
#include "dredge/hydro.hpp"
#include "recio/records.hpp"

namespace {

namespace fs = std::filesystem;

// Writes the inputs of a week on a 201 x 201 grid of 50-ft cells: a 14-ft
// disposal mound on a 55-ft sea bed with a pseudo-random roughness of up to
// half a foot, so that (as on a surveyed site) the cells' depths differ.
void write_case(const fs::path& dir, std::int32_t ised, const char* tide_file, float steady_speed) {
    const int n = 201;
    const float dx = 50.0f;
    std::vector<float> depth;
    std::uint32_t seed = 12345u;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            const float x = static_cast<float>(i - 101) * dx, y = static_cast<float>(j - 101) * dx;
            const float r2 = (x * x + y * y) / (2.0f * 600.0f * 600.0f);
            seed = seed * 1103515245u + 12345u;
            const float rough = static_cast<float>((seed >> 8) & 0xffffu) / 65535.0f - 0.5f;
            depth.push_back(55.0f - 14.0f * std::exp(-r2) + rough);
        }
    {
        recio::RecordWriter out((dir / "SITE.TNS").string());
        out.write("(10X,F5.1)", dx);
        out.write("(A60)", std::string("BENCHMARK SITE"));
        out.write("(26F8.3)", recio::array(depth.data(), depth.size()));
        out.write("(20X,' 999999999')");
        out.close();
    }
    {
        recio::RecordWriter out((dir / "PCD.INI").string());
        out.write("(7I5)", 1, 7, n, n, 1, 1, 2);
        out.write("(A32)", std::string("SITE.TNS"));
        out.write("(8F8.3)", 20.0f, 3.0f, 8.0f, 0.0f, 60.0f, 60.0f);
        out.write("(8F8.3)", 0.0f, steady_speed, 45.0f, 3.0f, steady_speed, 45.0f);
        out.write("(F8.3,I4,3F8.3)", 0.2f, ised, 30.0f, 25.0f, 0.4f);
        out.close();
    }
    const fs::path data = DREDGE_DATA_DIR;
    fs::copy_file(data / tide_file, dir / "TIDAL.DAT", fs::copy_options::overwrite_existing);
    fs::copy_file(data / "WAVREC.OUT", dir / "WAVREC.OUT", fs::copy_options::overwrite_existing);
    fs::copy_file(data / "PCDDF_CLAY.DAT", dir / "PCDDF2.DAT",
                  fs::copy_options::overwrite_existing);
}

void week(benchmark::State& state, std::int32_t ised, const char* tide_file, float steady_speed) {
    const fs::path dir = fs::temp_directory_path() / ("dredge_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    write_case(dir, ised, tide_file, steady_speed);
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

// An offshore site: the tide of South Beach, Oregon (levels only) and a
// steady 0.5 ft/s current.
void NonCohesiveWeek201(benchmark::State& state) {
    week(state, 1, "TIDAL_SOUTH_BEACH.DAT", 0.5f);
}
void CohesiveWeek201(benchmark::State& state) {
    week(state, 2, "TIDAL_SOUTH_BEACH.DAT", 0.5f);
}
// The harbour-entrance currents of Charleston, SC (up to about 3 ft/s, more
// over the mound): the concentration field needs many more, shorter updates
// per minute to stay stable, which makes this the costly cohesive case.
void NonCohesiveWeek201HarbourCurrents(benchmark::State& state) {
    week(state, 1, "TIDAL_CHARLESTON.DAT", 0.0f);
}
void CohesiveWeek201HarbourCurrents(benchmark::State& state) {
    week(state, 2, "TIDAL_CHARLESTON.DAT", 0.0f);
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
    dredge::initlz(start, 20.0f, 0.5f, 0.025f);
    std::int64_t sweeps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dredge::Fields f = start;
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        std::FILE* null = std::fopen("/dev/null", "w");
        ::dup2(::fileno(null), STDOUT_FILENO);
        state.ResumeTiming();
        sweeps += dredge::velocity(f, 20.0f, 0.025f).sweeps;
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
