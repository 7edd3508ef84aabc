#include "suitefiles/geometry.hpp"

#include <gtest/gtest.h>

using namespace suitefiles;

namespace {

SiteGeometry plane_site(std::int16_t we, std::int16_t ns, std::int16_t interval, float rotation) {
    SiteGeometry s;
    s.points_we = we;
    s.points_ns = ns;
    s.total_points = we * ns;
    s.interval = interval;
    s.rotation = rotation;
    return s;
}

}  // namespace

TEST(Positions, PointOrderAndRotation) {
    SiteGeometry s = plane_site(4, 3, 100, 0.0f);
    s.nw_e = 1000.0f;
    s.nw_n = 2000.0f;
    EXPECT_EQ(point_row(4, 4), 0);  // the last point of a row stays in its row
    EXPECT_EQ(point_row(5, 4), 1);
    EXPECT_EQ(point_column(4, 4), 3);
    EXPECT_EQ(point_column(9, 4), 0);
    const Rotation none = rotation_of(0.0f, 1, 0.0f);
    Position p = site_position(s, none, 7);  // row 1, column 2
    EXPECT_FLOAT_EQ(p.e, 1200.0f);
    EXPECT_FLOAT_EQ(p.n, 1900.0f);
    const Rotation quarter = rotation_of(90.0f, 1, 0.0f);  // rows now run north, columns west
    p = site_position(s, quarter, 7);
    EXPECT_NEAR(p.e, 1100.0f, 0.01f);
    EXPECT_NEAR(p.n, 2200.0f, 0.01f);

    s.coord_system = 2;
    s.interval = 3648;  // 0.01 degree of latitude
    s.nw_e = 120.0f;
    s.nw_n = 60.0f;
    const Rotation geo = rotation_of(0.0f, 2, 60.0f);
    EXPECT_NEAR(geo.cl, 0.5f, 1e-4f);
    for (const Position q : {site_position(s, geo, 2), grid1_position(s, geo, 2),
                             placer_position(s, placement_rotation_of(s), 2)}) {
        // One column east: the longitude offset is doubled at 60 N, and
        // longitudes are positive to the west.
        EXPECT_NEAR(q.e, 119.98f, 1e-4f);
        EXPECT_FLOAT_EQ(q.n, 60.0f);
    }
    EXPECT_NEAR(site_position(s, geo, 5).n, 59.99f, 1e-4f);  // one row south
}

// The radian factors: 3.1416 / 180 of the grid routines and 0.017453333 of
// the placement routines give the same radians at 30 degrees, but not the
// same sine at 9.3 degrees; 0.01745328 of the slope angles is a little smaller.
TEST(Positions, RadianFactorsDifferInTheLastBits) {
    EXPECT_EQ(radians(30.0f), 30.0f * PLACEMENT_DEG_TO_RAD);
    EXPECT_LT(30.0f * SLOPE_DEG_TO_RAD, radians(30.0f));
    const SiteGeometry s = plane_site(10, 10, 37, 9.3f);
    const Rotation grid = rotation_of(9.3f, 1, 0.0f), placer = placement_rotation_of(s);
    EXPECT_EQ(grid.sinr, 0.161604196f);
    EXPECT_EQ(placer.sinr, 0.161604211f);
    EXPECT_NE(grid.cosr, placer.cosr);
    EXPECT_DOUBLE_EQ(radians(180.0), 3.1416);
}

// Each routine's order of terms is kept: the three forms of the same plane
// position differ in the last bit of a large easting.
TEST(Positions, EachRoutineKeepsItsOrderOfTerms) {
    SiteGeometry s = plane_site(10, 10, 37, 226.2f);
    s.nw_e = 2000000.3f;
    s.nw_n = 500000.7f;
    Rotation rot = rotation_of(s.rotation, 1, 0.0f);
    // E0 + XL COSR + YL SINR against E0 + YL SINR + XL COSR.
    EXPECT_EQ(site_position(s, rot, 72).e, 1999787.75f);
    EXPECT_EQ(grid1_position(s, rot, 72).e, 1999787.625f);
    EXPECT_EQ(placer_position(s, rot, 72).e, 1999787.75f);

    s.rotation = 12.5f;
    rot = rotation_of(s.rotation, 1, 0.0f);
    // (SINR YL + COSR XL) + E0 against both others.
    EXPECT_EQ(site_position(s, rot, 83).e, 2000136.625f);
    EXPECT_EQ(grid1_position(s, rot, 83).e, 2000136.625f);
    EXPECT_EQ(placer_position(s, rot, 83).e, 2000136.5f);
    const Offsets o = point_offsets(83, s.points_we, s.interval);
    EXPECT_EQ(o.xl, 2 * 37.0f);
    EXPECT_EQ(o.yl, 8 * 37.0f);
    EXPECT_EQ(placer_local_position(s.nw_e, s.nw_n, rot, o.xl, o.yl).e, 2000136.5f);
}

TEST(Lattice, SizeOfTheResampledLattice) {
    struct Case {
        int we, ns, nx, ny;
    };
    for (const Case c :
         {Case{150, 120, 150, 120}, Case{201, 201, 201, 201}, Case{250, 100, 201, 80},
          Case{202, 100, 201, 99}, Case{100, 250, 80, 201}, Case{300, 300, 201, 201},
          Case{201, 202, 200, 201}, Case{603, 201, 201, 67},
          // Narrow sites keep two nodes across, so that the lattice has a spacing.
          Case{400, 3, 201, 2}, Case{3, 400, 2, 201}, Case{404, 2, 201, 2}, Case{1, 300, 2, 201},
          // Below 202 nothing is reduced, however narrow.
          Case{200, 1, 200, 1}}) {
        const LatticeSize s = lattice_size(c.we, c.ns);
        EXPECT_EQ(s.nx, c.nx) << c.we << " x " << c.ns;
        EXPECT_EQ(s.ny, c.ny) << c.we << " x " << c.ns;
        EXPECT_EQ(s.reduced(c.we, c.ns), c.we != c.nx || c.ns != c.ny);
    }
}
