// Kernels of the descent, collapse, bottom spreading, bottom shear stress and
// ambient water against hand-computed values.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cloudex/ambient.hpp"
#include "cloudex/collapse.hpp"
#include "cloudex/descent.hpp"
#include "cloudex/gridsetup.hpp"
#include "cloudex/listing.hpp"
#include "cloudex/phase.hpp"
#include "cloudex/shear.hpp"
#include "cloudex/spreading.hpp"
#include "test_grids.hpp"

using namespace cloudex;

using cloudex_test::profile;

namespace {

Grid flat_grid(int n, int m, float spacing, float depth) {
    return cloudex_test::water_grid(n, m, spacing, depth);
}

}  // namespace

TEST(LayerSetUp, InitialRadiusHoldsTheLayerVolumeAsAHemisphere) {
    EXPECT_NEAR(initial_radius(2000.0f), 29.54236f, 1e-4f);
    // (2/3)*pi*RB^3 cubic feet is the layer volume in cubic yards times 27.
    const float rb = initial_radius(500.0f);
    EXPECT_NEAR((2.0f / 3.0f) * kPi * rb * rb * rb, 27.0f * 500.0f, 0.5f);
}

TEST(LayerSetUp, BulkDensityAndVoidRatio) {
    std::vector<Fraction> f(2);
    f[0].conc = 0.2f;
    f[0].sg_gcc = 2.65f;
    f[0].voidr = 1.0f;
    f[1].conc = 0.1f;
    f[1].sg_gcc = 2.7f;
    f[1].voidr = 4.0f;
    // 0.2*2.65 + 0.1*2.7 + 0.7*1.02
    EXPECT_NEAR(bulk_density(f, 1.02f), 1.514f, 1e-6f);
    EXPECT_NEAR(bulk_void_ratio(f), 2.0f, 1e-6f);
    // Half water, half solids of density 1.0 is exactly 1.0 (the stop threshold).
    std::vector<Fraction> one(1);
    one[0].conc = 0.5f;
    one[0].sg_gcc = 1.0f;
    EXPECT_EQ(bulk_density(one, 1.0f), 1.0f);
    one[0].conc = 0.0f;
    EXPECT_EQ(bulk_void_ratio(one), 0.0f);
}

TEST(LayerSetUp, InitialDescentVelocityOfBargeAndHopper) {
    Vessel barge;
    barge.bargl = 200;
    barge.bargw = 42;
    barge.drel1 = 12;
    barge.drel2 = 3;
    // (plan/opening = 1/0.8) * 9 ft / 30 s
    EXPECT_NEAR(initial_descent_velocity(3, barge, 0, 1, 30.0f), 0.375f, 1e-6f);
    Vessel hopper;
    hopper.bargl = 200;
    hopper.bargw = 58;
    hopper.drel1 = 16;
    hopper.drel2 = 9;
    hopper.binl = 30;
    hopper.binw = 20;
    // plan (58/2)*200 = 5800, opening 20*30*2 = 1200, 3.5 ft per discharge in 30 s
    EXPECT_NEAR(initial_descent_velocity(1, hopper, 2, 2, 60.0f), 5800.0f / 1200.0f * 3.5f / 30.0f,
                1e-5f);
    // No release time or no opening: no velocity (the vessel warning follows).
    EXPECT_EQ(initial_descent_velocity(3, barge, 0, 1, 0.0f), 0.0f);
    EXPECT_EQ(initial_descent_velocity(1, hopper, 0, 2, 60.0f), 0.0f);
}

TEST(LayerSetUp, DescentTimeStepRules) {
    const float rb = 29.542359f, roo = 1.509f * 1.94f, rhos = 1.025f * 1.94f;
    // No initial velocity: 5 s.
    EXPECT_EQ(descent_time_step(0.0f, rb, 50.0f, 0.235f, roo, rhos, rhos), 5.0f);
    // A load lighter than the surface water has no densimetric Froude number.
    EXPECT_EQ(descent_time_step(0.375f, rb, 50.0f, 0.235f, 0.99f * rhos, rhos, rhos), 5.0f);
    // Unstratified: only the entrainment rule DT2.
    EXPECT_NEAR(descent_time_step(0.375f, rb, 50.0f, 0.235f, roo, rhos, rhos), 0.0136161f, 2e-7f);
    // Stratified: the smaller of DT1 (stratification) and DT2.
    EXPECT_NEAR(descent_time_step(0.375f, rb, 50.0f, 0.235f, roo, rhos, 1.03f * 1.94f), 0.00711491f,
                2e-7f);
}

