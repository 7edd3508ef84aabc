// The consolidation model: INTGRL, the table look-ups, SETUP1, FDIFEQ,
// STRESS, STORE.DAT and CONSOL's mound lowering.
#include "dredge/consolidation.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dredge/errors.hpp"
#include "fixtures.hpp"

namespace {

using dredge::Column;
using dredge_test::InFolder;
using dredge_test::TempDir;

TEST(Intgrl, IntegratesCubicsExactly) {
    // f(x) = 1 + 2x - 0.5x^2 + 0.25x^3, F(x) = x + x^2 - x^3/6 + x^4/16.
    auto f = [](double x) { return 1.0 + 2.0 * x - 0.5 * x * x + 0.25 * x * x * x; };
    auto big_f = [](double x) { return x + x * x - x * x * x / 6.0 + x * x * x * x / 16.0; };
    for (int n : {4, 5, 6, 7, 12, 21, 101}) {
        const float h = 2.0f / static_cast<float>(n - 1);
        std::vector<float> v(static_cast<std::size_t>(n)), out(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k)
            v[static_cast<std::size_t>(k)] = static_cast<float>(f(k * static_cast<double>(h)));
        dredge::INTGRL(v.data(), h, n, out.data());
        EXPECT_EQ(out[0], 0.0f);
        for (int k = 1; k < n; ++k)
            EXPECT_NEAR(out[static_cast<std::size_t>(k)], big_f(k * static_cast<double>(h)), 2e-6)
                << n << " nodes, node " << k + 1;
    }
}

TEST(Intgrl, ShortColumnsUseTheParabolaAndTheTrapezoid) {
    const float quad[] = {1.0f, 2.0f, 5.0f};  // 1 + x^2 at x = 0, 1, 2
    float out[3];
    dredge::INTGRL(quad, 1.0f, 3, out);
    EXPECT_FLOAT_EQ(out[1], 1.0f + 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(out[2], 2.0f + 8.0f / 3.0f);
    const float line[] = {1.0f, 3.0f};
    dredge::INTGRL(line, 0.5f, 2, out);
    EXPECT_FLOAT_EQ(out[1], 1.0f);
}

Column clay(float height) {
    Column c;
    dredge::read_consolidation_data(dredge_test::data_file("PCDDF_CLAY.DAT"), c);
    c.h = height;
    dredge::SETUP1(c);
    return c;
}

TEST(Table, LookUpsInterpolateInVoidRatioAndStopAtTheLastRow) {
    const Column c = clay(31.5f);
    const dredge::ConsolidationTable& t = c.table;
    EXPECT_FLOAT_EQ(dredge::table_at(t, t.sigma, 13.5f), (1.396f + 1.955f) / 2.0f);
    EXPECT_FLOAT_EQ(dredge::table_at(t, t.sigma, 14.0f), 1.396f);
    EXPECT_FLOAT_EQ(dredge::table_at(t, t.sigma, 3.0f), 268.957f);  // beyond the table
    EXPECT_NEAR(dredge::void_ratio_at_stress(t, 226.4f),
                4.6f - 0.1f * (226.4f - 219.752f) / (242.84f - 219.752f), 1e-5f);
    EXPECT_FLOAT_EQ(dredge::void_ratio_at_stress(t, 500.0f), 4.4f);
}

TEST(Setup1, InitialColumnOfTheSoftClay) {
    const Column c = clay(31.5f);
    EXPECT_EQ(c.nodes, 21);
    EXPECT_NEAR(c.zs, 31.5f / 15.8f, 1e-5f);
    EXPECT_NEAR(c.dz, 31.5f / 15.8f / 20.0f, 1e-6f);
    EXPECT_NEAR(c.tau, 0.25f * c.dz / 0.2297f, 1e-6f);  // below 0.125 day and the stability limit
    EXPECT_NEAR(c.gbuoy, 2.82f * 62.4f - 62.4f, 1e-3f);
    EXPECT_NEAR(c.xi[20], 31.5f, 1e-4f);
    EXPECT_NEAR(c.e_fin[0], 4.5711f, 1e-3f);  // under the buoyant weight of the whole column
    EXPECT_EQ(c.e_fin[20], 14.8f);
    EXPECT_NEAR(c.u0[0], 31.5f * 62.4f, 0.01f);
    EXPECT_NEAR(c.sigma[0], c.u0[0] + c.zs * c.gbuoy, 0.01f);
    EXPECT_EQ(c.sig_eff[0], 0.0f);
    EXPECT_EQ(c.drain, 0.0f);  // impervious foundation
    // Final height 31.5 - ultimate settlement: 13.6 ft in the published exercise.
    EXPECT_NEAR(31.5f - c.ultimate, 13.63f, 0.1f);
}

TEST(Fdifeq, SoftClayColumnAfterOneYearAndApproachingItsUltimateSettlement) {
    // Large-strain self-weight consolidation of a 31.5-ft column of very
    // soft clay, top drained, base impervious: after one year it stands
    // about 22.4 ft high with void ratio 6.5 and 180 psf excess pore
    // pressure at the base.
    Column c = clay(31.5f);
    float last = 0.0f;
    for (float days : {30.0f, 100.0f, 365.0f}) {
        dredge::FDIFEQ(c, days);
        dredge::STRESS(c);
        EXPECT_GT(c.sett, last);
        last = c.sett;
    }
    EXPECT_NEAR(c.time, 365.0f, c.tau);
    EXPECT_NEAR(c.xi[20], 22.4f, 0.4f);
    EXPECT_NEAR(c.e[0], 6.47f, 0.1f);
    EXPECT_NEAR(c.u_excess[0], 181.0f, 6.0f);
    for (int k = 0; k < 21; ++k)
        EXPECT_GE(c.e[static_cast<std::size_t>(k)], c.e_fin[static_cast<std::size_t>(k)]);
    dredge::FDIFEQ(c, 10000.0f);
    dredge::STRESS(c);
    EXPECT_GT(c.degree, 0.99f);
    EXPECT_LE(c.sett, c.ultimate * 1.001f);
    EXPECT_NEAR(c.sett, c.ultimate, 0.01f * c.ultimate);
}

TEST(Fdifeq, DrainingFoundationSpeedsTheBaseUp) {
    Column closed = clay(20.0f);
    Column open;
    dredge::read_consolidation_data(dredge_test::data_file("PCDDF_CLAY.DAT"), open);
    open.f_perm = 0.5f;  // ft/day through 1 ft of foundation
    open.h = 20.0f;
    dredge::SETUP1(open);
    EXPECT_GT(open.drain, 0.0f);
    dredge::FDIFEQ(closed, 60.0f);
    dredge::FDIFEQ(open, 60.0f);
    dredge::STRESS(closed);
    dredge::STRESS(open);
    EXPECT_LT(open.e[0], closed.e[0]);
    EXPECT_GT(open.sett, closed.sett);
}

TEST(StoreDat, RoundTripKeepsEveryValueWithContinuousRecordNumbers) {
    TempDir dir;
    Column c = clay(25.0f);
    dredge::FDIFEQ(c, 3.0f);
    dredge::STRESS(c);
    const std::string path = dir.file("STORE.DAT");
    dredge::SAVEDAT(c, path);
    Column back;
    dredge::DATAIN(back, path);
    EXPECT_EQ(back.nel, c.nel);
    EXPECT_EQ(back.nodes, c.nodes);
    EXPECT_EQ(back.step, c.step);
    for (auto [a, b] : {std::pair{back.h, c.h},
                        {back.zs, c.zs},
                        {back.dz, c.dz},
                        {back.tau, c.tau},
                        {back.time, c.time},
                        {back.ultimate, c.ultimate},
                        {back.sett, c.sett},
                        {back.degree, c.degree},
                        {back.gbuoy, c.gbuoy},
                        {back.gw, c.gw},
                        {back.e00, c.e00},
                        {back.drain, c.drain},
                        {back.f_perm, c.f_perm},
                        {back.f_solids, c.f_solids}})
        EXPECT_EQ(a, b);
    for (auto [a, b] : {std::pair{&back.e, &c.e},
                        {&back.e_old, &c.e_old},
                        {&back.e_fin, &c.e_fin},
                        {&back.xi, &c.xi},
                        {&back.xi0, &c.xi0},
                        {&back.z, &c.z},
                        {&back.alpha, &c.alpha},
                        {&back.beta, &c.beta},
                        {&back.sig_eff, &c.sig_eff},
                        {&back.u_excess, &c.u_excess},
                        {&back.table.alpha, &c.table.alpha},
                        {&back.table.dsig, &c.table.dsig}})
        EXPECT_EQ(*a, *b);
    // The column goes on exactly as if it had never left memory.
    dredge::FDIFEQ(c, 10.0f);
    dredge::FDIFEQ(back, 10.0f);
    EXPECT_EQ(back.e, c.e);

    std::ifstream in(path);
    std::string line;
    int expected = 0;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        int number = 0;
        s >> number;
        EXPECT_EQ(number, ++expected);
    }
    EXPECT_EQ(expected, 13 + 4 * 21 + 2 * 22);
}

TEST(StoreDat, MissingShortOrDisorderedFilesAreNamed) {
    TempDir dir;
    Column c = clay(25.0f);
    const std::string path = dir.file("STORE.DAT");
    Column back;
    try {
        dredge::DATAIN(back, path);
        ADD_FAILURE() << "no error for a missing STORE.DAT";
    } catch (const dredge::RunError& e) {
        EXPECT_NE(std::string(e.what()).find("STORE.DAT"), std::string::npos);
    }
    dredge::SAVEDAT(c, path);
    std::vector<std::string> lines;
    {
        std::ifstream in(path);
        for (std::string l; std::getline(in, l);) lines.push_back(l);
    }
    auto write = [&](std::size_t count, bool swap) {
        std::ofstream out(path);
        for (std::size_t k = 0; k < count; ++k)
            out << lines[swap && k == 20 ? 21 : (swap && k == 21 ? 20 : k)] << "\n";
    };
    write(40, false);
    EXPECT_THROW(dredge::DATAIN(back, path), dredge::RunError);
    write(lines.size(), true);
    try {
        dredge::DATAIN(back, path);
        ADD_FAILURE() << "no error for records out of order";
    } catch (const dredge::RunError& e) {
        EXPECT_NE(std::string(e.what()).find("RECORD 21"), std::string::npos) << e.what();
    }
}

TEST(ConsolidationData, FileChoiceAndBadFiles) {
    EXPECT_EQ(dredge::consolidation_data_file(2), "PCDDF2.DAT");
    EXPECT_EQ(dredge::consolidation_data_file(3), "PCDDF3.DAT");
    EXPECT_EQ(dredge::consolidation_data_file(4), "PCDDF4.DAT");
    EXPECT_EQ(dredge::consolidation_data_file(9), "PCDDF2.DAT");
    TempDir dir;
    Column c;
    const std::string path = dir.file("PCDDF3.DAT");
    const struct {
        const char* text;
        const char* says;
    } bad[] = {
        {"", "PCDDF3.DAT"},
        {"1 2.82 2 14.8 62.4 0\n14 1 0.2\n10 5 0.1\n1 1 0\n", "NEL"},
        {"1 2.82 2 14.8 62.4 10\n14 1 0.2\n14 5 0.1\n1 1 0\n", "ROW 2"},
        {"1 2.82 3 14.8 62.4 10\n14 1 0.2\n10 5 0.1\n", "PCDDF3.DAT"},
    };
    for (const auto& b : bad) {
        {
            std::ofstream out(path);
            out << b.text;
        }
        try {
            dredge::read_consolidation_data(path, c);
            ADD_FAILURE() << "accepted: " << b.text;
        } catch (const dredge::RunError& e) {
            EXPECT_NE(std::string(e.what()).find(b.says), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(dredge::read_consolidation_data(dir.file("PCDDF4.DAT"), c), dredge::RunError);
}

// An 11 x 11 grid of 10-ft cells on a 60-ft bed with a flat-topped mound
// of the given height over cells 3..9 (the centroid cell is (5,5)).
dredge::Fields mound_grid(float height) {
    dredge::Fields f;
    f.resize(11, 11);
    f.dx = f.dy = 10.0f;
    f.depth.fill(60.0f);
    for (int i = 3; i <= 9; ++i)
        for (int j = 3; j <= 9; ++j) f.depth(i, j) = 60.0f - height;
    for (int i = 2; i <= 10; ++i)
        f.depth(i, 2) = f.depth(i, 10) = f.depth(2, i) = f.depth(10, i) = 60.0f - 0.5f * height;
    return f;
}

class Consol : public ::testing::Test {
  protected:
    TempDir dir;
    InFolder here{dir.path()};
    void SetUp() override { dredge_test::copy_data("PCDDF_CLAY.DAT", dir, "PCDDF2.DAT"); }
};

TEST_F(Consol, MoundFollowsTheColumnThickness) {
    dredge::Fields f = mound_grid(31.5f);
    const std::vector<float> start = f.depth.v;
    dredge::ConsolState state;
    const float xref = 50.0f, yref = 50.0f;  // centroid of the symmetric mound
    // A year of steps, taken 10 days apart.
    for (std::int32_t n = 1; n <= 2920; n += 80)
        ASSERT_TRUE(dredge::CONSOL(f, state, xref, yref, 0.0f, 0.0f, n, 3 * n, 1));
    const Column& c = state.column;
    EXPECT_GT(c.sett, 8.0f);
    EXPECT_EQ(state.sett, c.sett);
    const float thickness = c.xi[static_cast<std::size_t>(c.nodes - 1)];
    EXPECT_NEAR(60.0f - f.depth(5, 5), thickness, 0.01f);
    EXPECT_EQ(f.depth(1, 1), 60.0f);
    EXPECT_EQ(f.depth(11, 4), 60.0f);  // at the reference level: stays
    // Every cell kept the same share of its height.
    for (std::size_t k = 0; k < f.depth.v.size(); ++k) {
        const float h0 = 60.0f - start[k];
        if (h0 > 0.0f) {
            EXPECT_NEAR((60.0f - f.depth.v[k]) / h0, thickness / 31.5f, 1e-4f) << k;
        }
    }
}

TEST_F(Consol, LowMoundIsLeftAloneAndNoFileIsTouched) {
    dredge::Fields f = mound_grid(1.9f);
    const std::vector<float> start = f.depth.v;
    dredge::ConsolState state;
    EXPECT_FALSE(dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 1, 3, 1));
    EXPECT_EQ(f.depth.v, start);
    EXPECT_FALSE(dredge_test::fs::exists("STORE.DAT"));
    EXPECT_FALSE(state.initialised);
}

TEST_F(Consol, FirstStepReadsTheDataFileLaterStepsStoreDat) {
    {
        std::ofstream stale("STORE.DAT");
        stale << "an earlier run's column\n";
    }
    dredge::Fields f = mound_grid(20.0f);
    dredge::ConsolState state;
    ASSERT_TRUE(dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 57, 171, 57));
    EXPECT_EQ(state.column.h, 20.0f);
    dredge_test::fs::remove("PCDDF2.DAT");
    ASSERT_TRUE(dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 58, 174, 57));
    EXPECT_NEAR(state.column.time, 0.25f, state.column.tau);
    dredge_test::fs::remove("STORE.DAT");
    try {
        dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 59, 177, 57);
        ADD_FAILURE() << "no error without STORE.DAT";
    } catch (const dredge::RunError& e) {
        EXPECT_NE(std::string(e.what()).find("STORE.DAT"), std::string::npos);
    }
}

