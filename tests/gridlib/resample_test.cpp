// The resampled grid file: node counts, node-for-node copies, the weighting
// of nearby grid points, and the pinned corners.
#include <cmath>

#include "grid_fixture.hpp"

using namespace gridlib;

namespace {

class Resampled : public SiteFolder {
  protected:
    struct Tns {
        float spacing = 0;
        std::string title;
        std::vector<float> values;  // column by column, west to east, each south to north
        std::string end;
    };
    static Tns read_tns(const std::string& file) {
        auto rec = lines(file);
        Tns t;
        t.spacing = std::stof(rec.at(0).substr(10, 5));
        t.title = rec.at(1);
        for (std::size_t r = 2; r + 1 < rec.size(); ++r)
            for (std::size_t c = 0; c + 8 <= rec[r].size(); c += 8)
                t.values.push_back(std::stof(rec[r].substr(c, 8)));
        t.end = rec.back();
        return t;
    }
};

TEST_F(Resampled, GridUpTo201PointsIsCopiedNodeForNode) {
    SiteGrid g = make_grid(201, 201, 25, [](int i) { return 0.001f * static_cast<float>(i); });
    ResampleWork w;
    ASSERT_TRUE(GRID1("BIG.IN", 0.0f, 0.0f, g, w, GRID1_NEW, 0, "TITLE"));
    Tns t = read_tns("BIG.TNS");
    EXPECT_EQ(t.spacing, 25.0f);
    EXPECT_EQ(t.title, "TITLE" + std::string(55, ' '));  // a 60-character title
    EXPECT_EQ(t.end, "                     999999999");
    ASSERT_EQ(t.values.size(), 201u * 201u);
    // Node (i, j): column i from the west, j from the south.
    for (int i = 1; i <= 201; i += 50)
        for (int j = 1; j <= 201; j += 40) {
            int point = (201 - j) * 201 + i;
            EXPECT_NEAR(t.values[static_cast<std::size_t>((i - 1) * 201 + (j - 1))],
                        0.001f * static_cast<float>(point), 0.0005f);
        }
}

TEST_F(Resampled, LongGridIsReducedAndKeepsItsCorners) {
    // 202 columns by 100 rows: 201 x 99 nodes.
    SiteGrid g =
        make_grid(100, 202, 10, [](int i) { return 20.0f + 0.0005f * static_cast<float>(i); });
    g.depth[0] = 11.0f;                                               // NW
    g.depth[201] = 12.0f;                                             // NE
    g.depth[static_cast<std::size_t>(g.total_points - 202)] = 13.0f;  // SW
    g.depth[static_cast<std::size_t>(g.total_points - 1)] = 14.0f;    // SE
    ResampleWork w;
    ASSERT_TRUE(GRID1("LONG.IN", 0.0f, 0.0f, g, w, GRID1_NEW, 0, "LONG"));
    Tns t = read_tns("LONG.TNS");
    ASSERT_EQ(t.values.size(), 201u * 99u);
    EXPECT_EQ(t.spacing, 10.0f);                   // min(990 / 98, 2010 / 200)
    EXPECT_EQ(t.values[0], 13.0f);                 // (1, 1) SW
    EXPECT_EQ(t.values[98], 11.0f);                // (1, M2) NW
    EXPECT_EQ(t.values[200u * 99u], 14.0f);        // (M1, 1) SE
    EXPECT_EQ(t.values[200u * 99u + 98u], 12.0f);  // (M1, M2) NE
    // Interior nodes lie within the range of the smooth part of the grid.
    for (std::size_t k = 1000; k < 19000; k += 997) {
        EXPECT_GT(t.values[k], 20.0f);
        EXPECT_LT(t.values[k], 30.2f);
    }
}

TEST_F(Resampled, GridPointWithinTwoFeetWeighsAsIfOneFootAway) {
    // 202 x 200 points at 10 ft: 201 x 199 nodes about 10.05 ft apart, K = 4
    // within 19.14 ft. Node (2, 2) lies about 0.05 ft from grid point (column 1,
    // row 1 from the south) in each axis; that point holds a spike of 20 ft
    // among depths of 10 ft.
    SiteGrid g = make_grid(200, 202, 10, [](int) { return 10.0f; });
    int spike = 198 * 202 + 2;
    g.depth[static_cast<std::size_t>(spike - 1)] = 20.0f;
    ResampleWork w;
    ASSERT_TRUE(GRID1("SPIKE.IN", 0.0f, 0.0f, g, w, GRID1_NEW, 0, ""));
    // Candidates: the spike at d = 1 (both offsets below 2 ft), then the three
    // nearest neighbours, each with its small offset replaced by 1 ft.
    const double dx = 2010.0 / 200.0, dy = 1990.0 / 198.0;
    const double d[3] = {std::hypot(20.0 - dx, 1.0), std::hypot(20.0 - dy, 1.0),
                         std::hypot(dx, 1.0)};
    double sum_wd = 20.0, sum_w = 1.0;
    for (double di : d) {
        sum_wd += 10.0 / (di * di * di);
        sum_w += 1.0 / (di * di * di);
    }
    EXPECT_NEAR(w.at(2, 2), sum_wd / sum_w, 2e-4);
    EXPECT_LT(w.at(2, 2), 19.98f);           // a point at 0.07 ft would weigh 2800 times more
    EXPECT_FLOAT_EQ(w.at(100, 100), 10.0f);  // a uniform neighbourhood stays uniform
}

TEST_F(Resampled, ModeOneWritesTheEarlierResampledGrid) {
    SiteGrid g = make_grid(3, 3, 10, [](int) { return 5.0f; });
    ResampleWork w;
    ASSERT_TRUE(GRID1("M.IN", 0.0f, 0.0f, g, w, GRID1_NEW, 0, ""));
    g.depth[4] = 50.0f;
    ASSERT_TRUE(GRID1("M.IN", 0.0f, 0.0f, g, w, GRID1_KEEP_RESAMPLED, 0, ""));
    Tns t = read_tns("M.TNS");
    EXPECT_EQ(t.values[4], 5.0f);  // not resampled again
    SiteGrid back;
    ASSERT_EQ(RGRID1("M.IN", back), GRID_OK);
    EXPECT_EQ(back.depth[4], 50.0f);
}

}  // namespace
