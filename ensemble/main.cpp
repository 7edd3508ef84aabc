// ensemble: many seeded placement runs of one activity, on GNU parallel or a
// Slurm job array, with statistics per grid point and per member.
//   ensemble RUN_FOLDER --members N [--seed S] [--engine local|slurm] [--plans FILE] -o OUT
#include "ensemble/program.hpp"
#include "recio/program.hpp"

int main(int argc, char** argv) {
    return recio::run_main({"ENSEMBLE", "", false}, [&] { return ensemble::run(argc, argv); });
}
