// The output site of a run, kept safe until the run has done its job.
#include "placer/guard.hpp"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "recio/console.hpp"

namespace placer {
namespace {

// The whole content of a file; false when it does not exist or cannot be read.
bool read_whole(const std::string& path, std::string& bytes, bool& exists) {
    exists = ::access(path.c_str(), F_OK) == 0;
    if (!exists) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return false;
    bytes = s.str();
    return true;
}

bool write_whole(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

OutputGuard::~OutputGuard() {
    restore();
}

std::string OutputGuard::hold(const std::vector<std::string>& files) {
    held_.clear();
    for (const std::string& f : files) {
        Held h;
        h.path = f;
        if (!read_whole(f, h.bytes, h.existed) && h.existed)
            return "COULD NOT READ " + f + " TO KEEP IT SAFE DURING THE RUN";
        held_.push_back(std::move(h));
    }
    return {};
}

void OutputGuard::restore() {
    std::string put_back, failed;
    for (const Held& h : held_) {
        std::string now;
        bool exists = false;
        const bool readable = read_whole(h.path, now, exists);
        if (!h.existed) {
            if (exists && std::remove(h.path.c_str()) != 0)
                failed += " " + h.path;
            else if (exists)
                put_back += " " + h.path;
            continue;
        }
        if (readable && now == h.bytes) continue;
        if (write_whole(h.path, h.bytes))
            put_back += " " + h.path;
        else
            failed += " " + h.path;
    }
    held_.clear();
    if (!put_back.empty())
        recio::console_list(
            "THE RUN DID NOT END NORMALLY; ITS OUTPUT FILES ARE AS BEFORE THE RUN:" + put_back);
    if (!failed.empty()) recio::console_list("COULD NOT PUT BACK:" + failed);
}

}  // namespace placer
