// The site summary file: page fit, turning, reduction, the summary numbers,
// and reading its header back with READG in both layouts.
#include <algorithm>

#include "grid_fixture.hpp"

using namespace gridlib;

namespace {

class Summary : public SiteFolder {
  protected:
    // Stores a grid and writes its summary; returns the summary records.
    std::vector<std::string> portray(const SiteGrid& g, SiteSummary& s, std::int8_t& turned,
                                     std::int8_t new_site = 1) {
        ResampleWork w;
        EXPECT_TRUE(GRID1("S.IN", 0.0f, 0.0f, g, w, GRID1_GRID_ONLY, 0, ""));
        EXPECT_TRUE(ARGPB("S.IN", "S.OUT", s, new_site, turned));
        return lines("S.OUT");
    }
    static SiteSummary sample_summary(std::int32_t ns_extent, std::int32_t we_extent) {
        SiteSummary s;
        s.seq_since_last = 3;
        s.total_seq = 12;
        s.ns_extent = ns_extent;
        s.we_extent = we_extent;
        s.survey_interval = 25;
        s.portrayal_interval = 50;
        s.corners = {1000.5f, 2000.25f, 2000.0f, 2000.0f, 1000.0f,
                     1000.0f, 2000.0f,  1000.0f, 1500.0f, 1500.0f};
        return s;
    }
    static bool has(const std::vector<std::string>& rec, const std::string& text) {
        return std::find(rec.begin(), rec.end(), text) != rec.end();
    }
    static long count_starting(const std::vector<std::string>& rec, const std::string& prefix) {
        return std::count_if(rec.begin(), rec.end(),
                             [&](const std::string& r) { return r.rfind(prefix, 0) == 0; });
    }
    // Map rows: the values lines after the map title.
    static std::vector<std::string> map_values(const std::vector<std::string>& rec) {
        std::vector<std::string> out;
        bool in_map = false;
        for (const auto& r : rec) {
            if (!r.empty() && r[0] == '\f')
                in_map = true;
            else if (in_map && r.size() > 6 && r[6] == '|' &&
                     r.find_first_of("0123456789") != std::string::npos)
                out.push_back(r);
        }
        return out;
    }
};

TEST_F(Summary, SquareSiteUnreducedAndNotTurned) {
    SiteGrid g = make_grid(20, 20, 50, [](int i) { return static_cast<float>(i % 7) + 30.0f; });
    SiteSummary s = sample_summary(1000, 1000);
    std::int8_t turned = 9;
    auto rec = portray(g, s, turned);
    EXPECT_EQ(turned, 0);
    EXPECT_EQ(rec[0], " D I S P O S A L    A R E A   S U M M A R Y");
    EXPECT_EQ(rec[1],
              " AFTER    0 DISPOSAL SEQUENCES SINCE THE LAST DISPOSAL ACTIVITY,");  // new site
    EXPECT_EQ(rec[6], " TO A 8.5\" x 11\" REPRESENTATION WITHOUT ");
    EXPECT_EQ(rec[7], " REDUCTION OF ORIGINAL SURVEY RESOLUTION");
    EXPECT_TRUE(has(rec, " DISPOSAL AREA IS 1 INCH =   100 feet"));  // 1000 / 20 x 2 x 1
    EXPECT_TRUE(has(rec, " THE AERIAL COVERAGE OF THE DISPOSAL AREA IS     22 ACRES"));
    EXPECT_TRUE(
        has(rec, " THE DISPOSAL AREA WILL BE PORTRAYED AS FOLLOWS (ROTATION HAS NOT OCCURRED):"));
    EXPECT_TRUE(has(rec, " NORTHWESTERN MOST CORNER                    NORTHEASTERN MOST CORNER"));
    EXPECT_TRUE(has(rec, " EASTING=   1000.5000                         EASTING=   2000.0000"));
    EXPECT_EQ(count_starting(rec, "     #                                        #"),
              21);  // square: 20 + 1 side lines
    EXPECT_EQ(count_starting(rec, "     +########################################+"), 2);
    auto map = map_values(rec);
    ASSERT_EQ(map.size(), 20u);
    EXPECT_EQ(map[0].size(), 1u + 6u * 20u);
    EXPECT_EQ(map[0].substr(0, 13), "  31.0| 32.0|");
}

TEST_F(Summary, WideShallowSiteIsTurnedWithoutReduction) {
    SiteGrid g = make_grid(10, 30, 50, [](int i) { return static_cast<float>(i); });
    SiteSummary s = sample_summary(450, 1450);
    std::int8_t turned = 0;
    auto rec = portray(g, s, turned);
    EXPECT_EQ(turned, 1);
    EXPECT_EQ(rec[6], " TO A 8.5\" x 11\" REPRESENTATION WITHOUT ");
    EXPECT_TRUE(
        has(rec, " THE DISPOSAL AREA WILL BE PORTRAYED AS FOLLOWS (ROTATION   HAS   OCCURRED):"));
    EXPECT_TRUE(has(rec, " SOUTHWESTERN MOST CORNER                    NORTHWESTERN MOST CORNER"));
    EXPECT_TRUE(has(rec, " DISPOSAL AREA IS 1 INCH =    90 feet"));  // 450 / 10 x 2 x 1
    EXPECT_EQ(count_starting(rec, "     #                                        #"),
              27);  // aspect 3: 26 + 1
    auto map = map_values(rec);
    ASSERT_EQ(map.size(), 30u);  // a row per column of the site, west first
    // First map row: the western column from south (point 271) to north (point 1).
    EXPECT_EQ(map[0].substr(0, 13), " 271.0|241.0|");
    EXPECT_EQ(map[0].substr(55, 6), "  1.0|");
}

TEST_F(Summary, TallSiteIsExtendedAndReducedToFitThePage) {
    SiteGrid g = make_grid(40, 20, 50, [](int) { return 12.0f; });
    SiteSummary s = sample_summary(1950, 950);
    std::int8_t turned = 0;
    auto rec = portray(g, s, turned, 0);
    EXPECT_EQ(turned, 0);
    EXPECT_EQ(rec[1], " AFTER    3 DISPOSAL SEQUENCES SINCE THE LAST DISPOSAL ACTIVITY,");  // kept
    EXPECT_EQ(rec[6], " TO A 8.5\" x 11\" REPRESENTATION BUT WITH A REDUCTION OF ORIGINAL");
    EXPECT_TRUE(has(rec, " DISPOSAL AREA REPRESENTATION IS 1:  2"));
    EXPECT_EQ(count_starting(rec, "     #                                        #"),
              27);  // aspect 2
    auto map = map_values(rec);
    ASSERT_EQ(map.size(), 21u);               // 40 rows extended to 41, halved to 21
    EXPECT_EQ(map[0].size(), 1u + 6u * 11u);  // 20 columns extended to 21, halved to 11
    for (const auto& row : map) EXPECT_EQ(row.substr(1, 6), " 12.0|");  // a flat bottom stays flat
}

TEST_F(Summary, ReductionAveragesWithTheStatedWeights) {
    // 42 x 22 (ratio 2): one halving. The interior node at (2, 2) of the
    // halved map is (16 x 1 + 4 x 0 + 0) / 36 of a single spike of 36 ft.
    SiteGrid g = make_grid(42, 22, 10, [](int) { return 0.0f; });
    g.depth[static_cast<std::size_t>(2 * 22 + 2)] = 36.0f;  // row 2, column 2
    SiteSummary s = sample_summary(410, 210);
    std::int8_t turned = 0;
    auto map = map_values(portray(g, s, turned));
    ASSERT_EQ(map.size(), 22u);  // 42 rows extended to 43, halved to 22
    EXPECT_EQ(map[1].substr(7, 6), " 16.0|");
    EXPECT_EQ(map[0].substr(7, 6), "  0.0|");  // border nodes keep their values
}

TEST_F(Summary, DeepDatumPrintsWholeFeet) {
    SiteGrid g = make_grid(5, 5, 50, [](int) { return 1234.4f; });
    g.datum = 1000.0f;
    SiteSummary s = sample_summary(200, 400);
    std::int8_t turned = 0;
    auto map = map_values(portray(g, s, turned));
    ASSERT_FALSE(map.empty());
    EXPECT_EQ(map[0].substr(0, 7), " 1234.|");
}

TEST_F(Summary, ShortFlatSiteGetsTheLowOutline) {
    SiteGrid g = make_grid(5, 10, 50, [](int) { return 3.0f; });
    SiteSummary s = sample_summary(200, 450);
    std::int8_t turned = 0;
    auto rec = portray(g, s, turned);
    EXPECT_EQ(count_starting(rec, "     #                                        #"),
              15);  // aspect 0.5
}

TEST_F(Summary, ReadgReadsBothLayouts) {
    for (int ns : {20, 40}) {
        SiteGrid g = make_grid(ns, 20, 50, [](int) { return 8.0f; });
        SiteSummary s = sample_summary(50 * (ns - 1), 950);
        std::int8_t turned = 0;
        portray(g, s, turned, 0);
        SiteSummary back;
        back.ratio = 77;
        ASSERT_EQ(READG("S.OUT", back), GRID_OK);
        EXPECT_EQ(back.seq_since_last, 3);
        EXPECT_EQ(back.total_seq, 12);
        EXPECT_EQ(back.ratio, ns == 20 ? 77 : 2);  // read only from a reduced portrayal
        EXPECT_EQ(back.lineal_scale, s.lineal_scale);
        EXPECT_EQ(back.portrayal_points, ns * 20);
        EXPECT_EQ(back.ns_extent, 50 * (ns - 1));
        EXPECT_EQ(back.we_extent, 950);
        EXPECT_EQ(back.survey_interval, 25);
        EXPECT_EQ(back.portrayal_interval, 50);
        EXPECT_FLOAT_EQ(back.corners.nw_e, 1000.5f);
        EXPECT_FLOAT_EQ(back.corners.nw_n, 2000.25f);
        EXPECT_FLOAT_EQ(back.corners.se_e, 2000.0f);
        EXPECT_FLOAT_EQ(back.corners.centre_n, 1500.0f);
    }
}

TEST_F(Summary, ReadgReportsMissingAndShortFiles) {
    SiteSummary s;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(shown(READG("NONE.OUT", s)), GRID_MISSING);
    write_file("SHORT.OUT", " D I S P O S A L\n AFTER    1 DISP\n");
    EXPECT_EQ(shown(READG("SHORT.OUT", s)), GRID_UNREADABLE);
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("UNABLE TO OPEN THE SITE SUMMARY FILE NONE.OUT"), std::string::npos);
    EXPECT_NE(out.find("UNEXPECTED END OF FILE SHORT.OUT"), std::string::npos);
    EXPECT_EQ(s.seq_since_last, 0);  // nothing taken from a damaged file
}

