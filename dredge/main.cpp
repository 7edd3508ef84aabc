// DREDGE: the long-term mound model. Takes its settings from PCD.INI in the
// current folder; see driver.hpp.
#include "dredge/driver.hpp"
#include "recio/program.hpp"

int main() {
    return recio::run_main({"DREDGE", ""}, [] { return dredge::run_dredge(); });
}
