// The schedule in time, the currents, the dump positions and the series files.
#include "placer/schedule.hpp"

#include <cmath>
#include <numeric>

#include "placer_fixture.hpp"

namespace {

using placer::Schedule;

TEST(Schedule, WeeksOfAPeriod) {
    // A part-week counts when it exceeds 0.14 of the whole weeks.
    const std::vector<std::pair<int, int>> cases = {{0, 1},  {3, 1},  {7, 1},  {8, 2}, {14, 2},
                                                    {15, 2}, {22, 3}, {29, 4}, {36, 5}};
    for (auto [days, weeks] : cases) EXPECT_EQ(placer::weeks_of(days), weeks) << days;
}

TEST(Schedule, LoadsPerWeekAndTheUnevenFlag) {
    struct Case {
        int loads, disposal_days, period_days;
        int weeks, disposal_weeks, per_week;
        float remainder;
        bool uneven;
        int quiet;
    };
    for (const Case& c :
         {Case{30, 28, 28, 4, 4, 7, 2.0f, false, 0}, Case{31, 28, 28, 4, 4, 7, 3.0f, true, 0},
          Case{3, 28, 35, 5, 1, 3, 0.0f, false, 4},    // fewer loads than weeks: one week
          Case{20, 28, 14, 2, 2, 10, 0.0f, false, 0},  // disposal weeks at most the period's
          Case{10, 7, 21, 3, 1, 10, 0.0f, false, 2}}) {
        const Schedule s = placer::make_schedule(c.loads, c.disposal_days, c.period_days,
                                                 placer::RunMode::Placement);
        EXPECT_EQ(s.weeks, c.weeks) << c.loads;
        EXPECT_EQ(s.disposal_weeks, c.disposal_weeks) << c.loads;
        EXPECT_EQ(s.per_week, c.per_week) << c.loads;
        EXPECT_FLOAT_EQ(s.remainder, c.remainder) << c.loads;
        EXPECT_EQ(s.uneven, c.uneven) << c.loads;
        EXPECT_EQ(s.quiet_weeks, c.quiet) << c.loads;
    }
    const Schedule longterm = placer::make_schedule(0, 0, 15, placer::RunMode::LongTermOnly);
    EXPECT_EQ(longterm.quiet_weeks, 2);
    EXPECT_EQ(longterm.disposal_weeks, 0);
}

// The week plan is kept, but every load of the activity is made: the last
// disposal week makes all loads still remaining.
TEST(Schedule, EveryLoadIsMade) {
    struct Case {
        int loads, days;
        std::vector<int> weeks;
    };
    for (const Case& c :
         {Case{30, 28, {7, 7, 7, 9}}, Case{31, 28, {8, 7, 7, 9}}, Case{28, 28, {7, 7, 7, 7}},
          Case{3, 28, {3}}, Case{35, 28, {9, 8, 8, 10}}, Case{1, 7, {1}}}) {
        const Schedule s =
            placer::make_schedule(c.loads, c.days, c.days, placer::RunMode::Placement);
        std::vector<int> made;
        int total = 0;
        for (int w = 1; w <= s.disposal_weeks; ++w) {
            made.push_back(placer::week_loads(s, w, c.loads, total));
            total += made.back();
        }
        EXPECT_EQ(made, c.weeks) << c.loads;
        EXPECT_EQ(total, c.loads);
    }
    // A week never makes more loads than remain (a short placement file ends earlier weeks).
    const Schedule s = placer::make_schedule(31, 28, 28, placer::RunMode::Placement);
    EXPECT_EQ(placer::week_loads(s, 1, 31, 25), 6);
    EXPECT_EQ(placer::week_loads(s, 2, 31, 31), 0);
}

TEST(Schedule, DumpsSpreadOverTheWeekInThreeHourSteps) {
    EXPECT_EQ(placer::dump_time_step(7, 1, 0), 0);
    EXPECT_EQ(placer::dump_time_step(7, 2, 0), 8);     // one load a day
    EXPECT_EQ(placer::dump_time_step(14, 2, 56), 60);  // two a day, second week
    EXPECT_EQ(placer::dump_time_step(9, 9, 0), 49);    // int(24 / (9/7) x 8 / 3)
}

// The fate grid grows to 64 x 64 on a large site when the drift nears the
// 44-node grid's half width (430 ft at 20 ft spacing); past the half width the
// duration is cut to the crossing time in whole hundreds of seconds.
TEST(Schedule, FateGridAndDurationFitTheDrift) {
    placer::SiteFrame big;
    big.points_we = big.points_ns = 100;
    big.interval = 20;
    placer::SiteFrame small = big;
    small.points_we = small.points_ns = 40;
    placer::Vessel still, fast;
    fast.vx = 5.0f;
    struct Case {
        const char* what;
        const placer::SiteFrame& site;
        const placer::Vessel& vessel;
        float current, tstop;
        int size;
        float expected;
    };
    // Settling drift 40 / 0.1 x current x 0.8 = 320 x current ft; vessel travel 5 x 200 x 0.7 = 700
    // ft.
    for (const Case& c :
         {Case{"slow current", big, still, 0.5f, 1800.0f, 44, 1800.0f},
          Case{"64 nodes hold it", big, still, 1.5f, 1800.0f, 64, 1800.0f},
          Case{"64 nodes cut short", big, still, 2.5f, 1800.0f, 64, 200.0f},  // 630 / 2.5 = 252 s
          Case{"small site cut short", small, still, 1.5f, 1800.0f, 44,
               200.0f},  // 430 / 1.5 = 286 s
          Case{"at least 100 s", small, still, 10.0f, 1800.0f, 44, 100.0f},
          Case{"never lengthened", small, still, 1.5f, 150.0f, 44, 150.0f},
          Case{"vessel drift, no current", big, fast, 0.0f, 1800.0f, 64, 1800.0f}}) {
        placer::DumpConditions cond;
        cond.current_y = -c.current;
        placer::FateTiming timing{c.tstop, c.tstop / 2.0f, c.tstop};
        placer::fit_fate_grid(40.0f, 0.1f, c.vessel, 200.0f, c.site, cond, timing);
        EXPECT_EQ(cond.rows, c.size) << c.what;
        EXPECT_EQ(cond.cols, c.size) << c.what;
        EXPECT_EQ(cond.tstop, c.expected) << c.what;
        EXPECT_EQ(cond.tprint1, c.expected / 2.0f) << c.what;
        EXPECT_EQ(cond.tprint2, c.expected) << c.what;
        EXPECT_EQ(timing.tstop, c.expected) << c.what;
    }
    // A cut duration stays in force for the loads after it.
    placer::FateTiming timing{1800.0f, 900.0f, 1800.0f};
    placer::DumpConditions cond;
    cond.current_x = 2.5f;
    placer::fit_fate_grid(40.0f, 0.1f, still, 200.0f, big, cond, timing);
    cond.current_x = 0.1f;
    placer::fit_fate_grid(40.0f, 0.1f, still, 200.0f, big, cond, timing);
    EXPECT_EQ(cond.rows, 44);
    EXPECT_EQ(cond.tstop, 200.0f);
}

TEST(Current, CthetaAtTheAxesAndInTheQuadrants) {
    struct Case {
        float u, v, bearing;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{0, 1, 0}, Case{1, 0, 90}, Case{0, -1, 180},
                          Case{-1, 0, 270}, Case{1, 1, 45}, Case{1, -1, 135}, Case{-1, -1, 225},
                          Case{-1, 1, 315}, Case{1, 2, 26.565f}})
        EXPECT_NEAR(placer::CTHETA(c.u, c.v), c.bearing, 0.001) << c.u << " " << c.v;
}

