// Wave quantities at a cell, ACKWHT and COHESIVE.
#include "dredge/transport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using dredge::Fields;

TEST(CellWave, BreakingLimitAndFrictionFactorBranches) {
    // A wave far too high for 10 ft of water is cut to 0.78 h.
    const dredge::CellWave broken = dredge::cell_wave(100.0f, 8.0f, 10.0f, 3.14159f);
    EXPECT_FLOAT_EQ(broken.hl, 7.8f);
    EXPECT_GT(broken.ub, 0.0f);
    // No wave: no orbital motion, friction factor 0.5.
    const dredge::CellWave calm = dredge::cell_wave(0.0f, 8.0f, 20.0f, 3.14159f);
    EXPECT_EQ(calm.ub, 0.0f);
    EXPECT_EQ(calm.fw, 0.5f);
    // A moderate wave: fw = 0.22864 (Ab / 0.1969)^-0.52148.
    const dredge::CellWave w = dredge::cell_wave(3.0f, 8.0f, 30.0f, 3.14159f);
    const float r = w.ab / 0.1969f;
    ASSERT_LE(r, 70.0f);
    EXPECT_NEAR(w.fw, 0.22864f * std::pow(r, -0.52148f), 1e-6f);
    // A long, high swell in shallow water moves the bed far: fw = 0.02.
    const dredge::CellWave swell = dredge::cell_wave(6.0f, 16.0f, 12.0f, 3.14159f);
    EXPECT_GT(swell.ab / 0.1969f, 70.0f);
    EXPECT_EQ(swell.fw, 0.02f);
}

TEST(AckersWhite, ConstantsOfFineAndCoarseSand) {
    const dredge::AckersWhite fine = dredge::ackers_white_constants(0.2f);
    EXPECT_NEAR(fine.dgr, 5.26f, 0.01f);
    EXPECT_NEAR(fine.n, 0.596f, 0.001f);
    EXPECT_NEAR(fine.a, 0.240f, 0.001f);
    EXPECT_NEAR(fine.m, 3.18f, 0.01f);
    EXPECT_NEAR(fine.c, 0.0103f, 0.0001f);
    const dredge::AckersWhite coarse = dredge::ackers_white_constants(3.0f);
    EXPECT_NEAR(coarse.dgr, 78.9f, 0.1f);
    EXPECT_EQ(coarse.n, 0.0f);
    EXPECT_EQ(coarse.a, 0.17f);
    EXPECT_EQ(coarse.m, 1.5f);
    EXPECT_EQ(coarse.c, 0.025f);
}

// The Ackers-White transport of one cell without waves, by hand (double).
double hand_transport(double h, double uc, double d50, double fgr_cap = 1.2) {
    const double g = 32.2, s = 2.6, n_man = 0.025, p = 0.4;
    const double d = d50 * 0.00328084;
    const double dgr = d * std::pow(5.152e11, 0.33333);
    const double lg = std::log10(dgr);
    const double n = 1.0 - 0.56 * lg, a = 0.23 / std::sqrt(dgr) + 0.14, m = 9.66 / dgr + 1.34;
    const double c = std::pow(10.0, (2.86 - lg) * lg - 3.53);
    const double cc = 1.486 * std::pow(h, 1.0 / 6.0) / n_man;
    const double ustar = std::sqrt(g) * uc / cc;
    double fgr = std::pow(ustar, n) *
                 std::pow(uc / (std::sqrt(32.0) * std::log10(10.0 * h / d)), 1.0 - n) /
                 std::sqrt(g * d * (s - 1.0));
    fgr = std::min(fgr, fgr_cap);
    const double y = std::max(fgr / a - 1.0, 0.0);
    const double ggr = c * std::pow(y, m);
    return s / (1.0 - p) * ggr * d * uc * std::pow(uc / ustar, n);
}

Fields cells(int nx, int ny, float depth) {
    Fields f;
    f.resize(nx, ny);
    f.dx = f.dy = 50.0f;
    f.depth.fill(depth);
    return f;
}

