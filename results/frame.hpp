// Where the values of a site lie on the map.
//
// Every grid of the suite is a lattice laid along the site's own axes: rows
// run west to east, columns north to south, both turned by the site rotation
// and anchored at the north-west corner. A point of a lattice is first placed
// in the local frame (XL feet along the rows, YL feet down the columns from
// the NW corner) and then on the map:
//
//   plane site (system 1):      x = E0 + XL COSR + YL SINR
//                               y = N0 + XL SINR - YL COSR          (feet)
//   geographic site (system 2): x = -E0 + (XL COSR + YL SINR) / (CL x 364800)
//                               y =  N0 + (XL SINR - YL COSR) / 364800   (degrees)
//
// The suite keeps longitudes positive to the west; the map and every exported
// file carry the usual signed longitude (east positive, so a western site has
// negative x), which is what GIS and plotting software expect. Both maps are
// affine in (XL, YL), so a rotated grid has an exact affine geotransform.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "suitefiles/geometry.hpp"

namespace results {

struct XY {
    double x = 0, y = 0;
};

// The map frame of a site.
struct Frame {
    int coord_system = 1;       // 1 plane feet, 2 longitude/latitude degrees
    double nw_e = 0, nw_n = 0;  // NW corner as the suite stores it (longitude west-positive)
    double rotation_deg = 0;
    double sinr = 0, cosr = 1;
    double cl = 1;  // cosine of the NW latitude (system 2)
    bool geographic() const { return coord_system == 2; }
};

Frame make_frame(int coord_system, double nw_e, double nw_n, double rotation_deg);

// Local offsets (feet along the rows, feet down the columns) to map coordinates.
XY to_map(const Frame& f, double xl, double yl);
// Map coordinates back to local offsets.
XY to_local(const Frame& f, double x, double y);
// A position as the suite writes it (easting/northing, or west-positive
// longitude/latitude) to map coordinates.
XY site_to_map(const Frame& f, double e, double n);

// Map units per foot along x and y, for equal-scale pictures of geographic sites.
XY map_units_per_foot(const Frame& f);

// A lattice of values laid along the site axes. Row 0 is the northern row
// (as a picture or a GeoTIFF is stored), column 0 the western column.
struct Raster {
    int nx = 0, ny = 0;     // columns (along the rows), rows (down the columns)
    double x0 = 0, y0 = 0;  // local offsets of node (column 0, row 0), feet
    double dx = 0, dy = 0;  // node spacing along the rows and down the columns, feet
    std::vector<float> v;   // nx*ny values, row-major, northern row first
    float at(int col, int row) const {
        return v[static_cast<std::size_t>(row) * static_cast<std::size_t>(nx) +
                 static_cast<std::size_t>(col)];
    }
    float& at(int col, int row) {
        return v[static_cast<std::size_t>(row) * static_cast<std::size_t>(nx) +
                 static_cast<std::size_t>(col)];
    }
};

// Map position of a node (fractional column and row allowed).
XY node_map(const Frame& f, const Raster& r, double col, double row);

// GDAL-style geotransform (x = g0 + col g1 + row g2, y = g3 + col g4 + row g5
// at pixel corners), with every node at the centre of its pixel.
std::array<double, 6> geotransform(const Frame& f, const Raster& r);

}  // namespace results
