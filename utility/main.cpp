// UTILITY: grid utilities, started by the menu with a flag word in ACTION.BAT.
#include "recio/console.hpp"
#include "utility/utility.hpp"

int main() {
    try {
        return utility::run_utility();
    } catch (const recio::RecordError& e) {
        recio::console_list(e.what());
        return 1;
    }
}
