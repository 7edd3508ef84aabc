// modify: an edited copy of an existing disposal site, from MODIFY.INI.
#include "modify/modify.hpp"
#include "recio/console.hpp"

int main() {
    try {
        return modify::run();
    } catch (const recio::RecordError& e) {
        recio::console_list(e.what());
        recio::console_list("NO FILE WRITTEN");
        return 1;
    }
}
