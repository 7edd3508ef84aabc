// UTL.INI on arbitrary text, read as each job reads it. A mound or berm read
// whole is built on a small site (a berm with lines of any length, in plane
// or geographic coordinates), and the windowed berm must give the depths of
// the whole-grid sweep; the site is then checked against its files.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_file.hpp"
#include "utility/utility.hpp"

namespace {

gridlib::SiteGrid small_site(std::size_t size) {
    gridlib::SiteGrid g;
    g.points_ns = 8;
    g.points_we = 9;
    g.total_points = 72;
    g.interval = static_cast<std::int16_t>(1 + size % 97);
    g.rotation = static_cast<float>(size % 360);
    g.coord_system = size % 3 == 0 ? 2 : 1;
    for (std::size_t i = 0; i < 72; ++i) g.depth[i] = 20.0f + static_cast<float>(i % 5);
    return g;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("UTL.INI", data, size);
    try {
        recio::RecordReader in("UTL.INI");
        utility::VolumesControl v;
        utility::read_volumes_control(in, v);
    } catch (const recio::RecordError&) {
    }
    utility::StructureControl c;
    try {
        recio::RecordReader in("UTL.INI");
        if (!utility::read_structure_control(in, c).empty()) return 0;
    } catch (const recio::RecordError&) {
        return 0;
    }
    gridlib::SiteGrid windowed = small_site(size), swept = small_site(size);
    const float nw_e = windowed.coord_system == 2 ? 76.5f : 1000.0f,
                nw_n = windowed.coord_system == 2 ? 38.9f : 5000.0f;
    utility::ShapedSite a(windowed, nw_e, nw_n), b(swept, nw_e, nw_n);
    if (c.structure == 'M') {
        utility::apply_mound(a, c.mound);
    } else {
        const utility::BermLine line = utility::berm_line(c.berm, windowed.interval, a.f);
        if (line.too_long) return 0;
        utility::apply_berm(a, c.berm);
        // The sweep visits every step: only for lines short enough to sweep.
        if (line.steps <= 20000) {
            utility::apply_berm_every_point(b, c.berm);
            if (std::memcmp(windowed.depth.data(), swept.depth.data(), 72 * sizeof(float)) != 0)
                std::abort();
        }
    }
    gridlib::SiteSummary s;
    gridlib::site_storable(windowed, s, 0);
    return 0;
}
