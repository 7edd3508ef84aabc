// PCD.INI read, the grid size rule and the output interval check.
#include <string>

#include "dredge/driver.hpp"
#include "dredge/errors.hpp"
#include "recio/console.hpp"
#include "suitefiles/geometry.hpp"

namespace dredge {

Controls read_pcd_ini(const std::string& path) {
    Controls c;
    if (!suitefiles::read_pcd_ini(path, c)) throw RunError("COULD NOT OPEN " + path);
    return c;
}

void limit_grid_size(std::int16_t& nx, std::int16_t& ny) {
    const suitefiles::LatticeSize size = suitefiles::lattice_size(nx, ny);
    nx = static_cast<std::int16_t>(size.nx);
    ny = static_cast<std::int16_t>(size.ny);
}

std::int32_t check_output_interval(std::int32_t interval) {
    if (interval % 3 == 0) return interval;
    recio::console_list("MULTIPLE OF THREE, PLEASE!");
    recio::console_list("<6> OUTPUT INTERVAL (hours) =");
    recio::keyboard_list(interval);
    return interval;
}

}  // namespace dredge