TEST_F(Consol, ColumnIsMadeAtTheFirstStepWithAMoundNotFromAnEarlierRun) {
    // A stale STORE.DAT from another run must not be continued when the
    // run's first steps had no mound high enough to consolidate.
    {
        Column other = clay(40.0f);
        dredge::SAVEDAT(other, "STORE.DAT");
    }
    dredge::Fields f = mound_grid(1.5f);
    dredge::ConsolState state;
    EXPECT_FALSE(dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 1, 3, 1));
    f = mound_grid(12.0f);
    ASSERT_TRUE(dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 2, 6, 1));
    EXPECT_EQ(state.column.h, 12.0f);
    EXPECT_NEAR(state.column.time, 0.25f, state.column.tau);  // from the start of the run
}

TEST_F(Consol, FallingCompressionRatioLowersNothing) {
    dredge::Fields f = mound_grid(20.0f);
    dredge::ConsolState state;
    ASSERT_TRUE(dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 1, 3, 1));
    const std::vector<float> after_first = f.depth.v;
    state.rprev = 0.9f;  // as if an earlier step had compressed far more
    ASSERT_TRUE(dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 2, 6, 1));
    EXPECT_EQ(f.depth.v, after_first);
    EXPECT_LT(state.rprev, 0.9f);
}

