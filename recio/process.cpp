#include "recio/process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace recio {
namespace {

bool executable(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// "CLOUDEX.EXE" -> "cloudex"
std::string stem_lower(std::string_view name) {
    std::string s(name.substr(0, name.find('.')));
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string own_folder() {
    std::vector<char> buf(4096);
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return {};
    std::string path(buf.data(), static_cast<std::size_t>(n));
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string search_path(const std::vector<std::string>& names) {
    const char* env = std::getenv("PATH");
    std::string path = env ? env : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        std::string dir = path.substr(start, end - start);
        if (dir.empty()) dir = ".";
        for (const std::string& n : names)
            if (executable(dir + "/" + n)) return dir + "/" + n;
        start = end + 1;
    }
    return {};
}

// The child run_program waits for (0: none); read by a signal handler.
volatile sig_atomic_t running_child = 0;

}  // namespace

void stop_running_child() noexcept {
    const pid_t pid = static_cast<pid_t>(running_child);
    if (pid <= 0) return;
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    running_child = 0;
}

std::string find_program(std::string_view name) {
    if (name.empty()) return {};
    std::string stem = stem_lower(name);
    if (stem == "cloudex" || stem == "dredge") {
        std::string sibling = own_folder() + "/" + stem;
        if (executable(sibling)) return sibling;
        return search_path({stem});
    }
    std::string as_written(name);
    if (as_written.find('/') != std::string::npos)
        return executable(as_written) ? as_written : std::string();
    for (const std::string& n : {as_written, stem})
        if (executable("./" + n)) return "./" + n;
    return search_path({as_written, stem});
}

int run_program(std::string_view name, ChildTimes* times) {
    std::string path = find_program(name);
    if (path.empty()) return -1;
    std::string arg0 = path, arg1 = " ";
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
    running_child = pid;
    int status = 0;
    struct rusage usage {};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            running_child = 0;
            return -1;
        }
    }
    running_child = 0;
    if (times) {
        times->wall +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
        };
        times->cpu += seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// Starts argv[0] (looked up on the PATH when it has no '/') in `folder`,
// waits for it and returns its exit status (128 + signal for a killed
// child, -1 when it could not be started).
int run_command(const std::vector<std::string>& args, const std::string& folder,
                const CommandStreams& streams) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
        const int in = open(streams.in.c_str(), O_RDONLY);
        if (in >= 0) dup2(in, 0);
        if (!streams.out.empty()) {
            const int out = open(streams.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0) _exit(127);
            dup2(out, 1);
            dup2(out, 2);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace recio
