// CLOUDEX: the short-term fate of one dredged-material disposal operation.
// Reads the deck CLDX.DUE and writes the listing CLDX.DUO and the deposit
// file CLDX.DUT in the current folder; takes no arguments.
#include <memory>

#include "cloudex/run.hpp"
#include "recio/program.hpp"

int main() {
    return recio::run_main({"CLOUDEX", ""}, [] {
        auto run = std::make_unique<cloudex::Run>();
        const cloudex::RunEnd end = cloudex::run_fate(*run, "CLDX");
        return end == cloudex::RunEnd::Completed ? recio::STATUS_DONE : recio::STATUS_FAILED;
    });
}
