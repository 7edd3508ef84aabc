// Keyword files against the fixed-column files: every control file of the
// examples and the test fixtures goes to a keyword file and back byte for
// byte, and the keyword file back again unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "keyfiles/keyfiles.hpp"

namespace {

namespace fs = std::filesystem;

std::string file_text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string joined(const std::vector<std::string>& records) {
    std::string out;
    for (const std::string& r : records) out += r + "\n";
    return out;
}

// Every control file keyword files stand for (SITEGEN.INI, MODIFY.INI,
// DUMP.INI, PCD.INI, both layouts of UTL.INI, LOADPAT.ANS) under the examples
// and the tests. The UTL.INI and LOADPAT.ANS fixtures of tests/keyfiles are
// made up for these checks.
std::vector<fs::path> control_files() {
    std::vector<fs::path> out;
    for (const char* root : {EXAMPLES_DIR, TEST_DATA_DIR})
        for (const auto& e : fs::recursive_directory_iterator(root)) {
            keyfiles::Kind kind;
            if (e.is_regular_file() && keyfiles::kind_of_name(e.path().string(), kind))
                out.push_back(e.path());
        }
    return out;
}

TEST(RoundTrip, EveryExampleAndFixtureControlFile) {
    const std::vector<fs::path> files = control_files();
    EXPECT_GE(files.size(), 16u);  // every kind and layout is among them
    std::set<keyfiles::Kind> kinds;
    for (const fs::path& p : files) {
        SCOPED_TRACE(p.string());
        keyfiles::Kind kind;
        ASSERT_TRUE(keyfiles::kind_of_name(p.string(), kind));
        keyfiles::Values v = keyfiles::read_fixed(p.string(), kind);
        kinds.insert(v.kind);
        const std::string toml = keyfiles::to_toml(v);
        keyfiles::Values back = keyfiles::from_toml(toml, "x.toml");
        EXPECT_EQ(joined(keyfiles::fixed_records(back)), file_text(p));
        EXPECT_EQ(keyfiles::to_toml(back), toml);
    }
    EXPECT_EQ(kinds.size(), 7u);
}

// Each program's example keyword file goes to its fixed-column file and back unchanged.
TEST(RoundTrip, EveryExampleKeywordFile) {
    for (const char* program : {"sitegen", "modify", "placer", "dredge", "loadpat", "utility",
                                "utility berm", "utility volumes"}) {
        SCOPED_TRACE(program);
        keyfiles::Values v;
        ASSERT_TRUE(keyfiles::example_for(program, v));
        const std::string toml = keyfiles::to_toml(v);
        const keyfiles::Values back = keyfiles::from_toml(toml, "x.toml");
        EXPECT_EQ(back.kind, v.kind);
        keyfiles::Values again = back;
        EXPECT_EQ(keyfiles::fixed_records(again), keyfiles::fixed_records(v));
        EXPECT_EQ(keyfiles::to_toml(again), toml);
    }
}

// UTL.INI's layout follows from the keyword file: a [volumes] table for the
// volumes; the structure by name or by its letter in either case.
TEST(KeywordFile, UtilityAndLoadpatByHand) {
    const keyfiles::Values berm = keyfiles::from_toml(R"(file = "UTL.INI"
[site]
path = "SITES/NEWPRT"
[structure]
kind = "b"   # the letter of the fixed-column file
sign_option = 1
[berm]
start_easting = 11000
start_northing = 29000
end_easting = 14000
end_northing = 26000
crest_depth_ft = 45
side_slope = 0.05
crest_width_ft = 200
)",
                                                      "berm.toml");
    ASSERT_EQ(berm.kind, keyfiles::Kind::UtlStructure);
    EXPECT_EQ(keyfiles::fixed_records(berm),
              (std::vector<std::string>{"SITES/NEWPRT", "B", "  11000.0000  29000.0000",
                                        "  14000.0000  26000.0000", "     45.0000      0.0500",
                                        " 200", "   1"}));
    const keyfiles::Values above = keyfiles::from_toml(
        "file = \"UTL.INI\"\n[volumes]\nmode = \"above\"\nfirst_site = \"NEWPRT\"\n"
        "elevation_ft = 35.5\n",
        "above.toml");
    ASSERT_EQ(above.kind, keyfiles::Kind::UtlVolumes);
    EXPECT_EQ(keyfiles::fixed_records(above),
              (std::vector<std::string>{"   1", "NEWPRT", "     35.5000"}));
    // loadpat's approach direction in either case.
    keyfiles::Values pattern;
    ASSERT_TRUE(keyfiles::example_for("loadpat", pattern));
    std::string answers = keyfiles::to_toml(pattern);
    answers.replace(answers.find("approach = \"NO\""), 15, "approach = \"se\"");
    EXPECT_EQ(keyfiles::from_toml(answers, "loadpat.toml").loadpat.approach, "SE");
    // A mound takes no berm's values, and a volume above an elevation no second site.
    for (const char* toml :
         {"file = \"UTL.INI\"\n[site]\npath = \"A\"\n[structure]\nkind = \"mound\"\n"
          "sign_option = 1\n[mound]\ncentre_easting = 1\ncentre_northing = 1\n"
          "crest_depth_ft = 1\nside_slope = 1\n[berm]\ncrest_width_ft = 2\n",
          "file = \"UTL.INI\"\n[volumes]\nmode = 1\nfirst_site = \"A\"\nelevation_ft = 3\n"
          "second_site = \"B\"\n"}) {
        EXPECT_THROW(keyfiles::from_toml(toml, "x.toml"), std::runtime_error) << toml;
    }
}

