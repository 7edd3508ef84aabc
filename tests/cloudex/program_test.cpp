// Whole runs of the fate model on small decks in a temporary folder: the
// program itself for the files it leaves, the run in process for the state
// behind them (mass balance, deposit position).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "cloudex/output.hpp"
#include "cloudex/run.hpp"
#include "deck_builder.hpp"
#include "recio/records.hpp"
#include "suitefiles/deposit.hpp"

namespace fs = std::filesystem;
using cloudex_test::DeckSpec;
using cloudex_test::FractionSpec;

namespace {

std::vector<std::string> read_lines(const fs::path& p) {
    std::vector<std::string> lines;
    std::ifstream in(p, std::ios::binary);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

// The deposit file as the placement simulator reads it: five header
// records, then blocks of a time record and MMAX-4 rows of NMAX-4 values.
struct Deposit {
    std::vector<std::string> header;
    std::vector<float> times;
    std::vector<std::vector<float>> grids;  // row by row
};

Deposit read_deposit(const fs::path& p, int nmax, int mmax) {
    Deposit d;
    recio::RecordReader in(p.string());
    EXPECT_TRUE(in.is_open());
    for (int i = 0; i < 5; ++i) {
        std::string rec;
        if (!in.next_record(rec)) return d;
        d.header.push_back(rec);
    }
    suitefiles::DepositBlock b;
    while (suitefiles::read_deposit_block(in, mmax, nmax, b)) {
        d.times.push_back(b.time);
        d.grids.push_back(b.thickness);
    }
    return d;
}

// Totals of the last layer's clouds and deposits after a run in process.
struct Balance {
    double released = 0, settled = 0, suspended = 0;
};

Balance balance(const cloudex::Run& r) {
    Balance b;
    for (std::size_t i = 0; i < r.frac.size(); ++i) {
        b.released += r.frac[i].released;
        b.settled += cloudex::grid_total(r.grid, r.bottom[i]);
        for (const cloudex::SmallCloud& c : r.clouds[i]) b.suspended += static_cast<double>(c.mass);
    }
    return b;
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("cloudex_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(dir_);
    }

    // Runs the program on the deck in the temporary folder; its exit status.
    int run_program() const {
        const std::string cmd =
            "cd '" + dir_.string() + "' && '" + SUITE_BIN_DIR + "/cloudex' > console.txt 2>&1";
        const int rc = std::system(cmd.c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    int run_program(const DeckSpec& deck) const {
        deck.write(dir_ / "CLDX.DUE");
        return run_program();
    }
    void copy_fixture(const std::string& name) const {
        fs::copy_file(fs::path(TEST_DATA_DIR) / "cloudex" / name / "CLDX.DUE", dir_ / "CLDX.DUE",
                      fs::copy_options::overwrite_existing);
    }
    // Runs the model in this process on the deck already in the folder.
    std::unique_ptr<cloudex::Run> run_here(
        cloudex::RunEnd expected = cloudex::RunEnd::Completed) const {
        auto r = std::make_unique<cloudex::Run>();
        EXPECT_EQ(cloudex::run_fate(*r, (dir_ / "CLDX").string()), expected);
        return r;
    }
    std::unique_ptr<cloudex::Run> run_here(const DeckSpec& deck) const {
        deck.write(dir_ / "CLDX.DUE");
        return run_here();
    }
    std::vector<std::string> listing() const { return read_lines(dir_ / "CLDX.DUO"); }
    std::vector<std::string> deposit_records() const { return read_lines(dir_ / "CLDX.DUT"); }

    fs::path dir_;
};

// The last "IN TRIAL #" line of a phase and the step count that follows it.
struct Trials {
    int trial = 0, istep = 0;
};
Trials last_trial(const std::vector<std::string>& lines, const std::string& phase) {
    Trials t;
    const std::regex trial_re("IN TRIAL #(\\d) THE " + phase + " PHASE TIME STEP");
    const std::regex step_re("\\(ISTEP\\).* WAS +(\\d+)\\.");
    std::smatch m;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (std::regex_search(lines[i], m, trial_re) && i + 1 < lines.size()) {
            t.trial = std::stoi(m[1]);
            if (std::regex_search(lines[i + 1], m, step_re)) t.istep = std::stoi(m[1]);
        }
    return t;
}

}  // namespace

TEST_F(ProgramTest, BargeOfSandInFiftyFeetOfWater) {
    copy_fixture("barge_sand");
    ASSERT_EQ(run_program(), 0);
    const auto lst = listing();
    EXPECT_TRUE(contains(lst, "*** RUN COMPLETED ***"));
    EXPECT_TRUE(contains(lst, "THE BOTTOM WAS ENCOUNTERED DURING CONVECTIVE DESCENT."));
    EXPECT_TRUE(contains(
        lst, "DIFFUSION OF THE DISCHARGE IS GREATER THAN DYNAMIC SPREADING FROM THE COLLAPSE."));
    // Headings and fixed texts of the listing, line for line.
    for (const char* line : {
             " AREA:    THE PROJECT AREA IS DESCRIBED BY A 44 X 44 GRID.",
             " FILE:    CLDX    .DUE",
             " LEGEND FOR CODED GRID:  W = WATER POINT",
             " NUMBER OF GRID POINTS WITHIN ESTUARY =  1600",
             " BOTTOM SHEAR STRESS, LBS/SQ FT:",
             " SUGGESTED DEFAULT MODEL COEFFICIENTS USED:",
             "   TIME       PLUME CENTROID                          DIFFERENCE OF                  "
             "   VOLUME OF  SOLIDS VOL.",
             "   (SEC)    (FT)    (FT)    (FT)  (FPS)  (FPS)  (FPS)     (G/CC)      (FT)    "
             "(MG/L)     (CU FT)    (VOL/VOL) ",
             "   TIME       CLOUD CENTROID          VELOCITY OF     DIFFERENCE OF          "
             "ELLIPSOIDAL CLOUD               VOLUME OF  SOLIDS VOL.",
             " LONG TERM DIFFUSION RESULTS:",
             " BEGIN LONG TERM SIMULATION OF FATE OF SAND    ",
             "  ...MULTIPLY DISPLAYED VALUES BY   10.00         (LEGEND... + = .LT. .01   . = "
             ".LT. .0001   0 = .LT. .000001)",
             " FINAL DISTRIBUTIONS OF TOTAL SETTLED MATERIAL FOLLOW.....",
             " *** RUN COMPLETED ***",
         })
        EXPECT_TRUE(has_line(lst, line)) << line;
    EXPECT_EQ(lst.back(), "\f");
    const Trials descent = last_trial(lst, "DESCENT");
    EXPECT_EQ(descent.trial, 3);
    EXPECT_EQ(descent.istep, 200);
    const Trials collapse = last_trial(lst, "COLLAPSE");
    EXPECT_EQ(collapse.trial, 4);
    EXPECT_EQ(collapse.istep, 741);

    const auto dut = deposit_records();
    ASSERT_GE(dut.size(), 5u);
    EXPECT_EQ(dut[0], "    DUT" + std::string(60, ' '));
    EXPECT_EQ(dut[1], "CLOUDEX DATA-FILE USED FOR vexal" + std::string(28, ' '));
    EXPECT_EQ(dut[2], " 44 44   100.0   100.0     0.0");
    EXPECT_EQ(dut[3], "  1  3600.00000");
    EXPECT_EQ(dut[4], "SAND            ");
    const Deposit d = read_deposit(dir_ / "CLDX.DUT", 44, 44);
    ASSERT_EQ(d.times.size(), 1u);
    EXPECT_FLOAT_EQ(d.times[0], 120.0f);  // the sand has settled after two long-term steps
    EXPECT_TRUE(contains(lst,
                         "  COMPUTATIONS FOR SAND     TERMINATED AT     120.00  SEC. ELAPSED "
                         "TIME...MATERIAL SETTLED TO BOTTOM"));
    // The thickest deposit lies near the dump point (fate node 23 = interior index 20).
    std::size_t best = 0;
    for (std::size_t k = 0; k < d.grids[0].size(); ++k)
        if (d.grids[0][k] > d.grids[0][best]) best = k;
    EXPECT_NEAR(static_cast<double>(best / 40), 20.0, 2.0);
    EXPECT_NEAR(static_cast<double>(best % 40), 20.0, 2.0);
}

TEST_F(ProgramTest, RealDecksConserveTheSolids) {
    for (const char* name : {"barge_sand", "hopper_silt", "two_fraction"}) {
        copy_fixture(name);
        const auto r = run_here();
        const Balance b = balance(*r);
        EXPECT_GT(b.released, 0.0) << name;
        EXPECT_NEAR(b.settled + b.suspended, b.released, 2e-5 * b.released) << name;
        EXPECT_TRUE(contains(listing(), "*** RUN COMPLETED ***")) << name;
    }
}

TEST_F(ProgramTest, HopperDredgeDischargesInTurn) {
    copy_fixture("hopper_silt");
    ASSERT_EQ(run_program(), 0);
    const auto lst = listing();
    EXPECT_TRUE(contains(lst, "HOPPER DREDGE DESCRIPTION:"));
    EXPECT_TRUE(contains(lst, "TOTAL NUMBER OF BINS =  4"));
    EXPECT_TRUE(contains(lst, "  L A Y E R  2"));
    EXPECT_TRUE(contains(lst, "FALL VELOCITY OF COHESIVE MATERIAL IS "));
    EXPECT_TRUE(contains(lst, "SEDIMENT FRACTION WILL BE STRIPPED DURING CONVECTIVE DESCENT."));
    EXPECT_TRUE(contains(lst, "*** RUN COMPLETED ***"));
    const Deposit d = read_deposit(dir_ / "CLDX.DUT", 44, 44);
    EXPECT_EQ(d.header.at(4), "SILT            ");
    EXPECT_EQ(d.times.size(), 1u);
}

TEST_F(ProgramTest, TwoFractionsWriteOneBlockEachThenTheTotals) {
    copy_fixture("two_fraction");
    ASSERT_EQ(run_program(), 0);
    const auto lst = listing();
    EXPECT_TRUE(contains(lst, "BEGIN LONG TERM SIMULATION OF FATE OF SAND"));
    EXPECT_TRUE(contains(lst, "BEGIN LONG TERM SIMULATION OF FATE OF CLAY"));
    EXPECT_TRUE(contains(lst, " TOTAL THICKNESS (FT) OF NEW MATERIAL ON BOTTOM,"));
    const Deposit d = read_deposit(dir_ / "CLDX.DUT", 44, 44);
    EXPECT_EQ(d.header.at(3), "  3  3600.00000");
    EXPECT_EQ(d.header.at(4), "SAND    CLAY    TOTALS  ");
    ASSERT_EQ(d.times.size(), 3u);
    // Each block carries the end of its own fraction's phase; the sand
    // settles first (the clay is still partly suspended at TSTOP), and the
    // totals carry the end of the last fraction.
    EXPECT_LT(d.times[0], d.times[1]);
    EXPECT_LE(d.times[1], 3600.0f);
    EXPECT_FLOAT_EQ(d.times[2], d.times[1]);
    // Each fraction block holds its own grid: volumes (thickness/(1+e)) add up to the totals.
    const float e_sand = 0.8f, e_clay = 3.0f;
    const float e_total = (0.30f * 0.8f + 0.08f * 3.0f) / 0.38f;
    double sum_fractions = 0, sum_total = 0;
    for (std::size_t k = 0; k < d.grids[0].size(); ++k) {
        sum_fractions +=
            static_cast<double>(d.grids[0][k] / (1 + e_sand) + d.grids[1][k] / (1 + e_clay));
        sum_total += static_cast<double>(d.grids[2][k] / (1 + e_total));
    }
    EXPECT_GT(sum_fractions, 0.0);
    EXPECT_NEAR(sum_total, sum_fractions, 1e-2 * sum_fractions);
}

TEST_F(ProgramTest, ShallowWaterBypassesTheDescent) {
    DeckSpec deck;
    deck.depth = [](int, int) { return 15.0f; };
    deck.depc = 15.0f;
    deck.volume = 200.0f;
    deck.bargl = 100.0f;
    deck.bargw = 30.0f;
    deck.drel1 = 4.0f;
    deck.drel2 = 1.0f;
    deck.vax = 0.05f;
    deck.vaz = 0.0f;
    const auto r = run_here(deck);
    const auto lst = listing();
    EXPECT_TRUE(
        contains(lst, "DEPTH IS TOO SHALLOW FOR CONVECTIVE DESCENT SO DESCENT IS BYPASSED."));
    EXPECT_FALSE(contains(lst, "CONVECTIVE DESCENT PHASE:"));
    EXPECT_FALSE(contains(lst, "THE DESCENT PHASE TIME STEP"));
    EXPECT_TRUE(contains(lst, "CLOUD COLLAPSE PHASE:"));
    EXPECT_TRUE(contains(
        lst, "IN TRIAL #1 THE COLLAPSE PHASE TIME STEP (DT) WAS  0.10000000     SECONDS."));
    EXPECT_TRUE(contains(lst, "(IBED) WAS    1."));
    EXPECT_TRUE(contains(lst, "*** RUN COMPLETED ***"));
    EXPECT_TRUE(r->out.bypassed);
    const Balance b = balance(*r);
    EXPECT_NEAR(b.settled + b.suspended, b.released, 2e-5 * b.released);
}

TEST_F(ProgramTest, BulkDensityOfExactlyOneStops) {
    DeckSpec deck;
    deck.rhow = 1.0f;
    deck.fractions[0].sg = 1.0f;
    deck.fractions[0].conc = 0.5f;
    EXPECT_EQ(run_program(deck), 1);
    const auto lst = listing();
    ASSERT_GE(lst.size(), 2u);
    EXPECT_EQ(lst[lst.size() - 2], " DREDGED MATERIAL DENSITY LESS THAN 1.0 GM/CC CALL EXIT ");
    EXPECT_EQ(lst.back(), "\f");
    EXPECT_EQ(deposit_records().size(), 2u);  // records 1 and 2 only
}

TEST_F(ProgramTest, LoadLighterThanTheWaterEndsAfterTheDescent) {
    // Neutrally buoyant at its first step: too few steps for a descent.
    DeckSpec deck;
    deck.rhow = 1.0f;
    deck.fractions[0].conc = 0.005f;  // bulk density 1.008 in water of 1.025
    EXPECT_EQ(run_program(deck), 1);
    const auto lst = listing();
    EXPECT_TRUE(contains(
        lst, "THE DISCHARGE REACHED A NEUTRALLY BUOYANT POSITION DURING CONVECTIVE DESCENT."));
    EXPECT_TRUE(contains(
        lst, "IN TRIAL #1 THE DESCENT PHASE TIME STEP (DT) WAS    5.0000000     SECONDS."));
    EXPECT_EQ(lst[lst.size() - 2], " TENTH SOLUTION TRIAL NOT SATISFACTORY--CALL EXIT");
    EXPECT_FALSE(contains(lst, "CLOUD COLLAPSE PHASE:"));
    const auto dut = deposit_records();
    ASSERT_EQ(dut.size(), 3u);  // records 1 to 3
    EXPECT_EQ(dut[2], " 24 24   100.0   100.0     0.0");
}

TEST_F(ProgramTest, NeutralWhereTheWaterIsUniformSkipsTheCollapse) {
    // Coarse solids settle out of a light cloud below the pycnocline until
    // it is lighter than the uniform water around it.
    DeckSpec deck;
    deck.depth = [](int, int) { return 300.0f; };
    deck.depc = 300.0f;
    deck.pdepth = {0.0f, 10.0f, 300.0f};
    deck.pdens = {1.000f, 1.030f, 1.030f};
    deck.rhow = 1.03f;
    deck.vax = 0.05f;
    deck.vaz = 0.0f;
    deck.dobs = 100.0f;
    deck.volume = 500.0f;
    deck.fractions[0].conc = 0.012f;
    deck.fractions[0].vfall = 2.0f;
    const auto r = run_here(deck);
    const auto lst = listing();
    EXPECT_TRUE(contains(lst, "DENSITY GRADIENT = 0, GO DIRECTLY TO LONG TERM DIFFUSION"));
    EXPECT_FALSE(contains(lst, "CLOUD COLLAPSE PHASE:"));
    EXPECT_TRUE(contains(lst, "*** RUN COMPLETED ***"));
    const Balance b = balance(*r);
    EXPECT_NEAR(b.settled + b.suspended, b.released, 2e-5 * b.released);
}

TEST_F(ProgramTest, DeckValuesOutsideTheCapacitiesStopWithAMessage) {
    struct Case {
        std::function<void(DeckSpec&)> change;
        const char* message;
    } cases[] = {
        {[](DeckSpec& d) { d.kvessel = 2; }, "KVESSEL =     2 IS NOT ALLOWED"},
        {[](DeckSpec& d) { d.nmax = 66; }, "NMAX =    66 IS NOT ALLOWED"},
        {[](DeckSpec& d) { d.fractions.assign(6, FractionSpec{}); }, "NSOLID =     6"},
        {[](DeckSpec& d) { d.nlayer = 7; }, "NLAYER =     7"},
        {[](DeckSpec& d) {
             d.pdepth.assign(6, 10.0f);
             d.pdens.assign(6, 1.0f);
         },
         "NDENS =     6"},
        {[](DeckSpec& d) { d.kvel = 5; }, "KVEL =     5"},
        {[](DeckSpec& d) { d.dx = 0.0f; }, "GRID SPACING DX MUST BE GREATER THAN ZERO"},
        {[](DeckSpec& d) { d.dtl = 0.0f; }, "TIME STEP DTL MUST BE GREATER THAN ZERO"},
    };
    for (const Case& c : cases) {
        DeckSpec deck;
        c.change(deck);
        EXPECT_EQ(run_program(deck), 1) << c.message;
        const auto lst = listing();
        EXPECT_TRUE(contains(lst, c.message)) << c.message;
        EXPECT_TRUE(contains(lst, "EXECUTION STOPPED.")) << c.message;
    }
}

TEST_F(ProgramTest, ShortOrUnreadableDeckNamesTheRecord) {
    const auto records = DeckSpec{}.records();
    {
        std::ofstream out(dir_ / "CLDX.DUE");
        for (std::size_t i = 0; i < 40; ++i) out << records[i] << '\n';  // ends in the depth grid
    }
    EXPECT_EQ(run_program(), 1);
    auto lst = listing();
    EXPECT_TRUE(contains(lst, "INPUT DECK, DEPTH GRID (RECORD 8): UNEXPECTED END OF FILE"));
    EXPECT_EQ(read_lines(dir_ / "console.txt").size(), 1u);

    std::vector<std::string> bad = records;
    for (std::string& rec : bad)
        if (rec == "    0.0000    0.0000 1000.0000") rec = "    0.0000    0.0000   10OO.0";
    {
        std::ofstream out(dir_ / "CLDX.DUE");
        for (const std::string& rec : bad) out << rec << '\n';
    }
    EXPECT_EQ(run_program(), 1);
    lst = listing();
    EXPECT_TRUE(contains(lst, "INPUT DECK, LAYER (RECORD 24A): UNREADABLE VALUE IN FILE"));
    EXPECT_TRUE(contains(lst, "FIELD 3 (COLUMNS 21-30"));

    fs::remove(dir_ / "CLDX.DUE");
    EXPECT_EQ(run_program(), 1);
    EXPECT_TRUE(contains(listing(), "INPUT DECK CLDX.DUE CANNOT BE OPENED."));
    EXPECT_TRUE(deposit_records().empty());  // no deposit of an earlier run survives
}

TEST_F(ProgramTest, ShearAboveTheCriticalStressDepositsNothing) {
    DeckSpec deck;
    deck.fractions[0].taucd = 1.0e-4f;
    const auto r = run_here(deck);
    const Balance b = balance(*r);
    EXPECT_EQ(b.settled, 0.0);
    EXPECT_NEAR(b.suspended, b.released, 1e-5 * b.released);
    const auto lst = listing();
    EXPECT_TRUE(contains(
        lst, "SHEAR STRESS NEAR THE BED EXCEEDS THE CRITICAL SHEAR STRESS FOR DEPOSITION OF SAND"));
    EXPECT_TRUE(contains(lst, "TOTAL MATERIAL SETTLED TO BOTTOM (CU FT) =     0.0000"));
    EXPECT_TRUE(contains(lst, "*** RUN COMPLETED ***"));
    const auto dut = deposit_records();
    ASSERT_EQ(dut.size(), 5u);  // header only: nothing settled, no block
    EXPECT_EQ(dut[3], "  0  1800.00000");
}

TEST_F(ProgramTest, LandPointsReceiveNothing) {
    DeckSpec deck;
    // Land east of column 15 and in a patch north of the dump.
    deck.depth = [](int n, int m) { return n >= 15 || (m <= 8 && n >= 10) ? 0.0f : 50.0f; };
    deck.vax = 0.0f;
    deck.vaz = 0.3f;  // towards the land
    const auto r = run_here(deck);
    const Balance b = balance(*r);
    EXPECT_GT(b.settled, 0.0);
    for (int m = 1; m <= r->grid.mmax; ++m)
        for (int n = 1; n <= r->grid.nmax; ++n)
            if (r->grid.depth(n, m) == 0.0f) {
                EXPECT_EQ(r->bottom[0](n, m), 0.0f) << n << "," << m;
            }
    EXPECT_NEAR(b.settled + b.suspended, b.released, 2e-5 * b.released);
    const auto lst = listing();
    EXPECT_TRUE(contains(lst, " X O W W W W W W W W W W W W L L L L L L L L L X"));
    EXPECT_TRUE(contains(lst, " X O W W W W W W W W W W D W L L L L L L L L L X"));
}

TEST_F(ProgramTest, UniformCurrentCarriesTheDepositDownCurrent) {
    // A fine sand settling at 0.05 ft/s through a uniform current of 0.3 ft/s.
    DeckSpec deck;
    deck.nmax = deck.mmax = 40;
    deck.dx = deck.dz = 50.0f;
    deck.xbarge = deck.zbarge = 500.0f;
    deck.depth = [](int, int) { return 30.0f; };
    deck.depc = 30.0f;
    deck.vax = 0.3f;
    deck.vaz = 0.0f;
    deck.dobs = 30.0f;
    deck.kwave = 0;
    deck.volume = 400.0f;
    deck.fractions[0].vfall = 0.05f;
    deck.fractions[0].taucd = 10.0f;
    deck.tstop = 3600.0f;
    deck.tprint = {3600.0f};
    const auto r = run_here(deck);
    const cloudex::Field& f = r->bottom[0];
    double sum = 0, sx = 0, sz = 0;
    for (int m = 1; m <= r->grid.mmax; ++m)
        for (int n = 1; n <= r->grid.nmax; ++n) {
            sum += static_cast<double>(f(n, m));
            sx += static_cast<double>(f(n, m)) * (m - 1) * 50.0;
            sz += static_cast<double>(f(n, m)) * (n - 1) * 50.0;
        }
    ASSERT_GT(sum, 0.0);
    // Mean settling time from the settled totals printed at every step.
    const std::regex time_re("DISTRIBUTIONS AFTER +([0-9.]+) SEC");
    const std::regex settled_re("SETTLED TO BOTTOM \\(CU FT\\) = +([0-9.E+-]+)");
    const auto lst = listing();
    double t = 0, prev = 0, weighted = 0;
    std::smatch m;
    for (const std::string& l : lst) {
        if (std::regex_search(l, m, time_re)) t = std::stod(m[1]);
        if (std::regex_search(l, m, settled_re)) {
            const double s = std::stod(m[1]);
            weighted += (s - prev) * t;
            prev = s;
        }
    }
    const double mean_time = weighted / prev - static_cast<double>(deck.trel);  // from the release
    const double shift = sx / sum - static_cast<double>(deck.xbarge);
    EXPECT_GT(mean_time, 30.0);
    EXPECT_NEAR(shift, 0.3 * mean_time, 0.3 * 0.3 * mean_time);
    EXPECT_NEAR(sz / sum, static_cast<double>(deck.zbarge), 30.0);  // no current across
}

TEST_F(ProgramTest, CloudSolidsNeverIncreaseThroughDescentAndCollapse) {
    copy_fixture("two_fraction");
    const auto r = run_here();
    const cloudex::Track& tr = r->track;
    for (std::size_t i = 0; i < r->frac.size(); ++i)
        for (int s = 2; s <= r->out.istep; ++s)
            ASSERT_LE(tr.conc[i][s] * tr.vol[s], tr.conc[i][s - 1] * tr.vol[s - 1] * 1.00001f)
                << "fraction " << i << " step " << s;
}

TEST_F(ProgramTest, NeutralBuoyancyInStratifiedWaterCollapsesAtDepth) {
    DeckSpec deck;
    deck.depth = [](int, int) { return 100.0f; };
    deck.depc = deck.dobs = 100.0f;
    deck.pdens = {1.000f, 1.060f};
    deck.rhow = 1.0f;
    deck.fractions = {FractionSpec{"CLAY", 2.7f, 0.02f, 0.0005f, 3.0f, 0.05f, 1, 0}};
    deck.tstop = 3600.0f;
    const auto r = run_here(deck);
    const auto lst = listing();
    EXPECT_TRUE(contains(
        lst, "THE DISCHARGE REACHED A NEUTRALLY BUOYANT POSITION DURING CONVECTIVE DESCENT."));
    EXPECT_TRUE(contains(lst, "THE BOTTOM WAS NOT ENCOUNTERED DURING CONVECTIVE DESCENT."));
    EXPECT_EQ(r->out.ibed, 0);
    const Trials collapse = last_trial(lst, "COLLAPSE");
    EXPECT_GE(collapse.istep - last_trial(lst, "DESCENT").istep, 201);
    const Balance b = balance(*r);
    EXPECT_NEAR(b.settled + b.suspended, b.released, 2e-5 * b.released);
}

TEST_F(ProgramTest, DeckVariantsRunToCompletion) {
    struct Case {
        const char* name;
        std::function<void(DeckSpec&)> change;
        std::function<void(const cloudex::Run&)> check;
    } cases[] = {
        {"constant depth",
         [](DeckSpec& d) {
             d.kdepth = 1;
             d.depc = 45.0f;
         },
         [](const cloudex::Run& r) { EXPECT_EQ(r.grid.depth(5, 7), 45.0f); }},
        {"DZ from DX", [](DeckSpec& d) { d.dz = 0.0f; },
         [](const cloudex::Run& r) { EXPECT_EQ(r.grid.dz, r.grid.dx); }},
        {"waves", [](DeckSpec& d) { d.kwave = 1; },
         [](const cloudex::Run& r) { EXPECT_NEAR(r.amb.dwave, 45.0f * 3.14159f / 180.0f, 1e-6f); }},
        {"logarithmic profile", [](DeckSpec& d) { d.kvel = 2; }, nullptr},
        {"two-point profiles", [](DeckSpec& d) { d.kvel = 3; },
         [](const cloudex::Run& r) { EXPECT_EQ(r.amb.uu2, 0.2f); }},
        {"velocity grids", [](DeckSpec& d) { d.kvel = 4; },
         [](const cloudex::Run& r) { EXPECT_EQ(r.amb.w(3, 3), 0.1f); }},
        {"default print times", [](DeckSpec& d) { d.write_nprt = false; },
         [](const cloudex::Run& r) {
             // Quarters of 7 steps, then TSTOP appended.
             EXPECT_EQ(r.times.tprint, (std::vector<float>{420, 840, 1260, 1680, 1800}));
         }},
        {"coefficients read",
         [](DeckSpec& d) {
             d.key1 = 1;
             d.coefs = {{0.25f, 0.0f, 1.0f, 0.5f},
                        {0.25f, 1.0f, 0.01f, 0.1f, 1.0f, 0.005f, 0.01f},
                        {0.006f, 0.025f, 0.003f, 0.2f, 0.1f}};
         },
         [](const cloudex::Run& r) {
             EXPECT_EQ(r.coef.alpha0, 0.25f);
             EXPECT_EQ(r.coef.alamda, 0.006f);
         }},
        {"three layers varying",
         [](DeckSpec& d) {
             d.nlayer = 3;
             d.kvary = 1;
             d.volume = 1500.0f;
         },
         [](const cloudex::Run& r) { EXPECT_EQ(r.vollay.size(), 3u); }},
        {"stripped fines",
         [](DeckSpec& d) {
             d.fractions.push_back(FractionSpec{"FINES", 2.6f, 0.05f, 0.001f, 2.0f, 0.3f, 1, 1});
         },
         nullptr},
    };
    for (const Case& c : cases) {
        DeckSpec deck;
        c.change(deck);
        const auto r = run_here(deck);
        EXPECT_TRUE(contains(listing(), "*** RUN COMPLETED ***")) << c.name;
        const Balance b = balance(*r);
        EXPECT_NEAR(b.settled + b.suspended, b.released, 2e-5 * b.released) << c.name;
        if (c.check) c.check(*r);
    }
}

namespace {

// Every trial of the collapse as its report gives it.
struct CollapseTrial {
    double dt = 0;
    int istep = 0, ibed = 0;
};
std::vector<CollapseTrial> collapse_trials(const std::vector<std::string>& lines) {
    std::vector<CollapseTrial> trials;
    const std::regex dt_re("THE COLLAPSE PHASE TIME STEP \\(DT\\) WAS +([0-9.E+-]+) SECONDS");
    const std::regex step_re("\\(ISTEP\\) FOR CONVECTIVE DESCENT AND COLAPSE WAS +(\\d+)\\.");
    const std::regex bed_re("\\(IBED\\) WAS +(\\d+)\\.");
    std::smatch m;
    for (std::size_t i = 0; i + 2 < lines.size(); ++i)
        if (std::regex_search(lines[i], m, dt_re)) {
            CollapseTrial t;
            t.dt = std::stod(m[1]);
            if (std::regex_search(lines[i + 1], m, step_re)) t.istep = std::stoi(m[1]);
            if (std::regex_search(lines[i + 2], m, bed_re)) t.ibed = std::stoi(m[1]);
            trials.push_back(t);
        }
    return trials;
}

}  // namespace

// A cloud lying on the bed when the collapse starts goes straight to the
// bottom spreading. When that spreading uses up the 1200 steps, the trial
// steps back one step and ends, as it does for a cloud that meets the bed
// during the collapse: the trial ends at step 1199, and the next trial's
// time step is rescaled from 1199 - IBED steps (it once ended at 1200 and
// came out 0.1 % large).
TEST_F(ProgramTest, BedTrialAtTheStepCapacityStepsBack) {
    struct Case {
        const char* form;
        std::function<void(DeckSpec&)> change;
    } cases[] = {
        {"energy form after a descent to the bed",
         [](DeckSpec& d) {
             d.depth = [](int, int) { return 40.0f; };
             d.depc = d.dobs = 40.0f;
             d.volume = 200.0f;
         }},
        {"bypassed form in shallow water, slowed by form drag",
         [](DeckSpec& d) {
             d.depth = [](int, int) { return 15.0f; };
             d.depc = d.dobs = 15.0f;
             d.volume = 1000.0f;
             d.bargl = 100.0f;
             d.bargw = 30.0f;
             d.drel1 = 4.0f;
             d.drel2 = 1.0f;
             d.vax = 0.05f;
             d.vaz = 0.0f;
             d.key1 = 1;
             d.coefs = {{0.235f, 0.0f, 1.0f, 0.5f},
                        {0.25f, 200.0f, 0.01f, 0.1f, 1.0f, 0.005f, 0.01f},
                        {0.00001f, 0.025f, 0.003f, 0.2f, 0.1f}};
         }},
    };
    for (const Case& c : cases) {
        DeckSpec deck;
        c.change(deck);
        run_program(deck);
        const std::vector<CollapseTrial> t = collapse_trials(listing());
        ASSERT_GE(t.size(), 2u) << c.form;
        EXPECT_GE(t[0].ibed, 1) << c.form;
        EXPECT_EQ(t[0].istep, cloudex::kMaxSteps - 1) << c.form;
        // DT * n / 600 with n = 1199 - IBED collapse steps, in single precision.
        const float n = static_cast<float>(cloudex::kMaxSteps - 1 - t[0].ibed);
        const double rescaled = static_cast<double>(static_cast<float>(t[0].dt) * n / 600.0f);
        EXPECT_NEAR(t[1].dt, rescaled, 2e-7 * rescaled) << c.form;
    }
}

namespace {

// A listing or deposit file that cannot be written (a directory in its place)
// ends the run with a message naming the file and a failed status, although
// the model itself went through.
TEST_F(ProgramTest, AnOutputThatCannotBeWrittenFailsTheRun) {
    for (const char* file : {"CLDX.DUT", "CLDX.DUO"}) {
        fs::remove_all(dir_);
        fs::create_directories(dir_ / file);
        copy_fixture("barge_sand");
        EXPECT_EQ(run_program(), 1) << file;
        const std::vector<std::string> console = read_lines(dir_ / "console.txt");
        const std::string expected = std::string("UNABLE TO WRITE FILE ") + file;
        EXPECT_TRUE(std::any_of(console.begin(), console.end(), [&](const std::string& l) {
            return l.find(expected) != std::string::npos;
        })) << file;
    }
}

}  // namespace
