// Round trips of the exports: the GeoTIFF read back with GDAL and the NetCDF
// read back with netCDF-C give every value and the corner positions of the
// site grid; GDAL places the NetCDF lattice where the site is.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <netcdf.h>
#include <ogr_spatialref.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "gridlib/sitegrid.hpp"
#include "recio/records.hpp"
#include "results/frame.hpp"
#include "results/readers.hpp"
#include "results/site.hpp"
#include "suitefiles/dump_ini.hpp"
#include "suitefiles/plotbath.hpp"
#include "tests/results/tool_folder.hpp"

namespace {

namespace fs = std::filesystem;
const std::string DATA = std::string(TEST_DATA_DIR) + "/results/data/";

class Export : public ToolFolder {
  protected:
    Export() : ToolFolder("siteexport") {}
    void SetUp() override {
        GDALAllRegister();
        ToolFolder::SetUp();
    }
};

// The map position (east-positive) of site point pt, by the suite's formulas.
results::XY site_point(const results::Site& s, std::int32_t pt) {
    const float nwe = static_cast<float>(s.frame.nw_e), nwn = static_cast<float>(s.frame.nw_n);
    const suitefiles::Rotation rot = suitefiles::rotation_of(
        s.grid.rotation, static_cast<std::int16_t>(s.frame.coord_system), nwn);
    gridlib::SiteGrid g = s.grid;
    g.coord_system = static_cast<std::int16_t>(s.frame.coord_system);
    const suitefiles::Position p =
        suitefiles::site_position(gridlib::geometry_of(g, nwe, nwn), rot, pt);
    return results::site_to_map(s.frame, static_cast<double>(p.e), static_cast<double>(p.n));
}

double tolerance(const results::Site& s) {
    return s.frame.geographic() ? 1e-5 : 2e-3;
}

struct TiffCase {
    const char* name;
    const char* grid;
    const char* crs;  // "" for none
    int epsg;         // expected authority code, 0 for no CRS
};

void PrintTo(const TiffCase& c, std::ostream* os) {
    *os << c.name;
}

class GeotiffRoundTrip : public Export, public ::testing::WithParamInterface<TiffCase> {};

TEST_P(GeotiffRoundTrip, ValuesCornersAndCrs) {
    const TiffCase c = GetParam();
    const std::string tif = out("site.tif");
    const std::string crs = std::string(c.crs).empty() ? "" : std::string(" --crs ") + c.crs;
    ASSERT_EQ(run("geotiff " + DATA + c.grid + " -o " + tif + crs), 0) << console();
    const results::Site site = results::load_site(DATA + c.grid);
    const gridlib::SiteGrid& g = site.grid;

    GDALDataset* ds = static_cast<GDALDataset*>(GDALOpen(tif.c_str(), GA_ReadOnly));
    ASSERT_NE(ds, nullptr);
    ASSERT_EQ(ds->GetRasterXSize(), g.points_we);
    ASSERT_EQ(ds->GetRasterYSize(), g.points_ns);
    std::vector<float> v(static_cast<std::size_t>(g.total_points));
    ASSERT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, g.points_we, g.points_ns, v.data(),
                                             g.points_we, g.points_ns, GDT_Float32, 0, 0, nullptr),
              CE_None);
    for (std::int32_t i = 0; i < g.total_points; ++i)
        EXPECT_EQ(v[static_cast<std::size_t>(i)], g.depth[static_cast<std::size_t>(i)])
            << "point " << i + 1;

    double gt[6];
    ASSERT_EQ(ds->GetGeoTransform(gt), CE_None);
    // Pixel centres of the four corner pixels against the site's corner points.
    const std::int32_t we = g.points_we, n = g.total_points;
    const struct {
        int col, row;
        std::int32_t point;
    } corners[] = {
        {0, 0, 1}, {we - 1, 0, we}, {0, g.points_ns - 1, n - we + 1}, {we - 1, g.points_ns - 1, n}};
    for (const auto& k : corners) {
        const double px = k.col + 0.5, py = k.row + 0.5;
        const results::XY want = site_point(site, k.point);
        EXPECT_NEAR(gt[0] + px * gt[1] + py * gt[2], want.x, tolerance(site))
            << "point " << k.point;
        EXPECT_NEAR(gt[3] + px * gt[4] + py * gt[5], want.y, tolerance(site))
            << "point " << k.point;
    }
    const OGRSpatialReference* srs = ds->GetSpatialRef();
    if (c.epsg == 0) {
        EXPECT_TRUE(srs == nullptr || srs->IsEmpty());
    } else {
        ASSERT_NE(srs, nullptr);
        const char* code = srs->GetAuthorityCode(nullptr);
        ASSERT_NE(code, nullptr);
        EXPECT_EQ(std::atoi(code), c.epsg);
    }
    GDALClose(ds);
}

