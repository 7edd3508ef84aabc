#include "cloudex/deck.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>

#include "cloudex/listing.hpp"
#include "recio/format.hpp"
#include "suitefiles/deck.hpp"

namespace cloudex {
namespace {

// Runs one deck item's reads; a read error names the item as well.
template <class F>
void item(const char* what, F&& read) {
    try {
        read();
    } catch (const recio::RecordError& e) {
        throw recio::RecordError(std::string("INPUT DECK, ") + what + ": " + e.what());
    }
}

// Where a deck value stands: "(FILE CLDX.DUE, RECORD 3, FIELD 1)".
std::string place(const recio::RecordReader& in, long record, int field) {
    return "(FILE " + in.source_name() + ", RECORD " + std::to_string(record) + ", FIELD " +
           std::to_string(field) + ")";
}

// A deck value outside what the model can hold ends the run with a message
// naming the value, the file, the record and the field.
[[noreturn]] void reject_text(const std::string& name, const std::string& value,
                              const std::string& allowed, const std::string& where) {
    throw Stop({"INPUT DECK ERROR: " + name + " =" + value + " IS NOT ALLOWED; " + allowed + ".",
                where, "EXECUTION STOPPED."});
}

[[noreturn]] void reject(const recio::RecordReader& in, int field, const std::string& name,
                         long value, const std::string& allowed) {
    const std::string v = recio::format_records("(I6)", static_cast<std::int32_t>(value)).front();
    reject_text(name, v, allowed, place(in, in.record_number(), field));
}

void check_range(const recio::RecordReader& in, int field, const char* name, long value, long lo,
                 long hi) {
    if (value < lo || value > hi)
        reject(in, field, name, value,
               "IT MUST LIE FROM " + std::to_string(lo) + " TO " + std::to_string(hi));
}

// Reals: six significant digits, exponent form when very large or small.
std::string real_text(float v) {
    char text[32];
    std::snprintf(text, sizeof text, " %.6G", static_cast<double>(v));
    return text;
}

// Bounds of the deck reals. Beyond them a value is no quantity of a
// disposal operation (a shifted column or a stray exponent), and the
// descent, collapse and transport arithmetic would overflow with it.
constexpr float kMaxSpeed = 100.0f;   // currents, cloud and fall velocities, ft/s
constexpr float kMaxDensity = 25.0f;  // densities and specific gravities, g/cc
constexpr float kMaxCoefficient = 1.0e3f;
constexpr float kMaxVolume = 1.0e7f;      // layer volume, cu yd
constexpr float kMaxLength = 1.0e5f;      // depths and lengths, ft
constexpr float kMinDepth = 0.001f;       // smallest water depth, ft
constexpr float kMaxWavePeriod = 1.0e3f;  // s
constexpr int kMaxLongTermSteps = 100000;
constexpr float kNoLimit = 3.0e38f;

// A real of the last record read, field `field`, must lie in [lo, hi]
// (lo excluded when `above`).
void check_real(const recio::RecordReader& in, int field, const char* name, float value, float lo,
                float hi, bool above = false, long record = -1) {
    const bool low_ok = above ? value > lo : value >= lo;
    if (low_ok && value <= hi) return;
    std::string allowed;
    if (lo <= -1.0e30f)
        allowed = "IT MUST NOT EXCEED" + real_text(hi);
    else if (above && hi >= 1.0e30f)
        allowed = "IT MUST BE GREATER THAN" + real_text(lo);
    else if (hi >= 1.0e30f)
        allowed = "IT MUST NOT BE LESS THAN" + real_text(lo);
    else
        allowed = std::string("IT MUST LIE ") + (above ? "ABOVE" : "FROM") + real_text(lo) +
                  (above ? " AND AT MOST" : " TO") + real_text(hi);
    reject_text(name, real_text(value), allowed,
                place(in, record < 0 ? in.record_number() : record, field));
}

// The MMAX rows of a grid, NMAX reals each in 10F8.3 records, each row
// starting a new record; `check(value, record, field)` sees every value of
// a row once the row is read, before the next row is read.
template <class ReadRow, class Check>
void read_rows(const recio::RecordReader& in, const Grid& g, std::vector<float>& values,
               ReadRow&& read_row, Field& f, Check&& check) {
    values.clear();
    const int per_row = (g.nmax + 9) / 10;
    for (int m = 1; m <= g.mmax; ++m) {
        read_row();
        const long first = in.record_number() - per_row + 1;
        const float* row = values.data() + static_cast<std::ptrdiff_t>(m - 1) * g.nmax;
        for (int n = 1; n <= g.nmax; ++n) {
            check(row[n - 1], first + (n - 1) / 10, (n - 1) % 10 + 1);
            f(n, m) = row[n - 1];
        }
    }
}

}  // namespace

void Deck::heading(Controls& c) {
    item("TITLE (RECORD 1)", [&] { read_.title(); });
    c.title = deck_.title;
    item("VESSEL TYPE (RECORD 2)", [&] { read_.vessel_type(); });
    c.kvessel = deck_.kvessel;
    if (c.kvessel != 1 && c.kvessel != 3)
        reject(in_, 1, "KVESSEL", c.kvessel, "1 = HOPPER DREDGE OR 3 = SPLIT-HULL BARGE");
}

void Deck::sizes(Controls& c, Grid& g) {
    item("GRID AND LOAD SIZES (RECORD 3)", [&] { read_.sizes(); });
    g.nmax = deck_.nmax;
    g.mmax = deck_.mmax;
    c.nsolid = deck_.nsolid;
    c.nlayer = deck_.nlayer;
    c.nbins = deck_.nbins;
    check_range(in_, 1, "NMAX", g.nmax, 1, kLead);
    check_range(in_, 2, "MMAX", g.mmax, 1, kLead);
    check_range(in_, 3, "NSOLID", c.nsolid, 1, kMaxFractions);
    check_range(in_, 4, "NLAYER", c.nlayer, 1, kMaxLayers);
}

void Deck::options(Controls& c, Ambient& a) {
    item("OPTIONS (RECORD 4)", [&] { read_.options(); });
    c.key1 = deck_.key1;
    c.kvary = deck_.kvary;
    a.kwave = deck_.kwave;
    item("PRINT CONTROL (RECORD 5)", [&] { read_.print_control(); });
    c.kpdesc = deck_.kpdesc;
    c.kpcoll = deck_.kpcoll;
    c.nprt = deck_.nprt;
}

void Deck::grid(Grid& g) {
    item("GRID SPACING (RECORD 6)", [&] { read_.spacing(); });
    g.depc = deck_.depc;
    g.dx = deck_.dx;
    g.dz = deck_.dz;
    if (!(g.dx > 0.0f))
        throw Stop({"INPUT DECK ERROR: THE GRID SPACING DX MUST BE GREATER THAN ZERO.",
                    place(in_, in_.record_number(), 2), "EXECUTION STOPPED."});
    if (g.dz <= 0.0f) g.dz = g.dx;
    g.rdx = 1.0f / g.dx;
    g.rdz = 1.0f / g.dz;
    g.area = g.dx * g.dz;
    item("DEPTH OPTION (RECORD 7)", [&] { read_.depth_option(); });
    g.kdepth = deck_.kdepth;
    g.depth.fill(0.0f);
    // A negative water depth is a point above the water: land, as depth 0.
    g.negative_depths = 0;
    const auto land = [&g](float d) {
        if (!(d < 0.0f)) return d;
        ++g.negative_depths;
        return 0.0f;
    };
    // A water depth lies within what the F8.3 fields of the grid can hold:
    // from 0.001 ft (their last decimal) to below 1E5 ft.
    const auto depth = [&](float d, long record, int field) {
        if (d > 0.0f) check_real(in_, field, "DEPTH", d, kMinDepth, kMaxLength, false, record);
    };
    if (g.kdepth == suitefiles::DECK_CONSTANT_DEPTH) {
        depth(g.depc, 6, 1);
        for (int m = 1; m <= g.mmax; ++m)
            for (int n = 1; n <= g.nmax; ++n) g.depth(n, m) = land(g.depc);
    } else {
        item("DEPTH GRID (RECORD 8)", [&] {
            read_rows(
                in_, g, deck_.depth, [&] { read_.depth_row(); }, g.depth, depth);
        });
        for (float& d : g.depth.v) d = land(d);
    }
    item("DUMP LOCATION (RECORD 9)", [&] { read_.dump_location(); });
    g.xbarge = deck_.xbarge;
    g.zbarge = deck_.zbarge;
    // The dump must lie on the grid; from outside it no cloud could be followed.
    check_real(in_, 1, "XBARGE", g.xbarge, 0.0f, static_cast<float>(g.mmax - 1) * g.dx);
    check_real(in_, 2, "ZBARGE", g.zbarge, 0.0f, static_cast<float>(g.nmax - 1) * g.dz);
}

void Deck::ambient(const Grid& g, Ambient& a) {
    item("BOTTOM ROUGHNESS (RECORD 10)", [&] { read_.roughness(); });
    a.rough = deck_.rough;
    a.zref = deck_.zref;
    check_real(in_, 1, "ROUGH", a.rough, 0.0f, kNoLimit);
    check_real(in_, 2, "ZREF", a.zref, 0.0f, kNoLimit);
    if (a.kwave == suitefiles::DECK_WAVES) {
        item("WAVES (RECORD 11)", [&] { read_.waves(); });
        a.hwave = deck_.hwave;
        a.twave = deck_.twave;
        a.dwave = deck_.dwave;
        // A period of 0 or less means no waves; a positive one must be a wave's.
        if (a.twave > 0.0f) check_real(in_, 2, "TWAVE", a.twave, 0.01f, kMaxWavePeriod);
        a.dwave *= kToRadians;
    }
    item("DENSITY PROFILE SIZE (RECORD 12)", [&] { read_.profile_size(); });
    a.prof.ndens = deck_.ndens;
    check_range(in_, 1, "NDENS", a.prof.ndens, 1, kMaxDensities);
    const auto nd = static_cast<std::size_t>(a.prof.ndens);
    item("PROFILE DEPTHS (RECORD 13)", [&] { read_.profile_depths(); });
    std::copy_n(deck_.profile_depth.begin(), nd, a.prof.depth.begin());
    item("PROFILE DENSITIES (RECORD 14)", [&] { read_.profile_densities(); });
    std::copy_n(deck_.profile_density.begin(), nd, a.prof.dens.begin());
    for (std::size_t i = 0; i < nd; ++i) {
        check_real(in_, static_cast<int>(i + 1), "PROFILE DENSITY", a.prof.dens[i], 0.0f,
                   kMaxDensity, true);
        a.prof.dens_gcc[i] = a.prof.dens[i];
        a.prof.dens[i] *= kToSlugs;
    }
    item("VELOCITY OPTION (RECORD 15)", [&] { read_.velocity_option(); });
    a.kvel = deck_.kvel;
    check_range(in_, 1, "KVEL", a.kvel, 1, 4);
    a.u.fill(0.0f);
    a.w.fill(0.0f);
    const auto speed = [&](int field, const char* name, float v, long record = -1) {
        check_real(in_, field, name, v, -kMaxSpeed, kMaxSpeed, false, record);
    };
    using suitefiles::DeckVelocity;
    const auto kvel = static_cast<DeckVelocity>(a.kvel);
    if (kvel == DeckVelocity::Observed || kvel == DeckVelocity::ObservedLog) {
        item("VELOCITY OBSERVATION (RECORD 16)", [&] { read_.observation(); });
        a.vax = deck_.vax;
        a.vaz = deck_.vaz;
        a.dobs = deck_.dobs;
        speed(1, "VAX", a.vax);
        speed(2, "VAZ", a.vaz);
        check_real(in_, 3, "D", a.dobs, 0.0f, kMaxLength);
    } else if (kvel == DeckVelocity::Grids) {
        item("VELOCITY GRIDS (RECORD 17)", [&] {
            const auto check = [&](float v, long record, int field) {
                speed(field, "VELOCITY", v, record);
            };
            read_rows(
                in_, g, deck_.u, [&] { read_.velocity_row(deck_.u); }, a.u, check);
            read_rows(
                in_, g, deck_.w, [&] { read_.velocity_row(deck_.w); }, a.w, check);
        });
    } else {
        item("TWO-POINT PROFILES (RECORD 18)", [&] { read_.velocity_profiles(); });
        a.du1 = deck_.du1;
        a.du2 = deck_.du2;
        a.uu1 = deck_.uu1;
        a.uu2 = deck_.uu2;
        a.dw1 = deck_.dw1;
        a.dw2 = deck_.dw2;
        a.ww1 = deck_.ww1;
        a.ww2 = deck_.ww2;
        speed(3, "UU1", a.uu1);
        speed(4, "UU2", a.uu2);
        speed(7, "WW1", a.ww1);
        speed(8, "WW2", a.ww2);
    }
}

void Deck::times(Times& t) {
    item("TIMES (RECORD 19)", [&] { read_.times(); });
    t.tstop = deck_.tstop;
    t.dtl = deck_.dtl;
    t.trel = deck_.trel;
    if (!(t.dtl > 0.0f))
        throw Stop({"INPUT DECK ERROR: THE LONG-TERM TIME STEP DTL MUST BE GREATER THAN ZERO.",
                    place(in_, in_.record_number(), 2), "EXECUTION STOPPED."});
    check_real(in_, 1, "TSTOP", t.tstop, 0.0f, kNoLimit);
    check_real(in_, 3, "TREL", t.trel, 0.0f, kNoLimit);
    // Every long-term step prints its totals: a bound on the steps keeps the
    // run and its listing finite.
    if (!(t.tstop / t.dtl <= static_cast<float>(kMaxLongTermSteps)))
        reject_text("TSTOP/DTL", real_text(t.tstop / t.dtl),
                    "AT MOST " + std::to_string(kMaxLongTermSteps) + " LONG-TERM STEPS ARE ALLOWED",
                    place(in_, in_.record_number(), 1));
}

void Deck::vessel(Vessel& v) {
    item("VESSEL (RECORD 20)", [&] { read_.vessel(); });
    const suitefiles::FateDeck& d = deck_;
    v.bargl = d.bargl;
    v.bargw = d.bargw;
    v.drel1 = d.drel1;
    v.drel2 = d.drel2;
    v.rhow = d.rhow;
    v.tdis = d.tdis;
    v.binl = d.binl;
    v.binw = d.binw;
    v.theta = d.theta;
    const char* names[] = {"BARGL", "BARGW", "DREL1", "DREL2"};
    const float sizes[] = {v.bargl, v.bargw, v.drel1, v.drel2};
    for (int i = 0; i < 4; ++i) check_real(in_, i + 1, names[i], sizes[i], 0.0f, kMaxLength);
    check_real(in_, 5, "RHOW", v.rhow, -kNoLimit, kMaxDensity);
    check_real(in_, 6, "TDIS", v.tdis, 0.0f, kMaxLength);
    check_real(in_, 7, "BINL", v.binl, 0.0f, kMaxLength);
    check_real(in_, 8, "BINW", v.binw, 0.0f, kMaxLength);
    v.theta *= kToRadians;
}

void Deck::coefficients(Coefs& k) {
    const suitefiles::DeckCoefficients& d = deck_.coefficients;
    item("COEFFICIENTS (RECORD 21)", [&] { read_.coefficients_first(); });
    k.alpha0 = d.alpha0;
    k.beta = d.beta;
    k.cm = d.cm;
    k.cd = d.cd;
    check_real(in_, 1, "ALPHA0", k.alpha0, 0.0f, kMaxCoefficient);
    check_real(in_, 2, "BETA", k.beta, 0.0f, kMaxCoefficient);
    check_real(in_, 3, "CM", k.cm, 0.0f, kMaxCoefficient, true);  // divides the momentum
    check_real(in_, 4, "CD", k.cd, 0.0f, kMaxCoefficient);
    item("COEFFICIENTS (RECORD 22)", [&] { read_.coefficients_second(); });
    k.gama = d.gama;
    k.cdrag = d.cdrag;
    k.cfric = d.cfric;
    k.cd3 = d.cd3;
    k.cd4 = d.cd4;
    k.alphac = d.alphac;
    k.frictn = d.frictn;
    const char* second[] = {"GAMA", "CDRAG", "CFRIC", "CD3", "CD4", "ALPHAC", "FRICTN"};
    const float v2[] = {k.gama, k.cdrag, k.cfric, k.cd3, k.cd4, k.alphac, k.frictn};
    for (int i = 0; i < 7; ++i) check_real(in_, i + 1, second[i], v2[i], 0.0f, kMaxCoefficient);
    item("COEFFICIENTS (RECORD 23)", [&] { read_.coefficients_third(); });
    k.alamda = d.alamda;
    k.aky0 = d.aky0;
    k.cstrip = d.cstrip;
    k.cbed1 = d.cbed1;
    k.cbed2 = d.cbed2;
    const char* third[] = {"ALAMDA", "AKY0", "CSTRIP", "CBED1", "CBED2"};
    const float v3[] = {k.alamda, k.aky0, k.cstrip, k.cbed1, k.cbed2};
    for (int i = 0; i < 5; ++i) check_real(in_, i + 1, third[i], v3[i], 0.0f, kMaxCoefficient);
}

void Deck::layer(float& cu, float& cw, float& vollay) {
    item("LAYER (RECORD 24A)", [&] { read_.layer(); });
    const suitefiles::DeckLayer& l = deck_.layers.back();
    cu = l.cu;
    cw = l.cw;
    vollay = l.vollay;
    check_real(in_, 1, "CU", cu, -kMaxSpeed, kMaxSpeed);
    check_real(in_, 2, "CW", cw, -kMaxSpeed, kMaxSpeed);
    check_real(in_, 3, "VOLLAY", vollay, 0.0f, kMaxVolume, true);
}

void Deck::fraction(Fraction& f) {
    item("SOLIDS FRACTION (RECORD 24B)", [&] { read_.fraction(); });
    const suitefiles::DeckFraction& d = deck_.layers.back().fractions.back();
    f.name = d.name;
    f.sg_gcc = d.sg;
    f.conc = d.conc;
    f.vfall = d.vfall;
    f.voidr = d.voidr;
    f.taucd = d.taucd;
    f.kcohes = d.kcohes;
    f.kstrip = d.kstrip;
    f.record = in_.record_number();
}

void Deck::check_fractions(const std::vector<Fraction>& fractions) const {
    // Fields counted as in the record: the name is field 1.
    for (const Fraction& f : fractions) {
        check_real(in_, 2, "SG", f.sg_gcc, 0.0f, kMaxDensity, true, f.record);
        check_real(in_, 3, "CONC", f.conc, 0.0f, 1.0f, false, f.record);
        check_real(in_, 4, "VFALL", f.vfall, 0.0f, kMaxSpeed, false, f.record);
        check_real(in_, 5, "VOIDR", f.voidr, 0.0f, kMaxCoefficient, false, f.record);
    }
}

void Deck::print_times(int nprt, std::vector<float>& t) {
    deck_.nprt = static_cast<std::int16_t>(nprt);
    item("PRINT TIMES (RECORD 25)", [&] { read_.print_times(); });
    t = deck_.tprint;
}

}  // namespace cloudex
