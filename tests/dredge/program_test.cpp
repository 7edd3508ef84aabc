// Whole runs of the program in a scratch folder, read back from
// PLOTBATH.DAT, STORE.DAT and the console.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dredge/driver.hpp"
#include "dredge/hydro.hpp"
#include "fixtures.hpp"
#include "suitefiles/balance.hpp"

namespace {

using dredge_test::Pcd;
using dredge_test::PlotBathFile;
using dredge_test::RunResult;
using dredge_test::TempDir;
namespace fs = dredge_test::fs;

// A 60-ft bed with a 10-ft mound in the middle of an nx x ny grid.
float mound_depth(int i, int j, int nx, int ny) {
    const float x = static_cast<float>(i) - 0.5f * static_cast<float>(nx + 1);
    const float y = static_cast<float>(j) - 0.5f * static_cast<float>(ny + 1);
    return 60.0f - 10.0f * std::exp(-(x * x + y * y) / 18.0f);
}

void write_site(const TempDir& dir, int nx, int ny, float dx = 50.0f) {
    dredge_test::write_tns(dir.file("SITE.TNS"), nx, ny, dx,
                           [&](int i, int j) { return mound_depth(i, j, nx, ny); });
}

// The table lines of the console: N, T and the eight values.
struct TableLine {
    int n = 0, t = 0;
    float sett = 0, tuvel = 0, tvvel = 0, tide = 0, deep_h = 0, period = 0, xcent = 0, ycent = 0;
};
std::vector<TableLine> table(const std::string& console) {
    std::vector<TableLine> lines;
    std::string piece;
    auto take = [&]() {
        TableLine l;
        char extra = 0;
        if (piece.size() >= 70 &&
            std::sscanf(piece.c_str(), "%d %d %f %f %f %f %f %f %f %f %c", &l.n, &l.t, &l.sett,
                        &l.tuvel, &l.tvvel, &l.tide, &l.deep_h, &l.period, &l.xcent, &l.ycent,
                        &extra) == 10)
            lines.push_back(l);
        piece.clear();
    };
    for (char ch : console) {
        if (ch == '\n' || ch == '\r')
            take();
        else
            piece += ch;
    }
    take();
    return lines;
}

std::string text_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<float> initial_depths(int nx, int ny) {
    std::vector<float> v;
    for (int i = 1; i <= nx; ++i)
        for (int j = 1; j <= ny; ++j)
            v.push_back(std::round(mound_depth(i, j, nx, ny) * 1000.0f) / 1000.0f);
    return v;
}

// With N0 = 1 a day runs from T = 3 to 27 h: the output interval falls at
// 24 h, and the run's own end (27 h) follows as the last grid of the file, the
// one the placement simulator takes back.
TEST(Program, OneDayRunMakesNinePassesAndEndsWithItsLastGrid) {
    TempDir dir;
    write_site(dir, 21, 17);
    Pcd pcd;
    pcd.nx = 21;
    pcd.ny = 17;
    pcd.speed1 = pcd.speed2 = 1.5f;
    pcd.write(dir.file("PCD.INI"));
    const RunResult r = dredge_test::run_program_in(dir);
    ASSERT_EQ(r.status, 0) << r.console;

    const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), 21, 17);
    EXPECT_EQ(p.header, " TIME =   00 HR    0.20000   0.02500  50.00000  50.00000");
    const std::vector<float> start = initial_depths(21, 17);
    for (std::size_t k = 0; k < start.size(); ++k) EXPECT_NEAR(p.initial[k], start[k], 1e-4f) << k;
    ASSERT_EQ(p.hours.size(), 2u);
    EXPECT_EQ(p.hours[0], 24);
    EXPECT_EQ(p.hours[1], 27);
    EXPECT_EQ(p.elapsed_records[0], "     ELAPSED TIME =         24 HOURS");
    EXPECT_EQ(p.elapsed_records[1], "     ELAPSED TIME =         27 HOURS");
    EXPECT_TRUE(p.end_marker);
    // 357 values: 13 full records of 26 and a short one of 19, per grid.
    const std::string file = text_of(dir.file("PLOTBATH.DAT"));
    EXPECT_NE(file.find("\n                          9999\n"), std::string::npos);

    const std::vector<TableLine> lines = table(r.console);
    ASSERT_EQ(lines.size(), 9u) << r.console;
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(lines[static_cast<std::size_t>(k)].n, k + 1);
        EXPECT_EQ(lines[static_cast<std::size_t>(k)].t, 3 * (k + 1));
    }
    EXPECT_NEAR(lines[0].tuvel, 1.5f, 0.005f);  // 1.5 ft/s toward the east
    EXPECT_NEAR(lines[0].tvvel, 0.0f, 0.005f);
    EXPECT_EQ(lines[0].tide, 0.0f);
    float h0 = 0.0f;
    dredge::SHOAL(2.0f, 8.0f, 40.0f, h0);
    EXPECT_NEAR(lines[0].deep_h, h0, 0.005f);
    EXPECT_EQ(lines[0].period, 8.0f);
    EXPECT_NE(r.console.find(
                  "    N   T     SETT    TUVEL   TVVEL   TIDE H   DEEP H   PERD   X-CENT  Y-CENT"),
              std::string::npos);
    EXPECT_NE(r.console.find(std::string(77, '*')), std::string::npos);
    EXPECT_NE(r.console.find("    ELAPSED TIME =         24 HOURS"), std::string::npos);
    // Later lines overwrite the table line in place.
    EXPECT_NE(r.console.find("\r" + std::string(70, ' ') + "\r    2    6"), std::string::npos);
}