TEST(Ambient, DepthByTheBilinearRule) {
    Grid g = flat_grid(4, 4, 10.0f, 0.0f);
    for (int m = 1; m <= 4; ++m)
        for (int n = 1; n <= 4; ++n) g.depth(n, m) = static_cast<float>(10 * n + m);
    // z = 25: node index 2, weight 0.5; x = 15: node index 1, weight 0.5.
    EXPECT_NEAR(depth_at(g, 15.0f, 25.0f), 26.5f, 1e-5f);
    EXPECT_NEAR(depth_at(g, 20.0f, 30.0f), 32.0f, 1e-5f);      // on a node
    EXPECT_NEAR(depth_at(g, 20.00049f, 30.0f), 32.0f, 1e-5f);  // weights below 1e-4 are 0
    EXPECT_NEAR(depth_at(g, 0.0f, 0.0f), 11.0f, 1e-5f);        // index 0 kept on the grid
    EXPECT_NEAR(depth_at(g, 45.0f, 45.0f), 44.0f, 1e-5f);      // beyond the last node
}

TEST(Ambient, DensityProfileInterpolationAndGradient) {
    const Profile p = profile({0, 10, 30}, {2.0f, 2.1f, 2.3f});
    int k = 0;
    EXPECT_NEAR(density_at(p, 5.0f, k), 2.05f, 1e-6f);
    EXPECT_EQ(k, 0);
    EXPECT_NEAR(density_at(p, 20.0f, k), 2.2f, 1e-6f);
    EXPECT_EQ(k, 1);
    EXPECT_NEAR(density_at(p, 40.0f, k), 2.4f, 1e-5f);  // last interval extended
    EXPECT_NEAR(density_at(p, 2.0f, k), 2.02f, 1e-6f);  // the search moves back up
    EXPECT_NEAR(density_gradient(p, 1), 0.01f, 1e-7f);
    const Profile single = profile({0}, {2.0f});
    EXPECT_EQ(density_at(single, 50.0f, k), 2.0f);
    EXPECT_EQ(density_gradient(single, 0), 0.0f);
}

TEST(Ambient, TwoPointProfilesAndTheBottomWarning) {
    const Grid g = flat_grid(5, 5, 10.0f, 25.0f);
    Ambient a;
    a.kvel = 3;
    a.du1 = 5;
    a.du2 = 15;
    a.uu1 = 1.0f;
    a.uu2 = 0.5f;
    a.dw1 = 5;
    a.dw2 = 15;
    a.ww1 = -0.2f;
    a.ww2 = -0.1f;
    float u, w;
    ambient_velocity(g, a, 20, 2.0f, 20, u, w);
    EXPECT_FLOAT_EQ(u, 1.0f);
    EXPECT_FLOAT_EQ(w, -0.2f);
    ambient_velocity(g, a, 20, 10.0f, 20, u, w);
    EXPECT_FLOAT_EQ(u, 0.75f);
    ambient_velocity(g, a, 20, 20.0f, 20, u, w);  // halfway from DU2 to the bottom
    EXPECT_FLOAT_EQ(u, 0.25f);
    EXPECT_FLOAT_EQ(w, -0.05f);
    a.du2 = 25.0f;  // lower entry at the bottom
    try {
        ambient_velocity(g, a, 20, 30.0f, 20, u, w);
        FAIL() << "expected a stop";
    } catch (const Stop& s) {
        EXPECT_EQ(s.lines().at(0),
                  "WARNING...NEED TO CHANGE VELOCITY PROFILE...LAST ENTRY CAN NOT BE AT THE "
                  "BOTTOM...");
    }
}

TEST(Ambient, LogarithmicFactorOfKvel2) {
    const Grid g = flat_grid(5, 5, 10.0f, 25.0f);
    Ambient a;
    a.kvel = 2;
    a.u.fill(1.0f);
    a.w.fill(-2.0f);
    float u, w;
    ambient_velocity(g, a, 20, 5.0f, 20, u, w);
    EXPECT_NEAR(u, 1.04325f, 1e-5f);
    EXPECT_NEAR(w, -2.0865f, 1e-4f);
    ambient_velocity(g, a, 20, 30.0f, 20, u, w);  // below the bed: depth average kept
    EXPECT_EQ(u, 1.0f);
    EXPECT_EQ(w, -2.0f);
}

