// The utility program run on small sites: the three jobs, their reports and
// the files they store.
#include <sys/stat.h>

#include <cmath>

#include "tests/utility/site_run.hpp"

using namespace gridlib;

namespace {

class Utility : public UtilityRun {};

std::string file_text(const std::string& name) {
    std::ifstream in(name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// ---- the flag word

TEST_F(Utility, OtherFlagWordsEndSilentlyAndTouchNothing) {
    SiteGrid g = make_grid(3, 3, 100, [](int) { return 50.0f; });
    store("S", g);
    const std::string before = file_text("S.IN");
    const std::string mound = "S\nM\n     10100.0     19900.0\n        30.0         0.1\n   0\n";
    for (const char* word : {"", "GRIDYES", "UTILITY", "utility1", "UTILITY4"}) {
        std::filesystem::remove("ACTION.BAT");
        EXPECT_NE(run_utility(word, mound), 0) << word;
        // Silent on the console; the error stream says how to start it.
        EXPECT_EQ(console(),
                  std::vector<std::string>{"ACTION.BAT DOES NOT HOLD UTILITY1, UTILITY2 OR "
                                           "UTILITY3: START THIS PROGRAM WITH ./menu "
                                           "utility mound|volumes|carry"})
            << word;
        EXPECT_EQ(file_text("S.IN"), before) << word;
    }
}

TEST_F(Utility, ControlFileFaultsAreReported) {
    SiteGrid g = make_grid(3, 3, 100, [](int) { return 50.0f; });
    store("S", g);
    struct Case {
        const char* word;
        const char* control;  // nullptr: no UTL.INI
        const char* message;
    };
    const Case cases[] = {
        {"UTILITY2", nullptr, "UNABLE TO FIND \"UTL.INI\" DATA FILE"},
        {"UTILITY2", "   4\nS\nS\n", "THE DIFFERENCE MODE IN UTL.INI (RECORD 1) MUST BE 1, 2 OR 3"},
        {"UTILITY2", "   2\nS\n", "UNEXPECTED END OF FILE UTL.INI AFTER RECORD 2"},
        {"UTILITY1", "S\nX\n",
         "THE STRUCTURE IN UTL.INI (RECORD 2) MUST BE \"M\" (MOUND) OR \"B\" (BERM)"},
        {"UTILITY1", "S\nM\n     10100.0     19900.0\n        30.0         0.0\n   0\n",
         "THE SIDE SLOPE IN UTL.INI MUST BE GREATER THAN 0"},
        {"UTILITY1", "NOSITE\nM\n     10100.0     19900.0\n        30.0         0.1\n   0\n",
         "found on the specified disc drive:/directory."},
        {"UTILITY1", "S\nM\n         NaN     19900.0\n        30.0         0.1\n   0\n",
         "UNREADABLE VALUE IN FILE UTL.INI, RECORD 3, FIELD 1 (COLUMNS 1-12, F12.4)"},
        {"UTILITY1", "S\nM\n     10100.0     19900.0\n",
         "UNEXPECTED END OF FILE UTL.INI AFTER RECORD 3"},
        {"UTILITY2", "   1\nS\n      1E+999\n", "VALUE OUT OF RANGE IN FILE UTL.INI, RECORD 3"},
        // Once reported as asterisks beside its volume, with status 0.
        {"UTILITY2", "   1\nS\n      1.0E30\n",
         "UTL.INI RECORD 3: THE ELEVATION 0.10000E+31 FT IS BEYOND THE REPORT'S FIELD"},
        // A blank path once stored the difference grid as ".IN", ".OUT" ...
        {"UTILITY2", "   3\nS\nS\n\n", "UTL.INI RECORD 4: NO SITE PATH FOR THE DIFFERENCE GRID"},
        {"UTILITY2", "   2\nS\nSITES/A/VERY/LONG/PATH/TO/S\n",
         "UTL.INI RECORD 3: THE SITE PATH IS LONGER THAN 26 CHARACTERS"},
    };
    const std::string before = file_text("S.IN");
    for (const Case& c : cases) {
        if (c.control)
            write_file("UTL.INI", c.control);
        else
            std::filesystem::remove("UTL.INI");
        write_file("ACTION.BAT", std::string(c.word) + "\n");
        EXPECT_EQ(run("utility"), 1) << c.message;
        std::string out = file_text("console.txt");
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
    }
    EXPECT_EQ(file_text("S.IN"), before);
}

// A mound or berm whose depths the grid file cannot hold used to be stored
// in place as asterisks: the site was lost (its grid file unreadable, its
// summary never rewritten). Now nothing is written and the site stays whole.
TEST_F(Utility, StructureBeyondTheGridFileLeavesTheSiteAsItWas) {
    SiteGrid g = make_grid(3, 3, 100, [](int) { return 50.0f; });
    store("S", g);
    const std::string in = file_text("S.IN"), out = file_text("S.OUT"), dat = file_text("S.DAT");
    struct Case {
        const char* what;
        const char* control;
        const char* says;
    };
    const Case cases[] = {
        {"mound crest far above the datum",
         "S\nM\n     10100.0     19900.0\n     -5000.0         0.1\n   0\n",
         "NO GRID WRITTEN: THE DEPTH -4985.86 FT OF POINT 1 DOES NOT FIT THE GRID FILE (-999.999 "
         "TO 9999.999 FT)"},
        {"berm crest deeper than the field holds",
         "S\nB\n     10000.0     20000.0\n     10200.0     20000.0\n     12000.0         0.1\n  "
         "50\n   0\n",
         "NO GRID WRITTEN: THE DEPTH 12000 FT OF POINT 2 DOES NOT FIT THE GRID FILE"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run_utility("UTILITY1", c.control), 1) << c.what;
        EXPECT_NE(file_text("console.txt").find(c.says), std::string::npos)
            << file_text("console.txt");
        EXPECT_EQ(file_text("S.IN"), in) << c.what;
        EXPECT_EQ(file_text("S.OUT"), out) << c.what;
        EXPECT_EQ(file_text("S.DAT"), dat) << c.what;
    }
}

// A site grid cut inside its depths used to be shaped and stored back with
// zeros for what was missing.
TEST_F(Utility, SiteCutShortIsNotShaped) {
    SiteGrid g = make_grid(3, 3, 100, [](int) { return 50.0f; });
    store("S", g);
    auto rec = lines("S.IN");
    rec[14].resize(30);
    std::ofstream cut("S.IN");
    for (const auto& r : rec) cut << r << "\n";
    cut.close();
    const std::string in = file_text("S.IN");
    EXPECT_EQ(
        run_utility("UTILITY1", "S\nM\n     10100.0     19900.0\n        30.0         0.1\n   0\n"),
        1);
    EXPECT_NE(file_text("console.txt").find("RECORD CUT SHORT IN FILE S.IN, RECORD 15, FIELD 4"),
              std::string::npos)
        << file_text("console.txt");
    EXPECT_EQ(file_text("S.IN"), in);
}

// ---- UTILITY2: volumes

TEST_F(Utility, IdenticalGridsGiveZeroVolumes) {
    SiteGrid g = make_grid(4, 5, 25, [](int i) { return 30.0f + 0.37f * static_cast<float>(i); });
    store("A", g);
    store("B", g);
    ASSERT_EQ(run_utility("UTILITY2", "   2\nA\nB\n"), 0);
    const std::vector<std::string> expected = {
        "",
        "             DIFFERENCE BETWEEN TWO GRIDS:   VOLUME RESULTS",
        "",
        "",
        "Volume of CUTS between upper/lower grids is:         0. CY.",
        "Volume of FILL between upper/lower grids is:         0. CY.",
        "NET volume GAINED between upper and lower grids is:         0. CY.",
        "\"volume\" is an aggregate term and refers to the in situ material",
        " composition resulting from inclussion of voids",
        "",
        "",
        "Hit \"RETURN\" to continue",
    };
    EXPECT_EQ(console(), expected);
}

TEST_F(Utility, CutFillAndTheStoredDifferenceGrid) {
    // Cells of 30 x 30 ft (900 sq ft = 33.3 CY per foot). D = first - second:
    // +3 and +0.6 are fill (120 CY), -1.5 twice is cut (-100 CY).
    SiteGrid first = make_grid(3, 3, 30, [](int i) {
        switch (i) {
            case 1:
                return 23.0f;
            case 2:
                return 20.6f;
            case 5:
            case 9:
                return 18.5f;
            default:
                return 20.0f;
        }
    });
    SiteGrid second = make_grid(3, 3, 30, [](int) { return 20.0f; });
    second.local_nw_e = 2500.0f;  // the difference grid takes the second site's header and corners
    store("FIRST", first);
    store("SECOND", second, 50000.0f, 60000.0f);
    ASSERT_EQ(run_utility("UTILITY2", "   3\nFIRST\nSECOND\nDIFF\n"), 0);
    EXPECT_TRUE(console_has("Volume of CUTS between upper/lower grids is:      -100. CY."));
    EXPECT_TRUE(console_has("Volume of FILL between upper/lower grids is:       120. CY."));
    EXPECT_TRUE(console_has("NET volume GAINED between upper and lower grids is:        20. CY."));
    EXPECT_TRUE(console_has(std::string(20, ' ') + "GENERATING   DIFFERENCE   GRID"));
    EXPECT_TRUE(console_has(recio::padded("DIFF.IN", 32)));
    EXPECT_TRUE(console_has(recio::padded("DIFF.DAT", 32)));

    SiteGrid diff = load("DIFF");
    const float expected[9] = {3.0f, 0.6f, 0.0f, 0.0f, -1.5f, 0.0f, 0.0f, 0.0f, -1.5f};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(diff.depth[static_cast<std::size_t>(i)], expected[i], 1e-3) << i;
    EXPECT_FLOAT_EQ(diff.datum, 0.067f);  // mean difference 0.6 / 9
    EXPECT_FLOAT_EQ(diff.local_nw_e, 2500.0f);
    EXPECT_EQ(lines("DIFF.TNS")[1], recio::padded("DIFFERENCE OF: FIRST & SECOND", 60));
    // Depth sign option 3: the differences as stored, placed from the second site's corner.
    EXPECT_EQ(lines("DIFF.DAT")[0], "         50000.0000  60000.0000          3.0000");
    SiteSummary s;
    ASSERT_EQ(READG("DIFF.OUT", s), GRID_OK);
    EXPECT_EQ(s.total_seq, 0);  // a new site
    EXPECT_FLOAT_EQ(s.corners.nw_e, 50000.0f);
}

// The difference grid named as one of the two sites it is made of would
// replace that site: refused before anything is read or written.
TEST_F(Utility, DifferenceGridNamedAsAGridComparedIsRefused) {
    store("FIRST", make_grid(3, 3, 30, [](int) { return 21.0f; }));
    store("SECOND", make_grid(3, 3, 30, [](int) { return 20.0f; }));
    const std::string before = file_text("FIRST.IN") + file_text("SECOND.IN") +
                               file_text("FIRST.OUT") + file_text("SECOND.OUT");
    const struct {
        const char* difference;
        const char* message;
    } cases[] = {
        {"FIRST",
         "UTL.INI RECORD 4: THE DIFFERENCE GRID FIRST IS THE SITE OF RECORD 2, ONE OF "
         "THE GRIDS COMPARED"},
        {"SECOND",
         "UTL.INI RECORD 4: THE DIFFERENCE GRID SECOND IS THE SITE OF RECORD 3, ONE OF "
         "THE GRIDS COMPARED"},
        {"./FIRST",
         "UTL.INI RECORD 4: THE DIFFERENCE GRID ./FIRST IS THE SITE OF RECORD 2, ONE "
         "OF THE GRIDS COMPARED"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            run_utility("UTILITY2", std::string("   3\nFIRST\nSECOND\n") + c.difference + "\n"), 1)
            << c.difference;
        EXPECT_TRUE(console_has(c.message)) << c.difference;
        EXPECT_EQ(file_text("FIRST.IN") + file_text("SECOND.IN") + file_text("FIRST.OUT") +
                      file_text("SECOND.OUT"),
                  before)
            << c.difference;
    }
}

TEST_F(Utility, VolumeAboveAnElevationCountsOnlyShallowerPoints) {
    // Depths 10..60 against the elevation 35: D = 25, 15, 5 count (45 ft x 100 sq ft);
    // the deeper points do not reduce the volume.
    SiteGrid g = make_grid(2, 3, 10, [](int i) { return 10.0f * static_cast<float>(i); });
    store("A", g);
    ASSERT_EQ(run_utility("UTILITY2", "   1\nA\n     35.0000\n"), 0);
    auto out = console();
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[1], "        VOLUME ABOVE ELEVATION -  35.0 ft is:       167. CY.");
    EXPECT_EQ(out[2], "\"volume\" is an aggregate term and refers to the in situ material");
}

// Differences the grid file cannot hold (a mean difference, a depth of
// 10998 ft) used to leave a difference site of asterisks without a summary.
TEST_F(Utility, DifferenceBeyondTheGridFileWritesNoGrid) {
    store("A", make_grid(2, 2, 50, [](int) { return 9999.0f; }));
    store("B", make_grid(2, 2, 50, [](int) { return -999.0f; }));
    EXPECT_EQ(run_utility("UTILITY2", "   3\nA\nB\nD\n"), 1);
    EXPECT_TRUE(
        console_has("NO GRID WRITTEN: THE DEPTH 10998 FT OF POINT 1 DOES NOT FIT THE GRID FILE "
                    "(-999.999 TO 9999.999 FT)"));
    for (const char* f : {"D.IN", "D.OUT", "D.DAT", "D.TNS"})
        EXPECT_FALSE(std::filesystem::exists(f)) << f;
}

TEST_F(Utility, MismatchedGridsAreRefused) {
    SiteGrid base = make_grid(3, 4, 50, [](int) { return 20.0f; });
    store("A", base);
    struct Case {
        const char* what;
        SiteGrid second;
    };
    std::vector<Case> cases;
    cases.push_back({"interval", make_grid(3, 4, 60, [](int) { return 20.0f; })});
    cases.push_back({"shape", make_grid(4, 3, 50, [](int) { return 20.0f; })});
    cases.push_back({"rotation", base});
    cases.back().second.rotation = 10.0f;
    cases.push_back({"coordinate system", base});
    cases.back().second.coord_system = 2;
    for (const Case& c : cases) {
        store("B", c.second);
        EXPECT_EQ(run_utility("UTILITY2", "   3\nA\nB\nD\n"), 1) << c.what;
        EXPECT_EQ(console(),
                  std::vector<std::string>{"LOWER and UPPER GRID MISMATCH, hit \"RETURN\""})
            << c.what;
        EXPECT_FALSE(std::filesystem::exists("D.IN")) << c.what;
    }
}

// ---- UTILITY1: mound and berm

TEST_F(Utility, MoundIsAConeFromTheCentre) {
    // 5 x 5 points 100 ft apart, flat at 50 ft with one knoll at 20 ft.
    // Crest 30 ft, side slope 0.1: 40 ft at 100 ft, 44.142 ft at 141.4 ft,
    // and nothing from 200 ft on (30 + 20 is not below 50).
    struct Case {
        float rotation, centre_e, centre_n;
    };
    for (Case c : {Case{0.0f, 10200.0f, 19800.0f}, Case{90.0f, 10200.0f, 20200.0f}}) {
        SiteGrid g = make_grid(5, 5, 100, [](int i) { return i == 8 ? 20.0f : 50.0f; });
        g.rotation = c.rotation;
        store("M", g);
        char control[200];
        std::snprintf(control, sizeof control, "M\nM\n%12.4f%12.4f\n%12.4f%12.4f\n%4d\n",
                      double(c.centre_e), double(c.centre_n), 30.0, 0.1, 1);
        ASSERT_EQ(run_utility("UTILITY1", control), 0) << c.rotation;
        SiteGrid m = load("M");
        const float expected[25] = {50, 50,      50, 50,      50,  //
                                    50, 44.142f, 20, 44.142f, 50,  //
                                    50, 40,      30, 40,      50,  //
                                    50, 44.142f, 40, 44.142f, 50,  //
                                    50, 50,      50, 50,      50};
        for (int i = 0; i < 25; ++i)
            EXPECT_NEAR(m.depth[static_cast<std::size_t>(i)], expected[i], 1e-3)
                << c.rotation << " point " << i + 1;
        EXPECT_FLOAT_EQ(m.datum, 40.0f);  // kept
        EXPECT_EQ(lines("M.TNS")[1], recio::padded("SIMPLE MOUND ADAPTED TO: M", 60));
        EXPECT_NEAR(std::stof(lines("M.DAT")[12].substr(37)), -30.0f, 2e-4);  // depth sign option 1
        SiteSummary s;
        ASSERT_EQ(READG("M.OUT", s), GRID_OK);
        EXPECT_EQ(s.seq_since_last, 3);  // counters carried over
        EXPECT_EQ(s.total_seq, 12);
        EXPECT_TRUE(console_has(std::string(20, ' ') + "GENERATING DISPOSAL AREA GRID"));
        EXPECT_TRUE(console_has(std::string(26, ' ') + "be 1 - 3 minutes"));
        EXPECT_TRUE(console_has(recio::padded("M.OUT", 32)));
        EXPECT_TRUE(console_has("PRESS \"RETURN\" TO CONTINUE"));
    }
}

TEST_F(Utility, StructuresThatReachNoPointChangeNothing) {
    SiteGrid g = make_grid(6, 6, 100, [](int i) { return 40.0f + static_cast<float>(i % 7); });
    struct Case {
        const char* what;
        const char* control;
    };
    const Case cases[] = {
        {"mound with its crest below the bottom",
         "S\nM\n     10200.0     19800.0\n        47.0         0.1\n   0\n"},
        {"berm shorter than one interval",
         "S\nB\n     10200.0     19800.0\n     10230.0     19760.0\n        20.0         0.1\n "
         "100\n   0\n"},
    };
    for (const Case& c : cases) {
        store("S", g);
        ASSERT_EQ(run_utility("UTILITY1", c.control), 0) << c.what;
        SiteGrid after = load("S");
        for (int i = 0; i < 36; ++i)
            EXPECT_EQ(after.depth[static_cast<std::size_t>(i)],
                      g.depth[static_cast<std::size_t>(i)])
                << c.what;
    }
}

TEST_F(Utility, NorthSouthBerm) {
    // 7 rows x 5 columns, 100 ft apart, flat at 50 ft but for a knoll at
    // 25 ft on the berm line. The berm runs due south down column 2 from
    // row 0 to row 5: steps at rows 1-5 (the start is not one); the 20 ft
    // crest band holds one point per step. Crest 30 ft, side slope 0.1.
    SiteGrid g = make_grid(7, 5, 100, [](int i) { return i == 18 ? 25.0f : 50.0f; });
    store("NS", g);
    ASSERT_EQ(run_utility("UTILITY1",
                          "NS\nB\n     10200.0     20000.0\n     10200.0     19500.0\n"
                          "        30.0         0.1\n  20\n   0\n"),
              0);
    SiteGrid b = load("NS");
    const float expected[35] = {50, 44.142f, 40, 44.142f, 50,  //
                                50, 40,      30, 40,      50,  //
                                50, 40,      30, 40,      50,  //
                                50, 40,      30, 40,      50,  // the knoll is cut down to the crest
                                50, 40,      30, 40,      50,  //
                                50, 40,      30, 40,      50,  //
                                50, 44.142f, 40, 44.142f, 50};
    for (int i = 0; i < 35; ++i)
        EXPECT_NEAR(b.depth[static_cast<std::size_t>(i)], expected[i], 1e-3) << "point " << i + 1;
    EXPECT_EQ(lines("NS.TNS")[1], recio::padded("SIMPLE BERM ADAPTED TO: NS", 60));
}

// ---- UTILITY3: the outside program

TEST_F(Utility, OutsideProgramIsStartedOrReportedMissing) {
    EXPECT_EQ(run_utility("UTILITY3", ""), 1);
    std::string out = file_text("console.txt");
    EXPECT_NE(out.find("THE OUTSIDE PROGRAM CARRYX.EXE WAS NOT FOUND."), std::string::npos) << out;

    write_file("carryx", "#!/bin/sh\necho \"[$1]\" > carried.txt\nexit 3\n");
    ::chmod("carryx", 0755);
    EXPECT_EQ(run_utility("UTILITY3", ""), 0);  // the outside program's own status is not ours
    EXPECT_EQ(lines("carried.txt"),
              std::vector<std::string>{"[ ]"});  // started with a one-blank argument
}

}  // namespace