// What a person writes: comments, any order of keys, codes by name or number.
TEST(KeywordFile, WrittenByHand) {
    keyfiles::Values v;
    ASSERT_TRUE(keyfiles::example_for("placer", v));
    std::string toml = keyfiles::to_toml(v);
    // A code by its number instead of its name, and a comment of one's own.
    const std::size_t at = toml.find("kind = \"split-hull\"");
    ASSERT_NE(at, std::string::npos);
    toml.replace(at, 19, "kind = 1 # my hopper dredge");
    const keyfiles::Values hopper = keyfiles::from_toml(toml, "dump.toml");
    EXPECT_EQ(hopper.dump.kvessel, suitefiles::VesselKind::HopperDredge);
}

// A keyword file that cannot stand for a control file is refused by key.
TEST(KeywordFile, RefusedNamingTheKey) {
    keyfiles::Values v;
    ASSERT_TRUE(keyfiles::example_for("sitegen", v));
    const std::string good = keyfiles::to_toml(v);
    struct Case {
        const char* what;
        std::string from, to;
        const char* says;
    };
    const Case cases[] = {
        {"misspelt key", "rotation_deg =", "rotation =", "[site] rotation: no such key"},
        {"missing key", "rotation_deg = 0.0", "", "[site] rotation_deg: missing (record 4"},
        {"text for a number", "points_we = 100", "points_we = \"100\"",
         "[grid] points_we: a whole number is wanted"},
        {"real for an integer", "points_we = 100", "points_we = 100.5",
         "[grid] points_we: a whole number is wanted"},
        {"beyond the storage", "points_we = 100", "points_we = 70000",
         "[grid] points_we: the value is beyond what the field holds (-32768 to 32767)"},
        {"name too long", "name = \"NEWPRT\"", "name = \"NEWPORT\"",
         "[site] name: \"NEWPORT\" is longer than the 6 characters of its field"},
        {"unknown code name", "mode = \"survey\"", "mode = \"lidar\"",
         "[depths] mode: \"lidar\" is none of [1 = plane, 2 = survey]"},
        {"no file key", "file = \"SITEGEN.INI\"", "", "x.toml: file: names the control file"},
        {"not TOML", "[grid]", "[grid", "x.toml:"},
    };
    for (const Case& c : cases) {
        std::string toml = good;
        const std::size_t at = toml.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.what;
        // A key left out takes its whole line with it.
        const std::size_t end = c.to.empty() ? toml.find('\n', at) : at + c.from.size();
        toml.replace(at, end - at, c.to);
        try {
            keyfiles::from_toml(toml, "x.toml");
            ADD_FAILURE() << c.what << ": taken";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos)
                << c.what << ": " << e.what();
        }
    }
}

}  // namespace
