// A whole fate-model run on an arbitrary deck: grid set-up, descent,
// collapse, small clouds and the long-term phase. The run must end as
// completed, stopped or refused, with no crash and no undefined behaviour.
// Decks asking for more than 2000 long-term steps are valid but too slow to
// be worth their time here; the deck reader alone sees them (deck_fuzz).
#include <cstdint>
#include <memory>

#include "cloudex/deck.hpp"
#include "cloudex/run.hpp"
#include "fuzz_file.hpp"

namespace {

// The long-term step count the deck asks for, or -1 if the deck is refused
// before its times.
float long_term_steps() {
    recio::RecordReader in("CLDX.DUE");
    auto r = std::make_unique<cloudex::Run>();
    cloudex::Deck deck(in);
    try {
        deck.heading(r->ctl);
        deck.sizes(r->ctl, r->grid);
        deck.options(r->ctl, r->amb);
        deck.grid(r->grid);
        deck.ambient(r->grid, r->amb);
        deck.times(r->times);
    } catch (const cloudex::Stop&) {
        return -1.0f;
    } catch (const recio::RecordError&) {
        return -1.0f;
    }
    return r->times.tstop / r->times.dtl;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("CLDX.DUE", data, size);
    if (long_term_steps() > 2000.0f) return 0;
    auto r = std::make_unique<cloudex::Run>();
    cloudex::run_fate(*r, "CLDX");
    return 0;
}
