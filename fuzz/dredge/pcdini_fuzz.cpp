// PCD.INI on arbitrary text: the five records, the grid size rule and the
// checks of the values. Every outcome must be a set of controls, a RunError
// naming the record and value, or a RecordError.
#include <cstdint>

#include "dredge/driver.hpp"
#include "dredge/errors.hpp"
#include "fuzz_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("PCD.INI", data, size);
    try {
        dredge::Controls c = dredge::read_pcd_ini("PCD.INI");
        if (c.n0 == 0) c.n0 = 1;
        dredge::limit_grid_size(c.nx, c.ny);
        const bool calm = c.iwave == 3 && c.itide == 2 && c.speed1 == 0.0f && c.speed2 == 0.0f;
        dredge::check_controls(c, calm);
        dredge::check_output_interval(c.ndays * 24);
    } catch (const dredge::RunError&) {
    } catch (const recio::RecordError&) {
    }
    return 0;
}