INSTANTIATE_TEST_SUITE_P(
    Sites, GeotiffRoundTrip,
    ::testing::Values(TiffCase{"plane_turned_with_crs", "tiny/TINYAFT.IN", "EPSG:2269", 2269},
                      TiffCase{"geographic_default_crs", "geog/GEOG.IN", "", 4326},
                      TiffCase{"plane_no_summary_no_crs", "flat/FLAT.IN", "", 0}),
    [](const ::testing::TestParamInfo<TiffCase>& i) { return std::string(i.param.name); });

TEST_F(Export, DifferenceGeotiff) {
    const std::string tif = out("thick.tif");
    ASSERT_EQ(run("diff " + DATA + "tiny/TINY.IN " + DATA + "tiny/TINYAFT.IN -o " + tif), 0)
        << console();
    const results::Site before = results::load_site(DATA + "tiny/TINY.IN");
    const results::Site after = results::load_site(DATA + "tiny/TINYAFT.IN");
    GDALDataset* ds = static_cast<GDALDataset*>(GDALOpen(tif.c_str(), GA_ReadOnly));
    ASSERT_NE(ds, nullptr);
    std::vector<float> v(30);
    ASSERT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, 6, 5, v.data(), 6, 5, GDT_Float32, 0, 0,
                                             nullptr),
              CE_None);
    for (std::size_t i = 0; i < 30; ++i)
        EXPECT_EQ(v[i], before.grid.depth[i] - after.grid.depth[i]);
    EXPECT_FLOAT_EQ(v[2 * 6 + 2], 3.0f);
    EXPECT_FLOAT_EQ(v[4 * 6 + 5], -0.75f);
    EXPECT_STREQ(ds->GetRasterBand(1)->GetUnitType(), "ft");
    GDALClose(ds);
}

// Faults end with status 1 (input) or 2 (usage) and leave no file behind.
TEST_F(Export, FaultsLeaveNoFile) {
    const std::string tif = out("x.tif");
    EXPECT_EQ(run("diff " + DATA + "tiny/TINY.IN " + DATA + "flat/FLAT.IN -o " + tif), 1);
    EXPECT_NE(console().find("NOT OF THE SAME SIZE"), std::string::npos) << console();
    EXPECT_EQ(run("geotiff " + DATA + "tiny/TINY.IN -o " + tif + " --crs EPSG:999999"), 1);
    EXPECT_NE(console().find("UNKNOWN COORDINATE REFERENCE SYSTEM"), std::string::npos)
        << console();
    EXPECT_EQ(run("geotiff " + DATA + "tiny/NOSUCH.IN -o " + tif), 1);
    EXPECT_EQ(run("netcdf " + DATA + "tiny/PLOTBATH.DAT --site " + DATA + "flat/FLAT.IN -o " +
                  out("x.nc")),
              1);
    EXPECT_EQ(run("netcdf " + DATA + "tiny/PLOTBATH.DAT --site " + DATA + "tiny/TINY.IN -o " +
                  out("x.nc") + " --start-date 2024-13-01"),
              1);
    EXPECT_EQ(run("geotiff " + DATA + "tiny/TINY.IN"), 2);
    EXPECT_EQ(run("geotiff " + DATA + "tiny/TINY.IN -o " + tif + " --colour red"), 2);
    EXPECT_EQ(run("export " + DATA + "tiny/TINY.IN -o " + tif), 2);
    for (const auto& e : fs::directory_iterator(dir_))
        EXPECT_EQ(e.path().filename(), "console.txt");
}

