// The long-term read-back GETBACK: the first line of an input is the first
// record of the resampled grid file (the lattice cell size), the rest is
// PLOTBATH.DAT. The site is 4 x 6 points (inputs of even length; the grid
// is copied) or 2 x 202 points (taken back from a 201 x 1 lattice by
// interpolation). Every outcome must be the last grid taken back, or the
// depths kept as they were.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_file.hpp"
#include "placer/kernels.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t first = 0;
    while (first < size && data[first] != '\n') ++first;
    fuzzing::write_input("SITE.TNS", data, first);
    const std::size_t rest = first < size ? first + 1 : size;
    fuzzing::write_input("PLOTBATH.DAT", data + rest, size - rest);

    placer::LongTermFrame fr;
    const bool direct = size % 2 == 0;
    suitefiles::SiteGeometry& site = fr.site;
    site.interval = 20;
    site.points_ns = direct ? 4 : 2;
    site.points_we = direct ? 6 : 202;
    site.total_points = site.points_ns * site.points_we;
    fr.we_extent = (site.points_we - 1) * site.interval;
    fr.ns_extent = (site.points_ns - 1) * site.interval;
    site.rotation = 30.0f;
    site.nw_e = 1000.0f;
    site.nw_n = 5000.0f;
    std::vector<float> depth(gridlib::MAXPTS, 40.0f);
    const std::vector<float> before = depth;
    placer::WorkGrid work;
    placer::Lattice lattice;
    placer::GetbackResult result{};
    placer::GETBACK("SITE.TNS", work, depth, lattice, fr, &result, "PLOTBATH.DAT");
    if (result == placer::GetbackResult::Kept && depth != before) std::abort();  // kept means kept
    return 0;
}
