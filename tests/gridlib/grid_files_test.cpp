// Storing a site with GRID1 and loading it back with RGRID1.
#include "grid_fixture.hpp"

using namespace gridlib;

namespace {

class GridFiles : public SiteFolder {};

TEST_F(GridFiles, RoundTripKeepsHeaderAndDepths) {
    SiteGrid g = make_grid(3, 9, 50, [](int i) { return 10.0f + 0.125f * static_cast<float>(i); });
    g.rotation = 12.5f;
    g.datum = 23.456f;
    g.local_nw_e = 123456.7891f;
    g.local_nw_n = -42.5f;
    ResampleWork w;
    ASSERT_TRUE(GRID1("SITE1.IN", 2000.0f, 3000.0f, g, w, GRID1_NEW, 0, "ROUND TRIP"));
    auto rec = lines("SITE1.IN");
    ASSERT_EQ(rec.size(), 16u);  // 11 header records, 3 empty, 27 depths in 2 records
    EXPECT_EQ(rec[0], " TOTAL NUMBER OF GRID POINTS FOR THIS DISPOSAL");
    EXPECT_EQ(rec[1], " AREA IS    27");
    EXPECT_EQ(rec[3], " DIRECTION IS   3");
    EXPECT_EQ(rec[6], " THE INTERVAL (FEET) BETWEEN GRID POINTS IS   50");
    EXPECT_EQ(rec[7], " GRID ROTATION ANGLE (DEG.) FROM TRUE NORTH IS  12.5");
    EXPECT_EQ(rec[8], " COORDINATE SYSTEM IS   1");
    EXPECT_EQ(rec[9], " LONGTERM DATUM IS   23.456");
    EXPECT_EQ(rec[10], " LOCAL NW CORNER IS  123456.7891    -42.5000");
    EXPECT_EQ(rec[11], "");
    EXPECT_EQ(rec[13], "");
    EXPECT_EQ(rec[14].size(), 208u);
    EXPECT_EQ(rec[15], "  13.375");

    SiteGrid back;
    ASSERT_EQ(RGRID1("SITE1.IN                        ", back), GRID_OK);  // blank-padded name
    EXPECT_EQ(back.total_points, 27);
    EXPECT_EQ(back.points_ns, 3);
    EXPECT_EQ(back.points_we, 9);
    EXPECT_EQ(back.interval, 50);
    EXPECT_FLOAT_EQ(back.rotation, 12.5f);
    EXPECT_FLOAT_EQ(back.datum, 23.456f);
    EXPECT_FLOAT_EQ(back.local_nw_e, 123456.7891f);
    EXPECT_FLOAT_EQ(back.local_nw_n, -42.5f);
    for (int i = 0; i < 27; ++i)
        EXPECT_FLOAT_EQ(back.depth[static_cast<std::size_t>(i)],
                        g.depth[static_cast<std::size_t>(i)]);
    EXPECT_EQ(back.depth[27], 0.0f);

    SiteGrid header;
    header.depth[0] = 99.0f;
    ASSERT_EQ(RGRID1_HEADER("SITE1.IN", header), GRID_OK);
    EXPECT_EQ(header.points_we, 9);
    EXPECT_EQ(header.depth[0], 99.0f);  // depths neither cleared nor read
}

TEST_F(GridFiles, TwentySixPointsFillExactlyOneRecord) {
    SiteGrid g = make_grid(2, 13, 10, [](int) { return 5.0f; });
    ResampleWork w;
    ASSERT_TRUE(GRID1("S26.IN", 0.0f, 0.0f, g, w, GRID1_GRID_ONLY, 0, ""));
    EXPECT_EQ(lines("S26.IN").size(), 15u);
    EXPECT_FALSE(std::filesystem::exists("S26.DAT"));  // the grid file only
    EXPECT_FALSE(std::filesystem::exists("S26.TNS"));
}

TEST_F(GridFiles, PointFileWithEachDepthSignOption) {
    SiteGrid g = make_grid(2, 2, 100, [](int i) { return static_cast<float>(10 * i); });
    ResampleWork w;
    const float expected[3] = {-10.0f, 30.0f, 10.0f};  // negated, datum - depth, as stored
    for (std::int16_t option = 1; option <= 3; ++option) {
        ASSERT_TRUE(GRID1("P.IN", 7000.0f, 9000.0f, g, w, GRID1_NEW, option, "T"));
        auto rec = lines("P.DAT");
        ASSERT_EQ(rec.size(), 4u);
        EXPECT_FLOAT_EQ(std::stof(rec[0].substr(37, 10)), expected[option - 1]);
    }
    auto rec = lines("P.DAT");
    EXPECT_EQ(rec[1], "          7100.0000   9000.0000         20.0000");
    EXPECT_EQ(rec[2], "          7000.0000   8900.0000         30.0000");
}

TEST_F(GridFiles, GeographicPointFileUsesFeetPerDegree) {
    SiteGrid g = make_grid(2, 2, 3648, [](int) { return 20.0f; });
    g.coord_system = 2;
    ResampleWork w;
    ASSERT_TRUE(GRID1("G.IN", 120.0f, 60.0f, g, w, GRID1_NEW, 0, "GEO"));
    auto rec = lines("G.DAT");
    EXPECT_EQ(rec[1].substr(7, 24),
              "    119.9800     60.0000");  // 0.01 deg of latitude, 0.02 of longitude
    EXPECT_EQ(rec[2].substr(7, 24), "    120.0000     59.9900");
}

TEST_F(GridFiles, NameWithoutPeriodGivesBareCompanions) {
    SiteGrid g = make_grid(2, 2, 10, [](int) { return 1.0f; });
    ResampleWork w;
    ASSERT_TRUE(GRID1("NOEXT", 0.0f, 0.0f, g, w, GRID1_NEW, 0, ""));
    EXPECT_TRUE(std::filesystem::exists(".DAT"));
    EXPECT_TRUE(std::filesystem::exists(".TNS"));
}

TEST_F(GridFiles, MissingFileLeavesFlagOneAndDepthsZero) {
    SiteGrid g;
    g.depth[5] = 3.0f;
    g.points_we = 7;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(shown(RGRID1("NOSUCH.IN", g)), GRID_MISSING);
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("The requested disposal area grid file was not\n              NOSUCH.IN\n"
                       "found on the specified disc drive:/directory.\nPress \"RETURN\"."),
              std::string::npos)
        << out;
    EXPECT_EQ(g.depth[5], 0.0f);
    EXPECT_EQ(g.points_we, 7);  // header untouched
}

