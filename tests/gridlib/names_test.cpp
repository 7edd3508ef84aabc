#include <gtest/gtest.h>

#include "gridlib/sitegrid.hpp"
#include "suitefiles/name_rules.hpp"

using namespace gridlib;
using namespace suitefiles;

TEST(Names, BlanksAndPeriods) {
    EXPECT_EQ(IBLANKS("SITE1 "), 5);
    EXPECT_EQ(IBLANKS(" SITE1"), 0);
    EXPECT_EQ(IBLANKS("ABCDEF"), 6);  // no blank: the declared length
    EXPECT_EQ(IPERIOD("SITE1.IN"), 5);
    EXPECT_EQ(IPERIOD("SITE1"), 0);
    EXPECT_EQ(site_file_name("C:\\DATA\\         ", "BAY1  ", ".IN"), "C:\\DATA\\BAY1.IN");
    EXPECT_EQ(site_file_name("", "BAY1", ".OUT"), "BAY1.OUT");
    EXPECT_EQ(base_name("DATA/BAY1.IN"), "DATA/BAY1");
    EXPECT_EQ(base_name("NOPERIOD"), "");  // companions become ".DAT" and ".TNS"
    // A period in the folder part does not end the base.
    EXPECT_EQ(base_name("./SITE1.IN"), "./SITE1");
    EXPECT_EQ(base_name("../data.v2/SITE1.IN"), "../data.v2/SITE1");
    EXPECT_EQ(base_name("C:\\DATA.OLD\\BAY1.IN"), "C:\\DATA.OLD\\BAY1");
    EXPECT_EQ(base_name("../x/NOEXT"), "../x/");
    EXPECT_EQ(trimmed("BAY1.IN    "), "BAY1.IN");
}

// Each name that would write files other than the ones it names.
TEST(NameRules, NamesThatWouldWriteOtherFilesAreRefused) {
    struct Case {
        std::string field;
        NameKind kind;
        const char* fault;
    } cases[] = {
        {"NEWPRT", NameKind::Site, ""},
        {"NEWPR ", NameKind::Site, ""},  // trailing blanks end the field
        {"NEW.PR", NameKind::Site, "A PERIOD IN THE NAME"},
        {"NEW PR", NameKind::Site, "A BLANK INSIDE THE NAME"},
        {std::string("PL\0X  ", 6), NameKind::Site, "A CONTROL CHARACTER IN THE NAME"},
        {"      ", NameKind::Site, "NO NAME"},
        {"TIDE  ", NameKind::Site, "TIDE IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {"pcddf2", NameKind::Site, "pcddf2 IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {"PLOTBATH", NameKind::Site, "PLOTBATH IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {"A/B   ", NameKind::Site, "A FOLDER SEPARATOR IN THE NAME"},
        {"C:\\SITES\\         ", NameKind::Prefix, ""},
        {"./data.v2/         ", NameKind::Prefix, ""},
        {"                   ", NameKind::Prefix, ""},  // the current folder
        {"MY SITES/          ", NameKind::Prefix, "A BLANK INSIDE THE NAME"},
        {"../other/          ", NameKind::Prefix, "A '..' IN THE PATH"},
        {"data/../../x/      ", NameKind::Prefix, "A '..' IN THE PATH"},
        {"C:\\SITES\\NEWPRT", NameKind::Path, ""},
        {"sites/NEW.PR", NameKind::Path, "A PERIOD IN THE NAME"},
        {"sites/WAVREC", NameKind::Path, "WAVREC IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {"NEWPRT\x1b[2J", NameKind::Path, "A CONTROL CHARACTER IN THE NAME"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(name_fault(c.field, c.kind), c.fault) << "'" << c.field << "'";
}
