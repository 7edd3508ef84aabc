// CLOUDEX: the short-term fate of one dredged-material disposal operation.
// Reads the deck CLDX.DUE and writes the listing CLDX.DUO and the deposit
// file CLDX.DUT in the current folder; takes no arguments.
#include <memory>

#include "cloudex/run.hpp"

int main() {
    auto run = std::make_unique<cloudex::Run>();
    switch (cloudex::run_fate(*run, "CLDX")) {
        case cloudex::RunEnd::Completed:
            return 0;
        case cloudex::RunEnd::Stopped:
            return 2;
        case cloudex::RunEnd::InputError:
            return 1;
    }
    return 1;
}
