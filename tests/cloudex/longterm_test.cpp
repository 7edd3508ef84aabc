// Small clouds, deposition, print times and the deposit-file and map layouts.
#include "cloudex/longterm.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "cloudex/clouds.hpp"
#include "cloudex/gridsetup.hpp"
#include "cloudex/output.hpp"
#include "cloudex/run.hpp"
#include "test_grids.hpp"

using namespace cloudex;
using cloudex_test::water_grid;

namespace {

double field_sum(const Field& f) {
    double s = 0;
    for (float v : f.v) s += static_cast<double>(v);
    return s;
}

// The Gaussian weight computed directly, point by point in double precision.
void spread_direct(const Grid& g, Field& f, double mass, double x, double z, double sx, double sz) {
    double sum = 0;
    std::vector<double> w(f.v.size(), 0.0);
    for (const WaterRun& r : g.runs)
        for (int m = r.m1; m <= r.m2; ++m) {
            const double ax = ((m - 1) * static_cast<double>(g.dx) - x) / sx;
            const double az = ((r.n - 1) * static_cast<double>(g.dz) - z) / sz;
            const double e = std::max(-0.5 * (ax * ax + az * az), -88.0);
            w[static_cast<std::size_t>((m - 1) * kLead + r.n - 1)] = std::exp(e);
            sum += std::exp(e);
        }
    for (std::size_t k = 0; k < w.size(); ++k) f.v[k] += static_cast<float>(mass * w[k] / sum);
}

}  // namespace

TEST(Deposition, SeparableWeightsMatchThePointByPointRule) {
    Grid g = water_grid(30, 25, 50.0f, 40.0f);
    g.depth(12, 10) = 0.0f;  // a land point inside the spread
    assign_codes(g);
    build_runs(g);
    struct Case {
        float x, z, sx, sz;
    } cases[] = {{500, 600, 80, 60},
                 {500, 600, 5, 5},
                 {37, 1220, 400, 300},
                 {610, 555, 1000, 20},
                 {-3000, 600, 100, 100}};
    for (const Case& c : cases) {
        Field fast, slow;
        fast.fill(0.0f);
        slow.fill(0.0f);
        spread_deposit(g, fast, 1000.0f, c.x, c.z, c.sx, c.sz);
        spread_direct(g, slow, 1000.0f, c.x, c.z, c.sx, c.sz);
        EXPECT_NEAR(field_sum(fast), 1000.0, 1e-3) << c.x;
        EXPECT_EQ(fast(12, 10), 0.0f);  // land receives nothing
        EXPECT_EQ(fast(1, 5), 0.0f);    // nor the dummy border
        for (std::size_t k = 0; k < fast.v.size(); ++k)
            ASSERT_NEAR(fast.v[k], slow.v[k], 1e-4f + 1e-5f * slow.v[k]) << c.x << " point " << k;
    }
}

TEST(Deposition, EveryWeightAtTheLimitSpreadsEvenly) {
    const Grid g = water_grid(10, 10, 100.0f, 40.0f);
    Field f;
    f.fill(0.0f);
    // Far outside the grid with a narrow cloud: all exponents below -88.
    spread_deposit(g, f, 64.0f, 5000.0f, 5000.0f, 1.0f, 1.0f);
    for (const WaterRun& r : g.runs)
        for (int m = r.m1; m <= r.m2; ++m) EXPECT_FLOAT_EQ(f(r.n, m), 1.0f);  // 64 points
    EXPECT_EQ(f(1, 1), 0.0f);
}

