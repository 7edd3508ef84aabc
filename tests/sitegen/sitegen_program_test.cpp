// The sitegen program, run whole in a temporary folder on the fixtures of
// tests/sitegen/ (see README.md there), its files read back.
#include <cmath>

#include "gridlib/sitegrid.hpp"
#include "program_fixture.hpp"
#include "recio/items.hpp"
#include "suitefiles/sitegen_ini.hpp"

namespace {

// A real from columns [first, first + width) (1-based first column).
double field(const std::string& record, std::size_t first, std::size_t width) {
    return std::stod(record.substr(first - 1, width));
}
std::vector<double> depth_records(const std::vector<std::string>& grid_file) {
    std::vector<double> out;
    for (std::size_t r = 14; r < grid_file.size(); ++r)
        for (std::size_t c = 0; c + 8 <= grid_file[r].size(); c += 8)
            out.push_back(field(grid_file[r], c + 1, 8));
    return out;
}

const double DEG = 3.1416 / 180.0;

using suitefiles::SitegenIni;
using Control = SitegenIni;

// Changes the folder's SITEGEN.INI and gives it the extents, corners and
// centre its lattice and rotation make, so that only the change itself is wrong.
void reshape(const ProgramFolder& f, void (*change)(Control&)) {
    Control c;
    {
        recio::RecordReader in(f.path("SITEGEN.INI"));
        c = suitefiles::read_sitegen_ini(in);
    }
    change(c);
    c.we_extent = (c.points_we - 1) * c.interval;
    c.ns_extent = (c.points_ns - 1) * c.interval;
    c.corners = suitefiles::expected_corners(c);
    ASSERT_TRUE(suitefiles::write_sitegen_ini(f.path("SITEGEN.INI"), c));
}

class Sitegen : public ProgramFolder {};

TEST_F(Sitegen, RotatedPlaneSiteWithAllItsFiles) {
    copy_fixture("sitegen/plane_site");
    ASSERT_EQ(run("sitegen"), 0) << console();

    // Grid file: header fields in their columns, then depth = 30 - k - 2r.
    const auto in = lines("PLANE1.IN");
    ASSERT_EQ(in.size(), 15u);
    EXPECT_EQ(in[1], " AREA IS    24");
    EXPECT_EQ(in[3], " DIRECTION IS   4");
    EXPECT_EQ(in[5], " DIRECTION IS   6");
    EXPECT_EQ(in[6], " THE INTERVAL (FEET) BETWEEN GRID POINTS IS  100");
    EXPECT_EQ(in[7], " GRID ROTATION ANGLE (DEG.) FROM TRUE NORTH IS  30.0");
    EXPECT_EQ(in[8], " COORDINATE SYSTEM IS   1");
    EXPECT_EQ(in[9], " LONGTERM DATUM IS   24.500");
    EXPECT_EQ(in[10], " LOCAL NW CORNER IS    1000.0000   5000.0000");
    const std::vector<double> depth = depth_records(in);
    ASSERT_EQ(depth.size(), 24u);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(depth[static_cast<std::size_t>(i)], 30 - i % 6 - 2 * (i / 6)) << i + 1;

    // Point file: positions from the site's NW corner, rotated 30 degrees;
    // depths negated (depth sign option 1). Coordinates near 2 000 000 ft
    // carry an eighth of a foot in single precision.
    const auto dat = lines("PLANE1.DAT");
    ASSERT_EQ(dat.size(), 24u);
    for (int i = 0; i < 24; ++i) {
        const double xl = 100.0 * (i % 6), yl = 100.0 * (i / 6);
        const std::string& r = dat[static_cast<std::size_t>(i)];
        EXPECT_NEAR(field(r, 8, 12), 2000000.0 + xl * std::cos(30 * DEG) + yl * std::sin(30 * DEG),
                    0.2)
            << r;
        EXPECT_NEAR(field(r, 20, 12), 500000.0 + xl * std::sin(30 * DEG) - yl * std::cos(30 * DEG),
                    0.2)
            << r;
        EXPECT_EQ(field(r, 38, 10), -depth[static_cast<std::size_t>(i)]) << r;
    }

    // Resampled grid: spacing, title, then column by column from the west,
    // each from south to north, and the end marker.
    const auto tns = lines("PLANE1.TNS");
    ASSERT_EQ(tns.size(), 4u);
    EXPECT_EQ(tns[0], "          100.0");
    EXPECT_EQ(tns[1], recio::padded("ROTATED PLANE TEST SITE", 60));
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(field(tns[2], static_cast<std::size_t>(8 * (4 * i + j) + 1), 8),
                      30 - i - 2 * (3 - j));
    EXPECT_EQ(tns[3], std::string(20, ' ') + " 999999999");

    // Summary header as READG reads it: a new site with the control file's
    // intervals, extents and corners.
    gridlib::SiteSummary s;
    s.total_seq = s.seq_since_last = 9;
    ASSERT_EQ(gridlib::READG(path("PLANE1.OUT"), s), gridlib::GRID_OK);
    EXPECT_EQ(s.total_seq, 0);
    EXPECT_EQ(s.seq_since_last, 0);
    EXPECT_EQ(s.ns_extent, 300);
    EXPECT_EQ(s.we_extent, 500);
    EXPECT_EQ(s.survey_interval, 100);
    EXPECT_EQ(s.portrayal_interval, 100);
    EXPECT_EQ(s.portrayal_points, 24);
    EXPECT_FLOAT_EQ(s.corners.nw_e, 2000000.0f);
    EXPECT_FLOAT_EQ(s.corners.nw_n, 500000.0f);
    EXPECT_FLOAT_EQ(s.corners.se_e, 2000583.0127f);
    EXPECT_FLOAT_EQ(s.corners.centre_n, 499995.0965f);

    // The console: the plane's notice and the report of the files.
    const std::string screen = console();
    EXPECT_NE(screen.find("\n                    GENERATING DISPOSAL SITE GRID\n"
                          "                          be 1 - 3 minutes\n"),
              std::string::npos);
    const std::string dashes(48, '-');
    EXPECT_NE(
        screen.find("\n" + dashes +
                    "\n\nThe SIMULATED X,Y,Z BATHYMETRIC DATA\nfor the DISPOSAL AREA is stored\n"
                    "on filename:\n" +
                    recio::padded("PLANE1.IN", 32) + "\n\n"),
        std::string::npos);
    EXPECT_NE(screen.find("AND SUMMARIZED on filename:\n" + recio::padded("PLANE1.OUT", 32)),
              std::string::npos);
    EXPECT_NE(screen.find("on filename:\n" + recio::padded("PLANE1.DAT", 32) + "\n" + dashes +
                          "\n\n\n"
                          "PRESS \"RETURN\" TO CONTINUE\n"),
              std::string::npos);
    EXPECT_EQ(console_count("SITE SURVEY COVERAGE"), 0);
}

TEST_F(Sitegen, GeographicSiteTurnsFeetIntoDegrees) {
    copy_fixture("sitegen/geographic_site");
    ASSERT_EQ(run("sitegen"), 0) << console();
    const auto in = lines("GEO60.IN");
    EXPECT_EQ(in[8], " COORDINATE SYSTEM IS   2");
    // depth = 40 - 3.648 k - 7.296 r; the datum is their mean.
    EXPECT_EQ(in[9], " LONGTERM DATUM IS   27.232");
    const std::vector<double> depth = depth_records(in);
    ASSERT_EQ(depth.size(), 12u);
    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR(depth[static_cast<std::size_t>(i)], 40 - 3.648 * (i % 4) - 7.296 * (i / 4),
                    6e-4);

    // 3648 ft is 0.01 degree of latitude, and at latitude 60 0.02 degree of
    // longitude, which decreases eastward. Depth sign option 2: datum - depth.
    const auto dat = lines("GEO60.DAT");
    ASSERT_EQ(dat.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        const std::string& r = dat[static_cast<std::size_t>(i)];
        EXPECT_NEAR(field(r, 8, 12), 70.5 - 0.02 * (i % 4), 1.5e-4) << r;
        EXPECT_NEAR(field(r, 20, 12), 60.0 - 0.01 * (i / 4), 1.5e-4) << r;
        EXPECT_NEAR(field(r, 38, 10), 27.232 - depth[static_cast<std::size_t>(i)], 1e-3) << r;
    }
    gridlib::SiteSummary s;
    ASSERT_EQ(gridlib::READG(path("GEO60.OUT"), s), gridlib::GRID_OK);
    EXPECT_FLOAT_EQ(s.corners.ne_e, 70.44f);
    EXPECT_FLOAT_EQ(s.corners.sw_n, 59.98f);
    EXPECT_EQ(s.we_extent, 10944);
    EXPECT_EQ(s.ns_extent, 7296);
}

// Hand values of the survey fixture (README.md): grid points 100 ft apart at
// eastings 1000..1300 and northings 2000 and 1900, R = 2 x max(50, 100) =
// 200. Survey depth 10 on point 1 and 20 (given as -20) on point 2; the
// 0.4 ft point is ignored and the far one reaches nothing.
TEST_F(Sitegen, SurveySiteAdaptedByHand) {
    copy_fixture("sitegen/survey_site");
    ASSERT_EQ(run("sitegen"), 0) << console();
    const double a = 1.0 / 10001.0;  // 1/d^2 at 100 ft along one axis (the other counts 1)
    const double b = 1.0 / 20000.0;  // 1/d^2 at 100 ft along both axes
    const double expected[8] = {
        (10.0 + 20.0 * a) / (1.0 + a),  // on survey point 1 (distance taken as 1)
        (20.0 + 10.0 * a) / (1.0 + a),  // on survey point 2
        20.0,                           // point 1 at 200 ft is beyond R: only point 2
        0.0,                            // nothing within R: filled with the mean
        (10.0 * a + 20.0 * b) / (a + b),
        (10.0 * b + 20.0 * a) / (a + b),
        20.0,
        0.0,
    };
    const double mean =
        (expected[0] + expected[1] + expected[2] + expected[4] + expected[5] + expected[6]) / 6.0;
    const auto in = lines("SURV1.IN");
    const std::vector<double> depth = depth_records(in);
    ASSERT_EQ(depth.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_NEAR(depth[i], expected[i] == 0.0 ? mean : expected[i], 6e-4) << "point " << i + 1;
    EXPECT_NEAR(field(in[9], 20, 8), mean, 6e-4);

    const std::string screen = console();
    EXPECT_NE(
        screen.find("\n\n\n\n        T A K E    A    B R E A K !\n" + std::string(48, '-') +
                    "\nADAPTATION OF SURVEY DATA TO THE DISPOSAL AREA\n"
                    "MAKE TAKE 2 - 15 MINUTES DEPENDING UPON SIZE OF\nDISPOSAL AREA INVOLVED.\n\n"),
        std::string::npos);
    EXPECT_NE(screen.find("\n\nSITE SURVEY COVERAGE SITE IS  75%\n\n"),
              std::string::npos);  // 6 of 8 points
    EXPECT_EQ(console_count("GENERATING DISPOSAL SITE GRID"), 0);
    EXPECT_TRUE(exists("SURV1.OUT"));
    EXPECT_TRUE(exists("SURV1.TNS"));
}

// Runs that must end with a clear message, a failed status and no file.
TEST_F(Sitegen, RunsThatWriteNothing) {
    using F = const ProgramFolder&;
    struct Case {
        const char* what;
        const char* fixture;
        void (*prepare)(F);
        std::vector<std::string> says;
    };
    const std::string not_found =
        "The specified survey file was not found\n\nHit \"RETURN\" to quit\n";
    const Case cases[] = {
        {"no ACTION.BAT",
         "plane_site",
         [](F f) { f.remove("ACTION.BAT"); },
         {"ERROR ACCESSING GINPUT FILE\nACTION.BAT DOES NOT HOLD GRIDYES: START THIS PROGRAM "
          "WITH ./menu sitegen\n"}},
        {"another program's word",
         "plane_site",
         [](F f) { f.write("ACTION.BAT", "EDITYES\n"); },
         {"ERROR ACCESSING GINPUT FILE\nACTION.BAT DOES NOT HOLD GRIDYES: START THIS PROGRAM "
          "WITH ./menu sitegen\n"}},
        {"no SITEGEN.INI",
         "plane_site",
         [](F f) { f.remove("SITEGEN.INI"); },
         {"ERROR ACCESSING GINPUT FILE"}},
        {"total points",
         "plane_site",
         [](F f) { f.replace_record("SITEGEN.INI", 10, "      6      4     25    100    100"); },
         {"SITEGEN.INI RECORD 10: THE TOTAL OF 25 POINTS IS NOT 6 x 4 = 24", "NO GRID WRITTEN"}},
        {"unreadable field",
         "plane_site",
         [](F f) { f.replace_record("SITEGEN.INI", 8, "    5x0    300"); },
         {"RECORD 8", "NO GRID WRITTEN"}},
        {"control file ends early",
         "plane_site",
         [](F f) { f.keep_records("SITEGEN.INI", 13); },
         {"END OF FILE", "NO GRID WRITTEN"}},
        {"depth beyond the grid file's field",
         "plane_site",
         [](F f) { f.replace_record("SITEGEN.INI", 12, "   12000.0000"); },
         {"NO GRID WRITTEN: THE DEPTH 12000 FT OF POINT 1 DOES NOT FIT THE GRID FILE"}},
        {"plane above the datum",
         "plane_site",
         [](F f) { f.replace_record("SITEGEN.INI", 12, "      -1.0000"); },
         {"NO GRID WRITTEN: NO DEPTH OF THE SLOPING PLANE IS GREATER THAN 0"}},
        {"no survey file",
         "survey_site",
         [](F f) { f.remove("SURVEY.XYZ"); },
         {not_found, "NO GRID WRITTEN: THE SURVEY FILE SURVEY.XYZ WAS NOT FOUND"}},
        {"column names not known",
         "survey_site",
         [](F f) { f.replace_record("SITEGEN.INI", 13, "EAST    NORTH   DEPTH   "); },
         {"ARE NOT RECOGNISED",
          "NO GRID WRITTEN: THE SURVEY COLUMNS OF SURVEY.XYZ ARE NOT RECOGNISED"}},
        {"survey out of reach",
         "survey_site",
         [](F f) { f.write("SURVEY.XYZ", "9000.0 9000.0 12.0\n"); },
         {"SITE SURVEY COVERAGE SITE IS   0%",
          "NO GRID WRITTEN: NO SURVEY POINT LIES WITHIN REACH OF THE GRID"}},
        {"survey too shallow",
         "survey_site",
         [](F f) { f.write("SURVEY.XYZ", "1000.0 2000.0 0.9\n"); },
         {"NO GRID WRITTEN: NO SURVEY POINT OF SURVEY.XYZ HAS A DEPTH OF AT LEAST 1 FT"}},
        {"unreadable survey",
         "survey_site",
         [](F f) { f.write("SURVEY.XYZ", "1000.0 2000.0 10.0\n1100.0 DEEP 3.0\n"); },
         {"UNREADABLE VALUE IN FILE SURVEY.XYZ, RECORD 2", "NO GRID WRITTEN"}},
        // A slash or a null value left the depth unread: an undefined value
        // was taken for it (found by fuzzing).
        {"survey point without its depth",
         "survey_site",
         [](F f) { f.write("SURVEY.XYZ", "1000.0 2000.0 10.0\n1100.0 2000.0 /\n1000.0,,12.0\n"); },
         {"MISSING VALUE IN FILE SURVEY.XYZ, RECORD 2: A SURVEY POINT NEEDS ALL THREE OF ITS "
          "VALUES",
          "NO GRID WRITTEN"}},
        {"survey cut inside a record",
         "survey_site",
         [](F f) { f.write("SURVEY.XYZ", "1000.0 2000.0 10.0\n1100.0 20"); },
         {"UNEXPECTED END OF FILE SURVEY.XYZ AFTER RECORD 2", "NO GRID WRITTEN"}},
        {"NaN-like text",
         "plane_site",
         [](F f) { f.replace_record("SITEGEN.INI", 12, "          NaN"); },
         {"UNREADABLE VALUE IN FILE SITEGEN.INI, RECORD 12, FIELD 1 (COLUMNS 1-13, F13.4)",
          "NO GRID WRITTEN"}},
        {"value beyond every real",
         "plane_site",
         [](F f) { f.replace_record("SITEGEN.INI", 5, "        1E999"); },
         {"VALUE OUT OF RANGE IN FILE SITEGEN.INI, RECORD 5", "NO GRID WRITTEN"}},
        {"more points than a site holds",
         "plane_site",
         [](F f) { f.replace_record("SITEGEN.INI", 10, "    202    202  40804    100    100"); },
         {"SITEGEN.INI RECORD 10: 202 x 202 POINTS ARE MORE THAN THE 40401 A SITE CAN HOLD"}},
        // Names longer than their fields were cut short without a word: the
        // site stored under another name, or beside the folder meant.
        {"site name longer than its field",
         "plane_site",
         [](F f) { f.replace_record("SITEGEN.INI", 1, "PLANE12"); },
         {"SITEGEN.INI RECORD 1: THE SITE NAME IS LONGER THAN 6 CHARACTERS", "NO GRID WRITTEN"}},
        {"prefix longer than its field",
         "plane_site",
         [](F f) { f.replace_record("SITEGEN.INI", 3, "/data/sites/disposal/"); },
         {"SITEGEN.INI RECORD 3: THE DRIVE/DIRECTORY PREFIX IS LONGER THAN 19 CHARACTERS"}},
        {"survey name longer than its field",
         "survey_site",
         [](F f) { f.replace_record("SITEGEN.INI", 12, std::string(34, 'S') + "    50"); },
         {"SITEGEN.INI RECORD 12: THE SURVEY FILE NAME IS LONGER THAN 32 CHARACTERS"}},
        // Values the site files cannot carry: once written as asterisks, with
        // files left that no reader could take back.
        {"rotation beyond its field",
         "plane_site",
         [](F f) {
             reshape(f, [](Control& c) { c.rotation = 1000.0f; });
             f.replace_record("SITEGEN.INI", 4, " 1 1.E3");  // F5.1 cannot write it
         },
         {"NO GRID WRITTEN: THE ROTATION 1000.0 DOES NOT FIT THE GRID FILE (F5.1)"}},
        {"local corner beyond its field",
         "plane_site",
         [](F f) {
             f.replace_record("SITEGEN.INI", 5,
                              " 2000000.0000  500000.0000 12345678.0000    5000.0000");
         },
         {"NO GRID WRITTEN: THE LOCAL NW CORNER EASTING 12345678.0000 DOES NOT FIT THE GRID FILE "
          "(F12.4)"}},
        {"site corner beyond the summary's field",
         "plane_site",
         [](F f) { reshape(f, [](Control& c) { c.site_nw_e = 12345678.0f; }); },
         {"NO GRID WRITTEN: THE NW CORNER EASTING 12345678.0000 DOES NOT FIT THE SUMMARY FILE "
          "(F12.4)"}},
        {"extent beyond the summary's field",
         "plane_site",
         [](F f) {
             reshape(f, [](Control& c) {
                 c.interval = 8000;
                 c.points_we = 126;
                 c.total_points = 126 * c.points_ns;
                 c.slope_we = c.slope_ns = 0.0f;
             });
         },
         {"NO GRID WRITTEN: THE W-E EXTENT 1000000 DOES NOT FIT THE SUMMARY FILE (I6)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clear();
        copy_fixture(std::string("sitegen/") + c.fixture);
        c.prepare(*this);
        EXPECT_NE(run("sitegen"), 0);
        for (const std::string& text : c.says)
            EXPECT_NE(console().find(text), std::string::npos) << console();
        EXPECT_TRUE(site_files().empty());
    }
}

// A run that fails leaves the files of an earlier site of the same name as
// they were, byte for byte: nothing is written before every check has passed.
TEST_F(Sitegen, FailedRunsLeaveAnEarlierSiteAsItWas) {
    using F = const ProgramFolder&;
    struct Case {
        const char* what;
        void (*spoil)(F);
    };
    const Case cases[] = {
        {"control file cut short", [](F f) { f.keep_records("SITEGEN.INI", 9); }},
        {"letter in a count",
         [](F f) { f.replace_record("SITEGEN.INI", 10, "      6      4     2x    100    100"); }},
        {"rotation beyond its field", [](F f) { f.replace_record("SITEGEN.INI", 4, " 1 1.E3"); }},
        {"site corner beyond its field",
         [](F f) {
             f.replace_record("SITEGEN.INI", 5,
                              "12345678.0000  500000.0000    1000.0000    5000.0000");
         }},
        {"folder that does not exist",
         [](F f) { f.replace_record("SITEGEN.INI", 3, "nofolder/"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clear();
        copy_fixture("sitegen/plane_site");
        ASSERT_EQ(run("sitegen"), 0) << console();
        std::vector<std::string> before;
        for (const char* ext : {".IN", ".OUT", ".DAT", ".TNS"})
            before.push_back(text(std::string("PLANE1") + ext));
        c.spoil(*this);
        EXPECT_EQ(run("sitegen"), 1);
        std::vector<std::string> after;
        for (const char* ext : {".IN", ".OUT", ".DAT", ".TNS"})
            after.push_back(text(std::string("PLANE1") + ext));
        EXPECT_EQ(after, before);
        EXPECT_EQ(site_files().size(), 4u);  // and no temporary file left beside them
    }
}

// A survey exported with empty lines at its end (or with DOS line ends) used
// to stop the run with "UNEXPECTED END OF FILE"; it is read to its end.
TEST_F(Sitegen, SurveyEndingWithEmptyLinesIsReadToItsEnd) {
    copy_fixture("sitegen/survey_site");
    ASSERT_EQ(run("sitegen"), 0) << console();
    const std::string plain = text("SURV1.IN");
    std::string survey = text("SURVEY.XYZ");
    std::string dos;
    for (char ch : survey) dos += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    write("SURVEY.XYZ", dos + "\r\n   \r\n\r\n");
    ASSERT_EQ(run("sitegen"), 0) << console();
    EXPECT_EQ(text("SURV1.IN"), plain);
}

}  // namespace
