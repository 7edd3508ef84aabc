// GETBACK: the long-term grid read back directly or by interpolation.
#include <algorithm>
#include <cmath>

#include "placer/kernels.hpp"
#include "placer_fixture.hpp"

namespace {

using placer::GetbackResult;

class Getback : public PlacerFolder {
  protected:
    placer::WorkGrid work;
    placer::Lattice lattice;

    static placer::LongTermFrame frame_for(const gridlib::SiteGrid& g) {
        placer::LongTermFrame f;
        f.site = gridlib::geometry_of(g, g.local_nw_e, g.local_nw_n);
        f.we_extent = (g.points_we - 1) * g.interval;
        f.ns_extent = (g.points_ns - 1) * g.interval;
        return f;
    }
    static void write_tns(float cell) {
        std::vector<std::string> r;
        add(r, "(10X,F5.1)", cell);
        add(r, "(A60)", std::string("TEST SITE"));
        write_records("RUN1.TNS", r);
    }
};

TEST_F(Getback, SiteOfAtMost201PointsIsCopiedWithRowOneInTheSouth) {
    gridlib::SiteGrid g = make_grid(4, 6, 20, [](int) { return 40.0f; });
    // Lattice value (I, J) = 100 I + J, I west to east, J south to north.
    std::vector<float> last;
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 4; ++j) last.push_back(static_cast<float>(100 * i + j));
    write_tns(20.0f);
    write_records("PLOTBATH.DAT", plotbath_records(std::vector<float>(24, 40.0f), 168, last));
    GetbackResult result{};
    EXPECT_EQ(placer::GETBACK("RUN1.TNS", work, g.depth, lattice, frame_for(g), &result), 168);
    EXPECT_EQ(result, GetbackResult::Direct);
    EXPECT_FLOAT_EQ(g.depth[0], 104.0f);   // NW corner: I = 1, J = 4
    EXPECT_FLOAT_EQ(g.depth[5], 604.0f);   // NE corner
    EXPECT_FLOAT_EQ(g.depth[18], 101.0f);  // SW corner
    EXPECT_FLOAT_EQ(g.depth[23], 601.0f);  // SE corner
    EXPECT_FLOAT_EQ(g.depth[13], 202.0f);  // row 2 of 4 (0-based), column 1: I = 2, J = 2
}

// A 250 x 100 site comes back from a 201 x 80 lattice (and a 100 x 250 site
// from 80 x 201): every point is interpolated from the lattice nodes around
// it, the corners are copied.
TEST_F(Getback, LargerSiteIsInterpolatedFromTheLatticeWithCornersExact) {
    for (auto [rows, cols] : {std::pair<int, int>{100, 250}, std::pair<int, int>{250, 100}}) {
        gridlib::SiteGrid g = make_grid(rows, cols, 10, [](int) { return 40.0f; });
        g.rotation = 30.0f;
        const placer::LongTermFrame fr = frame_for(g);
        const suitefiles::LatticeSize size = suitefiles::lattice_size(g.points_we, g.points_ns);
        const int nx = size.nx, ny = size.ny;
        ASSERT_EQ(nx, cols > rows ? 201 : 80);
        ASSERT_EQ(ny, cols > rows ? 80 : 201);
        // A plane over the local frame: depth = 50 + 0.01 x (distance east of
        // the NW corner along the rows) + 0.02 x (distance south along the columns).
        const auto we = static_cast<float>(fr.we_extent), ns = static_cast<float>(fr.ns_extent);
        const float along_we = we / static_cast<float>(nx - 1),
                    along_ns = ns / static_cast<float>(ny - 1);
        std::vector<float> last;
        for (int i = 1; i <= nx; ++i)
            for (int j = 1; j <= ny; ++j)
                last.push_back(50.0f + 0.01f * along_we * static_cast<float>(i - 1) +
                               0.02f * (ns - along_ns * static_cast<float>(j - 1)));
        write_tns(12.0f);
        write_records("PLOTBATH.DAT",
                      plotbath_records(std::vector<float>(last.size(), 40.0f), 336, last));
        GetbackResult result{};
        EXPECT_EQ(placer::GETBACK("RUN1.TNS", work, g.depth, lattice, fr, &result), 336);
        EXPECT_EQ(result, GetbackResult::Interpolated);
        auto lat = [&](int i, int j) {
            return last[static_cast<std::size_t>((i - 1) * ny + (j - 1))];
        };
        const auto n = static_cast<std::size_t>(g.total_points),
                   npr = static_cast<std::size_t>(cols);
        EXPECT_EQ(g.depth[0], lat(1, ny));
        EXPECT_EQ(g.depth[npr - 1], lat(nx, ny));
        EXPECT_EQ(g.depth[n - npr], lat(1, 1));
        EXPECT_EQ(g.depth[n - 1], lat(nx, 1));
        float worst = 0.0f;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const float plane =
                    50.0f + 0.01f * static_cast<float>(c * 10) + 0.02f * static_cast<float>(r * 10);
                worst = std::max(
                    worst,
                    std::fabs(
                        g.depth[static_cast<std::size_t>(r) * npr + static_cast<std::size_t>(c)] -
                        plane));
            }
        // Inverse-distance weighting over nodes about 12.5 ft apart on a plane
        // rising 0.02 ft per foot: off by well under a node's rise (0.25 ft),
        // everywhere, the southern row and the rows past 100 included.
        EXPECT_LT(worst, 0.1f) << rows << " x " << cols;
        EXPECT_GT(worst, 0.0f);
    }
}

