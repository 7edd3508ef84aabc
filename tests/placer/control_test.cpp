// DUMP.INI, the handshake and the start-up computations.
#include "placer/control.hpp"

#include <cmath>
#include <cstdint>
#include <memory>

#include "placer/fields.hpp"
#include "placer/setup.hpp"
#include "placer_fixture.hpp"
#include "recio/records.hpp"
#include "suitefiles/action.hpp"

namespace {

class Control : public PlacerFolder {};

// The flag word is compared over its own length: the first 7 characters for
// DUMPYES, whatever follows them.
TEST_F(Control, HandshakeNeedsDumpyes) {
    EXPECT_FALSE(suitefiles::action_word_is("DUMPYES"));
    for (auto [first, ok] : std::vector<std::pair<std::string, bool>>{{"DUMPYES", true},
                                                                      {"DUMPYESXYZ  more", true},
                                                                      {"GRIDYES", false},
                                                                      {"DUMPYE", false},
                                                                      {"", false}}) {
        write_file("ACTION.BAT", first + "\n");
        EXPECT_EQ(suitefiles::action_word_is("DUMPYES"), ok) << first;
    }
}

TEST_F(Control, ReadsEveryRecordOfEachPlacementMode) {
    placer::DumpControl c = test_control();
    c.nfrac = 2;
    placer::Fraction silt = c.fractions[0];
    silt.name = "SILT";
    silt.diameter = 0.03f;
    silt.cohesive = 1;
    c.fractions.push_back(silt);
    c.nprofile = 2;
    c.profile_depth[1] = 60.0f;
    c.profile_density[1] = 1.027f;
    c.speed1 = 0.3f, c.direction1 = 45.0f, c.switch_days = 3.5f, c.speed2 = 0.2f,
    c.direction2 = 225.0f;
    c.heading = 33.0f;
    for (placer::PlacementMode mode :
         {placer::PlacementMode::Scatter, placer::PlacementMode::Line,
          placer::PlacementMode::Keyboard, placer::PlacementMode::File}) {
        c.placement_mode = mode;
        c.line_start_e = 1.5f, c.line_end_n = 2.25f;
        c.order = 2;
        c.loads = 5;
        c.total_amount = 5000;
        c.placement_file = "PLACES.XY";
        write_records("DUMP.INI", dump_ini_records(c));
        placer::DumpControl r;
        ASSERT_TRUE(placer::read_control("DUMP.INI", r)) << placer::code(mode);
        EXPECT_EQ(gridlib::trimmed(r.site), "SITE");
        EXPECT_EQ(r.title, recio::padded("TEST PLACEMENT", 60));
        EXPECT_EQ(r.placement_mode, mode);
        EXPECT_FLOAT_EQ(r.heading, 33.0f);
        EXPECT_EQ(r.period_days, 7);
        EXPECT_EQ(r.fractions.size(), 2u);
        EXPECT_EQ(r.fractions[1].name, "SILT    ");
        EXPECT_FLOAT_EQ(r.fractions[1].diameter, 0.03f);
        EXPECT_EQ(r.fractions[1].cohesive, 1);
        EXPECT_FLOAT_EQ(r.profile_density[1], 1.027f);
        EXPECT_FLOAT_EQ(r.switch_days, 3.5f);
        EXPECT_FLOAT_EQ(r.direction2, 225.0f);
        EXPECT_EQ(r.order, 2);
        EXPECT_EQ(r.lateral_tolerance, 50);
        if (mode == placer::PlacementMode::Scatter) {
            EXPECT_EQ(r.direction_code, "NO");
        }
        if (mode == placer::PlacementMode::Line) {
            EXPECT_FLOAT_EQ(r.line_end_n, 2.25f);
        }
        // Every placement mode, the placement file too, makes the loads asked for.
        EXPECT_EQ(r.loads, 5);
        EXPECT_EQ(r.total_amount, 5000);
        EXPECT_EQ(gridlib::trimmed(r.placement_file), "PLACES.XY");
    }
    // No density profile: one record each for the depths and densities all the same.
    c.nprofile = 0;
    write_records("DUMP.INI", dump_ini_records(c));
    placer::DumpControl r;
    ASSERT_TRUE(placer::read_control("DUMP.INI", r));
    EXPECT_FLOAT_EQ(r.speed2, 0.2f);
}

TEST_F(Control, MalformedFileNamesTheRecord) {
    EXPECT_FALSE(placer::read_control("DUMP.INI", *std::make_unique<placer::DumpControl>()));
    struct Case {
        std::size_t record;  // 0-based
        std::string text;
        std::string message;
    };
    const std::vector<std::string> good = dump_ini_records(test_control());
    for (const Case& c :
         {Case{7, "         abc", "RECORD 8"},
          Case{18, "    1    5     10.00      5.00", "RECORD 19: THE NUMBER OF SEDIMENT FRACTIONS"},
          Case{20, "    7", "RECORD 21: THE NUMBER OF DENSITY PROFILE POINTS"},
          Case{99, "", "END OF FILE DUMP.INI"}}) {
        std::vector<std::string> recs = good;
        if (c.record < recs.size())
            recs[c.record] = c.text;
        else
            recs.pop_back();
        write_records("DUMP.INI", recs);
        placer::DumpControl r;
        try {
            placer::read_control("DUMP.INI", r);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const recio::RecordError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST_F(Control, ValuesTheRunCannotUseAreRefused) {
    struct Case {
        const char* message;
        void (*change)(placer::DumpControl&);
    };
    const std::vector<Case> cases = {
        {"RECORD 9: KEY1 MUST BE 0", [](placer::DumpControl& c) { c.key1 = 1; }},
        {"RECORD 9: KDEPTH MUST NOT BE 1", [](placer::DumpControl& c) { c.kdepth = 1; }},
        {"RECORD 9: KWAVE MUST BE 1", [](placer::DumpControl& c) { c.kwave = 0; }},
        {"RECORD 9: KVEL MUST BE 1 OR 2", [](placer::DumpControl& c) { c.kvel = 3; }},
        {"RECORD 9: NPRT MUST BE 2", [](placer::DumpControl& c) { c.nprt = 4; }},
        {"RECORD 21: A PLACEMENT RUN NEEDS AT LEAST ONE DENSITY",
         [](placer::DumpControl& c) { c.nprofile = 0; }},
        {"RECORD 19: THE NUMBER OF LAYERS", [](placer::DumpControl& c) { c.nlayer = 7; }},
        {"RECORD 5: THE RUN MODE",
         [](placer::DumpControl& c) { c.run_mode = static_cast<placer::RunMode>(3); }},
        {"RECORD 5: THE WAVE SOURCE",
         [](placer::DumpControl& c) { c.wave_source = static_cast<placer::WaveSource>(4); }},
        {"RECORD 19: THE AVALANCHING ANGLE",
         [](placer::DumpControl& c) { c.post_angle = c.aval_angle; }},
        {"RECORD 11: THE VESSEL WIDTH",
         [](placer::DumpControl& c) { c.light_draft = c.loaded_draft; }},
        {"RECORD 20: FRACTION VALUES",
         [](placer::DumpControl& c) { c.fractions[0].void_ratio = 100.0f; }},
        {"RECORD 13: THE PLACEMENT MODE",
         [](placer::DumpControl& c) { c.placement_mode = static_cast<placer::PlacementMode>(5); }},
        {"PROBLEM WITH PLACEMENT FILE INPUT ORDER",
         [](placer::DumpControl& c) {
             c.placement_mode = placer::PlacementMode::File, c.order = 3;
         }},
        {"RECORD 16: THE NUMBER OF LOADS MUST BE AT LEAST 1",
         [](placer::DumpControl& c) {
             c.placement_mode = placer::PlacementMode::File, c.loads = 0;
         }},
    };
    EXPECT_EQ(placer::check_dump_control(test_control()), "");
    for (const Case& k : cases) {
        placer::DumpControl c = test_control();
        k.change(c);
        const std::string msg = placer::check_dump_control(c);
        EXPECT_EQ(msg.rfind(k.message[0] == 'P' ? "" : "DUMP.INI ", 0), 0u) << msg;
        EXPECT_NE(msg.find(k.message), std::string::npos) << k.message << " / " << msg;
    }
    // A long-term run sends nothing to the fate model: its options are not checked.
    placer::DumpControl c = test_control();
    c.run_mode = placer::RunMode::LongTermOnly;
    c.key1 = 1;
    c.nprofile = 0;
    EXPECT_EQ(placer::check_dump_control(c), "");
}

TEST(Material, StokesFallVelocityWithinItsLimits) {
    // (d/2)^2 / 2.09E-5 x (2.65 - 1.0) x 62.414536 x 0.22222222, d = 0.1 mm in feet.
    const double d = 0.1 / 304.8;
    const double expected = (d / 2) * (d / 2) / 2.09E-5 * (1.65 * 62.414536) * 0.22222222;
    EXPECT_NEAR(placer::stokes_fall_velocity(2.65f, 0.1f, 1.0f), expected, 1e-6);
    EXPECT_FLOAT_EQ(placer::stokes_fall_velocity(2.65f, 5.0f, 1.0f), 3.0f);
    EXPECT_FLOAT_EQ(placer::stokes_fall_velocity(2.65f, 0.005f, 1.0f), 0.005f);
}

TEST(Material, PorosityVesselAndSmallestNonCohesiveFallVelocity) {
    placer::DumpControl c = test_control();
    placer::Fraction coarse = c.fractions[0], clay = c.fractions[0];
    coarse.diameter = 0.15f;
    coarse.conc = 0.1f, coarse.void_ratio = 0.6f;
    clay.diameter = 0.002f, clay.cohesive = 1, clay.conc = 0.1f, clay.sg = 2.75f,
    clay.void_ratio = 3.0f;
    c.fractions = {c.fractions[0], clay, coarse};  // 0.2 mm, clay, 0.15 mm
    c.nfrac = 3;
    const placer::Material m = placer::material_properties(c);
    EXPECT_FLOAT_EQ(m.min_fall, m.fall[2]);  // the clay is cohesive and does not count
    EXPECT_FLOAT_EQ(m.fall[1], 0.005f);
    const float mean_void = (0.3f * 0.8f + 0.1f * 3.0f + 0.1f * 0.6f) / 0.5f;
    EXPECT_NEAR(m.porosity, mean_void / (mean_void + 1.0f), 1e-6);
    EXPECT_FLOAT_EQ(m.sim_width, 32.0f);
    const float mean_sg = (0.3f * 2.65f + 0.1f * 2.75f + 0.1f * 2.65f) / 0.5f;
    EXPECT_NEAR(m.sim_length, (mean_sg - 1.025f) * 1000.0f * 27.0f / (8.0f * 32.0f), 1e-3);
    // All fractions cohesive: the smallest of them all.
    for (placer::Fraction& f : c.fractions) f.cohesive = 1;
    EXPECT_FLOAT_EQ(placer::material_properties(c).min_fall, 0.005f);
    c.run_mode = placer::RunMode::LongTermOnly;
    c.bulk_void_ratio = 3.0f;
    EXPECT_FLOAT_EQ(placer::material_properties(c).porosity, 0.75f);
}

TEST(Setup, ReferenceDepthAndVessel) {
    gridlib::SiteGrid g = make_grid(4, 5, 10, [](int i) { return static_cast<float>(i); });
    // (1 + 5 + 16 + 20 + 2 x point (10 - 2 = 8)) / 6
    EXPECT_FLOAT_EQ(placer::reference_depth(frame_of(g), g.depth), 58.0f / 6.0f);
    placer::DumpControl c = test_control();
    c.vessel_speed = 2.0f, c.vessel_direction = 0.0f, c.heading = 30.0f;
    placer::Vessel v = placer::vessel_motion(c, 20.0f);
    EXPECT_FLOAT_EQ(v.vx, -std::cos(20.0f * 0.017453333f) * 2.0f);
    EXPECT_FLOAT_EQ(v.vy, std::sin(20.0f * 0.017453333f) * 2.0f);
    EXPECT_FLOAT_EQ(v.heading, 10.0f);
    EXPECT_FLOAT_EQ(placer::vessel_motion(c, -20.0f).heading, 10.0f);
}

TEST(Setup, SlopeAnalysisSetsTheFinalAngles) {
    placer::WorkGrid work;
    auto final_angles = [&](const gridlib::SiteGrid& g, placer::RunMode run_mode) {
        placer::Angles a{10.0f, 5.0f, 10.0f, 5.0f};
        placer::slope_analysis(frame_of(g), g.depth, work, run_mode, a);
        return a;
    };
    // A flat site: every pair comes within tan(10 deg) of the steepest slope 0.
    placer::Angles flat =
        final_angles(make_grid(5, 5, 10, [](int) { return 40.0f; }), placer::RunMode::Placement);
    EXPECT_FLOAT_EQ(flat.final_aval, 0.4f);
    EXPECT_FLOAT_EQ(flat.final_post, 0.3f);
    EXPECT_FLOAT_EQ(flat.aval, 10.0f);
    // One 45-degree step up to the east in a placement run: only a few pairs
    // come near it, the final angles rise to just above it.
    placer::Angles step =
        final_angles(make_grid(5, 5, 10, [](int i) { return i % 5 == 0 ? 30.0f : 40.0f; }),
                     placer::RunMode::Placement);
    const float a = std::atan(1.0f) / 0.017453333f;
    EXPECT_FLOAT_EQ(step.final_aval, a + 1.0f);
    EXPECT_FLOAT_EQ(step.final_post, a + 0.75f);
    // A gentle slope in a long-term run: the angles fall to just above it, in force at once.
    placer::Angles gentle = final_angles(
        make_grid(5, 5, 10, [](int i) { return 40.0f + 0.5f * static_cast<float>((i - 1) / 5); }),
        placer::RunMode::LongTermOnly);
    const float g = std::atan(0.05f) / 0.017453333f;
    EXPECT_FLOAT_EQ(gentle.final_aval, g + 1.0f);
    EXPECT_FLOAT_EQ(gentle.aval, g + 1.0f);
    EXPECT_FLOAT_EQ(gentle.post, g + 0.75f);
}

// A name longer than its field was cut short to name another file (or the
// output went to a file of another name); it is refused, naming the record.
// A blank name and a name with a period (which ends the base of the
// companion file names early) are refused too.
TEST_F(Control, NamesMustFitTheirFields) {
    struct Case {
        std::size_t record;  // 1-based
        std::string text;
        std::string message;
    };
    placer::DumpControl mode4 = test_control();
    mode4.placement_mode = placer::PlacementMode::File;
    mode4.loads = 5;
    for (const Case& c :
         {Case{1, "../../a/much/longer/path/",
               "DUMP.INI RECORD 1: THE DATA DIRECTORY \"../../a/much/longer/path/\" IS LONGER THAN "
               "19 CHARACTERS"},
          Case{2, "SITE  X",
               "DUMP.INI RECORD 2: THE SITE NAME \"SITE  X\" IS LONGER THAN 6 CHARACTERS"},
          Case{3, "OUTPUT1",
               "DUMP.INI RECORD 3: THE OUTPUT NAME \"OUTPUT1\" IS LONGER THAN 6 CHARACTERS"},
          Case{16, "        5     5000   A/PLACEMENT/FILE/WITH/A/LONG/NAME.XY",
               "DUMP.INI RECORD 16: THE PLACEMENT FILE NAME "
               "\"A/PLACEMENT/FILE/WITH/A/LONG/NAME.XY\" IS LONGER THAN 32 CHARACTERS"}}) {
        std::vector<std::string> recs = dump_ini_records(mode4);
        recs[c.record - 1] = c.text;
        write_records("DUMP.INI", recs);
        placer::DumpControl r;
        try {
            placer::read_control("DUMP.INI", r);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const recio::RecordError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    placer::DumpControl c = test_control();
    c.out = "";
    EXPECT_EQ(placer::check_dump_control(c), "DUMP.INI RECORD 3: THE OUTPUT NAME IS BLANK");
    c.out = "R.1";
    EXPECT_EQ(placer::check_dump_control(c),
              "DUMP.INI RECORD 3: THE OUTPUT NAME \"R.1\" HOLDS A PERIOD");
    c = test_control();
    c.site = " SITE";
    EXPECT_EQ(placer::check_dump_control(c), "DUMP.INI RECORD 2: THE SITE NAME IS BLANK");
}

// A placement-file run with no loads ends at start-up; one load is a run
// like any other (no load is taken off the count any more).
TEST_F(Control, PlacementFileRunWithoutLoadsIsRefused) {
    placer::DumpControl c = test_control();
    c.placement_mode = placer::PlacementMode::File;
    c.loads = -32768;
    write_records("DUMP.INI", dump_ini_records(c));
    placer::DumpControl r;
    ASSERT_TRUE(placer::read_control("DUMP.INI", r));
    EXPECT_EQ(r.loads, -32768);
    EXPECT_NE(placer::check_dump_control(r).find("THE NUMBER OF LOADS MUST BE AT LEAST 1"),
              std::string::npos);
    // One load is a placement file run like any other.
    c.loads = 1;
    write_records("DUMP.INI", dump_ini_records(c));
    ASSERT_TRUE(placer::read_control("DUMP.INI", r));
    EXPECT_EQ(r.loads, 1);
    EXPECT_EQ(placer::check_dump_control(r), "");
}

// What travels into CLDX.DUE and PCD.INI must fit the field it is written to.
TEST(Fields, ValuesMustFitTheFieldsTheyAreWrittenTo) {
    EXPECT_TRUE(placer::fits(9999.999f, "(F8.3)"));
    EXPECT_TRUE(placer::fits(-999.999f, "(F8.3)"));
    EXPECT_FALSE(placer::fits(10000.0f, "(F8.3)"));
    EXPECT_FALSE(placer::fits(-1000.0f, "(F8.3)"));
    EXPECT_FALSE(placer::fits(std::nanf(""), "(F8.3)"));
    EXPECT_FALSE(placer::fits(INFINITY, "(F10.2)"));
    EXPECT_TRUE(placer::fits(std::int32_t{99999}, "(I5)"));
    EXPECT_FALSE(placer::fits(std::int32_t{100000}, "(I5)"));
    EXPECT_FALSE(placer::fits(std::int32_t{-1000}, "(I4)"));
    std::vector<float> depth(60, 40.0f);
    EXPECT_EQ(placer::depth_problem("SITE.IN", 15, depth, 60), "");
    depth[52] = 12345.0f;
    EXPECT_EQ(
        placer::depth_problem("SITE.IN", 15, depth, 60),
        "SITE.IN RECORD 17, FIELD 1: THE DEPTH OF POINT 53 12345 LIES BEYOND ITS FIELD (F8.3)");
}

}  // namespace
