// MAXANGX, MAXANGY and their line avalanche, CNTNUTY and CENTROID2.
#include "dredge/bed.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace {

using dredge::Fields;

struct AvalancheCase {
    const char* name;
    std::vector<float> z;
    float tan_theta;
    std::vector<float> expected;
    int end;
};

TEST(Avalanche, RebuildsTheSteepStretchAndKeepsTheLineSum) {
    const AvalancheCase cases[] = {
        // A peak at the east end slides west until the next step is gentle.
        {"peak east", {0, 0, 0, 0, 10}, 0.2f, {0, 0, 4.0f / 3.0f, 10.0f / 3.0f, 16.0f / 3.0f}, 3},
        // A high west end slides east right to the line's last cell (the
        // stretch ends there instead of running off the line).
        {"runs to the east end", {30, 0, 0, 0, 0}, 0.2f, {10, 8, 6, 4, 2}, 5},
        // Going west the stretch stops at cell 2.
        {"stops at cell 2", {0, 0, 0, 0, 30}, 0.2f, {0, 4.5f, 6.5f, 8.5f, 10.5f}, 2},
    };
    for (const AvalancheCase& c : cases) {
        std::vector<float> z = c.z;
        const dredge::LineSlopes s =
            dredge::line_slopes(z.data(), static_cast<int>(z.size()), 10.0f);
        const int end = dredge::avalanche_line(z.data(), static_cast<int>(z.size()), s.smax, s.imax,
                                               c.tan_theta, 10.0f, 2);
        EXPECT_EQ(end, c.end) << c.name;
        for (std::size_t k = 0; k < z.size(); ++k)
            EXPECT_NEAR(z[k], c.expected[k], 1e-5f) << c.name << " cell " << k + 1;
        EXPECT_NEAR(std::accumulate(z.begin(), z.end(), 0.0f),
                    std::accumulate(c.z.begin(), c.z.end(), 0.0f), 1e-4f)
            << c.name;
    }
}

TEST(Avalanche, LongIrregularLinesKeepTheirSum) {
    for (int seed = 1; seed <= 20; ++seed) {
        std::vector<float> z(60);
        for (std::size_t k = 0; k < z.size(); ++k)
            z[k] = -40.0f +
                   5.0f * std::sin(0.37f * static_cast<float>(k * static_cast<std::size_t>(seed))) +
                   (k == static_cast<std::size_t>(seed) ? 25.0f : 0.0f);
        const std::vector<float> before = z;
        const dredge::LineSlopes s = dredge::line_slopes(z.data(), 60, 20.0f);
        dredge::avalanche_line(z.data(), 60, s.smax, s.imax, std::tan(0.3f), 20.0f, 2);
        const double sum0 = std::accumulate(before.begin(), before.end(), 0.0);
        const double sum1 = std::accumulate(z.begin(), z.end(), 0.0);
        EXPECT_NEAR(sum1, sum0, 1e-5 * std::fabs(sum0)) << seed;
    }
}

TEST(LineSlopes, SteepestFirstOnTiesAndMeanOfTheSlopedCells) {
    const float z[] = {0, 2, 2, 0, -3, -3};
    const dredge::LineSlopes s = dredge::line_slopes(z, 6, 2.0f);
    EXPECT_EQ(s.smax, -1.5f);
    EXPECT_EQ(s.imax, 5);
    EXPECT_FLOAT_EQ(s.mean, (1.0f + 1.0f + 1.5f) / 3.0f);
    const float tie[] = {0, 1, 0, 1};
    const dredge::LineSlopes t = dredge::line_slopes(tie, 4, 1.0f);
    EXPECT_EQ(t.imax, 2);
    const float flat[] = {3, 3, 3};
    EXPECT_EQ(dredge::line_slopes(flat, 3, 1.0f).mean, 0.0f);
}

