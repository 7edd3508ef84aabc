// The placement summary: header, load lines, continuation pages, lateral list.
#include "placer/report.hpp"

#include <cstdint>

#include "placer_fixture.hpp"

namespace {

class Report : public PlacerFolder {};

TEST_F(Report, HeaderAndLoadLines) {
    placer::DumpControl c = test_control();
    c.material = "SILTY FINE SAND FROM THE ENTRANCE BAR";
    c.technique = "SPLIT-HULL POINT DUMP ON BUOY";
    placer::PlacementReport r;
    ASSERT_TRUE(r.open("RUN1.ACT"));
    r.header(c);
    r.load_line(2, 1000.0f, 1600.0f, 4800.0f);
    r.load_line(-1, 12.4f, 123456.789f, -5.0f);
    ASSERT_TRUE(r.close());
    const std::vector<std::string> expected = {
        " DREDGING   PLACEMENT   SUMMARY   FOR   SITE: SITE  ",
        "",
        "",
        " TYPE OF MATERIAL PLACED AT SITE: SILTY FINE SAND FROM T",
        " AMOUNT MATERIAL PLACED AT SITE:    3000",
        " EQUIPMENT USED FOR MATERIAL PLACEMENT: SCOW1 ",
        " PLACEMENT TECHNIQUE: SPLIT-HULL POINT DUM",
        " DATE OF PLACEMENT COMMENCEMENT:  6,2024",
        " DATE OF PLACEMENT CONCLUSSION:  7,2024",
        " NUMBER OF LOADS TO PLACE ALL MATERIAL:    3",
        "",
        "",
        "",
        " LOAD #          PER LOAD VOLUME               LOCATION",
        "                                         EASTING     NORTHING",
        "",
        "      2              1000.             1600.0000      4800.0000",
        "     -1                12.           123456.7891        -5.0000",
    };
    EXPECT_EQ(lines("RUN1.ACT"), expected);
}

TEST_F(Report, NavigableDepthPage) {
    // Depths truncated to whole feet at or above the navigable depth are listed.
    gridlib::SiteGrid g = make_grid(2, 3, 20, [](int i) {
        return i == 2 ? 12.9f : i == 6 ? 11.0f : 13.0f;
    });
    placer::PlacementReport r;
    ASSERT_TRUE(r.open("RUN1.ACT"));
    r.navigable_page(frame_of(g), g.depth, 12);
    r.navigable_page(frame_of(g), g.depth, 10);
    ASSERT_TRUE(r.close());
    const std::vector<std::string> expected = {
        "\f DREDGING PLACEMENT SUMMARY, CONT.",
        "",
        "",
        "",
        " LOCATIONS WHERE NAVIGABLE DEPTH HAS BEEN EXCEEDED",
        "",
        " NAVIGABLE DEPTH =   12",
        "",
        "",
        "      EASTING     NORTHING             ACTUAL DEPTH(ft)",
        "",
        "    1020.0000        5000.0000            12.9",
        "    1040.0000        4980.0000            11.0",
        "\f DREDGING PLACEMENT SUMMARY, CONT.",
        "",
        "",
        "",
        " LOCATIONS WHERE NAVIGABLE DEPTH HAS BEEN EXCEEDED",
        "",
        " NAVIGABLE DEPTH =   10",
        "",
        "",
        " NAVIGABLE DEPTH HAS NOT BEEN EXCEEDED WITHIN",
        " THE DISPOSAL AREA",
    };
    EXPECT_EQ(lines("RUN1.ACT"), expected);
}

TEST_F(Report, LateralTolerancePageAndList) {
    // A site 1000 ft x 600 ft about (1500, 4700), tolerance 50: beyond 450 ft
    // east-west or 250 ft north-south of the centre a load is outside.
    placer::LateralList list;
    const placer::Scale sc;
    auto test = [&](std::int16_t k, float e, float n) {
        list.test(k, e, n, 1500.0f, 4700.0f, 1000, 600, 50, sc);
    };
    test(1, 1500.0f, 4700.0f);
    test(2, 1949.0f, 4949.0f);
    EXPECT_FALSE(list.any_outside);
    test(3, 1960.5f, 4700.0f);  // 10.5 ft beyond
    test(4, 1500.0f, 5984.0f);  // 1034 ft beyond: asterisks in I3
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0], std::make_pair(std::int16_t{3}, 10));
    placer::PlacementReport r;
    ASSERT_TRUE(r.open("RUN1.ACT"));
    r.lateral_page(list, 50);
    r.lateral_page(placer::LateralList{}, 50);
    ASSERT_TRUE(r.close());
    const std::vector<std::string> page = lines("RUN1.ACT");
    const std::vector<std::string> expected = {
        "\f DREDGING PLACEMENT SUMMARY, CONT.",
        "",
        "",
        "",
        " LOCATIONS WHERE DREDGING PLACEMENTS HAVE",
        " BEEN DEPOSITED OUTSIDE THE BOUNDARIES LATERAL TOLERANCE",
        "",
        " LATERAL BOUNDARY TOLERANCE =   50",
        "",
        "",
        "",
        "",
        "",
        "           LOAD #               DIST. FROM LAT. BOUNDRY(ft)",
        "              3                                         10",
        "              4                                        ***",
        "\f DREDGING PLACEMENT SUMMARY, CONT.",
        "",
        "",
        "",
        " LOCATIONS WHERE DREDGING PLACEMENTS HAVE",
        " BEEN DEPOSITED OUTSIDE THE BOUNDARIES LATERAL TOLERANCE",
        "",
        " LATERAL BOUNDARY TOLERANCE =   50",
        "",
        "",
        " NO DISPOSALS HAVE BEEN PLACED OUTSIDE LATERAL BOUNDARY TOLERANCES",
    };
    EXPECT_EQ(page, expected);
    // The list holds 500 entries; later ones replace the 500th.
    for (int k = 0; k < 600; ++k) test(static_cast<std::int16_t>(k), 2000.0f, 4700.0f);
    EXPECT_EQ(list.entries.size(), 500u);
    EXPECT_EQ(list.entries.back().first, 599);
    EXPECT_EQ(list.entries[499 - 1].first, 496);
}

TEST_F(Report, RunLengthFile) {
    ASSERT_TRUE(placer::write_run_length("RUN1.TIM", 336));
    EXPECT_EQ(lines("RUN1.TIM"), std::vector<std::string>({"    336"}));
}

// A request far off the site (1E30 from a placement file) is beyond the
// tolerance by more feet than a 32-bit count holds: it is listed at the end
// of the range (asterisks in I3) instead of a count wrapped round.
TEST_F(Report, LoadFarOffTheSiteIsListedWithoutOverflow) {
    placer::LateralList list;
    list.test(1, 1.0E30f, 4700.0f, 1500.0f, 4700.0f, 1000, 600, 50, placer::Scale{});
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].second, INT32_MAX);
}

}  // namespace