TEST(Ackwht, TransportOfACurrentWithoutWavesMatchesTheHandValue) {
    Fields f = cells(1, 1, 20.0f);
    f.u(1, 1) = 2.4f;
    f.v(1, 1) = 3.2f;  // speed 4 ft/s
    float t = 8.0f;
    dredge::ACKWHT(f, 0.0f, t, 0.2f, 0.025f, 0.4f);
    const double q = hand_transport(20.0, 4.0, 0.2);
    ASSERT_GT(q, 0.0);
    EXPECT_NEAR(f.qx(1, 1), q * 0.6, 1e-4 * q);
    EXPECT_NEAR(f.qy(1, 1), q * 0.8, 1e-4 * q);
}

TEST(Ackwht, MobilityBelowThresholdMovesNothingAndIsCappedAt1Point2) {
    Fields f = cells(2, 1, 20.0f);
    f.u(1, 1) = 0.3f;   // too weak to move fine sand
    f.u(2, 1) = 40.0f;  // mobility far above 1.2
    f.qx.fill(9.0f);
    float t = 8.0f;
    dredge::ACKWHT(f, 0.0f, t, 0.2f, 0.025f, 0.4f);
    EXPECT_EQ(f.qx(1, 1), 0.0f);
    const double capped = hand_transport(20.0, 40.0, 0.2, 1.2);
    ASSERT_LT(capped, hand_transport(20.0, 40.0, 0.2, 1e9));
    EXPECT_NEAR(f.qx(2, 1), capped, 1e-4 * capped);
}

TEST(Ackwht, WavesStirMoreSediment) {
    Fields f = cells(2, 1, 15.0f);
    f.u.fill(1.5f);
    float t = 8.0f;
    dredge::ACKWHT(f, 0.0f, t, 0.2f, 0.025f, 0.4f);
    const float still = f.qx(1, 1);
    dredge::ACKWHT(f, 4.0f, t, 0.2f, 0.025f, 0.4f);
    EXPECT_GT(f.qx(1, 1), still);
}

TEST(Ackwht, SkippedCellsKeepTheirTransportAndShortPeriodsAreRaised) {
    Fields f = cells(3, 1, 20.0f);
    f.depth(1, 1) = 0.1f;  // nearly dry
    f.depth(2, 1) = -0.05f;
    f.u(3, 1) = 1.0e-5f;  // no current
    f.u(1, 1) = f.u(2, 1) = 3.0f;
    f.qx.fill(7.0f);
    float t = 0.5f;
    dredge::ACKWHT(f, 1.0f, t, 0.2f, 0.025f, 0.4f);
    EXPECT_EQ(t, 1.0f);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(f.qx(i, 1), 7.0f) << i;
}

// Bed shear stress of a current without waves: 1.99 g U^2 / C^2.
double hand_stress(double h, double u) {
    const double cc = 1.486 * std::pow(h, 1.0 / 6.0) / 0.025;
    return 1.99 * 32.2 * u * u / (cc * cc);
}

TEST(Cohesive, StressBetweenTheCriticalValuesNeitherErodesNorDeposits) {
    Fields f = cells(6, 5, 20.0f);
    f.u.fill(1.0f);
    const double tau = hand_stress(20.0, 1.0);
    ASSERT_GT(tau, 0.001);
    ASSERT_LT(tau, 0.01);
    dredge::COHESIVE(f, 0.0f, 8.0f, 0.025f, 2, 0.4f);
    EXPECT_NEAR(f.taub(3, 3), tau, 1e-6 * tau);
    for (std::size_t k = 0; k < f.bedchg.v.size(); ++k) {
        EXPECT_EQ(f.bedchg.v[k], 0.0f);
        EXPECT_EQ(f.conc.v[k],
                  0.002f);  // a uniform field only advected and diffused stays as it is
    }
}

