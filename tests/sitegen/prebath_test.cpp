// PREBATH: the sloping plane, the long-term datum and the filling of empty points.
#include <gtest/gtest.h>

#include <vector>

#include "sitegen/sitegen.hpp"

using namespace sitegen;

namespace {

Control plane(int we, int ns, std::int32_t we_extent, std::int32_t ns_extent, float nw_depth,
              float slope_we, float slope_ns) {
    Control c;
    c.mode = MODE_PLANE;
    c.points_we = static_cast<std::int16_t>(we);
    c.points_ns = static_cast<std::int16_t>(ns);
    c.total_points = we * ns;
    c.interval = 100;
    c.we_extent = we_extent;
    c.ns_extent = ns_extent;
    c.nw_depth = nw_depth;
    c.slope_we = slope_we;
    c.slope_ns = slope_ns;
    return c;
}

TEST(Prebath, SlopingPlanesAndTheirDatum) {
    struct Case {
        const char* what;
        Control c;
        std::vector<float> depths;  // in point order, after the filling
        float datum;
    };
    const Case cases[] = {
        // depth = 30 - k x 5/5 - r x 6/3
        {"6 x 4, sloping both ways",
         plane(6, 4, 500, 300, 30.0f, 0.01f, 0.02f),
         {30, 29, 28, 27, 26, 25, 28, 27, 26, 25, 24, 23,
          26, 25, 24, 23, 22, 21, 24, 23, 22, 21, 20, 19},
         24.5f},
        {"flat",
         plane(3, 2, 200, 100, 17.25f, 0.0f, 0.0f),
         {17.25f, 17.25f, 17.25f, 17.25f, 17.25f, 17.25f},
         17.25f},
        // 2, 1, 0, -1: the 0 takes the mean of 2 and 1; the point above datum keeps its depth
        {"crossing 0", plane(4, 1, 300, 0, 2.0f, 0.01f, 0.0f), {2.0f, 1.0f, 1.5f, -1.0f}, 1.5f},
        // one column: no drop along it, and no division by 0 points - 1
        {"one column", plane(1, 3, 0, 200, 20.0f, 0.5f, 0.05f), {20.0f, 15.0f, 10.0f}, 15.0f},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        gridlib::SiteGrid g = grid_of(k.c);
        g.depth.assign(gridlib::MAXPTS, 99.0f);  // PREBATH clears the site's points first
        const Depths d = PREBATH(k.c, g);
        ASSERT_TRUE(d.datum_formed);
        EXPECT_FLOAT_EQ(d.datum, k.datum);
        for (std::size_t i = 0; i < k.depths.size(); ++i)
            EXPECT_FLOAT_EQ(g.depth[i], k.depths[i]) << "point " << i + 1;
        EXPECT_EQ(d.beyond, 0);
    }
}

TEST(Prebath, PointNumbersBeyondTheLatticeAreSetToZeroAndReported) {
    Control c = plane(2, 2, 100, 100, 10.0f, 0.0f, 0.0f);
    c.total_points = 6;  // two more than 2 x 2
    gridlib::SiteGrid g = grid_of(c);
    g.depth.assign(gridlib::MAXPTS, 99.0f);
    testing::internal::CaptureStdout();
    const Depths d = PREBATH(c, g);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("INDEX EXCEEDS NGPT IN PREBATH"), std::string::npos);
    EXPECT_EQ(d.beyond, 2);
    EXPECT_EQ(d.positive, 4);
    EXPECT_FLOAT_EQ(d.datum, 10.0f);
    EXPECT_FLOAT_EQ(g.depth[4], 10.0f);  // 0, then filled with the mean
    EXPECT_FLOAT_EQ(g.depth[5], 10.0f);
}

TEST(Prebath, NoDepthAboveZeroFormsNoDatum) {
    Control c = plane(3, 3, 200, 200, -5.0f, 0.0f, 0.0f);
    gridlib::SiteGrid g = grid_of(c);
    const Depths d = PREBATH(c, g);
    EXPECT_FALSE(d.datum_formed);
    EXPECT_EQ(d.positive, 0);
    EXPECT_FLOAT_EQ(g.depth[0], -5.0f);  // left as built, no mean to fill with
}

