// The programs run as a new user would misuse them: two runs in one folder,
// fixed-column records that do not hold what their counts and columns say,
// names that would write files nobody named, and outputs that cannot be
// written. Each refusal is checked through the real program.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/placer/placer_fixture.hpp"

namespace {

class Safety : public PlacerFolder {
  protected:
    // Runs a program of the suite in the test folder; its console into PROGRAM.log.
    static int run(const std::string& program, const std::string& flag = "") {
        if (!flag.empty()) write_file("ACTION.BAT", flag + "\n");
        const std::string command =
            std::string(SUITE_BIN_DIR) + "/" + program + " < /dev/null > " + program + ".log 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static bool contains(const std::string& file, const std::string& what) {
        return text(file).find(what) != std::string::npos;
    }
};

// While loadpat waits for its first answer, sitegen in the same folder is
// refused at once, naming loadpat; once loadpat ends the folder is free again
// and no lock file is left behind.
TEST_F(Safety, ASecondProgramInTheFolderIsRefusedNamingTheRunningOne) {
    const std::string loadpat = std::string(SUITE_BIN_DIR) + "/loadpat > loadpat.log 2>&1";
    FILE* answers = ::popen(loadpat.c_str(), "w");
    ASSERT_NE(answers, nullptr);
    for (int i = 0; i < 200 && text("FOLDER.LCK").find("LOADPAT") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    ASSERT_NE(text("FOLDER.LCK").find("LOADPAT"), std::string::npos) << "loadpat took no lock";

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run("sitegen", "GRIDYES"), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(contains("sitegen.log", "ANOTHER PROGRAM OF THE SUITE (LOADPAT, PROCESS "))
        << text("sitegen.log");

    ::pclose(answers);
    EXPECT_FALSE(fs::exists("FOLDER.LCK"));
    EXPECT_EQ(run("sitegen", "GRIDYES"), 1);  // no SITEGEN.INI, but not refused for the lock
    EXPECT_FALSE(contains("sitegen.log", "ANOTHER PROGRAM")) << text("sitegen.log");
}

// A 30 x 30 site at 50 ft; record 8 holds the extents.
std::string sitegen_ini(const std::string& extents) {
    return "SAFE  \n"
           "SAFETY TEST SITE\n"
           "\n"
           " 1  0.0\n"
           "    1000.0000    5000.0000    1000.0000    5000.0000\n"
           "    2450.0000    5000.0000    1000.0000    3550.0000\n"
           "    2450.0000    3550.0000\n" +
           extents +
           "\n"
           "    1725.0000    4275.0000\n"
           "     30     30    900     50     50\n"
           "      1\n"
           "      40.0000\n"
           "       0.0040       0.0020\n"
           "      1\n";
}

// Tabs in the extents record used to shift the columns (49504 and 950 ft);
// they are refused with the file, the record and the column, and no site is
// written.
TEST_F(Safety, ATabInSitegenExtentsIsRefusedWithItsRecordAndColumn) {
    write_file("SITEGEN.INI", sitegen_ini("   1450   1450"));
    ASSERT_EQ(run("sitegen", "GRIDYES"), 0) << text("sitegen.log");
    fs::remove("SAFE.IN");
    write_file("SITEGEN.INI", sitegen_ini("\t1450\t1450"));
    EXPECT_EQ(run("sitegen", "GRIDYES"), 1);
    EXPECT_TRUE(contains("sitegen.log", "TAB IN FILE SITEGEN.INI, RECORD 8"))
        << text("sitegen.log");
    EXPECT_FALSE(fs::exists("SAFE.IN"));
}

}  // namespace
