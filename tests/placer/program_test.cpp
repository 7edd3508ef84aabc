// Whole-program runs of placer beside stand-in cloudex and dredge scripts.
#include <cmath>
#include <numeric>

#include "placer/kernels.hpp"
#include "placer_fixture.hpp"
#include "recio/records.hpp"
#include "suitefiles/balance.hpp"
#include "suitefiles/placement_files.hpp"

namespace {

// All a run says when ACTION.BAT does not ask for it (on the error stream).
const std::string NOT_ASKED =
    "ACTION.BAT DOES NOT HOLD DUMPYES: START THIS PROGRAM WITH ./menu placer\n";

// Thickness row 21, column 21 of the 40 x 40 deposit block is the dump node.
const std::pair<int, int> DUMP_CELL{21, 21};

struct LoadLine {
    int remaining;
    float volume, e, n;
};

class Program : public PlacerFolder {
  protected:
    // 20 rows x 60 columns, 20 ft apart, 40 ft deep; NW corner (1000, 5000).
    gridlib::SiteGrid grid = make_grid(20, 60, 20, [](int) { return 40.0f; });
    placer::DumpControl ctl = test_control();
    Cells deposit{{DUMP_CELL, 1.0f}};

    // The folder of a run: the program, its flag, the site, DUMP.INI, a
    // stand-in fate model that leaves `deposit` (and logs its calls) and a
    // stand-in long-term model that logs its calls, keeps each PCD.INI and
    // resampled grid it is given and leaves plotbath.dat as PLOTBATH.DAT.
    void prepare() { prepare_placement_folder(grid, ctl, deposit); }
    static int calls(const std::string& log) { return static_cast<int>(lines(log).size()); }
    std::string console() const { return text("console.txt"); }
    bool said(const std::string& message) const {
        return console().find(message) != std::string::npos;
    }

