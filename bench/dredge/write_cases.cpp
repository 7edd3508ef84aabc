// Writes the inputs of the long-term model's benchmark weeks, one folder per
// case, so that the dredge programs of two builds can be run on them:
//
//   dredge_bench_cases DIR      (DIR/CohesiveWeek201/PCD.INI, ...)
#include <cstdio>
#include <filesystem>

#include "cases.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dredge_bench_cases DIR\n");
        return 2;
    }
    namespace fs = std::filesystem;
    for (const dredge_bench::WeekCase& c : dredge_bench::kWeekCases) {
        const fs::path dir = fs::path(argv[1]) / c.name;
        fs::create_directories(dir);
        dredge_bench::write_case(dir, c, DREDGE_DATA_DIR);
    }
    return 0;
}
