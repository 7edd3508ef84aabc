// Survey files through their reader and writer.
#include "suitefiles/survey.hpp"

#include "files_fixture.hpp"

namespace {

using namespace suitefiles_test;
using suitefiles::Quantity;
using suitefiles::SurveyPoint;

class Survey : public Folder {};

const std::array<Quantity, 3> ned = {Quantity::Northing, Quantity::Easting, Quantity::Depth};
const std::array<Quantity, 3> end = {Quantity::Easting, Quantity::Northing, Quantity::Depth};

// The test site's survey is written in (2F8.1,F7.1) columns, easting first.
TEST_F(Survey, FixedColumnSurveyRoundTripsByteForByte) {
    const fs::path file = fs::path(TEST_DATA_DIR) / "sitegen/survey_site/SURVEY.XYZ";
    std::vector<SurveyPoint> points;
    ASSERT_TRUE(suitefiles::read_survey(file.string(), end, points));
    ASSERT_GE(points.size(), 3u);
    EXPECT_FLOAT_EQ(points[1].east, 1100.0f);
    EXPECT_FLOAT_EQ(points[1].north, 2000.0f);
    EXPECT_FLOAT_EQ(points[1].depth, -20.0f);  // the sign as the file states it
    ASSERT_TRUE(suitefiles::write_survey("SURVEY.XYZ", points, end, "(2F8.1,F7.1)"));
    EXPECT_EQ(bytes("SURVEY.XYZ"), bytes(file));
}

// The example's survey has blank-separated values of varying width; written
// in fixed columns in another column order it reads back to the same points.
TEST_F(Survey, FreeFormatSurveyRoundTripsByValue) {
    std::vector<SurveyPoint> points, back;
    ASSERT_TRUE(suitefiles::read_survey(EXAMPLES_DIR "/newport/SURVEY.XYZ", end, points));
    ASSERT_EQ(points.size(), 10764u);
    EXPECT_FLOAT_EQ(points[0].east, 9900.0f);
    EXPECT_FLOAT_EQ(points[0].north, 24950.0f);
    EXPECT_FLOAT_EQ(points[0].depth, 71.92f);
    ASSERT_TRUE(suitefiles::write_survey("SURVEY.XYZ", points, ned, "(2F12.1,F10.2)"));
    ASSERT_TRUE(suitefiles::read_survey("SURVEY.XYZ", ned, back));
    ASSERT_EQ(back.size(), points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_EQ(back[k].east, points[k].east) << k;
        EXPECT_EQ(back[k].north, points[k].north) << k;
        EXPECT_EQ(back[k].depth, points[k].depth) << k;
    }
}

TEST_F(Survey, PointWithoutAllItsValuesIsRefused) {
    std::vector<SurveyPoint> points;
    EXPECT_FALSE(suitefiles::read_survey("NONE.XYZ", ned, points));
    write_text("S.XYZ", "1000.0 2000.0 10.0\n1100.0 2000.0 /\n");
    try {
        suitefiles::read_survey("S.XYZ", ned, points);
        ADD_FAILURE() << "a point without depth was read";
    } catch (const recio::RecordError& e) {
        EXPECT_STREQ(e.what(),
                     "MISSING VALUE IN FILE S.XYZ, RECORD 2: A SURVEY POINT NEEDS ALL THREE OF "
                     "ITS VALUES");
    }
}

}  // namespace