TEST(Current, ScheduleAndTideAddAlongTheGridAxes) {
    placer::DumpControl c = test_control();
    c.speed1 = 1.0f, c.direction1 = 90.0f, c.switch_days = 2.0f, c.speed2 = 0.5f,
    c.direction2 = 0.0f;
    const placer::Current east = placer::schedule_current(c, 0.0f, 1.875f);
    EXPECT_FLOAT_EQ(east.speed, 1.0f);
    EXPECT_NEAR(east.x, 0.0f, 1e-5);  // x runs down the rows (south), y along them (east)
    EXPECT_FLOAT_EQ(east.y, 1.0f);
    const placer::Current north = placer::schedule_current(c, 0.0f, 2.0f);
    EXPECT_FLOAT_EQ(north.speed, 0.5f);
    EXPECT_FLOAT_EQ(north.x, -0.5f);
    float x = 0, y = 0;
    placer::total_current(0.0f, 1.0f, 0.0f, north, x, y);  // a northward tidal current of 1 ft/s
    EXPECT_FLOAT_EQ(x, -1.5f);
    EXPECT_NEAR(y, 0.0f, 1e-6);
    placer::total_current(0.0f, 1.0f, 90.0f, placer::Current{}, x, y);  // grid turned by 90 degrees
    EXPECT_NEAR(x, 0.0f, 1e-4);
    EXPECT_NEAR(y, 1.0f, 1e-6);
}

