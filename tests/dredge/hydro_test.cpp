// SHOAL, INITLZ and VELOCITY.
#include "dredge/hydro.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using dredge::Fields;

TEST(Shoal, EightSecondWaveInThirtyFeet) {
    float h0 = 0.0f;
    const dredge::WaveLength w = dredge::SHOAL(2.0f, 8.0f, 30.0f, h0);
    EXPECT_TRUE(w.converged);
    EXPECT_EQ(w.passes, 8);
    EXPECT_NEAR(w.length, 224.7f, 0.05f);
    const float kh = 2.0f * 3.14159f / w.length * 30.0f;
    EXPECT_NEAR(kh, 0.839f, 0.001f);
    EXPECT_NEAR(dredge::shoaling_coefficient(kh), 0.941f, 0.001f);
    EXPECT_NEAR(h0, 2.0f * 1.0631f, 0.001f);
}

TEST(Shoal, DeepWaterLeavesTheHeight) {
    float h0 = 0.0f;
    dredge::SHOAL(3.0f, 5.0f, 2000.0f, h0);
    EXPECT_FLOAT_EQ(h0, 3.0f);
    EXPECT_NEAR(dredge::shoaling_coefficient(20.0f), 1.0f, 1e-6f);
}

Fields channel(int nx, int ny, float dx, float depth) {
    Fields f;
    f.resize(nx, ny);
    f.dx = f.dy = dx;
    f.depth.fill(depth);
    return f;
}

TEST(Initlz, NoDischargeNoCurrentGivesStillWater) {
    Fields f = channel(6, 5, 100.0f, 20.0f);
    f.u.fill(3.0f);
    f.eta.fill(1.0f);
    dredge::INITLZ(f, 0.0f, 0.0f, 0.025f);
    for (std::size_t k = 0; k < f.u.v.size(); ++k) {
        EXPECT_EQ(f.u.v[k], 0.0f);
        EXPECT_EQ(f.v.v[k], 0.0f);
        EXPECT_EQ(f.eta.v[k], 0.0f);
    }
}

TEST(Initlz, FrictionHeadFallsLinearlyAndCurrentsFollowTheDepth) {
    // Depth 20 ft along the first row (so at the outflow corner), deeper
    // toward the north.
    Fields f = channel(5, 3, 100.0f, 20.0f);
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 3; ++j) f.depth(i, j) = 20.0f + static_cast<float>(j - 1);
    const float q = 10.0f, v0 = 0.5f, n = 0.025f;
    dredge::INITLZ(f, q, v0, n);
    // Hand values: C = 1.486 20^(1/6) / n, S = (0.5 / (C sqrt 20))^2, HEAD = 4 S DX.
    const double c = 1.486 * std::pow(20.0, 1.0 / 6.0) / 0.025;
    const double s = std::pow(0.5 / (c * std::sqrt(20.0)), 2.0);
    const double head = s * 4.0 * 100.0;
    EXPECT_NEAR(f.eta(1, 2), head, 1e-6 * head);
    EXPECT_NEAR(f.eta(3, 2), head / 2.0, 1e-6 * head);
    EXPECT_EQ(f.eta(5, 2), 0.0f);
    EXPECT_NEAR(f.u(2, 3), static_cast<double>(q) / (22.0 + 0.75 * head), 1e-6);
    EXPECT_NEAR(f.v(4, 3), static_cast<double>(v0) * 20.0 / 22.0, 1e-6);
    EXPECT_FLOAT_EQ(f.v(4, 1), v0);
}

TEST(Velocity, UniformChannelKeepsItsDischarge) {
    Fields f = channel(21, 11, 20.0f, 20.0f);
    const float q = 30.0f;
    dredge::INITLZ(f, q, 0.0f, 0.025f);
    const dredge::VelocityResult r = dredge::VELOCITY(f, q, 0.025f);
    EXPECT_TRUE(r.converged);
    EXPECT_LT(r.error, 0.02f);
    for (int i = 1; i <= 21; ++i) {
        for (int j = 1; j <= 11; ++j) {
            EXPECT_NEAR((f.depth(i, j) + f.eta(i, j)) * f.u(i, j), q, 0.01f * q) << i << "," << j;
            EXPECT_NEAR(f.v(i, j), 0.0f, 1e-4f);
        }
    }
}

