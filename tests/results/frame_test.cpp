// Placing site lattices on the map: the affine frame must agree with the
// suite's own point positions, for plane and geographic sites, rotated or not.
#include "results/frame.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "gridlib/sitegrid.hpp"
#include "results/site.hpp"

namespace {

using results::XY;

struct FrameCase {
    const char* name;
    int system;
    float rotation;
    float nw_e, nw_n;
    double tolerance;  // map units: feet, or degrees
};

void PrintTo(const FrameCase& c, std::ostream* os) {
    *os << c.name;
}

class FrameAgreesWithSuite : public ::testing::TestWithParam<FrameCase> {};

// Every point of a 7 x 4 grid lands where gridlib puts it (longitudes of a
// geographic site turned to east-positive), and to_local undoes to_map.
TEST_P(FrameAgreesWithSuite, EveryPointOfTheGrid) {
    const FrameCase c = GetParam();
    gridlib::SiteGrid g;
    g.points_we = 7;
    g.points_ns = 4;
    g.total_points = 28;
    g.interval = 150;
    g.rotation = c.rotation;
    g.coord_system = static_cast<std::int16_t>(c.system);
    const suitefiles::Rotation rot = suitefiles::rotation_of(g.rotation, g.coord_system, c.nw_n);
    const results::Frame f =
        results::make_frame(c.system, static_cast<double>(c.nw_e), static_cast<double>(c.nw_n),
                            static_cast<double>(c.rotation));
    const results::Raster r = results::site_raster(g);
    for (std::int32_t pt = 1; pt <= g.total_points; ++pt) {
        const suitefiles::Position p =
            suitefiles::site_position(gridlib::geometry_of(g, c.nw_e, c.nw_n), rot, pt);
        const int row = suitefiles::point_row(pt, g.points_we),
                  col = suitefiles::point_column(pt, g.points_we);
        const XY m = results::node_map(f, r, col, row);
        const XY want = results::site_to_map(f, static_cast<double>(p.e), static_cast<double>(p.n));
        EXPECT_NEAR(m.x, want.x, c.tolerance) << "point " << pt;
        EXPECT_NEAR(m.y, want.y, c.tolerance) << "point " << pt;
        const XY back = results::to_local(f, m.x, m.y);
        EXPECT_NEAR(back.x, col * 150.0, 1e-6);
        EXPECT_NEAR(back.y, row * 150.0, 1e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sites, FrameAgreesWithSuite,
    ::testing::Values(FrameCase{"plane", 1, 0.0f, 12000.0f, 30000.0f, 2e-3},
                      FrameCase{"plane_turned", 1, 30.0f, 12000.0f, 30000.0f, 2e-3},
                      FrameCase{"plane_far_out", 1, -47.5f, 512345.5f, 1234567.0f, 0.13},
                      FrameCase{"geographic", 2, 0.0f, 124.05f, 44.62f, 2e-5},
                      FrameCase{"geographic_turned", 2, 20.0f, 124.05f, 44.62f, 2e-5},
                      FrameCase{"geographic_north", 2, 15.0f, 70.5f, 60.0f, 2e-5}),
    [](const ::testing::TestParamInfo<FrameCase>& i) { return std::string(i.param.name); });

// A geographic site at latitude 60 has its longitude offsets doubled against
// its latitude offsets; west-positive longitudes become negative map x.
TEST(Frame, GeographicSiteAtSixtyDegrees) {
    const results::Frame f = results::make_frame(2, 70.0, 60.0, 0.0);
    const XY nw = results::to_map(f, 0, 0);
    EXPECT_DOUBLE_EQ(nw.x, -70.0);
    const XY east = results::to_map(f, 364800.0, 0);
    EXPECT_NEAR(east.x - nw.x, 2.0, 1e-4);
    const XY south = results::to_map(f, 0, 364800.0);
    EXPECT_NEAR(south.y - nw.y, -1.0, 1e-12);
}

// The geotransform puts every node at the centre of its pixel.
TEST(Frame, GeotransformCentresNodesInPixels) {
    results::Raster r;
    r.nx = 5;
    r.ny = 3;
    r.dx = 40;
    r.dy = 25;
    r.x0 = -80;
    r.y0 = 10;
    for (const results::Frame& f :
         {results::make_frame(1, 1000, 2000, 0), results::make_frame(1, 1000, 2000, 33),
          results::make_frame(2, 124.05, 44.62, -12)}) {
        const std::array<double, 6> g = results::geotransform(f, r);
        for (int row = 0; row < r.ny; ++row)
            for (int col = 0; col < r.nx; ++col) {
                const XY want = results::node_map(f, r, col, row);
                const double px = col + 0.5, py = row + 0.5;
                EXPECT_NEAR(g[0] + px * g[1] + py * g[2], want.x, 1e-9);
                EXPECT_NEAR(g[3] + px * g[4] + py * g[5], want.y, 1e-9);
            }
    }
}

// The site's NW corner comes from its summary file; without one, the local
// corner of the grid file (and a geographic site stays in plane feet).
TEST(Site, FrameFromSummaryOrLocalCorner) {
    const std::string data = std::string(TEST_DATA_DIR) + "/results/data/";
    const results::Site geo = results::load_site(data + "geog/GEOG.IN");
    EXPECT_EQ(geo.summary_file, data + "geog/GEOG.OUT");
    EXPECT_TRUE(geo.frame.geographic());
    EXPECT_NEAR(geo.frame.nw_e, 124.05, 1e-4);
    EXPECT_NEAR(geo.frame.nw_n, 44.62, 1e-4);
    EXPECT_TRUE(geo.notes.empty());

    const results::Site local = results::load_site(data + "geog/GEOG.IN", "-");
    EXPECT_FALSE(local.frame.geographic());
    EXPECT_DOUBLE_EQ(local.frame.nw_e, 1000.0);
    EXPECT_DOUBLE_EQ(local.frame.nw_n, 2000.0);
    ASSERT_EQ(local.notes.size(), 1u);

    const results::Site flat = results::load_site(data + "flat/FLAT.IN");
    EXPECT_TRUE(flat.summary_file.empty());
    EXPECT_DOUBLE_EQ(flat.frame.nw_e, 100.0);
    EXPECT_EQ(flat.depths.nx, 4);
    EXPECT_EQ(flat.depths.ny, 3);
    EXPECT_FLOAT_EQ(flat.depths.at(3, 0), 23.0f);  // NE corner: 20 + column 3 - row 0
    EXPECT_FLOAT_EQ(flat.depths.at(0, 2), 18.0f);  // SW corner

    EXPECT_THROW(results::load_site(data + "flat/NOSUCH.IN"), results::InputError);
}

TEST(Site, DifferenceIsBeforeMinusAfterOnTheSameSite) {
    const std::string data = std::string(TEST_DATA_DIR) + "/results/data/";
    const results::Site before = results::load_site(data + "tiny/TINY.IN");
    const results::Site after = results::load_site(data + "tiny/TINYAFT.IN");
    const results::Raster d = results::grid_difference(before, after);
    EXPECT_FLOAT_EQ(d.at(2, 2), 3.0f);  // deposit
    EXPECT_FLOAT_EQ(d.at(3, 2), 2.0f);
    EXPECT_FLOAT_EQ(d.at(2, 1), 1.5f);
    EXPECT_FLOAT_EQ(d.at(5, 4), -0.75f);  // erosion
    EXPECT_FLOAT_EQ(d.at(0, 0), 0.0f);
    const results::Site other = results::load_site(data + "flat/FLAT.IN");
    EXPECT_THROW(results::grid_difference(before, other), results::InputError);
}

}  // namespace
