// Test decks for the fate model: the values of a deck with defaults for a
// small barge run, written by the deck's one writer, including the records
// the placement simulator never writes (coefficients, constant depth,
// velocity grids and profiles).
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "suitefiles/deck.hpp"

namespace cloudex_test {

struct FractionSpec {
    std::string name = "SAND";
    float sg = 2.65f, conc = 0.3f, vfall = 0.1f, voidr = 0.8f, taucd = 0.5f;
    int kcohes = 0, kstrip = 0;
};

struct DeckSpec {
    int kvessel = 3, nmax = 24, mmax = 24, nlayer = 1, nbins = 0;
    int key1 = 0, kvary = 0, kwave = 0, kpdesc = 1, kpcoll = 1;
    float depc = 50.0f, dx = 100.0f, dz = 100.0f;
    int kdepth = 2;
    std::function<float(int n, int m)> depth = [](int, int) { return 50.0f; };
    float xbarge = 1200.0f, zbarge = 1200.0f;
    float rough = 0.01f, zref = 1.0f;
    float hwave = 2.0f, twave = 8.0f, dwave = 45.0f;
    std::vector<float> pdepth{0.0f, 100.0f}, pdens{1.025f, 1.025f};
    int kvel = 1;
    float vax = 0.3f, vaz = 0.1f, dobs = 50.0f;
    std::function<float(int n, int m)> ugrid = [](int, int) { return 0.3f; };
    std::function<float(int n, int m)> wgrid = [](int, int) { return 0.1f; };
    std::vector<float> profiles{10.0f, 40.0f, 0.3f, 0.2f, 10.0f, 40.0f, 0.1f, 0.05f};
    float tstop = 1800.0f, dtl = 60.0f, trel = 30.0f;
    float bargl = 200.0f, bargw = 42.0f, drel1 = 12.0f, drel2 = 3.0f, rhow = 1.025f, tdis = 0,
          binl = 0, binw = 0, theta = 0;
    std::vector<std::vector<float>> coefs;         // records 21-23 (4, 7, 5 values) when key1 = 1
    float cu = 0.0f, cw = 0.0f, volume = 1000.0f;  // per layer: volume / nlayer
    std::vector<FractionSpec> fractions{FractionSpec{}};
    std::vector<float> tprint{900.0f, 1800.0f};
    bool write_nprt = true;  // NPRT = tprint.size()

    // The deck these values describe; its pair records carry a 0 in their
    // unread second field, as decks made by hand often do.
    suitefiles::FateDeck deck() const {
        suitefiles::FateDeck d;
        const auto grid = [&](const std::function<float(int, int)>& value) {
            std::vector<float> g;
            for (int m = 1; m <= mmax; ++m)
                for (int n = 1; n <= nmax; ++n) g.push_back(value(n, m));
            return g;
        };
        const auto count = [](std::size_t n) { return static_cast<std::int16_t>(n); };
        d.title = "CLOUDEX DATA-FILE USED FOR vexal";
        d.unread_second = 0;
        d.kvessel = static_cast<std::int16_t>(kvessel);
        d.nmax = static_cast<std::int16_t>(nmax);
        d.mmax = static_cast<std::int16_t>(mmax);
        d.nsolid = count(fractions.size());
        d.nlayer = static_cast<std::int16_t>(nlayer);
        d.nbins = static_cast<std::int16_t>(nbins);
        d.key1 = static_cast<std::int16_t>(key1);
        d.kvary = static_cast<std::int16_t>(kvary);
        d.kwave = static_cast<std::int16_t>(kwave);
        d.kpdesc = static_cast<std::int16_t>(kpdesc);
        d.kpcoll = static_cast<std::int16_t>(kpcoll);
        d.nprt = write_nprt ? count(tprint.size()) : std::int16_t{0};
        d.depc = depc;
        d.dx = dx;
        d.dz = dz;
        d.kdepth = static_cast<std::int16_t>(kdepth);
        d.depth = grid(depth);
        d.xbarge = xbarge;
        d.zbarge = zbarge;
        d.rough = rough;
        d.zref = zref;
        d.hwave = hwave;
        d.twave = twave;
        d.dwave = dwave;
        d.ndens = count(pdepth.size());
        d.profile_depth = pdepth;
        d.profile_density = pdens;
        d.kvel = static_cast<std::int16_t>(kvel);
        d.vax = vax;
        d.vaz = vaz;
        d.dobs = dobs;
        d.u = grid(ugrid);
        d.w = grid(wgrid);
        d.du1 = profiles[0];
        d.du2 = profiles[1];
        d.uu1 = profiles[2];
        d.uu2 = profiles[3];
        d.dw1 = profiles[4];
        d.dw2 = profiles[5];
        d.ww1 = profiles[6];
        d.ww2 = profiles[7];
        d.tstop = tstop;
        d.dtl = dtl;
        d.trel = trel;
        d.bargl = bargl;
        d.bargw = bargw;
        d.drel1 = drel1;
        d.drel2 = drel2;
        d.rhow = rhow;
        d.tdis = tdis;
        d.binl = binl;
        d.binw = binw;
        d.theta = theta;
        if (coefs.size() == 3) {
            suitefiles::DeckCoefficients& k = d.coefficients;
            const auto& c = coefs;
            k = {c[0].at(0), c[0].at(1), c[0].at(2), c[0].at(3), c[1].at(0), c[1].at(1),
                 c[1].at(2), c[1].at(3), c[1].at(4), c[1].at(5), c[1].at(6), c[2].at(0),
                 c[2].at(1), c[2].at(2), c[2].at(3), c[2].at(4)};
        }
        suitefiles::DeckLayer layer{cu, cw, volume / static_cast<float>(nlayer), {}};
        for (const FractionSpec& f : fractions)
            layer.fractions.push_back({f.name, f.sg, f.conc, f.vfall, f.voidr, f.taucd,
                                       static_cast<std::int16_t>(f.kcohes),
                                       static_cast<std::int16_t>(f.kstrip)});
        d.layers.assign(static_cast<std::size_t>(nlayer > 0 ? nlayer : 0), layer);
        if (write_nprt) d.tprint = tprint;
        return d;
    }

    std::vector<std::string> records() const { return suitefiles::fate_deck_records(deck()); }

    void write(const std::filesystem::path& path) const {
        std::ofstream out(path, std::ios::binary);
        for (const std::string& rec : records()) out << rec << '\n';
    }
};

}  // namespace cloudex_test