// One sweep on a small field, recomputed here cell by cell from the
// momentum and continuity formulas in scalar code: the solver's line loops
// must give exactly the same numbers.
TEST(Velocity, OneSweepEqualsTheCellFormulasBitForBit) {
    const int nx = 6, ny = 7;
    Fields f = channel(nx, ny, 40.0f, 20.0f);
    for (int i = 1; i <= nx; ++i)
        for (int j = 1; j <= ny; ++j) {
            f.depth(i, j) =
                20.0f -
                3.0f * std::exp(-0.3f * static_cast<float>((i - 3) * (i - 3) + (j - 4) * (j - 4)));
            f.u(i, j) = 0.5f + 0.01f * static_cast<float>(i * j);
            f.v(i, j) = 0.1f - 0.02f * static_cast<float>(j);
            f.eta(i, j) = 0.001f * static_cast<float>(nx - i);
        }
    Fields ref = f;
    const float q = 10.0f, n = 0.025f;
    const dredge::VelocityResult r = dredge::VELOCITY(f, q, n);
    ASSERT_EQ(r.sweeps, 1);  // converged at once: no edge step
    const float g = 32.2f, tdx = 80.0f, tdy = 80.0f, dx2 = 1600.0f, dy2 = 1600.0f;
    const float ch = 1.486f * std::pow(ref.depth(nx, 1), 0.1666667f) / n;
    const float ch2 = ch * ch;
    for (int i = 2; i <= nx - 1; ++i) {
        float rx[ny + 1], ry[ny + 1], rc[ny + 1];
        auto U = [&](int a, int b) { return ref.u(a, b); };
        auto V = [&](int a, int b) { return ref.v(a, b); };
        auto E = [&](int a, int b) { return ref.eta(a, b); };
        auto D = [&](int a, int b) { return ref.depth(a, b); };
        for (int j = 2; j <= ny - 1; ++j) {
            const float u = U(i, j), v = V(i, j), h = D(i, j) + E(i, j);
            const float speed = std::sqrt(u * u + v * v);
            const float lapu = (U(i + 1, j) + U(i - 1, j) - 2.0f * u) / dx2 +
                               (U(i, j + 1) + U(i, j - 1) - 2.0f * u) / dy2;
            const float lapv = (V(i + 1, j) + V(i - 1, j) - 2.0f * v) / dx2 +
                               (V(i, j + 1) + V(i, j - 1) - 2.0f * v) / dy2;
            rx[j] = -(g * (E(i + 1, j) - E(i - 1, j)) / tdx + g * u * speed / (ch2 * h) -
                      50.0f * lapu + v * ((U(i, j + 1) - U(i, j - 1)) / tdy) +
                      u * ((U(i + 1, j) - U(i - 1, j)) / tdx));
            ry[j] = -(g * (E(i, j + 1) - E(i, j - 1)) / tdy + g * v * speed / (ch2 * h) -
                      50.0f * lapv + v * ((V(i, j + 1) - V(i, j - 1)) / tdy) +
                      u * ((V(i + 1, j) - V(i - 1, j)) / tdx));
            rc[j] = -(((D(i + 1, j) + E(i + 1, j)) * U(i + 1, j) -
                       (D(i - 1, j) + E(i - 1, j)) * U(i - 1, j)) /
                          tdx +
                      ((D(i, j + 1) + E(i, j + 1)) * V(i, j + 1) -
                       (D(i, j - 1) + E(i, j - 1)) * V(i, j - 1)) /
                          tdy);
        }
        float* lines[3] = {rx, ry, rc};
        for (float* a : lines) {
            a[1] = a[2];
            a[ny] = a[ny - 1];
            float s[ny + 1];
            for (int j = 2; j <= ny - 1; ++j)
                s[j] = 0.25f * a[j - 1] + 0.5f * a[j] + 0.25f * a[j + 1];
            for (int j = 2; j <= ny - 1; ++j) a[j] = s[j];
            a[1] = a[2];
            a[ny] = a[ny - 1];
        }
        for (int j = 1; j <= ny; ++j) {
            ref.u(i, j) += 0.1f * rx[j];
            ref.v(i, j) += 0.1f * ry[j];
            ref.eta(i, j) += 0.1f * rc[j];
        }
    }
    for (std::size_t k = 0; k < f.u.v.size(); ++k) {
        EXPECT_EQ(f.u.v[k], ref.u.v[k]) << k;
        EXPECT_EQ(f.v.v[k], ref.v.v[k]) << k;
        EXPECT_EQ(f.eta.v[k], ref.eta.v[k]) << k;
    }
}

TEST(Velocity, NoFlowAtTheOutflowEdgeLeavesThatEdgeAlone) {
    // A strong current over a shoal needs several sweeps, so the edge step
    // runs; one outflow cell carries nothing to begin with.
    Fields f = channel(21, 9, 10.0f, 20.0f);
    for (int i = 1; i <= 21; ++i)
        for (int j = 1; j <= 9; ++j)
            f.depth(i, j) =
                20.0f - 8.0f * std::exp(-0.05f * static_cast<float>((i - 11) * (i - 11) +
                                                                    (j - 5) * (j - 5)));
    const float q = 100.0f;
    dredge::INITLZ(f, q, 0.5f, 0.025f);
    f.u(21, 4) = 0.0f;
    const dredge::VelocityResult r = dredge::VELOCITY(f, q, 0.025f);
    EXPECT_GT(r.sweeps, 1);
    EXPECT_EQ(f.u(21, 4), 0.0f);
    for (float x : f.u.v) EXPECT_TRUE(std::isfinite(x));
    EXPECT_GT(f.u(21, 5), 0.0f);
}

TEST(Velocity, BlownUpFieldIsNeverConvergedAndIsReported) {
    // Cells of 2 ft are far too small for the pseudo-time step: the field
    // blows up; all 500 sweeps run and the console says so.
    Fields f = channel(12, 12, 2.0f, 20.0f);
    for (int i = 1; i <= 12; ++i) f.depth(i, 6) = 12.0f;
    dredge::INITLZ(f, 20.0f, 0.5f, 0.025f);
    ::testing::internal::CaptureStdout();
    const dredge::VelocityResult r = dredge::VELOCITY(f, 20.0f, 0.025f);
    const std::string console = ::testing::internal::GetCapturedStdout();
    EXPECT_FALSE(r.converged);
    EXPECT_EQ(r.sweeps, 500);
    EXPECT_TRUE(std::isnan(r.error));
    EXPECT_NE(console.find(" ITERATION FAILED TO MEET MINIMUM ERROR LIMITS"), std::string::npos);
}

}  // namespace
