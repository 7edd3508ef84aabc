// A small disposal activity through the real programs: sitegen makes a site,
// placer places four loads with cloudex and hands the week to dredge, and the
// files each program leaves for the next are checked.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "suitefiles/balance.hpp"
#include "tests/placer/placer_fixture.hpp"

namespace {

class Chain : public PlacerFolder {
  protected:
    // Runs a program of the suite in the test folder with its flag word.
    static int run(const std::string& program, const std::string& flag) {
        if (!flag.empty()) write_file("ACTION.BAT", flag + "\n");
        std::string command =
            std::string(SUITE_BIN_DIR) + "/" + program + " < /dev/null > " + program + ".log 2>&1";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static bool contains(const std::string& file, const std::string& what) {
        return text(file).find(what) != std::string::npos;
    }
    static double depth_sum(const std::string& grid_file) {
        gridlib::SiteGrid g;
        EXPECT_EQ(gridlib::RGRID1(grid_file, g), gridlib::GRID_OK);
        double sum = 0.0;
        for (int i = 0; i < g.total_points; ++i)
            sum += static_cast<double>(g.depth[static_cast<std::size_t>(i)]);
        return sum;
    }
};

// A 30 x 30 site at 50 ft, a plane sloping from 40 ft in the NW corner.
const char* const kSitegenIni =
    "CHAIN \n"
    "CHAIN TEST SITE\n"
    "\n"
    " 1  0.0\n"
    "    1000.0000    5000.0000    1000.0000    5000.0000\n"
    "    2450.0000    5000.0000    1000.0000    3550.0000\n"
    "    2450.0000    3550.0000\n"
    "   1450   1450\n"
    "    1725.0000    4275.0000\n"
    "     30     30    900     50     50\n"
    "      1\n"
    "      40.0000\n"
    "       0.0040       0.0020\n"
    "      1\n";

TEST_F(Chain, FourLoadsAndAWeekOfLongTermModel) {
    write_file("SITEGEN.INI", kSitegenIni);
    ASSERT_EQ(run("sitegen", "GRIDYES"), 0) << text("sitegen.log");

    placer::DumpControl c = test_control();
    c.site = "CHAIN";
    c.out = "CHOUT";
    c.sign_option = 1;
    c.loads = 4;
    c.total_amount = 4000;
    c.centre_e = 1725.0f;
    c.centre_n = 4275.0f;
    c.radius = 100.0f;
    c.tstop = 900.0f;
    c.dtl = 60.0f;
    c.tprint1 = 450.0f;
    c.tprint2 = 900.0f;
    c.speed1 = c.speed2 = 0.3f;  // a current: the long-term model runs
    c.direction1 = c.direction2 = 90.0f;
    c.switch_days = 7.0f;
    write_records("DUMP.INI", dump_ini_records(c));
    ASSERT_EQ(run("placer", "DUMPYES"), 0) << text("placer.log");

    // The deck of the last load was written and read through to the end.
    EXPECT_TRUE(contains("CLDX.DUE", "CLOUDEX DATA-FILE USED FOR vexal"));
    EXPECT_TRUE(contains("CLDX.DUO", "*** RUN COMPLETED ***"));
    EXPECT_GE(lines("CLDX.DUT").size(), 6u);
    // Every load was placed and its deposit added: the site is shallower.
    const std::vector<std::string> report = lines("CHOUT.ACT");
    const std::regex load_line(R"(^ +\d+ +1000\. +\d+\.\d{4} +\d+\.\d{4}$)");
    EXPECT_EQ(std::count_if(report.begin(), report.end(),
                            [&](const std::string& l) { return std::regex_match(l, load_line); }),
              4);
    EXPECT_LT(depth_sum("CHOUT.IN"), depth_sum("CHAIN.IN") - 10.0);
    // The week went to the long-term model and came back.
    // (on the grid of the week, which is gone once the site is stored)
    EXPECT_TRUE(contains("PCD.INI", "PLWEEK.TNS"));
    EXPECT_FALSE(std::filesystem::exists("PLWEEK.TNS"));
    auto plot = lines("PLOTBATH.DAT");
    ASSERT_FALSE(plot.empty());
    EXPECT_EQ(plot.back(), "                          9999");
    EXPECT_TRUE(contains("PLOTBATH.DAT", "     ELAPSED TIME =        171 HOURS"));
    EXPECT_EQ(lines("CHOUT.TIM"), std::vector<std::string>{"    171"});
    // The report and the new summary are complete.
    EXPECT_TRUE(contains("CHOUT.ACT", "BEEN DEPOSITED OUTSIDE THE BOUNDARIES LATERAL TOLERANCE"));
    gridlib::SiteSummary s;
    ASSERT_EQ(gridlib::READG("CHOUT.OUT", s), gridlib::GRID_OK);
    EXPECT_EQ(s.total_seq, 4);
    EXPECT_EQ(s.seq_since_last, 4);
    EXPECT_TRUE(contains("CHOUT.OUT", "BATHYMETRIC DISTRIBUTION WITHIN THE ENTIRE DISPOSAL AREA"));

    // The balance of the run adds up: every load's solids settled or still
    // suspended (the fate model's listing prints five significant digits),
    // and the site's change is the deposits plus the long-term run's change.
    std::vector<suitefiles::LoadBalance> rows;
    ASSERT_TRUE(suitefiles::read_balance_csv("CHOUT.CSV", rows));
    ASSERT_EQ(rows.size(), 4u);
    double added = 0.0;
    for (const suitefiles::LoadBalance& r : rows) {
        EXPECT_EQ(r.status, suitefiles::LoadStatus::Placed);
        EXPECT_NEAR(r.released_cuft, 1000.0 * 27.0 * 0.3, 0.01);
        EXPECT_NEAR(r.settled_cuft + r.suspended_cuft, r.released_cuft, 1e-4 * r.released_cuft)
            << r.load;
        EXPECT_EQ(r.carried_out_cuft, 0.0);
        ASSERT_EQ(r.fractions.size(), 1u);
        EXPECT_EQ(r.fractions[0].settled_cuft, r.settled_cuft);
        EXPECT_GT(r.added_cy, 0.0);
        added += r.added_cy;
    }
    suitefiles::BalanceTotals t;
    ASSERT_TRUE(suitefiles::read_balance_totals("CHOUT.BAL", t));
    EXPECT_NEAR(t.get("added_to_site_cy"), added, 1e-3);
    const double site_change = (depth_sum("CHAIN.IN") - depth_sum("CHOUT.IN")) * 2500.0 / 27.0;
    EXPECT_NEAR(t.get("volume_on_site_cy"), site_change, 0.5);
    EXPECT_NEAR(t.get("volume_on_site_cy"), added + t.get("long_term_net_cy"), 0.5);
    // The stored grid's own volume, which the view tools and utility measure.
    EXPECT_NEAR(t.get("volume_on_site_as_stored_cy"), site_change, 1e-3);
    EXPECT_EQ(t.get("long_term_runs"), 1);
    EXPECT_EQ(t.get("long_term_failed"), 0);

    // The volume placed, measured between the grids before and after.
    write_file("UTL.INI", "   2\nCHAIN\nCHOUT\n");
    ASSERT_EQ(run("utility", "UTILITY2"), 0) << text("utility.log");
    EXPECT_TRUE(contains("utility.log", "NET volume GAINED between upper and lower grids is:"));
}

// Fine silt whose critical shear stress for deposition lies below the bottom
// shear stress stays suspended: nothing reaches the site, and the balance,
// the console and the status say so instead of a silent "placed".
TEST_F(Chain, FineSiltThatStaysSuspendedIsWarnedOf) {
    write_file("SITEGEN.INI", kSitegenIni);
    ASSERT_EQ(run("sitegen", "GRIDYES"), 0) << text("sitegen.log");
    placer::DumpControl c = test_control();
    c.site = "CHAIN";
    c.out = "CHOUT";
    c.loads = 2;
    c.total_amount = 2000;
    c.centre_e = 1725.0f;
    c.centre_n = 4275.0f;
    c.tstop = 900.0f, c.dtl = 60.0f, c.tprint1 = 450.0f, c.tprint2 = 900.0f;
    c.fractions[0].name = "FINESILT";
    c.fractions[0].diameter = 0.01f;
    c.fractions[0].taucd = 1.0e-5f;
    write_records("DUMP.INI", dump_ini_records(c));
    ASSERT_EQ(run("placer", "DUMPYES"), 0) << text("placer.log");
    std::vector<suitefiles::LoadBalance> rows;
    ASSERT_TRUE(suitefiles::read_balance_csv("CHOUT.CSV", rows));
    ASSERT_EQ(rows.size(), 2u);
    for (const suitefiles::LoadBalance& r : rows) {
        EXPECT_EQ(r.settled_cuft, 0.0);
        EXPECT_EQ(r.added_cy, 0.0);
        EXPECT_NEAR(r.suspended_cuft + r.carried_out_cuft, r.released_cuft, 1e-4 * r.released_cuft);
    }
    EXPECT_NEAR(depth_sum("CHOUT.IN"), depth_sum("CHAIN.IN"), 1e-3);
    EXPECT_TRUE(contains("CHOUT.BAL", "LOAD 1 LEFT 100.0 % OF ITS SOLIDS SUSPENDED"));
    EXPECT_TRUE(contains("CHOUT.BAL", "FINESILT (CRITICAL SHEAR STRESS FOR DEPOSITION 0.0000"));
    EXPECT_TRUE(contains("CHOUT.BAL", "BELOW THE BOTTOM SHEAR STRESS"));
    EXPECT_TRUE(contains("placer.log", "WARNING: LOAD 2 LEFT 100.0 %"));
    EXPECT_TRUE(contains("placer.log", "NO MOUND; SHALLOWEST POINT"));
    EXPECT_TRUE(contains("CHOUT.BAL", "NO POINT OF THE SITE CAME UP"));
}

// A program started without the menu (ACTION.BAT missing or holding another
// program's word) keeps its prescribed reaction, a message or silence on the
// console, and then names the word it expected and the menu command: on the
// console after a message, on the error stream after silence.
TEST_F(Chain, AProgramStartedWithoutTheMenuSaysHowToStartIt) {
    struct Case {
        const char* program;
        const char* flag;  // "" : no ACTION.BAT
        std::string out, err;
    };
    const std::string sitegen_hint =
        "ACTION.BAT DOES NOT HOLD GRIDYES: START THIS PROGRAM WITH ./menu sitegen\n";
    const Case cases[] = {
        {"sitegen", "", "ERROR ACCESSING GINPUT FILE\n" + sitegen_hint, ""},
        {"sitegen", "EDITYES", "ERROR ACCESSING GINPUT FILE\n" + sitegen_hint, ""},
        {"placer", "", "",
         "ACTION.BAT DOES NOT HOLD DUMPYES: START THIS PROGRAM WITH ./menu placer\n"},
        {"placer", "GRIDYES", "",
         "ACTION.BAT DOES NOT HOLD DUMPYES: START THIS PROGRAM WITH ./menu placer\n"},
        {"modify", "DUMPYES", "",
         "ACTION.BAT DOES NOT HOLD EDITYES: START THIS PROGRAM WITH ./menu modify\n"},
        {"utility", "UTILITY4", "",
         "ACTION.BAT DOES NOT HOLD UTILITY1, UTILITY2 OR UTILITY3: START THIS PROGRAM WITH "
         "./menu utility mound|volumes|carry\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove("ACTION.BAT");
        if (*c.flag) write_file("ACTION.BAT", std::string(c.flag) + "\n");
        const std::string command =
            std::string(SUITE_BIN_DIR) + "/" + c.program + " < /dev/null > out.txt 2> err.txt";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << c.program << " " << c.flag;
        EXPECT_EQ(text("out.txt"), c.out) << c.program << " " << c.flag;
        EXPECT_EQ(text("err.txt"), c.err) << c.program << " " << c.flag;
    }
    // Started the right way, sitegen says nothing of the menu when it is its
    // control file that is missing.
    write_file("ACTION.BAT", "GRIDYES\n");
    std::filesystem::remove("SITEGEN.INI");
    ASSERT_EQ(run("sitegen", "GRIDYES"), 1);
    EXPECT_EQ(text("sitegen.log"), "ERROR ACCESSING GINPUT FILE\n");
}

// ./menu without a program prints its help, the comment block at its top,
// and nothing of the script after it; with a program it writes the word.
TEST_F(Chain, MenuHelpIsTheCommentBlockAndMenuWritesTheWord) {
    const std::string menu = std::string(TEST_DATA_DIR) + "/../menu";
    int status = std::system((menu + " > help.txt 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    const std::string help = text("help.txt");
    EXPECT_EQ(help.rfind("menu: start a program of the suite", 0), 0u) << help;
    EXPECT_NE(help.find("  menu cloudex | dredge   run one fate model deck (CLDX.DUE) or long-term "
                        "run (PCD.INI)\n"),
              std::string::npos)
        << help;
    const std::string last = "                          utility [mound|berm|volumes])\n";
    ASSERT_GE(help.size(), last.size());
    EXPECT_EQ(help.substr(help.size() - last.size()), last) << help;
    EXPECT_EQ(help.find("set -"), std::string::npos) << help;

    std::filesystem::remove("ACTION.BAT");
    status = std::system(("SUITE_BIN=" + std::string(SUITE_BIN_DIR) + " " + menu +
                          " placer < /dev/null > placer.log 2>&1")
                             .c_str());
    EXPECT_EQ(text("ACTION.BAT"), "DUMPYES\n");
    EXPECT_EQ(text("placer.log").find("./menu"), std::string::npos) << text("placer.log");
}

}  // namespace
