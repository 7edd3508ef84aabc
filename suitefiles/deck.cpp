// CLDX.DUE: the writer and the reader of the fate model's input deck.
#include "suitefiles/deck.hpp"

#include <algorithm>
#include <utility>

#include "recio/items.hpp"

namespace suitefiles {
namespace {

// Collects the deck's records and names the first numeric field whose
// value did not fit (asterisks, NaN, Infinity).
class DeckRecords {
  public:
    explicit DeckRecords(std::string& problem) : problem_(problem) { problem_.clear(); }

    void text(std::string record) { records_.push_back(std::move(record)); }

    // Records of numeric fields of `width` columns from column `from`
    // (0-based); a field before `from` counts as field 1.
    void numbers(std::size_t from, std::size_t width, std::vector<std::string> recs) {
        for (std::string& r : recs) {
            records_.push_back(std::move(r));
            if (!problem_.empty()) continue;
            const std::string& t = records_.back();
            const std::size_t bad = t.find_first_of("*NI", from);
            if (bad != std::string::npos)
                problem_ = std::string("CLDX.DUE RECORD ") + std::to_string(records_.size()) +
                           ", FIELD " +
                           std::to_string((bad - from) / width + 1 + (from > 0 ? 1 : 0)) +
                           ": A VALUE DOES NOT FIT ITS FIELD: \"" + t + "\"";
        }
    }
    template <class... A>
    void integers(const char* format, const A&... values) {
        numbers(0, 5, recio::format_records(format, values...));
    }
    template <class... A>
    void reals(const char* format, const A&... values) {
        numbers(0, 10, recio::format_records(format, values...));
    }
    void reals(const char* format, const std::vector<float>& values) {
        numbers(0, 10, recio::format_records(format, recio::array(values.data(), values.size())));
    }
    // `rows` rows of `per_row` values of a grid, each row starting a new
    // record, as the reader takes them (rows past the end of `values` and
    // rows of no values give a record of no values).
    void grid(const std::vector<float>& values, std::int16_t rows, std::int16_t per_row) {
        const auto n = static_cast<std::size_t>(std::max<int>(0, per_row));
        for (std::size_t m = 0; m < static_cast<std::size_t>(std::max<int>(0, rows)); ++m) {
            const std::size_t at = std::min(values.size(), m * n);
            numbers(0, 8,
                    recio::format_records(
                        DECK_GRID_ROW,
                        recio::array(values.data() + at, std::min(n, values.size() - at))));
        }
    }

    std::vector<std::string> take() { return std::move(records_); }