TEST_F(Consol, StabilityWarningsGoToTheDiagnosticsFile) {
    dredge::Fields f = mound_grid(20.0f);
    dredge::ConsolState state;
    ASSERT_TRUE(dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 1, 3, 1));
    EXPECT_FALSE(dredge_test::fs::exists(state.diagnostics_path));  // SETUP1's step is stable
    // A stored column whose time step (record 8) is 30 days: far beyond the
    // explicit limit and the drainage time of the column. Its elapsed time
    // is the one its step counter (record 3) gives at that step.
    std::vector<std::string> lines;
    {
        std::ifstream in("STORE.DAT");
        for (std::string l; std::getline(in, l);) lines.push_back(l);
    }
    {
        std::istringstream counters(lines[2]);
        int number = 0, nodes = 0, nodes_less = 0, step = 0;
        counters >> number >> nodes >> nodes_less >> step;
        std::istringstream rec(lines[7]);
        std::string ultimate, tau, time;
        rec >> number >> ultimate >> tau >> time;
        lines[7] = " 8 " + ultimate + " 30.0 " + std::to_string(30 * (step - 1)) + ".0";
        std::ofstream out("STORE.DAT");
        for (const std::string& l : lines) out << l << "\n";
    }
    ASSERT_TRUE(dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 2, 6, 1));
    std::ifstream in(state.diagnostics_path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(
        text.str().rfind("\n\n\n\n\n  STABILITY ERROR--DREDGED FILL--PROBLEM\n  AT STEP N =", 0),
        0u)
        << text.str();
    EXPECT_NE(text.str().find("\n\n\n\n\n  POSSIBLE STABILITY PROBLEM--DECREASE TAU\n"),
              std::string::npos)
        << text.str();
}

}  // namespace