// ARGPB used to write counters, extents and coordinates that do not fit
// their fields as asterisks, and report success: READG could not read the
// summary back, and every later run on the site failed. Now nothing is
// written and the earlier summary stays as it was.
TEST_F(Summary, ValuesTheSummaryCannotHoldAreNotWritten) {
    SiteGrid g = make_grid(20, 20, 50, [](int) { return 8.0f; });
    ResampleWork w;
    ASSERT_TRUE(GRID1("S.IN", 0.0f, 0.0f, g, w, GRID1_GRID_ONLY, 0, ""));
    SiteSummary good = sample_summary(950, 950);
    std::int8_t turned = 0;
    ASSERT_TRUE(ARGPB("S.IN", "S.OUT", good, 0, turned));
    const auto before = lines("S.OUT");
    struct Case {
        const char* what;
        void (*spoil)(SiteSummary&);
        std::int8_t new_site;
        const char* message;  // "" : it fits
    };
    const Case cases[] = {
        {"corner", [](SiteSummary& s) { s.corners.nw_e = 12345678.0f; }, 0,
         "THE NW CORNER EASTING 12345678.0000 DOES NOT FIT THE SUMMARY FILE (F12.4)"},
        {"centre", [](SiteSummary& s) { s.corners.centre_n = -1.0e7f; }, 0,
         "THE CENTRE NORTHING -10000000.0000"},
        {"counter", [](SiteSummary& s) { s.total_seq = 10000; }, 0,
         "THE TOTAL NUMBER OF DISPOSAL SEQUENCES 10000 DOES NOT FIT THE SUMMARY FILE (I4)"},
        {"counter of a new site", [](SiteSummary& s) { s.total_seq = 10000; }, 1,
         ""},  // set to 0 first
        {"extent", [](SiteSummary& s) { s.we_extent = 1000000; }, 0,
         "THE W-E EXTENT 1000000 DOES NOT FIT"},
        {"lineal scale", [](SiteSummary& s) { s.we_extent = 999999; }, 0,
         "THE LINEAL SCALE (FEET PER INCH) 99998 IS TOO LARGE"},
        {"survey interval", [](SiteSummary& s) { s.survey_interval = 10000; }, 0,
         "THE SURVEY INTERVAL 10000"},
    };
    for (const Case& c : cases) {
        SiteSummary s = good;
        c.spoil(s);
        const std::string fault = summary_fault(g, s, c.new_site);
        if (*c.message == '\0') {
            EXPECT_EQ(fault, "") << c.what;
            continue;
        }
        EXPECT_NE(fault.find(c.message), std::string::npos) << c.what << ": " << fault;
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(shown(ARGPB("S.IN", "S.OUT", s, c.new_site, turned))) << c.what;
        const std::string said = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(said.find("SUMMARY FILE S.OUT NOT WRITTEN: "), std::string::npos) << said;
        EXPECT_EQ(lines("S.OUT"), before) << c.what;
    }
    // The check a program makes before it stores anything.
    SiteSummary far = good;
    far.corners.nw_e = 12345678.0f;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(shown(site_storable(g, far, 0)));
    EXPECT_NE(
        ::testing::internal::GetCapturedStdout().find("NO GRID WRITTEN: THE NW CORNER EASTING"),
        std::string::npos);
    EXPECT_TRUE(site_storable(g, good, 0));
}

// A summary cut inside its header used to hand READG the cut values as if
// padded with blanks (a centre northing of 0, a corner shortened to its first
// digits). Now the record that ends early is named and nothing is taken.
TEST_F(Summary, ReadgRefusesARecordCutShort) {
    SiteGrid g = make_grid(20, 20, 50, [](int) { return 8.0f; });
    SiteSummary s = sample_summary(950, 950);
    std::int8_t turned = 0;
    auto rec = portray(g, s, turned, 0);
    const auto centre = std::find_if(rec.begin(), rec.end(), [](const std::string& r) {
        return r.rfind("         EASTING=", 0) == 0;
    });
    ASSERT_NE(centre, rec.end());
    centre->resize(35);
    std::ofstream out("CUT.OUT");
    for (const auto& r : rec) out << r << "\n";
    out.close();
    SiteSummary back;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(shown(READG("CUT.OUT", back)), GRID_UNREADABLE);
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(
        said.find("RECORD CUT SHORT IN FILE CUT.OUT, RECORD " +
                  std::to_string(centre - rec.begin() + 1) + ", FIELD 2 (COLUMNS 42-53, F12.4)"),
        std::string::npos)
        << said;
    EXPECT_EQ(back.total_seq, 0);
}

}  // namespace
