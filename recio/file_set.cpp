#include "recio/file_set.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "recio/process.hpp"
#include "recio/program.hpp"
#include "recio/records.hpp"

namespace recio {
namespace {

constexpr const char* JOURNAL_MARK = "FILE SET";
constexpr const char* FORWARD = "FORWARD";
constexpr const char* BACK = "BACK";

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool alive(long pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Makes the renames in a folder last.
void sync_folder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes `bytes` to `path`, synced; 0 or the errno of the failure.
int write_synced(const std::string& path, const char* bytes, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int e = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(path.c_str());
            return e;
        }
        done += static_cast<std::size_t>(n);
    }
    const int e = ::fsync(fd) != 0 ? errno : 0;
    if (::close(fd) != 0 && e == 0) return errno;
    if (e != 0) ::unlink(path.c_str());
    return e;
}

// 0 or the errno of the failure.
int copy_synced(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return errno ? errno : EIO;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return EIO;
    return write_synced(to, bytes.data(), bytes.size());
}

// Signals that could stop a run while its set changes.
sigset_t stop_signals() {
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGINT);
    sigaddset(&s, SIGTERM);
    sigaddset(&s, SIGHUP);
    return s;
}

// Holds the stop signals back while a set's list changes.
class SignalsHeld {
  public:
    SignalsHeld() {
        const sigset_t s = stop_signals();
        ::sigprocmask(SIG_BLOCK, &s, &old_);
    }
    ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &old_, nullptr); }

  private:
    sigset_t old_;
};

struct JournalEntry {
    std::string target, temp, copy;
    bool existed = false;
};

struct Journal {
    long pid = 0;
    std::string direction;
    std::vector<JournalEntry> entries;
};

// False if the file is not a whole journal.
bool read_journal(const std::string& path, Journal& j) {
    std::ifstream in(path);
    std::string mark, count_line;
    if (!std::getline(in, mark) || mark != JOURNAL_MARK) return false;
    if (!(in >> j.pid >> j.direction)) return false;
    std::size_t n = 0;
    if (!(in >> n)) return false;
    std::getline(in, count_line);
    for (std::size_t i = 0; i < n; ++i) {
        JournalEntry e;
        std::string existed;
        if (!std::getline(in, e.target) || !std::getline(in, e.temp) || !std::getline(in, e.copy) ||
            !std::getline(in, existed))
            return false;
        e.existed = existed == "1";
        j.entries.push_back(std::move(e));
    }
    std::string end;
    return std::getline(in, end) && end == "END";
}

void carry_out(const Journal& j) {
    for (const JournalEntry& e : j.entries) {
        if (j.direction == FORWARD) {
            if (exists(e.temp)) std::rename(e.temp.c_str(), e.target.c_str());
        } else {
            if (exists(e.temp)) ::unlink(e.temp.c_str());
            if (e.existed && exists(e.copy))
                std::rename(e.copy.c_str(), e.target.c_str());
            else if (!e.existed)
                ::unlink(e.target.c_str());
        }
    }
}

// The process number in a name that ends in ".tmp<digits>" or ".old<digits>"
// (0 if it does not).
long leftover_pid(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || name.size() < dot + 5) return 0;
    const std::string kind = name.substr(dot + 1, 3);
    if (kind != "tmp" && kind != "old") return 0;
    long pid = 0;
    for (std::size_t i = dot + 4; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        pid = pid * 10 + (name[i] - '0');
        if (pid > 1L << 30) return 0;
    }
    return pid;
}

std::vector<std::string> folder_names(const std::string& folder) {
    std::vector<std::string> names;
    DIR* d = ::opendir(folder.c_str());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
    ::closedir(d);
    return names;
}

bool ends_with(const std::string& s, const char* tail) {
    const std::size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

}  // namespace

void recover_sets(const std::string& folder_path) {
    std::string folder = folder_path.empty() ? "." : folder_path;
    if (folder.back() != '/') folder += '/';
    bool changed = false;
    for (const std::string& name : folder_names(folder)) {
        if (!ends_with(name, ".SET")) continue;
        const std::string path = folder + name;
        Journal j;
        if (!read_journal(path, j) || alive(j.pid)) continue;
        carry_out(j);
        for (const JournalEntry& e : j.entries)
            if (exists(e.copy)) ::unlink(e.copy.c_str());
        ::unlink(path.c_str());
        changed = true;
    }
    for (const std::string& name : folder_names(folder)) {
        const long pid = leftover_pid(name);
        if (pid == 0 || alive(pid)) continue;
        ::unlink((folder + name).c_str());
        changed = true;
    }
    if (changed) sync_folder(folder);
}

