#include "suitefiles/placement_files.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;
using suitefiles::Position;

namespace {

class PlacementFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("suitefiles_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::vector<std::string> lines(const std::string& file) {
        std::ifstream in(file);
        std::vector<std::string> out;
        for (std::string l; std::getline(in, l);) out.push_back(l);
        return out;
    }
    fs::path dir_;
};

}  // namespace

// A summary written whole, read back: the load lines' positions, refused or
// placed, up to the first continuation page; a load count beyond its I4
// field (asterisks) does not stop the reading.
TEST_F(PlacementFiles, PlacementSummaryRoundTrip) {
    suitefiles::ActivityHeader h;
    h.site = "BAY1";
    h.material = "FINE SAND WITH SOME SILT AND CLAY";  // cut to 22 characters
    h.total_amount = 3000;
    h.equipment = "SCOW1";
    h.technique = "POINT DUMP";
    h.start_month = 6, h.start_year = 2024, h.end_month = 7, h.end_year = 2024;
    h.loads = 3;
    const std::vector<Position> at = {
        {1600.0f, 4800.0f}, {2000123.5f, 512345.25f}, {-70.5f, 40.25f}};
    suitefiles::PlacementSummaryWriter w;
    ASSERT_TRUE(w.open(path("RUN1.ACT")));
    w.header(h);
    w.load_line(2, 1000.0f, at[0].e, at[0].n);
    w.load_line(12345, 1000.0f, at[1].e, at[1].n);
    w.load_line(0, 1000.0f, at[2].e, at[2].n);
    w.page_head();
    w.navigable_title(12);
    w.navigable_columns();
    w.navigable_point(1600.0f, 4800.0f, 12.9f);
    w.page_head();
    w.lateral_title(50);
    w.lateral_columns();
    w.lateral_entry(1, 1200);  // beyond I3: asterisks
    ASSERT_TRUE(w.close());

    const std::vector<std::string> r = lines(path("RUN1.ACT"));
    ASSERT_GE(r.size(), 17u);
    EXPECT_EQ(r[0], " DREDGING   PLACEMENT   SUMMARY   FOR   SITE: BAY1  ");
    EXPECT_EQ(r[3], " TYPE OF MATERIAL PLACED AT SITE: FINE SAND WITH SOME SI");
    EXPECT_EQ(r[16], "      2              1000.             1600.0000      4800.0000");
    EXPECT_EQ(r[17].substr(0, 7), "   ****");
    EXPECT_EQ(r.back(), "              1                                        ***");

    recio::RecordReader in(path("RUN1.ACT"));
    std::vector<Position> back;
    ASSERT_TRUE(suitefiles::read_load_positions(in, back));
    ASSERT_EQ(back.size(), at.size());
    for (std::size_t k = 0; k < at.size(); ++k) {
        EXPECT_EQ(back[k].e, at[k].e) << k;
        EXPECT_EQ(back[k].n, at[k].n) << k;
    }
    // A dump pattern has no column heads: it is no placement summary.
    ASSERT_TRUE(suitefiles::write_dump_pattern(path("SITE.XYZ"), at));
    recio::RecordReader pattern(path("SITE.XYZ"));
    EXPECT_FALSE(suitefiles::read_load_positions(pattern, back));
}

TEST_F(PlacementFiles, RunLengthRoundTrip) {
    ASSERT_TRUE(suitefiles::write_run_length(path("RUN1.TIM"), 171));
    EXPECT_EQ(lines(path("RUN1.TIM")), std::vector<std::string>{"    171"});
    std::int16_t hours = 0;
    ASSERT_TRUE(suitefiles::read_run_length(path("RUN1.TIM"), hours));
    EXPECT_EQ(hours, 171);
    EXPECT_FALSE(suitefiles::read_run_length(path("NONE.TIM"), hours));
}

// The dump pattern is read in its columns by the view tools and
// list-directed as a placement file by placer. Both agree on the pattern
// loadpat writes, until a position fills its whole field: two 7-digit
// coordinates run together, and only the column reader still parts them.
TEST_F(PlacementFiles, DumpPatternInColumnsAndAsAPlacementFile) {
    const std::vector<Position> dumps = {{1600.0f, 4800.0f}, {-70.125f, 40.5f}, {123456.5f, 0.0f}};
    ASSERT_TRUE(suitefiles::write_dump_pattern(path("SITE.XYZ"), dumps));
    EXPECT_EQ(lines(path("SITE.XYZ"))[0], "      1600.0000   4800.0000");
    {
        recio::RecordReader in(path("SITE.XYZ"));
        const std::vector<Position> back = suitefiles::read_dump_pattern(in);
        ASSERT_EQ(back.size(), dumps.size());
        recio::RecordReader placement(path("SITE.XYZ"));
        for (std::size_t k = 0; k < dumps.size(); ++k) {
            EXPECT_EQ(back[k].e, dumps[k].e);
            EXPECT_EQ(back[k].n, dumps[k].n);
            float first = 0, second = 0;
            ASSERT_TRUE(suitefiles::read_placement_record(placement, first, second));
            EXPECT_EQ(first, dumps[k].e);
            EXPECT_EQ(second, dumps[k].n);
        }
        float first = 0, second = 0;
        EXPECT_FALSE(suitefiles::read_placement_record(placement, first, second));
    }
    const std::vector<Position> wide = {{2000000.0f, 1000000.0f}};
    ASSERT_TRUE(suitefiles::write_dump_pattern(path("WIDE.XYZ"), wide));
    EXPECT_EQ(lines(path("WIDE.XYZ"))[0], "   2000000.00001000000.0000");
    recio::RecordReader in(path("WIDE.XYZ"));
    const std::vector<Position> back = suitefiles::read_dump_pattern(in);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].e, 2000000.0f);
    EXPECT_EQ(back[0].n, 1000000.0f);
    recio::RecordReader as_placement(path("WIDE.XYZ"));
    float first = 0, second = 0;
    bool parted = false;
    try {
        parted = suitefiles::read_placement_record(as_placement, first, second) &&
                 first == 2000000.0f && second == 1000000.0f;
    } catch (const recio::RecordError&) {
    }
    EXPECT_FALSE(parted);

    // A position beyond F12.4 is found before anything is written.
    std::size_t misfit = 99;
    EXPECT_TRUE(suitefiles::pattern_fits(dumps, misfit));
    EXPECT_FALSE(suitefiles::pattern_fits({{1.0f, 2.0f}, {1.0e8f, 2.0f}}, misfit));
    EXPECT_EQ(misfit, 1u);
}