TEST(Program, FirstStepZeroRunsAsStepOne) {
    TempDir zero, one;
    for (const TempDir* dir : {&zero, &one}) {
        write_site(*dir, 15, 15);
        Pcd pcd;
        pcd.n0 = dir == &zero ? 0 : 1;
        pcd.nx = pcd.ny = 15;
        pcd.speed1 = pcd.speed2 = 1.5f;
        pcd.write(dir->file("PCD.INI"));
        ASSERT_EQ(dredge_test::run_program_in(*dir).status, 0);
    }
    EXPECT_EQ(text_of(zero.file("PLOTBATH.DAT")), text_of(one.file("PLOTBATH.DAT")));
    EXPECT_EQ(text_of(zero.file("console.txt")), text_of(one.file("console.txt")));
}

TEST(Program, SecondDisposalWeekOutputsAtBothEndsOfTheWeek) {
    // The placement simulator starts week 2 at step 56: T runs 168..336 h.
    TempDir dir;
    write_site(dir, 11, 11, 100.0f);
    dredge_test::copy_data("WAVREC.OUT", dir, "WAVREC.OUT");
    Pcd pcd;
    pcd.n0 = 56;
    pcd.ndays = 7;
    pcd.nx = pcd.ny = 11;
    pcd.iwave = 1;
    pcd.write(dir.file("PCD.INI"));
    const RunResult r = dredge_test::run_program_in(dir);
    ASSERT_EQ(r.status, 0) << r.console;
    const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), 11, 11);
    EXPECT_EQ(p.hours, (std::vector<std::int32_t>{168, 336}));
    EXPECT_TRUE(p.end_marker);
    const std::vector<TableLine> lines = table(r.console);
    ASSERT_EQ(lines.size(), 57u);
    EXPECT_EQ(lines.front().n, 56);
    EXPECT_EQ(lines.back().n, 112);
    EXPECT_EQ(lines.front().period, 7.1f);  // wave record 56: 0.73 m, 7.1 s
}

