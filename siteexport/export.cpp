#include "siteexport/export.hpp"

#include <gdal_priv.h>
#include <netcdf.h>
#include <ogr_spatialref.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "results/errors.hpp"

namespace siteexport {
namespace {

using results::InputError;
using results::XY;

std::string number_text(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// Stops on a netCDF-C error with its message.
void nc(int status, const std::string& what) {
    if (status != NC_NOERR) throw InputError("NETCDF " + what + ": " + nc_strerror(status));
}

void text_att(int ncid, int var, const char* name, const std::string& value) {
    nc(nc_put_att_text(ncid, var, name, value.size(), value.c_str()),
       std::string("ATTRIBUTE ") + name);
}

void double_att(int ncid, int var, const char* name, double value) {
    nc(nc_put_att_double(ncid, var, name, NC_DOUBLE, 1, &value), std::string("ATTRIBUTE ") + name);
}

bool rotated(const results::Frame& f) {
    return std::fabs(f.rotation_deg) > 1e-9;
}

// A "YYYY-MM-DD" date, optionally followed by a time, as CF time units want it.
std::string checked_date(const std::string& d) {
    int y = 0, m = 0, day = 0;
    char rest[32] = {0};
    const int got = std::sscanf(d.c_str(), "%4d-%2d-%2d%31s", &y, &m, &day, rest);
    if (got < 3 || m < 1 || m > 12 || day < 1 || day > 31)
        throw InputError("--start-date TAKES A DATE YYYY-MM-DD (OPTIONALLY WITH HH:MM:SS): " + d);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, day);
    std::string out = buf;
    std::string tail = d.substr(10);
    while (!tail.empty() && (tail[0] == 'T' || tail[0] == ' ')) tail.erase(0, 1);
    out += " " + (tail.empty() ? std::string("00:00:00") : tail);
    return out;
}

// The CF projection parameters of the WKT projections CF names: for each,
// the CF grid_mapping_name and the CF attributes with the WKT parameters
// they take (two for a standard_parallel pair).
struct CfProjection {
    const char* wkt;
    const char* cf;
    std::vector<std::pair<const char*, std::vector<const char*>>> parameters;
};

const std::vector<CfProjection>& cf_projections() {
    static const std::vector<CfProjection> table = {
        {SRS_PT_TRANSVERSE_MERCATOR,
         "transverse_mercator",
         {{"scale_factor_at_central_meridian", {SRS_PP_SCALE_FACTOR}},
          {"longitude_of_central_meridian", {SRS_PP_CENTRAL_MERIDIAN}},
          {"latitude_of_projection_origin", {SRS_PP_LATITUDE_OF_ORIGIN}}}},
        {SRS_PT_LAMBERT_CONFORMAL_CONIC_2SP,
         "lambert_conformal_conic",
         {{"standard_parallel", {SRS_PP_STANDARD_PARALLEL_1, SRS_PP_STANDARD_PARALLEL_2}},
          {"longitude_of_central_meridian", {SRS_PP_CENTRAL_MERIDIAN}},
          {"latitude_of_projection_origin", {SRS_PP_LATITUDE_OF_ORIGIN}}}},
        {SRS_PT_ALBERS_CONIC_EQUAL_AREA,
         "albers_conical_equal_area",
         {{"standard_parallel", {SRS_PP_STANDARD_PARALLEL_1, SRS_PP_STANDARD_PARALLEL_2}},
          {"longitude_of_central_meridian", {SRS_PP_LONGITUDE_OF_CENTER}},
          {"latitude_of_projection_origin", {SRS_PP_LATITUDE_OF_CENTER}}}},
        {SRS_PT_MERCATOR_1SP,
         "mercator",
         {{"longitude_of_projection_origin", {SRS_PP_CENTRAL_MERIDIAN}},
          {"scale_factor_at_projection_origin", {SRS_PP_SCALE_FACTOR}}}},
        {SRS_PT_MERCATOR_2SP,
         "mercator",
         {{"longitude_of_projection_origin", {SRS_PP_CENTRAL_MERIDIAN}},
          {"standard_parallel", {SRS_PP_STANDARD_PARALLEL_1}}}},
    };
    return table;
}

// The CF grid mapping of a CRS: its name and parameters, the figure of
// the earth and the names of its parts. False easting and northing are in
// the CRS's linear unit, as the coordinates are.
void cf_grid_mapping(const OGRSpatialReference& srs, Crs& c) {
    const auto name = [&](const char* cf, const char* node) {
        if (const char* v = srs.GetAttrValue(node)) c.cf_names.emplace_back(cf, v);
    };
    if (srs.IsGeographic()) {
        c.grid_mapping_name = "latitude_longitude";
    } else if (srs.IsProjected()) {
        const char* method = srs.GetAttrValue("PROJECTION");
        const std::string m = method ? method : "";
        for (const CfProjection& p : cf_projections()) {
            if (m != p.wkt) continue;
            c.grid_mapping_name = p.cf;
            for (const auto& param : p.parameters) {
                CfParameter a{param.first, {}};
                for (const char* w : param.second) a.values.push_back(srs.GetProjParm(w, 0.0));
                c.cf_parameters.push_back(a);
            }
            c.cf_parameters.push_back({"false_easting", {srs.GetProjParm(SRS_PP_FALSE_EASTING)}});
            c.cf_parameters.push_back({"false_northing", {srs.GetProjParm(SRS_PP_FALSE_NORTHING)}});
        }
        if (c.grid_mapping_name.empty()) {
            c.cf_note = "CF NAMES NO GRID MAPPING FOR THE PROJECTION " +
                        (m.empty() ? std::string("OF THE CRS") : m) +
                        ": THE NETCDF crs VARIABLE CARRIES THE CRS AS crs_wkt ONLY";
            return;
        }
        name("projected_crs_name", "PROJCS");
    } else {
        c.cf_note =
            "THE CRS IS NEITHER GEOGRAPHIC NOR PROJECTED: THE NETCDF crs VARIABLE "
            "CARRIES IT AS crs_wkt ONLY";
        return;
    }
    OGRErr err = OGRERR_NONE;
    c.cf_parameters.push_back({"semi_major_axis", {srs.GetSemiMajor(&err)}});
    c.cf_parameters.push_back({"inverse_flattening", {srs.GetInvFlattening(&err)}});
    c.cf_parameters.push_back({"longitude_of_prime_meridian", {srs.GetPrimeMeridian()}});
    name("geographic_crs_name", "GEOGCS");
    name("horizontal_datum_name", "DATUM");
    name("reference_ellipsoid_name", "SPHEROID");
}

// "EPSG:NNNN" when the CRS is, or is recognised as, an EPSG system.
std::string epsg_of(const OGRSpatialReference& srs) {
    OGRSpatialReference probe(srs);
    const char* authority = probe.GetAuthorityName(nullptr);
    if (!authority || std::string(authority) != "EPSG") {
        if (probe.AutoIdentifyEPSG() != OGRERR_NONE) return "";
        authority = probe.GetAuthorityName(nullptr);
    }
    const char* code = probe.GetAuthorityCode(nullptr);
    if (!authority || std::string(authority) != "EPSG" || !code) return "";
    return std::string("EPSG:") + code;
}

}  // namespace

Crs resolve_crs(const std::string& user_text, const results::Frame& frame) {
    Crs c;
    OGRSpatialReference srs;
    std::string text = user_text;
    if (text.empty()) {
        if (!frame.geographic()) {
            c.cf_note =
                "NO --crs GIVEN: THE NETCDF FILE NAMES NO COORDINATE REFERENCE SYSTEM "
                "FOR THE SITE'S PLANE FEET";
            return c;
        }
        text = "EPSG:4326";
        c.notes.push_back(
            "NO --crs GIVEN: LONGITUDE AND LATITUDE ARE WRITTEN AS WGS 84 (EPSG:4326)");
    }
    if (srs.SetFromUserInput(text.c_str()) != OGRERR_NONE)
        throw InputError("UNKNOWN COORDINATE REFERENCE SYSTEM: " + text);
    c.geographic = srs.IsGeographic();
    if (frame.geographic() && !c.geographic)
        c.notes.push_back("THE SITE IS IN LONGITUDE AND LATITUDE BUT " + text +
                          " IS A PROJECTED SYSTEM");
    if (!frame.geographic() && c.geographic)
        c.notes.push_back("THE SITE IS IN PLANE FEET BUT " + text + " IS A GEOGRAPHIC SYSTEM");
    if (!frame.geographic() && srs.IsProjected()) {
        const double unit = srs.GetLinearUnits();
        if (std::fabs(unit - 0.3048) > 0.0001)
            c.notes.push_back(text + " HAS UNITS OF " + number_text(unit) +
                              " M, BUT THE SITE COORDINATES ARE IN FEET");
    }
    char* wkt = nullptr;
    const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
    if (srs.exportToWkt(&wkt, options) != OGRERR_NONE || !wkt)
        throw InputError("COORDINATE REFERENCE SYSTEM " + text + " HAS NO WKT FORM");
    c.wkt = wkt;
    CPLFree(wkt);
    c.epsg = epsg_of(srs);
    cf_grid_mapping(srs, c);
    return c;
}

void write_geotiff(const std::string& path, const results::Frame& frame,
                   const results::Raster& raster, const Crs& crs, const std::string& description,
                   const std::map<std::string, std::string>& metadata) {
    GDALAllRegister();
    CPLErrorReset();
    GDALDriver* drv = GetGDALDriverManager()->GetDriverByName("GTiff");
    if (!drv) throw InputError("GDAL HAS NO GEOTIFF DRIVER");
    char** options = nullptr;
    options = CSLSetNameValue(options, "COMPRESS", "DEFLATE");
    GDALDataset* ds = drv->Create(path.c_str(), raster.nx, raster.ny, 1, GDT_Float32, options);
    CSLDestroy(options);
    if (!ds) throw InputError("CANNOT WRITE THE GEOTIFF " + path);
    std::array<double, 6> gt = results::geotransform(frame, raster);
    bool ok = ds->SetGeoTransform(gt.data()) == CE_None;
    if (!crs.wkt.empty()) {
        OGRSpatialReference srs;
        srs.importFromWkt(crs.wkt.c_str());
        srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        ok = ok && ds->SetSpatialRef(&srs) == CE_None;
    }
    for (const auto& kv : metadata) ds->SetMetadataItem(kv.first.c_str(), kv.second.c_str());
    GDALRasterBand* band = ds->GetRasterBand(1);
    band->SetDescription(description.c_str());
    band->SetUnitType("ft");
    std::vector<float> v = raster.v;
    ok = ok && band->RasterIO(GF_Write, 0, 0, raster.nx, raster.ny, v.data(), raster.nx, raster.ny,
                              GDT_Float32, 0, 0, nullptr) == CE_None;
    ds->FlushCache(false);
    const bool flushed = CPLGetLastErrorType() != CE_Failure && CPLGetLastErrorType() != CE_Fatal;
    GDALClose(ds);
    if (!ok || !flushed) throw InputError("WRITING THE GEOTIFF " + path + " FAILED");
}

namespace {

// The netCDF variables of a long-term series.
struct NcVars {
    int dt = -1, dyd = -1, dxd = -1;  // dimensions time, y, x
    int vt = -1, vh = -1;             // time, elapsed_hours
    bool one_d = true;                // an unturned grid: 1-D x and y
    int vx = -1, vy = -1;             // 1-D coordinates
    int va = -1, vb = -1;             // 2-D coordinates of a turned grid
    std::string coordinates;          // the coordinates attribute of depth (turned grids)
    int vd = -1;                      // depth
};

void define_dimensions(int ncid, std::size_t nt, int ny, int nx, NcVars& v) {
    nc(nc_def_dim(ncid, "time", nt, &v.dt), "DIMENSION time");
    nc(nc_def_dim(ncid, "y", static_cast<std::size_t>(ny), &v.dyd), "DIMENSION y");
    nc(nc_def_dim(ncid, "x", static_cast<std::size_t>(nx), &v.dxd), "DIMENSION x");
}

void define_time(int ncid, const std::string& time_units, const NetcdfOptions& options, NcVars& v) {
    nc(nc_def_var(ncid, "time", NC_DOUBLE, 1, &v.dt, &v.vt), "VARIABLE time");
    text_att(ncid, v.vt, "standard_name", "time");
    text_att(ncid, v.vt, "long_name", "time since the start of the disposal activity");
    text_att(ncid, v.vt, "units", time_units);
    text_att(ncid, v.vt, "comment",
             "hours of the simulated period counted from " + options.start_date + ": " +
                 options.start_source);
    text_att(ncid, v.vt, "calendar", "standard");
    text_att(ncid, v.vt, "axis", "T");
    nc(nc_def_var(ncid, "elapsed_hours", NC_INT, 1, &v.dt, &v.vh), "VARIABLE elapsed_hours");
    text_att(ncid, v.vh, "long_name",
             "elapsed time of the simulated period as the long-term model counts it");
    text_att(ncid, v.vh, "units", "hours");
}

// x and y of an unturned grid; 2-D longitude/latitude (easting/northing) of a turned one.
// The names and units of the easting/longitude and northing/latitude variables.
void coordinate_attributes(int ncid, int vx, int vy, bool geo) {
    if (geo) {
        text_att(ncid, vx, "standard_name", "longitude");
        text_att(ncid, vx, "long_name", "longitude (east positive)");
        text_att(ncid, vx, "units", "degrees_east");
        text_att(ncid, vy, "standard_name", "latitude");
        text_att(ncid, vy, "long_name", "latitude");
        text_att(ncid, vy, "units", "degrees_north");
    } else {
        text_att(ncid, vx, "standard_name", "projection_x_coordinate");
        text_att(ncid, vx, "long_name", "easting");
        text_att(ncid, vx, "units", "ft");
        text_att(ncid, vy, "standard_name", "projection_y_coordinate");
        text_att(ncid, vy, "long_name", "northing");
        text_att(ncid, vy, "units", "ft");
    }
}

void define_coordinates(int ncid, const results::Frame& frame, NcVars& v) {
    const bool geo = frame.geographic();
    if (v.one_d) {
        nc(nc_def_var(ncid, "x", NC_DOUBLE, 1, &v.dxd, &v.vx), "VARIABLE x");
        nc(nc_def_var(ncid, "y", NC_DOUBLE, 1, &v.dyd, &v.vy), "VARIABLE y");
        coordinate_attributes(ncid, v.vx, v.vy, geo);
        text_att(ncid, v.vx, "axis", "X");
        text_att(ncid, v.vy, "axis", "Y");
    } else {
        const int dims[2] = {v.dyd, v.dxd};
        const char* an = geo ? "lon" : "easting";
        const char* bn = geo ? "lat" : "northing";
        nc(nc_def_var(ncid, an, NC_DOUBLE, 2, dims, &v.va), std::string("VARIABLE ") + an);
        nc(nc_def_var(ncid, bn, NC_DOUBLE, 2, dims, &v.vb), std::string("VARIABLE ") + bn);
        coordinate_attributes(ncid, v.va, v.vb, geo);
        v.coordinates = std::string(bn) + " " + an;
    }
}

// Grid mapping: the CRS, and for GDAL the affine geotransform of the lattice
// (the only way a rotated grid is placed exactly).
void define_grid_mapping(int ncid, const results::Frame& frame, const results::Raster& lattice,
                         const Crs& crs, const NcVars& v) {
    int vc;
    nc(nc_def_var(ncid, "crs", NC_INT, 0, nullptr, &vc), "VARIABLE crs");
    if (!crs.grid_mapping_name.empty()) {
        text_att(ncid, vc, "grid_mapping_name", crs.grid_mapping_name);
        for (const CfParameter& p : crs.cf_parameters)
            nc(nc_put_att_double(ncid, vc, p.name.c_str(), NC_DOUBLE, p.values.size(),
                                 p.values.data()),
               "ATTRIBUTE " + p.name);
        for (const auto& n : crs.cf_names) text_att(ncid, vc, n.first.c_str(), n.second);
    }
    if (!crs.epsg.empty()) text_att(ncid, vc, "epsg_code", crs.epsg);
    if (!crs.wkt.empty()) {
        text_att(ncid, vc, "crs_wkt", crs.wkt);
        text_att(ncid, vc, "spatial_ref", crs.wkt);
    } else {
        text_att(ncid, vc, "long_name",
                 "site plane coordinates in feet, their coordinate reference system not named "
                 "(give --crs)");
        // GDAL takes the geotransform of a turned grid only with a
        // coordinate system beside it: a local system in feet.
        if (!v.one_d)
            text_att(ncid, vc, "spatial_ref",
                     "LOCAL_CS[\"site plane coordinates "
                     "(ft)\",LOCAL_DATUM[\"site\",32767],UNIT[\"Foot\",0.3048],"
                     "AXIS[\"Easting\",EAST],AXIS[\"Northing\",NORTH]]");
    }
    if (!v.one_d) {
        const std::array<double, 6> gt = results::geotransform(frame, lattice);
        std::string g;
        for (double v : gt) g += (g.empty() ? "" : " ") + number_text(v);
        text_att(ncid, vc, "GeoTransform", g);
        text_att(ncid, vc, "comment",
                 "the grid is turned by the site rotation: x runs along the site rows, y along "
                 "its columns");
    }
    double_att(ncid, vc, "site_rotation_deg", frame.rotation_deg);
}

// The CF standard name of a depth below the named vertical datum: only mean
// sea level has one (a chart datum such as MLLW has none).
std::string depth_standard_name(const std::string& datum) {
    std::string d;
    for (char ch : datum) d += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (d == "MSL" || d == "MEAN SEA LEVEL") return "sea_floor_depth_below_mean_sea_level";
    return "";
}

void define_depth(int ncid, const std::string& datum, NcVars& v) {
    const int ddims[3] = {v.dt, v.dyd, v.dxd};
    nc(nc_def_var(ncid, "depth", NC_FLOAT, 3, ddims, &v.vd), "VARIABLE depth");
    nc(nc_def_var_deflate(ncid, v.vd, 1, 1, 4), "COMPRESSION");
    const std::string standard_name = depth_standard_name(datum);
    if (!standard_name.empty()) text_att(ncid, v.vd, "standard_name", standard_name);
    text_att(ncid, v.vd, "long_name",
             datum.empty() ? "water depth below the site datum (the datum of the survey and the "
                             "tide elevations, not named in the site files)"
                           : "water depth below the site datum, " + datum);
    text_att(ncid, v.vd, "units", "ft");
    text_att(ncid, v.vd, "positive", "down");
    text_att(ncid, v.vd, "grid_mapping", "crs");
    if (!v.coordinates.empty()) text_att(ncid, v.vd, "coordinates", v.coordinates);
}

void define_globals(int ncid, const results::BathSeries& series, const NetcdfOptions& options,
                    int nx, int ny) {
    text_att(ncid, NC_GLOBAL, "Conventions", "CF-1.8");
    text_att(ncid, NC_GLOBAL, "title",
             options.title.empty() ? "disposal mound, long-term model grids" : options.title);
    text_att(ncid, NC_GLOBAL, "source", options.source);
    text_att(ncid, NC_GLOBAL, "institution", "disposal site suite");
    {
        std::ostringstream c;
        c << "time counts hours of the simulated period from " << options.start_date << " ("
          << options.start_source << "); the first grid is the one the long-term run started "
          << "from. Lattice " << nx << " x " << ny
          << " spanning the site from its SW to its NE corner; long-term cell " << series.dx
          << " ft.";
        text_att(ncid, NC_GLOBAL, "comment", c.str());
    }
}

void write_times(int ncid, const results::BathSeries& series, const NcVars& v) {
    std::vector<double> times;
    std::vector<int> hours;
    for (const results::BathGrid& g : series.grids) {
        times.push_back(g.hours);
        hours.push_back(static_cast<int>(std::lround(g.hours)));
    }
    nc(nc_put_var_double(ncid, v.vt, times.data()), "WRITING time");
    nc(nc_put_var_int(ncid, v.vh, hours.data()), "WRITING elapsed_hours");
}

void write_coordinates(int ncid, const results::Frame& frame, const results::Raster& lattice,
                       int nx, int ny, const NcVars& v) {
    if (v.one_d) {
        std::vector<double> xs, ys;
        for (int i = 0; i < nx; ++i) xs.push_back(results::node_map(frame, lattice, i, 0).x);
        for (int j = 0; j < ny; ++j) ys.push_back(results::node_map(frame, lattice, 0, j).y);
        nc(nc_put_var_double(ncid, v.vx, xs.data()), "WRITING x");
        nc(nc_put_var_double(ncid, v.vy, ys.data()), "WRITING y");
    } else {
        std::vector<double> a, b;
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                const XY p = results::node_map(frame, lattice, i, j);
                a.push_back(p.x);
                b.push_back(p.y);
            }
        nc(nc_put_var_double(ncid, v.va, a.data()), "WRITING COORDINATES");
        nc(nc_put_var_double(ncid, v.vb, b.data()), "WRITING COORDINATES");
    }
}

// depth[t][j][i] from the file's order (I outer, J inner).
void write_depths(int ncid, const results::BathSeries& series, int nx, int ny, const NcVars& v) {
    const std::size_t nt = series.grids.size();
    std::vector<float> plane(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
    for (std::size_t t = 0; t < nt; ++t) {
        const std::vector<float>& d = series.grids[t].depth;
        for (int i = 0; i < nx; ++i)
            for (int j = 0; j < ny; ++j)
                plane[static_cast<std::size_t>(j) * static_cast<std::size_t>(nx) +
                      static_cast<std::size_t>(i)] =
                    d[static_cast<std::size_t>(i) * static_cast<std::size_t>(ny) +
                      static_cast<std::size_t>(j)];
        const std::size_t start[3] = {t, 0, 0};
        const std::size_t count[3] = {1, static_cast<std::size_t>(ny),
                                      static_cast<std::size_t>(nx)};
        nc(nc_put_vara_float(ncid, v.vd, start, count, plane.data()), "WRITING depth");
    }
}

}  // namespace

void write_netcdf(const std::string& path, const results::Frame& frame,
                  const results::BathSeries& series, double we_ft, double ns_ft, const Crs& crs,
                  const NetcdfOptions& options) {
    const std::string time_units = "hours since " + checked_date(options.start_date);
    const int nx = series.nx, ny = series.ny;
    const std::size_t nt = series.grids.size();
    if (nx < 1 || ny < 1 || nt == 0) throw InputError("NO GRIDS TO WRITE");

    // The lattice, southern row first as the file stores it (j = J - 1).
    results::Raster lattice;
    lattice.nx = nx;
    lattice.ny = ny;
    lattice.dx = nx > 1 ? we_ft / (nx - 1) : static_cast<double>(series.dx);
    const double dy = ny > 1 ? ns_ft / (ny - 1) : static_cast<double>(series.dy);
    lattice.y0 = ns_ft;
    lattice.dy = -dy;

    int ncid = -1;
    nc(nc_create(path.c_str(), NC_CLOBBER | NC_NETCDF4 | NC_CLASSIC_MODEL, &ncid),
       "CANNOT CREATE " + path);
    try {
        NcVars v;
        v.one_d = !rotated(frame);
        define_dimensions(ncid, nt, ny, nx, v);
        define_time(ncid, time_units, options, v);
        define_coordinates(ncid, frame, v);
        define_grid_mapping(ncid, frame, lattice, crs, v);
        define_depth(ncid, options.datum, v);
        define_globals(ncid, series, options, nx, ny);
        nc(nc_enddef(ncid), "DEFINITION");

        write_times(ncid, series, v);
        write_coordinates(ncid, frame, lattice, nx, ny, v);
        write_depths(ncid, series, nx, ny, v);
        nc(nc_close(ncid), "CLOSING " + path);
    } catch (...) {
        nc_close(ncid);
        throw;
    }
}

namespace {

// CF's name and parameters of a projected CRS, for the common projections of
// plane survey systems (state plane, UTM); nothing for others.
void cf_projection(int ncid, const Crs& crs) {
    if (crs.wkt.empty() || crs.geographic) return;
    OGRSpatialReference srs;
    if (srs.importFromWkt(crs.wkt.c_str()) != OGRERR_NONE || !srs.IsProjected()) return;
    const char* method = srs.GetAttrValue("PROJECTION");
    if (!method) return;
    const std::string m = method;
    std::string name;
    if (m == SRS_PT_TRANSVERSE_MERCATOR) name = "transverse_mercator";
    if (m == SRS_PT_LAMBERT_CONFORMAL_CONIC_2SP || m == SRS_PT_LAMBERT_CONFORMAL_CONIC_1SP)
        name = "lambert_conformal_conic";
    if (m == SRS_PT_ALBERS_CONIC_EQUAL_AREA) name = "albers_conical_equal_area";
    if (m == SRS_PT_MERCATOR_1SP) name = "mercator";
    if (name.empty()) return;
    int vc = -1;
    nc(nc_inq_varid(ncid, "crs", &vc), "VARIABLE crs");
    text_att(ncid, vc, "grid_mapping_name", name);
    const bool conic = name != "transverse_mercator" && name != "mercator";
    double_att(ncid, vc, "longitude_of_central_meridian",
               srs.GetProjParm(conic && m != SRS_PT_LAMBERT_CONFORMAL_CONIC_1SP
                                   ? SRS_PP_LONGITUDE_OF_CENTER
                                   : SRS_PP_CENTRAL_MERIDIAN,
                               srs.GetProjParm(SRS_PP_CENTRAL_MERIDIAN)));
    double_att(ncid, vc, "latitude_of_projection_origin",
               srs.GetProjParm(conic ? SRS_PP_LATITUDE_OF_CENTER : SRS_PP_LATITUDE_OF_ORIGIN,
                               srs.GetProjParm(SRS_PP_LATITUDE_OF_ORIGIN)));
    double_att(ncid, vc, "false_easting", srs.GetProjParm(SRS_PP_FALSE_EASTING));
    double_att(ncid, vc, "false_northing", srs.GetProjParm(SRS_PP_FALSE_NORTHING));
    if (m == SRS_PT_TRANSVERSE_MERCATOR || m == SRS_PT_MERCATOR_1SP ||
        m == SRS_PT_LAMBERT_CONFORMAL_CONIC_1SP)
        double_att(ncid, vc,
                   m == SRS_PT_TRANSVERSE_MERCATOR ? "scale_factor_at_central_meridian"
                                                   : "scale_factor_at_projection_origin",
                   srs.GetProjParm(SRS_PP_SCALE_FACTOR, 1.0));
    if (conic) {
        const double parallels[2] = {
            srs.GetProjParm(SRS_PP_STANDARD_PARALLEL_1, srs.GetProjParm(SRS_PP_LATITUDE_OF_ORIGIN)),
            srs.GetProjParm(SRS_PP_STANDARD_PARALLEL_2,
                            srs.GetProjParm(SRS_PP_STANDARD_PARALLEL_1,
                                            srs.GetProjParm(SRS_PP_LATITUDE_OF_ORIGIN)))};
        nc(nc_put_att_double(ncid, vc, "standard_parallel", NC_DOUBLE, 2, parallels),
           "ATTRIBUTE standard_parallel");
    }
}

}  // namespace

void write_netcdf_fields(const std::string& path, const results::Frame& frame,
                         const results::Raster& lattice, const Crs& crs, const std::string& leading,
                         std::size_t planes, const std::vector<NetcdfField>& fields,
                         const std::map<std::string, std::string>& globals) {
    const int nx = lattice.nx, ny = lattice.ny;
    const std::size_t plane = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);
    if (nx < 1 || ny < 1 || planes == 0) throw InputError("NO MAPS TO WRITE");
    for (const NetcdfField& f : fields) {
        bool whole = f.planes.size() == planes;
        for (const std::vector<float>& p : f.planes) whole = whole && p.size() == plane;
        if (!whole) throw InputError("THE MAP " + f.name + " DOES NOT FILL THE LATTICE");
    }
    int ncid = -1;
    nc(nc_create(path.c_str(), NC_CLOBBER | NC_NETCDF4 | NC_CLASSIC_MODEL, &ncid),
       "CANNOT CREATE " + path);
    try {
        NcVars v;
        v.one_d = !rotated(frame);
        nc(nc_def_dim(ncid, leading.c_str(), planes, &v.dt), "DIMENSION " + leading);
        nc(nc_def_dim(ncid, "y", static_cast<std::size_t>(ny), &v.dyd), "DIMENSION y");
        nc(nc_def_dim(ncid, "x", static_cast<std::size_t>(nx), &v.dxd), "DIMENSION x");
        define_coordinates(ncid, frame, v);
        define_grid_mapping(ncid, frame, lattice, crs, v);
        cf_projection(ncid, crs);
        std::vector<int> ids;
        const int dims[3] = {v.dt, v.dyd, v.dxd};
        for (const NetcdfField& f : fields) {
            int id = -1;
            nc(nc_def_var(ncid, f.name.c_str(), NC_FLOAT, 3, dims, &id), "VARIABLE " + f.name);
            nc(nc_def_var_deflate(ncid, id, 1, 1, 4), "COMPRESSION");
            text_att(ncid, id, "long_name", f.long_name);
            text_att(ncid, id, "units", f.units);
            if (!f.positive.empty()) text_att(ncid, id, "positive", f.positive);
            text_att(ncid, id, "grid_mapping", "crs");
            if (!v.coordinates.empty()) text_att(ncid, id, "coordinates", v.coordinates);
            ids.push_back(id);
        }
        text_att(ncid, NC_GLOBAL, "Conventions", "CF-1.8");
        for (const auto& kv : globals) text_att(ncid, NC_GLOBAL, kv.first.c_str(), kv.second);
        nc(nc_enddef(ncid), "DEFINITION");

        write_coordinates(ncid, frame, lattice, nx, ny, v);
        for (std::size_t k = 0; k < fields.size(); ++k)
            for (std::size_t p = 0; p < planes; ++p) {
                const std::size_t start[3] = {p, 0, 0};
                const std::size_t count[3] = {1, static_cast<std::size_t>(ny),
                                              static_cast<std::size_t>(nx)};
                nc(nc_put_vara_float(ncid, ids[k], start, count, fields[k].planes[p].data()),
                   "WRITING " + fields[k].name);
            }
        nc(nc_close(ncid), "CLOSING " + path);
    } catch (...) {
        nc_close(ncid);
        throw;
    }
}

}  // namespace siteexport
