// The ensemble program's command line and its course: plan, prepare, run, aggregate.
#include <CLI/CLI.hpp>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "ensemble/ensemble.hpp"
#include "ensemble/program.hpp"
#include "recio/folder_lock.hpp"
#include "recio/program.hpp"
#include "recio/records.hpp"
#include "results/errors.hpp"

namespace fs = std::filesystem;

namespace ensemble {
namespace {

using results::InputError;

struct CommandLine {
    std::string run_folder, out_folder, plans_file;
    int members = 0;
    std::optional<std::uint32_t> seed;
    EngineOptions engine;
    AggregateOptions aggregate;
};

// Runs member folders one after another (what an engine starts); 0 when all are done.
int run_member_folders(const std::vector<std::string>& folders) {
    const std::string placer = sibling_program("placer");
    int failed = 0;
    for (const std::string& f : folders) {
        if (f.empty()) continue;
        const bool done = run_member(f, placer);
        std::cout << (done ? " DONE   " : " FAILED ") << f << " (STATUS "
                  << read_member_status(f).exit_status << ")" << std::endl;
        failed += !done;
    }
    return failed ? recio::STATUS_FAILED : recio::STATUS_DONE;
}

int run_member_list(const std::string& list) {
    std::ifstream in(list);
    if (!in) throw InputError("CANNOT READ THE MEMBER LIST " + list);
    std::vector<std::string> folders;
    for (std::string line; std::getline(in, line);) folders.push_back(line);
    return run_member_folders(folders);
}

bool same_members(const std::vector<Member>& a, const std::vector<Member>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k].plan != b[k].plan || a[k].index != b[k].index || a[k].seed != b[k].seed)
            return false;
    return true;
}

// The seed of member 0: given, kept from an earlier run of the same output
// folder, or drawn from the clock.
std::uint32_t base_seed(const CommandLine& cl, const std::vector<Member>& recorded) {
    if (cl.seed) return *cl.seed;
    if (!recorded.empty()) return recorded.front().seed;
    return static_cast<std::uint32_t>(std::time(nullptr));
}

int run_ensemble(const CommandLine& cl) {
    if (!fs::is_directory(cl.run_folder))
        throw InputError("THE RUN FOLDER " + cl.run_folder + " IS NOT A FOLDER");
    const std::string run_folder = fs::absolute(cl.run_folder).lexically_normal().string();
    std::error_code ec;
    fs::create_directories(cl.out_folder, ec);
    if (ec)
        throw InputError("CANNOT MAKE THE OUTPUT FOLDER " + cl.out_folder + ": " + ec.message());
    const std::string out_folder = fs::absolute(cl.out_folder).lexically_normal().string();
    recio::FolderLock lock;
    const std::string refused = lock.acquire("ENSEMBLE", out_folder);
    if (!refused.empty()) throw InputError(refused);

    const std::vector<Member> recorded = read_member_list(out_folder);
    const std::uint32_t seed = base_seed(cl, recorded);
    std::vector<Plan> plans;
    if (!cl.plans_file.empty()) {
        plans = read_plans(cl.plans_file, cl.members > 0 ? cl.members : 1, seed);
    } else {
        if (cl.members < 1) throw InputError("--members N: HOW MANY MEMBERS (AT LEAST 1)");
        plans.push_back({"base", cl.members, seed, {}});
    }
    for (const Plan& p : plans)
        if (!plan_inputs(run_folder, p).scattered)
            std::cout << " PLAN " << p.name
                      << ": THE LOADS ARE NOT SCATTERED AT RANDOM, EVERY MEMBER IS THE SAME RUN"
                      << std::endl;
    const std::vector<Member> members = plan_members(plans, out_folder);
    if (!recorded.empty() && !same_members(recorded, members))
        throw InputError(
            "THE OUTPUT FOLDER " + out_folder +
            " HOLDS ANOTHER ENSEMBLE (OTHER PLANS, MEMBERS OR SEEDS, SEE members.lst): "
            "NAME ANOTHER FOLDER OR REMOVE IT");
    write_member_list(out_folder, members);

    const std::vector<Member> to_run = prepare_members(run_folder, plans, members);
    std::cout << " ENSEMBLE OF " << members.size() << " MEMBERS IN " << plans.size()
              << " PLAN(S), SEEDS FROM " << seed << ": " << to_run.size() << " TO RUN ("
              << cl.engine.engine << "), " << members.size() - to_run.size() << " DONE BEFORE"
              << std::endl;
    run_engine(to_run, out_folder, cl.engine);

    const EnsembleOutcome outcome = aggregate(run_folder, out_folder, plans, members, cl.aggregate);
    for (const std::string& w : outcome.written) std::cout << " WRITTEN: " << w << '\n';
    if (!outcome.failed.empty()) {
        std::cout << " " << outcome.failed.size()
                  << " MEMBER(S) DID NOT FINISH, THE OTHERS ARE KEPT"
                  << (outcome.done ? " AND AGGREGATED" : "")
                  << "; RUN THE SAME COMMAND AGAIN TO RUN ONLY THESE:\n";
        for (const std::string& id : outcome.failed)
            std::cout << "   " << id << "  (" << out_folder << "/members/" << id
                      << "/placer.log)\n";
        std::cout << std::flush;
        return recio::STATUS_FAILED;
    }
    std::cout << " ALL " << outcome.done << " MEMBERS DONE" << std::endl;
    return recio::STATUS_DONE;
}

}  // namespace

int run(int argc, char** argv) {
    try {
        if (argc >= 2 && std::string(argv[1]) == "--run-members")
            return run_member_folders(std::vector<std::string>(argv + 2, argv + argc));
        if (argc == 3 && std::string(argv[1]) == "--run-list") return run_member_list(argv[2]);

        CommandLine cl;
        CLI::App app{
            "ensemble: many placement runs of one activity, with seeds, on GNU parallel "
            "or a Slurm job array, summed up per grid point and per member"};
        app.add_option("RUN_FOLDER", cl.run_folder, "a folder placer can run in")->required();
        app.add_option("-o,--out", cl.out_folder, "output folder")->required();
        app.add_option("--members", cl.members, "members (of each plan)")
            ->check(CLI::Range(1, 100000));
        app.add_option("--seed", cl.seed, "seed of the first member (member k: S + k)");
        app.add_option("--engine", cl.engine.engine, "local (GNU parallel) or slurm (job array)")
            ->check(CLI::IsMember({"local", "slurm"}));
        app.add_option("--plans", cl.plans_file,
                       "plans file: NAME MEMBERS SEED [FILE...] per line");
        app.add_option("--jobs", cl.engine.jobs, "local: members at a time (default: cores)")
            ->check(CLI::Range(1, 4096));
        app.add_option("--chunk", cl.engine.chunk, "slurm: members per array task")
            ->check(CLI::Range(1, 100000));
        app.add_option("--sbatch-arg", cl.engine.sbatch_args,
                       "slurm: an option for sbatch (repeatable), e.g. --partition=short");
        app.add_option("--crs", cl.aggregate.crs, "coordinate reference system of ensemble.nc");
        try {
            app.parse(argc, argv);
        } catch (const CLI::CallForHelp& e) {
            return app.exit(e) == 0 ? recio::STATUS_DONE : recio::STATUS_USAGE;
        } catch (const CLI::ParseError& e) {
            app.exit(e);
            return recio::STATUS_USAGE;
        }
        return run_ensemble(cl);
    } catch (const InputError& e) {
        std::cout << " " << e.what() << std::endl;
        return recio::STATUS_FAILED;
    }
}

}  // namespace ensemble