TEST(Positions, DirectionSectors) {
    struct Case {
        const char* code;
        float bearing, weight;
    };
    for (const Case& c : {Case{"NO", 0, 1},      Case{"NO", 90, 1},  Case{"NO", 91, 0.5f},
                          Case{"NO", 271, 1},    Case{"EA", 0, 1},   Case{"EA", 180, 0.5f},
                          Case{"SO", 90, 0.5f},  Case{"SO", 270, 1}, Case{"WE", 180, 0.5f},
                          Case{"WE", 360, 1},    Case{"NE", 315, 1}, Case{"NE", 135, 1},
                          Case{"NE", 136, 0.5f}, Case{"SE", 45, 1},  Case{"SE", 225, 0.5f},
                          Case{"SW", 135, 0.5f}, Case{"SW", 315, 1}, Case{"NW", 45, 1},
                          Case{"NW", 46, 0.5f},  Case{"NW", 226, 1}}) {
        float w = -1.0f;
        placer::sector_weight(c.code, c.bearing, w);
        EXPECT_EQ(w, c.weight) << c.code << " " << c.bearing;
    }
    float w = 0.7f;
    placer::sector_weight("XX", 10.0f, w);
    EXPECT_EQ(w, 0.7f);
}

TEST(Positions, RandomScatterAboutTheCentre) {
    placer::DumpControl c = test_control();
    c.centre_e = 1000.0f, c.centre_n = 5000.0f, c.radius = 100.0f, c.direction_code = "NO";
    recio::UniformRandom random(7);
    float weight = 0.0f;
    int far_north = 0;
    for (int i = 0; i < 400; ++i) {
        const suitefiles::Position p = placer::scatter_position(c, placer::Scale{}, random, weight);
        const float de = p.e - 1000.0f, dn = p.n - 5000.0f;
        const float r = std::sqrt(de * de + dn * dn);
        ASSERT_LE(r, 110.01f);
        // Beyond 0.55 radius only loads of full weight lie: bearings in the northern half.
        if (r > 55.1f) {
            EXPECT_GE(dn, -1e-3f);
            ++far_north;
        }
    }
    EXPECT_GT(far_north, 100);
    // An unknown direction code keeps the weight at 0: every load at the centre.
    c.direction_code = "XX";
    weight = 0.0f;
    for (int i = 0; i < 5; ++i) {
        const suitefiles::Position p = placer::scatter_position(c, placer::Scale{}, random, weight);
        EXPECT_EQ(p.e, 1000.0f);
        EXPECT_EQ(p.n, 5000.0f);
    }
}

