// Readers of the result files, on small files written to their layouts.
#include "results/readers.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "recio/format.hpp"
#include "results/errors.hpp"

namespace {

const std::string DATA = std::string(TEST_DATA_DIR) + "/results/data/";

// A scratch file for layouts a test writes itself.
class Scratch : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("results_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const std::string& name, const std::string& text) {
        const std::string p = (dir_ / name).string();
        std::ofstream(p) << text;
        return p;
    }
    std::filesystem::path dir_;
};

// The load lines between the column heads and the first continuation page;
// the listing of that page (same easting/northing columns) is not a dump.
TEST(Dumps, PlacementSummaryLoadLines) {
    const std::vector<results::DumpPoint> d = results::read_dumps(DATA + "tiny/TINY.ACT");
    ASSERT_EQ(d.size(), 3u);
    EXPECT_NEAR(d[0].e, 5286.6025, 1e-3);
    EXPECT_NEAR(d[0].n, 9050.0, 1e-3);
    EXPECT_NEAR(d[1].e, 5236.6025, 1e-3);
    EXPECT_NEAR(d[2].n, 8963.3975, 1e-3);
}

TEST(Dumps, PatternFileSkipsEmptyRecords) {
    const std::vector<results::DumpPoint> d = results::read_dumps(DATA + "tiny/TINY.XYZ");
    ASSERT_EQ(d.size(), 4u);
    EXPECT_NEAR(d[0].e, 5250.0, 1e-3);
    EXPECT_NEAR(d[3].e, 5400.0, 1e-3);
    EXPECT_NEAR(d[3].n, 9000.0, 1e-3);
}

TEST_F(Scratch, DumpFileFaults) {
    // Load counts beyond I4 print as asterisks; the position is still read.
    const std::string act =
        write("A.ACT",
              " DREDGING   PLACEMENT   SUMMARY   FOR   SITE: X\n"
              "                                         EASTING     NORTHING\n\n"
              "   ****                500              100.5000      200.2500\n");
    const std::vector<results::DumpPoint> d = results::read_dumps(act);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_NEAR(d[0].n, 200.25, 1e-4);
    // A summary without column heads, and an unreadable pattern record.
    EXPECT_THROW(
        results::read_placement_summary(write("B.ACT", " DREDGING   PLACEMENT   SUMMARY\n")),
        results::InputError);
    EXPECT_THROW(results::read_dumps(write("C.XYZ", "      100.0000    abc.0000\n")),
                 recio::RecordError);
    EXPECT_THROW(results::read_dumps((dir_ / "NONE.XYZ").string()), results::InputError);
}

// A pattern or placement summary that ends inside a position (a copy cut
// short) used to give a position made of the digits that remained; now the
// record is named. A complete record that is merely short is read padded.
TEST_F(Scratch, DumpRecordsCutShortAreReported) {
    const std::string pattern =
        write("CUT.XYZ", "     10150.0000  19850.0000\n     10450.0000  1985");
    try {
        results::read_dumps(pattern);
        FAIL() << "no error";
    } catch (const recio::RecordError& e) {
        EXPECT_NE(std::string(e.what()).find("RECORD CUT SHORT IN FILE " + pattern +
                                             ", RECORD 2, FIELD 2 (COLUMNS 16-27"),
                  std::string::npos)
            << e.what();
    }
    const std::string act =
        write("CUT.ACT",
              " DREDGING   PLACEMENT   SUMMARY   FOR   SITE: X\n"
              "                                         EASTING     NORTHING\n\n"
              "      3               1000             5286.6025      90");
    EXPECT_THROW(results::read_dumps(act), recio::RecordError);
}