TEST(Cohesive, ErosionAboveTheCriticalStress) {
    Fields f = cells(6, 5, 20.0f);
    f.u.fill(2.0f);
    const double tau = hand_stress(20.0, 2.0);
    ASSERT_GT(tau, 0.01);
    const float p = 0.4f;
    dredge::COHESIVE(f, 0.0f, 8.0f, 0.025f, 1, p);
    const double erate = (tau / 0.01 - 1.0) / 20.0 * 1.02e-5;
    EXPECT_NEAR(f.erate(3, 3), erate, 1e-5 * erate);
    // 180 minutes of erosion at that rate, over the dry density.
    const double lowering = erate * 20.0 / ((1.0 - 0.4) * 160.195) * 10800.0;
    for (int i = 2; i <= 5; ++i)
        for (int j = 2; j <= 4; ++j)
            EXPECT_NEAR(f.bedchg(i, j), lowering, 1e-4 * lowering) << i << "," << j;
    EXPECT_GT(f.conc(4, 3), 0.002f);
    // The second option erodes a hundred times faster.
    dredge::COHESIVE(f, 0.0f, 8.0f, 0.025f, 2, p);
    EXPECT_NEAR(f.bedchg(3, 3), 100.0 * lowering, 1e-2 * lowering);
}

TEST(Cohesive, DepositionBelowTheCriticalStressAndEveryCallStartsAfresh) {
    Fields f = cells(8, 6, 20.0f);
    f.v.fill(0.2f);  // a weak current along J
    const double tau = hand_stress(20.0, 0.2);
    ASSERT_LT(tau, 0.001);
    dredge::COHESIVE(f, 0.0f, 8.0f, 0.025f, 2, 0.4f);
    EXPECT_NEAR(f.dcoef(4, 4), (1.0 - tau / 0.001) / 20.0 * 6.56e-5, 1e-9);
    const Fields first = f;
    for (int i = 2; i <= 7; ++i)
        for (int j = 2; j <= 5; ++j) {
            EXPECT_LT(f.bedchg(i, j), 0.0f);
            // Never more than the whole initial load of the water column settling.
            EXPECT_GT(f.bedchg(i, j), -0.002f * 20.0f / (0.6f * 160.195f) * 1.01f);
        }
    for (int j = 1; j <= 6; ++j) EXPECT_EQ(f.conc(1, j), 0.002f);  // inflow column held
    dredge::COHESIVE(f, 0.0f, 8.0f, 0.025f, 2, 0.4f);
    EXPECT_EQ(f.bedchg.v, first.bedchg.v);
    EXPECT_EQ(f.conc.v, first.conc.v);
}

TEST(Cohesive, ConcentrationStaysBoundedOnFineGridsAndStrongCurrents) {
    // 25-ft cells and 1.5 ft/s: a whole minute per update would be far past
    // the explicit scheme's stability limits (the field would blow up);
    // the minute is split so the suspended load stays physical.
    Fields f = cells(30, 20, 20.0f);
    f.dx = f.dy = 25.0f;
    for (int i = 1; i <= 30; ++i)
        for (int j = 1; j <= 20; ++j) {
            const float r2 = static_cast<float>((i - 15) * (i - 15) + (j - 10) * (j - 10));
            f.depth(i, j) = 20.0f - 10.0f * std::exp(-r2 / 20.0f);
            f.u(i, j) = 30.0f / f.depth(i, j);
            f.v(i, j) = 0.1f;
        }
    dredge::COHESIVE(f, 0.0f, 8.0f, 0.025f, 1, 0.4f);
    float emax = 0.0f;
    for (std::size_t k = 0; k < f.erate.v.size(); ++k)
        if (f.taub.v[k] > 0.01f) emax = std::max(emax, f.erate.v[k]);
    ASSERT_GT(emax, 0.0f);  // the mound's top erodes
    for (float c : f.conc.v) {
        ASSERT_TRUE(std::isfinite(c));
        EXPECT_GE(c, 0.0f);
        EXPECT_LE(c, 0.002f + 2.0f * emax * 10800.0f);
    }
    for (float b : f.bedchg.v) ASSERT_TRUE(std::isfinite(b));
}