// The readers and writers write nothing on the console and wait for no
// RETURN: they hand back what the user is to be told, and the program shows it.
TEST_F(GridFiles, RoutinesReportWithoutWritingOnTheConsole) {
    SiteGrid g = make_grid(3, 9, 50, [](int i) { return static_cast<float>(i); });
    SiteSummary summary;
    std::int8_t turned = 0;
    ::testing::internal::CaptureStdout();
    const GridRead missing = RGRID1("NOSUCH.IN", g);
    const GridRead no_summary = READG("NOSUCH.OUT", summary);
    const GridStored no_grid = ARGPB("NOSUCH.IN", "NOSUCH.OUT", summary, 1, turned);
    g.depth[0] = 12345.0f;
    const GridStored too_deep = site_storable(g, summary, 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

    EXPECT_EQ(missing.flag, GRID_MISSING);
    EXPECT_EQ(missing.report.missing_grid, "NOSUCH.IN");
    EXPECT_TRUE(missing.report.lines.empty());
    EXPECT_EQ(no_summary.flag, GRID_MISSING);
    EXPECT_EQ(no_summary.report.lines,
              std::vector<std::string>{"UNABLE TO OPEN THE SITE SUMMARY FILE NOSUCH.OUT"});
    EXPECT_FALSE(no_grid.ok);
    EXPECT_EQ(no_grid.report.missing_grid, "NOSUCH.IN");
    EXPECT_FALSE(too_deep.ok);
    ASSERT_EQ(too_deep.report.lines.size(), 1u);
    EXPECT_EQ(too_deep.report.lines[0].rfind("NO GRID WRITTEN: ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists("NOSUCH.OUT"));
}

TEST_F(GridFiles, DamagedFilesAreReportedNotRead) {
    SiteGrid g = make_grid(3, 9, 50, [](int i) { return static_cast<float>(i); });
    ResampleWork w;
    ASSERT_TRUE(GRID1("OK.IN", 0.0f, 0.0f, g, w, GRID1_GRID_ONLY, 0, ""));
    auto rec = lines("OK.IN");
    auto save = [&](const std::string& name, std::vector<std::string> r) {
        std::ofstream out(name);
        for (auto& l : r) out << l << "\n";
    };
    struct Case {
        const char* name;
        std::vector<std::string> records;
        const char* message;
    };
    auto truncated = rec;
    truncated.pop_back();
    auto letter = rec;
    letter[14][20] = 'X';
    auto too_many = rec;
    too_many[1] = " AREA IS 50000";
    auto mismatch = rec;
    mismatch[1] = " AREA IS    26";
    auto header_only = std::vector<std::string>(rec.begin(), rec.begin() + 5);
    const Case cases[] = {
        {"TRUNC.IN", truncated, "UNEXPECTED END OF FILE TRUNC.IN AFTER RECORD 15"},
        {"LETTER.IN", letter,
         "UNREADABLE VALUE IN FILE LETTER.IN, RECORD 15, FIELD 3 (COLUMNS 17-24, F8.3)"},
        {"BIG.IN", too_many, "GRID FILE BIG.IN HOLDS 50000 POINTS, MORE THAN 40401"},
        {"MISMATCH.IN", mismatch,
         "GRID FILE MISMATCH.IN RECORDS 2-6: 26 POINTS DO NOT MATCH 3 ROWS x 9 COLUMNS"},
        {"SHORT.IN", header_only, "UNEXPECTED END OF FILE SHORT.IN AFTER RECORD 5"},
    };
    for (const Case& c : cases) {
        save(c.name, c.records);
        SiteGrid back;
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(shown(RGRID1(c.name, back)), GRID_UNREADABLE) << c.name;
        std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
        EXPECT_EQ(back.depth[0], 0.0f) << c.name;
        EXPECT_EQ(back.total_points, 0) << c.name;  // no garbage header either
    }
}

// A grid file cut inside its depth records (a copy that stopped, a disk that
// filled) used to read its missing depths as zeros, and a site edited from
// it carried them on. Now the record that ends early is named.
TEST_F(GridFiles, DepthRecordCutShortIsReportedNotReadAsZeros) {
    SiteGrid g = make_grid(3, 9, 50, [](int i) { return static_cast<float>(i); });
    ResampleWork w;
    ASSERT_TRUE(GRID1("OK.IN", 0.0f, 0.0f, g, w, GRID1_GRID_ONLY, 0, ""));
    const auto rec = lines("OK.IN");
    struct Case {
        const char* name;
        std::size_t record;  // 0-based
        std::size_t keep;    // characters kept of it
        const char* message;
    };
    const Case cases[] = {
        {"CUT.IN", 14, 100,
         "RECORD CUT SHORT IN FILE CUT.IN, RECORD 15, FIELD 13 (COLUMNS 97-104, F8.3): "
         "THE RECORD ENDS AT COLUMN 100"},
        {"LAST.IN", 15, 3,
         "RECORD CUT SHORT IN FILE LAST.IN, RECORD 16, FIELD 1 (COLUMNS 1-8, F8.3)"},
        {"EMPTY.IN", 14, 0, "RECORD CUT SHORT IN FILE EMPTY.IN, RECORD 15, FIELD 1"},
        {"HEADER.IN", 10, 35,
         "RECORD CUT SHORT IN FILE HEADER.IN, RECORD 11, FIELD 2 (COLUMNS 33-44, F12.4)"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> cut(rec.begin(),
                                     rec.begin() + static_cast<std::ptrdiff_t>(c.record + 1));
        cut.back().resize(c.keep);
        if (c.record == 14) cut.push_back(rec[15]);  // the file goes on after the damaged record
        std::ofstream out(c.name);
        for (std::size_t k = 0; k < cut.size(); ++k)
            out << cut[k] << (k + 1 < cut.size() ? "\n" : "");
        out.close();
        SiteGrid back;
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(shown(RGRID1(c.name, back)), GRID_UNREADABLE) << c.name;
        const std::string said = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(said.find(c.message), std::string::npos) << said;
        EXPECT_EQ(back.depth[0], 0.0f) << c.name;
    }
}

// GRID1 used to write header values and depths that do not fit their fields
// as asterisks: the new grid file could not be read back, and a program that
// stored a site in place (UTILITY's mound and berm) lost it. Now nothing is
// written and an earlier file of that name stays as it was.
TEST_F(GridFiles, ValuesTheGridFileCannotHoldAreNotWritten) {
    const SiteGrid good = make_grid(3, 4, 50, [](int i) { return 10.0f + static_cast<float>(i); });
    ResampleWork w;
    ASSERT_TRUE(GRID1("KEEP.IN", 0.0f, 0.0f, good, w, GRID1_NEW, 0, "GOOD"));
    const auto before = std::vector<std::vector<std::string>>{lines("KEEP.IN"), lines("KEEP.DAT"),
                                                              lines("KEEP.TNS")};
    struct Case {
        const char* what;
        void (*spoil)(SiteGrid&);
        const char* message;
    };
    const Case cases[] = {
        {"rotation", [](SiteGrid& g) { g.rotation = 1000.0f; },
         "THE ROTATION 1000.0 DOES NOT FIT THE GRID FILE (F5.1)"},
        {"corner", [](SiteGrid& g) { g.local_nw_e = 12345678.0f; },
         "THE LOCAL NW CORNER EASTING 12345678.0000 DOES NOT FIT THE GRID FILE (F12.4)"},
        {"depth", [](SiteGrid& g) { g.depth[5] = -1000.0f; },
         "THE DEPTH -1000 FT OF POINT 6 DOES NOT FIT THE GRID FILE (-999.999 TO 9999.999 FT)"},
        {"datum", [](SiteGrid& g) { g.datum = 10000.0f; },
         "THE LONG-TERM DATUM 10000.0000 DOES NOT FIT THE GRID FILE (F8.3)"},
        {"interval", [](SiteGrid& g) { g.interval = 10000; },
         "THE INTERVAL 10000 DOES NOT FIT THE GRID FILE (I4)"},
        {"no points", [](SiteGrid& g) { g.total_points = 0; },
         "0 POINTS DO NOT MATCH 3 ROWS x 4 COLUMNS"},
    };
    for (const Case& c : cases) {
        SiteGrid g = good;
        c.spoil(g);
        EXPECT_FALSE(grid_fault(g).empty()) << c.what;
        const GridStored stored = GRID1("KEEP.IN", 0.0f, 0.0f, g, w, GRID1_NEW, 0, "BAD");
        EXPECT_FALSE(stored) << c.what;
        EXPECT_EQ(
            stored.report.lines,
            std::vector<std::string>{std::string("GRID FILE KEEP.IN NOT WRITTEN: ") + c.message});
        EXPECT_EQ((std::vector<std::vector<std::string>>{lines("KEEP.IN"), lines("KEEP.DAT"),
                                                         lines("KEEP.TNS")}),
                  before)
            << c.what;
    }
    EXPECT_EQ(grid_fault(good), "");
}

// The resampled grid file carries its node spacing in F5.1: a spacing of
// 1000 ft or more is written as its layout gives it, with a note that the
// long-term model cannot read that file; the site itself is stored whole.
TEST_F(GridFiles, WideResampledSpacingIsStoredWithANote) {
    SiteGrid g = make_grid(3, 3, 3648, [](int) { return 20.0f; });
    ResampleWork w;
    const GridStored stored = GRID1("WIDE.IN", 0.0f, 0.0f, g, w, GRID1_NEW, 0, "WIDE");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored.report.lines,
              std::vector<std::string>{
                  "NOTE: THE NODE SPACING OF 3648.0 DOES NOT FIT THE RESAMPLED GRID FILE "
                  "(F5.1, AT MOST 999.9 FT); THE LONG-TERM MODEL CANNOT READ WIDE.TNS"});
    EXPECT_EQ(lines("WIDE.TNS")[0], "          *****");
    SiteGrid back;
    EXPECT_EQ(RGRID1("WIDE.IN", back), GRID_OK);
}

// A file that cannot be written fails the store, and the report names it;
// the files before it are written, none after it.
TEST_F(GridFiles, AFileThatCannotBeWrittenIsNamed) {
    const SiteGrid g = make_grid(3, 4, 50, [](int i) { return 10.0f + static_cast<float>(i); });
    ResampleWork w;
    const GridStored stored = GRID1("NO_SUCH_DIR/X.IN", 0.0f, 0.0f, g, w, GRID1_NEW, 0, "");
    EXPECT_FALSE(stored);
    EXPECT_EQ(stored.report.lines,
              std::vector<std::string>{"UNABLE TO WRITE FILE NO_SUCH_DIR/X.IN"});
    EXPECT_TRUE(stored.report.missing_grid.empty());
}

}  // namespace