// Three blocks at 600, 900 and 1200 s with a duration of 900 s: the block the
// placement adds is the one at 900 s; rows of 23 values take two records.
TEST(Deposit, BlocksAndTheDepositOfThePlacement) {
    const results::DepositFile d = results::read_deposit_file(DATA + "tiny/CLDX.DUT");
    EXPECT_EQ(d.title, "TWO FRACTIONS ON THE TINY SITE");
    EXPECT_EQ(d.rows, 8);
    EXPECT_EQ(d.cols, 27);
    EXPECT_DOUBLE_EQ(d.dx, 100.0);
    EXPECT_DOUBLE_EQ(d.tstop, 900.0);
    ASSERT_EQ(d.blocks.size(), 3u);
    EXPECT_DOUBLE_EQ(d.blocks[2].seconds, 1200.0);
    EXPECT_EQ(d.deposit_block(), 1);
    const results::Raster r = d.raster(1);
    ASSERT_EQ(r.nx, 23);
    ASSERT_EQ(r.ny, 4);
    // Peak at the dump node (fate node 5, 14: interior row 2, column 11),
    // which the raster puts at the origin.
    EXPECT_FLOAT_EQ(r.at(11, 2), 0.5f);
    EXPECT_FLOAT_EQ(r.at(22, 2), 0.0417f);  // second record of the row: 0.5/12
    EXPECT_FLOAT_EQ(r.at(0, 0), 0.0357f);
    const results::XY o = results::node_map(results::make_frame(1, 0, 0, 0), r, 11, 2);
    EXPECT_DOUBLE_EQ(o.x, 0.0);
    EXPECT_DOUBLE_EQ(o.y, 0.0);
}

TEST_F(Scratch, DepositFileCutShort) {
    const std::string head = "    DUT\nTITLE\n  8 27   100.0   100.0     0.0\n";
    EXPECT_THROW(results::read_deposit_file(write("A.DUT", head)), results::InputError);
    // A block cut in the middle of its rows.
    EXPECT_THROW(results::read_deposit_file(
                     write("B.DUT", head + "  1   900.00000\nSAND\n    900.0000\n0.1E+00\n")),
                 recio::RecordError);
    // Header only: no deposit block.
    const results::DepositFile d =
        results::read_deposit_file(write("C.DUT", head + "  1   900.00000\nSAND\n"));
    EXPECT_TRUE(d.blocks.empty());
    EXPECT_EQ(d.deposit_block(), -1);
}

// The series of the tiny site: initial grid at the start of the run
// (N0 = 57: 168 hours), grids at 336 and 504 hours, I outer and J inner.
TEST(Series, TinySiteGrids) {
    const double start = results::run_start_hours(DATA + "tiny/PCD.INI");
    EXPECT_DOUBLE_EQ(start, 168.0);
    const results::BathSeries s = results::read_plotbath(DATA + "tiny/PLOTBATH.DAT", 6, 5, start);
    EXPECT_TRUE(s.complete);
    EXPECT_FLOAT_EQ(s.dx, 100.0f);
    EXPECT_FLOAT_EQ(s.grain, 0.25f);
    ASSERT_EQ(s.grids.size(), 3u);
    EXPECT_TRUE(s.grids[0].initial);
    EXPECT_DOUBLE_EQ(s.grids[0].hours, 168.0);
    EXPECT_DOUBLE_EQ(s.grids[1].hours, 336.0);
    EXPECT_DOUBLE_EQ(s.grids[2].hours, 504.0);
    // (I, J) = (1, 1) is the SW corner, (1, 5) the NW corner, (6, 1) the SE corner.
    EXPECT_FLOAT_EQ(s.grids[0].depth[0], 42.0f);
    EXPECT_FLOAT_EQ(s.grids[0].depth[4], 40.0f);
    EXPECT_FLOAT_EQ(s.grids[0].depth[25], 43.75f);
    EXPECT_FLOAT_EQ(s.grids[2].depth[12], 38.65f);
    // As a raster the northern row comes first.
    const results::Raster r = results::bath_raster(s, 0, 500, 400);
    EXPECT_DOUBLE_EQ(r.dx, 100.0);
    EXPECT_FLOAT_EQ(r.at(0, 4), 42.0f);
    EXPECT_FLOAT_EQ(r.at(0, 0), 40.0f);
    EXPECT_FLOAT_EQ(r.at(5, 4), 43.75f);
}

TEST_F(Scratch, SeriesFaults) {
    // A run that did not finish: no end marker.
    const results::BathSeries s = results::read_plotbath(DATA + "flat/PLOTBATH.DAT", 4, 3, 0);
    EXPECT_FALSE(s.complete);
    ASSERT_EQ(s.grids.size(), 2u);
    EXPECT_DOUBLE_EQ(s.grids[1].hours, 24.0);
    // Grids of another lattice.
    EXPECT_THROW(results::read_plotbath(DATA + "tiny/PLOTBATH.DAT", 10, 8, 0), results::InputError);
    // N0 = 0 is taken as 1.
    EXPECT_DOUBLE_EQ(results::run_start_hours(write("PCD.INI", "    0    7  100   80\n")), 0.0);
    EXPECT_THROW(results::run_start_hours((dir_ / "NONE.INI").string()), results::InputError);
}

}  // namespace
