// sitegen: creates a new disposal site grid from SITEGEN.INI.
#include "recio/program.hpp"
#include "sitegen/sitegen.hpp"

int main() {
    return recio::run_main({"SITEGEN", "NO GRID WRITTEN"}, [] { return sitegen::run(); });
}
