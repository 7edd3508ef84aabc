// The members of an ensemble: plans, seeds, folders and their states.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "ensemble/ensemble.hpp"
#include "gridlib/sitegrid.hpp"
#include "results/errors.hpp"
#include "suitefiles/dump_ini.hpp"

namespace fs = std::filesystem;

namespace ensemble {
namespace {

using results::InputError;

constexpr const char* SEED_FILE = "MEMBER.SEED";
constexpr const char* STATUS_FILE = "MEMBER.STATUS";
constexpr const char* MEMBER_LIST = "members.lst";

// A whole number in [lo, hi] or "-" (nullopt); throws naming where it stands.
std::optional<unsigned long long> count_field(const std::string& text, unsigned long long hi,
                                              const std::string& where) {
    if (text == "-") return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) || *end != '\0' ||
        errno == ERANGE || v > hi)
        throw InputError(where + ": NOT A WHOLE NUMBER FROM 0 TO " + std::to_string(hi) + ": \"" +
                         text + "\"");
    return v;
}

bool plain_name(const std::string& name) {
    if (name.empty() || name.size() > 32) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '.' && c != '-')
            return false;
    return name[0] != '.' && name[0] != '-';
}

// Writes a small text file whole: beside it first, then renamed over it.
void write_whole(const fs::path& path, const std::string& text) {
    const fs::path tmp = path.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << text;
        out.flush();
        if (!out) throw InputError("CANNOT WRITE " + tmp.string());
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) throw InputError("CANNOT WRITE " + path.string() + ": " + ec.message());
}

}  // namespace

std::string plan_file(const std::string& run_folder, const Plan& plan, const std::string& name) {
    for (const std::string& f : plan.files)
        if (fs::path(f).filename() == name) return f;
    return (fs::path(run_folder) / name).string();
}

std::vector<Plan> read_plans(const std::string& path, int default_members,
                             std::uint32_t default_seed) {
    std::ifstream in(path);
    if (!in) throw InputError("CANNOT READ THE PLANS FILE " + path);
    const fs::path base = fs::absolute(path).parent_path();
    std::vector<Plan> plans;
    std::set<std::string> names;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.empty() || w[0][0] == '#') continue;
        const std::string where = path + " LINE " + std::to_string(number);
        if (w.size() < 3)
            throw InputError(where + ": A PLAN IS \"NAME MEMBERS SEED [FILE...]\": \"" + line +
                             "\"");
        Plan p;
        p.name = w[0];
        if (!plain_name(p.name))
            throw InputError(where + ", NAME: LETTERS, DIGITS, '_', '.', '-' (AT MOST 32): \"" +
                             p.name + "\"");
        if (!names.insert(p.name).second)
            throw InputError(where + ", NAME: PLAN " + p.name + " IS NAMED TWICE");
        p.members =
            static_cast<int>(count_field(w[1], 100000, where + ", MEMBERS")
                                 .value_or(static_cast<unsigned long long>(default_members)));
        if (p.members < 1) throw InputError(where + ", MEMBERS: A PLAN NEEDS AT LEAST ONE MEMBER");
        p.seed = static_cast<std::uint32_t>(
            count_field(w[2], 4294967295ULL, where + ", SEED").value_or(default_seed));
        std::set<std::string> replaced;
        for (std::size_t k = 3; k < w.size(); ++k) {
            const fs::path f = base / w[k];
            std::error_code ec;
            if (!fs::is_regular_file(f, ec))
                throw InputError(where + ", FILE " + std::to_string(k - 2) +
                                 ": NOT FOUND: " + f.string());
            if (!replaced.insert(f.filename().string()).second)
                throw InputError(where + ": TWO FILES NAMED " + f.filename().string());
            p.files.push_back(f.string());
        }
        plans.push_back(p);
    }
    if (plans.empty()) throw InputError("THE PLANS FILE " + path + " HOLDS NO PLAN");
    return plans;
}

std::string Member::id() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", index + 1);
    return plan + "-" + buf;
}

std::vector<Member> plan_members(const std::vector<Plan>& plans, const std::string& out_folder) {
    std::vector<Member> members;
    const fs::path root = fs::absolute(out_folder) / "members";
    for (const Plan& p : plans)
        for (int k = 0; k < p.members; ++k) {
            Member m;
            m.plan = p.name;
            m.index = k;
            m.seed = p.seed + static_cast<std::uint32_t>(k);  // wraps past 2^32 - 1
            m.folder = (root / m.id()).string();
            members.push_back(m);
        }
    return members;
}