  private:
    std::vector<std::string> records_;
    std::string& problem_;
};

}  // namespace

std::vector<std::string> fate_deck_records(const FateDeck& d, std::string& problem) {
    DeckRecords out(problem);
    out.text(recio::padded(d.title, DECK_TITLE_LENGTH));  // a text: not checked
    const auto pair = [&](std::int16_t first) {
        if (d.unread_second)
            out.integers(DECK_PAIR_OUT, first, *d.unread_second);
        else
            out.integers(DECK_PAIR_OUT, first);
    };
    pair(d.kvessel);
    out.integers(DECK_INTEGERS, d.nmax, d.mmax, d.nsolid, d.nlayer, d.nbins);
    out.integers(DECK_INTEGERS, d.key1, d.kvary, d.kwave);
    out.integers(DECK_INTEGERS, d.kpdesc, d.kpcoll, d.nprt);
    out.reals(DECK_REALS_OUT, d.depc, d.dx, d.dz);
    pair(d.kdepth);
    if (d.kdepth != DECK_CONSTANT_DEPTH) out.grid(d.depth, d.mmax, d.nmax);
    out.reals(DECK_REALS_OUT, d.xbarge, d.zbarge);
    out.reals(DECK_FINE_OUT, d.rough, d.zref);
    if (d.kwave == DECK_WAVES) out.reals(DECK_REALS_OUT, d.hwave, d.twave, d.dwave);
    out.integers(DECK_INTEGERS, d.ndens);
    out.reals(DECK_LIST_OUT, d.profile_depth);
    out.reals(DECK_FINE_OUT, d.profile_density);
    out.integers(DECK_INTEGERS, d.kvel);
    switch (static_cast<DeckVelocity>(d.kvel)) {
        case DeckVelocity::Observed:
        case DeckVelocity::ObservedLog:
            out.reals(DECK_REALS_OUT, d.vax, d.vaz, d.dobs);
            break;
        case DeckVelocity::Grids:
            out.grid(d.u, d.mmax, d.nmax);
            out.grid(d.w, d.mmax, d.nmax);
            break;
        case DeckVelocity::Profiles:
            out.reals(DECK_PROFILES_OUT, d.du1, d.du2, d.uu1, d.uu2, d.dw1, d.dw2, d.ww1, d.ww2);
            break;
    }
    out.reals(DECK_TIMES_OUT, d.tstop, d.dtl, d.trel);
    out.reals(DECK_REALS_OUT, d.bargl, d.bargw, d.drel1, d.drel2, d.rhow, d.tdis, d.binl, d.binw,
              d.theta);
    if (d.key1 == DECK_COEFFICIENTS) {
        const DeckCoefficients& k = d.coefficients;
        out.reals(DECK_COEFFICIENTS_OUT, k.alpha0, k.beta, k.cm, k.cd);
        out.reals(DECK_COEFFICIENTS_OUT, k.gama, k.cdrag, k.cfric, k.cd3, k.cd4, k.alphac,
                  k.frictn);
        out.reals(DECK_COEFFICIENTS_OUT, k.alamda, k.aky0, k.cstrip, k.cbed1, k.cbed2);
    }
    for (const DeckLayer& layer : d.layers) {
        out.reals(DECK_LAYER_OUT, layer.cu, layer.cw, layer.vollay);
        for (const DeckFraction& f : layer.fractions)
            out.numbers(
                DECK_FRACTION_REALS_FROM, 10,
                recio::format_records(DECK_FRACTION_OUT, recio::padded(f.name, DECK_FRACTION_NAME),
                                      f.sg, f.conc, f.vfall, f.voidr, f.taucd, f.kcohes, f.kstrip));
    }
    if (d.nprt >= 1) out.reals(DECK_LIST_OUT, d.tprint);
    return out.take();
}

std::vector<std::string> fate_deck_records(const FateDeck& deck) {
    std::string problem;
    return fate_deck_records(deck, problem);
}

// ---------------------------------------------------------------- reader

namespace {

using recio::need_from;

// `count` reals of one list, continued on further records.
void need_list(recio::RecordSource& in, const char* format, std::vector<float>& values,
               std::int16_t count) {
    values.assign(static_cast<std::size_t>(count > 0 ? count : 0), 0.0f);
    need_from(in, format, recio::array(values.data(), values.size()));
}

// Appends one grid row of NMAX values.
void need_row(recio::RecordSource& in, std::int16_t nmax, std::vector<float>& grid) {
    std::vector<float> row;
    need_list(in, DECK_GRID_ROW, row, nmax);
    grid.insert(grid.end(), row.begin(), row.end());
}

}  // namespace

void FateDeckReader::title() {
    need_from(in_, DECK_TITLE, recio::fixed_text(deck_.title, static_cast<int>(DECK_TITLE_LENGTH)));
}
void FateDeckReader::vessel_type() {
    need_from(in_, DECK_INTEGERS, deck_.kvessel);
}
void FateDeckReader::sizes() {
    need_from(in_, DECK_INTEGERS, deck_.nmax, deck_.mmax, deck_.nsolid, deck_.nlayer, deck_.nbins);
}
void FateDeckReader::options() {
    need_from(in_, DECK_INTEGERS, deck_.key1, deck_.kvary, deck_.kwave);
}
void FateDeckReader::print_control() {
    need_from(in_, DECK_INTEGERS, deck_.kpdesc, deck_.kpcoll, deck_.nprt);
}
void FateDeckReader::spacing() {
    need_from(in_, DECK_REALS_IN, deck_.depc, deck_.dx, deck_.dz);
}
void FateDeckReader::depth_option() {
    need_from(in_, DECK_PAIR_IN, deck_.kdepth);
}
void FateDeckReader::depth_row() {
    need_row(in_, deck_.nmax, deck_.depth);
}
void FateDeckReader::dump_location() {
    need_from(in_, DECK_REALS_IN, deck_.xbarge, deck_.zbarge);
}
void FateDeckReader::roughness() {
    need_from(in_, DECK_REALS_IN, deck_.rough, deck_.zref);
}
void FateDeckReader::waves() {
    need_from(in_, DECK_REALS_IN, deck_.hwave, deck_.twave, deck_.dwave);
}
void FateDeckReader::profile_size() {
    need_from(in_, DECK_INTEGERS, deck_.ndens);
}
void FateDeckReader::profile_depths() {
    need_list(in_, DECK_REALS_IN, deck_.profile_depth, deck_.ndens);
}
void FateDeckReader::profile_densities() {
    need_list(in_, DECK_REALS_IN, deck_.profile_density, deck_.ndens);
}
void FateDeckReader::velocity_option() {
    need_from(in_, DECK_INTEGERS, deck_.kvel);
}
void FateDeckReader::observation() {
    need_from(in_, DECK_REALS_IN, deck_.vax, deck_.vaz, deck_.dobs);
}
void FateDeckReader::velocity_row(std::vector<float>& grid) {
    need_row(in_, deck_.nmax, grid);
}
void FateDeckReader::velocity_profiles() {
    FateDeck& d = deck_;
    need_from(in_, DECK_REALS_IN, d.du1, d.du2, d.uu1, d.uu2, d.dw1, d.dw2, d.ww1, d.ww2);
}
void FateDeckReader::times() {
    need_from(in_, DECK_REALS_IN, deck_.tstop, deck_.dtl, deck_.trel);
}
void FateDeckReader::vessel() {
    FateDeck& d = deck_;
    need_from(in_, DECK_LONG_REALS_IN, d.bargl, d.bargw, d.drel1, d.drel2, d.rhow, d.tdis, d.binl,
              d.binw, d.theta);
}
void FateDeckReader::coefficients_first() {
    DeckCoefficients& k = deck_.coefficients;
    need_from(in_, DECK_LONG_REALS_IN, k.alpha0, k.beta, k.cm, k.cd);
}
void FateDeckReader::coefficients_second() {
    DeckCoefficients& k = deck_.coefficients;
    need_from(in_, DECK_LONG_REALS_IN, k.gama, k.cdrag, k.cfric, k.cd3, k.cd4, k.alphac, k.frictn);
}
void FateDeckReader::coefficients_third() {
    DeckCoefficients& k = deck_.coefficients;
    need_from(in_, DECK_LONG_REALS_IN, k.alamda, k.aky0, k.cstrip, k.cbed1, k.cbed2);
}
void FateDeckReader::layer() {
    DeckLayer l;
    need_from(in_, DECK_LONG_REALS_IN, l.cu, l.cw, l.vollay);
    deck_.layers.push_back(std::move(l));
}
void FateDeckReader::fraction() {
    DeckFraction f;
    need_from(in_, DECK_FRACTION_IN,
              recio::fixed_text(f.name, static_cast<int>(DECK_FRACTION_NAME)), f.sg, f.conc,
              f.vfall, f.voidr, f.taucd, f.kcohes, f.kstrip);
    if (deck_.layers.empty()) deck_.layers.emplace_back();
    deck_.layers.back().fractions.push_back(std::move(f));
}
void FateDeckReader::print_times() {
    need_list(in_, DECK_REALS_IN, deck_.tprint, deck_.nprt);
}

FateDeck read_fate_deck(recio::RecordSource& in) {
    FateDeck d;
    FateDeckReader read(in, d);
    read.title();
    read.vessel_type();
    read.sizes();
    read.options();
    read.print_control();
    read.spacing();
    read.depth_option();
    if (d.kdepth != DECK_CONSTANT_DEPTH)
        for (int m = 0; m < d.mmax; ++m) read.depth_row();
    read.dump_location();
    read.roughness();
    if (d.kwave == DECK_WAVES) read.waves();
    read.profile_size();
    read.profile_depths();
    read.profile_densities();
    read.velocity_option();
    switch (static_cast<DeckVelocity>(d.kvel)) {
        case DeckVelocity::Observed:
        case DeckVelocity::ObservedLog:
            read.observation();
            break;
        case DeckVelocity::Grids:
            for (int m = 0; m < d.mmax; ++m) read.velocity_row(d.u);
            for (int m = 0; m < d.mmax; ++m) read.velocity_row(d.w);
            break;
        case DeckVelocity::Profiles:
            read.velocity_profiles();
            break;
    }
    read.times();
    read.vessel();
    if (d.key1 == DECK_COEFFICIENTS) {
        read.coefficients_first();
        read.coefficients_second();
        read.coefficients_third();
    }
    for (int l = 0; l < d.nlayer; ++l) {
        read.layer();
        for (int i = 0; i < d.nsolid; ++i) read.fraction();
    }
    if (d.nprt >= 1) read.print_times();
    return d;
}

}  // namespace suitefiles
