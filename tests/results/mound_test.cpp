// Mound height, volume and centroid of a long-term series.
#include "results/mound.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A 5 x 4 lattice (I outer, J inner) on a flat bed at 30 ft, DX = DY = 10 ft.
results::BathSeries flat_series(int grids) {
    results::BathSeries s;
    s.nx = 5;
    s.ny = 4;
    s.dx = s.dy = 10.0f;
    for (int k = 0; k < grids; ++k) {
        results::BathGrid g;
        g.hours = 24.0 * k;
        g.depth.assign(20, 30.0f);
        s.grids.push_back(g);
    }
    return s;
}

float& at(results::BathSeries& s, std::size_t grid, int i, int j) {
    return s.grids[grid].depth[static_cast<std::size_t>(i * s.ny + j)];
}

// A mound of two nodes (2 ft and 1 ft) shifts its weight one node east (I + 1)
// while a sand wave far from it rises 0.5 ft and a trough 0.2 ft lowers: the
// volume is the net change of the whole lattice, the mound area's volume and
// the centroid only the mound's; on a site turned by 90 degrees the rows run
// north.
TEST(Mound, HeightVolumeAndCentroidShift) {
    results::BathSeries s = flat_series(2);
    at(s, 0, 1, 2) = 28.0f;
    at(s, 0, 2, 2) = 29.0f;
    at(s, 1, 1, 2) = 29.0f;
    at(s, 1, 2, 2) = 28.0f;
    at(s, 1, 4, 0) = 29.5f;
    at(s, 1, 4, 1) = 30.2f;
    const results::Reference ref = results::flat_reference(s);
    const double cell = 100.0 / 27;
    for (double rot : {0.0, 90.0}) {
        const results::Frame f = results::make_frame(1, 0, 0, rot);
        const std::vector<results::MoundState> m = results::mound_history(s, ref, f, 40, 30);
        ASSERT_EQ(m.size(), 2u);
        EXPECT_DOUBLE_EQ(m[0].height, 2.0);
        EXPECT_NEAR(m[0].volume, 3.0 * cell, 1e-12);
        EXPECT_NEAR(m[0].area_volume, 3.0 * cell, 1e-12);
        EXPECT_DOUBLE_EQ(m[1].height, 2.0);
        EXPECT_NEAR(m[1].volume, (3.0 + 0.5 - 0.2) * cell, 1e-5);
        EXPECT_NEAR(m[1].area_volume, 3.0 * cell, 1e-12);
        EXPECT_DOUBLE_EQ(m[0].offset, 0.0);
        // Centroid 10 x (1 x 2 + 2 x 1) / 3 ft along the rows, then 10 x 5 / 3.
        EXPECT_NEAR(m[1].offset, 10.0 / 3, 1e-9);
        // East for rotation 0, north for 90 (the suite's rotation terms use
        // 3.1416 for pi).
        EXPECT_NEAR(m[1].offset_e, rot == 0 ? 10.0 / 3 : 0.0, 1e-3);
        EXPECT_NEAR(m[1].offset_n, rot == 0 ? 0.0 : 10.0 / 3, 1e-3);
    }
}

// The mound's area is where the bed had risen more than 0.1 ft when the last
// disposal week ended; a series without disposal weeks takes the first grid
// that rises that far; one that never does has no area, and its centroid is
// that of every rise.
TEST(Mound, AreaOfTheMound) {
    results::BathSeries s = flat_series(4);
    const char* kinds[] = {"START", "DISPOSAL WEEK", "DISPOSAL WEEK", "LONG-TERM OUTPUT"};
    for (std::size_t k = 0; k < 4; ++k) s.grids[k].kind = kinds[k];
    at(s, 1, 1, 1) = 29.0f;
    at(s, 2, 1, 1) = 28.5f;
    at(s, 2, 3, 1) = 29.95f;  // within the files' rounding of the threshold: not the mound
    at(s, 2, 3, 2) = 29.8f;
    at(s, 3, 3, 2) = 29.0f;
    at(s, 3, 0, 3) = 29.0f;  // risen only after disposal
    const results::Reference ref = results::first_grid_reference(s);
    auto nodes = [&](const std::vector<bool>& a) {
        std::vector<int> out;
        for (std::size_t k = 0; k < a.size(); ++k)
            if (a[k]) out.push_back(static_cast<int>(k));
        return out;
    };
    EXPECT_EQ(nodes(results::mound_area(s, ref)), (std::vector<int>{1 * 4 + 1, 3 * 4 + 2}));

    for (results::BathGrid& g : s.grids) g.kind = "LONG-TERM OUTPUT";
    EXPECT_EQ(nodes(results::mound_area(s, ref)), (std::vector<int>{1 * 4 + 1}));

    results::BathSeries low = flat_series(2);
    at(low, 1, 2, 1) = 29.95f;
    EXPECT_TRUE(results::mound_area(low, results::first_grid_reference(low)).empty());
    const std::vector<results::MoundState> m = results::mound_history(
        low, results::first_grid_reference(low), results::make_frame(1, 0, 0, 0), 40, 30);
    EXPECT_TRUE(m[1].has_mound);
    EXPECT_NEAR(m[1].centroid_xl, 20.0, 1e-9);
    EXPECT_NEAR(m[1].area_volume, 0.0, 1e-12);
}

