// The kernels of the grid utilities: berm lines, the berm itself, volumes.
#include <gtest/gtest.h>

#include <cmath>

#include "utility/utility.hpp"

using namespace utility;

namespace {

gridlib::SiteGrid wavy_site(int rows, int cols, int interval, float rotation, std::int16_t system) {
    gridlib::SiteGrid g;
    g.points_ns = static_cast<std::int16_t>(rows);
    g.points_we = static_cast<std::int16_t>(cols);
    g.total_points = rows * cols;
    g.interval = static_cast<std::int16_t>(interval);
    g.rotation = rotation;
    g.coord_system = system;
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < cols; ++k) {
            float d = 40.0f + 15.0f * std::sin(0.3f * static_cast<float>(r)) *
                                  std::cos(0.2f * static_cast<float>(k));
            if ((r * 7 + k * 3) % 11 == 0) d = 10.0f;  // knolls shallower than any crest below
            g.depth[static_cast<std::size_t>(r * cols + k)] = d;
        }
    return g;
}

TEST(BermLine, StepsRunFromTheStartTowardTheEnd) {
    const CoordFactors plane;
    struct Case {
        const char* what;
        Berm berm;
        std::int32_t steps;
        suitefiles::Position first, last;
    };
    Berm b345;  // a 3-4-5 triangle: 500 ft, 5 steps of 100 ft
    b345.start_e = 1000.0f, b345.start_n = 1000.0f, b345.end_e = 1300.0f, b345.end_n = 1400.0f;
    Berm back = b345;
    std::swap(back.start_e, back.end_e);
    std::swap(back.start_n, back.end_n);
    Berm south;  // due south: |dE| < 1 takes the angle 1.5708
    south.start_e = 500.0f, south.start_n = 1000.0f, south.end_e = 500.5f, south.end_n = 350.0f;
    Berm short_berm;  // shorter than one interval: no steps, the start is not one
    short_berm.end_e = 60.0f, short_berm.end_n = 79.0f;
    const Case cases[] = {
        {"north-east", b345, 5, {1060.0f, 1080.0f}, {1300.0f, 1400.0f}},
        {"south-west", back, 5, {1240.0f, 1320.0f}, {1000.0f, 1000.0f}},
        {"due south", south, 6, {500.0f, 900.0f}, {500.0f, 400.0f}},
        {"short", short_berm, 0, {}, {}},
    };
    for (const Case& c : cases) {
        auto steps = berm_steps(c.berm, 100, plane);
        ASSERT_EQ(static_cast<std::int32_t>(steps.size()), c.steps) << c.what;
        if (steps.empty()) continue;
        // cos(1.5708) is -3.7e-6, not 0: a due-south berm drifts 2 mm in 600 ft.
        EXPECT_NEAR(steps.front().e, c.first.e, 3e-3) << c.what;
        EXPECT_NEAR(steps.front().n, c.first.n, 3e-3) << c.what;
        EXPECT_NEAR(steps.back().e, c.last.e, 3e-3) << c.what;
        EXPECT_NEAR(steps.back().n, c.last.n, 3e-3) << c.what;
    }
    // The north-south angle is the stated 1.5708, not the exact right angle.
    EXPECT_EQ(berm_line(south, 100, plane).sina, std::sin(1.5708f));
}

TEST(BermLine, GeographicStepsMoveTowardTheEnd) {
    // Longitudes are positive to the west: an end with a smaller longitude
    // lies east of the start, and the steps must go there, not away from it.
    const CoordFactors geo = coord_factors(2, 40.0f);
    EXPECT_EQ(geo.fact, 364800.0f);
    EXPECT_EQ(geo.sgn, -1.0f);
    struct Case {
        float end_e, end_n;
    };
    for (Case c : {Case{69.99f, 40.0f}, Case{70.01f, 40.01f}, Case{69.995f, 39.99f}}) {
        Berm b;
        b.start_e = 70.0f, b.start_n = 40.0f, b.end_e = c.end_e, b.end_n = c.end_n;
        auto steps = berm_steps(b, 100, geo);
        ASSERT_GT(steps.size(), 20u);
        float length = std::hypot((c.end_e - 70.0f) * geo.cl, c.end_n - 40.0f) * 364800.0f;
        for (std::size_t j = 0; j < steps.size(); ++j) {
            float along = 100.0f * static_cast<float>(j + 1);
            // On the segment, at j x interval from the start.
            EXPECT_NEAR((steps[j].e - 70.0f) / (c.end_e - 70.0f) * length, along, 8.0f)
                << c.end_e << " step " << j;
            if (c.end_n != 40.0f) {
                EXPECT_NEAR((steps[j].n - 40.0f) / (c.end_n - 40.0f) * length, along, 8.0f);
            }
        }
    }
}

