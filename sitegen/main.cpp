// sitegen: creates a new disposal site grid from SITEGEN.INI.
#include "recio/console.hpp"
#include "sitegen/sitegen.hpp"

int main() {
    try {
        return sitegen::run();
    } catch (const recio::RecordError& e) {
        recio::console_list(e.what());
        recio::console_list("NO GRID WRITTEN");
        return 1;
    }
}