// The concentration sub-steps recomputed here in plain scalar code, cell by
// cell with the conditions written as conditions: the kernel's line loops
// must give exactly the same bed change and concentration.
TEST(Cohesive, SubStepsEqualTheCellFormulasBitForBit) {
    const int nx = 7, ny = 6;
    Fields f = cells(nx, ny, 20.0f);
    f.dx = f.dy = 150.0f;
    for (int i = 1; i <= nx; ++i)
        for (int j = 1; j <= ny; ++j) {
            f.depth(i, j) = 20.0f - 1.5f * static_cast<float>((i + j) % 3);
            f.u(i, j) = 0.05f + 0.13f * static_cast<float>(i - 1);  // deposition, neither, erosion
            f.v(i, j) = 0.05f * static_cast<float>(j);
        }
    // A rough bed (n = 0.05) reaches the stress for erosion at currents for
    // which a whole minute per update is stable.
    dredge::COHESIVE(f, 0.0f, 8.0f, 0.05f, 2, 0.4f);
    int eroding = 0, depositing = 0;
    for (float tau : f.taub.v) {
        eroding += tau > 0.01f;
        depositing += tau < 0.001f;
    }
    ASSERT_GT(eroding, 0);
    ASSERT_GT(depositing, 0);

    Fields ref = f;
    ref.conc.fill(0.002f);
    ref.bedchg.fill(0.0f);
    const float dx = 150.0f, tdx = 300.0f, dry = (1.0f - 0.4f) * 160.195f, dt = 60.0f;
    for (int step = 0; step < 180; ++step) {
        for (int i = 2; i <= nx - 1; ++i) {
            float rate[ny + 1];
            for (int j = 2; j <= ny - 1; ++j) {
                auto C = [&](int a, int b) { return ref.conc(a, b); };
                auto H = [&](int a, int b) { return ref.depth(a, b); };
                const float c = C(i, j), h = H(i, j);
                const float ax = ref.u(i, j) * (C(i + 1, j) - C(i - 1, j)) / tdx;
                const float ay = ref.v(i, j) * (C(i, j + 1) - C(i, j - 1)) / tdx;
                const float ddx = 25.0f * ((H(i + 1, j) - H(i - 1, j)) *
                                               (C(i + 1, j) - C(i - 1, j)) / (tdx * tdx) / h +
                                           (C(i + 1, j) + C(i - 1, j) - 2.0f * c) / (dx * dx));
                const float ddy = 25.0f * ((H(i, j + 1) - H(i, j - 1)) *
                                               (C(i, j + 1) - C(i, j - 1)) / (tdx * tdx) / h +
                                           (C(i, j + 1) + C(i, j - 1) - 2.0f * c) / (dx * dx));
                const float e = ref.taub(i, j) > 0.01f ? ref.erate(i, j) : 0.0f;
                const float dp = ref.taub(i, j) < 0.001f ? c * ref.dcoef(i, j) : 0.0f;
                rate[j] = -ax - ay + ddx + ddy + e - dp;
                ref.bedchg(i, j) += (e - dp) * h / dry * dt;
            }
            rate[1] = rate[2];
            rate[ny] = rate[ny - 1];
            for (int j = 1; j <= ny; ++j) ref.conc(i, j) += rate[j] * dt;
        }
        for (int i = 1; i <= nx; ++i) {
            ref.conc(i, 1) = 2.0f * ref.conc(i, 2) - ref.conc(i, 3);
            ref.conc(i, ny) = 2.0f * ref.conc(i, ny - 1) - ref.conc(i, ny - 2);
        }
        for (int j = 1; j <= ny; ++j)
            ref.conc(nx, j) = 2.0f * ref.conc(nx - 1, j) - ref.conc(nx - 2, j);
    }
    EXPECT_EQ(f.conc.v, ref.conc.v);
    EXPECT_EQ(f.bedchg.v, ref.bedchg.v);
}

TEST(Cohesive, CellsWithoutWaterOrCurrentKeepTheirCoefficients) {
    Fields f = cells(4, 4, 20.0f);
    f.u.fill(2.0f);
    f.depth(2, 2) = 0.08f;
    f.u(3, 3) = 0.0f;
    f.taub.fill(5.0f);
    f.erate.fill(6.0f);
    dredge::COHESIVE(f, 0.0f, 8.0f, 0.025f, 2, 0.4f);
    EXPECT_EQ(f.taub(2, 2), 5.0f);
    EXPECT_EQ(f.erate(3, 3), 6.0f);
    EXPECT_NE(f.taub(2, 3), 5.0f);
}

}  // namespace