// The berm that visits only the reachable points must leave exactly the
// depths of the sweep over the whole grid.
TEST(Berm, WindowedBermEqualsWholeGridSweep) {
    struct Case {
        const char* what;
        int rows, cols, interval;
        float rotation;
        std::int16_t system;
        float nw_e, nw_n;
        Berm berm;
    };
    auto berm = [](float se, float sn, float ee, float en, float crest, float slope, int width) {
        Berm b;
        b.start_e = se, b.start_n = sn, b.end_e = ee, b.end_n = en;
        b.crest = crest, b.slope = slope, b.crest_width = static_cast<std::int16_t>(width);
        return b;
    };
    const Case cases[] = {
        {"diagonal", 31, 27, 20, 0.0f, 1, 1000.0f, 5000.0f,
         berm(1010, 4990, 1500, 4400, 25, 0.2f, 30)},
        {"rotated, state plane, partly off site", 31, 27, 20, 33.3f, 1, 2.1e6f, 7.5e5f,
         berm(2.1e6f - 200, 7.5e5f + 100, 2.1e6f + 400, 7.5e5f - 350, 28, 0.05f, 16)},
        {"geographic", 25, 29, 20, 12.0f, 2, 76.5f, 38.9f,
         berm(76.4999f, 38.8999f, 76.4985f, 38.8987f, 26, 0.3f, 40)},
        {"crest below the bottom", 20, 20, 20, 0.0f, 1, 0.0f, 0.0f,
         berm(0, -10, 380, -300, 200, 0.5f, 30)},
        {"wide crest, odd interval", 40, 35, 7, 71.0f, 1, 300.0f, 800.0f,
         berm(290, 790, 420, 600, 30, 1.0f, 200)},
        {"off the site", 20, 20, 20, 0.0f, 1, 0.0f, 0.0f, berm(-900, 0, -900, -400, 20, 0.2f, 30)},
        {"slope so gentle a cone spans the site", 20, 22, 20, 5.0f, 1, 0.0f, 0.0f,
         berm(30, -30, 300, -200, 20, 0.002f, 10)},
        {"starting far off the site and crossing it", 20, 20, 20, 20.0f, 1, 0.0f, 0.0f,
         berm(-30000, 9000, 20115.4f, -6255.4f, 22, 0.3f, 20)},
        {"geographic, crossing the site from far away", 25, 29, 20, 0.0f, 2, 76.5f, 38.9f,
         berm(77.5f, 38.8994f, 75.498f, 38.89928f, 26, 0.3f, 40)},
    };
    for (const Case& c : cases) {
        gridlib::SiteGrid sweep = wavy_site(c.rows, c.cols, c.interval, c.rotation, c.system);
        gridlib::SiteGrid windowed = sweep;
        ShapedSite a(sweep, c.nw_e, c.nw_n), b(windowed, c.nw_e, c.nw_n);
        apply_berm_every_point(a, c.berm);
        apply_berm(b, c.berm);
        int changed = 0;
        gridlib::SiteGrid before = wavy_site(c.rows, c.cols, c.interval, c.rotation, c.system);
        for (std::int32_t i = 0; i < sweep.total_points; ++i) {
            std::size_t p = static_cast<std::size_t>(i);
            ASSERT_EQ(sweep.depth[p], windowed.depth[p]) << c.what << " point " << i + 1;
            changed += sweep.depth[p] != before.depth[p];
        }
        if (std::string(c.what) != "off the site") {
            EXPECT_GT(changed, 0) << c.what;  // the case does test something
        }
    }
}

