// UTILITY: grid utilities, started by the menu with a flag word in ACTION.BAT.
#include "recio/program.hpp"
#include "utility/utility.hpp"

int main() {
    return recio::run_main({"UTILITY", ""}, [] { return utility::run_utility(); });
}