TEST(Program, CalmStepsOnlyLimitSlopes) {
    // No waves, no tide, no current: a gentle mound stays as it is, and a
    // cliff at the east end of every line is avalanched without running off
    // the line; the deep-water height column stays at zero.
    TempDir dir;
    const int nx = 12, ny = 9;
    dredge_test::write_tns(dir.file("SITE.TNS"), nx, ny, 10.0f, [](int i, int j) {
        return i == 12 ? 20.0f
                       : 40.0f - 0.05f * static_cast<float>(j);  // a 20-ft rise at the east edge
    });
    Pcd pcd;
    pcd.nx = nx;
    pcd.ny = ny;
    pcd.iwave = 3;
    pcd.speed1 = pcd.speed2 = 0.0f;
    pcd.wave_t = 2.0f;
    pcd.gauge_const = 0.0f;  // never used in a calm run
    pcd.write(dir.file("PCD.INI"));
    const RunResult r = dredge_test::run_program_in(dir);
    ASSERT_EQ(r.status, 0) << r.console;
    EXPECT_FALSE(fs::exists(dir.file("TIDAL.DAT")));
    const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), nx, ny);
    ASSERT_TRUE(p.end_marker);
    ASSERT_EQ(p.grids.size(), 2u);  // at 24 h and at the run's end, 27 h
    const std::vector<float>& g = p.grids[0];
    double before = 0.0, after = 0.0;  // avalanches move material, never make or lose it
    for (std::size_t k = 0; k < g.size(); ++k) {
        before += static_cast<double>(p.initial[k]);
        after += static_cast<double>(g[k]);
    }
    EXPECT_NEAR(after, before, 0.01);
    for (int j = 2; j <= ny; ++j)
        EXPECT_LT(std::fabs(g[static_cast<std::size_t>(11 * ny + j - 1)] -
                            g[static_cast<std::size_t>(10 * ny + j - 1)]),
                  10.0f);
    for (const TableLine& l : table(r.console)) {
        EXPECT_EQ(l.deep_h, 0.0f);
        EXPECT_EQ(l.period, 3.0f);
        EXPECT_EQ(l.tuvel, 0.0f);
    }
}

TEST(Program, GentleCalmGridIsReturnedExactly) {
    TempDir dir;
    write_site(dir, 11, 11, 100.0f);
    Pcd pcd;
    pcd.nx = pcd.ny = 11;
    pcd.iwave = 3;
    pcd.speed1 = pcd.speed2 = 0.0f;
    pcd.write(dir.file("PCD.INI"));
    ASSERT_EQ(dredge_test::run_program_in(dir).status, 0);
    const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), 11, 11);
    ASSERT_EQ(p.grids.size(), 2u);  // at 24 h and at the run's end, 27 h
    EXPECT_EQ(p.grids[0], p.initial);
}

TEST(Program, GridOf250By100IsReadAs201By80) {
    TempDir dir;
    write_site(dir, 201, 80, 60.0f);
    Pcd pcd;
    pcd.nx = 250;
    pcd.ny = 100;
    pcd.iwave = 3;
    pcd.speed1 = pcd.speed2 = 0.0f;
    pcd.write(dir.file("PCD.INI"));
    const RunResult r = dredge_test::run_program_in(dir);
    ASSERT_EQ(r.status, 0) << r.console;
    const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), 201, 80);
    EXPECT_TRUE(p.end_marker);
    ASSERT_EQ(p.grids.size(), 2u);                       // at 24 h and at the run's end, 27 h
    EXPECT_NEAR(p.initial[100 * 80 + 39], 50.0f, 0.5f);  // the mound's top
}

TEST(Program, TideIsAddedForTheStepAndRemovedForTheOutput) {
    TempDir dir;
    write_site(dir, 11, 11, 100.0f);
    dredge_test::copy_data("TIDAL_SOUTH_BEACH.DAT", dir, "TIDAL.DAT");
    Pcd pcd;
    pcd.nx = pcd.ny = 11;
    pcd.iwave = 3;
    pcd.itide = 1;
    pcd.speed1 = pcd.speed2 = 0.0f;  // tidal level only: no current to move anything
    pcd.write(dir.file("PCD.INI"));
    const RunResult r = dredge_test::run_program_in(dir);
    ASSERT_EQ(r.status, 0) << r.console;
    const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), 11, 11);
    ASSERT_EQ(p.grids.size(), 2u);  // at 24 h and at the run's end, 27 h
    for (std::size_t k = 0; k < p.initial.size(); ++k)
        EXPECT_NEAR(p.grids[0][k], p.initial[k], 0.0015f);
    const std::vector<TableLine> lines = table(r.console);
    ASSERT_EQ(lines.size(), 9u);
    // Mean level 1.36 m plus the constituents at T = 3 h.
    const dredge::TideTable tides =
        dredge::read_tidal(dredge_test::data_file("TIDAL_SOUTH_BEACH.DAT"));
    EXPECT_NEAR(lines[0].tide, dredge::tide_at(tides, 3.0f).tide, 0.006f);
    EXPECT_GT(std::fabs(lines[0].tide - lines[1].tide), 0.1f);
}