PlanInputs plan_inputs(const std::string& run_folder, const Plan& plan) {
    const fs::path dump = plan_file(run_folder, plan, "DUMP.INI");
    suitefiles::DumpControl c;
    if (!suitefiles::read_dump_ini(dump.string(), c))
        throw InputError("PLAN " + plan.name + ": CANNOT READ " + dump.string());
    const std::string where = "PLAN " + plan.name + ", " + dump.string();
    if (!gridlib::trimmed(c.prefix).empty())
        throw InputError(where +
                         " RECORD 1: THE DATA DIRECTORY MUST BE BLANK, SO THAT EVERY "
                         "MEMBER KEEPS ITS FILES IN ITS OWN FOLDER: \"" +
                         c.prefix + "\"");
    if (c.run_mode != suitefiles::RunMode::Placement)
        throw InputError(where + " RECORD 5: AN ENSEMBLE NEEDS A PLACEMENT RUN (RUN MODE 2)");
    PlanInputs in;
    in.site = gridlib::trimmed(c.site);
    in.out = gridlib::trimmed(c.out);
    in.navigable_depth = c.navigable_depth;
    in.scattered = c.placement_mode == suitefiles::PlacementMode::Scatter;
    const fs::path grid = plan_file(run_folder, plan, in.site + ".IN");
    std::error_code ec;
    if (!fs::is_regular_file(grid, ec))
        throw InputError(where + " RECORD 2: THE STARTING SITE " + grid.string() + " IS MISSING");
    return in;
}

std::vector<Member> read_member_list(const std::string& out_folder) {
    std::vector<Member> members;
    const fs::path path = fs::path(out_folder) / MEMBER_LIST;
    std::ifstream in(path);
    if (!in) return members;
    const fs::path root = fs::absolute(out_folder) / "members";
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        Member m;
        long long index = 0, seed = 0;
        if (!(words >> m.plan >> index >> seed) || index < 1 || seed < 0 || seed > 4294967295LL)
            throw InputError(path.string() + " LINE " + std::to_string(number) +
                             ": NOT \"PLAN MEMBER SEED\": \"" + line + "\"");
        m.index = static_cast<int>(index - 1);
        m.seed = static_cast<std::uint32_t>(seed);
        m.folder = (root / m.id()).string();
        members.push_back(m);
    }
    return members;
}

void write_member_list(const std::string& out_folder, const std::vector<Member>& members) {
    std::ostringstream text;
    for (const Member& m : members) text << m.plan << ' ' << m.index + 1 << ' ' << m.seed << '\n';
    write_whole(fs::path(out_folder) / MEMBER_LIST, text.str());
}

std::vector<Member> prepare_members(const std::string& run_folder, const std::vector<Plan>& plans,
                                    const std::vector<Member>& members) {
    std::map<std::string, const Plan*> by_name;
    for (const Plan& p : plans) by_name[p.name] = &p;
    std::vector<Member> to_run;
    for (const Member& m : members) {
        if (read_member_status(m.folder).state == MemberState::Done) continue;
        std::error_code ec;
        fs::remove_all(m.folder, ec);
        fs::create_directories(m.folder, ec);
        if (ec) throw InputError("CANNOT MAKE THE MEMBER FOLDER " + m.folder + ": " + ec.message());
        // The run folder's own files (not its subfolders, not a lock or a
        // journal of a run there), then the plan's over them.
        for (const fs::directory_entry& e : fs::directory_iterator(run_folder)) {
            const std::string name = e.path().filename().string();
            if (!e.is_regular_file() || name == "FOLDER.LCK" || e.path().extension() == ".SET")
                continue;
            fs::copy_file(e.path(), fs::path(m.folder) / name, ec);
            if (ec) throw InputError("CANNOT COPY " + e.path().string() + ": " + ec.message());
        }
        for (const std::string& f : by_name.at(m.plan)->files) {
            fs::copy_file(f, fs::path(m.folder) / fs::path(f).filename(),
                          fs::copy_options::overwrite_existing, ec);
            if (ec) throw InputError("CANNOT COPY " + f + ": " + ec.message());
        }
        write_whole(fs::path(m.folder) / "ACTION.BAT", "DUMPYES\n");
        write_whole(fs::path(m.folder) / SEED_FILE, std::to_string(m.seed) + "\n");
        to_run.push_back(m);
    }
    return to_run;
}

MemberStatus read_member_status(const std::string& folder) {
    MemberStatus s;
    std::ifstream in(fs::path(folder) / STATUS_FILE);
    std::string word;
    int code = -1;
    if (!(in >> word >> code)) return s;
    if (word == "done") s.state = MemberState::Done;
    if (word == "failed") s.state = MemberState::Failed;
    s.exit_status = code;
    return s;
}

namespace detail {
void write_member_status(const std::string& folder, bool done, int exit_status) {
    write_whole(fs::path(folder) / STATUS_FILE,
                std::string(done ? "done " : "failed ") + std::to_string(exit_status) + "\n");
}
std::uint32_t read_member_seed(const std::string& folder) {
    std::ifstream in(fs::path(folder) / SEED_FILE);
    unsigned long long seed = 0;
    if (!(in >> seed) || seed > 4294967295ULL)
        throw InputError("MEMBER FOLDER " + folder + " HAS NO READABLE " + SEED_FILE);
    return static_cast<std::uint32_t>(seed);
}
}  // namespace detail

}  // namespace ensemble