// The flat reference is the SW corner depth of the initial grid; a bed that
// lies nowhere above it has no mound and no centroid, and its net volume
// change is the lowering below the corner.
TEST(Mound, NoMoundAboveTheReference) {
    results::BathSeries s = flat_series(1);
    at(s, 0, 0, 0) = 25.0f;  // SW corner shallower than everything else
    const results::Reference ref = results::flat_reference(s);
    EXPECT_DOUBLE_EQ(ref[7], 25.0);
    const std::vector<results::MoundState> m =
        results::mound_history(s, ref, results::make_frame(1, 0, 0, 0), 40, 30);
    EXPECT_FALSE(m[0].has_mound);
    EXPECT_NEAR(m[0].volume, -19 * 5 * 100.0 / 27, 1e-9);
    EXPECT_DOUBLE_EQ(m[0].area_volume, 0.0);
}

// A base grid of the lattice's own size is taken node for node; on a
// reduced lattice a plane bed is interpolated exactly.
TEST(Mound, SiteReferenceOnTheLattice) {
    gridlib::SiteGrid base;
    base.points_we = 5;
    base.points_ns = 4;
    base.total_points = 20;
    base.interval = 10;
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 5; ++k)
            base.depth[static_cast<std::size_t>(r * 5 + k)] = 30.0f + 0.5f * k + 2.0f * r;
    results::BathSeries same = flat_series(1);
    const results::Reference a = results::site_reference(base, same);
    // Node (I, J) = (2, 1), 0-based (1, 0): the southern row (r = 3), column 1.
    EXPECT_DOUBLE_EQ(a[static_cast<std::size_t>(1 * 4 + 0)], 30.0 + 0.5 + 6.0);
    EXPECT_DOUBLE_EQ(a[static_cast<std::size_t>(4 * 4 + 3)], 32.0);  // NE corner

    results::BathSeries small;
    small.nx = 3;
    small.ny = 3;
    small.grids.resize(1);
    const results::Reference b = results::site_reference(base, small);
    // Node (1, 1), 0-based: halfway along the rows (20 ft), halfway down (15 ft).
    EXPECT_NEAR(b[static_cast<std::size_t>(1 * 3 + 1)], 30.0 + 0.5 * 2 + 2.0 * 1.5, 1e-12);
    EXPECT_NEAR(b[static_cast<std::size_t>(2 * 3 + 0)], 30.0 + 2.0 + 6.0, 1e-12);  // SE corner
}

TEST(Mound, ThicknessIsReferenceMinusDepth) {
    results::BathSeries s = flat_series(1);
    at(s, 0, 3, 1) = 27.5f;
    at(s, 0, 4, 3) = 31.0f;
    const results::BathSeries t = results::thickness_series(s, results::flat_reference(s));
    EXPECT_FLOAT_EQ(t.grids[0].depth[3 * 4 + 1], 2.5f);
    EXPECT_FLOAT_EQ(t.grids[0].depth[4 * 4 + 3], -1.0f);
}

// The series of a site: lattice size from the site, start time from the
// PCD.INI beside the series file, or 0 with a note.
TEST(Mound, SeriesOfASite) {
    const std::string data = std::string(TEST_DATA_DIR) + "/results/data/";
    const results::Site tiny = results::load_site(data + "tiny/TINYAFT.IN");
    const results::SiteSeries a = results::load_site_series(data + "tiny/PLOTBATH.DAT", tiny);
    EXPECT_EQ(a.series.nx, 6);
    EXPECT_EQ(a.series.ny, 5);
    EXPECT_DOUBLE_EQ(a.we_ft, 500.0);
    EXPECT_DOUBLE_EQ(a.series.grids[0].hours, 168.0);
    const results::Site flat = results::load_site(data + "flat/FLAT.IN");
    const results::SiteSeries b = results::load_site_series(data + "flat/PLOTBATH.DAT", flat);
    EXPECT_DOUBLE_EQ(b.series.grids[0].hours, 0.0);
    EXPECT_EQ(b.notes.size(), 2u);  // no PCD.INI, no end marker
    EXPECT_THROW(results::load_site_series(data + "tiny/PLOTBATH.DAT", flat), results::InputError);
}

}  // namespace