TEST(Program, WaveSeriesIsPositionedByTheFirstStepAndCurrentsFollowTheTide) {
    TempDir dir;
    write_site(dir, 15, 13);
    dredge_test::copy_data("TIDAL_CHARLESTON.DAT", dir, "TIDAL.DAT");
    dredge_test::copy_data("WAVREC.OUT", dir, "WAVREC.OUT");
    Pcd pcd;
    pcd.n0 = 3;
    pcd.nx = 15;
    pcd.ny = 13;
    pcd.iwave = 1;
    pcd.itide = 1;
    pcd.angle = 30.0f;
    pcd.speed1 = pcd.speed2 = 0.0f;
    pcd.write(dir.file("PCD.INI"));
    const RunResult r = dredge_test::run_program_in(dir);
    ASSERT_EQ(r.status, 0) << r.console;
    const std::vector<TableLine> lines = table(r.console);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0].n, 3);
    EXPECT_EQ(lines[0].period, 7.7f);  // the third wave record: 0.88 m, 7.7 s
    float h0 = 0.0f;
    dredge::SHOAL(0.88f * 3.28f, 7.7f, 60.0f, h0);
    EXPECT_NEAR(lines[0].deep_h, h0, 0.005f);
    // The tidal current of T = 9 h, turned into the grid's axes.
    const dredge::TideTable tides =
        dredge::read_tidal(dredge_test::data_file("TIDAL_CHARLESTON.DAT"));
    const dredge::TideState s = dredge::tide_at(tides, 9.0f);
    const float speed = std::sqrt(s.u * s.u + s.v * s.v);
    const float phi = (30.0f + dredge::tidal_direction(s.u, s.v, 0.0f)) * 0.017453333f;
    EXPECT_NEAR(lines[0].tuvel, speed * std::sin(phi), 0.006f);
    EXPECT_NEAR(lines[0].tvvel, speed * std::cos(phi), 0.006f);
    const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), 15, 13);
    EXPECT_TRUE(p.end_marker);
    EXPECT_EQ(p.hours, (std::vector<std::int32_t>{24, 33}));  // 3N = 24 at N = 8, then the end
}

TEST(Program, CohesiveMoundConsolidates) {
    TempDir dir;
    const int n = 15;
    dredge_test::write_tns(dir.file("SITE.TNS"), n, n, 100.0f, [](int i, int j) {
        return (i >= 4 && i <= 12 && j >= 4 && j <= 12) ? 30.0f
                                                        : 60.0f;  // a 30-ft flat-topped mound
    });
    dredge_test::copy_data("PCDDF_CLAY.DAT", dir, "PCDDF2.DAT");
    Pcd pcd;
    pcd.nx = pcd.ny = n;
    pcd.ised = 2;
    pcd.speed1 = pcd.speed2 = 0.3f;
    pcd.a1 = 89.0f;  // the mound's sides stay as they are
    pcd.a2 = 88.0f;
    pcd.write(dir.file("PCD.INI"));
    const RunResult r = dredge_test::run_program_in(dir);
    ASSERT_EQ(r.status, 0) << r.console;
    EXPECT_TRUE(fs::exists(dir.file("STORE.DAT")));
    const std::vector<TableLine> lines = table(r.console);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_GT(lines[8].sett, lines[0].sett);
    EXPECT_GT(lines[8].sett, 0.0f);
    const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), n, n);
    ASSERT_EQ(p.grids.size(), 2u);            // at 24 h and at the run's end, 27 h
    EXPECT_GT(p.grids[0][7 * n + 7], 30.0f);  // the mound's top went down
}

