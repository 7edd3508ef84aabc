// AVAL1: slope limiting with the volume kept.
#include <cmath>
#include <numeric>

#include "placer/kernels.hpp"
#include "placer_fixture.hpp"

namespace {

class Aval1 : public PlacerFolder {
  protected:
    placer::WorkGrid work;

    // A grid of `rows` rows and 2 columns, both columns holding `column`.
    static std::vector<float> two_columns(const std::vector<float>& column) {
        std::vector<float> d;
        for (float v : column) {
            d.push_back(v);
            d.push_back(v);
        }
        return d;
    }
    static std::vector<float> column(const std::vector<float>& d, int j) {
        std::vector<float> c;
        for (std::size_t i = static_cast<std::size_t>(j); i < d.size(); i += 2) c.push_back(d[i]);
        return c;
    }
    static double sum(const std::vector<float>& d) {
        return std::accumulate(d.begin(), d.end(), 0.0);
    }
};

TEST_F(Aval1, FlatGridIsLeftAlone) {
    std::vector<float> d(30 * 20, 40.0f);
    const std::vector<float> before = d;
    EXPECT_TRUE(placer::AVAL1(work, d, 10.0f, 5.0f, 20, 30, 10));
    EXPECT_EQ(d, before);
}

// One step of 10 ft between rows 2 and 3 (spacing 10 ft: 45 degrees against an
// avalanching angle of 30): the stretch grows from row 2 down to row 4, where
// the next row lies within tan(10 deg) x 10 = 1.7633 ft of the profile. The
// first column is never a line of its own and keeps its step.
TEST_F(Aval1, SteepStretchGrowsDownTheSlopeIntoAStraightProfile) {
    std::vector<float> d = two_columns({10, 10, 20, 20, 20, 20});
    EXPECT_TRUE(placer::AVAL1(work, d, 30.0f, 10.0f, 2, 6, 10));
    const std::vector<float> c = column(d, 1);
    const float step = std::tan(10.0f * 0.01745328f) * 10.0f;
    const float mean = 50.0f / 3.0f;
    EXPECT_FLOAT_EQ(c[0], 10.0f);
    EXPECT_FLOAT_EQ(c[1], mean - step);
    EXPECT_FLOAT_EQ(c[2], mean);
    EXPECT_FLOAT_EQ(c[3], mean + step);
    EXPECT_FLOAT_EQ(c[4], 20.0f);
    EXPECT_FLOAT_EQ(c[5], 20.0f);
    EXPECT_EQ(column(d, 0), std::vector<float>({10, 10, 20, 20, 20, 20}));
    EXPECT_NEAR(sum(d), 200.0, 1e-4);
}

// A slope running down to the southern edge: beyond the last row the work
// grid holds elevation 0. Under water (depths positive) that is above the
// profile and the stretch ends at the edge; on land above the datum it lies
// below the profile, the stretch would run past the edge, and the call stops
// with the depths as they were.
TEST_F(Aval1, StretchReachingTheEdge) {
    std::vector<float> under = two_columns({10, 10, 10, 30, 30, 30});
    EXPECT_TRUE(placer::AVAL1(work, under, 30.0f, 10.0f, 2, 6, 10));
    EXPECT_NEAR(sum(under), 240.0, 1e-3);
    EXPECT_LT(column(under, 1)[5], 30.0f);  // the stretch reached the last row

    std::vector<float> land = two_columns({-30, -30, -30, -10, -10, -10});
    const std::vector<float> before = land;
    EXPECT_FALSE(placer::AVAL1(work, land, 30.0f, 10.0f, 2, 6, 10));
    EXPECT_EQ(land, before);
}

// 250 points along a row: more than the 210 x 210 work grid holds.
TEST_F(Aval1, WideSiteIsAvalanchedAsAWhole) {
    const int rows = 3, cols = 250;
    std::vector<float> d(static_cast<std::size_t>(rows * cols), 40.0f);
    d[static_cast<std::size_t>(cols + 239)] = 60.0f;  // a pit in row 2, column 240
    EXPECT_TRUE(placer::AVAL1(work, d, 30.0f, 10.0f, cols, rows, 10));
    EXPECT_NEAR(sum(d), rows * cols * 40.0 + 20.0, 1e-3);
    EXPECT_LT(d[static_cast<std::size_t>(cols + 239)], 50.0f);
    EXPECT_GT(d[239], 40.0f);  // filled from rows 1 and 3 along column 240
    EXPECT_GT(d[static_cast<std::size_t>(2 * cols + 239)], 40.0f);
    for (int c : {0, 29, 30, 100, 208, 209, 210})
        EXPECT_EQ(d[static_cast<std::size_t>(2 * cols + c)], 40.0f) << c;
}

TEST_F(Aval1, MoundSlumpsWithItsVolumeKept) {
    // A cone 15 ft high and 50 ft in radius on a 40 ft bottom, 10 ft spacing.
    const int n = 30;
    std::vector<float> d(static_cast<std::size_t>(n * n));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const float r =
                std::hypot(static_cast<float>(i - 15), static_cast<float>(j - 15)) * 10.0f;
            d[static_cast<std::size_t>(i * n + j)] = 40.0f - std::max(0.0f, 15.0f - 0.3f * r);
        }
    const double before = sum(d);
    auto steepest = [&]() {
        float s = 0.0f;
        for (int i = 1; i < n; ++i)
            for (int j = 1; j < n; ++j) {
                const std::size_t k = static_cast<std::size_t>(i * n + j);
                s = std::max({s, std::fabs(d[k] - d[k - 1]),
                              std::fabs(d[k] - d[k - static_cast<std::size_t>(n)])});
            }
        return std::atan(s / 10.0f) / 0.01745328f;
    };
    EXPECT_GT(steepest(), 16.0f);
    EXPECT_TRUE(placer::AVAL1(work, d, 12.0f, 6.0f, static_cast<std::int16_t>(n),
                              static_cast<std::int16_t>(n), 10));
    EXPECT_NEAR(sum(d), before, 0.01);
    EXPECT_LT(steepest(), 12.5f);
    EXPECT_GT(*std::min_element(d.begin(), d.end()), 25.0f);
}

// A grid (found by fuzzing) on which, from the 26th iteration on, every
// iteration counted 132 avalanches and stored the very same depths: the call
// never ended. It now ends at the first iteration that changes nothing.
TEST_F(Aval1, IterationThatChangesNothingEndsTheCall) {
    const std::int16_t npr = 15, nrow = 9;
    std::vector<float> d(static_cast<std::size_t>(npr * nrow), 40.0f);
    std::vector<int> raw(50, 65535);
    raw[0] = 56028, raw[2] = 65498, raw[47] = 9215, raw[48] = 30682, raw[49] = 9178;
    for (std::size_t i = 0; i < raw.size(); ++i)
        d[i] = -999.0f + static_cast<float>(raw[i]) * (10998.0f / 65535.0f);
    const double volume = sum(d);
    EXPECT_TRUE(placer::AVAL1(work, d, 0.5f, 0.5f * 255.0f / 256.0f, npr, nrow, 1));
    EXPECT_NEAR(sum(d), volume, 0.05);
}

}  // namespace