TEST(Positions, LineLoadsSpreadOverTheWholeLine) {
    placer::DumpControl c = test_control();
    c.loads = 10;
    c.line_start_e = 2000.0f, c.line_start_n = 5000.0f, c.line_end_e = 1000.0f,
    c.line_end_n = 4000.0f;
    const placer::Line line = placer::line_setup(c, placer::Scale{});
    EXPECT_EQ(line.length, 1414);
    EXPECT_EQ(line.spacing, 141);
    // Load n of the activity (not of its week) lies (n - 1) x spacing from the start.
    for (int load : {1, 2, 10}) {
        const suitefiles::Position p = placer::line_position(line, placer::Scale{}, load);
        const float along = static_cast<float>((load - 1) * 141) / std::sqrt(2.0f);
        EXPECT_NEAR(p.e, 2000.0f - along, 0.01) << load;
        EXPECT_NEAR(p.n, 5000.0f - along, 0.01) << load;
    }
    // Longitudes are positive to the west: a line to the east runs to smaller longitudes.
    placer::SiteFrame geo;
    geo.coord_system = 2;
    geo.nw_n = 44.6f;
    const placer::Scale sc = placer::scale_of(geo);
    c.line_start_e = 124.00f, c.line_start_n = 44.60f, c.line_end_e = 123.99f,
    c.line_end_n = 44.60f;
    const placer::Line east = placer::line_setup(c, sc);
    float previous = 124.01f;
    for (int load = 1; load <= 10; ++load) {
        const suitefiles::Position p = placer::line_position(east, sc, load);
        EXPECT_LT(p.e, previous) << load;
        EXPECT_GE(p.e, 123.99f) << load;
        EXPECT_FLOAT_EQ(p.n, 44.60f);
        previous = p.e;
    }
}

class Series : public PlacerFolder {};

TEST_F(Series, ValuesOfATimeStep) {
    fs::copy_file(fs::path(TEST_DATA_DIR) / "placer/series/WAVREC.OUT", "WAVREC.OUT");
    fs::copy_file(fs::path(TEST_DATA_DIR) / "placer/series/TIDE.DAT", "TIDE.DAT");
    placer::SeriesFiles files;
    ASSERT_TRUE(files.open(true, true));
    placer::SeriesValues v;
    files.values(4, v);  // fifth data record: 1908011210 0.88 m, 6.9 s, 291 degrees
    EXPECT_FLOAT_EQ(v.wave_height, 0.88f * 3.28f);
    EXPECT_FLOAT_EQ(v.wave_period, 6.9f);
    EXPECT_FLOAT_EQ(v.wave_direction, 291.0f);
    const std::vector<std::string> tide = lines("TIDE.DAT");
    EXPECT_FLOAT_EQ(v.tide, std::stof(tide[3 + 4].substr(8, 8)));
    EXPECT_FLOAT_EQ(v.v, std::stof(tide[3 + 4].substr(24, 8)));
    files.values(0, v);
    EXPECT_FLOAT_EQ(v.wave_height, 1.07f * 3.28f);
    EXPECT_THROW(files.values(230, v), recio::RecordError);  // the wave series holds 230 steps
    placer::SeriesFiles missing;
    EXPECT_FALSE(missing.open(true, false, "NONE.OUT"));
    placer::SeriesFiles tide_only;
    ASSERT_TRUE(tide_only.open(false, true));
    placer::SeriesValues constant;
    constant.wave_height = 2.0f;
    tide_only.values(1, constant);
    EXPECT_EQ(constant.wave_height, 2.0f);
}

// A current too weak to carry the load across the fate grid in a countable
// number of seconds leaves the duration alone; before, the crossing time was
// turned into a 32-bit count beyond its range and the duration cut to 100 s.
TEST(Schedule, CurrentTooWeakToCrossTheGridLeavesTheDuration) {
    placer::SiteFrame site;
    site.points_we = site.points_ns = 40;
    site.interval = 20;
    placer::Vessel fast;
    fast.vx = 5.0f;  // vessel travel 5 x 200 x 0.7 = 700 ft, beyond the 430 ft half width
    placer::DumpConditions cond;
    cond.current_y = 1.0E-30f;
    placer::FateTiming timing{1800.0f, 900.0f, 1800.0f};
    placer::fit_fate_grid(40.0f, 0.1f, fast, 200.0f, site, cond, timing);
    EXPECT_EQ(cond.tstop, 1800.0f);
    EXPECT_EQ(timing.tprint1, 900.0f);
}

}  // namespace
