// A site grid loaded for drawing or export: the grid file, read with RGRID1,
// and the map frame from the site summary file beside it.
#pragma once

#include <string>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "results/errors.hpp"
#include "results/frame.hpp"

namespace results {

struct Site {
    std::string grid_file;
    std::string summary_file;  // empty when no summary was read
    gridlib::SiteGrid grid;
    Frame frame;
    Raster depths;                   // the grid's depths, northern row first
    std::vector<std::string> notes;  // what the user should know about the frame
};

// The site summary file written beside a grid file: the same name with
// ".OUT" (or ".out") in place of its extension; empty if there is none.
std::string companion_summary(const std::string& grid_file);

// Loads a site grid file. The site's NW corner comes from the summary file
// (given, or the companion of the grid file); without one the local NW corner
// of the grid file is used, which for a plane site is the same corner, and a
// geographic site is then drawn in its local plane feet (noted in notes).
// summary_file "-" reads no summary.
Site load_site(const std::string& grid_file, const std::string& summary_file = "");

// The site's depths as a raster, northern row first.
Raster site_raster(const gridlib::SiteGrid& g);

// before - after on two grids of the same site: the thickness of new material
// where it is positive, the depth of erosion where negative. The grids must
// have the same points, interval and rotation.
Raster grid_difference(const Site& before, const Site& after);

}  // namespace results
