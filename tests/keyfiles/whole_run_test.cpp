// A placement prepared from keyword files alone, as a user does it through
// the launcher: a site rotated 35 degrees from a survey, edited, and a
// hopper dredge's silt loads placed along a line with waves from WAVREC.OUT.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "keyfiles/keyfiles.hpp"
#include "recio/records.hpp"
#include "suitefiles/placement_files.hpp"
#include "tests/sitegen/program_fixture.hpp"

namespace {

namespace fs = std::filesystem;

// The value of `key` (the first line that starts with it) set to `value`.
void set(std::string& toml, const std::string& key, const std::string& value) {
    const std::size_t at = toml.find("\n" + key + " = ");
    ASSERT_NE(at, std::string::npos) << key;
    const std::size_t start = at + key.size() + 4;
    toml.replace(start, toml.find_first_of(" \n", start) - start, value);
}

std::string real(float x) {
    return std::to_string(x);
}

class WholeRun : public ProgramFolder {
  protected:
    // The launcher, as the user starts it in the folder.
    int menu(const std::string& args) const {
        const std::string command = "cd '" + path("") + "' && SUITE_BIN='" +
                                    std::string(SUITE_BIN_DIR) + "' bash '" + EXAMPLES_DIR +
                                    "/../menu' " + args + " </dev/null >>console.txt 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void save(const std::string& name, const std::string& text) const { write(name, text); }
};

TEST_F(WholeRun, RotatedSiteEditedAndHopperSiltAlongALineFromKeywordFiles) {
    for (const char* f : {"SURVEY.XYZ", "WAVREC.OUT", "TIDE.DAT", "TIDAL.DAT"})
        fs::copy_file(fs::path(EXAMPLES_DIR) / "newport" / f, path(f));
    fs::copy_file(fs::path(EXAMPLES_DIR) / "newport-silt" / "PCDDF2.DAT", path("PCDDF2.DAT"));

    // The site: 60 x 60 points at 50 ft, turned 35 degrees counterclockwise
    // about its NW corner; the corners are those `menu check` asks for.
    keyfiles::Values site;
    ASSERT_TRUE(keyfiles::example_for("sitegen", site));
    suitefiles::SitegenIni& s = site.sitegen;
    s.site = "ROT35";
    s.rotation = 35.0f;
    s.site_nw_e = s.local_nw_e = 10000.0f;
    s.site_nw_n = s.local_nw_n = 28500.0f;
    s.points_we = s.points_ns = 60;
    s.total_points = 3600;
    s.we_extent = s.ns_extent = 2950;
    const suitefiles::SiteCorners k = suitefiles::expected_corners(s);
    std::string site_toml;
    {
        keyfiles::Values fresh;
        ASSERT_TRUE(keyfiles::example_for("sitegen", fresh));
        site_toml = keyfiles::to_toml(fresh);
    }
    set(site_toml, "name", "\"ROT35\"");
    set(site_toml, "rotation_deg", "35");
    for (const char* key : {"nw_easting", "local_nw_easting_ft"}) set(site_toml, key, "10000.0");
    for (const char* key : {"nw_northing", "local_nw_northing_ft"}) set(site_toml, key, "28500");
    set(site_toml, "ne_easting", real(k.ne_e));
    set(site_toml, "ne_northing", real(k.ne_n));
    set(site_toml, "sw_easting", real(k.sw_e));
    set(site_toml, "sw_northing", real(k.sw_n));
    set(site_toml, "se_easting", real(k.se_e));
    set(site_toml, "se_northing", real(k.se_n));
    set(site_toml, "centre_easting", real(k.centre_e));
    set(site_toml, "centre_northing", real(k.centre_n));
    set(site_toml, "we_extent_ft", "2950");
    set(site_toml, "ns_extent_ft", "2950");
    set(site_toml, "points_we", "60");
    set(site_toml, "points_ns", "60");
    set(site_toml, "total_points", "3600");
    save("site.toml", site_toml);
    ASSERT_EQ(menu("write site.toml"), 0) << console();
    ASSERT_EQ(menu("check"), 0) << console();
    ASSERT_EQ(menu("sitegen"), 0) << console();
    ASSERT_TRUE(exists("ROT35.IN") && exists("ROT35.OUT"));

    // Two point edits inside the turned site, stored as ROT35E.
    keyfiles::Values edit;
    ASSERT_TRUE(keyfiles::example_for("modify", edit));
    std::string edit_toml = keyfiles::to_toml(edit);
    set(edit_toml, "existing_site", "\"ROT35\"");
    set(edit_toml, "new_site", "\"ROT35E\"");
    set(edit_toml, "easting", "11392.8");  // 1000 ft along the rows and down the columns
    set(edit_toml, "northing", "28254.4");
    save("edit.toml", edit_toml);
    ASSERT_EQ(menu("write edit.toml"), 0) << console();
    ASSERT_EQ(menu("modify"), 0) << console();
    ASSERT_TRUE(exists("ROT35E.IN") && exists("ROT35E.OUT"));

    // Four hopper loads of silty sand along a line 1400 ft down the columns,
    // waves from WAVREC.OUT, one disposal day in a week.
    keyfiles::Values dump = keyfiles::read_fixed(
        (fs::path(EXAMPLES_DIR) / "newport-silt" / "DUMP.INI").string(), keyfiles::Kind::Dump);
    std::string dump_toml = keyfiles::to_toml(dump);
    EXPECT_NE(dump_toml.find("kind = \"hopper\""), std::string::npos);
    set(dump_toml, "site", "\"ROT35E\"");
    set(dump_toml, "output", "\"ROTSLT\"");
    set(dump_toml, "waves", "\"series\"");
    set(dump_toml, "line_start_easting", "11949.8");
    set(dump_toml, "line_start_northing", "28156.2");
    set(dump_toml, "line_end_easting", "12113.6");
    set(dump_toml, "line_end_northing", "28270.9");
    set(dump_toml, "loads", "4");
    set(dump_toml, "total_amount_yd3", "4000");
    set(dump_toml, "disposal_days", "1");
    set(dump_toml, "period_days", "7");
    save("dump.toml", dump_toml);
    ASSERT_EQ(menu("write dump.toml"), 0) << console();
    ASSERT_EQ(menu("check"), 0) << console();
    ASSERT_EQ(menu("placer"), 0) << console();

    // Every load placed on the line, as the placement summary reports them,
    // and the site after the activity stored.
    recio::RecordReader summary(path("ROTSLT.ACT"));
    std::vector<suitefiles::Position> placed;
    ASSERT_TRUE(suitefiles::read_load_positions(summary, placed)) << console();
    ASSERT_EQ(placed.size(), 4u);
    for (const suitefiles::Position& p : placed) {
        // On the line from (11949.8, 28156.2) to (12113.6, 28270.9), within a foot.
        const float along = (p.e - 11949.8f) / (12113.6f - 11949.8f);
        EXPECT_GE(along, -0.01f);
        EXPECT_LE(along, 1.01f);
        EXPECT_NEAR(p.n, 28156.2f + along * (28270.9f - 28156.2f), 1.0f);
    }
    EXPECT_TRUE(exists("ROTSLT.IN") && exists("ROTSLT.OUT"));
}

// A dump pattern from a keyword file: the answers to loadpat's questions
// written by `menu write`, fed to loadpat by the launcher, and the pattern
// read back: 9 x 9 cells of 500 ft over the example's 4950 ft site, each
// centroid twice, the first at half a cell from the NW corner.
TEST_F(WholeRun, LoadpatFromAKeywordFile) {
    for (const char* f : {"SITEGEN.INI", "SURVEY.XYZ"})
        fs::copy_file(fs::path(EXAMPLES_DIR) / "newport" / f, path(f));
    ASSERT_EQ(menu("sitegen"), 0) << console();
    keyfiles::Values answers;
    ASSERT_TRUE(keyfiles::example_for("loadpat", answers));
    std::string toml = keyfiles::to_toml(answers);
    set(toml, "control", "\"centroids\"");
    // Centroids take no approach direction or radius.
    for (const char* key : {"approach", "radius_ft"}) {
        const std::size_t at = toml.find("\n" + std::string(key) + " = ");
        ASSERT_NE(at, std::string::npos);
        toml.erase(at, toml.find('\n', at + 1) - at);
    }
    save("loadpat.toml", toml);
    ASSERT_EQ(menu("write loadpat.toml"), 0) << console();
    ASSERT_EQ(menu("check"), 0) << console();
    ASSERT_EQ(menu("loadpat LOADPAT.ANS"), 0) << console();
    recio::RecordReader xyz(path("NEWPRT.XYZ"));
    const std::vector<suitefiles::Position> dumps = suitefiles::read_dump_pattern(xyz);
    ASSERT_EQ(dumps.size(), 162u) << console();
    EXPECT_NEAR(dumps[0].e, 10250.0f, 0.01f);
    EXPECT_NEAR(dumps[0].n, 29750.0f, 0.01f);
    EXPECT_NEAR(dumps[80].e, 14250.0f, 0.01f);  // the SE cell, last of the first pass
    EXPECT_NEAR(dumps[80].n, 25750.0f, 0.01f);
    for (std::size_t k = 0; k < 81; ++k) {
        EXPECT_EQ(dumps[k].e, dumps[k + 81].e);
        EXPECT_EQ(dumps[k].n, dumps[k + 81].n);
    }
    // Without the answers file the launcher says so.
    EXPECT_EQ(menu("loadpat NO.ANS"), 1);
}

}  // namespace