TEST_F(Getback, DepthsAreKeptWhenNoCompleteGridCanBeRead) {
    gridlib::SiteGrid g = make_grid(4, 6, 20, [](int i) { return 30.0f + static_cast<float>(i); });
    const std::vector<float> before = g.depth;
    const std::vector<float> flat(24, 10.0f);
    std::vector<std::string> no_marker = plotbath_records(flat, 168, flat);
    no_marker.pop_back();
    std::vector<std::string> short_block = plotbath_records(flat, 168, flat);
    short_block.erase(short_block.end() - 2);
    std::vector<std::string> no_output = plotbath_records(flat, 168, flat);
    no_output.erase(no_output.end() - 3, no_output.end() - 1);  // initial grid and end marker only
    struct Case {
        const char* what;
        bool tns;
        std::vector<std::string> plotbath;  // empty: no file
    };
    for (const Case& c : {Case{"no resampled grid file", false, plotbath_records(flat, 168, flat)},
                          Case{"no PLOTBATH.DAT", true, {}}, Case{"no end marker", true, no_marker},
                          Case{"a grid cut short", true, short_block},
                          Case{"no elapsed-time block", true, no_output}}) {
        std::remove("RUN1.TNS");
        std::remove("PLOTBATH.DAT");
        if (c.tns) write_tns(20.0f);
        if (!c.plotbath.empty()) write_records("PLOTBATH.DAT", c.plotbath);
        GetbackResult result{};
        EXPECT_EQ(placer::GETBACK("RUN1.TNS", work, g.depth, lattice, frame_for(g), &result), 0)
            << c.what;
        EXPECT_EQ(result, GetbackResult::Kept) << c.what;
        EXPECT_EQ(g.depth, before) << c.what;
    }
}

TEST_F(Getback, PointWithNoLatticeNodeInReachKeepsItsDepth) {
    // A negative cell size leaves no node within reach of any point: only the
    // corners take lattice values.
    gridlib::SiteGrid g = make_grid(100, 250, 10, [](int) { return 40.0f; });
    std::vector<float> last(201 * 80, 12.0f);
    write_tns(-20.0f);
    write_records("PLOTBATH.DAT", plotbath_records(last, 168, last));
    placer::GETBACK("RUN1.TNS", work, g.depth, lattice, frame_for(g));
    EXPECT_FLOAT_EQ(g.depth[0], 12.0f);
    EXPECT_FLOAT_EQ(g.depth[1], 40.0f);
    EXPECT_FLOAT_EQ(g.depth[125 * 100], 40.0f);
    EXPECT_EQ(std::count(g.depth.begin(), g.depth.begin() + 25000, 12.0f), 4);
}

// A long-term depth no grid file could hold (1E30, from a corrupt series)
// keeps the depths from before the long-term run; before, they were taken
// and the week's grid files were written as asterisks.
TEST_F(Getback, LongTermDepthBeyondItsFieldKeepsTheDepths) {
    gridlib::SiteGrid g = make_grid(4, 6, 20, [](int) { return 40.0f; });
    std::vector<float> last(24, 39.0f);
    last[7] = 1.0E30f;
    write_tns(20.0f);
    std::vector<std::string> r = plotbath_records(std::vector<float>(24, 40.0f), 168, last);
    r[3] = "  39.000  39.000  39.000  39.000  39.000  39.000  39.000    1E30  39.000";
    write_records("PLOTBATH.DAT", r);
    GetbackResult result{};
    EXPECT_EQ(placer::GETBACK("RUN1.TNS", work, g.depth, lattice, frame_for(g), &result), 0);
    EXPECT_EQ(result, GetbackResult::Kept);
    EXPECT_TRUE(
        std::all_of(g.depth.begin(), g.depth.begin() + 24, [](float d) { return d == 40.0f; }));
}

// A long series of grids is read forward holding one grid at a time; the
// last complete grid is taken, and its elapsed hours, a 16-bit count, are
// held at 32767 rather than wrapped round to a negative count.
TEST_F(Getback, LastOfALongSeriesWithItsHoursHeldInTheirCount) {
    gridlib::SiteGrid g = make_grid(4, 6, 20, [](int) { return 40.0f; });
    write_tns(20.0f);
    std::vector<std::string> series;
    for (int week = 1; week <= 200; ++week) {
        std::vector<std::string> one =
            plotbath_records(std::vector<float>(24, 40.0f), week * 168,
                             std::vector<float>(24, 40.0f - 0.01f * static_cast<float>(week)));
        series.insert(series.end(), one.begin(), one.end());
    }
    write_records("PLOTBATH.DAT", series);
    EXPECT_EQ(placer::GETBACK("RUN1.TNS", work, g.depth, lattice, frame_for(g)), 32767);
    EXPECT_FLOAT_EQ(g.depth[0], 38.0f);
}

}  // namespace
