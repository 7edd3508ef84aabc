// File names of a site and the position of its points.
#include "gridlib/sitegrid.hpp"

namespace gridlib {

std::int16_t IBLANKS(std::string_view text) {
    std::size_t blank = text.find(' ');
    return static_cast<std::int16_t>(blank == std::string_view::npos ? text.size() : blank);
}

std::int16_t IPERIOD(std::string_view text) {
    std::size_t period = text.find('.');
    return static_cast<std::int16_t>(period == std::string_view::npos ? 0 : period);
}

std::string site_file_name(std::string_view prefix, std::string_view site,
                           std::string_view extension) {
    return std::string(prefix.substr(0, static_cast<std::size_t>(IBLANKS(prefix)))) +
           std::string(site.substr(0, static_cast<std::size_t>(IBLANKS(site)))) +
           std::string(extension);
}

std::string base_name(std::string_view file_name) {
    // The first period of the file's own name: a period in the folder part
    // ("./", "../data/") does not end the base.
    std::size_t folder = file_name.find_last_of("/\\");
    std::size_t start = folder == std::string_view::npos ? 0 : folder + 1;
    std::string_view own = file_name.substr(start);
    return std::string(file_name.substr(0, start + static_cast<std::size_t>(IPERIOD(own))));
}

std::string trimmed(std::string_view name) {
    std::size_t end = name.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(name.substr(0, end + 1));
}

Rotation rotation_of(float rotation_deg, std::int16_t coord_system, float nw_latitude) {
    Rotation r;
    float angle = radians(rotation_deg);
    r.sinr = std::sin(angle);
    r.cosr = std::cos(angle);
    if (coord_system == 2) r.cl = std::cos(radians(nw_latitude));
    return r;
}

Position site_position(std::int32_t point, const SiteGrid& grid, float e0, float n0,
                       const Rotation& rot) {
    std::int32_t row = point_row(point, grid.points_we);
    std::int32_t col = point - (row * grid.points_we + 1);
    float xl = static_cast<float>(col * grid.interval);
    float yl = static_cast<float>(row * grid.interval);
    Position p;
    if (grid.coord_system == 2) {
        p.n = n0 - (yl * rot.cosr - xl * rot.sinr) / FEET_PER_DEGREE;
        p.e = e0 - (xl * rot.cosr + yl * rot.sinr) / (FEET_PER_DEGREE * rot.cl);
    } else {
        p.e = e0 + xl * rot.cosr + yl * rot.sinr;
        p.n = n0 + xl * rot.sinr - yl * rot.cosr;
    }
    return p;
}

}  // namespace gridlib