TEST(Deposition, SubStepFallsDepositsAndRespectsTheCriticalStress) {
    const Grid g = water_grid(10, 10, 100.0f, 40.0f);
    Ambient amb;
    amb.kvel = 1;
    amb.prof.ndens = 1;
    amb.prof.dens[0] = 2.0f;
    amb.tau.fill(0.1f);
    Coefs coef;
    Vessel vessel;
    vessel.bargl = 200;
    vessel.bargw = 40;
    const CloudEnv env{g, amb, coef, vessel};
    Fraction f;
    f.taucd = 0.2f;
    f.sg = 5.0f;
    SmallCloud c;
    c.mass = 10.0f;
    c.x = c.z = 450.0f;
    c.top = 30.0f;
    c.thick = 4.0f;
    c.diam = 50.0f;
    c.sx = c.sz = 20.0f;
    c.sv = 1.0f;
    c.fall = 0.1f;
    // Falls freely: 6 ft above the bottom, 1 ft per sub-step of 10 s.
    EXPECT_EQ(deposit_substep(env, f, c, 10.0f), 0.0f);
    EXPECT_GT(c.top, 30.0f);
    // At the bottom: the part carried past the bed settles, the rest falls on.
    c.top = 36.0f;
    c.thick = 4.0f;
    const float reached = deposit_substep(env, f, c, 10.0f);
    EXPECT_NEAR(reached, 10.0f * 1.0f / 4.0f, 1e-5f);
    EXPECT_NEAR(c.mass, 7.5f, 1e-5f);
    EXPECT_NEAR(c.top + c.thick, 40.0f, 0.05f);  // base on the bed (plus vertical spreading)
    // It keeps settling at its fall velocity: 4 ft of cloud, 1 ft per sub-step.
    float total = reached;
    for (int i = 0; i < 4; ++i) total += deposit_substep(env, f, c, 10.0f);
    EXPECT_LT(c.mass, 0.1f);
    EXPECT_NEAR(total + c.mass, 10.0f, 1e-5f);
    // A fast-falling cloud takes its spread from the vessel's size.
    c.mass = 1.0f;
    c.top = 10.0f;
    c.thick = 2.0f;
    c.fall = 0.6f;
    deposit_substep(env, f, c, 10.0f);
    EXPECT_NEAR(c.sx, 0.25f * std::sqrt(200.0f * 200.0f + 40.0f * 40.0f), 1e-3f);
    // At or above the critical shear stress nothing happens.
    amb.tau.fill(0.2f);
    SmallCloud d = c;
    EXPECT_EQ(deposit_substep(env, f, d, 10.0f), 0.0f);
    EXPECT_EQ(d.mass, c.mass);
    EXPECT_EQ(d.top, c.top);
}

TEST(Deposition, LandRuleUndoesTheSteps) {
    Grid g = water_grid(9, 9, 10.0f, 20.0f);
    // Cells are addressed by (int(z/DZ), int(x/DX)).
    struct Case {
        std::vector<std::pair<int, int>> land;  // (n, m)
        float u, w;
        bool keep_x, keep_z;
    } cases[] = {
        {{}, 1.0f, 1.0f, true, true},                          // water
        {{{5, 5}}, 1.0f, 1.0f, false, false},                  // lone land point
        {{{5, 5}, {5, 4}, {5, 6}}, 1.0f, 1.0f, true, false},   // land along x
        {{{5, 5}, {4, 5}, {6, 5}}, 1.0f, 1.0f, false, true},   // land along z
        {{{5, 5}, {5, 4}, {4, 5}}, 1.0f, 2.0f, false, true},   // corner, |w| > |u|
        {{{5, 5}, {6, 5}, {5, 6}}, 2.0f, 1.0f, true, false},   // corner, |w| < |u|
        {{{5, 5}, {6, 5}, {5, 6}}, 1.0f, 1.0f, false, false},  // corner, equal
    };
    for (const Case& c : cases) {
        for (int m = 1; m <= 9; ++m)
            for (int n = 1; n <= 9; ++n) g.depth(n, m) = 20.0f;
        for (auto [n, m] : c.land) g.depth(n, m) = 0.0f;
        assign_codes(g);
        SmallCloud cl;
        cl.x = 55.0f;
        cl.z = 55.0f;
        apply_land_rule(g, cl, 40.0f, 30.0f, c.u, c.w);
        EXPECT_EQ(cl.x, c.keep_x ? 55.0f : 40.0f) << c.land.size() << " " << c.u;
        EXPECT_EQ(cl.z, c.keep_z ? 55.0f : 30.0f) << c.land.size() << " " << c.u;
    }
    // Interior land acts as a corner.
    for (int m = 4; m <= 6; ++m)
        for (int n = 4; n <= 6; ++n) g.depth(n, m) = 0.0f;
    assign_codes(g);
    mark_interior_land(g);
    SmallCloud cl;
    cl.x = cl.z = 55.0f;
    apply_land_rule(g, cl, 40.0f, 30.0f, 2.0f, 1.0f);
    EXPECT_EQ(cl.x, 55.0f);
    EXPECT_EQ(cl.z, 30.0f);
}