// An export named as a file of the suite that is there, or as one of the
// files read, is refused unless --force; the files stay as they were.
TEST_F(Export, WritingOverASuiteFileOrAnInputNeedsForce) {
    for (const char* f : {"TINY.IN", "TINY.OUT", "TINY.ACT", "PCD.INI", "PLOTBATH.DAT"})
        fs::copy_file(DATA + "tiny/" + f, out(f));
    write_text(out("TIDE.tif"), "an older export\n");
    const std::string grid = out("TINY.IN");
    const struct {
        std::string args;
        const char* message;  // "" : written
    } cases[] = {
        {"geotiff " + grid + " -o " + grid, "IS ONE OF THE FILES READ"},
        {"geotiff " + grid + " -o ./TINY.IN", "IS ONE OF THE FILES READ"},
        {"geotiff " + grid + " -o " + out("TINY.ACT"), "WOULD REPLACE A FILE OF THE SUITE"},
        {"geotiff " + grid + " -o " + out("PCD.INI"), "WOULD REPLACE A FILE OF THE SUITE"},
        {"geotiff " + grid + " -o " + out("TIDE.tif"), "WOULD REPLACE A FILE OF THE SUITE"},
        {"netcdf " + out("PLOTBATH.DAT") + " --site " + grid + " -o " + out("TINY.OUT"),
         "WOULD REPLACE A FILE OF THE SUITE"},
        {"geotiff " + grid + " -o " + out("TIDE.tif") + " --force", ""},
        {"geotiff " + grid + " -o " + out("NEW.IN"), ""},  // not there yet
    };
    const auto before = [&] {
        std::string all;
        for (const char* f : {"TINY.IN", "TINY.OUT", "TINY.ACT", "PCD.INI", "PLOTBATH.DAT"})
            all += read_text(out(f));
        return all;
    };
    const std::string old = before();
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args), *c.message ? 1 : 0) << c.args << "\n" << console();
        EXPECT_NE(console().find(*c.message ? c.message : "FILE WRITTEN"), std::string::npos)
            << c.args << "\n"
            << console();
        EXPECT_EQ(before(), old) << c.args;
    }
    EXPECT_NE(read_text(out("TIDE.tif")), "an older export\n");  // written with --force
}

// Inputs that are not regular files are named as such, at once.
TEST_F(Export, InputsThatAreNotFilesAreNamed) {
    fs::create_directory(out("DIR.IN"));
    ASSERT_EQ(::mkfifo(out("PIPE.IN").c_str(), 0600), 0);
    EXPECT_EQ(run("geotiff " + out("DIR.IN") + " -o " + out("a.tif")), 1);
    EXPECT_NE(console().find("FILE " + out("DIR.IN") + " IS A DIRECTORY, NOT A FILE"),
              std::string::npos)
        << console();
    EXPECT_EQ(run("geotiff " + out("PIPE.IN") + " -o " + out("a.tif")), 1);
    EXPECT_NE(console().find("IS NOT A REGULAR FILE"), std::string::npos) << console();
    EXPECT_FALSE(fs::exists(out("a.tif")));
}

// ---- NetCDF

struct NcFile {
    int id = -1;
    explicit NcFile(const std::string& path) {
        EXPECT_EQ(nc_open(path.c_str(), NC_NOWRITE, &id), NC_NOERR);
    }
    ~NcFile() {
        if (id >= 0) nc_close(id);
    }
    std::size_t dim(const char* name) const {
        int d;
        std::size_t n = 0;
        if (nc_inq_dimid(id, name, &d) == NC_NOERR) nc_inq_dimlen(id, d, &n);
        return n;
    }
    bool has(const char* var) const {
        int v;
        return nc_inq_varid(id, var, &v) == NC_NOERR;
    }
    std::vector<double> doubles(const char* var) const {
        int v, nd;
        EXPECT_EQ(nc_inq_varid(id, var, &v), NC_NOERR) << var;
        nc_inq_varndims(id, v, &nd);
        std::vector<int> dims(static_cast<std::size_t>(nd));
        nc_inq_vardimid(id, v, dims.data());
        std::size_t n = 1;
        for (int d : dims) {
            std::size_t len;
            nc_inq_dimlen(id, d, &len);
            n *= len;
        }
        std::vector<double> out(n);
        EXPECT_EQ(nc_get_var_double(id, v, out.data()), NC_NOERR);
        return out;
    }
    std::string text(const char* var, const char* att) const {
        int v = NC_GLOBAL;
        if (var) nc_inq_varid(id, var, &v);
        std::size_t len = 0;
        if (nc_inq_attlen(id, v, att, &len) != NC_NOERR) return "";
        std::string s(len, '\0');
        nc_get_att_text(id, v, att, s.data());
        return s;
    }
};

