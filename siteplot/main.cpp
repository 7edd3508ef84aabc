// siteplot: pictures of a disposal site from the suite's files — depth maps,
// deposit thickness, one load's deposit, the mound's evolution.
#include <iostream>

#include "recio/program.hpp"
#include "siteplot/commands.hpp"

int main(int argc, char** argv) {
    return recio::run_main({"SITEPLOT", "", false},
                           [&] { return siteplot::run(argc, argv, std::cout); });
}
