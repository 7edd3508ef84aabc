// A placement of 200 loads over four disposal weeks on a 201 x 201 site, with
// the real fate model for every load and the long-term model every week,
// timed stage by stage. Runs in a temporary folder beside nothing but its own
// files; the fate and long-term programs are the ones built with it.
//
//   build/bin/chain_bench [loads]
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "placer/control.hpp"
#include "placer/driver.hpp"

namespace fs = std::filesystem;

namespace {

// A 201 x 201 site at 25 ft sloping gently from 45 to 65 ft, with low sand
// waves, stored with its summary.
void write_big_site() {
    gridlib::SiteGrid g;
    g.points_ns = g.points_we = 201;
    g.total_points = 201 * 201;
    g.interval = 25;
    g.datum = 55.0f;
    g.local_nw_e = 1000.0f;
    g.local_nw_n = 5000.0f;
    for (int i = 1; i <= g.total_points; ++i) {
        const int r = (i - 1) / 201, c = (i - 1) % 201;
        g.depth[static_cast<std::size_t>(i - 1)] =
            45.0f + 0.1f * static_cast<float>(c) +
            0.3f * std::sin(static_cast<float>(r + 2 * c) * 0.15f);
    }
    gridlib::ResampleWork work;
    gridlib::GRID1("BIG.IN", 1000.0f, 5000.0f, g, work, gridlib::GRID1_NEW, 0,
                   "CHAIN BENCHMARK SITE");
    gridlib::SiteSummary s;
    s.corners = {1000.0f, 5000.0f, 6000.0f, 5000.0f, 1000.0f,
                 0.0f,    6000.0f, 0.0f,    3500.0f, 2500.0f};
    s.ns_extent = s.we_extent = 5000;
    s.survey_interval = s.portrayal_interval = 25;
    std::int8_t turned = 0;
    gridlib::ARGPB("BIG.IN", "BIG.OUT", s, 1, turned);
}

// 1000 CY of fine sand a load, scattered 600 ft about the site centre, over
// four weeks with constant waves and a steady current (so the long-term
// model runs every week).
placer::DumpControl big_placement(std::int32_t loads) {
    placer::DumpControl c;
    c.site = "BIG";
    c.out = "BIGOUT";
    c.title = "CHAIN BENCHMARK";
    c.run_mode = placer::RunMode::Placement;
    c.wave_source = placer::WaveSource::Constant;
    c.tide_source = placer::TideSource::None;
    c.equipment = "SCOW1";
    c.kvessel = placer::VesselKind::SplitHullBarge;
    c.nbins = 1;
    c.load_volume = 1000.0f;
    c.wave_height = 2.0f, c.wave_period = 8.0f, c.wave_direction = 270.0f;
    c.nprt = 2, c.kwave = 1, c.kvel = 1;
    c.tstop = 1800.0f, c.dtl = 60.0f, c.trel = 10.0f, c.tprint1 = 900.0f, c.tprint2 = 1800.0f;
    c.rough = 0.005f, c.zref = 3.0f, c.gauge_depth = 60.0f;
    c.vessel_width = 40.0f, c.loaded_draft = 12.0f, c.light_draft = 4.0f, c.rhow = 1.0f;
    c.start_month = 6, c.start_year = 2024, c.end_month = 7, c.end_year = 2024;
    c.disposal_days = 28, c.period_days = 28;
    c.placement_mode = placer::PlacementMode::Scatter;
    c.technique = "RANDOM SCATTER";
    c.centre_e = 3500.0f, c.centre_n = 2500.0f, c.radius = 600.0f;
    c.direction_code = "NO";
    c.loads = loads;
    c.total_amount = 1000 * loads;
    c.order = 1;
    c.navigable_depth = 10;
    c.lateral_tolerance = 50;
    c.material = "FINE SAND";
    c.nlayer = 1, c.nfrac = 1;
    c.aval_angle = 10.0f, c.post_angle = 5.0f, c.grain_size = 0.2f;
    c.sediment_type = 1;
    c.bulk_void_ratio = 1.0f;
    placer::Fraction f;
    f.name = "SAND";
    f.sg = 2.65f, f.conc = 0.3f, f.diameter = 0.2f, f.void_ratio = 0.8f, f.taucd = 0.02f;
    c.fractions = {f};
    c.nprofile = 1;
    c.profile_depth[0] = 0.0f;
    c.profile_density[0] = 1.025f;
    c.speed1 = c.speed2 = 0.3f;
    c.direction1 = c.direction2 = 200.0f;
    c.switch_days = 14.0f;
    return c;
}

// Files this process holds open (less the one that reads the list).
int open_files() {
    int n = 0;
    for (auto it = fs::directory_iterator("/proc/self/fd"); it != fs::directory_iterator(); ++it)
        ++n;
    return n - 1;
}

// Resident memory of this process, kilobytes (0 where it cannot be read).
long resident_kb() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
    return resident * 4;
}

// Where a run spends its time, stage by stage (seconds of wall-clock time;
// for the child programs also the processor time they used themselves, so
// that wall - cpu is the cost of starting them and waiting on their files).
struct StageTimes {
    double fate_wall = 0, fate_cpu = 0;            // cloudex, once per load
    double long_term_wall = 0, long_term_cpu = 0;  // dredge, once per week
    double deck = 0, deposit = 0, getback = 0, avalanching = 0, grid_writing = 0;
    int fate_runs = 0, long_term_runs = 0;
    std::vector<long> rss_kb;     // resident memory after each load, kilobytes
    std::vector<int> open_files;  // files held open after each load
};