TEST(Ambient, ContinuityVelocityGrids) {
    Grid g = flat_grid(3, 3, 10.0f, 20.0f);
    g.depth(2, 2) = 0.0f;
    g.depth(3, 3) = 40.0f;
    Ambient a;
    a.vax = 0.5f;
    a.vaz = -0.2f;
    a.dobs = 20.0f;
    build_velocity_grids(g, a);
    EXPECT_FLOAT_EQ(a.u(1, 1), 0.5f);
    EXPECT_FLOAT_EQ(a.u(3, 3), 0.25f);
    EXPECT_FLOAT_EQ(a.w(3, 3), -0.1f);
    EXPECT_EQ(a.u(2, 2), 0.0f);  // land
}

TEST(Ambient, VerticalDiffusionFollowsTheRichardsonNumber) {
    const Grid g = flat_grid(5, 5, 10.0f, 20.0f);
    Ambient a;
    a.kvel = 1;
    a.u.fill(1.0f);
    a.prof = profile({0, 20}, {2.0f, 2.0f});
    SmallCloud c;  // no solids: no excess density of its own
    c.sx = c.sz = c.sv = 1.0f;
    float kv = 0;
    // Unstratified: Ri = 0 and Kv = AKY0.
    ASSERT_TRUE(vertical_diffusion(g, a, 0.025f, 2, 2, 10.0f, 12.0f, c, 5.0f, kv));
    EXPECT_FLOAT_EQ(kv, 0.025f);
    // Stratified, uniform current: shear 0.7*1/20, Ri = g*G/(rho*S^2) = 1.3142.
    a.prof = profile({0, 20}, {2.0f, 2.0f + 20.0f * 1.0e-4f});
    ASSERT_TRUE(vertical_diffusion(g, a, 0.025f, 2, 2, 10.0f, 12.0f, c, 5.0f, kv));
    EXPECT_NEAR(kv, 0.025f * (1.0f - 0.25f * 1.31422f), 2e-5f);
    // Strongly stratified: Ri limited to 4, Kv replaced by 5.0E-6.
    a.prof = profile({0, 20}, {2.0f, 3.0f});
    ASSERT_TRUE(vertical_diffusion(g, a, 0.025f, 2, 2, 10.0f, 12.0f, c, 5.0f, kv));
    EXPECT_EQ(kv, 5.0e-6f);
    // Not in the water.
    EXPECT_FALSE(vertical_diffusion(g, a, 0.025f, 2, 2, 20.0f, 12.0f, c, 5.0f, kv));
    EXPECT_FALSE(vertical_diffusion(g, a, 0.025f, 2, 2, 0.0f, 12.0f, c, 5.0f, kv));
}

TEST(BottomShear, WavelengthIteration) {
    const float l0 = 5.1247773f * 64.0f;
    bool ok = false;
    // 8 s waves in 50 ft of water: L = L0*tanh(2*pi*h/L) gives 269.77 ft.
    EXPECT_NEAR(wavelength(l0, 8.0f, 50.0f, ok), 269.77f, 0.02f);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(wavelength(l0, 8.0f, 1000.0f, ok), l0, 0.02f);  // deep water
    // Shallow water: close to T*sqrt(g*h).
    EXPECT_NEAR(wavelength(l0, 8.0f, 1.0f, ok), 45.25f, 0.02f);
    const float l = wavelength(l0, 8.0f, 50.0f, ok);
    EXPECT_NEAR(l, l0 * std::tanh(2.0f * kPi * 50.0f / l), 0.02f);
}

TEST(BottomShear, FrictionFactors) {
    EXPECT_FLOAT_EQ(current_friction_factor(1.0f, 0.01f), 0.0625f);
    EXPECT_NEAR(wave_friction_factor(3.0f, 0.01f), 0.068813f, 2e-6f);  // relative amplitude 10
    EXPECT_FLOAT_EQ(wave_friction_factor(31.0f, 0.01f), 0.02f);        // above 100
    EXPECT_FLOAT_EQ(wave_friction_factor(1.0e-5f, 0.01f), 0.5f);       // capped
}

TEST(BottomShear, CurrentOnlyGridAndLand) {
    Grid g = flat_grid(4, 4, 10.0f, 20.0f);
    g.depth(3, 3) = 0.0f;
    Ambient a;
    a.kvel = 1;
    a.vax = 0.5f;
    a.vaz = 0.0f;
    a.dobs = 20.0f;
    a.rough = 0.01f;
    a.zref = 1.0f;
    a.prof = profile({0, 20}, {1.94f * 1.025f, 1.94f * 1.025f});
    build_velocity_grids(g, a);
    compute_bottom_shear(g, a);
    EXPECT_NEAR(a.tau(2, 2), 0.97f * 1.94f * 1.025f * 0.0625f * 0.25f, 1e-6f);
    EXPECT_EQ(a.tau(3, 3), 0.0f);
    // Waves add to the current's stress.
    a.kwave = 1;
    a.hwave = 3.0f;
    a.twave = 8.0f;
    a.dwave = 0.3f;
    compute_bottom_shear(g, a);
    EXPECT_GT(a.tau(2, 2), 0.97f * 1.94f * 1.025f * 0.0625f * 0.25f);
    EXPECT_EQ(a.tau(3, 3), 0.0f);
}