    // The load lines of RUN1.ACT: after the 16 header records, up to the first continuation page.
    static std::vector<LoadLine> load_lines() {
        std::vector<LoadLine> out;
        const std::vector<std::string> act = lines("RUN1.ACT");
        for (std::size_t i = 16; i < act.size() && act[i].rfind('\f', 0) != 0; ++i)
            out.push_back({std::stoi(act[i].substr(3, 4)), std::stof(act[i].substr(21, 5)),
                           std::stof(act[i].substr(36, 12)), std::stof(act[i].substr(51, 12))});
        return out;
    }
    static gridlib::SiteGrid result(const std::string& file = "RUN1.IN") {
        gridlib::SiteGrid g;
        EXPECT_EQ(gridlib::RGRID1(file, g), gridlib::GRID_OK);
        return g;
    }
    static float depth(const gridlib::SiteGrid& g, int r, int c) {
        return g.depth[static_cast<std::size_t>(r * g.points_we + c)];
    }
    // Depth lowered over the whole site against a flat 40 ft.
    static double lowered(const gridlib::SiteGrid& g) {
        double s = 0.0;
        for (std::int32_t i = 0; i < g.total_points; ++i)
            s += 40.0 - static_cast<double>(g.depth[static_cast<std::size_t>(i)]);
        return s;
    }
};

// Placement file: a load inside the site, one outside, one on its boundary
// and one at the east edge of a row, whose deposit must not wrap into the
// next row; five loads asked for and four positions in the file.
TEST_F(Program, PlacementFileWithRefusedLoadsAndAnEastEdgeDump) {
    ctl.placement_mode = placer::PlacementMode::File;
    ctl.loads = 5;
    ctl.total_amount = 5000;
    ctl.placement_file = "PLACES.XY";
    ctl.aval_angle = 80.0f, ctl.post_angle = 70.0f;
    deposit = {{DUMP_CELL, 1.0f}, {{21, 23}, 0.5f}, {{21, 24}, 7.0f}};
    prepare();
    write_file("PLACES.XY", "1600.0 4800.0\n500.0, 4800.0\n1000.0 4800.0\n2140.0 4800.0\n");
    // Refused loads: the run ends with the status that tells of losses.
    ASSERT_EQ(run_placer(), 3) << console();
    EXPECT_TRUE(said("PLACES.XY HOLDS 4 POSITIONS FOR 5 LOADS"));
    const std::vector<LoadLine> loads = load_lines();
    ASSERT_EQ(loads.size(), 4u);
    const std::vector<std::pair<float, int>> expected = {
        {1600.0f, 4}, {500.0f, 3}, {1000.0f, 2}, {2140.0f, 1}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(loads[i].remaining, expected[i].second);
        EXPECT_FLOAT_EQ(loads[i].e, expected[i].first);
        EXPECT_FLOAT_EQ(loads[i].n, 4800.0f);
        EXPECT_FLOAT_EQ(loads[i].volume, 1000.0f);
    }
    EXPECT_EQ(calls("cloudex.log"), 2);
    EXPECT_TRUE(said("PLACEMENT OF DISPOSAL CYCLE IS OUTSIDE"));
    EXPECT_TRUE(said("PLACEMENT OF DISPOSAL CYCLE IS ON THE"));
    const gridlib::SiteGrid g = result();
    EXPECT_FLOAT_EQ(depth(g, 10, 30), 39.0f);
    EXPECT_FLOAT_EQ(depth(g, 10, 32), 39.5f);
    EXPECT_FLOAT_EQ(depth(g, 10, 33), 33.0f);
    EXPECT_FLOAT_EQ(depth(g, 10, 57), 39.0f);
    EXPECT_FLOAT_EQ(depth(g, 10, 59), 39.5f);
    EXPECT_FLOAT_EQ(depth(g, 11, 0), 40.0f);
    EXPECT_NEAR(lowered(g), 2 * 1.5 + 7.0, 1e-3);
    // The loads beyond the lateral tolerance: 1090 - 540, 590 - 540 and 550 - 540 ft.
    const std::string act = text("RUN1.ACT");
    EXPECT_NE(act.find("              2                                        550"),
              std::string::npos);
    EXPECT_NE(act.find("              3                                         50"),
              std::string::npos);
    EXPECT_NE(act.find("              4                                         10"),
              std::string::npos);
    EXPECT_NE(act.find("NAVIGABLE DEPTH HAS NOT BEEN EXCEEDED"), std::string::npos);
    EXPECT_NE(act.find("NUMBER OF LOADS TO PLACE ALL MATERIAL:    5"), std::string::npos);
    EXPECT_NE(act.find("AMOUNT MATERIAL PLACED AT SITE:    5000"), std::string::npos);
    // The refused loads' lines carry the marker after the northing, and the
    // positions of every line still read back.
    const std::vector<std::string> act_lines = lines("RUN1.ACT");
    EXPECT_EQ(act_lines[17].substr(act_lines[17].size() - 9), "  REFUSED");
    EXPECT_EQ(act_lines[18].substr(act_lines[18].size() - 9), "  REFUSED");
    EXPECT_EQ(act_lines[16].find("REFUSED"), std::string::npos);
    recio::RecordReader act_in("RUN1.ACT");
    std::vector<suitefiles::Position> positions;
    ASSERT_TRUE(suitefiles::read_load_positions(act_in, positions));
    ASSERT_EQ(positions.size(), 4u);
    EXPECT_FLOAT_EQ(positions[1].e, 500.0f);
    // The balance counts what was made, and only placed loads as placed volume.
    suitefiles::BalanceTotals t;
    ASSERT_TRUE(suitefiles::read_balance_totals("RUN1.BAL", t));
    EXPECT_EQ(t.get("loads_asked"), 5);
    EXPECT_EQ(t.get("loads_made"), 4);
    EXPECT_EQ(t.get("loads_placed"), 2);
    EXPECT_EQ(t.get("loads_refused"), 2);
    EXPECT_EQ(t.get("volume_placed_cy"), 2000);
    const std::string bal = text("RUN1.BAL");
    EXPECT_NE(bal.find("ONLY 4 OF THE 5 LOADS ASKED FOR WERE MADE"), std::string::npos);
    EXPECT_NE(bal.find("LOAD 2 WAS REFUSED"), std::string::npos);
    EXPECT_TRUE(said("MATERIAL BALANCE OF THE RUN"));
    // The site summary counts the loads of the activity.
    gridlib::SiteSummary s;
    ASSERT_EQ(gridlib::READG("RUN1.OUT", s), gridlib::GRID_OK);
    EXPECT_EQ(s.seq_since_last, 4);
    EXPECT_EQ(s.total_seq, 4);
    EXPECT_EQ(lines("RUN1.TIM"), std::vector<std::string>({"      0"}));
}

TEST_F(Program, RandomScatterStaysAboutTheCentre) {
    ctl.radius = 100.0f;
    ctl.direction_code = "NO";
    ctl.loads = 4;
    prepare();
    ASSERT_EQ(run_placer(), 0) << console();
    const std::vector<LoadLine> loads = load_lines();
    ASSERT_EQ(loads.size(), 4u);
    for (const LoadLine& l : loads) {
        EXPECT_EQ(std::fmod(l.e - 1000.0f, 20.0f), 0.0f);  // snapped to a grid point
        EXPECT_LE(std::hypot(l.e - 1600.0f, l.n - 4800.0f), 110.0f + 15.0f);
    }
    EXPECT_EQ(calls("cloudex.log"), 4);
    EXPECT_NEAR(lowered(result()), 4.0, 1e-3);
    EXPECT_TRUE(said("     CONDUCTING   DREDGED   MATERIAL   PLACEMENT"));
    EXPECT_TRUE(said("There are      3  dumps remaining for this"));
}

// --seed fixes the random scatter: the same seed gives the same files byte
// for byte (an ensemble compares its members on that), another seed other positions.
TEST_F(Program, TheSameSeedGivesTheSameFiles) {
    ctl.radius = 200.0f;
    ctl.direction_code = "NO";
    ctl.loads = 8;
    prepare();
    auto run_with_seed = [&](const char* seed) {
        const int status = std::system(
            (std::string("timeout 60 ./placer --seed ") + seed + " < /dev/null > console.txt 2>&1")
                .c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << console();
        std::vector<std::string> files;
        for (const char* f : {"RUN1.IN", "RUN1.OUT", "RUN1.DAT", "RUN1.TNS", "RUN1.ACT"})
            files.push_back(text(f));
        return files;
    };
    const std::vector<std::string> first = run_with_seed("42");
    EXPECT_EQ(run_with_seed("42"), first);
    const std::vector<std::string> other = run_with_seed("43");
    EXPECT_NE(other[4], first[4]);  // other dump positions in the report
}

// Along a line over two disposal weeks the loads carry on along the line in
// the second week, (load - 1) x 166 ft from its start, snapped to the grid.
TEST_F(Program, LineLoadsCoverTheWholeLineOverSeveralWeeks) {
    ctl.placement_mode = placer::PlacementMode::Line;
    ctl.line_start_e = 1100.0f, ctl.line_start_n = 4800.0f, ctl.line_end_e = 2100.0f,
    ctl.line_end_n = 4800.0f;
    ctl.loads = 6;
    ctl.disposal_days = 14, ctl.period_days = 14;
    prepare();
    ASSERT_EQ(run_placer(), 0) << console();
    std::vector<float> eastings;
    for (const LoadLine& l : load_lines()) eastings.push_back(l.e);
    // 1100, 1266, 1432, 1598, 1764, 1930 (halfway between two points: the western one)
    EXPECT_EQ(eastings, std::vector<float>({1100.0f, 1260.0f, 1440.0f, 1600.0f, 1760.0f, 1920.0f}));
}

TEST_F(Program, KeyboardPositionsUntilTheInputEnds) {
    ctl.placement_mode = placer::PlacementMode::Keyboard;
    ctl.loads = 3;
    prepare();
    ASSERT_EQ(run_placer("1600,4800\n 1700   4780\n"), 0) << console();
    const std::vector<LoadLine> loads = load_lines();
    ASSERT_EQ(loads.size(), 2u);
    EXPECT_FLOAT_EQ(loads[1].e, 1700.0f);
    EXPECT_FLOAT_EQ(loads[1].n, 4780.0f);
    EXPECT_TRUE(
        said("WHERE WITHIN THE DISPOSAL AREA IS THE PLACEMENT\nOPERATION TAKING PLACE ? "
             "(EASTING,NORTHING)\n"
             "FOR DUMP #       2  OF       3"));
    EXPECT_TRUE(said("NO MORE PLACEMENT POSITIONS FROM THE KEYBOARD"));
    EXPECT_TRUE(said("PRESS \"RETURN\" TO CONTINUE"));
    gridlib::SiteSummary s;
    ASSERT_EQ(gridlib::READG("RUN1.OUT", s), gridlib::GRID_OK);
    EXPECT_EQ(s.seq_since_last, 2);
}

// Every load of the activity is made, the count running down to 0, with the
// week plan kept (PCD.INI of each week).
TEST_F(Program, ScheduleMakesEveryLoad) {
    ctl.disposal_days = 28, ctl.period_days = 28;
    deposit = {};
    for (int loads : {30, 31}) {
        ctl.loads = static_cast<std::int16_t>(loads);
        prepare();
        ASSERT_EQ(run_placer(), 0) << console();
        const std::vector<LoadLine> made = load_lines();
        ASSERT_EQ(static_cast<int>(made.size()), loads);
        for (int k = 0; k < loads; ++k)
            EXPECT_EQ(made[static_cast<std::size_t>(k)].remaining, loads - 1 - k);
        EXPECT_EQ(calls("cloudex.log"), loads);
        EXPECT_EQ(lines("PCD.INI")[0], "  168    7   60   20    3    2    2");
        std::remove("cloudex.log");
    }
}

// The deposit file of the previous load is removed before each fate run, so
// a fate model that leaves none has failed rather than repeating a deposit.
TEST_F(Program, OneFailedFateRunIsSkippedTwoInARowEndTheRun) {
    ctl.loads = 3;
    prepare();
    write_script(
        "cloudex",
        "echo run >> cloudex.log\n[ $(wc -l < cloudex.log) -eq 2 ] || cp deposit.dut CLDX.DUT");
    ASSERT_EQ(run_placer(), 3) << console();  // finished, with a failed fate run
    EXPECT_EQ(load_lines().size(), 3u);
    EXPECT_TRUE(said("THERE WERE PROBLEMS ACCESSING CLDX.DUT"));
    std::vector<suitefiles::LoadBalance> rows;
    ASSERT_TRUE(suitefiles::read_balance_csv("RUN1.CSV", rows));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].status, suitefiles::LoadStatus::Failed);
    EXPECT_EQ(rows[1].added_cy, 0.0);
    EXPECT_NEAR(lowered(result()), 2.0, 1e-3);

