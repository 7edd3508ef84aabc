// Keyword files against the fixed-column files: every control file of the
// examples and the test fixtures goes to a keyword file and back byte for
// byte, and the keyword file back again unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

// Every SITEGEN.INI, DUMP.INI and PCD.INI under the examples and the tests.
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
    EXPECT_GE(files.size(), 9u);  // the three kinds are all among them
    for (const fs::path& p : files) {
        SCOPED_TRACE(p.string());
        keyfiles::Kind kind;
        ASSERT_TRUE(keyfiles::kind_of_name(p.string(), kind));
        keyfiles::Values v = keyfiles::read_fixed(p.string(), kind);
        const std::string toml = keyfiles::to_toml(v);
        keyfiles::Values back = keyfiles::from_toml(toml, "x.toml");
        EXPECT_EQ(joined(keyfiles::fixed_records(back)), file_text(p));
        EXPECT_EQ(keyfiles::to_toml(back), toml);
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