// A berm line many times longer than the site, with steps of a foot, once
// took a minute and more stepping through points nowhere near the site; only
// the steps that can reach it are visited now, with the same result.
TEST(Berm, LineFarLongerThanTheSiteCrossesItAtOnce) {
    gridlib::SiteGrid g = wavy_site(20, 20, 1, 0.0f, 1);
    ShapedSite site(g, 0.0f, 0.0f);
    Berm b;
    b.start_e = -2.0e7f, b.start_n = -10.0f, b.end_e = 2.0e7f, b.end_n = -10.0f;
    b.crest = 5.0f, b.slope = 100.0f, b.crest_width = 2;
    ASSERT_EQ(berm_line(b, 1, site.f).steps, 40000000);
    apply_berm(site, b);
    for (int r = 0; r < 20; ++r)
        for (int k = 0; k < 20; ++k) {
            const float d = g.depth[static_cast<std::size_t>(r * 20 + k)];
            // The crest band reaches 1 + 5 = 6 ft either side of row 10; the
            // steps lie 2 ft apart out here (single precision near 2e7), so
            // the band's edge rows 4 and 16 are caught only in part.
            if (r >= 5 && r <= 15) {
                EXPECT_EQ(d, 5.0f) << r << " " << k;
            } else if (r < 4 || r > 16) {
                EXPECT_GT(d, 5.0f) << r << " " << k;
            }
        }
}

TEST(Berm, CrestBandSetsTheCrestDepthEvenWhereTheBottomWasShallower) {
    gridlib::SiteGrid g = wavy_site(10, 10, 50, 0.0f, 1);
    for (float& d : g.depth) d = 12.0f;  // shallower than the crest
    ShapedSite site(g, 0.0f, 0.0f);
    Berm b;
    b.start_e = 0.0f, b.start_n = -225.0f, b.end_e = 450.0f,
    b.end_n = -225.0f;                                    // between rows 4 and 5
    b.crest = 20.0f, b.slope = 0.1f, b.crest_width = 46;  // band 28 ft reaches 25 ft either side
    apply_berm(site, b);
    for (int r = 0; r < 10; ++r)
        for (int k = 0; k < 10; ++k) {
            float expected = ((r == 4 || r == 5) && k >= 1)
                                 ? 20.0f
                                 : 12.0f;  // column 0 is the start, not a step
            EXPECT_EQ(g.depth[static_cast<std::size_t>(r * 10 + k)], expected) << r << "," << k;
        }
}

TEST(Volumes, HandComputedCutFillAndMean) {
    gridlib::SiteGrid first, second;
    first.total_points = second.total_points = 3;
    first.interval = second.interval = 10;  // cells of 100 sq ft
    first.depth[0] = 10.0f, first.depth[1] = 12.0f, first.depth[2] = 9.5f;
    second.depth[0] = 10.0f, second.depth[1] = 11.0f, second.depth[2] = 10.0f;

    gridlib::SiteGrid above = first;
    Volumes v = grid_volumes(above, nullptr, 11.0f, false);  // D = 1, -1, 1.5
    EXPECT_DOUBLE_EQ(v.fill, 250.0 / 27.0);
    EXPECT_DOUBLE_EQ(v.cut, -100.0 / 27.0);
    EXPECT_EQ(above.depth[1], 12.0f);  // not stored

    v = grid_volumes(first, &second, 0.0f, true);  // D = 0, 1, -0.5
    EXPECT_DOUBLE_EQ(v.fill, 100.0 / 27.0);
    EXPECT_DOUBLE_EQ(v.cut, -50.0 / 27.0);
    EXPECT_DOUBLE_EQ(v.net, 50.0 / 27.0);
    EXPECT_FLOAT_EQ(v.mean, 0.5f / 3.0f);
    EXPECT_EQ(first.depth[0], 0.0f);
    EXPECT_EQ(first.depth[1], 1.0f);
    EXPECT_EQ(first.depth[2], -0.5f);
}

TEST(Volumes, LargeSiteKeepsEveryCubicYard) {
    // 40401 cells of 100 x 100 ft, half a foot each: a 32-bit running sum
    // would drift by whole cubic yards.
    gridlib::SiteGrid g;
    g.total_points = 40401;
    g.interval = 100;
    std::fill(g.depth.begin(), g.depth.end(), 10.0f);
    Volumes v = grid_volumes(g, nullptr, 10.5f, false);
    EXPECT_DOUBLE_EQ(v.fill, 40401.0 * 5000.0 / 27.0);
    EXPECT_EQ(v.cut, 0.0);
}

}  // namespace
