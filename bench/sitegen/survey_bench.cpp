// Survey adaptation speed: the indexed rule against the plain rule, side by
// side on a 201 x 201 grid and 200000 random survey points (they must agree
// bit for bit), and the whole RBATH run, file reading included, on a survey
// of 1,000,000 points.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "sitegen/survey.hpp"

namespace {

using survey::Batch;
using survey::Frame;

// The site: 201 x 201 points 50 ft apart, rotated 25 degrees, in plane
// coordinates of state-plane size; a survey spacing of 25 ft gives R = 100 ft.
constexpr float NW_E = 1500000.0f, NW_N = 600000.0f;
constexpr std::int32_t SPACING = 25;

gridlib::SiteGrid bench_grid() {
    gridlib::SiteGrid g;
    g.points_we = g.points_ns = 201;
    g.total_points = 201 * 201;
    g.interval = 50;
    g.rotation = 25.0f;
    g.coord_system = 1;
    return g;
}

// Survey points spread at random over the site and a margin around it.
Batch random_survey(const Frame& f, std::size_t count, std::uint32_t seed) {
    float lo_e = f.ge[0], hi_e = f.ge[0], lo_n = f.gn[0], hi_n = f.gn[0];
    for (std::size_t i = 0; i < f.points(); ++i) {
        lo_e = std::min(lo_e, f.ge[i]);
        hi_e = std::max(hi_e, f.ge[i]);
        lo_n = std::min(lo_n, f.gn[i]);
        hi_n = std::max(hi_n, f.gn[i]);
    }
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> e(lo_e - 200.0f, hi_e + 200.0f),
        n(lo_n - 200.0f, hi_n + 200.0f);
    std::uniform_real_distribution<float> depth(0.5f, 60.0f);
    Batch b;
    for (std::size_t s = 0; s < count; ++s) b.add(e(rng), n(rng), depth(rng));
    return b;
}

std::vector<Batch> in_batches(const Batch& all) {
    std::vector<Batch> out;
    for (std::size_t from = 0; from < all.size(); from += survey::BATCH_POINTS) {
        Batch b;
        for (std::size_t s = from; s < std::min(all.size(), from + survey::BATCH_POINTS); ++s)
            b.add(all.e[s], all.n[s], all.d[s]);
        out.push_back(std::move(b));
    }
    return out;
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Verdict {
    bool ran = false;
    bool agree = false;
};
Verdict& verdict() {
    static Verdict v;
    return v;
}

void BM_SideBySide200k(benchmark::State& state) {
    const gridlib::SiteGrid grid = bench_grid();
    const Frame frame = survey::make_frame(grid, NW_E, NW_N, SPACING);
    const std::vector<Batch> batches = in_batches(random_survey(frame, 200000, 2024));
    for (auto _ : state) {
        std::vector<float> plain(frame.points(), 0.0f), indexed(frame.points(), 0.0f);
        auto t0 = std::chrono::steady_clock::now();
        for (const Batch& b : batches) survey::adapt_batch_plain(frame, b, plain);
        const double plain_s = seconds_since(t0);
        t0 = std::chrono::steady_clock::now();
        survey::SurveyIndex index(frame);
        for (const Batch& b : batches) index.adapt_batch(b, indexed);
        const double indexed_s = seconds_since(t0);

        const bool agree =
            std::memcmp(plain.data(), indexed.data(), plain.size() * sizeof(float)) == 0;
        verdict() = {true, agree};
        state.counters["plain_s"] = plain_s;
        state.counters["indexed_s"] = indexed_s;
        state.counters["ratio"] = plain_s / indexed_s;
        std::printf(
            "201 x 201 grid, 200000 survey points in %zu batches: plain %.3f s, indexed %.4f s, "
            "ratio %.0f, results %s\n",
            batches.size(), plain_s, indexed_s, plain_s / indexed_s,
            agree ? "identical bit for bit" : "DIFFER");
        if (!agree) state.SkipWithError("the indexed and the plain adaptation differ");
    }
}
BENCHMARK(BM_SideBySide200k)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_RBATH1M(benchmark::State& state) {
    const gridlib::SiteGrid blank = bench_grid();
    const Frame frame = survey::make_frame(blank, NW_E, NW_N, SPACING);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("sitegen_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "SURVEY.XYZ").string();
    {
        const Batch all = random_survey(frame, 1000000, 7);
        std::FILE* out = std::fopen(file.c_str(), "w");
        for (std::size_t s = 0; s < all.size(); ++s)
            std::fprintf(out, "%12.2f %12.2f %8.2f\n", static_cast<double>(all.e[s]),
                         static_cast<double>(all.n[s]), static_cast<double>(all.d[s]));
        std::fclose(out);
    }
    const survey::SurveySpec source{file, SPACING, {"E", "N", "D"}};
    survey::Outcome outcome;
    for (auto _ : state) {
        gridlib::SiteGrid grid = blank;
        outcome = survey::RBATH(source, grid, NW_E, NW_N);
        benchmark::DoNotOptimize(grid.depth.data());
    }
    state.counters["points"] = static_cast<double>(outcome.points_read);
    state.counters["batches"] = outcome.batches;
    state.counters["reached"] = outcome.grid_points_reached;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RBATH1M)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // A disagreement is a failure of the run, not just a line in the table.
    return verdict().ran && !verdict().agree ? 1 : 0;
}
