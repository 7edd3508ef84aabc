// File names of a site and its geometry.
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

suitefiles::SiteGeometry geometry_of(const SiteGrid& grid, float nw_e, float nw_n) {
    suitefiles::SiteGeometry s;
    s.total_points = grid.total_points;
    s.points_we = grid.points_we;
    s.points_ns = grid.points_ns;
    s.interval = grid.interval;
    s.rotation = grid.rotation;
    s.coord_system = grid.coord_system;
    s.nw_e = nw_e;
    s.nw_n = nw_n;
    return s;
}

}  // namespace gridlib
