// Fuzz inputs as files: the readers of the suite open files by name, so each
// input is written to a scratch folder of its own (in memory where possible)
// and the reader runs there.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzzing {

// Enters a scratch folder once per process, with standard input at its end
// so that a keyboard wait returns at once.
inline void enter_scratch_folder() {
    static bool done = false;
    if (done) return;
    done = true;
    std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::filesystem::path dir = base / ("suite_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    static const std::filesystem::path scratch = dir;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    });
    if (!std::freopen("/dev/null", "r", stdin)) std::abort();
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
}

// Writes the input to `name` in the scratch folder.
inline void write_input(const std::string& name, const std::uint8_t* data, std::size_t size) {
    enter_scratch_folder();
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

}  // namespace fuzzing
