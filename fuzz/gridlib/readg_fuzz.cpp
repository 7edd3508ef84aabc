// READG on arbitrary summary files. A summary it accepts, portrayed again by
// ARGPB over a small grid (unless a value does not fit its field, which
// ARGPB then refuses), reads back with the same counters, extents,
// intervals and corners after a second round.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_file.hpp"
#include "gridlib/sitegrid.hpp"

namespace {

using namespace gridlib;

bool same(const SiteSummary& a, const SiteSummary& b) {
    return a.seq_since_last == b.seq_since_last && a.total_seq == b.total_seq &&
           a.ns_extent == b.ns_extent && a.we_extent == b.we_extent &&
           a.survey_interval == b.survey_interval && a.portrayal_interval == b.portrayal_interval &&
           std::memcmp(&a.corners, &b.corners, sizeof(SiteCorners)) == 0;
}

const SiteGrid& small_grid() {
    static SiteGrid g = [] {
        SiteGrid s;
        s.points_ns = 30;
        s.points_we = 12;
        s.total_points = 360;
        s.interval = 50;
        for (std::size_t i = 0; i < 360; ++i) s.depth[i] = 20.0f + static_cast<float>(i % 17);
        ResampleWork w;
        if (!GRID1("GRID.IN", 0.0f, 0.0f, s, w, GRID1_GRID_ONLY, 0, "")) std::abort();
        return s;
    }();
    return g;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("SITE.OUT", data, size);
    const SiteGrid& g = small_grid();
    SiteSummary s;
    if (READG("SITE.OUT", s) != GRID_OK) return 0;
    std::int8_t turned = 0;
    const bool storable = summary_fault(g, s, 0).empty();
    if (ARGPB("GRID.IN", "ONE.OUT", s, 0, turned) != storable) std::abort();
    if (!storable) return 0;
    SiteSummary one, two;
    if (READG("ONE.OUT", one) != GRID_OK) std::abort();
    if (!ARGPB("GRID.IN", "TWO.OUT", one, 0, turned)) std::abort();
    if (READG("TWO.OUT", two) != GRID_OK || !same(one, two)) std::abort();
    return 0;
}
