// RDEPOS: which deposit block is added, where it lands, and the failures.
#include "placer/kernels.hpp"
#include "placer_fixture.hpp"

namespace {

class Rdepos : public PlacerFolder {
  protected:
    // 20 rows x 60 columns, 20 ft apart, all 40 ft deep.
    gridlib::SiteGrid grid = make_grid(20, 60, 20, [](int) { return 40.0f; });
    placer::SiteFrame site = frame_of(grid);
    placer::WorkGrid work;

    std::int16_t add_deposit(int r, int c, float duration = 1800.0f) {
        const suitefiles::Position p = at_point(grid, r, c);
        return placer::RDEPOS(work, duration, p.e, p.n, site, grid.depth, 44, 44);
    }
    float depth_at(int r, int c) const { return grid.depth[static_cast<std::size_t>(r * 60 + c)]; }
    // Sum of the depth lowering over the whole site.
    double lowered() const {
        double s = 0.0;
        for (std::int32_t i = 0; i < grid.total_points; ++i)
            s += 40.0 - static_cast<double>(grid.depth[static_cast<std::size_t>(i)]);
        return s;
    }
};

// Thickness row 21, column 21 of the 40 x 40 block is fate node 23: the dump.
const std::pair<int, int> DUMP_CELL{21, 21};

TEST_F(Rdepos, AddsTheLastBlockNotAboveTheDuration) {
    struct Case {
        const char* what;
        std::vector<std::pair<float, Cells>> blocks;
        float expected;  // thickness added at the dump point
    };
    const std::vector<Case> cases = {
        // Several fractions: the fraction block carries the duration's time as
        // well, but the totals block comes last and is the one added.
        {"fraction then totals at the duration",
         {{1800.0f, {{DUMP_CELL, 0.5f}}}, {1800.0f, {{DUMP_CELL, 1.25f}}}},
         1.25f},
        {"blocks are not summed",
         {{600.0f, {{DUMP_CELL, 0.25f}}}, {1200.0f, {{DUMP_CELL, 0.75f}}}},
         0.75f},
        {"a later block past the duration is passed over",
         {{1200.0f, {{DUMP_CELL, 0.75f}}}, {2400.0f, {{DUMP_CELL, 9.0f}}}},
         0.75f},
        {"a first block past the duration adds nothing", {{2400.0f, {{DUMP_CELL, 9.0f}}}}, 0.0f},
        {"header records only add nothing", {}, 0.0f},
    };
    for (const Case& c : cases) {
        grid.depth.assign(grid.depth.size(), 40.0f);
        write_records("CLDX.DUT", deposit_records(44, 44, c.blocks));
        EXPECT_EQ(add_deposit(10, 30), 0) << c.what;
        EXPECT_FLOAT_EQ(depth_at(10, 30), 40.0f - c.expected) << c.what;
        EXPECT_NEAR(lowered(), c.expected, 1e-5) << c.what;
    }
}

TEST_F(Rdepos, DepositLandsOnTheDumpNodeAndDropsWhatWouldWrap) {
    // Dump on row 10, column 58: block column 22 is the last site column,
    // column 23 would wrap to row 11, column 0. Row 1 of the block is 20 rows
    // north of the dump, off the site.
    Cells cells{{DUMP_CELL, 1.0f}, {{21, 22}, 0.5f},   {{21, 23}, 7.0f},
                {{22, 21}, 0.25f}, {{20, 20}, 0.125f}, {{1, 21}, 3.0f}};
    write_records("CLDX.DUT", deposit_records(44, 44, {{1800.0f, cells}}));
    ASSERT_EQ(add_deposit(10, 58), 0);
    EXPECT_FLOAT_EQ(depth_at(10, 58), 39.0f);
    EXPECT_FLOAT_EQ(depth_at(10, 59), 39.5f);
    EXPECT_FLOAT_EQ(depth_at(11, 58), 39.75f);
    EXPECT_FLOAT_EQ(depth_at(9, 57), 39.875f);
    EXPECT_FLOAT_EQ(depth_at(11, 0), 40.0f);  // not wrapped into the next row
    EXPECT_NEAR(lowered(), 1.875, 1e-5);
}

TEST_F(Rdepos, FailuresLeaveTheDepthsUnchanged) {
    struct Case {
        const char* what;
        std::vector<std::string> file;  // empty: no file
        float dump_offset;              // feet east of the dump point, on the western edge
    };
    std::vector<std::string> cut = deposit_records(44, 44, {{1800.0f, {{DUMP_CELL, 1.0f}}}});
    cut.resize(cut.size() - 3);
    std::vector<std::string> bad = deposit_records(44, 44, {{1800.0f, {{DUMP_CELL, 1.0f}}}});
    bad[8] = " 1.0E+00 x.23E-01";
    const std::vector<std::string> good = deposit_records(44, 44, {{1800.0f, {{DUMP_CELL, 1.0f}}}});
    const std::vector<Case> cases = {
        {"no deposit file", {}, 0.0f},
        {"a block cut short", cut, 0.0f},
        {"an unreadable value", bad, 0.0f},
        {"fewer than five header records", {"    DUT", "TITLE"}, 0.0f},
        {"dump point not found within 10 ft", good, -10.5f},
    };
    for (const Case& c : cases) {
        std::remove("CLDX.DUT");
        if (!c.file.empty()) write_records("CLDX.DUT", c.file);
        const suitefiles::Position p = at_point(grid, 10, 0);
        EXPECT_EQ(placer::RDEPOS(work, 1800.0f, p.e + c.dump_offset, p.n, site, grid.depth, 44, 44),
                  1)
            << c.what;
        EXPECT_EQ(lowered(), 0.0) << c.what;
    }
}

TEST_F(Rdepos, SixtyFourNodeGridPutsTheDumpAtNodeThirtyThree) {
    // A 64 x 64 fate grid: 60 x 60 block, three records per row, offsets -30..+30.
    write_records("CLDX.DUT",
                  deposit_records(64, 64, {{900.0f, {{{31, 31}, 2.0f}, {{31, 60}, 0.5f}}}}));
    const suitefiles::Position p = at_point(grid, 10, 20);
    ASSERT_EQ(placer::RDEPOS(work, 900.0f, p.e, p.n, site, grid.depth, 64, 64), 0);
    EXPECT_FLOAT_EQ(depth_at(10, 20), 38.0f);
    EXPECT_FLOAT_EQ(depth_at(10, 49), 39.5f);
}

// A deposit that would take a depth beyond the grid files' F8.3 field (here
// 1E30 ft from a corrupt deposit file) is refused whole; before, the depths
// took it and the run wrote a grid file of asterisks that no program could
// read again. A thick deposit that still fits is added.
TEST_F(Rdepos, DepositNoGridFileCouldHoldChangesNothing) {
    write_records("CLDX.DUT",
                  deposit_records(44, 44, {{1800.0f, {{{20, 20}, 5.0f}, {DUMP_CELL, 1.0E30f}}}}));
    EXPECT_EQ(add_deposit(10, 30), 1);
    EXPECT_EQ(lowered(), 0.0);
    write_records("CLDX.DUT", deposit_records(44, 44, {{1800.0f, {{DUMP_CELL, 1030.0f}}}}));
    EXPECT_EQ(add_deposit(10, 30), 0);
    EXPECT_FLOAT_EQ(depth_at(10, 30), -990.0f);
}

}  // namespace
