// The name fields of MODIFY.INI and UTL.INI: a name the name rules refuse is
// named by file, record and field before anything is read on.
#include <gtest/gtest.h>

#include <fstream>

#include "suitefiles/modify_ini.hpp"
#include "suitefiles/utl_ini.hpp"

namespace {

std::string file_with(const std::vector<std::string>& records) {
    const std::string path = ::testing::TempDir() + "CONTROL_NAMES.INI";
    std::ofstream out(path);
    for (const std::string& r : records) out << r << "\n";
    return path;
}

TEST(ControlNames, ModifyIniNamesRefusedByRecord) {
    struct Case {
        std::string prefix, old_site, new_site;
        const char* says;
    };
    const Case cases[] = {
        {"", "SITE1", "NEW1", ""},
        {"../", "SITE1", "NEW1",
         "MODIFY.INI RECORD 1: THE DRIVE/DIRECTORY PREFIX: A '..' IN THE PATH"},
        {"", "SI.E1", "NEW1", "MODIFY.INI RECORD 2: THE EXISTING SITE NAME: A PERIOD IN THE NAME"},
        {"", "SITE1", "NE W", "MODIFY.INI RECORD 3: THE NEW SITE NAME: A BLANK INSIDE THE NAME"},
        {"", "SITE1", "TIDAL",
         "MODIFY.INI RECORD 3: THE NEW SITE NAME: TIDAL IS THE NAME OF ONE OF THE SUITE'S OWN "
         "FILES"},
    };
    for (const Case& c : cases) {
        recio::RecordReader in(
            file_with({c.prefix, c.old_site, c.new_site, "TITLE", "    1", "    1",
                       "    100.0000    200.0000     30.0000", "    1"}));
        suitefiles::ModifyIni m;
        EXPECT_EQ(suitefiles::read_modify_ini(in, m), c.says) << c.new_site;
    }
}

TEST(ControlNames, UtlIniPathsRefusedByRecord) {
    struct Case {
        std::string first, second;
        const char* says;
    };
    const Case cases[] = {
        {"DATA/SITE1", "SITE2", ""},
        {"DATA/SI.E1", "SITE2", "UTL.INI RECORD 2: THE SITE PATH DATA/SI.E1: A PERIOD IN THE NAME"},
        {"SITE1", "../SITE2", "UTL.INI RECORD 3: THE SITE PATH ../SITE2: A '..' IN THE PATH"},
        {"SITE1", "STORE",
         "UTL.INI RECORD 3: THE SITE PATH STORE: STORE IS THE NAME OF ONE OF THE SUITE'S OWN "
         "FILES"},
    };
    for (const Case& c : cases) {
        recio::RecordReader in(file_with({"   2", c.first, c.second}));
        suitefiles::UtlVolumes v;
        EXPECT_EQ(suitefiles::read_utl_volumes(in, v), c.says) << c.second;
    }
}

// The writers give back the records the readers take.
TEST(ControlNames, WritersRoundTrip) {
    suitefiles::UtlStructure berm;
    berm.path = "DATA/SITE1";
    berm.structure = 'B';
    berm.berm = {100.0f, 200.0f, 300.0f, 400.0f, 20.0f, 0.1f, 50};
    berm.sign_option = 1;
    const std::string path = file_with(suitefiles::utl_structure_records(berm));
    recio::RecordReader in(path);
    suitefiles::UtlStructure back;
    ASSERT_EQ(suitefiles::read_utl_structure(in, back), "");
    EXPECT_EQ(suitefiles::utl_structure_records(back), suitefiles::utl_structure_records(berm));

    suitefiles::ModifyIni m;
    m.old_site = "SITE1";
    m.new_site = "NEW1";
    m.title = "EDITED";
    m.mode = suitefiles::MODIFY_EDITS;
    m.edits = {{100.0f, 200.0f, 30.0f}, {150.0f, 250.0f, 35.5f}};
    m.sign_option = 2;
    recio::RecordReader again(file_with(suitefiles::modify_ini_records(m)));
    suitefiles::ModifyIni mb;
    ASSERT_EQ(suitefiles::read_modify_ini(again, mb), "");
    EXPECT_EQ(suitefiles::modify_ini_records(mb), suitefiles::modify_ini_records(m));
}

}  // namespace