TEST(Prebath, ControlValuesThatMakeNoGrid) {
    Control ok = plane(6, 4, 500, 300, 30.0f, 0.0f, 0.0f);
    ok.coord_system = 1;
    ok.site = "SITE1 ";
    ok.corners = suitefiles::expected_corners(ok);
    EXPECT_EQ(control_fault(ok), "");
    struct Case {
        const char* what;
        void (*change)(Control&);
        const char* says;
    };
    const Case cases[] = {
        {"total", [](Control& c) { c.total_points = 25; },
         "RECORD 10: THE TOTAL OF 25 POINTS IS NOT 6 x 4 = 24"},
        {"too many",
         [](Control& c) {
             c.points_we = 202;
             c.points_ns = 201;
             c.total_points = 202 * 201;
         },
         "MORE THAN THE 40401"},
        {"no columns",
         [](Control& c) {
             c.points_we = 0;
             c.total_points = 0;
         },
         "EACH MUST BE 1 TO 999"},
        {"interval", [](Control& c) { c.interval = 0; }, "RECORD 10: THE INTERVAL IS 0 FT"},
        {"system", [](Control& c) { c.coord_system = 3; }, "RECORD 4: THE COORDINATE SYSTEM IS 3"},
        {"mode", [](Control& c) { c.mode = 0; }, "RECORD 11: THE GENERATION MODE IS 0"},
        {"site name", [](Control& c) { c.site = " SITE1"; }, "RECORD 1: NO SITE NAME"},
    };
    for (const Case& k : cases) {
        Control c = ok;
        k.change(c);
        EXPECT_NE(control_fault(c).find(k.says), std::string::npos)
            << k.what << ": " << control_fault(c);
    }
}

}  // namespace

namespace {

// Names the name rules refuse, and extents, corners or a centre the lattice
// and the rotation do not give, refused with the value that would fit.
TEST(SitegenIni, GeometryAndNamesThatDoNotFit) {
    Control ok = plane(6, 4, 500, 300, 30.0f, 0.0f, 0.0f);
    ok.site = "SITE1 ";
    ok.rotation = 35.0f;
    ok.site_nw_e = 1000.0f;
    ok.site_nw_n = 5000.0f;
    ok.corners = suitefiles::expected_corners(ok);
    ASSERT_EQ(control_fault(ok), "");
    struct Case {
        const char* what;
        void (*change)(Control&);
        const char* says;
    };
    const Case cases[] = {
        {"period in the site name", [](Control& c) { c.site = "S.T   "; },
         "RECORD 1: A PERIOD IN THE NAME"},
        {"suite file stem as site", [](Control& c) { c.site = "TIDE  "; },
         "RECORD 1: TIDE IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {"blank inside the prefix", [](Control& c) { c.prefix = "MY DIR/"; },
         "RECORD 3: A BLANK INSIDE THE NAME"},
        {"climbing prefix", [](Control& c) { c.prefix = "../"; }, "RECORD 3: A '..' IN THE PATH"},
        {"W-E extent", [](Control& c) { c.we_extent = 600; },
         "RECORD 8: IS NOT (POINTS W-E - 1) x INTERVAL = 500 FT"},
        {"N-S extent", [](Control& c) { c.ns_extent = 400; },
         "RECORD 8: IS NOT (POINTS N-S - 1) x INTERVAL = 300 FT"},
        // The NE corner of an unrotated site: where a clockwise reading of
        // the rotation would put it.
        {"NE corner turned the wrong way", [](Control& c) { c.corners.ne_n = 5000.0f - 286.79f; },
         "RECORD 6: DOES NOT FIT THE NW CORNER, ROTATION, POINTS AND INTERVAL; THEY PUT IT AT "
         "1409.5757 5286.7886"},
        {"SE corner", [](Control& c) { c.corners.se_e += 5.0f; }, "RECORD 7: DOES NOT FIT"},
        {"centre", [](Control& c) { c.corners.centre_n -= 2.0f; }, "RECORD 9: DOES NOT FIT"},
    };
    for (const Case& k : cases) {
        Control c = ok;
        k.change(c);
        EXPECT_NE(control_fault(c).find(k.says), std::string::npos)
            << k.what << ": " << control_fault(c);
    }
}

// What the writer writes, the reader takes back as the same values: the
// records of a file read, written and read again are those first written.
// (The fixtures' corners carry more digits than a 32-bit real holds, and
// their records end without the trailing blanks of their fields, so their
// own text is not what the writer gives back.)
TEST(SitegenIni, RecordsReadBackAsWritten) {
    const char* fixtures[] = {"plane_site", "geographic_site", "survey_site"};
    const std::string copy = ::testing::TempDir() + "SITEGEN_COPY.INI";
    for (const char* f : fixtures) {
        recio::RecordReader in(std::string(TEST_DATA_DIR) + "/sitegen/" + f + "/SITEGEN.INI");
        const Control c = read_control(in);
        EXPECT_EQ(control_fault(c), "") << f;
        ASSERT_TRUE(suitefiles::write_sitegen_ini(copy, c));
        recio::RecordReader again(copy);
        EXPECT_EQ(suitefiles::sitegen_ini_records(read_control(again)),
                  suitefiles::sitegen_ini_records(c))
            << f;
    }
}

}  // namespace