// A cohesive run under strong waves erodes the flat native bed around a
// mound; with a non-erodible bed at that level (as a placement hands its
// thickness form over) no point goes below it, and the erosion held back is
// written to BEDHELD.DAT. Without the record the run is the same as before.
TEST(Program, NonErodibleBedKeepsTheNativeBed) {
    const int n = 15;
    auto run_with = [&](float bed, double& held, float& deepest) {
        TempDir dir;
        dredge_test::write_tns(dir.file("SITE.TNS"), n, n, 100.0f, [](int i, int j) {
            return (i >= 6 && i <= 10 && j >= 6 && j <= 10) ? 18.0f : 20.0f;
        });
        dredge_test::copy_data("PCDDF_CLAY.DAT", dir, "PCDDF2.DAT");
        Pcd pcd;
        pcd.nx = pcd.ny = n;
        pcd.ised = 2;
        pcd.wave_h = 8.0f, pcd.wave_t = 10.0f, pcd.gauge_const = 20.0f;
        pcd.speed1 = pcd.speed2 = 2.0f;
        pcd.bed = bed;
        pcd.write(dir.file("PCD.INI"));
        const RunResult r = dredge_test::run_program_in(dir);
        ASSERT_EQ(r.status, 0) << r.console;
        const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), n, n);
        ASSERT_FALSE(p.grids.empty());
        deepest = *std::max_element(p.grids.back().begin(), p.grids.back().end());
        if (!suitefiles::read_bed_held(dir.file("BEDHELD.DAT"), held)) held = -1.0;
    };
    double held = 0.0;
    float deepest = 0.0f;
    run_with(0.0f, held, deepest);
    EXPECT_GT(deepest, 20.01f);  // the native bed eroded
    EXPECT_EQ(held, -1.0);       // no bed asked for, no file
    run_with(20.0f, held, deepest);
    EXPECT_LE(deepest, 20.0f);
    EXPECT_GT(held, 0.0);
}

// Consolidation alone (cohesive material, calm water, no current: nothing is
// transported and the slopes of the low mound stay within their angles): the
// volume SETTLED.DAT gives is the volume the grid lost, and its settlement
// is the lowering of the mound under its centroid. Sand does not
// consolidate and leaves no such file.
TEST(Program, SettlementIsTheVolumeConsolidationTookOffTheGrid) {
    const int n = 15;
    const float dx = 100.0f;
    auto height = [](int i, int j) {
        return (i >= 5 && i <= 11 && j >= 5 && j <= 11) ? 4.0f : 0.0f;  // a 4 ft high block
    };
    struct Result {
        bool written = false;
        suitefiles::Settlement s;
        double lost_cuft = 0;
        float centre_lowering = 0;
    };
    auto run_with = [&](std::int32_t ised) {
        TempDir dir;
        dredge_test::write_tns(dir.file("SITE.TNS"), n, n, dx,
                               [&](int i, int j) { return 20.0f - height(i, j); });
        dredge_test::copy_data("PCDDF_CLAY.DAT", dir, "PCDDF2.DAT");
        Pcd pcd;
        pcd.nx = pcd.ny = n;
        pcd.ndays = 7;
        pcd.iwave = 3, pcd.itide = 2;
        pcd.wave_h = 0.0f;
        pcd.speed1 = pcd.speed2 = 0.0f;
        pcd.ised = ised;
        pcd.write(dir.file("PCD.INI"));
        const RunResult r = dredge_test::run_program_in(dir);
        Result out;
        EXPECT_EQ(r.status, 0) << r.console;
        const PlotBathFile p = dredge_test::read_plotbath(dir.file("PLOTBATH.DAT"), n, n);
        if (p.grids.empty()) return out;
        const std::vector<float>& first = p.initial;
        const std::vector<float>& last = p.grids.back();
        for (std::size_t k = 0; k < last.size(); ++k)
            out.lost_cuft += (static_cast<double>(last[k]) - static_cast<double>(first[k])) *
                             static_cast<double>(dx) * static_cast<double>(dx);
        const std::size_t centre = static_cast<std::size_t>(7 * n + 7);
        out.centre_lowering = last[centre] - first[centre];
        out.written = suitefiles::read_settlement(dir.file("SETTLED.DAT"), out.s);
        return out;
    };
    const Result clay = run_with(2);
    ASSERT_TRUE(clay.written);
    EXPECT_GT(clay.lost_cuft, 100.0);  // the mound did settle
    // PLOTBATH.DAT holds depths to 0.001 ft: half of that at each point.
    const double rounding = 0.0005 * static_cast<double>(dx) * static_cast<double>(dx) * n * n;
    EXPECT_NEAR(clay.s.volume_cuft, clay.lost_cuft, rounding);
    EXPECT_NEAR(clay.s.settlement_ft, clay.centre_lowering, 0.002);
    const Result sand = run_with(1);
    EXPECT_FALSE(sand.written);
    EXPECT_NEAR(sand.lost_cuft, 0.0, 1e-6);
}