TEST(Deposition, HorizontalGrowthByTheFourThirdsLaw) {
    SmallCloud c;
    c.sx = 10.0f;
    c.sz = 1000.0f;
    grow_horizontal(0.005f, c, 60.0f);
    EXPECT_NEAR(c.sx, 10.0f + 0.005f * std::pow(40.0f, 4.0f / 3.0f) / 10.0f * 60.0f, 1e-4f);
    EXPECT_NEAR(c.sz, 1000.0f + 100.0f / 1000.0f * 60.0f, 1e-3f);  // K capped at 100
}

TEST(RisingBed, TopKeepsItsHeightAboveTheBed) {
    struct Case {
        float top, h_old, h_new, expected;
    } cases[] = {
        {20.0f, 40.0f, 30.0f, 10.0f},  // up a slope: the top rises with the bed
        {20.0f, 30.0f, 40.0f, 20.0f},  // into deeper water: the top stays
        {20.0f, 40.0f, 40.0f, 20.0f},  // level bed
        {5.0f, 40.0f, 30.0f, 0.0f},    // never above the surface
    };
    for (const Case& c : cases) {
        SmallCloud cl;
        cl.top = c.top;
        follow_rising_bed(cl, c.h_old, c.h_new);
        EXPECT_EQ(cl.top, c.expected) << c.h_old << " -> " << c.h_new;
    }
}

namespace {

// A current of u ft/s along x over a bed rising along x: the depth is
// 60 - x/50 ft (50 ft at x = 500, 48 ft at x = 600), flat across.
struct RisingBed {
    std::unique_ptr<cloudex::Run> run = std::make_unique<cloudex::Run>();
    explicit RisingBed(float u) {
        cloudex::Run& r = *run;
        Grid& g = r.grid;
        g = water_grid(20, 25, 100.0f, 0.0f);
        for (int m = 1; m <= g.mmax; ++m)
            for (int n = 1; n <= g.nmax; ++n) g.depth(n, m) = 60.0f - 2.0f * static_cast<float>(m);
        assign_codes(g);
        build_runs(g);
        r.amb.kvel = kVelGrids;
        r.amb.u.fill(u);
        r.amb.w.fill(0.0f);
        r.amb.prof.ndens = 1;
        r.amb.prof.dens[0] = 1.025f * kToSlugs;
        r.amb.tau.fill(0.0f);
        r.coef.aky0 = 1.0e-14f;
        r.times.dtl = 60.0f;
        Fraction f;
        f.name = "SILT    ";
        f.sg_gcc = 2.65f;
        f.sg = 2.65f * kToSlugs;
        f.vfall = 0.01f;
        f.taucd = 0.5f;
        f.present = true;
        r.frac = {f};
        r.bottom[0].fill(0.0f);
    }
    // A cloud of 10 cu ft, 4 ft thick, with its top at `top` over x = 500.
    SmallCloud& add_cloud(float top) {
        SmallCloud c;
        c.mass = 10.0f;
        c.x = 500.0f;
        c.z = 1000.0f;
        c.top = top;
        c.thick = 4.0f;
        c.diam = 100.0f;
        c.vol = c.diam * c.diam * c.thick;
        // Spread so wide that its own excess density hardly stratifies the
        // water: with AKY0 near 0 there is next to no vertical spreading.
        c.sx = c.sz = 5000.0f;
        c.sv = 1.0f;
        c.fall = run->frac[0].vfall;
        run->clouds[0] = {c};
        return run->clouds[0].front();
    }
};

}  // namespace

