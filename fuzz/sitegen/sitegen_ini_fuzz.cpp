// SITEGEN.INI on arbitrary text: the control file is read, checked, and when
// it describes a grid the depths are built (a sloping plane, or a survey
// adaptation of whatever file it names, usually none) and the site checked
// against its files. Nothing is stored.
#include <cstdint>
#include <cstdlib>

#include "fuzz_file.hpp"
#include "sitegen/sitegen.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("SITEGEN.INI", data, size);
    sitegen::Control c;
    try {
        recio::RecordReader in("SITEGEN.INI");
        c = sitegen::read_control(in);
    } catch (const recio::RecordError&) {
        return 0;
    }
    if (!sitegen::control_fault(c).empty()) return 0;
    // Every check passed: the counts describe a grid the grid file can hold.
    if (c.total_points < 1 || c.total_points > gridlib::MAXPTS || c.interval < 1) std::abort();
    gridlib::SiteGrid grid = sitegen::grid_of(c);
    try {
        const sitegen::Depths d = sitegen::PREBATH(c, grid);
        if (!d.datum_formed) return 0;
        grid.datum = d.datum;
    } catch (const recio::RecordError&) {  // an unreadable survey
        return 0;
    }
    gridlib::site_storable(grid, sitegen::summary_of(c), 1);
    return 0;
}
