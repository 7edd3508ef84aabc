#include "cloudex/deck.hpp"

#include <string>

#include "cloudex/listing.hpp"
#include "recio/format.hpp"

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

// A deck value outside what the model can hold ends the run with a message.
[[noreturn]] void reject(const std::string& name, long value, const std::string& allowed) {
    const std::string v = recio::format_records("(I6)", static_cast<std::int32_t>(value)).front();
    throw Stop({"INPUT DECK ERROR: " + name + " =" + v + " IS NOT ALLOWED; " + allowed + ".",
                "EXECUTION STOPPED."});
}

void check_range(const char* name, long value, long lo, long hi) {
    if (value < lo || value > hi)
        reject(name, value, "IT MUST LIE FROM " + std::to_string(lo) + " TO " + std::to_string(hi));
}

// NMAX reals per grid row in 10F8.3 records, each row starting a new record.
void read_rows(recio::RecordReader& in, const Grid& g, Field& f) {
    float row[kLead];
    for (int m = 1; m <= g.mmax; ++m) {
        in.need("(10F8.3)", recio::array(row, static_cast<std::size_t>(g.nmax)));
        for (int n = 1; n <= g.nmax; ++n) f(n, m) = row[n - 1];
    }
}

}  // namespace

void Deck::heading(Controls& c) {
    item("TITLE (RECORD 1)", [&] { in_.need("(A60)", recio::fixed_text(c.title, 60)); });
    item("VESSEL TYPE (RECORD 2)", [&] { in_.need("(16I5)", c.kvessel); });
    if (c.kvessel != 1 && c.kvessel != 3)
        reject("KVESSEL", c.kvessel, "1 = HOPPER DREDGE OR 3 = SPLIT-HULL BARGE");
}

void Deck::sizes(Controls& c, Grid& g) {
    item("GRID AND LOAD SIZES (RECORD 3)",
         [&] { in_.need("(16I5)", g.nmax, g.mmax, c.nsolid, c.nlayer, c.nbins); });
    check_range("NMAX", g.nmax, 1, kLead);
    check_range("MMAX", g.mmax, 1, kLead);
    check_range("NSOLID", c.nsolid, 1, kMaxFractions);
    check_range("NLAYER", c.nlayer, 1, kMaxLayers);
}

void Deck::options(Controls& c, Ambient& a) {
    item("OPTIONS (RECORD 4)", [&] { in_.need("(16I5)", c.key1, c.kvary, a.kwave); });
    item("PRINT CONTROL (RECORD 5)", [&] { in_.need("(16I5)", c.kpdesc, c.kpcoll, c.nprt); });
}

void Deck::grid(Grid& g) {
    item("GRID SPACING (RECORD 6)", [&] { in_.need("(8F10.0)", g.depc, g.dx, g.dz); });
    if (!(g.dx > 0.0f))
        throw Stop({"INPUT DECK ERROR: THE GRID SPACING DX MUST BE GREATER THAN ZERO.",
                    "EXECUTION STOPPED."});
    if (g.dz <= 0.0f) g.dz = g.dx;
    g.rdx = 1.0f / g.dx;
    g.rdz = 1.0f / g.dz;
    g.area = g.dx * g.dz;
    item("DEPTH OPTION (RECORD 7)", [&] { in_.need("(2I5)", g.kdepth); });
    g.depth.fill(0.0f);
    if (g.kdepth == 1) {
        for (int m = 1; m <= g.mmax; ++m)
            for (int n = 1; n <= g.nmax; ++n) g.depth(n, m) = g.depc;
    } else {
        item("DEPTH GRID (RECORD 8)", [&] { read_rows(in_, g, g.depth); });
    }
    item("DUMP LOCATION (RECORD 9)", [&] { in_.need("(8F10.0)", g.xbarge, g.zbarge); });
}