TEST(Surfaces, ClosedFormsOfTheHalfSpheroid) {
    EXPECT_NEAR(half_spheroid_surface(1.0f, 1.0f, 1.0f), 2.0f * kPi, 1e-5f);
    EXPECT_NEAR(half_spheroid_surface(1.0f, 1.0f, 0.5f), 4.335938f, 1e-4f);  // oblate
    EXPECT_NEAR(half_spheroid_surface(1.0f, 1.0f, 2.0f), 10.73921f, 1e-4f);  // prolate
}

TEST(Surfaces, SliceQuadratureAgreesWithTheSpheroid) {
    // A cloud on the bed is flatter than wide: the slices run along its
    // thickness and cut near-circles.
    struct Case {
        float b, a, a2;
    } cases[] = {
        {1.0f, 1.0f, 1.0002f}, {0.5f, 1.0f, 1.0002f}, {0.1f, 3.0f, 3.0005f}, {0.01f, 5.0f, 5.001f}};
    for (const Case& c : cases) {
        const float q = half_ellipsoid_surface(c.b, c.a, c.a2);
        const float s = half_spheroid_surface(c.a, c.a2, c.b);
        EXPECT_NEAR(q / s, 1.0f, 5e-4f) << c.b << " " << c.a;
    }
    // The order of the semi-axes does not matter.
    EXPECT_EQ(half_ellipsoid_surface(0.5f, 2.0f, 1.0f), half_ellipsoid_surface(2.0f, 1.0f, 0.5f));
}

TEST(Collapse, HalfSurfaceAndTimeStep) {
    EXPECT_NEAR(collapse_half_surface(2.0f, 1.0f), 5.520692f, 1e-5f);
    EXPECT_FLOAT_EQ(collapse_half_surface(1.0f, 2.0f), 2.0f);
    EXPECT_NEAR(collapse_time_step(10.0f, 1.0e-4f), 1.82352f, 1e-4f);
}

TEST(Collapse, CohesiveFallVelocityBands) {
    struct Case {
        float cf, expected;
    } cases[] = {
        {5.0e-6f, 3.4e-5f},
        {9.6e-6f, 3.4e-5f},
        {1.0e-3f, 0.00588993f},  // 1.6E-7*(2.65*1000)^(4/3) + 2.25E-5
        {0.00115f, 1.6e-7f * std::pow(2.65f * 1150.0f, 4.0f / 3.0f) + 2.25e-5f},
        {0.002f, 0.0069f},
    };
    for (const Case& c : cases) EXPECT_NEAR(cohesive_fall_collapse(2.65f, c.cf), c.expected, 2e-8f);

    Fraction f;
    f.vfall = 0.01f;
    f.sg_gcc = 2.5f;
    EXPECT_EQ(cloud_fall_velocity(f, 1.0f, 10.0f), 0.01f);  // non-cohesive: VFALL
    f.kcohes = 1;
    EXPECT_EQ(cloud_fall_velocity(f, 1.0e-5f, 1.0f), 3.4e-5f);  // 25 mg/L
    EXPECT_NEAR(cloud_fall_velocity(f, 4.0e-4f, 1.0f),
                1.6e-7f * std::pow(1000.0f, 4.0f / 3.0f) + 2.25e-5f, 1e-8f);
    EXPECT_EQ(cloud_fall_velocity(f, 2.0e-3f, 1.0f), 0.0069f);  // 5000 mg/L
}

namespace {

struct DescentFixture {
    Grid grid = flat_grid(10, 10, 100.0f, 60.0f);
    Ambient amb;
    Coefs coef;
    Vessel vessel;
    std::vector<Fraction> frac;
    DescentFixture() {
        amb.kvel = 1;
        amb.u.fill(0.2f);
        amb.w.fill(-0.1f);
        amb.prof = profile({0, 60}, {1.99f, 2.0f});
        frac.resize(2);
        frac[0].sg = 2.65f * 1.94f;
        frac[0].vfall = 0.1f;
        frac[1].sg = 2.7f * 1.94f;
        frac[1].vfall = 0.001f;
        frac[1].kstrip = 1;
    }
    PhaseEnv env() const { return {grid, amb, coef, frac, 2, vessel, 60.0f}; }
};

}  // namespace

