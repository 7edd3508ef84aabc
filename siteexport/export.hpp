// Site grids for GIS and Python: a raster as a GeoTIFF (through GDAL) and the
// long-term grid series as a CF-conventions NetCDF file (through netCDF-C).
//
// Both files are placed on the map of the site (see results/frame.hpp):
// easting/northing in feet for a plane site, signed longitude (east
// positive) and latitude for a geographic one. A coordinate reference system
// named by the user (for example EPSG:2269) is written into the file; a
// geographic site without one is given WGS 84 (EPSG:4326).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "results/frame.hpp"
#include "results/readers.hpp"

namespace siteexport {

// The coordinate reference system of an export: its WKT (empty when the
// user named none for a plane site) and what the user should know about it.
struct Crs {
    std::string wkt;
    bool geographic = false;
    std::vector<std::string> notes;
};

// Resolves a user's CRS text ("EPSG:2269", a WKT or PROJ string) for a
// frame; throws results::InputError when GDAL does not know it.
Crs resolve_crs(const std::string& user_text, const results::Frame& frame);

// Writes the raster as a one-band Float32 GeoTIFF whose geotransform places
// every node at the centre of its pixel (rotation terms for a rotated site).
void write_geotiff(const std::string& path, const results::Frame& frame,
                   const results::Raster& raster, const Crs& crs, const std::string& description,
                   const std::map<std::string, std::string>& metadata);

struct NetcdfOptions {
    std::string start_date = "2000-01-01";  // date of hour 0 of the simulated period
    std::string title;
    std::string source;
};

// Writes the series as depth(time, y, x): x along the rows (west to east),
// y along the columns (south to north), time in hours since start_date.
// An unrotated site has one-dimensional coordinates x and y (easting and
// northing, or longitude and latitude); a rotated one has two-dimensional
// coordinates over (y, x) and the affine geotransform on its grid mapping.
void write_netcdf(const std::string& path, const results::Frame& frame,
                  const results::BathSeries& series, double we_ft, double ns_ft, const Crs& crs,
                  const NetcdfOptions& options);

// A map over a site lattice, one plane per entry of the leading dimension
// (for example one per plan of an ensemble), each plane in the lattice's
// order (row by row along y, columns along x).
struct NetcdfField {
    std::string name, long_name, units;
    std::string positive;  // "down" for depths, "" for none
    std::vector<std::vector<float>> planes;
};

// Writes fields(<leading>, y, x) on the lattice, with the coordinates and
// grid mapping of write_netcdf and the given global attributes; a projected
// CRS of a common projection (transverse Mercator, Lambert conformal conic,
// Albers, Mercator) also gets CF's grid_mapping_name and parameters.
void write_netcdf_fields(const std::string& path, const results::Frame& frame,
                         const results::Raster& lattice, const Crs& crs, const std::string& leading,
                         std::size_t planes, const std::vector<NetcdfField>& fields,
                         const std::map<std::string, std::string>& globals);

}  // namespace siteexport