TEST(SlopeAngles, LimitAngleFollowsTheCurrentRegime) {
    const float a1 = 0.6f, a2 = 0.5f, prev = 0.3f;
    struct Case {
        const char* name;
        float along, across;
        bool calm;
        float mean, smax, ratio, speed;
        float phi, theta;
    };
    const Case cases[] = {
        {"no current", 1.0f, 2.0f, true, 0.1f, 0.9f, 1.0f, 2.0f, a1, a2},
        {"no slopes", 1.0f, 2.0f, false, 0.0f, 0.0f, 0.0f, 0.0f, a1, a2},
        {"equal components", 1.0f, 1.0f, false, 0.1f, 0.9f, 1.0f, 2.0f, a1, a2},
        {"across, gentle line", 1.0f, 4.0f, false, 0.1f, 0.2f, 0.0f, 0.0f, a1, 0.5f - 0.4f * 0.75f},
        {"across, steep line", 1.0f, 4.0f, false, 0.7f, 0.9f, 0.0f, 0.0f, a1, a2},
        {"along, below trigger", 4.0f, 1.0f, false, 0.1f, 0.5f, 1.0f, 2.0f, a1,
         0.5f + 0.1f * 0.75f},
        {"along, high against waves", 4.0f, 1.0f, false, 0.1f, 0.9f, 0.25f, 0.0f,
         0.6f - 0.75f * 0.3f, 0.5f + (0.6f - 0.75f * 0.3f - 0.5f) * 0.75f},
        {"along, fast current", 4.0f, 1.0f, false, 0.1f, 0.9f, -1.0f, 1.0f, 0.6f - 0.75f * 0.3f,
         0.5f + (0.6f - 0.75f * 0.3f - 0.5f) * 0.75f},
        {"along, submerged and slow", 4.0f, 1.0f, false, 0.1f, 0.9f, -1.0f, 0.5f, a1,
         0.5f + 0.1f * 0.75f},
    };
    for (const Case& c : cases) {
        const dredge::SlopeAngles a = dredge::slope_angles(a1, a2, c.along, c.across, c.calm,
                                                           c.mean, c.smax, c.ratio, c.speed, prev);
        EXPECT_NEAR(a.phi, c.phi, 1e-6f) << c.name;
        EXPECT_NEAR(a.theta, c.theta, 1e-6f) << c.name;
    }
}

Fields grid(int nx, int ny, float dx) {
    Fields f;
    f.resize(nx, ny);
    f.dx = f.dy = dx;
    return f;
}

TEST(MaxAng, GentleGridComesBackUnchangedWithItsSign) {
    Fields f = grid(12, 10, 10.0f);
    for (int i = 1; i <= 12; ++i)
        for (int j = 1; j <= 10; ++j)
            f.depth(i, j) = 30.0f + 0.5f * static_cast<float>(i) - 0.3f * static_cast<float>(j);
    f.u.fill(0.4f);
    f.v.fill(0.2f);
    const std::vector<float> before = f.depth.v;
    dredge::SlopeState state{0.4f, 0.4f};
    EXPECT_EQ(dredge::MAXANGX(f, 0.5f, 0.4f, 2.0f, state), 0);
    EXPECT_EQ(dredge::MAXANGY(f, 0.5f, 0.4f, 2.0f, state), 0);
    EXPECT_EQ(f.depth.v, before);
}

TEST(MaxAng, SlopeExactlyAtTheTriggerAngleStays) {
    Fields f = grid(6, 5, 10.0f);
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 5; ++j)
            f.depth(i, j) = i <= 3 ? 20.0f : 25.0f;  // one step of slope 0.5
    const std::vector<float> before = f.depth.v;
    dredge::SlopeState state{0.3f, 0.3f};
    const float trigger = std::atan(0.5f);
    dredge::MAXANGX(f, trigger, 0.3f, 0.0f, state);
    dredge::MAXANGY(f, trigger, 0.3f, 0.0f, state);
    EXPECT_EQ(f.depth.v, before);
    // Just below that angle every line of constant J from 2 on is redistributed.
    EXPECT_EQ(dredge::MAXANGX(f, std::nextafter(trigger, 0.0f), 0.3f, 0.0f, state), 4);
    dredge::MAXANGY(f, trigger, 0.3f, 0.0f, state);
    EXPECT_NE(f.depth.v, before);
    for (int j = 2; j <= 5; ++j) {
        float sum = 0.0f;
        for (int i = 1; i <= 6; ++i) sum += f.depth(i, j);
        EXPECT_NEAR(sum, 3.0f * 20.0f + 3.0f * 25.0f, 1e-4f);
    }
}

TEST(MaxAng, CliffAlongJIsAvalanchedLineByLine) {
    Fields f = grid(5, 12, 10.0f);
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 12; ++j) f.depth(i, j) = j >= 7 ? 40.0f : 10.0f;  // a 30-ft cliff
    dredge::SlopeState state{0.5f, 0.5f};
    dredge::MAXANGX(f, 0.6f, 0.5f, 0.0f, state);
    EXPECT_EQ(dredge::MAXANGY(f, 0.6f, 0.5f, 0.0f, state), 4);  // lines I = 2..5
    for (int i = 2; i <= 5; ++i) {
        float sum = 0.0f;
        for (int j = 1; j <= 12; ++j) sum += f.depth(i, j);
        EXPECT_NEAR(sum, 6.0f * 10.0f + 6.0f * 40.0f, 1e-3f);
        // From the cliff's top cell (J = 6) the stretch falls at the limit
        // slope to its far end, after which the bed is gentle again.
        int end = 6;
        while (end < 12 &&
               std::fabs(f.depth(i, end + 1) - f.depth(i, end) - 10.0f * std::tan(0.5f)) < 1e-3f)
            ++end;
        EXPECT_GT(end, 7);
        if (end < 12) {
            EXPECT_LE(std::fabs(f.depth(i, end + 1) - f.depth(i, end)) / 10.0f, std::tan(0.5f));
        }
        EXPECT_GT(f.depth(i, 1), 0.0f);   // depths again, not elevations
        EXPECT_EQ(f.depth(i, 5), 10.0f);  // the stretch only runs down the slope
    }
    EXPECT_EQ(f.depth(1, 7), 40.0f);  // line I = 1 is not processed
}

