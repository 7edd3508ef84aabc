// Test decks for the fate model, written record by record in the layouts the
// placement simulator uses for CLDX.DUE, plus the records it never writes
// (coefficients, constant depth, velocity grids and profiles).
#pragma once

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "recio/format.hpp"
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
    std::vector<std::vector<float>> coefs;         // three records when key1 = 1
    float cu = 0.0f, cw = 0.0f, volume = 1000.0f;  // per layer: volume / nlayer
    std::vector<FractionSpec> fractions{FractionSpec{}};
    std::vector<float> tprint{900.0f, 1800.0f};
    bool write_nprt = true;  // NPRT = tprint.size()

    std::vector<std::string> records() const {
        using recio::format_records;
        std::vector<std::string> r;
        const auto add = [&](const std::vector<std::string>& v) {
            r.insert(r.end(), v.begin(), v.end());
        };
        const auto reals = [&](const char* fmt, std::vector<float> v) {
            add(format_records(fmt, recio::array(v.data(), v.size())));
        };
        std::string title = "CLOUDEX DATA-FILE USED FOR vexal";
        title.resize(60, ' ');
        r.push_back(title);
        add(format_records(suitefiles::DECK_PAIR_OUT, kvessel, 0));
        add(format_records(suitefiles::DECK_INTEGERS, nmax, mmax,
                           static_cast<int>(fractions.size()), nlayer, nbins));
        add(format_records(suitefiles::DECK_INTEGERS, key1, kvary, kwave));
        add(format_records(suitefiles::DECK_INTEGERS, kpdesc, kpcoll,
                           write_nprt ? static_cast<int>(tprint.size()) : 0));
        add(format_records(suitefiles::DECK_REALS_OUT, depc, dx, dz));
        add(format_records(suitefiles::DECK_PAIR_OUT, kdepth, 0));
        if (kdepth != 1)
            for (int m = 1; m <= mmax; ++m) {
                std::vector<float> row;
                for (int n = 1; n <= nmax; ++n) row.push_back(depth(n, m));
                reals(suitefiles::DECK_GRID_ROW, row);
            }
        add(format_records(suitefiles::DECK_REALS_OUT, xbarge, zbarge));
        add(format_records(suitefiles::DECK_FINE_OUT, rough, zref));
        if (kwave == 1) add(format_records(suitefiles::DECK_REALS_OUT, hwave, twave, dwave));
        add(format_records(suitefiles::DECK_INTEGERS, static_cast<int>(pdepth.size())));
        reals(suitefiles::DECK_REALS_OUT, pdepth);
        reals(suitefiles::DECK_FINE_OUT, pdens);
        add(format_records(suitefiles::DECK_INTEGERS, kvel));
        if (kvel == 1 || kvel == 2) add(format_records(suitefiles::DECK_REALS_OUT, vax, vaz, dobs));
        if (kvel == 4)
            for (const auto& grid : {ugrid, wgrid})
                for (int m = 1; m <= mmax; ++m) {
                    std::vector<float> row;
                    for (int n = 1; n <= nmax; ++n) row.push_back(grid(n, m));
                    reals(suitefiles::DECK_GRID_ROW, row);
                }
        if (kvel == 3) reals(suitefiles::DECK_PROFILES_OUT, profiles);
        add(format_records(suitefiles::DECK_TIMES_OUT, tstop, dtl, trel));
        add(format_records(suitefiles::DECK_REALS_OUT, bargl, bargw, drel1, drel2, rhow, tdis, binl,
                           binw, theta));
        if (key1 == 1)
            for (const auto& c : coefs) reals(suitefiles::DECK_COEFFICIENTS_OUT, c);
        for (int l = 0; l < nlayer; ++l) {
            add(format_records(suitefiles::DECK_LAYER_OUT, cu, cw,
                               volume / static_cast<float>(nlayer)));
            for (const FractionSpec& f : fractions) {
                std::string name = f.name;
                name.resize(8, ' ');
                add(format_records(suitefiles::DECK_FRACTION_OUT, name, f.sg, f.conc, f.vfall,
                                   f.voidr, f.taucd, f.kcohes, f.kstrip));
            }
        }
        if (write_nprt && !tprint.empty()) reals(suitefiles::DECK_REALS_OUT, tprint);
        return r;
    }

    void write(const std::filesystem::path& path) const {
        std::ofstream out(path, std::ios::binary);
        for (const std::string& rec : records()) out << rec << '\n';
    }
};

}  // namespace cloudex_test