// ---------------------------------------------------------------- FileSet

FileSet::FileSet(std::string journal) : journal_(std::move(journal)) {
    recover_sets(folder_of(journal_));
}

FileSet::~FileSet() {
    roll_back();
}

FileSet::Entry& FileSet::entry(const std::string& target) {
    for (Entry& e : entries_)
        if (e.target == target) return e;
    SignalsHeld held;
    Entry e;
    e.target = target;
    const std::string pid = std::to_string(::getpid());
    e.temp = target + ".tmp" + pid;
    e.copy = target + ".old" + pid;
    entries_.push_back(std::move(e));
    return entries_.back();
}

std::string FileSet::stage(const std::string& target) {
    Entry& e = entry(target);
    e.staged = true;
    return e.temp;
}

std::string FileSet::current(const std::string& target) const {
    for (const Entry& e : entries_)
        if (e.target == target && e.staged) return e.temp;
    return target;
}

bool FileSet::fail(const std::string& file, int error) {
    failure_ = file + ": " + system_error_text(error);
    return false;
}

bool FileSet::keep_copies() {
    for (Entry& e : entries_) {
        if (e.existed || !exists(e.target)) continue;
        struct stat st {};
        if (::stat(e.target.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return fail(e.target, EISDIR);
        const int error = copy_synced(e.target, e.copy);
        if (error != 0) return fail(e.target, error);
        e.existed = true;
    }
    return true;
}

bool FileSet::write_journal(const char* direction) {
    std::string text = std::string(JOURNAL_MARK) + "\n" + std::to_string(::getpid()) + " " +
                       direction + " " + std::to_string(entries_.size()) + "\n";
    for (const Entry& e : entries_)
        text += e.target + "\n" + (e.staged ? e.temp : "") + "\n" + e.copy + "\n" +
                (e.existed ? "1" : "0") + "\n";
    text += "END\n";
    const std::string temp = journal_ + ".tmp" + std::to_string(::getpid());
    const int error = write_synced(temp, text.data(), text.size());
    if (error != 0) return fail(journal_, error);
    if (std::rename(temp.c_str(), journal_.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return fail(journal_, e);
    }
    sync_folder(folder_of(journal_));
    return true;
}

bool FileSet::protect(const std::vector<std::string>& targets) {
    SignalsHeld held;
    for (const std::string& t : targets) entry(t).guarded = true;
    return keep_copies() && write_journal(BACK);
}

bool FileSet::commit() {
    SignalsHeld held;
    if (!keep_copies() || !write_journal(FORWARD)) {
        roll_back();
        return false;
    }
    for (Entry& e : entries_) {
        if (!e.staged) continue;
        if (std::rename(e.temp.c_str(), e.target.c_str()) != 0) {
            fail(e.target, errno);
            // Those already renamed go back; the journal says so first.
            write_journal(BACK);
            roll_back();
            return false;
        }
        e.done = true;
    }
    sync_folder(folder_of(journal_));
    ::unlink(journal_.c_str());
    for (const Entry& e : entries_)
        if (e.existed) ::unlink(e.copy.c_str());
    active_ = false;
    return true;
}

void FileSet::roll_back() noexcept {
    if (!active_) return;
    active_ = false;
    for (const Entry& e : entries_) {
        if (e.staged && !e.done) ::unlink(e.temp.c_str());
        if (e.existed)
            std::rename(e.copy.c_str(), e.target.c_str());
        else if (e.done || e.guarded)
            ::unlink(e.target.c_str());
    }
    ::unlink(journal_.c_str());
}

// ---------------------------------------------------------------- signals

namespace {

FileSet* signalled_set = nullptr;  // the set a stop signal puts back

extern "C" void roll_back_and_stop(int) {
    stop_running_child();
    if (signalled_set) signalled_set->roll_back();
    static const char text[] = " THE RUN WAS STOPPED; ITS OUTPUT FILES ARE AS BEFORE THE RUN\n";
    ssize_t ignored = ::write(STDOUT_FILENO, text, sizeof text - 1);
    (void)ignored;
    ::_exit(STATUS_FAILED);
}

}  // namespace

SignalsRollBack::SignalsRollBack(FileSet& set) {
    signalled_set = &set;
    struct sigaction sa {};
    sa.sa_handler = roll_back_and_stop;
    sa.sa_mask = stop_signals();
    for (int s : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(s, &sa, nullptr);
}

SignalsRollBack::~SignalsRollBack() {
    SignalsHeld held;
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    for (int s : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(s, &sa, nullptr);
    signalled_set = nullptr;
}

}  // namespace recio
