// modify: an edited copy of an existing disposal site, from MODIFY.INI.
#include "modify/modify.hpp"
#include "recio/program.hpp"

int main() {
    return recio::run_main({"MODIFY", "NO FILE WRITTEN"}, [] { return modify::run(); });
}