struct NcCase {
    const char* name;
    const char* dir;
    const char* grid;
    bool two_d;         // rotated site: two-dimensional coordinates
    const char* xname;  // coordinate variables
    const char* yname;
    std::vector<double> hours;
};

void PrintTo(const NcCase& c, std::ostream* os) {
    *os << c.name;
}

class NetcdfRoundTrip : public Export, public ::testing::WithParamInterface<NcCase> {};

// Every value of every grid, the times, the coordinates of every node, and
// GDAL's placement of the lattice (what QGIS uses).
TEST_P(NetcdfRoundTrip, ValuesTimesCoordinatesAndPlacement) {
    const NcCase c = GetParam();
    const std::string nc = out("mound.nc");
    const std::string dir = DATA + c.dir + "/";
    ASSERT_EQ(run("netcdf " + dir + "PLOTBATH.DAT --site " + dir + c.grid + " -o " + nc), 0)
        << console();
    const results::Site site = results::load_site(dir + c.grid);
    const gridlib::SiteGrid& g = site.grid;
    const int nx = g.points_we, ny = g.points_ns;
    const results::BathSeries s = results::read_plotbath(dir + "PLOTBATH.DAT", nx, ny, c.hours[0]);

    {
        NcFile f(nc);
        ASSERT_EQ(f.dim("time"), c.hours.size());
        ASSERT_EQ(f.dim("x"), static_cast<std::size_t>(nx));
        ASSERT_EQ(f.dim("y"), static_cast<std::size_t>(ny));
        EXPECT_EQ(f.doubles("time"), c.hours);
        EXPECT_EQ(f.text("time", "units"), "hours since 2000-01-01 00:00:00");
        EXPECT_EQ(f.text("depth", "units"), "ft");
        EXPECT_EQ(f.text(nullptr, "Conventions"), "CF-1.8");
        const std::vector<double> d = f.doubles("depth");
        ASSERT_EQ(d.size(), c.hours.size() * static_cast<std::size_t>(nx * ny));
        for (std::size_t t = 0; t < c.hours.size(); ++t)
            for (int j = 0; j < ny; ++j)
                for (int i = 0; i < nx; ++i) {
                    const double v =
                        d[(t * static_cast<std::size_t>(ny) + static_cast<std::size_t>(j)) *
                              static_cast<std::size_t>(nx) +
                          static_cast<std::size_t>(i)];
                    EXPECT_EQ(v, static_cast<double>(
                                     s.grids[t].depth[static_cast<std::size_t>(i * ny + j)]));
                    // The initial grid is the site grid: y = j counts rows from the south.
                    if (t == 0) {
                        EXPECT_EQ(v, static_cast<double>(
                                         g.depth[static_cast<std::size_t>((ny - 1 - j) * nx + i)]));
                    }
                }
        // Coordinates of every node against the suite's point positions.
        EXPECT_EQ(f.has(c.xname), true);
        const std::vector<double> xs = f.doubles(c.xname), ys = f.doubles(c.yname);
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                const results::XY p = site_point(site, (ny - 1 - j) * nx + i + 1);
                const double x = c.two_d ? xs[static_cast<std::size_t>(j * nx + i)]
                                         : xs[static_cast<std::size_t>(i)];
                const double y = c.two_d ? ys[static_cast<std::size_t>(j * nx + i)]
                                         : ys[static_cast<std::size_t>(j)];
                EXPECT_NEAR(x, p.x, tolerance(site)) << i << "," << j;
                EXPECT_NEAR(y, p.y, tolerance(site)) << i << "," << j;
            }
        EXPECT_EQ(f.has("x") && f.has("y"), !c.two_d);
    }

    // GDAL's reading: each corner pixel of its raster lies on the site point
    // whose depth it holds (first band = first time).
    GDALDataset* ds =
        static_cast<GDALDataset*>(GDALOpen(("NETCDF:\"" + nc + "\":depth").c_str(), GA_ReadOnly));
    ASSERT_NE(ds, nullptr);
    ASSERT_EQ(ds->GetRasterXSize(), nx);
    ASSERT_EQ(ds->GetRasterYSize(), ny);
    double gt[6];
    ASSERT_EQ(ds->GetGeoTransform(gt), CE_None);
    for (const auto& px : {std::pair<int, int>{0, 0}, {nx - 1, 0}, {0, ny - 1}, {nx - 1, ny - 1}}) {
        float v = 0;
        ASSERT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Read, px.first, px.second, 1, 1, &v, 1, 1,
                                                 GDT_Float32, 0, 0, nullptr),
                  CE_None);
        const double x = gt[0] + (px.first + 0.5) * gt[1] + (px.second + 0.5) * gt[2];
        const double y = gt[3] + (px.first + 0.5) * gt[4] + (px.second + 0.5) * gt[5];
        bool found = false;
        for (std::int32_t pt = 1; pt <= g.total_points; ++pt) {
            const results::XY p = site_point(site, pt);
            if (std::fabs(p.x - x) < tolerance(site) && std::fabs(p.y - y) < tolerance(site)) {
                found = true;
                EXPECT_EQ(v, g.depth[static_cast<std::size_t>(pt - 1)])
                    << "pixel " << px.first << "," << px.second;
            }
        }
        EXPECT_TRUE(found) << "pixel " << px.first << "," << px.second << " at " << x << ", " << y;
    }
    GDALClose(ds);
}