// A cloud carried up a rising bed keeps its height above the bed: moved
// from 50 ft of water into 48 ft, its top rises from 30 ft to 28 ft (it was
// once pushed down to 32 ft, into the rising bed).
TEST(RisingBed, BringingForwardRaisesTheTopWithTheBed) {
    RisingBed bed(0.5f);
    bed.run->amb.tau.fill(1.0f);  // above the critical stress: no fall, no deposit
    bed.add_cloud(30.0f);
    const CloudEnv env{bed.run->grid, bed.run->amb, bed.run->coef, bed.run->vessel};
    bring_forward(env, bed.run->frac, bed.run->clouds, bed.run->bottom, 200.0f);
    const SmallCloud& c = bed.run->clouds[0].front();
    EXPECT_FLOAT_EQ(c.x, 600.0f);
    EXPECT_FLOAT_EQ(c.top, 28.0f);
    EXPECT_FLOAT_EQ(c.time, 200.0f);
}

// Over a bed rising 0.002 ft/s under the cloud (0.1 ft/s up a slope of
// 1/50), a cloud 6 ft above the bed falling at 0.01 ft/s settles as it would
// over a level bed: nothing reaches the bed for 600 s, then its 4 ft of
// thickness settle at 0.01 ft/s, the suspended mass falling linearly to
// zero at 1000 s. (It was once pushed 0.12 ft a step into the rising bed.)
TEST(RisingBed, SuspendedMassOverTimeAsOverALevelBed) {
    RisingBed bed(0.1f);
    bed.add_cloud(40.0f);  // base at 44 ft over 50 ft of water
    cloudex::Run& r = *bed.run;
    struct Expect {
        float t, suspended;
    } expected[] = {{300.0f, 10.0f}, {600.0f, 10.0f}, {720.0f, 7.0f},
                    {840.0f, 4.0f},  {960.0f, 1.0f},  {1080.0f, 0.0f}};
    bool first = true;
    std::size_t next = 0;
    for (int step = 1; step <= 20; ++step) {
        const float t = 60.0f * static_cast<float>(step);
        bool print = false;
        const StepTotals tot = long_term_step(r, 0, t, 0.0f, first, print);
        ASSERT_NEAR(tot.settled + tot.suspended, 10.0, 1e-4) << t;
        if (!r.clouds[0].empty() && r.clouds[0].front().mass > 0.0f) {
            const SmallCloud& c = r.clouds[0].front();
            const float h = 60.0f - c.x / 50.0f;
            ASSERT_NEAR(c.x, 500.0f + 0.1f * t, 1e-3f) << t;
            // Above the bed by 6 ft less the fall, never below it.
            ASSERT_NEAR(h - (c.top + c.thick), std::max(6.0f - 0.01f * t, 0.0f), 2e-3f) << t;
        }
        if (next < std::size(expected) && std::fabs(t - expected[next].t) < 1.0f) {
            EXPECT_NEAR(tot.suspended, expected[next].suspended, 5e-3) << t;
            ++next;
        }
    }
    EXPECT_EQ(next, std::size(expected));
}

namespace {

// A record of `istep` steps whose fraction loses no solids until the end.
struct TrackFixture {
    Grid grid = water_grid(20, 20, 100.0f, 40.0f);
    Ambient amb;
    Coefs coef;
    Vessel vessel;
    Track tr;
    Outcome out;
    Fraction f;
    explicit TrackFixture(int istep) {
        amb.kvel = 1;
        amb.tau.fill(0.0f);
        f.name = "SAND    ";
        f.vfall = 0.05f;
        f.taucd = 1.0f;
        for (int s = 1; s <= istep; ++s) {
            tr.t[s] = static_cast<float>(s);
            tr.y[s] = 10.0f + static_cast<float>(s);
            tr.radius[s] = tr.thick[s] = 5.0f;
            tr.axa[s] = tr.axb[s] = 10.0f;
            tr.vol[s] = 100.0f;
            tr.conc[0][s] = 0.2f - 0.001f * static_cast<float>(s);
            tr.fall[0][s] = 0.05f;
        }
        out.istep = istep;
        out.t_desc_end = static_cast<float>(istep) / 2.0f;
    }
    CloudEnv env() const { return {grid, amb, coef, vessel}; }
};

}  // namespace

