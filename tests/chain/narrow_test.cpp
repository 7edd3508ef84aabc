// A long narrow site (400 x 3 points, and 3 x 400) through placer with the
// real cloudex and dredge: the resampled grid file, the long-term model, the
// read-back and the view tools' reader all take the same reduced lattice,
// two nodes across the site.
#include <cstdlib>

#include "placer/kernels.hpp"
#include "recio/records.hpp"
#include "results/mound.hpp"
#include "results/site.hpp"
#include "suitefiles/geometry.hpp"
#include "tests/placer/placer_fixture.hpp"

namespace {

class NarrowSite : public PlacerFolder, public ::testing::WithParamInterface<std::pair<int, int>> {
  protected:
    static int run(const std::string& program, const std::string& flag) {
        write_file("ACTION.BAT", flag + "\n");
        std::string command =
            std::string(SUITE_BIN_DIR) + "/" + program + " < /dev/null > " + program + ".log 2>&1";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

// Depth by the point's place across the site: 40, 45 and 50 ft over the
// three points across, so that a lattice read with the wrong shape shows.
float across_depth(int across) {
    return 40.0f + 5.0f * static_cast<float>(across);
}

TEST_P(NarrowSite, EveryProgramTakesTheSameTwoNodeLattice) {
    const auto [rows, cols] = GetParam();
    const bool long_we = cols > rows;
    gridlib::SiteGrid g = make_grid(rows, cols, 20, [&](int i) {
        const int r = (i - 1) / cols, c = (i - 1) % cols;
        return across_depth(long_we ? r : c);
    });
    write_site("NARROW", g);
    const suitefiles::LatticeSize lattice = suitefiles::lattice_size(cols, rows);
    ASSERT_EQ(lattice.nx, long_we ? 201 : 2);
    ASSERT_EQ(lattice.ny, long_we ? 2 : 201);
    const std::size_t nodes = static_cast<std::size_t>(lattice.nx * lattice.ny);

    placer::DumpControl c = test_control();
    c.site = "NARROW";
    c.out = "NAROUT";
    c.loads = 1;
    c.total_amount = 1000;
    c.centre_e = long_we ? 5000.0f : 1020.0f;  // the middle of the site
    c.centre_n = long_we ? 4980.0f : 1000.0f;
    c.speed1 = c.speed2 = 0.3f;  // a current: the long-term model runs
    c.direction1 = c.direction2 = 90.0f;
    c.switch_days = 7.0f;
    write_records("DUMP.INI", dump_ini_records(c));
    run("placer", "DUMPYES");

    // The resampled grid file holds the 201 x 2 (2 x 201) lattice, and the
    // long-term model reads it so (and declines a lattice less than 3 across).
    std::vector<float> tns(nodes, 0.0f);
    {
        recio::RecordReader in("NAROUT.TNS");
        float spacing = 0.0f;
        std::string title;
        in.need("(10X,F5.1)", spacing);
        in.need("(A60)", title);
        in.need("(26F8.3)", recio::array(tns.data(), nodes));
        std::int32_t end = 0;
        in.need("(20X,I10)", end);
        EXPECT_EQ(end, 999999999);
    }
    // Node (i, j) at (i - 1) x NY + j, J = 1 the southern line: each lattice
    // line lies along one long edge of the site and is nearer its depth.
    for (std::size_t k = 0; k < nodes; ++k) {
        const bool second = long_we ? k % 2 == 1 : k >= 201;  // northern or eastern line
        const bool shallow_edge = long_we ? second : !second;
        EXPECT_EQ(tns[k] < 45.0f, shallow_edge) << k << ": " << tns[k];
    }
    const std::string size_text = std::to_string(lattice.nx) + " X " + std::to_string(lattice.ny);
    EXPECT_NE(text("placer.log").find("MUST BE AT LEAST 3 X 3, NOT " + size_text),
              std::string::npos)
        << text("placer.log");
    EXPECT_NE(text("placer.log").find("THE DEPTHS FROM BEFORE THE LONG-TERM RUN ARE KEPT"),
              std::string::npos);

    // A long-term series on that lattice is taken back by the read-back ...
    write_records("PLOTBATH.DAT", plotbath_records(tns, 171, tns));
    gridlib::SiteGrid site;
    ASSERT_EQ(gridlib::RGRID1("NAROUT.IN", site), gridlib::GRID_OK);
    placer::LongTermFrame frame;
    frame.site = gridlib::geometry_of(site, site.local_nw_e, site.local_nw_n);
    frame.we_extent = (cols - 1) * 20;
    frame.ns_extent = (rows - 1) * 20;
    placer::WorkGrid work;
    placer::Lattice nodes_at;
    placer::GetbackResult how = placer::GetbackResult::Kept;
    EXPECT_EQ(placer::GETBACK("NAROUT.TNS", work, site.depth, nodes_at, frame, &how), 171);
    EXPECT_EQ(how, placer::GetbackResult::Interpolated);
    // ... the two outer lines of points nearer their own lattice line than
    // the other (the middle line lies between them), all along the site.
    auto at = [&](int along, int across) {
        const int r = long_we ? across : along, col = long_we ? along : across;
        return site.depth[static_cast<std::size_t>(r * cols + col)];
    };
    for (int along = 1; along < 399; ++along) {
        if (std::abs(along - 200) < 20) continue;  // the dump
        EXPECT_GT(at(along, 0), 40.0f) << along;
        EXPECT_LT(at(along, 0), 45.0f) << along;
        EXPECT_GT(at(along, 2), 45.0f) << along;
        EXPECT_LT(at(along, 2), 50.0f) << along;
    }
    // ... and by the view tools' reader, to its end marker.
    const results::SiteSeries series =
        results::load_site_series("PLOTBATH.DAT", results::load_site("NAROUT.IN", "NAROUT.OUT"));
    EXPECT_EQ(series.series.nx, lattice.nx);
    EXPECT_EQ(series.series.ny, lattice.ny);
    EXPECT_TRUE(series.series.complete);
    ASSERT_EQ(series.series.grids.size(), 2u);
    EXPECT_EQ(series.series.grids.back().depth, tns);
    EXPECT_EQ(series.series.grids.back().hours, 171.0);
}

INSTANTIATE_TEST_SUITE_P(LongAndTall, NarrowSite,
                         ::testing::Values(std::pair<int, int>{3, 400},
                                           std::pair<int, int>{400, 3}),
                         [](const auto& info) {
                             return info.param.second > info.param.first ? std::string("400x3")
                                                                         : std::string("3x400");
                         });

}  // namespace
