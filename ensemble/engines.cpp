// Running the members: one member in its folder, and the engines that run
// many (GNU parallel on this machine, a Slurm job array on a cluster).
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "ensemble/ensemble.hpp"
#include "gridlib/sitegrid.hpp"
#include "recio/process.hpp"
#include "results/errors.hpp"
#include "suitefiles/dump_ini.hpp"

namespace fs = std::filesystem;

namespace ensemble {
namespace detail {
void write_member_status(const std::string& folder, bool done, int exit_status);
std::uint32_t read_member_seed(const std::string& folder);
}  // namespace detail

namespace {

using results::InputError;

void write_list(const fs::path& path, const std::vector<Member>& members) {
    std::ofstream out(path, std::ios::trunc);
    for (const Member& m : members) out << m.folder << '\n';
    out.flush();
    if (!out) throw InputError("CANNOT WRITE " + path.string());
}

// A text as one word of a POSIX shell script.
std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

void run_local(const std::vector<Member>& members, const fs::path& work,
               const EngineOptions& options) {
    const fs::path list = work / "local.lst";
    write_list(list, members);
    std::vector<std::string> args = {"parallel", "--will-cite", "--halt",
                                     "never",    "--arg-file",  list.string()};
    if (options.jobs > 0) {
        args.push_back("--jobs");
        args.push_back(std::to_string(options.jobs));
    }
    args.insert(args.end(), {sibling_program("ensemble"), "--run-members", "{}"});
    const int status = recio::run_command(args, "", {"/dev/null", (work / "local.log").string()});
    if (status < 0)
        throw InputError("GNU PARALLEL COULD NOT BE STARTED (INSTALL THE DEBIAN PACKAGE parallel)");
    // parallel's status counts failed members (up to 100), which the
    // members' own status files name; above that parallel itself failed.
    if (status > 101)
        throw InputError("GNU PARALLEL FAILED WITH STATUS " + std::to_string(status) + ", SEE " +
                         (work / "local.log").string());
}

void run_slurm(const std::vector<Member>& members, const fs::path& work,
               const EngineOptions& options) {
    const std::size_t chunk = static_cast<std::size_t>(std::max(1, options.chunk));
    const std::size_t tasks = (members.size() + chunk - 1) / chunk;
    for (std::size_t t = 0; t < tasks; ++t) {
        const auto first = members.begin() + static_cast<std::ptrdiff_t>(t * chunk);
        const auto last = members.begin() +
                          static_cast<std::ptrdiff_t>(std::min(members.size(), (t + 1) * chunk));
        write_list(work / ("task-" + std::to_string(t) + ".lst"), std::vector<Member>(first, last));
    }
    const fs::path script = work / "slurm-task.sh";
    {
        std::ofstream out(script, std::ios::trunc);
        out << "#!/bin/sh\n"
            << "# One task of the ensemble's job array: runs the members of its list one after\n"
            << "# another (each writes its outcome into its own folder).\n"
            << "exec " << quoted(sibling_program("ensemble")) << " --run-list "
            << quoted(work.string()) << "/task-${SLURM_ARRAY_TASK_ID}.lst\n";
        if (!out) throw InputError("CANNOT WRITE " + script.string());
    }
    fs::permissions(script, fs::perms::owner_all, fs::perm_options::add);
    std::vector<std::string> args = {"sbatch",
                                     "--wait",
                                     "--parsable",
                                     "--job-name=ensemble",
                                     "--array=0-" + std::to_string(tasks - 1),
                                     "--ntasks=1",
                                     "--chdir=" + work.string(),
                                     "--output=" + (work / "task-%a.log").string()};
    args.insert(args.end(), options.sbatch_args.begin(), options.sbatch_args.end());
    args.push_back(script.string());
    std::cout << " SUBMITTING " << members.size() << " MEMBERS AS A JOB ARRAY OF " << tasks
              << " TASKS (" << chunk << " MEMBERS EACH AT MOST); WAITING FOR IT" << std::endl;
    const int status = recio::run_command(args, "", {"/dev/null", (work / "sbatch.log").string()});
    if (status < 0) throw InputError("SBATCH COULD NOT BE STARTED (IS SLURM INSTALLED?)");
    // sbatch --wait ends with the array's highest task status; the members'
    // own files tell which ran. No job id at all means the submission failed.
    std::ifstream log(work / "sbatch.log");
    std::string first_line;
    std::getline(log, first_line);
    if (first_line.empty() || !std::isdigit(static_cast<unsigned char>(first_line[0])))
        throw InputError("SBATCH REFUSED THE JOB ARRAY: " + first_line + " (SEE " +
                         (work / "sbatch.log").string() + ")");
}

}  // namespace

std::string sibling_program(const std::string& name) {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return name;
    buf[n] = '\0';
    return (fs::path(buf).parent_path() / name).string();
}

bool run_member(const std::string& folder, const std::string& placer) {
    const std::uint32_t seed = detail::read_member_seed(folder);
    suitefiles::DumpControl c;
    if (!suitefiles::read_dump_ini((fs::path(folder) / "DUMP.INI").string(), c))
        throw InputError("MEMBER FOLDER " + folder + " HAS NO DUMP.INI");
    const int status =
        recio::run_command({placer, "--seed", std::to_string(seed)}, folder,
                           {"/dev/null", (fs::path(folder) / "placer.log").string()});
    std::error_code ec;
    const fs::path grid = fs::path(folder) / (gridlib::trimmed(c.out) + ".IN");
    const bool done = (status == 0 || status == 3) && fs::is_regular_file(grid, ec);
    detail::write_member_status(folder, done, status);
    return done;
}

void refuse_if_array_queued(const std::string& out_folder) {
    const fs::path work = fs::absolute(out_folder) / "engine";
    std::ifstream log(work / "sbatch.log");
    std::string job;
    std::getline(log, job);
    job = job.substr(0, job.find(';'));  // --parsable: "ID" or "ID;CLUSTER"
    if (job.empty() || job.find_first_not_of("0123456789") != std::string::npos) return;
    const std::string queue = (work / "squeue.log").string();
    if (recio::run_command({"squeue", "--noheader", "--jobs=" + job, "--format=%i"}, "",
                           {"/dev/null", queue}) != 0)
        return;  // no Slurm here, or the job is long gone
    std::ifstream listed(queue);
    std::string line;
    if (std::getline(listed, line) && !line.empty())
        throw InputError("THE JOB ARRAY " + job +
                         " OF AN EARLIER RUN OF THIS ENSEMBLE IS STILL IN SLURM'S QUEUE: WAIT "
                         "FOR IT TO END OR CANCEL IT (scancel " +
                         job + "), THEN RUN AGAIN");
}

void run_engine(const std::vector<Member>& members, const std::string& out_folder,
                const EngineOptions& options) {
    if (members.empty()) return;
    const fs::path work = fs::absolute(out_folder) / "engine";
    std::error_code ec;
    fs::create_directories(work, ec);
    if (ec) throw InputError("CANNOT MAKE " + work.string() + ": " + ec.message());
    if (options.engine == "local")
        run_local(members, work, options);
    else if (options.engine == "slurm")
        run_slurm(members, work, options);
    else
        throw InputError("UNKNOWN ENGINE " + options.engine + " (local OR slurm)");
}

}  // namespace ensemble
