// One arbitrary input read as CLDX.DUE by the whole-deck reader. Every
// outcome must be a deck or a RecordError; a deck whose values all fit the
// writer's fields, written and read again, must give the same records.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_file.hpp"
#include "recio/held_records.hpp"
#include "recio/records.hpp"
#include "suitefiles/deck.hpp"

namespace {

// The fraction record is read two columns to the right of where it is
// written: its values come back only while each real keeps two leading
// blanks and each integer fits three columns.
bool fractions_read_back(const suitefiles::FateDeck& d) {
    const auto fits = [](float v) { return v > -9.99999f && v < 99.99999f; };
    const auto fits_int = [](std::int16_t i) { return i >= -99 && i <= 999; };
    for (const suitefiles::DeckLayer& l : d.layers)
        for (const suitefiles::DeckFraction& f : l.fractions)
            if (!fits(f.sg) || !fits(f.conc) || !fits(f.vfall) || !fits(f.voidr) ||
                !fits(f.taucd) || !fits_int(f.kcohes) || !fits_int(f.kstrip))
                return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("CLDX.DUE", data, size);
    suitefiles::FateDeck first;
    try {
        recio::RecordReader in("CLDX.DUE");
        first = suitefiles::read_fate_deck(in);
    } catch (const recio::RecordError&) {
        return 0;
    }
    std::string problem;
    const std::vector<std::string> once = suitefiles::fate_deck_records(first, problem);
    if (!problem.empty() || !fractions_read_back(first)) return 0;
    suitefiles::FateDeck second;
    try {
        recio::HeldRecords again("CLDX.DUE", once);
        second = suitefiles::read_fate_deck(again);
    } catch (const recio::RecordError&) {
        std::abort();  // the writer's own records must read
    }
    if (suitefiles::fate_deck_records(second) != once) std::abort();
    return 0;
}
