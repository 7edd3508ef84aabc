// LOADPAT: lays out a pattern of dump locations over a disposal site.
#include "loadpat/loadpat.hpp"
#include "recio/console.hpp"

int main() {
    try {
        return loadpat::run_loadpat();  // seeded from the clock
    } catch (const recio::RecordError& e) {
        recio::console_list(e.what());
        return 1;
    }
}
