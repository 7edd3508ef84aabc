// The console session of the dump-pattern generator on arbitrary answers,
// over a small site stored once: every session ends (the input is finite and
// its end reads as an empty answer), with a pattern or a message.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_file.hpp"
#include "gridlib/sitegrid.hpp"
#include "loadpat/loadpat.hpp"
#include "recio/console.hpp"

namespace {

void store_site_once() {
    static bool stored = false;
    if (stored) return;
    stored = true;
    gridlib::SiteGrid g;
    g.points_ns = 11;
    g.points_we = 11;
    g.total_points = 121;
    g.interval = 100;
    g.rotation = 15.0f;
    for (std::size_t i = 0; i < 121; ++i) g.depth[i] = 30.0f;
    gridlib::ResampleWork w;
    gridlib::SiteSummary s;
    s.ns_extent = s.we_extent = 1000;
    s.corners.nw_e = 10000.0f;
    s.corners.nw_n = 20000.0f;
    std::int8_t turned = 0;
    if (!gridlib::GRID1("SITE.IN", 10000.0f, 20000.0f, g, w, gridlib::GRID1_NEW, 0, "FUZZ") ||
        !gridlib::ARGPB("SITE.IN", "SITE.OUT", s, 1, turned))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("ANSWERS.TXT", data, size);
    store_site_once();
    if (!std::freopen("ANSWERS.TXT", "r", stdin)) std::abort();
    recio::keyboard_restart();
    loadpat::run_loadpat(7u);
    std::remove("SITE.XYZ");
    return 0;
}
