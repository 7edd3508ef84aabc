#include "recio/folder_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <sstream>

#include "recio/records.hpp"

namespace recio {
namespace {

// The holder's name and process number, as its lock file records them.
struct Holder {
    std::string program = "?";
    long pid = 0;
};

Holder read_holder(int fd) {
    char buffer[128] = {};
    const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
    Holder h;
    if (n <= 0) return h;
    std::istringstream in(std::string(buffer, static_cast<std::size_t>(n)));
    in >> h.program >> h.pid;
    for (char& c : h.program)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '?';
    return h;
}

// True if `fd` is still the file at `path` (a holder that ended removes it).
bool still_in_place(int fd, const std::string& path) {
    struct stat open_file {
    }, named_file{};
    return ::fstat(fd, &open_file) == 0 && ::stat(path.c_str(), &named_file) == 0 &&
           open_file.st_dev == named_file.st_dev && open_file.st_ino == named_file.st_ino;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string FolderLock::acquire(const std::string& program, const std::string& folder) {
    release();
    const std::string path = folder + "/" + FILE_NAME;
    int fd = -1;
    for (;;) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0)
            return "UNABLE TO LOCK THIS FOLDER FOR " + upper(program) + " (" +
                   std::string(FILE_NAME) + ": " + system_error_text(errno) + ")";
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) break;
        if (!still_in_place(fd, path)) {  // its holder removed it as it ended
            ::close(fd);
            continue;
        }
        const std::string text = program + " " + std::to_string(::getpid()) + "\n";
        if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, text.data(), text.size(), 0) < 0) {
            // The lock holds all the same; only the holder's name is missing.
        }
        fd_ = fd;
        path_ = path;
        return "";
    }
    const Holder holder = read_holder(fd);
    ::close(fd);
    if (holder.pid == static_cast<long>(::getppid())) return "";  // started by the holder
    return "ANOTHER PROGRAM OF THE SUITE (" + upper(holder.program) + ", PROCESS " +
           std::to_string(holder.pid) +
           ") IS RUNNING IN THIS FOLDER; WAIT FOR IT TO END OR RUN IN ANOTHER FOLDER";
}

void FolderLock::release() {
    if (fd_ < 0) return;
    ::unlink(path_.c_str());  // while still held, so no one locks a removed file
    ::close(fd_);             // closing the file releases the lock
    fd_ = -1;
}

}  // namespace recio
