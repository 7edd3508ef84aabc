// Speed of the fate model: one whole run on a 64 x 64 deck with two
// fractions and 360 long-term steps (fate64/CLDX.DUE, written by
// tests/cloudex/make_decks.py), and the Gaussian spreading of one deposit.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "cloudex/clouds.hpp"
#include "cloudex/gridsetup.hpp"
#include "cloudex/run.hpp"

namespace fs = std::filesystem;

static void BM_FateRun64x64TwoFractions(benchmark::State& state) {
    const fs::path dir =
        fs::temp_directory_path() / ("cloudex_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(fs::path(BENCH_DATA_DIR) / "fate64" / "CLDX.DUE", dir / "CLDX.DUE",
                  fs::copy_options::overwrite_existing);
    const std::string base = (dir / "CLDX").string();
    for (auto _ : state) {
        auto run = std::make_unique<cloudex::Run>();
        if (cloudex::run_fate(*run, base) != cloudex::RunEnd::Completed) {
            state.SkipWithError("the fate run did not complete");
            break;
        }
        benchmark::DoNotOptimize(run->bottom[1].v.data());
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_FateRun64x64TwoFractions)->Unit(benchmark::kMillisecond);

static void BM_SpreadDeposit65x65(benchmark::State& state) {
    cloudex::Grid g;
    g.nmax = g.mmax = 65;
    g.dx = g.dz = 100.0f;
    for (float& d : g.depth.v) d = 50.0f;
    cloudex::assign_codes(g);
    cloudex::build_runs(g);
    cloudex::Field bottom;
    bottom.fill(0.0f);
    const auto sigma = static_cast<float>(state.range(0));
    for (auto _ : state) {
        cloudex::spread_deposit(g, bottom, 1.0f, 3210.0f, 3190.0f, sigma, sigma);
        benchmark::DoNotOptimize(bottom.v.data());
    }
}
BENCHMARK(BM_SpreadDeposit65x65)->Arg(50)->Arg(400)->Arg(5000);