INSTANTIATE_TEST_SUITE_P(
    Sites, NetcdfRoundTrip,
    ::testing::Values(
        NcCase{"plane_turned", "tiny", "TINYAFT.IN", true, "easting", "northing", {168, 336, 504}},
        NcCase{"geographic_turned", "geog", "GEOG.IN", true, "lon", "lat", {0, 168}},
        NcCase{"plane_unturned", "flat", "FLAT.IN", false, "x", "y", {0, 24}},
        NcCase{"geographic_unturned", "geog0", "GEOG0.IN", false, "x", "y", {0, 168}}),
    [](const ::testing::TestParamInfo<NcCase>& i) { return std::string(i.param.name); });

// A 250 x 100 site runs on a 201 x 80 lattice that spans it from corner to
// corner; the lattice nodes sit at equal fractions of the site extents.
TEST_F(Export, ReducedLatticeSpansTheSite) {
    gridlib::SiteGrid g;
    g.points_we = 250;
    g.points_ns = 100;
    g.total_points = 25000;
    g.interval = 40;
    g.rotation = 10.0f;
    g.local_nw_e = 20000.0f;
    g.local_nw_n = 50000.0f;
    for (std::int32_t i = 0; i < g.total_points; ++i) g.depth[static_cast<std::size_t>(i)] = 30.0f;
    gridlib::ResampleWork work;
    const std::string in = out("BIG.IN");
    ASSERT_TRUE(
        gridlib::GRID1(in, 20000.0f, 50000.0f, g, work, gridlib::GRID1_GRID_ONLY, 0, "BIG"));
    {
        std::vector<float> v(201 * 80);
        for (int i = 0; i < 201; ++i)
            for (int j = 0; j < 80; ++j)
                v[static_cast<std::size_t>(i * 80 + j)] =
                    static_cast<float>(i) + 0.001f * static_cast<float>(j);
        suitefiles::PlotBathWriter w;
        ASSERT_TRUE(w.open(out("PLOTBATH.DAT")));
        w.header({0.2f, 0.025f, 49.0f, 49.0f});
        w.grid(v.data(), v.size());
        w.end_marker();
        ASSERT_TRUE(w.close());
    }
    const std::string nc = out("big.nc");
    ASSERT_EQ(run("netcdf " + out("PLOTBATH.DAT") + " --site " + in + " -o " + nc), 0) << console();
    NcFile f(nc);
    ASSERT_EQ(f.dim("x"), 201u);
    ASSERT_EQ(f.dim("y"), 80u);
    const std::vector<double> e = f.doubles("easting"), n = f.doubles("northing"),
                              d = f.doubles("depth");
    const results::Site site = results::load_site(in);
    auto node = [&](int i, int j) { return static_cast<std::size_t>(j * 201 + i); };
    // SW, SE, NE and NW lattice corners on the site corners.
    const struct {
        int i, j;
        std::int32_t point;
    } corners[] = {{0, 0, 25000 - 250 + 1}, {200, 0, 25000}, {200, 79, 250}, {0, 79, 1}};
    for (const auto& c : corners) {
        const results::XY p = site_point(site, c.point);
        // gridlib computes in single precision: a few thousandths of a foot at 50000 ft.
        EXPECT_NEAR(e[node(c.i, c.j)], p.x, 1e-2);
        EXPECT_NEAR(n[node(c.i, c.j)], p.y, 1e-2);
    }
    // Node (100, 40) lies at 100/200 of the row extent and 39/79 of the column extent up from the
    // south.
    const results::XY mid =
        results::to_map(site.frame, 249 * 40.0 * 100 / 200, 99 * 40.0 * (1 - 40.0 / 79));
    EXPECT_NEAR(e[node(100, 40)], mid.x, 1e-6);
    EXPECT_NEAR(n[node(100, 40)], mid.y, 1e-6);
    EXPECT_NEAR(d[node(100, 40)], 100.04, 1e-4);
}

