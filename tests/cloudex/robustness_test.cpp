// Damaged and out-of-scale decks: every one ends the run in order, with a
// message in the listing naming the value, the file, the record and the
// field, a non-zero status, no undefined number in the listing and no
// deposit block.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cloudex/longterm.hpp"
#include "cloudex/output.hpp"
#include "cloudex/state.hpp"
#include "deck_builder.hpp"

namespace fs = std::filesystem;
using cloudex_test::DeckSpec;

namespace {

// Index of the first record of a deck item in DeckSpec::records().
std::size_t record_of(const DeckSpec& d, const std::string& item) {
    std::size_t k = 7;  // title .. depth option
    if (d.kdepth != 1) k += static_cast<std::size_t>(d.mmax * ((d.nmax + 9) / 10));
    if (item == "depth") return 7;
    if (item == "dump") return k;
    k += 2;  // dump, roughness
    if (d.kwave == 1) ++k;
    if (item == "profile densities") return k + 2;
    k += 4;  // profile size, depths, densities, velocity option
    if (item == "velocity") return k;
    if (d.kvel == 4)
        k += static_cast<std::size_t>(2 * d.mmax * ((d.nmax + 9) / 10));
    else
        k += 1;
    if (item == "times") return k;
    if (item == "vessel") return k + 1;
    k += 2;
    if (item == "coefficients") return k;
    if (d.key1 == 1) k += 3;
    if (item == "layer") return k;
    return k + 1;  // first fraction
}

// Replaces columns [first, first + width) of a record, right-justified.
void put(std::string& rec, std::size_t first, std::size_t width, const std::string& text) {
    if (rec.size() < first + width) rec.resize(first + width, ' ');
    rec.replace(first, width, std::string(width - text.size(), ' ') + text);
}

std::vector<std::string> lines_of(const fs::path& p) {
    std::vector<std::string> lines;
    std::ifstream in(p, std::ios::binary);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

bool contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

class Robustness : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("cloudex_robust_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(dir_);
    }
    int run(const std::vector<std::string>& records) const {
        {
            std::ofstream out(dir_ / "CLDX.DUE", std::ios::binary);
            for (const std::string& r : records) out << r << '\n';
        }
        const std::string cmd =
            "cd '" + dir_.string() + "' && '" + SUITE_BIN_DIR + "/cloudex' > console.txt 2>&1";
        const int rc = std::system(cmd.c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    std::vector<std::string> listing() const { return lines_of(dir_ / "CLDX.DUO"); }
    fs::path dir_;
};

// The survey's out-of-scale values, each in its own field. Before these
// were refused, each one either overflowed a conversion to a grid index,
// filled the listing with NaN and Inf (a few while reporting success), or
// ran for ever (TSTOP/DTL).
TEST_F(Robustness, OutOfScaleDeckValuesAreRefusedByRecordAndField) {
    struct Case {
        const char* name;
        std::function<void(DeckSpec&)> variant;
        const char* item;
        std::size_t offset;  // records after the item's first
        std::size_t first, width;
        const char* text;
        const char* says;
    };
    const auto none = [](DeckSpec&) {};
    const auto key1 = [](DeckSpec& d) {
        d.key1 = 1;
        d.coefs = {{0.235f, 0.0f, 1.0f, 0.5f},
                   {0.25f, 1.0f, 0.01f, 0.1f, 1.0f, 0.005f, 0.01f},
                   {0.005f, 0.025f, 0.003f, 0.2f, 0.1f}};
    };
    const auto waves = [](DeckSpec& d) { d.kwave = 1; };
    const auto grids = [](DeckSpec& d) { d.kvel = 4; };
    // F8.3 fields read "1E30" with three implied decimals: 1E+27.
    const Case cases[] = {
        {"depth below the last decimal", none, "depth", 0, 8, 8, "1E-30", "DEPTH = 1E-33"},
        {"dump far off the grid", none, "dump", 0, 0, 10, "1E30", "XBARGE = 1E+30"},
        {"dump left of the grid", none, "dump", 0, 10, 10, "-1", "ZBARGE = -1 IS NOT ALLOWED"},
        {"negative roughness", none, "dump", 1, 0, 10, "-1", "ROUGH = -1"},
        {"wave period of 1E-30 s", waves, "dump", 2, 10, 10, "1E-30", "TWAVE = 1E-30"},
        {"zero profile density", none, "profile densities", 0, 0, 10, "0", "PROFILE DENSITY = 0"},
        {"current of 1E30 ft/s", none, "velocity", 0, 0, 10, "1E30", "VAX = 1E+30"},
        {"velocity grid value of 1E30", grids, "velocity", 0, 8, 8, "1E30", "VELOCITY = 1E+27"},
        {"simulation of 1E30 s", none, "times", 0, 0, 10, "1E30", "TSTOP/DTL = 1.66667E+28"},
        {"time step of 1E-30 s", none, "times", 0, 10, 10, "1E-30", "TSTOP/DTL"},
        {"zero apparent mass", key1, "coefficients", 0, 20, 10, "0", "CM = 0 IS NOT ALLOWED"},
        {"negative vertical diffusion", key1, "coefficients", 2, 10, 10, "-1", "AKY0 = -1"},
        {"cloud velocity of 1E30", none, "layer", 0, 0, 10, "1E30", "CU = 1E+30"},
        {"empty layer", none, "layer", 0, 20, 10, "0", "VOLLAY = 0 IS NOT ALLOWED"},
        {"specific gravity of 1E30", none, "fraction", 0, 10, 10, "1E30", "SG = 1E+30"},
        // A layer heavier than water (the bulk-density stop does not apply)
        // with a fraction of negative density.
        {"negative specific gravity", [](DeckSpec& d) { d.fractions[0].conc = 0.01f; }, "fraction",
         0, 10, 10, "-0.1", "SG = -0.1"},
        {"concentration above 1", none, "fraction", 0, 20, 10, "1.5", "CONC = 1.5"},
        {"fall velocity of 1E30", none, "fraction", 0, 30, 10, "1E30", "VFALL = 1E+30"},
        {"negative void ratio", none, "fraction", 0, 40, 10, "-1", "VOIDR = -1"},
    };
    for (const Case& c : cases) {
        DeckSpec deck;
        c.variant(deck);
        std::vector<std::string> records = deck.records();
        put(records.at(record_of(deck, c.item) + c.offset), c.first, c.width, c.text);
        const std::string says = c.says;
        EXPECT_EQ(run(records), 1) << c.name;
        const auto lst = listing();
        EXPECT_TRUE(contains(lst, "INPUT DECK ERROR: " + says)) << c.name;
        EXPECT_TRUE(contains(lst, "(FILE CLDX.DUE, RECORD ")) << c.name;
        EXPECT_TRUE(contains(lst, "EXECUTION STOPPED.")) << c.name;
        EXPECT_FALSE(contains(lst, "NaN") || contains(lst, "Inf")) << c.name;
        EXPECT_LE(lines_of(dir_ / "CLDX.DUT").size(), 3u) << c.name;  // header records only
    }
}

// A dry point (negative depth, as a site with the tide added can give) was
// coded as water and gave NaN shear stresses in a run reported complete; it
// is land now, and the listing says how many such points there are.
TEST_F(Robustness, NegativeDepthsAreLandWithAWarning) {
    DeckSpec deck;
    deck.depth = [](int n, int m) { return n >= 20 && m <= 3 ? -2.0f : 50.0f; };
    EXPECT_EQ(run(deck.records()), 0);
    const auto lst = listing();
    EXPECT_TRUE(contains(lst,
                         "WARNING!!! -    15 NEGATIVE DEPTHS OF THE DEPTH GRID ARE TAKEN AS "
                         "LAND POINTS (DEPTH 0)."));
    EXPECT_TRUE(contains(lst, " X O O O O O O O O O O O O O O O O O O L L L L X"));
    EXPECT_FALSE(contains(lst, "NaN"));
    EXPECT_TRUE(contains(lst, "*** RUN COMPLETED ***"));
}

// Values that each pass their own bound but together leave the arithmetic
// (here a disposal lasting 1E-30 s) end with a message instead of carrying
// NaN into the later phases and the deposit file.
TEST_F(Robustness, UndefinedDescentEndsTheRunWithAMessage) {
    DeckSpec deck;
    std::vector<std::string> records = deck.records();
    put(records[record_of(deck, "times")], 20, 10, "1E-30");
    EXPECT_EQ(run(records), 1);
    const auto lst = listing();
    EXPECT_TRUE(contains(lst,
                         "THE COMPUTATION BECAME UNDEFINED (VALUES THAT ARE NOT NUMBERS) IN "
                         "THE CONVECTIVE DESCENT OF LAYER 1."));
    EXPECT_EQ(lst.back(), "\f");
    EXPECT_LE(lines_of(dir_ / "CLDX.DUT").size(), 3u);
}

// A damaged deck's unreadable field is quoted with its control characters
// shown as '?', on the console and in the listing.
TEST_F(Robustness, ControlCharactersOfADamagedDeckAreNotEchoed) {
    DeckSpec deck;
    std::vector<std::string> records = deck.records();
    put(records[2], 0, 5, "\x1b[2J");
    EXPECT_EQ(run(records), 1);
    const auto console = lines_of(dir_ / "console.txt");
    ASSERT_EQ(console.size(), 1u);
    EXPECT_NE(console[0].find("FIELD 1 (COLUMNS 1-5, I5): \" ?[2J\""), std::string::npos)
        << console[0];
    EXPECT_TRUE(contains(listing(), "\" ?[2J\""));
}

// Conversions of reals to whole numbers stay defined for any real: before,
// a huge ratio overflowed the conversion (undefined behaviour).
TEST(Conversions, HugeInfiniteOrUndefinedRealsGiveDefinedNumbers) {
    EXPECT_EQ(cloudex::trunc_index(12.9f), 12);
    EXPECT_EQ(cloudex::trunc_index(-3.7f), -3);
    EXPECT_EQ(cloudex::trunc_index(1.0e30f), 1000000000);
    EXPECT_EQ(cloudex::trunc_index(-INFINITY), -1000000000);
    EXPECT_EQ(cloudex::trunc_index(NAN), -1000000000);
    const std::vector<float> t = cloudex::default_print_times(0.0f, 1.0e-30f, 100.0f);
    ASSERT_EQ(t.size(), 4u);
    for (float x : t) EXPECT_TRUE(std::isfinite(x));
    EXPECT_EQ(cloudex::display_scale(1.0e30f), std::pow(10.0f, 28.0f));
    EXPECT_GT(cloudex::display_scale(INFINITY), 0.0f);
    EXPECT_EQ(cloudex::map_cell(1.0e30f), "9999");
}

}  // namespace
