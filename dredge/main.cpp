// DREDGE: the long-term mound model. Takes its settings from PCD.INI in the
// current folder; see driver.hpp.
#include "dredge/driver.hpp"

int main() {
    return dredge::run_dredge();
}