TEST_F(Export, StartDateNamesHourZero) {
    const std::string nc = out("dated.nc");
    ASSERT_EQ(run("netcdf " + DATA + "flat/PLOTBATH.DAT --site " + DATA + "flat/FLAT.IN -o " + nc +
                  " --start-date 2024-05-01"),
              0)
        << console();
    EXPECT_NE(console().find("NO PCD.INI"), std::string::npos);
    EXPECT_NE(console().find("NO END MARKER"), std::string::npos);
    NcFile f(nc);
    EXPECT_EQ(f.text("time", "units"), "hours since 2024-05-01 00:00:00");
}

// ---- CF attributes, read back by netCDF-C's ncdump and by xarray

// What xarray makes of a file (Debian's interpreter, where python3-xarray
// lives): the decoded times, the grid mapping of every variable over (y, x)
// and the attributes of depth and crs, one "key=value" line each.
const char* const XARRAY_SCRIPT = R"(import sys
import xarray as xr
d = xr.open_dataset(sys.argv[1], decode_times=True)
print("times=" + " ".join(str(t)[:19] for t in d.time.values))
for name, v in d.data_vars.items():
    if "x" in v.dims and "y" in v.dims:
        print("mapping." + name + "=" + v.attrs.get("grid_mapping", "NONE"))
for var in ("depth", "crs"):
    for k, a in d[var].attrs.items():
        if k not in ("crs_wkt", "spatial_ref"):
            print(var + "." + k + "=" + str(a))
print("crs.has_wkt=" + str("crs_wkt" in d.crs.attrs))
)";

