// The fate model's deck reader on arbitrary text: every record of CLDX.DUE
// in the order of a run, without the model between them. Every outcome must
// be a deck, a Stop naming a value the model cannot hold, or a RecordError.
#include <cstdint>
#include <memory>

#include "cloudex/deck.hpp"
#include "cloudex/run.hpp"
#include "fuzz_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("CLDX.DUE", data, size);
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
        deck.vessel(r->vessel);
        if (r->ctl.key1 == 1) deck.coefficients(r->coef);
        r->frac.assign(static_cast<std::size_t>(r->ctl.nsolid), cloudex::Fraction{});
        for (int layer = 1; layer <= r->ctl.nlayer; ++layer) {
            float cu = 0, cw = 0, vollay = 0;
            deck.layer(cu, cw, vollay);
            for (cloudex::Fraction& f : r->frac) deck.fraction(f);
        }
        if (r->ctl.nprt >= 1) deck.print_times(r->ctl.nprt, r->times.tprint);
    } catch (const cloudex::Stop&) {
    } catch (const recio::RecordError&) {
    }
    return 0;
}
