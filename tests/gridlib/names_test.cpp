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