    // The run that stops leaves the report of the run before it whole.
    std::remove("cloudex.log");
    std::remove("RUN1.IN");
    write_script("cloudex", "echo run >> cloudex.log");
    EXPECT_EQ(run_placer(), 1);
    EXPECT_EQ(load_lines().size(), 3u);
    EXPECT_TRUE(said("THERES A PROBLEM ACCESSING WAVREC.OUT & TIDE.DAT\n       OR      CLDXD"));
    EXPECT_EQ(calls("cloudex.log"), 2);
    EXPECT_FALSE(fs::exists("RUN1.IN"));
}

// Waves, tide and tidal current of the load's time step reach the deck.
TEST_F(Program, SeriesValuesReachTheDeck) {
    ctl.wave_source = placer::WaveSource::Series, ctl.tide_source = placer::TideSource::Series;
    ctl.loads = 1;
    prepare();
    fs::copy_file(fs::path(TEST_DATA_DIR) / "placer/series/WAVREC.OUT", "WAVREC.OUT");
    fs::copy_file(fs::path(TEST_DATA_DIR) / "placer/series/TIDE.DAT", "TIDE.DAT");
    fs::copy_file(fs::path(TEST_DATA_DIR) / "../examples/newport/TIDAL.DAT", "TIDAL.DAT");
    // A long-term grid left from an earlier run is not taken for this run's.
    write_records("PLOTBATH.DAT", plotbath_records(std::vector<float>(1200, 12.0f), 168,
                                                   std::vector<float>(1200, 12.0f)));
    // The long-term run left no grid: the run tells of it in its status.
    ASSERT_EQ(run_placer(), 3) << console();
    recio::RecordReader deck("CLDX.DUE");
    ASSERT_TRUE(deck.skip(7));
    float first_depth = 0.0f;
    deck.need("(10F8.3)", first_depth);
    EXPECT_FLOAT_EQ(first_depth, 40.0f + 3.728f);  // off-site node: mean depth + tide
    ASSERT_TRUE(deck.skip(44 * 5 - 1 + 2));
    float h = 0, t = 0, dir = 0;
    deck.need("(8F10.0)", h, t, dir);
    EXPECT_FLOAT_EQ(h, 3.51f);  // 1.07 m
    EXPECT_FLOAT_EQ(t, 8.3f);
    EXPECT_FLOAT_EQ(dir, 295.0f);
    ASSERT_TRUE(deck.skip(4));
    float vax = 0, vaz = 0, d = 0;
    deck.need("(8F10.0)", vax, vaz, d);
    EXPECT_FLOAT_EQ(vax, 0.30f);  // the tide flows south-south-west (-0.110, -0.301): x runs south
    EXPECT_FLOAT_EQ(vaz, -0.11f);
    EXPECT_FLOAT_EQ(d, 43.73f);  // long-term datum 40 + tide
    // The long-term model ran and left no grid: the depths are kept.
    EXPECT_EQ(calls("dredge.log"), 1);
    EXPECT_TRUE(said("COULD NOT OPEN PLOTBATH.DAT"));
    EXPECT_NEAR(lowered(result()), 1.0, 1e-3);
}

