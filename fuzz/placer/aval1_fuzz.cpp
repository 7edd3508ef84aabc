// AVAL1 on arbitrary small grids: the first bytes give the grid size, node
// spacing and the two angles (as the start-up checks let them through:
// avalanching angle above 0 and up to 90 degrees, post-avalanching angle
// from 0 up to below it), the rest the depths (within the grid files' F8.3
// field). The call must end (a hang is a timeout) and leave finite depths.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_file.hpp"
#include "placer/kernels.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    fuzzing::enter_scratch_folder();  // the console goes to /dev/null
    const auto npr = static_cast<std::int16_t>(2 + data[0] % 14);
    const auto nrow = static_cast<std::int16_t>(2 + data[1] % 14);
    const auto spacing = static_cast<std::int16_t>(1 + data[2] % 100);
    const float aval = 0.5f + static_cast<float>(data[3] % 180) * 0.5f;  // 0.5 .. 90
    const float post = aval * static_cast<float>(data[4]) / 256.0f;      // 0 .. below aval
    std::vector<float> depth(static_cast<std::size_t>(npr * nrow), 40.0f);
    for (std::size_t i = 0; i < depth.size() && 5 + 2 * i + 1 < size; ++i) {
        const int raw = data[5 + 2 * i] | (data[5 + 2 * i + 1] << 8);  // 0 .. 65535
        depth[i] = -999.0f + static_cast<float>(raw) * (10998.0f / 65535.0f);
    }
    placer::WorkGrid work;
    placer::AVAL1(work, depth, aval, post, npr, nrow, spacing);
    for (float d : depth)
        if (!std::isfinite(d)) std::abort();
    return 0;
}
