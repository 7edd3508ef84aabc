// Dump cells, centroids and the scatter of dumps about them.
#include <gtest/gtest.h>

#include <cmath>

#include "loadpat/loadpat.hpp"
#include "recio/random.hpp"

using namespace loadpat;

namespace {

gridlib::SiteSummary square_site(std::int32_t extent) {
    gridlib::SiteSummary s;
    s.we_extent = s.ns_extent = extent;
    s.corners.nw_e = 10000.0f;
    s.corners.nw_n = 20000.0f;
    return s;
}

TEST(Cells, CountsAndCentroids) {
    // 1000 ft square, 300 ft cells: 3 x 3 (integer part of 1000 / 300).
    CellLayout c = cell_layout(square_site(1000), 0.0f, 300.0f, 250.0f);
    EXPECT_EQ(c.columns, 3);
    EXPECT_EQ(c.rows, 4);
    EXPECT_FLOAT_EQ(c.e0, 10150.0f);  // NW easting + DXC / 2
    EXPECT_FLOAT_EQ(c.n0, 19875.0f);  // NW northing - DYC / 2

    // Turned by 90 degrees the rows run eastward and the columns northward.
    CellLayout t = cell_layout(square_site(1000), 90.0f, 300.0f, 250.0f);
    EXPECT_NEAR(t.e0, 10125.0f, 2e-3);
    EXPECT_NEAR(t.n0, 20150.0f, 2e-3);
    auto list = dump_list(t, 1);
    ASSERT_EQ(list.size(), 12u);
    EXPECT_NEAR(list[1].n, 20450.0f, 2e-3);  // next column
    EXPECT_NEAR(list[3].e, 10375.0f, 2e-3);  // next row

    EXPECT_EQ(cell_layout(square_site(1000), 0.0f, 1001.0f, 10.0f).columns, 0);
}

TEST(Cells, DumpListRepeatsThePatternForEveryLoadPass) {
    CellLayout c = cell_layout(square_site(1000), 0.0f, 300.0f, 300.0f);
    auto list = dump_list(c, 2);
    ASSERT_EQ(list.size(), 18u);
    for (std::size_t k = 0; k < 9; ++k) {
        EXPECT_FLOAT_EQ(list[k].e, 10150.0f + 300.0f * static_cast<float>(k % 3))
            << k;  // west to east
        EXPECT_FLOAT_EQ(list[k].n, 19850.0f - 300.0f * static_cast<float>(k / 3))
            << k;  // rows north to south
        EXPECT_EQ(list[k + 9].e, list[k].e);
        EXPECT_EQ(list[k + 9].n, list[k].n);
    }
}

TEST(Approach, HalfCirclesAndTheirEdges) {
    struct Case {
        const char* word;
        float bearing;
        bool full_radius;
    };
    const Case cases[] = {
        {"NO", 0.0f, true},   {"NO", 90.0f, true},   {"NO", 90.5f, false},  {"NO", 270.0f, false},
        {"NO", 270.5f, true}, {"WE", 180.0f, false}, {"WE", 180.5f, true},  {"WE", 0.0f, false},
        {"SO", 90.0f, false}, {"SO", 270.0f, true},  {"EA", 0.0f, true},    {"EA", 180.0f, false},
        {"NW", 45.0f, true},  {"NW", 225.0f, false}, {"NW", 300.0f, true},  {"SW", 135.0f, false},
        {"SW", 315.0f, true}, {"SE", 45.0f, true},   {"SE", 225.0f, false}, {"NE", 315.0f, true},
        {"NE", 135.0f, true}, {"NE", 136.0f, false}, {"XX", 10.0f, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(on_approach_side(c.word, c.bearing), c.full_radius) << c.word << " " << c.bearing;
    EXPECT_TRUE(is_approach("SW"));
    EXPECT_FALSE(is_approach("sw"));
    EXPECT_FALSE(is_approach("N"));
}

TEST(Scatter, HandDrawnDumps) {
    const suitefiles::Position centroid{1000.0f, 2000.0f};
    struct Case {
        const char* what;
        std::vector<float> draws;  // u1, u2 (, u3)
        float de, dn;              // offset from the centroid, in units of R
    };
    const Case cases[] = {
        // r = 0.22 R on a northern bearing: moved out to (1 - 0.22) R.
        {"near, approach side", {0.2f, 0.0f}, 0.0f, 0.78f},
        {"far enough, approach side",
         {0.5f, 0.125f},
         0.55f * std::sin(0.7854f),
         0.55f * std::cos(0.7854f)},
        // Due south is not on the "NO" side: a new bearing (east), half the distance.
        {"far side", {0.9f, 0.5f, 0.25f}, 0.495f, 0.0f},
    };
    for (const Case& c : cases) {
        std::size_t next = 0;
        auto draw = [&] { return c.draws.at(next++); };
        suitefiles::Position p = scatter_dump(centroid, "NO", 100.0f, draw);
        EXPECT_EQ(next, c.draws.size()) << c.what;
        EXPECT_NEAR(p.e - 1000.0f, 100.0f * c.de, 0.02f) << c.what;
        EXPECT_NEAR(p.n - 2000.0f, 100.0f * c.dn, 0.02f) << c.what;
    }
}

TEST(Scatter, ApproachSideAndFarSideRadii) {
    // Every dump within 1.1 R; on the approach side (two draws) outside 0.4 R
    // and on a full-radius bearing; on the far side (three draws) within 0.55 R.
    const float R = 50.0f;
    recio::UniformRandom random(12345);
    int sides[2] = {0, 0};
    for (const char* word : {"NO", "WE", "SO", "EA", "NW", "SW", "SE", "NE"}) {
        for (int k = 0; k < 400; ++k) {
            int draws = 0;
            auto draw = [&] {
                ++draws;
                return random.next();
            };
            suitefiles::Position p = scatter_dump({0.0f, 0.0f}, word, R, draw);
            float d = std::hypot(p.e, p.n);
            EXPECT_LE(d, 1.1f * R * 1.0001f);
            if (draws == 2) {
                float bearing = std::atan2(p.e, p.n) * 180.0f / 3.1416f;
                if (bearing < 0.0f) bearing += 360.0f;
                EXPECT_GE(d, 0.4f * R * 0.9999f) << word;
                // (the bearing read back from the position may straddle a half-circle's edge)
                EXPECT_TRUE(on_approach_side(word, bearing) ||
                            on_approach_side(word, bearing + 0.01f) ||
                            on_approach_side(word, bearing - 0.01f))
                    << word << " " << bearing;
            } else {
                EXPECT_EQ(draws, 3);
                EXPECT_LE(d, 0.55f * R * 1.0001f) << word;
            }
            ++sides[draws - 2];
        }
    }
    EXPECT_GT(sides[0], 1000);  // both sides well drawn
    EXPECT_GT(sides[1], 1000);
}

TEST(Scatter, AFixedSeedGivesTheSamePattern) {
    CellLayout c = cell_layout(square_site(1000), 0.0f, 250.0f, 250.0f);
    auto list = dump_list(c, 3);
    auto a = place_dumps(list, RANDOM_ABOUT_CENTROIDS, "SE", 60.0f, 42);
    auto b = place_dumps(list, RANDOM_ABOUT_CENTROIDS, "SE", 60.0f, 42);
    auto other = place_dumps(list, RANDOM_ABOUT_CENTROIDS, "SE", 60.0f, 43);
    ASSERT_EQ(a.size(), 48u);
    int same = 0;
    for (std::size_t k = 0; k < a.size(); ++k) {
        EXPECT_EQ(a[k].e, b[k].e);
        EXPECT_EQ(a[k].n, b[k].n);
        same += a[k].e == other[k].e;
    }
    EXPECT_LT(same, 3);
    auto centroids = place_dumps(list, AT_CENTROIDS, "", 0.0f, 42);
    EXPECT_EQ(centroids[5].e, list[5].e);
}

}  // namespace