TEST(Descent, MassGrowsOnlyByEntrainmentAndSolidsNeverIncrease) {
    DescentFixture fx;
    const PhaseEnv env = fx.env();
    DescentModel model(env, 500.0f, 500.0f);
    model.step = 20;  // settling active
    const float rho = 2.9f;
    const float v = 1500.0f;
    float y[11] = {0,     20.0f,           0,        rho * v,
                   0.0f,  0.05f * rho * v, 0.0f,     (1.99f - rho) * v,
                   30.0f, 0.2f * v,        0.05f * v};
    float dy[kCollapseBase + kMaxFractions] = {};
    model(y, dy);
    // dM/dt + sum SG*dS/dt is the entrained mass flux, never negative.
    const float entrained = dy[3] + fx.frac[0].sg * dy[9] + fx.frac[1].sg * dy[10];
    EXPECT_GT(entrained, 0.0f);
    EXPECT_LT(dy[9], 0.0f);   // settles (fall velocity above the descent speed)
    EXPECT_LT(dy[10], 0.0f);  // stripped
    // Without settling or stripping the mass only grows.
    fx.frac[0].vfall = 0.0f;
    fx.frac[1].kstrip = 0;
    fx.frac[1].vfall = 0.0f;
    model(y, dy);
    EXPECT_GT(dy[3], 0.0f);
    EXPECT_EQ(dy[9], 0.0f);
    EXPECT_EQ(dy[10], 0.0f);
    // Before step 10 no fraction settles.
    fx.frac[0].vfall = 0.1f;
    model.step = 5;
    model(y, dy);
    EXPECT_EQ(dy[9], 0.0f);
}

TEST(Descent, NegativeDepthStopsTheRun) {
    DescentFixture fx;
    const PhaseEnv env = fx.env();
    DescentModel model(env, 0.0f, 0.0f);
    float y[11] = {0, -0.5f, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    float dy[kCollapseBase + kMaxFractions];
    try {
        model(y, dy);
        FAIL();
    } catch (const Stop& s) {
        EXPECT_EQ(s.lines().at(0), "Y LT 0 -- INPUT DATA BAD");
        EXPECT_TRUE(s.form_feed());
    }
}

TEST(GridSetUp, CodesRunsAndInteriorLand) {
    Grid g = flat_grid(8, 8, 10.0f, 10.0f);
    for (int m = 3; m <= 5; ++m)
        for (int n = 3; n <= 5; ++n) g.depth(n, m) = 0.0f;
    assign_codes(g);
    build_runs(g);
    EXPECT_EQ(g.code(1, 4), kDummy);
    EXPECT_EQ(g.code(2, 2), kOpen);
    EXPECT_EQ(g.code(7, 4), kOpen);
    EXPECT_EQ(g.code(4, 4), kLand);
    EXPECT_EQ(g.code(6, 6), kWater);
    EXPECT_EQ(g.nwater, 7);
    ASSERT_EQ(g.runs.size(), 9u);
    long points = 0;
    for (const WaterRun& r : g.runs) points += r.m2 - r.m1 + 1;
    EXPECT_EQ(points, 27);
    EXPECT_EQ(g.runs[1].n, 3);
    EXPECT_EQ(g.runs[1].m1, 2);
    EXPECT_EQ(g.runs[1].m2, 2);
    EXPECT_EQ(g.runs[2].m1, 6);
    mark_interior_land(g);
    EXPECT_EQ(g.code(4, 4), kInteriorLand);
    EXPECT_EQ(g.code(3, 4), kLand);
    EXPECT_EQ(code_letter(kInteriorLand), 'L');
    // Dump point: row int(XBARGE/DX + 1.5), column int(ZBARGE/DZ + 1.5).
    g.xbarge = 34.9f;
    g.zbarge = 35.0f;
    locate_dump(g);
    EXPECT_EQ(g.dump_row, 4);
    EXPECT_EQ(g.dump_col, 5);
}

TEST(GridSetUp, TooManyWaterRunsStop) {
    Grid g = flat_grid(65, 65, 10.0f, 10.0f);
    for (int m = 4; m <= 62; m += 2)
        for (int n = 1; n <= 65; ++n) g.depth(n, m) = 0.0f;  // land every other row
    assign_codes(g);
    try {
        build_runs(g);
        FAIL();
    } catch (const Stop& s) {
        EXPECT_EQ(s.lines().at(0), "ARRAYS IN COMMON BLOCK /GUIDE2/ FILLED...CALL EXIT...");
    }
}
