#include "suitefiles/name_rules.hpp"

#include <gtest/gtest.h>

#include <string>

using namespace suitefiles;

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
