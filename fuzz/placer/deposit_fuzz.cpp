// The deposit file CLDX.DUT as RDEPOS reads it after a fate run, for a fate
// grid of 44 x 44 (inputs of even length) or 64 x 64 nodes, on a small
// site: the blocks, the relocation of the dump point and the superposition.
// Every outcome must be a deposit added or a failure with the depths unchanged.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_file.hpp"
#include "placer/kernels.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("CLDX.DUT", data, size);
    placer::SiteFrame site;
    site.total_points = 20 * 60;
    site.points_we = 60;
    site.points_ns = 20;
    site.interval = 20;
    site.nw_e = 1000.0f;
    site.nw_n = 5000.0f;
    std::vector<float> depth(gridlib::MAXPTS, 40.0f);
    const std::vector<float> before = depth;
    placer::WorkGrid work;
    const std::int16_t n = size % 2 == 0 ? 44 : 64;
    // The dump at row 10, column 30 (1600, 4800).
    if (placer::RDEPOS(work, 1800.0f, 1600.0f, 4800.0f, site, depth, n, n, "CLDX.DUT") != 0 &&
        depth != before)
        std::abort();  // a failed read-back must leave the depths as they were
    return 0;
}
