// The programs run as a new user would misuse them: two runs in one folder,
// fixed-column records that do not hold what their counts and columns say,
// names that would write files nobody named, and outputs that cannot be
// written. Each refusal is checked through the real program.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
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

std::string read_whole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The fate model's deposit: 1 ft in the cell of the dump at the site's middle.
const Cells ONE_FOOT{{{21, 21}, 1.0f}};

// Every file of the folder with a digest of its content, but the console of
// the run and its keyboard.
std::map<std::string, std::size_t> folder_files() {
    std::map<std::string, std::size_t> files;
    for (const auto& e : fs::directory_iterator(".")) {
        const std::string name = e.path().filename().string();
        if (e.is_regular_file() && name != "console.txt" && name != "keyboard.txt")
            files[name] = std::hash<std::string>{}(read_whole(e.path()));
    }
    return files;
}

// The names of the files that differ between two listings.
std::string changed(const std::map<std::string, std::size_t>& a,
                    const std::map<std::string, std::size_t>& b) {
    std::string names;
    for (const auto& [name, digest] : a)
        if (!b.count(name) || b.at(name) != digest) names += " " + name;
    for (const auto& [name, digest] : b)
        if (!a.count(name)) names += " " + name;
    return names;
}

// Names in DUMP.INI that would write files nobody named (NEW.PR.IN beside
// NEW.DAT, site NEW for "NEW PR", a file PL for a NUL byte) or over the
// suite's own input files are refused by record and field before anything
// is written.
TEST_F(Safety, PlacerNamesThatWouldWriteOtherFilesAreRefusedBeforeAnyWrite) {
    const struct {
        int record;  // 1 data directory, 2 site, 3 output name
        std::string name;
        std::string message;
    } cases[] = {
        {3, "NEW.PR", "DUMP.INI RECORD 3: THE OUTPUT NAME \"NEW.PR\": A PERIOD IN THE NAME"},
        {2, "SI.TE", "DUMP.INI RECORD 2: THE SITE NAME \"SI.TE\": A PERIOD IN THE NAME"},
        {3, "NEW PR", "DUMP.INI RECORD 3: THE OUTPUT NAME \"NEW PR\": A BLANK INSIDE THE NAME"},
        {3, std::string("PL\0X", 4), "THE OUTPUT NAME \"PL?X\": A CONTROL CHARACTER IN THE NAME"},
        {3, "TIDAL", "TIDAL IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {3, "TIDE", "TIDE IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {3, "PCDDF2", "PCDDF2 IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {3, "WAVREC", "WAVREC IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {3, "CLDX", "CLDX IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {1, "MY SITES/", "DUMP.INI RECORD 1: THE DATA DIRECTORY \"MY SITES/\": A BLANK INSIDE"},
        {1, "../", "DUMP.INI RECORD 1: THE DATA DIRECTORY \"../\": A '..' IN THE PATH"},
    };
    for (const auto& c : cases) {
        placer::DumpControl ctl = test_control();
        (c.record == 1 ? ctl.prefix : c.record == 2 ? ctl.site : ctl.out) = c.name;
        prepare_placement_folder(make_grid(20, 60, 20, [](int) { return 40.0f; }), ctl, ONE_FOOT);
        const auto before = folder_files();
        EXPECT_EQ(run_placer(), 1) << c.message;
        EXPECT_TRUE(contains("console.txt", c.message)) << text("console.txt");
        EXPECT_EQ(changed(before, folder_files()), "") << c.message;
    }
}

// A two-week run whose output is its own site: while the weeks run the site
// stays as it was (the long-term model works on the grid of the week), the
// site is stored whole at the end and the grid of the week is gone.
TEST_F(Safety, TheWeeksOfAPlacementRunLeaveTheOutputSiteAlone) {
    placer::DumpControl ctl = test_control();
    ctl.out = ctl.site;
    ctl.wave_source = placer::WaveSource::Constant;
    ctl.disposal_days = 14, ctl.period_days = 14;
    prepare_placement_folder(make_grid(20, 60, 20, [](int) { return 40.0f; }), ctl, ONE_FOOT);
    write_script("dredge",
                 "n=$(ls site.* 2>/dev/null | wc -l)\ncat SITE.IN SITE.OUT SITE.DAT SITE.TNS > "
                 "site.$n\ncp \"$(sed -n 2p PCD.INI | tr -d ' ')\" week.$n\nexit 0");
    const std::string site_before =
        text("SITE.IN") + text("SITE.OUT") + text("SITE.DAT") + text("SITE.TNS");
    // The stand-in long-term model writes no PLOTBATH.DAT: each week's
    // long-term run counts as failed, so the run ends with status 3.
    ASSERT_EQ(run_placer(), 3) << text("console.txt");
    ASSERT_TRUE(fs::exists("site.1"));
    EXPECT_EQ(text("site.0"), site_before);  // first week
    EXPECT_EQ(text("site.1"), site_before);  // second week
    EXPECT_FALSE(text("week.0").empty());    // the grid of the week was handed over
    EXPECT_NE(text("SITE.IN") + text("SITE.OUT") + text("SITE.DAT") + text("SITE.TNS"),
              site_before);
    for (const char* f : {"PLWEEK.IN", "PLWEEK.DAT", "PLWEEK.TNS"})
        EXPECT_FALSE(fs::exists(f)) << f;
    gridlib::SiteSummary s;
    ASSERT_EQ(gridlib::READG("SITE.OUT", s), gridlib::GRID_OK);
    EXPECT_EQ(s.seq_since_last, ctl.loads);
}

// A pipe in place of a program's control file used to hang the program; a
// directory there is named as a directory. Each ends at once, naming it.
TEST_F(Safety, ControlFilesThatAreNotFilesAreNamedAtOnce) {
    const struct {
        const char* program;
        const char* flag;
        const char* file;
    } cases[] = {
        {"sitegen", "GRIDYES", "SITEGEN.INI"}, {"modify", "EDITYES", "MODIFY.INI"},
        {"utility", "UTILITY2", "UTL.INI"},    {"placer", "DUMPYES", "DUMP.INI"},
        {"cloudex", "", "CLDX.DUE"},           {"dredge", "", "PCD.INI"},
    };
    for (const auto& c : cases) {
        for (bool pipe : {true, false}) {
            fs::remove_all(c.file);
            if (pipe)
                ASSERT_EQ(::mkfifo(c.file, 0600), 0);
            else
                fs::create_directory(c.file);
            write_file("ACTION.BAT", std::string(c.flag) + "\n");
            const std::string command = "timeout 20 " + std::string(SUITE_BIN_DIR) + "/" +
                                        c.program + " < /dev/null > run.log 2>&1";
            const int status = std::system(command.c_str());
            ASSERT_TRUE(WIFEXITED(status)) << c.program;
            EXPECT_NE(WEXITSTATUS(status), 0) << c.program;
            EXPECT_NE(WEXITSTATUS(status), 124) << c.program << " hung on a pipe";
            EXPECT_TRUE(contains(
                "run.log", std::string("FILE ") + c.file +
                               (pipe ? " IS NOT A REGULAR FILE" : " IS A DIRECTORY, NOT A FILE")))
                << c.program << (pipe ? " pipe: " : " directory: ") << text("run.log");
        }
        fs::remove_all(c.file);
    }
}

}  // namespace
