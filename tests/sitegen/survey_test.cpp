// The survey adaptation: column names, the candidate rule, the weights, the
// batches, and the index that must give the plain rule's result bit for bit.
#include "sitegen/survey.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <random>

#include "program_fixture.hpp"

using namespace survey;
using gridlib::SiteGrid;

namespace {

SiteGrid make_grid(int we, int ns, int interval, float rotation, std::int16_t system) {
    SiteGrid g;
    g.points_we = static_cast<std::int16_t>(we);
    g.points_ns = static_cast<std::int16_t>(ns);
    g.total_points = we * ns;
    g.interval = static_cast<std::int16_t>(interval);
    g.rotation = rotation;
    g.coord_system = system;
    return g;
}

TEST(SurveyColumns, NamesAreKnownByTheirFirstTwoCharacters) {
    using Q = Quantity;
    const Q N = Q::Northing, E = Q::Easting, D = Q::Depth;
    struct Case {
        std::array<std::string, 3> names;
        bool known;
        std::array<Q, 3> order;
    };
    const Case cases[] = {
        {{"N", "E", "D"}, true, {N, E, D}},
        {{"LAT", "LONG", "DEPTH"}, true, {N, E, D}},
        {{"LA", "LO", "DE"}, true, {N, E, D}},
        {{"E", "N", "D"}, true, {E, N, D}},
        {{"E", "D", "N"}, true, {E, D, N}},
        {{"D", "LAT", "LONG"}, true, {D, N, E}},
        {{"DEPTH", "LONG", "LAT"}, true, {D, E, N}},
        {{"N       ", "D", "E"}, true, {N, D, E}},  // as read from an A8 field
        {{"NORTH", "EAST", "DEPTH"}, false, {}},    // "NO" and "EA" are not names
        {{"N", "N", "D"}, false, {}},               // a quantity twice
        {{" N", "E", "D"}, false, {}},              // a leading blank
        {{"n", "e", "d"}, false, {}},               // names are upper case
        {{"", "", ""}, false, {}},
    };
    for (const Case& c : cases) {
        std::array<Q, 3> order;
        SCOPED_TRACE(c.names[0] + "," + c.names[1] + "," + c.names[2]);
        ASSERT_EQ(column_order(c.names, order), c.known);
        if (c.known) {
            EXPECT_EQ(order, c.order);
        }
    }
}

TEST(SurveyCandidates, EightAreHeldAndTheFarthestIsReplacedUnlessTheNewOneIsFarther) {
    Candidates c;
    const double d[8] = {10, 30, 20, 30, 5, 7, 9, 11};  // two farthest at 30: slots 1 and 3
    for (int i = 0; i < 8; ++i) c.offer(d[i], static_cast<float>(i + 1));
    ASSERT_EQ(c.held, 8);

    c.offer(31.0, 100.0f);  // farther than every held one: dropped
    EXPECT_EQ(c.depth[1], 2.0f);
    EXPECT_EQ(c.depth[3], 4.0f);

    c.offer(30.0, 200.0f);  // as far as the farthest: replaces the first of them
    EXPECT_EQ(c.depth[1], 200.0f);
    EXPECT_EQ(c.depth[3], 4.0f);

    c.offer(12.0, 300.0f);  // slot 1 is still the first of the farthest
    EXPECT_EQ(c.depth[1], 300.0f);
    EXPECT_EQ(c.d[1], 12.0);
    c.offer(25.0, 400.0f);  // now slot 3 is the farthest
    EXPECT_EQ(c.depth[3], 400.0f);
    EXPECT_EQ(c.d[3], 25.0);
    EXPECT_EQ(c.held, 8);

    Candidates near;
    near.offer(1.9, 10.0f);  // a distance below 2 counts as 1
    near.offer(2.0, 20.0f);
    EXPECT_EQ(near.d[0], 1.0);
    EXPECT_EQ(near.d[1], 2.0);
}

TEST(SurveyCandidates, WeightsAreInverseSquareDistances) {
    Candidates c;
    c.offer(10.0, 20.0f);
    c.offer(20.0, 40.0f);
    // (20/100 + 40/400) / (1/100 + 1/400) = 0.3 / 0.0125 = 24
    EXPECT_FLOAT_EQ(c.weighted_depth(), 24.0f);
    c.offer(1.5, 7.0f);  // stored at distance 1: dominates
    EXPECT_NEAR(c.weighted_depth(), (7.0 + 0.3) / (1.0 + 0.0125), 1e-5);
}

TEST(SurveyDistance, AxisDifferencesBelowTwoFeetCountAsOne) {
    Frame plane;
    EXPECT_DOUBLE_EQ(rule_distance(plane, 100.0f, 200.0f, 103.0f, 204.0f), 5.0);
    EXPECT_DOUBLE_EQ(rule_distance(plane, 100.0f, 200.0f, 100.0f, 200.0f), std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(rule_distance(plane, 100.0f, 200.0f, 101.5f, 250.0f), std::sqrt(1.0 + 2500.0));

    // Geographic: degrees to feet with 364800 ft per degree of latitude and
    // CL x 364800 per degree of longitude.
    Frame geo;
    geo.geographic = true;
    geo.cl = 0.5f;
    const double d = rule_distance(geo, 70.0f, 41.0f, 70.01f, 41.0f);
    const float dx = std::fabs(70.01f - 70.0f) * 0.5f * 364800.0f;
    EXPECT_DOUBLE_EQ(d, std::sqrt(static_cast<double>(dx) * static_cast<double>(dx) + 1.0));
    EXPECT_NEAR(d, 1824.0, 0.5);
}

// A survey batch made to test the rule where it is delicate: points right at
// grid points, clusters of more than 8 at equal distances, points just inside
// and just outside the radius, shallow and negative depths, positions that
// are not numbers, and points far from the site.
Batch awkward_batch(const Frame& f, std::uint32_t seed, std::size_t count) {
    std::mt19937 rng(seed);
    float lo_e = f.ge[0], hi_e = f.ge[0], lo_n = f.gn[0], hi_n = f.gn[0];
    for (std::size_t i = 0; i < f.points(); ++i) {
        lo_e = std::min(lo_e, f.ge[i]);
        hi_e = std::max(hi_e, f.ge[i]);
        lo_n = std::min(lo_n, f.gn[i]);
        hi_n = std::max(hi_n, f.gn[i]);
    }
    // The radius in the site's units along each axis.
    const float re = f.geographic ? f.radius / (f.cl * 364800.0f) : f.radius;
    const float rn = f.geographic ? f.radius / 364800.0f : f.radius;
    std::uniform_real_distribution<float> ue(lo_e - 2 * re, hi_e + 2 * re),
        un(lo_n - 2 * rn, hi_n + 2 * rn);
    std::uniform_real_distribution<float> depth(-3.0f, 60.0f), unit(-1.0f, 1.0f);
    std::uniform_int_distribution<std::size_t> grid_point(0, f.points() - 1);
    std::uniform_int_distribution<int> kind(0, 9);
    Batch b;
    while (b.size() < count) {
        const std::size_t g = grid_point(rng);
        switch (kind(rng)) {
            case 0:
                b.add(f.ge[g], f.gn[g], depth(rng));
                break;  // on a grid point
            case 1: {   // a cluster at one place, more than 8 equally far from its grid points
                const float e = f.ge[g] + 0.3f * re * unit(rng),
                            n = f.gn[g] + 0.3f * rn * unit(rng);
                for (int k = 0; k < 11; ++k) b.add(e, n, depth(rng));
                break;
            }
            case 2:
                b.add(f.ge[g] + re * 0.99999f, f.gn[g], depth(rng));
                break;  // at the radius
            case 3:
                b.add(f.ge[g], f.gn[g] - rn * 1.00001f, depth(rng));
                break;
            case 4:
                b.add(f.ge[g] + re * 0.7071f, f.gn[g] + rn * 0.7071f, depth(rng));
                break;
            case 5:
                b.add(ue(rng), un(rng), 0.5f * unit(rng));
                break;  // too shallow
            case 6:
                b.add(std::numeric_limits<float>::quiet_NaN(), un(rng), 10.0f);
                b.add(ue(rng), std::numeric_limits<float>::infinity(), 10.0f);
                break;
            case 7:
                b.add(ue(rng) * 3.0f, un(rng) * 3.0f, depth(rng));
                break;  // far away
            default:
                b.add(ue(rng), un(rng), depth(rng));
                break;
        }
    }
    return b;
}

struct Site {
    const char* what;
    int we, ns, interval;
    float rotation;
    std::int16_t system;
    float nw_e, nw_n;
    std::int32_t spacing;
    bool sparse_leaves_gaps;  // a batch of a few points leaves grid points unreached
};

TEST(SurveyIndexTest, GivesThePlainRuleBitForBit) {
    const Site sites[] = {
        {"plane, not rotated", 41, 37, 50, 0.0f, 1, 1000.0f, 9000.0f, 30, true},
        {"plane, rotated, state-plane sized coordinates", 37, 41, 25, 33.3f, 1, 2500000.0f,
         700000.0f, 100, true},
        {"plane, rotated the other way, wide radius", 30, 20, 50, -120.0f, 1, -5000.0f, 12000.0f,
         500, false},
        {"geographic, mid latitude", 41, 30, 100, 12.0f, 2, 70.8f, 41.5f, 0, true},
        {"geographic, high latitude, short interval", 25, 40, 10, -45.0f, 2, 150.25f, 60.0f, 15,
         true},
    };
    std::uint32_t seed = 1;
    for (const Site& s : sites) {
        SCOPED_TRACE(s.what);
        SiteGrid g = make_grid(s.we, s.ns, s.interval, s.rotation, s.system);
        const Frame f = make_frame(g, s.nw_e, s.nw_n, s.spacing);
        SurveyIndex index(f);
        // A full batch, then a sparse one; the index is reused from batch to batch.
        for (const std::size_t count : {BATCH_POINTS, std::size_t{120}}) {
            const Batch b = awkward_batch(f, seed++, count);
            std::vector<float> plain(f.points()), indexed(f.points());
            for (std::size_t i = 0; i < f.points(); ++i)
                plain[i] = indexed[i] = static_cast<float>(i % 7);
            std::vector<std::uint8_t> reached_plain(f.points(), 0), reached_indexed(f.points(), 0);
            const std::int32_t n_plain = adapt_batch_plain(f, b, plain, &reached_plain);
            const std::int32_t n_indexed = index.adapt_batch(b, indexed, &reached_indexed);
            EXPECT_GT(n_plain, 0);
            if (count < BATCH_POINTS && s.sparse_leaves_gaps) {
                EXPECT_LT(n_plain, static_cast<std::int32_t>(f.points()));  // some are left alone
            }
            EXPECT_EQ(n_indexed, n_plain);
            EXPECT_EQ(reached_indexed, reached_plain);
            EXPECT_EQ(std::memcmp(plain.data(), indexed.data(), plain.size() * sizeof(float)), 0);
        }
    }
}

class SurveyFile : public ProgramFolder {
  protected:
    void SetUp() override {
        ProgramFolder::SetUp();
        if (!std::freopen("/dev/null", "r", stdin)) FAIL() << "no /dev/null";
        std::cin.clear();
    }
};

TEST_F(SurveyFile, ColumnsInAnyOrderAbsoluteDepthsAndShallowPointsIgnored) {
    // A 2 x 1 site, interval 100, not rotated: grid points at (0, 0) and (100, 0).
    SiteGrid g = make_grid(2, 1, 100, 0.0f, 1);
    g.depth[0] = 3.0f;
    g.depth[1] = 4.0f;
    // Depth, easting, northing; one point on each grid point, a shallow one
    // near the first, a negative depth on the second.
    write("S.XYZ", "-12.0 0.0 0.0\n0.5, 1.0, 0.0\n20.0 100.0 0.0\n");
    const SurveySpec source{path("S.XYZ"), 10, {"DEPTH", "E", "LAT"}};
    const Outcome out = RBATH(source, g, 0.0f, 0.0f);
    EXPECT_TRUE(out.file_found);
    EXPECT_TRUE(out.columns_known);
    EXPECT_EQ(out.points_read, 3);
    EXPECT_EQ(out.points_used, 2);
    EXPECT_EQ(out.batches, 1);
    EXPECT_EQ(out.grid_points_reached, 2);
    // R = 2 x max(10, 100) = 200. Grid point 1: 12 at d = sqrt(2) (stored as 1),
    // 20 at d = sqrt(100^2 + 1); grid point 2 the other way round.
    const double far = std::sqrt(10001.0), far2 = far * far;
    EXPECT_EQ(g.depth[0], static_cast<float>((12.0 + 20.0 / far2) / (1.0 + 1.0 / far2)));
    EXPECT_EQ(g.depth[1], static_cast<float>((20.0 + 12.0 / far2) / (1.0 + 1.0 / far2)));
}

TEST_F(SurveyFile, UnknownNamesOrMissingFileLeaveTheDepths) {
    SiteGrid g = make_grid(2, 1, 100, 0.0f, 1);
    g.depth[0] = 3.0f;
    g.depth[1] = 4.0f;
    write("S.XYZ", "0.0 0.0 12.0\n");
    Outcome out = RBATH({path("S.XYZ"), 10, {"NORTH", "EAST", "DEPTH"}}, g, 0.0f, 0.0f);
    EXPECT_TRUE(out.file_found);
    EXPECT_FALSE(out.columns_known);
    EXPECT_EQ(out.points_read, 0);
    out = RBATH({path("NONE.XYZ"), 10, {"N", "E", "D"}}, g, 0.0f, 0.0f);
    EXPECT_FALSE(out.file_found);
    EXPECT_EQ(g.depth[0], 3.0f);
    EXPECT_EQ(g.depth[1], 4.0f);
}

// A 5 x 1 site, interval 100, and R = 2 x max(10, 100) = 200: grid point 1
// at easting 0 (A), point 5 at easting 400 (B). `near_a` survey points of
// depth 10 at A, then one of depth 20 at B, then the rest. A's points reach
// grid points 1 and 2, B's reach 4 and 5; nothing reaches point 3.
std::string batch_survey(int near_a, const std::string& rest) {
    std::vector<suitefiles::SurveyPoint> points(static_cast<std::size_t>(near_a),
                                                {0.0f, 0.0f, 10.0f});
    points.push_back({400.0f, 0.0f, 20.0f});
    std::string s;
    for (const std::string& r : suitefiles::survey_records(
             points, {Quantity::Northing, Quantity::Easting, Quantity::Depth}, "(3F8.1)"))
        s += r + "\n";
    return s + rest;
}

TEST_F(SurveyFile, BatchesOfTenThousandAndTheLastBatchThatReachesAPointDecides) {
    SiteGrid g = make_grid(5, 1, 100, 0.0f, 1);
    const SurveySpec source{path("S.XYZ"), 10, {"N", "E", "D"}};

    // Exactly 10000 points: one full batch, then an empty one ends the run.
    write("S.XYZ", batch_survey(9999, ""));
    Outcome out = RBATH(source, g, 0.0f, 0.0f);
    EXPECT_EQ(out.points_read, 10000);
    EXPECT_EQ(out.batches, 1);
    EXPECT_EQ(out.grid_points_reached, 4);
    EXPECT_EQ(g.depth[0], 10.0f);
    EXPECT_EQ(g.depth[2], 0.0f);
    EXPECT_EQ(g.depth[4], 20.0f);

    // Point 10001 lies 5 ft west of A with depth 50: in the second batch it is the
    // only candidate of points 1 and 2, so they take 50 rather than a blend
    // with the first batch; points 4 and 5, reached by the first batch only,
    // keep its depth.
    write("S.XYZ", batch_survey(9999, "0.0 -5.0 50.0\n"));
    out = RBATH(source, g, 0.0f, 0.0f);
    EXPECT_EQ(out.points_read, 10001);
    EXPECT_EQ(out.batches, 2);
    EXPECT_EQ(out.grid_points_reached, 4);
    EXPECT_EQ(g.depth[0], 50.0f);
    EXPECT_EQ(g.depth[1], 50.0f);
    EXPECT_EQ(g.depth[2], 0.0f);
    EXPECT_EQ(g.depth[3], 20.0f);
    EXPECT_EQ(g.depth[4], 20.0f);

    // Blank records do not count as points: the batches are runs of points.
    write("S.XYZ", "\n\n" + batch_survey(9999, "\n0.0 -5.0 50.0\n"));
    std::fill(g.depth.begin(), g.depth.end(), 0.0f);
    out = RBATH(source, g, 0.0f, 0.0f);
    EXPECT_EQ(out.points_read, 10001);
    EXPECT_EQ(out.batches, 2);
    EXPECT_EQ(g.depth[0], 50.0f);
    EXPECT_EQ(g.depth[4], 20.0f);
}

TEST_F(SurveyFile, ManyBatchesThroughTheIndexMatchThePlainRule) {
    SiteGrid g = make_grid(31, 27, 40, 21.0f, 1);
    const Frame f = make_frame(g, 350000.0f, 120000.0f, 60);
    Batch all = awkward_batch(f, 99, 25000);
    for (std::size_t s = 0; s < all.size(); ++s) {  // a survey file holds numbers
        if (!std::isfinite(all.e[s])) all.e[s] = 1.0e30f;
        if (!std::isfinite(all.n[s])) all.n[s] = -1.0e30f;
    }
    {
        std::FILE* out = std::fopen(path("S.XYZ").c_str(), "w");
        ASSERT_NE(out, nullptr);
        for (std::size_t s = 0; s < all.size();
             ++s)  // full precision, so the file holds the batch exactly
            std::fprintf(out, "%.9g %.9g %.9g\n", static_cast<double>(all.d[s]),
                         static_cast<double>(all.e[s]), static_cast<double>(all.n[s]));
        std::fclose(out);
    }
    std::vector<float> expected(g.depth.begin(), g.depth.begin() + g.total_points);
    for (std::size_t from = 0; from < all.size(); from += BATCH_POINTS) {
        Batch b;
        for (std::size_t s = from; s < std::min(all.size(), from + BATCH_POINTS); ++s)
            b.add(all.e[s], all.n[s], all.d[s]);
        adapt_batch_plain(f, b, expected);
    }
    const Outcome out = RBATH({path("S.XYZ"), 60, {"D", "E", "N"}}, g, 350000.0f, 120000.0f);
    EXPECT_EQ(out.batches, 3);
    EXPECT_EQ(std::memcmp(expected.data(), g.depth.data(), expected.size() * sizeof(float)), 0);
}

TEST(SurveyDepthField, OnlyDepthsThatFitEightColumnsWithThreeDecimals) {
    const std::pair<float, bool> cases[] = {
        {0.0f, true},      {9999.999f, true}, {-999.999f, true},      {10000.0f, false},
        {-1000.0f, false}, {12.3456f, true},  {std::nanf(""), false}, {INFINITY, false}};
    for (const auto& [value, fits] : cases)
        EXPECT_EQ(gridlib::fits_depth_field(value), fits) << value;
}

}  // namespace
