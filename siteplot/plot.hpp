// Pictures drawn with PLplot (cairo devices: PNG, and SVG for a ".svg" name).
//
// A map shows a raster of the site as shaded bands with contour lines, the
// outline of the lattice, a colour bar and, when given, dump positions, in
// the site's own coordinates (easting/northing in feet, or signed longitude
// and latitude in degrees), north up and at equal scale on both axes, so a
// rotated grid appears rotated.
#pragma once

#include <string>
#include <vector>

#include "results/frame.hpp"
#include "results/mound.hpp"
#include "siteplot/scale.hpp"

namespace siteplot {

using results::XY;

// Where the map of a picture lies on the page.
struct PageGeometry {
    int width = 0, height = 0;  // pixels
    double vx0 = 0, vx1 = 0, vy0 = 0,
           vy1 = 0;  // map viewport, normalized page coordinates (0..1, y up)
    double wx0 = 0, wx1 = 0, wy0 = 0, wy1 = 0;  // map coordinates at its edges
    // Pixel of a map point: column from the left, row from the top.
    XY pixel(const XY& p) const;
};

// A contour line of another field over the same lattice, drawn over a map
// (for example where the bottom reaches a given depth).
struct Isoline {
    results::Raster raster;  // the same lattice as the map's
    double level = 0;
    std::string label;  // shown above the map
};

struct MapPicture {
    std::string title, subtitle;
    results::Frame frame;
    results::Raster raster;
    Scale scale;
    std::string bar_label;
    bool skip_zero_contour = false;
    std::vector<XY> dumps;  // map coordinates
    std::string dumps_label;
    std::vector<XY> marks;  // points drawn as a large cross (a dump point)
    std::vector<Isoline> isolines;
    std::string x_label, y_label;
    // When given, the map frames these points (map coordinates) with a
    // margin, within the site, instead of the whole lattice.
    std::vector<XY> focus;
};

// Axis labels for a frame: easting/northing in feet, or longitude/latitude.
void set_axis_labels(MapPicture& p);

// The page layout of a map, without drawing it.
PageGeometry map_layout(int width, int height, const MapPicture& p);
// The raster's values at the nodes the map of that size shows (all of them
// unless it frames a part of the site), to fit a colour scale to.
std::vector<float> values_in_view(int width, int height, const MapPicture& p);
// Draws the map into path (".png" or ".svg"); returns its layout.
PageGeometry draw_map(const std::string& path, int width, int height, const MapPicture& p);

struct EvolutionPicture {
    std::string title;
    std::string reference;  // how heights are measured, shown under the title
    std::vector<results::MoundState> states;
    // For a site history: true for the states after a disposal week (drawn as
    // squares, the others as dots), and the time axis counts from the start
    // of the activity.
    std::vector<bool> disposal;
    bool activity = false;
};

// Mound height, volume and centroid offset against time, in three panels.
void draw_evolution(const std::string& path, int width, int height, const EvolutionPicture& p);

// The PLplot device for a picture name: "pngcairo" or "svgcairo"; throws
// results::InputError for any other extension.
std::string device_for(const std::string& path);

}  // namespace siteplot