void Deck::ambient(const Grid& g, Ambient& a) {
    item("BOTTOM ROUGHNESS (RECORD 10)", [&] { in_.need("(8F10.0)", a.rough, a.zref); });
    if (a.kwave == 1) {
        item("WAVES (RECORD 11)", [&] { in_.need("(8F10.0)", a.hwave, a.twave, a.dwave); });
        a.dwave *= kToRadians;
    }
    item("DENSITY PROFILE SIZE (RECORD 12)", [&] { in_.need("(16I5)", a.prof.ndens); });
    check_range("NDENS", a.prof.ndens, 1, kMaxDensities);
    const auto nd = static_cast<std::size_t>(a.prof.ndens);
    item("PROFILE DEPTHS (RECORD 13)",
         [&] { in_.need("(8F10.0)", recio::array(a.prof.depth.data(), nd)); });
    item("PROFILE DENSITIES (RECORD 14)",
         [&] { in_.need("(8F10.0)", recio::array(a.prof.dens.data(), nd)); });
    for (std::size_t i = 0; i < nd; ++i) {
        a.prof.dens_gcc[i] = a.prof.dens[i];
        a.prof.dens[i] *= kToSlugs;
    }
    item("VELOCITY OPTION (RECORD 15)", [&] { in_.need("(16I5)", a.kvel); });
    check_range("KVEL", a.kvel, 1, 4);
    a.u.fill(0.0f);
    a.w.fill(0.0f);
    if (a.kvel == 1 || a.kvel == 2) {
        item("VELOCITY OBSERVATION (RECORD 16)",
             [&] { in_.need("(8F10.0)", a.vax, a.vaz, a.dobs); });
    } else if (a.kvel == 4) {
        item("VELOCITY GRIDS (RECORD 17)", [&] {
            read_rows(in_, g, a.u);
            read_rows(in_, g, a.w);
        });
    } else {
        item("TWO-POINT PROFILES (RECORD 18)",
             [&] { in_.need("(8F10.0)", a.du1, a.du2, a.uu1, a.uu2, a.dw1, a.dw2, a.ww1, a.ww2); });
    }
}

void Deck::times(Times& t) {
    item("TIMES (RECORD 19)", [&] { in_.need("(8F10.0)", t.tstop, t.dtl, t.trel); });
    if (!(t.dtl > 0.0f))
        throw Stop({"INPUT DECK ERROR: THE LONG-TERM TIME STEP DTL MUST BE GREATER THAN ZERO.",
                    "EXECUTION STOPPED."});
}

void Deck::vessel(Vessel& v) {
    item("VESSEL (RECORD 20)", [&] {
        in_.need("(9E10.0)", v.bargl, v.bargw, v.drel1, v.drel2, v.rhow, v.tdis, v.binl, v.binw,
                 v.theta);
    });
    v.theta *= kToRadians;
}

void Deck::coefficients(Coefs& k) {
    item("COEFFICIENTS (RECORD 21)", [&] { in_.need("(9E10.0)", k.alpha0, k.beta, k.cm, k.cd); });
    item("COEFFICIENTS (RECORD 22)",
         [&] { in_.need("(9E10.0)", k.gama, k.cdrag, k.cfric, k.cd3, k.cd4, k.alphac, k.frictn); });
    item("COEFFICIENTS (RECORD 23)",
         [&] { in_.need("(9E10.0)", k.alamda, k.aky0, k.cstrip, k.cbed1, k.cbed2); });
}

void Deck::layer(float& cu, float& cw, float& vollay) {
    item("LAYER (RECORD 24A)", [&] { in_.need("(9E10.0)", cu, cw, vollay); });
}

void Deck::fraction(Fraction& f) {
    item("SOLIDS FRACTION (RECORD 24B)", [&] {
        in_.need("(A8,2X,5E10.0,3I5)", recio::fixed_text(f.name, 8), f.sg_gcc, f.conc, f.vfall,
                 f.voidr, f.taucd, f.kcohes, f.kstrip);
    });
}

void Deck::print_times(int nprt, std::vector<float>& t) {
    t.assign(static_cast<std::size_t>(nprt), 0.0f);
    item("PRINT TIMES (RECORD 25)",
         [&] { in_.need("(8F10.0)", recio::array(t.data(), t.size())); });
}

}  // namespace cloudex
