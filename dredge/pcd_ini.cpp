// PCD.INI, the grid size rule and the output interval check.
#include <string>

#include "dredge/driver.hpp"
#include "dredge/errors.hpp"
#include "recio/console.hpp"
#include "suitefiles/geometry.hpp"

namespace dredge {

namespace {

std::string trimmed(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

Controls read_pcd_ini(const std::string& path) {
    recio::RecordReader in(path);
    if (!in.is_open()) throw RunError("COULD NOT OPEN " + path);
    Controls c;
    in.need("(7I5)", c.n0, c.ndays, c.nx, c.ny, c.iwave, c.itide, c.icoh);
    // The name fills columns 1-32; text beyond them is not part of it.
    std::string record;
    in.need("(A)", record);
    c.grid_file = trimmed(record.substr(0, 32));
    c.grid_name_cut = record.size() > 32 && !trimmed(record.substr(32)).empty();
    in.need("(6F8.3)", c.grid_angle, c.wave_height, c.wave_period, c.wave_direction,
            c.gauge_depth_constant, c.gauge_depth_series);
    in.need("(6F8.3)", c.schedule_value, c.speed1, c.direction1, c.switch_day, c.speed2,
            c.direction2);
    in.need("(F8.3,I4,3F8.3)", c.grain_size, c.ised, c.angle1, c.angle2, c.porosity);
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