TEST(SmallClouds, CreationKeepsTheMassOfTheRecord) {
    TrackFixture fx(100);
    std::vector<SmallCloud> list;
    Listing out;
    create_clouds(fx.env(), fx.tr, fx.out, fx.f, 0, 1000.0f, 1000.0f, list, out);
    ASSERT_EQ(list.size(), 10u);  // every tenth step
    double total = 0;
    for (const SmallCloud& c : list) {
        total += static_cast<double>(c.mass);
        EXPECT_LE(c.top + c.thick, 40.0f + 1e-4f);
        EXPECT_GT(c.thick, 0.0f);
    }
    EXPECT_NEAR(total, 0.199f * 100.0f, 1e-4);  // the solids at the first step
    EXPECT_FLOAT_EQ(list.front().x, 1000.0f);
    EXPECT_FLOAT_EQ(list.back().time, 100.0f);
    EXPECT_FLOAT_EQ(list.back().thick, 5.0f);  // the last cloud takes the final thickness
    EXPECT_FLOAT_EQ(list.back().sx, 2.5f);     // axis / 4
}

TEST(SmallClouds, SeventyFiveAllowedTheSeventySixthStops) {
    TrackFixture fx(10);
    for (int s = 1; s <= 10; ++s) fx.tr.conc[0][s] = 0.1f;  // no loss: one cloud per layer
    Listing out;
    std::vector<SmallCloud> list(74);
    create_clouds(fx.env(), fx.tr, fx.out, fx.f, 0, 0.0f, 0.0f, list, out);
    EXPECT_EQ(list.size(), 75u);
    try {
        create_clouds(fx.env(), fx.tr, fx.out, fx.f, 0, 0.0f, 0.0f, list, out);
        FAIL();
    } catch (const Stop& s) {
        EXPECT_EQ(s.lines().at(0),
                  "WARNING!!! - TOO MANY SMALL CLOUDS FORMED... EXECUTION STOPPED.");
    }
}

TEST(SmallClouds, FewerThanTenStepsStop) {
    TrackFixture fx(9);
    std::vector<SmallCloud> list;
    Listing out;
    try {
        create_clouds(fx.env(), fx.tr, fx.out, fx.f, 0, 0.0f, 0.0f, list, out);
        FAIL();
    } catch (const Stop& s) {
        EXPECT_EQ(s.lines().at(0), "ERROR!!! THE INCREMENT FOR CREATING CLOUDS IS ZERO ...BAD RUN");
    }
}

TEST(SmallClouds, HighShearOnTheBedKeepsTheRestInOneCloud) {
    TrackFixture fx(100);
    fx.out.ibed = 30;
    fx.amb.tau.fill(2.0f);  // above TAUCD at the dump point
    std::vector<SmallCloud> list;
    Listing out;
    create_clouds(fx.env(), fx.tr, fx.out, fx.f, 0, 0.0f, 0.0f, list, out);
    // Steps 1-11 and 11-21 make clouds; from step 21 the next step (31) lies
    // past the bed step and everything left goes into one last cloud.
    ASSERT_EQ(list.size(), 3u);
    EXPECT_FLOAT_EQ(list.back().time, 100.0f);
    EXPECT_NEAR(list.back().mass, (0.2f - 0.021f) * 100.0f, 1e-4f);
}

TEST(PrintTimes, DefaultTimes) {
    EXPECT_EQ(default_print_times(3600, 60, 57.3f), (std::vector<float>{900, 1800, 2700, 3600}));
    // Counted on from the end of the descent and collapse; the fourth is cut.
    EXPECT_EQ(default_print_times(3600, 60, 130), (std::vector<float>{1020, 1920, 2820, 3600}));
    // A step longer than a quarter of the run: one step apart, only the
    // fourth cut here; completing the list cuts and merges the rest.
    std::vector<float> t = default_print_times(100, 60, 10);
    EXPECT_EQ(t, (std::vector<float>{60, 120, 180, 100}));
    complete_print_times(t, 100);
    EXPECT_EQ(t, (std::vector<float>{60, 100}));
}