// A disposal week and a quiet week with the long-term model: its grid comes
// back each time, and the run-length file holds its elapsed hours.
TEST_F(Program, LongTermRunsAfterTheWeekAndForTheQuietWeeks) {
    ctl.wave_source = placer::WaveSource::Constant;
    ctl.disposal_days = 7, ctl.period_days = 14;
    prepare();
    write_records("plotbath.dat", plotbath_records(std::vector<float>(1200, 40.0f), 168,
                                                   std::vector<float>(1200, 33.0f)));
    ASSERT_EQ(run_placer(), 0) << console();
    EXPECT_EQ(calls("dredge.log"), 2);
    EXPECT_EQ(lines("pcd.1")[0], "    0    7   60   20    2    2    2");
    // The weekly runs work on the grid of the week, not on the output site.
    EXPECT_EQ(lines("pcd.1")[1], "PLWEEK.TNS                      ");
    EXPECT_EQ(lines("pcd.1").size(), 5u);  // no non-erodible bed for sand
    EXPECT_EQ(lines("pcd.1")[2], "   0.000   2.000   8.000 270.000  40.000  60.000");
    EXPECT_EQ(lines("pcd.1")[4], "   0.200   1  10.000   5.000   0.444");
    EXPECT_EQ(lines("pcd.2")[0], "   56    7   60   20    2    2    2");
    const gridlib::SiteGrid g = result();
    EXPECT_TRUE(
        std::all_of(g.depth.begin(), g.depth.begin() + 1200, [](float d) { return d == 33.0f; }));
    EXPECT_EQ(lines("RUN1.TIM"), std::vector<std::string>({"    168"}));
}

