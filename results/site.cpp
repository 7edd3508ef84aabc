#include "results/site.hpp"

#include <cmath>
#include <filesystem>

#include "results/readers.hpp"

namespace results {

std::string companion_summary(const std::string& grid_file) {
    namespace fs = std::filesystem;
    for (const char* ext : {".OUT", ".out"}) {
        fs::path p(grid_file);
        p.replace_extension(ext);
        std::error_code ec;
        if (fs::exists(p, ec)) return p.string();  // a directory there is named when read
    }
    return {};
}

Raster site_raster(const gridlib::SiteGrid& g) {
    Raster r;
    r.nx = g.points_we;
    r.ny = g.points_ns;
    r.dx = r.dy = static_cast<double>(g.interval);
    r.v.assign(g.depth.begin(), g.depth.begin() + g.total_points);
    return r;
}

Site load_site(const std::string& grid_file, const std::string& summary_file) {
    need_input_file(grid_file, "GRID FILE");
    Site s;
    s.grid_file = grid_file;
    if (gridlib::shown(gridlib::RGRID1(grid_file, s.grid)) != gridlib::GRID_OK)
        throw InputError("GRID FILE CANNOT BE READ: " + grid_file);
    const gridlib::SiteGrid& g = s.grid;

    std::string summary = summary_file;
    if (summary.empty()) summary = companion_summary(grid_file);
    if (summary == "-") summary.clear();
    gridlib::SiteSummary sum;
    if (!summary.empty()) {
        need_input_file(summary, "SUMMARY FILE");
        if (gridlib::shown(gridlib::READG(summary, sum)) != gridlib::GRID_OK)
            throw InputError("SUMMARY FILE CANNOT BE READ: " + summary);
        s.summary_file = summary;
    }

    const double rot = static_cast<double>(g.rotation);
    const bool known_system = g.coord_system == 1 || g.coord_system == 2;
    if (known_system && !s.summary_file.empty()) {
        s.frame = make_frame(g.coord_system, static_cast<double>(sum.corners.nw_e),
                             static_cast<double>(sum.corners.nw_n), rot);
    } else {
        s.frame = make_frame(1, static_cast<double>(g.local_nw_e),
                             static_cast<double>(g.local_nw_n), rot);
        if (!known_system)
            s.notes.push_back("COORDINATE SYSTEM " + std::to_string(g.coord_system) +
                              " IS NEITHER 1 NOR 2: THE SITE IS PLACED IN ITS LOCAL PLANE FEET");
        else if (g.coord_system == 2)
            s.notes.push_back(
                "NO SITE SUMMARY FILE: THE GEOGRAPHIC SITE IS PLACED IN ITS LOCAL PLANE FEET");
    }
    s.depths = site_raster(g);
    return s;
}

Raster grid_difference(const Site& before, const Site& after) {
    const gridlib::SiteGrid& a = before.grid;
    const gridlib::SiteGrid& b = after.grid;
    if (a.points_we != b.points_we || a.points_ns != b.points_ns)
        throw InputError("THE GRIDS ARE NOT OF THE SAME SIZE: " + std::to_string(a.points_we) +
                         " x " + std::to_string(a.points_ns) + " AND " +
                         std::to_string(b.points_we) + " x " + std::to_string(b.points_ns) +
                         " POINTS (W-E x N-S)");
    if (a.interval != b.interval) throw InputError("THE GRIDS HAVE DIFFERENT INTERVALS");
    if (std::fabs(a.rotation - b.rotation) > 0.05f)
        throw InputError("THE GRIDS HAVE DIFFERENT ROTATIONS");
    if (std::fabs(a.local_nw_e - b.local_nw_e) > 1.0f ||
        std::fabs(a.local_nw_n - b.local_nw_n) > 1.0f)
        throw InputError("THE GRIDS ARE NOT OF THE SAME SITE: THEIR LOCAL NW CORNERS DIFFER");
    Raster d = before.depths;
    for (std::size_t i = 0; i < d.v.size(); ++i) d.v[i] = before.depths.v[i] - after.depths.v[i];
    return d;
}

}  // namespace results