class CfNetcdf : public Export {
  protected:
    // The folder of a run: the series and grid of `data`, and a DUMP.INI
    // whose activity starts in `month`/`year` (none when month is 0).
    std::string run_folder(const std::string& data, int month, int year) {
        const fs::path dir = out("run");
        fs::create_directories(dir);
        for (const auto& e : fs::directory_iterator(DATA + data))
            fs::copy_file(e.path(), dir / e.path().filename());
        if (month != 0) {
            suitefiles::DumpControl c;
            EXPECT_TRUE(
                suitefiles::read_dump_ini(TEST_DATA_DIR "/../examples/newport/DUMP.INI", c));
            c.start_month = month;
            c.start_year = year;
            EXPECT_TRUE(suitefiles::write_dump_ini((dir / "DUMP.INI").string(), c));
        }
        return dir.string();
    }
    // "key=value" lines of a tool's report on `nc`.
    std::map<std::string, std::string> xarray(const std::string& nc) {
        std::ofstream(out("read.py")) << XARRAY_SCRIPT;
        EXPECT_EQ(std::system(("/usr/bin/python3 " + out("read.py") + " " + nc + " > " +
                               out("xarray.txt") + " 2>&1")
                                  .c_str()),
                  0)
            << slurp(out("xarray.txt"));
        std::map<std::string, std::string> kv;
        std::istringstream in(slurp(out("xarray.txt")));
        for (std::string line; std::getline(in, line);) {
            const std::size_t eq = line.find('=');
            if (eq != std::string::npos) kv[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return kv;
    }
    std::string ncdump(const std::string& nc) {
        EXPECT_EQ(std::system(("ncdump -h " + nc + " > " + out("ncdump.txt")).c_str()), 0);
        return slurp(out("ncdump.txt"));
    }
    static std::string slurp(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

struct CfCase {
    const char* name;
    const char* data;   // folder of the test data
    const char* grid;   // its site grid
    int month, year;    // DUMP.INI start, month 0 for no DUMP.INI
    const char* args;   // further options
    const char* times;  // as xarray decodes them
    const char* units;  // of time
    const char* mapping;
    const char* epsg;
    const char* standard_name;  // of depth, "" for none
    const char* datum_text;     // in depth's long_name
};

// The CRS with its CF grid mapping and EPSG code, depth with its datum
// and sign, and time counted from the activity's start in DUMP.INI (or
// --start-date, or a date said to stand in), as ncdump and xarray read them.
TEST_F(CfNetcdf, GridMappingDepthAndTimeAsCfReadersSeeThem) {
    const CfCase cases[] = {
        {"plane site, Oregon North (ft), MLLW", "flat", "FLAT.IN", 8, 2019,
         "--crs EPSG:2269 --datum MLLW", "2019-08-01T00:00:00 2019-08-02T00:00:00",
         "hours since 2019-08-01 00:00:00", "lambert_conformal_conic", "EPSG:2269", "",
         "site datum, MLLW"},
        {"turned geographic site, MSL, no DUMP.INI", "geog", "GEOG.IN", 0, 0, "--datum MSL",
         "2000-01-01T00:00:00 2000-01-08T00:00:00", "hours since 2000-01-01 00:00:00",
         "latitude_longitude", "EPSG:4326", "sea_floor_depth_below_mean_sea_level",
         "site datum, MSL"},
        {"turned plane site, UTM 10N, start date given", "tiny", "TINYAFT.IN", 3, 2021,
         "--crs EPSG:32610 --start-date 2024-05-01",
         "2024-05-08T00:00:00 2024-05-15T00:00:00 2024-05-22T00:00:00",
         "hours since 2024-05-01 00:00:00", "transverse_mercator", "EPSG:32610", "",
         "not named in the site files"},
    };
    for (const CfCase& c : cases) {
        const std::string dir = run_folder(c.data, c.month, c.year);
        const std::string grid = dir + "/" + c.grid;
        const std::string nc = out("cf.nc");
        ASSERT_EQ(
            run("netcdf " + dir + "/PLOTBATH.DAT --site " + grid + " -o " + nc + " " + c.args), 0)
            << c.name << console();
        if (c.month != 0 && std::string(c.args).find("--start-date") == std::string::npos) {
            EXPECT_NE(console().find("TIME COUNTS FROM"), std::string::npos) << c.name;
        }
        if (c.month == 0) {
            EXPECT_NE(console().find("NO DUMP.INI"), std::string::npos) << c.name;
        }

        const std::string h = ncdump(nc);
        EXPECT_NE(h.find("time:units = \"" + std::string(c.units) + "\""), std::string::npos)
            << c.name << h;
        EXPECT_NE(h.find("crs:grid_mapping_name = \"" + std::string(c.mapping) + "\""),
                  std::string::npos)
            << c.name;
        EXPECT_NE(h.find("crs:epsg_code = \"" + std::string(c.epsg) + "\""), std::string::npos)
            << c.name;
        EXPECT_NE(h.find("crs:crs_wkt = "), std::string::npos) << c.name;
        EXPECT_NE(h.find("depth:grid_mapping = \"crs\""), std::string::npos) << c.name;
        EXPECT_NE(h.find("depth:positive = \"down\""), std::string::npos) << c.name;

        auto kv = xarray(nc);
        EXPECT_EQ(kv["times"], c.times) << c.name;
        for (const auto& e : kv)
            if (e.first.rfind("mapping.", 0) == 0) {
                EXPECT_EQ(e.second, "crs") << e.first;
            }
        EXPECT_EQ(kv.count("mapping.depth"), 1u) << c.name;
        EXPECT_EQ(kv["crs.grid_mapping_name"], c.mapping) << c.name;
        EXPECT_EQ(kv["crs.has_wkt"], "True") << c.name;
        EXPECT_EQ(kv["depth.units"], "ft") << c.name;
        EXPECT_EQ(kv["depth.positive"], "down") << c.name;
        EXPECT_NE(kv["depth.long_name"].find(c.datum_text), std::string::npos) << c.name;
        if (*c.standard_name) {
            EXPECT_EQ(kv["depth.standard_name"], c.standard_name) << c.name;
        } else {
            EXPECT_EQ(kv.count("depth.standard_name"), 0u) << c.name;
        }
        fs::remove_all(dir);
    }
}

// The projection parameters of Oregon North (ft): its two standard
// parallels, and the false easting of 2,500,000 m in the feet of the site
// coordinates.
TEST_F(CfNetcdf, ProjectionParametersAreInTheUnitsOfTheCoordinates) {
    const std::string dir = run_folder("flat", 0, 0);
    const std::string nc = out("cf.nc");
    ASSERT_EQ(run("netcdf " + dir + "/PLOTBATH.DAT --site " + dir + "/FLAT.IN -o " + nc +
                  " --crs EPSG:2269"),
              0)
        << console();
    NcFile f(nc);
    int crs = -1;
    ASSERT_EQ(nc_inq_varid(f.id, "crs", &crs), NC_NOERR);
    double sp[2] = {0, 0}, fe = 0;
    ASSERT_EQ(nc_get_att_double(f.id, crs, "standard_parallel", sp), NC_NOERR);
    ASSERT_EQ(nc_get_att_double(f.id, crs, "false_easting", &fe), NC_NOERR);
    EXPECT_NEAR(sp[0], 46.0, 1e-9);
    EXPECT_NEAR(sp[1], 44.0 + 1.0 / 3.0, 1e-9);
    EXPECT_NEAR(fe, 2500000.0 / 0.3048, 1e-3);
}

// A DUMP.INI whose start names no date stops the export with the file and
// record named, and nothing is written; a plane site without --crs says its
// file names no coordinate system.
TEST_F(CfNetcdf, StartThatNamesNoDateIsRefusedAndAMissingCrsIsSaid) {
    std::string dir = run_folder("flat", 13, 2019);
    const std::string nc = out("cf.nc");
    EXPECT_EQ(run("netcdf " + dir + "/PLOTBATH.DAT --site " + dir + "/FLAT.IN -o " + nc), 1);
    EXPECT_NE(console().find("DUMP.INI RECORD 12: THE START MONTH 13 AND YEAR 2019 NAME NO DATE"),
              std::string::npos)
        << console();
    EXPECT_FALSE(fs::exists(nc));
    fs::remove_all(dir);
    dir = run_folder("flat", 0, 0);
    ASSERT_EQ(run("netcdf " + dir + "/PLOTBATH.DAT --site " + dir + "/FLAT.IN -o " + nc), 0);
    EXPECT_NE(console().find("NAMES NO COORDINATE REFERENCE SYSTEM"), std::string::npos);
    const std::string h = ncdump(nc);
    EXPECT_EQ(h.find("grid_mapping_name"), std::string::npos);
    EXPECT_NE(h.find("depth:grid_mapping = \"crs\""), std::string::npos);
}

}  // namespace