TEST_F(Program, LongTermModelIsNotStartedWithoutForcing) {
    ctl.disposal_days = 14, ctl.period_days = 21;
    ctl.loads = 2;
    prepare();
    ASSERT_EQ(run_placer(), 0) << console();
    EXPECT_FALSE(fs::exists("dredge.log"));
    EXPECT_EQ(lines("PCD.INI")[0], "   56    7   60   20    3    2    2");
}

TEST_F(Program, LongTermOnlyRun) {
    ctl.run_mode = placer::RunMode::LongTermOnly;
    ctl.wave_source = placer::WaveSource::Constant;
    ctl.period_days = 14;
    prepare();
    write_records("plotbath.dat", plotbath_records(std::vector<float>(1200, 40.0f), 336,
                                                   std::vector<float>(1200, 35.0f)));
    ASSERT_EQ(run_placer(), 0) << console();
    EXPECT_EQ(calls("dredge.log"), 1);
    EXPECT_EQ(lines("pcd.1")[0], "    0   14   60   20    2    2    1");
    EXPECT_EQ(lines("pcd.1")[1], "SITE.TNS                        ");
    EXPECT_FALSE(fs::exists("RUN1.ACT"));
    EXPECT_FALSE(fs::exists("cloudex.log"));
    EXPECT_FLOAT_EQ(depth(result(), 7, 7), 35.0f);
    EXPECT_EQ(lines("RUN1.TIM"), std::vector<std::string>({"    336"}));
    EXPECT_FALSE(said("Information describing the preceding DISPOSAL"));
    EXPECT_TRUE(said("on filename:\nRUN1.OUT"));
    // Its balance: the long-term run and the totals, no load rows.
    std::vector<suitefiles::LoadBalance> rows;
    ASSERT_TRUE(suitefiles::read_balance_csv("RUN1.CSV", rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(lines("RUN1.CSV").size(), 1u);  // the header row
    suitefiles::BalanceTotals t;
    ASSERT_TRUE(suitefiles::read_balance_totals("RUN1.BAL", t));
    EXPECT_EQ(t.get("loads_made", -1), 0);
    EXPECT_EQ(t.get("loads_asked", -1), 0);
    EXPECT_EQ(t.get("long_term_runs"), 1);
    const double risen = 5.0 * 1200 * 400.0 / 27.0;  // 5 ft over the whole site
    EXPECT_NEAR(t.get("long_term_net_cy"), risen, 0.5);
    EXPECT_NEAR(t.get("volume_on_site_cy"), risen, 0.5);
    EXPECT_EQ(t.get("mound_top_ft"), 35.0);
    const std::vector<std::string> bal = lines("RUN1.BAL");
    EXPECT_TRUE(std::any_of(bal.begin(), bal.end(), [](const std::string& l) {
        return l.rfind("  HOURS      0 TO    336: NET", 0) == 0;
    }));
    EXPECT_FALSE(said("NOTHING OF THE ACTIVITY STAYED ON THE SITE"));
    EXPECT_TRUE(said("MATERIAL BALANCE OF THE RUN"));
}

// The long-term model's consolidation reaches the balance: a load's deposit
// that the long-term run takes off the site is split into what consolidated
// (SETTLED.DAT) and what was moved off, and the shares add up. A run that
// writes no SETTLED.DAT is not credited with an earlier one's.
TEST_F(Program, ConsolidationOfTheLongTermRunIsInTheBalance) {
    ctl.wave_source = placer::WaveSource::Constant;
    ctl.loads = 1;
    ctl.disposal_days = 7, ctl.period_days = 7;
    prepare();
    // The deposit (1 ft on one 20 x 20 ft cell, 400 cu ft) is gone after the
    // week: 300 cu ft of it consolidated.
    write_records("plotbath.dat", plotbath_records(std::vector<float>(1200, 40.0f), 168,
                                                   std::vector<float>(1200, 40.0f)));
    ASSERT_TRUE(suitefiles::write_settlement("settled.dat", {0.75, 300.0}));
    ASSERT_EQ(run_placer(), 0) << console();
    suitefiles::BalanceTotals t;
    ASSERT_TRUE(suitefiles::read_balance_totals("RUN1.BAL", t));
    const double added = 400.0 / 27.0;
    EXPECT_NEAR(t.get("added_to_site_cy"), added, 1e-3);
    EXPECT_NEAR(t.get("long_term_net_cy"), -added, 1e-3);
    EXPECT_NEAR(t.get("long_term_consolidated_cy"), 300.0 / 27.0, 1e-3);
    EXPECT_NEAR(t.get("long_term_settlement_ft"), 0.75, 1e-6);
    EXPECT_NEAR(t.get("share_consolidated"), 0.75, 1e-4);
    EXPECT_NEAR(t.get("share_moved_off_by_long_term"), 0.25, 1e-4);
    EXPECT_NEAR(t.get("share_on_site"), 0.0, 1e-4);
    EXPECT_NEAR(t.get("share_on_site") + t.get("share_moved_off_by_long_term") +
                    t.get("share_consolidated"),
                1.0, 1e-4);
    EXPECT_TRUE(said("CONSOLIDATED 75.0 %"));
    const std::vector<std::string> bal = lines("RUN1.BAL");
    EXPECT_TRUE(std::any_of(bal.begin(), bal.end(), [](const std::string& l) {
        return l.find("CONSOLIDATED         11.1  SETTLEMENT   0.750 FT") != std::string::npos;
    }));

    // Again without the stand-in's file: the one left in the folder is old.
    fs::remove("settled.dat");
    fs::remove("dredge.log");
    ASSERT_EQ(run_placer(), 0) << console();
    ASSERT_TRUE(suitefiles::read_balance_totals("RUN1.BAL", t));
    EXPECT_EQ(t.get("long_term_consolidated_cy", -1), 0);
    EXPECT_NEAR(t.get("share_moved_off_by_long_term"), 1.0, 1e-4);
}

// Cohesive material: the long-term model works on the thickness over the
// base surface (here the starting depths, BASSE.IN being absent), laid on
// the reference depth.
TEST_F(Program, CohesiveMaterialIsHandedOverAsThicknessOverTheBaseSurface) {
    grid = make_grid(20, 60, 20, [](int i) { return 40.0f + 0.01f * static_cast<float>(i); });
    ctl.sediment_type = 2;
    ctl.wave_source = placer::WaveSource::Constant;
    ctl.loads = 1;
    ctl.disposal_days = 7, ctl.period_days = 14;
    prepare();
    fs::copy_file(fs::path(TEST_DATA_DIR) / "dredge/data/PCDDF_CLAY.DAT", "PCDDF2.DAT");
    write_records("plotbath.dat", plotbath_records(std::vector<float>(1200, 40.0f), 168,
                                                   std::vector<float>(1200, 39.0f)));
    ASSERT_EQ(run_placer(), 0) << console();
    const auto& d0 = grid.depth;
    const float ref = (d0[0] + d0[59] + d0[1140] + d0[1199] + 2.0f * d0[569]) / 6.0f;
    // The flat base of the thickness form is handed over as a non-erodible bed.
    const std::vector<std::string> pcd = lines("pcd.1");
    ASSERT_EQ(pcd.size(), 6u);
    EXPECT_NEAR(std::stof(pcd[5]), ref, 0.001);
    // Week 1: flat reference depth, less the 1 ft deposit at the dump.
    recio::RecordReader tns("tns.1");
    ASSERT_TRUE(tns.skip(2));
    std::vector<float> handed(1200);
    tns.need("(26F8.3)", recio::array(handed.data(), handed.size()));
    EXPECT_NEAR(*std::max_element(handed.begin(), handed.end()), ref, 0.001);
    EXPECT_NEAR(*std::min_element(handed.begin(), handed.end()), ref - 1.0f, 0.001);
    // Back from 1 ft of material everywhere: base depth less 1 ft of thickness over the reference.
    const gridlib::SiteGrid g = result();
    for (int i : {0, 100, 630, 1199})
        EXPECT_NEAR(g.depth[static_cast<std::size_t>(i)],
                    d0[static_cast<std::size_t>(i)] - (ref - 39.0f), 0.002)
            << i;
}

TEST_F(Program, AvalanchingDuringABusyWeekKeepsTheVolume) {
    ctl.loads = 22;
    prepare();
    ASSERT_EQ(run_placer(), 0) << console();
    std::size_t evaluations = 0;
    const std::string out = console();
    for (std::size_t at = out.find("Evaluating bathymetry"); at != std::string::npos;
         at = out.find("Evaluating bathymetry", at + 1))
        ++evaluations;
    EXPECT_EQ(evaluations, 2u);  // after loads 11 and 22
    const gridlib::SiteGrid g = result();
    EXPECT_NEAR(lowered(g), 22.0, 0.05);
    EXPECT_GT(depth(g, 10, 30), 18.0f);  // not 22 ft of pile on one node
    // The week's volume change is the sum of the deposits the balance lists
    // (avalanching moves material but keeps it), and its totals add up.
    std::vector<suitefiles::LoadBalance> rows;
    ASSERT_TRUE(suitefiles::read_balance_csv("RUN1.CSV", rows));
    ASSERT_EQ(rows.size(), 22u);
    double added = 0.0;
    for (const suitefiles::LoadBalance& r : rows) {
        EXPECT_NEAR(r.added_cy, 400.0 / 27.0, 1e-3) << r.load;  // 1 ft on one 20 x 20 ft cell
        added += r.added_cy;
    }
    const double site_change = lowered(g) * 400.0 / 27.0;
    EXPECT_NEAR(added, site_change, 0.05);
    suitefiles::BalanceTotals t;
    ASSERT_TRUE(suitefiles::read_balance_totals("RUN1.BAL", t));
    EXPECT_NEAR(t.get("added_to_site_cy"), added, 1e-3);
    EXPECT_NEAR(t.get("volume_on_site_cy"), site_change, 0.05);
    EXPECT_NEAR(t.get("volume_on_site_cy"), t.get("added_to_site_cy") + t.get("long_term_net_cy"),
                0.05);
    EXPECT_EQ(t.get("loads_placed") + t.get("loads_refused") + t.get("loads_failed"),
              t.get("loads_made"));
    EXPECT_EQ(t.get("volume_placed_cy"), 22 * 1000);
}

TEST_F(Program, StartUpProblemsEndTheRunBeforeAnyFileIsWritten) {
    struct Case {
        const char* what;
        std::string message;  // NOT_ASKED: a silent stop
        void (*change)(placer::DumpControl&);
        std::string action = "DUMPYES";
        std::size_t bad_record = 0;  // 1-based record of DUMP.INI spoiled
        bool other_summary = false;  // a summary file of another grid
        void (*files)() = nullptr;   // writes the series and data files of the case
    };
    // The first `records` lines of a series of the test data.
    static auto series_head = [](const char* name, std::size_t records) {
        std::vector<std::string> all = lines(std::string(TEST_DATA_DIR) + "/placer/series/" + name);
        all.resize(std::min(all.size(), records));
        write_records(name, all);
    };
    const std::vector<Case> cases = {
        // Silent on the console; the error stream says how to start it.
        {"not a placement run", NOT_ASKED, [](placer::DumpControl&) {}, "GRIDYES"},
        {"deck option", "DUMP.INI RECORD 9: KEY1 MUST BE 0",
         [](placer::DumpControl& c) { c.key1 = 1; }},
        {"profile", "DUMP.INI RECORD 21: A PLACEMENT RUN NEEDS",
         [](placer::DumpControl& c) { c.nprofile = 0; }},
        {"malformed record", "RECORD 8", [](placer::DumpControl&) {}, "DUMPYES", 8},
        {"placement file missing", "COULD NOT OPEN PLACEMENT FILE NOWHERE.XY",
         [](placer::DumpControl& c) {
             c.placement_mode = placer::PlacementMode::File, c.loads = 5,
             c.placement_file = "NOWHERE.XY";
         }},
        {"input order", "PROBLEM WITH PLACEMENT FILE INPUT ORDER",
         [](placer::DumpControl& c) {
             c.placement_mode = placer::PlacementMode::File, c.loads = 5, c.order = 0;
         }},
        {"summary of another grid",
         "THE SITE SUMMARY FILE SITE.OUT DOES NOT DESCRIBE THE GRID OF SITE.IN",
         [](placer::DumpControl&) {}, "DUMPYES", 0, true},
        // The series and data files the run reads later are checked before
        // the first load: a week of waves needs 57 records (dumps and the
        // long-term run from step 0 to 56), three loads of tide 38 (the last
        // dump is at step 37).
        {"wave series too short", "WAVREC.OUT HOLDS 20 DATA RECORDS; THE RUN NEEDS 57",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Series; }, "DUMPYES", 0,
         false, [] { series_head("WAVREC.OUT", 9 + 20); }},
        {"tide series too short", "TIDE.DAT HOLDS 20 DATA RECORDS; THE RUN NEEDS 38",
         [](placer::DumpControl& c) { c.tide_source = placer::TideSource::Series; }, "DUMPYES", 0,
         false, [] { series_head("TIDE.DAT", 3 + 20); }},
        {"tidal constituents missing", "COULD NOT OPEN TIDAL.DAT",
         [](placer::DumpControl& c) { c.tide_source = placer::TideSource::Series; }, "DUMPYES", 0,
         false, [] { series_head("TIDE.DAT", 1000); }},
        {"consolidation data missing", "COULD NOT READ PCDDF3.DAT",
         [](placer::DumpControl& c) { c.sediment_type = 3; }},
    };
    for (const Case& c : cases) {
        ctl = test_control();
        c.change(ctl);
        prepare();
        write_file("ACTION.BAT", c.action + "\n");
        if (c.other_summary) {
            write_site("OTHER", make_grid(20, 61, 20, [](int) { return 40.0f; }));
            fs::copy_file("OTHER.OUT", "SITE.OUT", fs::copy_options::overwrite_existing);
        }
        if (c.files) c.files();
        if (c.bad_record) {
            std::vector<std::string> recs = dump_ini_records(ctl);
            recs[c.bad_record - 1] = "  1.0.0";
            write_records("DUMP.INI", recs);
        }
        EXPECT_EQ(run_placer(), 1) << c.what;
        if (c.message == NOT_ASKED)
            EXPECT_EQ(console(), NOT_ASKED) << c.what;
        else
            EXPECT_TRUE(said(c.message)) << c.what << ": " << console();
        for (const char* f :
             {"RUN1.ACT", "PCD.INI", "CLDX.DUE", "RUN1.IN", "RUN1.TIM", "RUN1.BAL", "RUN1.CSV"})
            EXPECT_FALSE(fs::exists(f)) << c.what << " wrote " << f;
    }
}

// The site summary holds its sequence counts in four columns: a site with
// 9998 sequences and 3 more loads wrote asterisks, and no program could read
// the new summary again. The counts stop at 9999.
TEST_F(Program, SequenceCountsStopAt9999) {
    prepare();
    std::vector<std::string> summary = lines("SITE.OUT");
    summary[2].replace(12, 4, "9998");
    write_records("SITE.OUT", summary);
    ASSERT_EQ(run_placer(), 0) << console();
    EXPECT_TRUE(said("THE DISPOSAL SEQUENCE COUNTS OF THE SITE SUMMARY STOP AT 9999"));
    gridlib::SiteSummary s;
    ASSERT_EQ(gridlib::READG("RUN1.OUT", s), gridlib::GRID_OK);
    EXPECT_EQ(s.total_seq, 9999);
    EXPECT_EQ(s.seq_since_last, 3);
}

}  // namespace

namespace {

// A title with an escape sequence must not reach the terminal: whatever the
// run echoes of it shows the control characters as '?'.
TEST_F(Program, AnEscapeSequenceInTheTitleNeverReachesTheConsole) {
    ctl.title = "CLEAR \x1b[2J\x1b[H TITLE";
    prepare();
    run_placer();
    EXPECT_EQ(console().find('\x1b'), std::string::npos) << console();
}

}  // namespace
