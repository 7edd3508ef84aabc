// placer: simulates a disposal activity at one site, load by load.
//   placer [--seed N]   N fixes the random scatter (0 to 4294967295)
#include <cctype>
#include <cstdlib>
#include <string>

#include "placer/driver.hpp"
#include "recio/console.hpp"
#include "recio/program.hpp"

namespace {

// Reads the command line into the run's options; false on a usage error.
bool parse_arguments(int argc, char** argv, placer::RunOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seed" && i + 1 < argc) {
            const std::string value = argv[++i];
            char* end = nullptr;
            const unsigned long long seed = std::strtoull(value.c_str(), &end, 10);
            if (value.empty() || !std::isdigit(static_cast<unsigned char>(value[0])) ||
                *end != '\0' || seed > 4294967295ULL)
                return false;
            options.seed = static_cast<std::uint32_t>(seed);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    placer::RunOptions options;
    if (!parse_arguments(argc, argv, options)) {
        recio::console_list(
            "USAGE: placer [--seed N]   (N: 0 to 4294967295, fixes the random scatter)");
        return recio::STATUS_USAGE;
    }
    return recio::run_main({"PLACER", ""}, [&] { return placer::run(options); });
}