double& stage_total(StageTimes& t, placer::Stage stage) {
    switch (stage) {
        case placer::Stage::Deck:
            return t.deck;
        case placer::Stage::Deposit:
            return t.deposit;
        case placer::Stage::GetBack:
            return t.getback;
        case placer::Stage::Avalanching:
            return t.avalanching;
        case placer::Stage::GridWriting:
            break;
    }
    return t.grid_writing;
}

// The probes that fill `t`, hung into a run.
placer::RunObserver stage_timer(StageTimes& t) {
    using Clock = std::chrono::steady_clock;
    auto begun = std::make_shared<Clock::time_point>();
    placer::RunObserver o;
    o.stage_begins = [begun](placer::Stage) { *begun = Clock::now(); };
    o.stage_ends = [&t, begun](placer::Stage stage) {
        stage_total(t, stage) += std::chrono::duration<double>(Clock::now() - *begun).count();
    };
    o.child_ended = [&t](placer::Child child, const recio::ChildTimes& c) {
        const bool fate = child == placer::Child::FateModel;
        (fate ? t.fate_wall : t.long_term_wall) += c.wall;
        (fate ? t.fate_cpu : t.long_term_cpu) += c.cpu;
        (fate ? t.fate_runs : t.long_term_runs) += 1;
    };
    o.load_done = [&t](std::int32_t) {
        t.rss_kb.push_back(resident_kb());
        t.open_files.push_back(open_files());
    };
    return o;
}

double peak_child_mb() {
    struct rusage u {};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::int32_t loads = argc > 1 ? std::atoi(argv[1]) : 200;
    const fs::path dir = fs::temp_directory_path() / ("chain_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
    if (!std::freopen("/dev/null", "r", stdin)) return 1;

    write_big_site();
    if (!suitefiles::write_dump_ini("DUMP.INI", big_placement(loads))) return 1;
    std::ofstream("ACTION.BAT") << "DUMPYES\n";

    // The programs write a lot on the console; keep it out of the report.
    std::fflush(stdout);
    const int saved = dup(1);
    if (!std::freopen("console.log", "w", stdout)) return 1;
    const int files_before = open_files();
    StageTimes t;
    const placer::RunObserver observer = stage_timer(t);
    placer::RunOptions options;
    options.seed = 7;
    options.observer = &observer;
    const auto start = std::chrono::steady_clock::now();
    const int status = placer::run(options);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fflush(stdout);
    const int files_after = open_files();
    dup2(saved, 1);
    close(saved);

    const double starts = (t.fate_wall - t.fate_cpu) + (t.long_term_wall - t.long_term_cpu);
    const double accounted = t.fate_wall + t.long_term_wall + t.deck + t.deposit + t.getback +
                             t.avalanching + t.grid_writing;
    std::printf("Placement of %d loads, 4 disposal weeks, 201 x 201 site (exit status %d)\n", loads,
                status);
    std::printf("  %-42s %8.2f s\n", "whole run (wall)", wall);
    std::printf("  %-42s %8.2f s  (%d runs, %.1f ms each)\n", "fate model runs (cloudex, wall)",
                t.fate_wall, t.fate_runs, t.fate_runs ? 1000.0 * t.fate_wall / t.fate_runs : 0.0);
    std::printf("  %-42s %8.2f s  (%d runs)\n", "long-term runs (dredge, wall)", t.long_term_wall,
                t.long_term_runs);
    std::printf("  %-42s %8.2f s\n", "  of which process starts and file waits", starts);
    std::printf("  %-42s %8.2f s\n", "fate grids and decks (BUILD)", t.deck);
    std::printf("  %-42s %8.2f s\n", "deposit superposition (RDEPOS)", t.deposit);
    std::printf("  %-42s %8.2f s\n", "long-term read-back (GETBACK)", t.getback);
    std::printf("  %-42s %8.2f s\n", "avalanching (AVAL1)", t.avalanching);
    std::printf("  %-42s %8.2f s\n", "grid writing (GRID1, ARGPB)", t.grid_writing);
    std::printf("  %-42s %8.2f s\n", "everything else", wall - accounted);
    // Growth over the run: resident memory and open files after loads spread over it.
    const std::size_t made = t.rss_kb.size();
    if (made > 0) {
        std::printf("  %-42s %8ld kB after load 1, %ld kB after load %zu\n",
                    "placer resident memory", t.rss_kb.front(), t.rss_kb.back(), made);
        auto at = [made](int q) {
            return std::max<std::size_t>(1, made * static_cast<std::size_t>(q) / 4);
        };
        std::printf("  %-42s", "after load");
        for (int q = 0; q <= 4; ++q) std::printf(" %8zu", at(q));
        std::printf("\n  %-42s", "  resident memory (kB)");
        for (int q = 0; q <= 4; ++q) std::printf(" %8ld", t.rss_kb[at(q) - 1]);
        std::printf("\n  %-42s", "  open files");
        for (int q = 0; q <= 4; ++q) std::printf(" %8d", t.open_files[at(q) - 1]);
        std::printf("\n");
    }
    std::printf("  %-42s %8.1f MB\n", "largest child program", peak_child_mb());
    std::printf("  %-42s %8d before the run, %d after it\n", "open files", files_before,
                files_after);

    fs::current_path(fs::temp_directory_path());
    fs::remove_all(dir);
    return status;
}