TEST(PrintTimes, CompletedListIsCutAndDeduplicated) {
    struct Case {
        std::vector<float> in, out;
    } cases[] = {
        {{900, 1800}, {900, 1800, 3600}},
        {{100, 5000, 5000}, {100, 3600}},
        {{3600}, {3600}},
        {{100, 100, 200}, {100, 200, 3600}},
        {{}, {3600}},
    };
    for (Case& c : cases) {
        complete_print_times(c.in, 3600);
        EXPECT_EQ(c.in, c.out);
    }
}

TEST(Maps, DisplayScaleAndCells) {
    struct Scale {
        float vmax, s;
    } scales[] = {{455, 1},       {4550, 10},       {12345, 100}, {0.5f, 1}, {5.0f, 1},
                  {0.05f, 0.01f}, {0.005f, 0.001f}, {0.0f, 1},    {-1.0f, 1}};
    for (const Scale& c : scales) EXPECT_FLOAT_EQ(display_scale(c.vmax), c.s) << c.vmax;
    struct Cell {
        float v;
        const char* text;
    } cells[] = {{455, " 455"},   {10, "  10"},     {9.99f, " 9.9"},   {5.37f, " 5.3"},
                 {1, " 1.0"},     {0.53f, " .53"},  {0.1f, " .10"},    {0.05f, " .05"},
                 {0.01f, " .01"}, {0.005f, "   +"}, {0.0001f, "   +"}, {5e-5f, "   ."},
                 {1e-6f, "   ."}, {1e-7f, "   0"},  {0.0f, "   0"}};
    for (const Cell& c : cells) EXPECT_EQ(map_cell(c.v), c.text) << c.v;
}

TEST(DepositFile, BlockLayoutFollowsTheGridWidth) {
    struct Case {
        int nmax, mmax;
        std::vector<std::size_t> row_values;  // values per record of one row
    } cases[] = {
        {25, 10, {21}},         {26, 10, {21, 1}}, {44, 10, {21, 19}},
        {65, 10, {21, 21, 19}}, {4, 10, {0}},      {3, 10, {0}},
    };
    for (const Case& c : cases) {
        const Grid g = water_grid(c.nmax, c.mmax, 10.0f, 5.0f);
        Field thick;
        thick.fill(0.125f);
        const auto recs = block_records(g, 123.25f, thick);
        ASSERT_EQ(recs.size(), 1 + static_cast<std::size_t>(c.mmax - 4) * c.row_values.size());
        EXPECT_EQ(recs[0], "    123.2500");
        for (std::size_t r = 1; r < recs.size(); ++r) {
            const std::size_t n = c.row_values[(r - 1) % c.row_values.size()];
            EXPECT_EQ(recs[r].size(), 9 * n) << c.nmax;
            if (n > 0) {
                EXPECT_EQ(recs[r].substr(0, 9), "0.125E+00");
            }
        }
    }
    // No interior rows: the time record only.
    const Grid g = water_grid(30, 4, 10.0f, 5.0f);
    Field thick;
    thick.fill(0.0f);
    EXPECT_EQ(block_records(g, 0.0f, thick).size(), 1u);
}

TEST(DepositFile, ThicknessFromVolumeAndVoidRatio) {
    const Grid g = water_grid(6, 6, 10.0f, 5.0f);
    Field vol, thick;
    vol.fill(0.0f);
    vol(3, 3) = 50.0f;
    thickness_grid(g, vol, 1.5f, thick);
    EXPECT_FLOAT_EQ(thick(3, 3), 50.0f * 2.5f / 100.0f);
    EXPECT_NEAR(grid_total(g, vol), 50.0, 1e-9);
}
