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
#include <utility>
#include <vector>

#include "results/frame.hpp"
#include "results/readers.hpp"

namespace siteexport {

// A numeric attribute of a CF grid mapping (standard_parallel has two values).
struct CfParameter {
    std::string name;
    std::vector<double> values;
};

// The coordinate reference system of an export: its WKT (empty when the
// user named none for a plane site), its EPSG code when it has one, its CF
// grid mapping (empty name when CF has none for its projection), and what
// the user should know about it.
struct Crs {
    std::string wkt;
    bool geographic = false;
    std::string epsg;               // "EPSG:2269", or empty
    std::string grid_mapping_name;  // CF name, e.g. "lambert_conformal_conic"
    std::vector<CfParameter> cf_parameters;
    std::vector<std::pair<std::string, std::string>> cf_names;  // horizontal_datum_name ...
    std::string cf_note;  // why the NetCDF file has no grid_mapping_name, or empty
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
    // Where the start date comes from, for the time variable's comment, e.g.
    // "the start month and year of the activity in DUMP.INI (day 1)".
    std::string start_source = "no start date of the activity was known: 2000-01-01 stands in";
    std::string datum;  // name of the vertical datum of the site depths, or empty
    std::string title;
    std::string source;
};

// Writes the series as depth(time, y, x): x along the rows (west to east),
// y along the columns (south to north), time in hours since start_date.
// Every data variable names the grid mapping `crs`.
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
