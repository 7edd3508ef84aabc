// CLDX.DUE through its writer and reader.
#include "suitefiles/deck.hpp"

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "files_fixture.hpp"
#include "recio/held_records.hpp"
#include "recio/records.hpp"

namespace {

using namespace suitefiles_test;
using suitefiles::DeckFraction;
using suitefiles::DeckLayer;
using suitefiles::FateDeck;

// Every value of a deck that the fate model reads.
auto values(const FateDeck& d) {
    const suitefiles::DeckCoefficients& k = d.coefficients;
    return std::make_tuple(
        std::tie(d.title, d.kvessel, d.nmax, d.mmax, d.nsolid, d.nlayer, d.nbins, d.key1, d.kvary,
                 d.kwave, d.kpdesc, d.kpcoll, d.nprt),
        std::tie(d.depc, d.dx, d.dz, d.kdepth, d.depth, d.xbarge, d.zbarge, d.rough, d.zref,
                 d.hwave, d.twave, d.dwave),
        std::tie(d.ndens, d.profile_depth, d.profile_density, d.kvel, d.vax, d.vaz, d.dobs, d.u,
                 d.w, d.du1, d.du2, d.uu1, d.uu2, d.dw1, d.dw2, d.ww1, d.ww2),
        std::tie(d.tstop, d.dtl, d.trel, d.bargl, d.bargw, d.drel1, d.drel2, d.rhow, d.tdis, d.binl,
                 d.binw, d.theta),
        std::tie(k.alpha0, k.beta, k.cm, k.cd, k.gama, k.cdrag, k.cfric, k.cd3, k.cd4, k.alphac,
                 k.frictn, k.alamda, k.aky0, k.cstrip, k.cbed1, k.cbed2),
        d.tprint);
}

bool same_layers(const FateDeck& a, const FateDeck& b) {
    if (a.layers.size() != b.layers.size()) return false;
    for (std::size_t l = 0; l < a.layers.size(); ++l) {
        const DeckLayer &x = a.layers[l], &y = b.layers[l];
        if (std::tie(x.cu, x.cw, x.vollay) != std::tie(y.cu, y.cw, y.vollay) ||
            x.fractions.size() != y.fractions.size())
            return false;
        for (std::size_t i = 0; i < x.fractions.size(); ++i) {
            const DeckFraction &f = x.fractions[i], &g = y.fractions[i];
            if (std::tie(f.name, f.sg, f.conc, f.vfall, f.voidr, f.taucd, f.kcohes, f.kstrip) !=
                std::tie(g.name, g.sg, g.conc, g.vfall, g.voidr, g.taucd, g.kcohes, g.kstrip))
                return false;
        }
    }
    return true;
}

FateDeck read_back(const std::vector<std::string>& records) {
    recio::HeldRecords in("CLDX.DUE", records);
    return suitefiles::read_fate_deck(in);
}

// A 3 x 12 grid (two records per row) of values exact in their fields.
std::vector<float> grid(float base) {
    std::vector<float> g;
    for (int m = 0; m < 3; ++m)
        for (int n = 0; n < 12; ++n) g.push_back(base + 0.125f * static_cast<float>(n + 12 * m));
    return g;
}

// The deck of a placement run: depth grid, waves, one observation, two
// print times; two layers of two fractions. Every value is exact in the
// decimals of its field, names and title fill their fields.
FateDeck placement_deck() {
    FateDeck d;
    d.title = "CLOUDEX DATA-FILE USED FOR vexal";
    d.title.resize(60, ' ');
    d.kvessel = 1;
    d.nmax = 12;
    d.mmax = 3;
    d.nsolid = 2;
    d.nlayer = 2;
    d.nbins = 4;
    d.kwave = 1;
    d.kpdesc = 1;
    d.nprt = 2;
    d.depc = 41.25f;
    d.dx = d.dz = 100.0f;
    d.kdepth = 2;
    d.depth = grid(40.0f);
    d.xbarge = 100.5f;
    d.zbarge = 550.75f;
    d.rough = 0.00125f;
    d.zref = 1.5f;
    d.hwave = 3.25f;
    d.twave = 8.5f;
    d.dwave = 315.0f;
    d.ndens = 3;
    d.profile_depth = {0.0f, 20.5f, 60.0f};
    d.profile_density = {1.02f, 1.02125f, 1.025f};
    d.kvel = 2;
    d.vax = -0.25f;
    d.vaz = 0.5f;
    d.dobs = 44.75f;
    d.tstop = 1800.5f;
    d.dtl = 60.0f;
    d.trel = 30.0f;
    d.bargl = 120.0f;
    d.bargw = 20.0f;
    d.drel1 = 12.0f;
    d.drel2 = 3.5f;
    d.rhow = 1.03f;
    d.tdis = 15.0f;
    d.binl = 30.0f;
    d.binw = 12.0f;
    d.theta = 22.5f;
    DeckLayer layer{0.75f, -1.5f, 1500.25f, {}};
    layer.fractions.push_back({"SAND    ", 2.65f, 0.25f, 0.125f, 0.75f, 0.5f, 0, 1});
    layer.fractions.push_back({"MUD     ", 2.6f, 0.0625f, 0.00125f, 3.5f, 0.03125f, 1, 0});
    d.layers = {layer, layer};
    d.layers[1].vollay = 750.5f;
    d.tprint = {900.0f, 1800.5f};
    return d;
}

// Decks with the records a placement run never writes: the writer puts in
// exactly the records the codes call for, and the reader takes them back.
TEST(FateDeckFile, EveryKindOfDeckComesBackFromItsRecords) {
    struct Case {
        const char* name;
        void (*vary)(FateDeck&);
        std::size_t records;
    };
    // The placement deck: 7 heading records, 6 grid records, 10 records
    // from the dump location to the vessel, 2 layers of 3 records and the
    // print times.
    const Case cases[] = {
        {"placement run", [](FateDeck&) {}, 30},
        {"constant depth, no waves, no print times",
         [](FateDeck& d) {
             d.kdepth = 1;
             d.depth.clear();
             d.kwave = 0;
             d.hwave = d.twave = d.dwave = 0.0f;
             d.nprt = 0;
             d.tprint.clear();
         },
         22},
        {"velocity grids and coefficients",
         [](FateDeck& d) {
             d.kvel = 4;
             d.vax = d.vaz = d.dobs = 0.0f;
             d.u = grid(-1.0f);
             d.w = grid(0.5f);
             d.key1 = 1;
             d.coefficients = {0.235f, 0.0f,   1.0f,  0.5f,   0.25f,  1.0f,   0.01f, 0.1f,
                               1.0f,   0.005f, 0.01f, 0.005f, 0.025f, 0.003f, 0.2f,  0.1f};
         },
         30 - 1 + 12 + 3},
        {"two-point profiles, ten print times",
         [](FateDeck& d) {
             d.kvel = 3;
             d.vax = d.vaz = d.dobs = 0.0f;
             d.du1 = 10.0f;
             d.du2 = 40.0f;
             d.uu1 = 0.3f;
             d.uu2 = 0.2f;
             d.dw1 = 10.5f;
             d.dw2 = 40.25f;
             d.ww1 = -0.1f;
             d.ww2 = 0.05f;
             d.nprt = 10;
             d.tprint.clear();
             for (int i = 1; i <= 10; ++i) d.tprint.push_back(180.0f * static_cast<float>(i));
         },
         30 + 1},
    };
    for (const Case& c : cases) {
        FateDeck d = placement_deck();
        c.vary(d);
        std::string problem = "not cleared";
        const std::vector<std::string> records = suitefiles::fate_deck_records(d, problem);
        EXPECT_EQ(problem, "") << c.name;
        EXPECT_EQ(records.size(), c.records) << c.name;
        const FateDeck back = read_back(records);
        EXPECT_TRUE(values(back) == values(d)) << c.name;
        EXPECT_TRUE(same_layers(back, d)) << c.name;
    }
}

// The records as the fate model has always received them: the pair records
// carry one field unless a second is given, the fraction record puts its
// reals from column 9 and is read from column 11.
TEST(FateDeckFile, RecordsInTheWritersLayouts) {
    FateDeck d = placement_deck();
    std::vector<std::string> r = suitefiles::fate_deck_records(d);
    EXPECT_EQ(r[0].size(), 60u);
    EXPECT_EQ(r[1], "    1");
    EXPECT_EQ(r[2], "   12    3    2    2    4");
    EXPECT_EQ(r[5], "     41.25    100.00    100.00");
    EXPECT_EQ(r[6], "    2");
    EXPECT_EQ(r[7],
              "  40.000  40.125  40.250  40.375  40.500  40.625  40.750  40.875  41.000  41.125");
    EXPECT_EQ(r[8], "  41.250  41.375");
    EXPECT_EQ(r[21], "    1800.5      60.0      30.0");
    EXPECT_EQ(r[23], "    0.7500   -1.5000 1500.2500");
    EXPECT_EQ(r[24], "SAND       2.65000   0.25000   0.12500   0.75000   0.50000    0    1");
    d.unread_second = 0;
    r = suitefiles::fate_deck_records(d);
    EXPECT_EQ(r[1], "    1    0");
    EXPECT_EQ(r[6], "    2    0");
    EXPECT_FALSE(read_back(r).unread_second.has_value());
}

// A value that its field cannot hold is named by record and field, the
// fraction record's fields counted from the name.
TEST(FateDeckFile, AValueThatDoesNotFitIsNamed) {
    struct Case {
        void (*vary)(FateDeck&);
        const char* says;
    };
    const Case cases[] = {
        {[](FateDeck& d) { d.depc = 1.0e9f; }, "CLDX.DUE RECORD 6, FIELD 1: "},
        {[](FateDeck& d) { d.depth[13] = 123456.0f; }, "CLDX.DUE RECORD 10, FIELD 2: "},
        {[](FateDeck& d) { d.vaz = std::numeric_limits<float>::infinity(); },
         "CLDX.DUE RECORD 21, FIELD 2: "},
        {[](FateDeck& d) {
             d.layers[1].fractions[0].conc = std::numeric_limits<float>::quiet_NaN();
         },
         "CLDX.DUE RECORD 28, FIELD 3: "},
    };
    for (const Case& c : cases) {
        FateDeck d = placement_deck();
        c.vary(d);
        std::string problem;
        suitefiles::fate_deck_records(d, problem);
        EXPECT_EQ(problem.rfind(c.says, 0), 0u) << problem;
        EXPECT_NE(problem.find("A VALUE DOES NOT FIT ITS FIELD"), std::string::npos) << problem;
    }
}

// A deck cut short ends with a RecordError naming the deck and its last
// record, wherever it is cut.
TEST(FateDeckFile, ADeckCutShortIsAnError) {
    const std::vector<std::string> whole = suitefiles::fate_deck_records(placement_deck());
    for (std::size_t keep = 0; keep < whole.size(); ++keep) {
        const std::vector<std::string> cut(whole.begin(), whole.begin() + static_cast<long>(keep));
        try {
            read_back(cut);
            ADD_FAILURE() << "read with " << keep << " records";
        } catch (const recio::RecordError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "UNEXPECTED END OF FILE CLDX.DUE AFTER RECORD " + std::to_string(keep));
        }
    }
}

// The seed decks of the fate model's fuzz target, made by hand in the
// reader's layout. Written by the writer they may lose decimals its fields
// do not carry (RHOW 1.025 in F10.2), but from then on a deck read and
// written again keeps its bytes and its values.
TEST(FateDeckFile, HandMadeDecksSettleThroughTheWriter) {
    int decks = 0;
    for (const auto& e : fs::directory_iterator(fs::path(FUZZ_CORPUS_DIR) / "cloudex_deck")) {
        recio::RecordReader in(e.path().string());
        const std::vector<std::string> once =
            suitefiles::fate_deck_records(suitefiles::read_fate_deck(in));
        const FateDeck second = read_back(once);
        const std::vector<std::string> twice = suitefiles::fate_deck_records(second);
        EXPECT_EQ(twice, once) << e.path();
        const FateDeck third = read_back(twice);
        EXPECT_TRUE(values(third) == values(second)) << e.path();
        EXPECT_TRUE(same_layers(third, second)) << e.path();
        ++decks;
    }
    EXPECT_GE(decks, 7);
}

}  // namespace