// Runs that cannot go on stop with a message naming the file or value and a
// non-zero status; PLOTBATH.DAT is then absent (stopped before the first
// step) or lacks its end marker (stopped during the steps).
TEST(Program, UnusableInputsStopTheRunWithAMessage) {
    struct Case {
        const char* name;
        std::function<void(const TempDir&, Pcd&)> setup;
        const char* says;
        bool stepping;
    };
    const Case cases[] = {
        {"no PCD.INI", [](const TempDir& d, Pcd&) { fs::remove(d.file("PCD.INI")); }, "PCD.INI",
         false},
        {"wave source 4", [](const TempDir&, Pcd& p) { p.iwave = 4; }, "IWAVE", false},
        {"no tide table", [](const TempDir&, Pcd& p) { p.itide = 1; }, "TIDAL.DAT", false},
        {"no grid file", [](const TempDir& d, Pcd&) { fs::remove(d.file("SITE.TNS")); }, "SITE.TNS",
         false},
        {"short grid file",
         [](const TempDir& d, Pcd&) {
             dredge_test::write_tns(d.file("SITE.TNS"), 5, 5, 50.0f,
                                    [](int, int) { return 30.0f; });
         },
         "SITE.TNS", false},
        {"grid file one row short",
         [](const TempDir& d, Pcd&) {
             dredge_test::write_tns(d.file("SITE.TNS"), 15, 14, 50.0f,
                                    [](int, int) { return 30.0f; });
         },
         "HOLDS 210 DEPTHS", false},
        {"no wave series", [](const TempDir&, Pcd& p) { p.iwave = 1; }, "WAVREC.OUT", false},
        {"wave series shorter than the first step",
         [](const TempDir& d, Pcd& p) {
             p.iwave = 1;
             p.n0 = 500;
             dredge_test::copy_data("WAVREC.OUT", d, "WAVREC.OUT");
         },
         "WAVREC.OUT", false},
        {"wave series ends during the run",
         [](const TempDir& d, Pcd& p) {
             p.iwave = 1;
             std::ifstream in(dredge_test::data_file("WAVREC.OUT"));
             std::ofstream out(d.file("WAVREC.OUT"));
             std::string line;
             for (int k = 0; k < 12 && std::getline(in, line); ++k) out << line << "\n";
         },
         "WAVREC.OUT", true},
        {"no consolidation data", [](const TempDir&, Pcd& p) { p.ised = 2; }, "PCDDF2.DAT", true},
        {"cohesive option 3",
         [](const TempDir&, Pcd& p) {
             p.ised = 2;
             p.icoh = 3;
         },
         "ICOH", false},
        {"dry cell",
         [](const TempDir& d, Pcd&) {
             dredge_test::write_tns(d.file("SITE.TNS"), 15, 15, 50.0f,
                                    [](int i, int j) { return i == 4 && j == 6 ? 0.0f : 30.0f; });
         },
         "I = 4, J = 6", true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        write_site(dir, 15, 15);
        std::ofstream(dir.file("PLOTBATH.DAT"))
            << " an earlier run's result\n                          9999\n";
        Pcd pcd;
        pcd.nx = pcd.ny = 15;
        pcd.write(dir.file("PCD.INI"));
        c.setup(dir, pcd);
        if (fs::exists(dir.file("PCD.INI"))) pcd.write(dir.file("PCD.INI"));
        const RunResult r = dredge_test::run_program_in(dir);
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_NE(r.console.find(c.says), std::string::npos) << c.name << "\n" << r.console;
        if (c.stepping) {
            const std::string file = text_of(dir.file("PLOTBATH.DAT"));
            EXPECT_EQ(file.rfind(" TIME =   00 HR ", 0), 0u) << c.name;
            EXPECT_EQ(file.find("9999"), std::string::npos) << c.name;
        } else {
            EXPECT_FALSE(fs::exists(dir.file("PLOTBATH.DAT"))) << c.name;
        }
    }
}

}  // namespace
