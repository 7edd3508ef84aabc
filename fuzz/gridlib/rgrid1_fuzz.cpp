// RGRID1 on arbitrary grid files. A grid it accepts must store and load back
// without loss: GRID1 writes it (unless it holds a value its fields cannot
// carry, which GRID1 then refuses), RGRID1 reads the copy, and a second round
// gives the same grid bit for bit. ARGPB then portrays it, and READG reads
// the summary back.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_file.hpp"
#include "gridlib/sitegrid.hpp"

namespace {

using namespace gridlib;

bool same(const SiteGrid& a, const SiteGrid& b) {
    return a.total_points == b.total_points && a.points_ns == b.points_ns &&
           a.points_we == b.points_we && a.interval == b.interval &&
           a.coord_system == b.coord_system &&
           std::memcmp(&a.rotation, &b.rotation, sizeof(float)) == 0 &&
           std::memcmp(&a.datum, &b.datum, sizeof(float)) == 0 &&
           std::memcmp(&a.local_nw_e, &b.local_nw_e, sizeof(float)) == 0 &&
           std::memcmp(&a.local_nw_n, &b.local_nw_n, sizeof(float)) == 0 &&
           std::memcmp(a.depth.data(), b.depth.data(),
                       sizeof(float) * static_cast<std::size_t>(a.total_points)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("SITE.IN", data, size);
    SiteGrid header;
    RGRID1_HEADER("SITE.IN", header);
    SiteGrid g;
    if (RGRID1("SITE.IN", g) != GRID_OK) return 0;

    static ResampleWork work;
    const bool storable = grid_fault(g).empty();
    if (GRID1("ONE.IN", 1000.0f, 2000.0f, g, work, GRID1_NEW, 2, "FUZZ") != storable) std::abort();
    if (!storable) return 0;
    SiteGrid one, two;
    if (RGRID1("ONE.IN", one) != GRID_OK) std::abort();
    if (!GRID1("TWO.IN", 1000.0f, 2000.0f, one, work, GRID1_NEW, 2, "FUZZ")) std::abort();
    if (RGRID1("TWO.IN", two) != GRID_OK || !same(one, two)) std::abort();

    SiteSummary s;
    s.ns_extent = (one.points_ns - 1) * one.interval;
    s.we_extent = (one.points_we - 1) * one.interval;
    s.survey_interval = s.portrayal_interval = one.interval;
    std::int8_t turned = 0;
    const bool portrayable = summary_fault(one, s, 1).empty();
    if (ARGPB("ONE.IN", "ONE.OUT", s, 1, turned) != portrayable) std::abort();
    if (portrayable) {
        SiteSummary back;
        if (READG("ONE.OUT", back) != GRID_OK || back.ns_extent != s.ns_extent ||
            back.we_extent != s.we_extent)
            std::abort();
    }
    return 0;
}
