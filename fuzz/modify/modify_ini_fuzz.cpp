// MODIFY.INI on arbitrary text: read and checked; point edits read whole are
// applied to a small site, which is then checked against its files.
#include <cstdint>
#include <cstdlib>

#include "fuzz_file.hpp"
#include "modify/modify.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("MODIFY.INI", data, size);
    modify::Control c;
    try {
        recio::RecordReader in("MODIFY.INI");
        if (!modify::read_control(in, c).empty()) return 0;
    } catch (const recio::RecordError&) {
        return 0;
    }
    if (c.edits.size() > static_cast<std::size_t>(modify::MAX_EDITS)) std::abort();
    if (c.mode != modify::MODE_EDITS) return 0;
    gridlib::SiteGrid g;
    g.points_ns = 6;
    g.points_we = 7;
    g.total_points = 42;
    g.interval = 100;
    g.rotation = 30.0f;
    g.coord_system = size % 2 == 0 ? 1 : 2;
    for (std::size_t i = 0; i < 42; ++i) g.depth[i] = 30.0f;
    modify::apply_edits(g, 3000.0f, 60.0f, c.edits);
    gridlib::SiteSummary s;
    gridlib::site_storable(g, s, 0);
    return 0;
}
