// The loadpat program run in a temporary folder, its answers fed on stdin.
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "loadpat/loadpat.hpp"
#include "tests/gridlib/grid_fixture.hpp"

namespace {

class Loadpat : public SiteFolder {
  protected:
    void SetUp() override {
        SiteFolder::SetUp();
        store_site("SITE", 1, 0.0f);
    }
    // A 1000 ft x 1000 ft site: 11 x 11 points 100 ft apart, NW corner at (10000, 20000).
    static void store_site(const std::string& name, std::int16_t system, float rotation) {
        gridlib::SiteGrid g = make_grid(11, 11, 100, [](int) { return 30.0f; });
        g.coord_system = system;
        g.rotation = rotation;
        gridlib::SiteSummary s;
        s.ns_extent = s.we_extent = 1000;
        s.corners.nw_e = 10000.0f;
        s.corners.nw_n = 20000.0f;
        gridlib::ResampleWork w;
        ASSERT_TRUE(gridlib::GRID1(name + ".IN", 10000.0f, 20000.0f, g, w, gridlib::GRID1_NEW, 0,
                                   "LOADPAT"));
        std::int8_t turned = 0;
        ASSERT_TRUE(gridlib::ARGPB(name + ".IN", name + ".OUT", s, 1, turned));
    }
    static int run(const std::string& answers) {
        write_file("answers.txt", answers);
        std::string command =
            std::string(SUITE_BIN_DIR) + "/loadpat < answers.txt > console.txt 2>&1";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string console() {
        std::string text;
        for (const std::string& l : lines("console.txt")) text += l + "\n";
        return text;
    }
    struct Dump {
        float e, n;
    };
    static std::vector<Dump> dumps(const std::string& file) {
        std::vector<Dump> out;
        for (const std::string& l : lines(file)) {
            EXPECT_EQ(l.size(), 27u) << l;  // (1X,2X,2F12.4)
            out.push_back({std::stof(l.substr(3, 12)), std::stof(l.substr(15, 12))});
        }
        return out;
    }
};

TEST_F(Loadpat, CentroidsTwicePerCellOnA1000FootSiteWith300FootCells) {
    ASSERT_EQ(run("SITE\n300\n300\n2\n0\n"), 0) << console();
    auto out = lines("SITE.XYZ");
    ASSERT_EQ(out.size(), 18u);  // 3 x 3 cells, 2 passes
    EXPECT_EQ(out[0], "     10150.0000  19850.0000");
    EXPECT_EQ(out[8], "     10750.0000  19250.0000");
    for (std::size_t k = 0; k < 9; ++k) EXPECT_EQ(out[k + 9], out[k]);
    const std::string text = console();
    for (const char* prompt :
         {"WHATS THE NAME OF THE DISPOSAL AREA GRID?\nEnter complete path and filename:\n",
          "WHATS THE EAST-WEST DUMP INTERVAL (ft)?\n",
          "WHATS THE NORTH-SOUTH DUMP INTERVAL (ft)?\n",
          "HOW MANY LOADS ARE THERE TO BE PLACED IN\nEACH DUMP CELL?\n",
          "PLACEMENT CONTROL WITHIN EACH CELL IS BASED ON:\n 1 = Random placement about each cell "
          "centroid\n"
          " 0 = dumps placed AT cell centroids\n",
          "If everything worked OK:  The dump coordinates(E,N)\nare stored on the file *.XYZ\n"})
        EXPECT_NE(text.find(prompt), std::string::npos) << prompt;
    EXPECT_EQ(text.find("APPROACH"), std::string::npos);  // asked only for random placement
    // The closing names the file and the number of dumps written, after the
    // prescribed text, and ends the console.
    const std::string closing = "are stored on the file *.XYZ\n18 DUMPS WRITTEN ON SITE.XYZ\n";
    ASSERT_GE(text.size(), closing.size());
    EXPECT_EQ(text.substr(text.size() - closing.size()), closing);
}

TEST_F(Loadpat, RandomPlacementKeepsToTheApproachRules) {
    // 100 cells of 100 ft, 10 loads each, R = 40 ft, approach from the south-west.
    // A wrong word and a lower-case answer first: the question is asked again.
    ASSERT_EQ(run("SITE\n100\n100\n10\n1\nSOUTHWEST\nsw\n40\n"), 0) << console();
    EXPECT_NE(console().find("THE APPROACH DIRECTION MUST BE ONE OF: NO WE SO EA NW SW SE NE"),
              std::string::npos);
    auto placed = dumps("SITE.XYZ");
    ASSERT_EQ(placed.size(), 1000u);
    const float R = 40.0f;
    int near_rim = 0;
    for (std::size_t k = 0; k < placed.size(); ++k) {
        const float ce = 10050.0f + 100.0f * static_cast<float>(k % 10);
        const float cn = 19950.0f - 100.0f * static_cast<float>((k / 10) % 10);
        const float de = placed[k].e - ce, dn = placed[k].n - cn;
        const float d = std::hypot(de, dn);
        float bearing = std::atan2(de, dn) * 180.0f / 3.1416f;
        if (bearing < 0.0f) bearing += 360.0f;
        EXPECT_LE(d, 1.1f * R + 2e-3f) << k;
        // Beyond 0.55 R only approach-side dumps reach, on a "SW" bearing.
        if (d > 0.55f * R + 2e-3f) {
            ++near_rim;
            EXPECT_GE(bearing, 134.9f) << k;
            EXPECT_LE(bearing, 315.1f) << k;
        }
        // Off the "SW" half-circle only far-side dumps lie, within 0.55 R.
        if (bearing < 134.9f || bearing > 315.1f) {
            EXPECT_LE(d, 0.55f * R + 2e-3f) << k;
        }
    }
    EXPECT_GT(near_rim, 200);
}

TEST_F(Loadpat, RefusalsWriteNothing) {
    struct Case {
        const char* what;
        const char* answers;
        const char* message;
    };
    const Case cases[] = {
        {"more than 4000 dumps", "SITE\n10\n10\n1\n",
         "TOO MANY DUMPS: 1 LOADS IN EACH OF 100 x 100 DUMP CELLS"},
        {"cells larger than the site", "SITE\n2000\n100\n",
         "NO DUMP CELL FITS THE DISPOSAL AREA, WHICH IS 1000 FT WEST-EAST AND 1000 FT NORTH-SOUTH"},
        {"missing grid", "NOSITE\n\n",
         "The requested disposal area grid file was not\n              NOSITE.IN\n"},
        {"input ends", "SITE\n300\n300\n2\n",
         "THE INPUT ENDED BEFORE EVERY QUESTION WAS ANSWERED: NO DUMP PATTERN WRITTEN"},
        {"no answers at all", "", "THE INPUT ENDED BEFORE EVERY QUESTION WAS ANSWERED"},
        {"input ends at the approach", "SITE\n300\n300\n1\n1\n",
         "THE INPUT ENDED BEFORE EVERY QUESTION WAS ANSWERED"},
        {"input ends at the radius", "SITE\n300\n300\n1\n1\nNO\n",
         "THE INPUT ENDED BEFORE EVERY QUESTION WAS ANSWERED"},
        {"NaN-like answers", "SITE\nNaN\nInf\n1E999\n",
         "THE INPUT ENDED BEFORE EVERY QUESTION WAS ANSWERED"},
        {"damaged summary", "SITE\n", "UNEXPECTED END OF FILE SITE.OUT"},
        // A radius no .XYZ column can hold used to be written as asterisks.
        {"dumps beyond the file's columns", "SITE\n300\n300\n1\n1\nNO\n1e30\n",
         "DUMP 1 LIES BEYOND WHAT THE COLUMNS OF THE .XYZ FILE HOLD (F12.4). NO DUMP PATTERN "
         "WRITTEN"},
    };
    const std::string summary = [] {
        std::ifstream in("SITE.OUT");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    for (const Case& c : cases) {
        write_file("SITE.OUT",
                   std::string(c.what) == "damaged summary" ? summary.substr(0, 100) : summary);
        EXPECT_EQ(run(c.answers), 1) << c.what;
        EXPECT_NE(console().find(c.message), std::string::npos) << c.what << "\n" << console();
        EXPECT_FALSE(std::filesystem::exists("SITE.XYZ")) << c.what;
        EXPECT_FALSE(std::filesystem::exists("NOSITE.XYZ")) << c.what;
    }
}

TEST_F(Loadpat, UnusableAnswersAreAskedAgain) {
    ASSERT_EQ(run("ABCDEFGHIJKLMNOPQ\nSITE\nwide\n-5\n0\n500\n500\n0\n1\n2\n0\n"), 0) << console();
    const std::string text = console();
    for (const char* complaint :
         {"THE PATH AND NAME MAY HOLD AT MOST 15 CHARACTERS", "PLEASE ANSWER WITH A NUMBER",
          "THE DUMP INTERVAL MUST BE GREATER THAN 0 FT",
          "THERE MUST BE AT LEAST 1 LOAD IN EACH DUMP CELL", "PLEASE ANSWER 1 OR 0"})
        EXPECT_NE(text.find(complaint), std::string::npos) << complaint;
    EXPECT_EQ(lines("SITE.XYZ").size(), 4u);  // 2 x 2 cells of 500 ft, one load each
}

// A path that would write the pattern beside another site, under a suite
// file's name or outside the folders it names is asked again.
TEST_F(Loadpat, PathsThatNameOtherFilesAreAskedAgain) {
    struct Case {
        const char* answer;
        const char* fault;
        const char* not_written;
    } cases[] = {
        {"SITE.IN", "A PERIOD IN THE NAME", "SITE.IN.XYZ"},
        {"'MY SITE'", "A BLANK INSIDE THE NAME", "MY SITE.XYZ"},
        {"TIDE", "TIDE IS THE NAME OF ONE OF THE SUITE'S OWN FILES", "TIDE.XYZ"},
        {"../SITE", "A '..' IN THE PATH", "../SITE.XYZ"},
        {"SI\x1bTE", "A CONTROL CHARACTER IN THE NAME", "SI\x1bTE.XYZ"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove("SITE.XYZ");
        ASSERT_EQ(run(std::string(c.answer) + "\nSITE\n500\n500\n1\n0\n"), 0) << c.answer;
        EXPECT_NE(console().find(std::string("THE PATH AND NAME CANNOT BE USED: ") + c.fault),
                  std::string::npos)
            << c.answer << "\n"
            << console();
        EXPECT_FALSE(std::filesystem::exists(c.not_written)) << c.answer;
        EXPECT_EQ(lines("SITE.XYZ").size(), 4u) << c.answer;
    }
}

TEST_F(Loadpat, GeographicSiteTakesTheFeetOffsetsAsTheyStand) {
    store_site("GEO", 2, 0.0f);
    ASSERT_EQ(run("GEO\n500\n500\n1\n0\n"), 0) << console();
    EXPECT_NE(console().find("THE CELL OFFSETS IN FEET"), std::string::npos);
    auto placed = dumps("GEO.XYZ");
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_FLOAT_EQ(placed[0].e, 10250.0f);
    EXPECT_FLOAT_EQ(placed[3].n, 19250.0f);
}

}  // namespace