TEST(Cntnuty, CohesiveTypesApplyTheBedChangeOfCohesive) {
    for (std::int32_t ised : {2, 3, 4}) {
        Fields f = grid(7, 6, 50.0f);
        f.depth.fill(20.0f);
        f.u.fill(1.0f);
        f.qx.fill(123.0f);  // what a cohesive step leaves there is no transport
        for (int i = 1; i <= 7; ++i) f.qx(i, 3) = -50.0f * static_cast<float>(i);
        f.bedchg.fill(0.125f);
        dredge::CNTNUTY(f, 10800.0f, ised);
        for (std::size_t k = 0; k < f.depth.v.size(); ++k) {
            EXPECT_EQ(f.depth.v[k], 20.125f) << ised;
            EXPECT_EQ(f.u.v[k], 1.0f * 20.0f / 20.125f) << ised;
        }
    }
}

TEST(Cntnuty, TransportDivergenceDeepensTheBed) {
    Fields f = grid(12, 8, 100.0f);
    f.depth.fill(20.0f);
    for (int i = 1; i <= 12; ++i)
        for (int j = 1; j <= 8; ++j) f.qx(i, j) = 0.001f * static_cast<float>(i);
    dredge::CNTNUTY(f, 10800.0f, 1);
    // Interior: 10800 s x 0.001 ft2/s per 100 ft.
    for (int i = 5; i <= 8; ++i)
        for (int j = 1; j <= 8; ++j) EXPECT_NEAR(f.depth(i, j), 20.108f, 1e-5f) << i << "," << j;
}

TEST(Cntnuty, CurrentFasterThanTheCelerityIsCutBack) {
    Fields f = grid(4, 4, 50.0f);
    f.depth.fill(10.0f);
    f.u.fill(30.0f);
    f.v.fill(40.0f);
    dredge::CNTNUTY(f, 10800.0f, 3);
    const float celerity = std::sqrt(32.2f * 10.0f);
    for (std::size_t k = 0; k < f.u.v.size(); ++k) {
        EXPECT_NEAR(std::sqrt(f.u.v[k] * f.u.v[k] + f.v.v[k] * f.v.v[k]), celerity, 1e-4f);
        EXPECT_NEAR(f.v.v[k] / f.u.v[k], 4.0f / 3.0f, 1e-6f);
    }
}

// A mound of whole-foot heights on a 40-ft bed, symmetric about node (ic, jc).
Fields mound(int ic, int jc) {
    Fields f = grid(13, 11, 10.0f);
    f.depth.fill(40.0f);
    const float heights[3] = {6.0f, 4.0f, 2.0f};
    for (int di = -2; di <= 2; ++di)
        for (int dj = -2; dj <= 2; ++dj) {
            const int r = std::max(std::abs(di), std::abs(dj));
            f.depth(ic + di, jc + dj) = 40.0f - heights[r];
        }
    return f;
}

TEST(Centroid2, SymmetricMoundHasItsCentroidAtItsCentre) {
    Fields f = mound(6, 5);
    dredge::CentroidState state;
    float xc = -1.0f, yc = -1.0f, vol = 0.0f;
    dredge::CENTROID2(f, 0.0f, 0.0f, xc, yc, vol, state);
    EXPECT_FLOAT_EQ(xc, 50.0f);  // node 6 lies 5 cells from node 1
    EXPECT_FLOAT_EQ(yc, 40.0f);
    const float heights = 6.0f + 8.0f * 4.0f + 16.0f * 2.0f;
    EXPECT_NEAR(vol, heights * 100.0f / 27.0f, 1e-3f);
    // Moved two cells east and one north: the offset against the reference.
    Fields moved = mound(8, 6);
    dredge::CENTROID2(moved, 50.0f, 40.0f, xc, yc, vol, state);
    EXPECT_FLOAT_EQ(xc, 20.0f);
    EXPECT_FLOAT_EQ(yc, 10.0f);
    // A flat grid has no centroid: the offsets stay as they were.
    Fields flat = grid(13, 11, 10.0f);
    flat.depth.fill(40.0f);
    dredge::CENTROID2(flat, 50.0f, 40.0f, xc, yc, vol, state);
    EXPECT_FLOAT_EQ(xc, 20.0f);
    EXPECT_FLOAT_EQ(yc, 10.0f);
    EXPECT_EQ(vol, 0.0f);
}

}  // namespace
