// Ensembles of placement runs. Loads scattered at random make one placement
// run a single draw; an ensemble runs many members, each a placement run in
// its own folder with its own seed, and sums them up per grid point and per
// member.
//
// The work is in four steps, each one routine:
//   plan_members     the members of every plan, with their seeds
//   prepare_members  one folder per member: the run folder's files, the
//                    plan's own files over them, ACTION.BAT and the seed
//   run_engine       the members not yet done, on GNU parallel or as one
//                    Slurm job array
//   aggregate        statistics per grid point, balance figures per member
//
// A member's folder holds MEMBER.SEED (its seed) and, once it has run,
// MEMBER.STATUS ("done S" or "failed S", S the placer's exit status), written
// whole; a member without "done" is run again by the next ensemble run, the
// others are kept.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ensemble {

// A variant of the activity: the run folder with some of its files replaced.
struct Plan {
    std::string name;
    int members = 0;
    std::uint32_t seed = 0;          // seed of member 0; member k has seed + k
    std::vector<std::string> files;  // files put over the run folder's, by their names
};

// The plans file: one plan per line, "NAME MEMBERS SEED [FILE...]"; MEMBERS
// and SEED may be "-" for the command line's values; FILE paths are relative
// to the plans file. Blank lines and lines starting with '#' are skipped.
// Throws results::InputError naming the file, line and field.
std::vector<Plan> read_plans(const std::string& path, int default_members,
                             std::uint32_t default_seed);

struct Member {
    std::string plan;
    int index = 0;  // 0-based within its plan
    std::uint32_t seed = 0;
    std::string folder;      // absolute
    std::string id() const;  // "<plan>-0001" (1-based, as shown to the user)
};

std::vector<Member> plan_members(const std::vector<Plan>& plans, const std::string& out_folder);

// What placer reads of a plan's DUMP.INI, checked for an ensemble.
struct PlanInputs {
    std::string site, out;  // stems of the starting and the output grid
    int navigable_depth = 0;
    bool scattered = true;  // placement mode 1: the members differ
};

// The DUMP.INI a plan's members get (the plan's own or the run folder's),
// read and checked: a placement run whose data directory is blank (each
// member must keep its files in its own folder) and whose starting site lies
// in the run folder. Throws results::InputError or recio::RecordError.
PlanInputs plan_inputs(const std::string& run_folder, const Plan& plan);

// The file a plan puts in place of the run folder's `name`, or the run folder's own.
std::string plan_file(const std::string& run_folder, const Plan& plan, const std::string& name);

// The members file of the output folder (members.lst, "plan index seed" per
// line) keeps an ensemble's seeds for its reruns. Empty when there is none.
std::vector<Member> read_member_list(const std::string& out_folder);
void write_member_list(const std::string& out_folder, const std::vector<Member>& members);

// Prepares the folders of the members not done yet (a folder left by a failed
// or killed run is made anew). Returns the members to run.
std::vector<Member> prepare_members(const std::string& run_folder, const std::vector<Plan>& plans,
                                    const std::vector<Member>& members);

// ---- member state

enum class MemberState { Missing, Done, Failed };
struct MemberStatus {
    MemberState state = MemberState::Missing;
    int exit_status = -1;
};
MemberStatus read_member_status(const std::string& folder);

// Runs placer in one member's folder with the member's seed, its console
// going to placer.log, and records the outcome. A placer that ends with 0 or
// 3 (finished, some loads refused) and leaves its output grid is done.
// Returns true when it is.
bool run_member(const std::string& folder, const std::string& placer);

// The placer beside the running program.
std::string sibling_program(const std::string& name);

// ---- engines

struct EngineOptions {
    std::string engine = "local";  // "local" (GNU parallel) or "slurm"
    int jobs = 0;                  // local: members at a time (0: one per core)
    int chunk = 10;                // slurm: members per array task
    std::vector<std::string> sbatch_args;
};

// Runs the members on the engine and waits for them. The outcome of each is
// in its folder; a member that fails does not stop the others. Throws
// results::InputError when the engine cannot be started.
void run_engine(const std::vector<Member>& members, const std::string& out_folder,
                const EngineOptions& options);

// ---- balance figures of one member

// What <output>.CSV (one row per load) tells of a run: found is false when
// the file is absent.
struct LoadTable {
    bool found = false;
    int loads = 0, refused = 0, failed = 0;
    double suspended_cuft = 0;
};
// Reads the columns by their names (status, suspended_cuft), whatever other
// columns the file has. Throws results::InputError naming the file, row and
// column for a row it cannot read.
LoadTable read_load_table(const std::string& path);

struct MemberFigures {
    double volume_cy = 0;         // net volume gained on the site, cubic yards
    double top_rise_ft = 0;       // largest rise of the bottom
    double top_depth_ft = 0;      // depth at that point afterwards
    double top_e = 0, top_n = 0;  // its position
    LoadTable loads;
};

// ---- aggregation

// One statistic of a set of values: p in [0, 1], linear between the order
// statistics (the value at rank p (n - 1) of the sorted values).
double percentile(std::vector<float>& values, double p);

struct PointStats {
    std::vector<float> mean, min, p05, p50, p95;
};
// Statistics of every point over the members: values[m][i] is member m's
// value at point i.
PointStats point_stats(const std::vector<std::vector<float>>& values);

// The share of members whose bottom at a point rises above the navigable
// depth: the integer part of the depth at most the navigable depth, the rule
// of the placement summary's list of such points.
std::vector<float> exceedance(const std::vector<std::vector<float>>& depths, int navigable_depth);

struct AggregateOptions {
    std::string crs;  // coordinate reference system of ensemble.nc (optional)
};

struct EnsembleOutcome {
    int done = 0;
    std::vector<std::string> failed;  // ids of failed or missing members
    std::vector<std::string> written;
};

// Reads every done member, writes ensemble.nc, the maps, members.csv and
// plans.csv into the output folder.
EnsembleOutcome aggregate(const std::string& run_folder, const std::string& out_folder,
                          const std::vector<Plan>& plans, const std::vector<Member>& members,
                          const AggregateOptions& options);

}  // namespace ensemble
