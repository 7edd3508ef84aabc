// LOADPAT: lays out a pattern of dump locations over a disposal site.
#include "loadpat/loadpat.hpp"
#include "recio/program.hpp"

int main() {
    return recio::run_main({"LOADPAT", ""},
                           [] { return loadpat::run_loadpat(); });  // seeded from the clock
}
