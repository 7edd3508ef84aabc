// Damaged and out-of-scale inputs: every one ends the run in order, with a
// message naming the file and the record or value, a non-zero status and no
// PLOTBATH.DAT that could pass for a finished run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "dredge/bed.hpp"
#include "dredge/consolidation.hpp"
#include "dredge/driver.hpp"
#include "dredge/errors.hpp"
#include "fixtures.hpp"
#include "recio/console.hpp"

namespace {

using dredge_test::InFolder;
using dredge_test::Pcd;
using dredge_test::TempDir;
namespace fs = dredge_test::fs;

std::vector<std::string> lines_of(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

void write_lines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary);
    for (const std::string& l : lines) out << l << "\n";
}

// Replaces columns [first, first + width) of record `index` (0-based).
void put_field(const std::string& path, std::size_t index, std::size_t first, std::size_t width,
               const std::string& text) {
    std::vector<std::string> lines = lines_of(path);
    std::string& rec = lines.at(index);
    if (rec.size() < first + width) rec.resize(first + width, ' ');
    rec.replace(first, width, std::string(width - text.size(), ' ') + text);
    write_lines(path, lines);
}

// Replaces the k-th blank-separated value of record `index` of a
// list-directed file.
void put_value(const std::string& path, std::size_t index, std::size_t k, const std::string& v) {
    std::vector<std::string> lines = lines_of(path);
    std::istringstream in(lines.at(index));
    std::vector<std::string> values;
    for (std::string x; in >> x;) values.push_back(x);
    values.at(k) = v;
    std::string rec;
    for (const std::string& x : values) rec += (rec.empty() ? "" : " ") + x;
    lines[index] = rec;
    write_lines(path, lines);
}

std::string text_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The survey of damaged inputs, run by the program itself. `stepping`
// cases stop inside the time loop and leave PLOTBATH.DAT without its end
// marker; the others stop before it and leave none (an earlier run's file
// is removed).
TEST(Survey, DamagedInputsStopInOrderNamingFileRecordAndValue) {
    struct Case {
        const char* name;
        std::function<void(const TempDir&, Pcd&)> damage;
        const char* says;
        bool stepping;
        // A damage to PCD.INI after it is written (a value its writer
        // could not put in the field).
        std::function<void(const TempDir&)> after = nullptr;
    };
    const auto grid = [](const TempDir& d) { return d.file("SITE.TNS"); };
    const Case cases[] = {
        {"depth of 1E30 in the grid file",
         [&](const TempDir& d, Pcd&) { put_field(grid(d), 2, 8, 8, "1E30"); },
         "SITE.TNS, RECORD 3, FIELD 2: THE DEPTH 1E+27 FT", false},  // implied decimals
        {"depth of -1E30 in the last grid record",
         [&](const TempDir& d, Pcd&) { put_field(grid(d), 10, 0, 8, "-1E30"); },
         "SITE.TNS, RECORD 11, FIELD 1", false},
        {"cell size of 1E30", [&](const TempDir& d, Pcd&) { put_field(grid(d), 0, 10, 5, "1E30"); },
         "SITE.TNS, RECORD 1, COLUMNS 11-15: THE CELL SIZE", false},
        {"blank grid file name", [](const TempDir&, Pcd& p) { p.grid = ""; },
         "PCD.INI, RECORD 2 (COLUMNS 1-32) NAMES NO GRID FILE", false},
        {"grid file name longer than its field",
         [](const TempDir&, Pcd& p) { p.grid = "SITES/ANOTHER_FOLDER/NEWPORT_SITE_FINAL.TNS"; },
         "SITES/ANOTHER_FOLDER/NEWPORT_SIT: THE NAME IN PCD.INI RECORD 2 GOES ON BEYOND COLUMN 32",
         false},
        {"slope angle above 90 degrees", [](const TempDir&, Pcd& p) { p.a1 = 95.0f; },
         "SLOPE ANGLES IN PCD.INI RECORD 5", false},
        {"control characters in a depth field",
         [&](const TempDir& d, Pcd&) { put_field(grid(d), 2, 0, 8, "\x1b[2J\r1"); },
         "UNREADABLE VALUE IN FILE SITE.TNS, RECORD 3, FIELD 1", false},
        {"grid file of a larger grid",
         [&](const TempDir& d, Pcd&) {
             dredge_test::write_tns(grid(d), 17, 17, 100.0f, [](int, int) { return 60.0f; });
         },
         "SITE.TNS HOLDS 289 DEPTHS; A 15 X 15 GRID NEEDS 225", false},
        {"sediment type of no model", [](const TempDir&, Pcd& p) { p.ised = 9; },
         "THE SEDIMENT TYPE ISED IN PCD.INI RECORD 5 MUST BE 1 TO 4, NOT 9", false},
        {"wave height of 1E30 in PCD.INI", [](const TempDir&, Pcd&) {},
         "PCD.INI RECORD 3, FIELD 2: THE WAVE HEIGHT 1E+27 DOES NOT FIT ITS FIELD (F8.3)", false,
         [](const TempDir& d) { put_field(d.file("PCD.INI"), 2, 8, 8, "1E30"); }},
        {"tide amplitude of 1E30",
         [](const TempDir& d, Pcd& p) {
             p.itide = 1;
             put_field(d.file("TIDAL.DAT"), 5, 20, 10, "1E30");
         },
         "TIDAL.DAT RECORD 6, FIELD 2: THE AMPLITUDE 1E+28 DOES NOT FIT ITS FIELD (F10.2)", false},
        {"tide of a thousand kilometres",
         [](const TempDir& d, Pcd& p) {
             p.itide = 1;
             put_field(d.file("TIDAL.DAT"), 5, 20, 10, "999999.99");
         },
         "TIDAL.DAT: THE MEAN LEVEL AND THE AMPLITUDES ADD UP TO A TIDE OF", false},
        {"wave height of 1E30 in the wave series",
         [](const TempDir& d, Pcd& p) {
             p.iwave = 1;
             put_field(d.file("WAVREC.OUT"), 11, 14, 12, "1E30");
         },
         "WAVREC.OUT RECORD 12, FIELD 1: THE WAVE HEIGHT 1E+25 DOES NOT FIT ITS FIELD (F12.5)",
         true},
        {"negative permeability in the consolidation table",
         [](const TempDir& d, Pcd& p) {
             p.ised = 2;
             put_value(d.file("PCDDF2.DAT"), 5, 2, "-1");
         },
         "PCDDF2.DAT, RECORD 6 (TABLE ROW 5)", true},
        {"consolidation table out of scale",
         [](const TempDir& d, Pcd& p) {
             p.ised = 2;
             put_value(d.file("PCDDF2.DAT"), 1, 2, "1E30");
         },
         "PCDDF2.DAT: THE CONSOLIDATION TIME STEP TAU", true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const int n = 15;
        dredge_test::write_tns(dir.file("SITE.TNS"), n, n, 100.0f, [](int i, int j) {
            return (i >= 4 && i <= 12 && j >= 4 && j <= 12) ? 30.0f : 60.0f;
        });
        dredge_test::copy_data("PCDDF_CLAY.DAT", dir, "PCDDF2.DAT");
        dredge_test::copy_data("TIDAL_SOUTH_BEACH.DAT", dir, "TIDAL.DAT");
        dredge_test::copy_data("WAVREC.OUT", dir, "WAVREC.OUT");
        std::ofstream(dir.file("PLOTBATH.DAT"))
            << " an earlier run's result\n                          9999\n";
        Pcd pcd;
        pcd.nx = pcd.ny = n;
        pcd.speed1 = pcd.speed2 = 0.3f;
        c.damage(dir, pcd);
        pcd.write(dir.file("PCD.INI"));
        if (pcd.grid.size() > 32) put_field(dir.file("PCD.INI"), 1, 0, pcd.grid.size(), pcd.grid);
        if (c.after) c.after(dir);
        const dredge_test::RunResult r = dredge_test::run_program_in(dir);
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_NE(r.console.find(c.says), std::string::npos) << c.name << "\n" << r.console;
        EXPECT_EQ(r.console.find('\x1b'), std::string::npos) << c.name;
        if (c.stepping) {
            const std::string file = text_of(dir.file("PLOTBATH.DAT"));
            EXPECT_EQ(file.rfind(" TIME =   00 HR ", 0), 0u) << c.name;
            EXPECT_EQ(file.find("9999"), std::string::npos) << c.name;
        } else {
            EXPECT_FALSE(fs::exists(dir.file("PLOTBATH.DAT"))) << c.name;
        }
    }
}

// A run killed while it waits for its control file (here a pipe nobody
// writes) must not leave the previous run's PLOTBATH.DAT behind, where the
// placement simulator would take it for this run's result.
TEST(Program, KilledDuringStartUpLeavesNoEarlierPlotbath) {
    TempDir dir;
    std::ofstream(dir.file("PLOTBATH.DAT"))
        << " an earlier run's result\n                          9999\n";
    ASSERT_EQ(::mkfifo(dir.file("PCD.INI").c_str(), 0600), 0);
    const std::string program = std::string(SUITE_BIN_DIR) + "/dredge";
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (::chdir(dir.path().c_str()) == 0) ::execl(program.c_str(), "dredge", nullptr);
        ::_exit(127);
    }
    bool gone = false;
    for (int k = 0; k < 500 && !gone; ++k) {
        ::usleep(10000);
        gone = !fs::exists(dir.file("PLOTBATH.DAT"));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(gone);
}

// The strip moments of a grid at the bounds of the grid file (cells and
// depths near 1E5 ft) exceed 64 bits; the sum must neither overflow nor wrap.
TEST(Centroid2, MomentsBeyondSixtyFourBitsKeepTheCentroid) {
    dredge::Fields f;
    f.resize(201, 3);
    f.dx = f.dy = 99999.0f;
    f.depth.fill(-99999.0f);
    for (int j = 1; j <= 3; ++j) f.depth(1, j) = 99999.0f;
    dredge::CentroidState state;
    float xc = 0.0f, yc = 0.0f, vol = 0.0f;
    dredge::CENTROID2(f, 0.0f, 0.0f, xc, yc, vol, state);
    ASSERT_TRUE(std::isfinite(xc));
    EXPECT_NEAR(xc, 100.0f * 99999.0f, 0.01f * 100.0f * 99999.0f);  // about the middle
}

// Consolidation tables whose values are out of scale made the column's time
// step vanish and the march run for ever; they are refused with the file.
TEST(ConsolidationData, OutOfScaleTablesAreRefusedNotMarchedForEver) {
    struct Case {
        const char* name;
        std::size_t record, value;
        const char* text;
        const char* says;
    };
    const Case cases[] = {
        {"first permeability 1E30", 1, 2, "1E30", "TIME STEP TAU"},
        {"permeability of row 5 1E30", 5, 2, "1E30", "TIME STEP TAU"},
        {"initial void ratio 1E30", 0, 3, "1E30", "TIME STEP TAU"},
        {"unit weight of water 1E-30", 0, 4, "1E-30", "TIME STEP TAU"},
        {"stress of the last row 1E30", 22, 1, "1E30", "TIME STEP TAU"},
        {"first stress -1E30", 1, 1, "-1E30", "RECORD 2 (TABLE ROW 1)"},
        {"negative void ratio in the last row", 22, 0, "-1", "RECORD 23 (TABLE ROW 22)"},
        {"negative permeability", 22, 2, "-1E30", "MUST NOT BE NEGATIVE"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        InFolder here(dir.path());
        dredge_test::copy_data("PCDDF_CLAY.DAT", dir, "PCDDF2.DAT");
        put_value(dir.file("PCDDF2.DAT"), c.record, c.value, c.text);
        dredge::Fields f;
        f.resize(11, 11);
        f.dx = f.dy = 10.0f;
        f.depth.fill(60.0f);
        for (int i = 3; i <= 9; ++i)
            for (int j = 3; j <= 9; ++j) f.depth(i, j) = 30.0f;
        dredge::ConsolState state;
        try {
            dredge::CONSOL(f, state, 50.0f, 50.0f, 0.0f, 0.0f, 1, 3, 1);
            ADD_FAILURE() << "accepted: " << c.name;
        } catch (const dredge::RunError& e) {
            EXPECT_NE(std::string(e.what()).find("PCDDF2.DAT"), std::string::npos) << c.name;
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

// A stored column whose step counter is negative, or far behind its elapsed
// time, would march millions of steps before reaching its time.
TEST(StoreDat, ImpossibleStepCounterIsRefused) {
    TempDir dir;
    dredge::Column c;
    dredge::read_consolidation_data(dredge_test::data_file("PCDDF_CLAY.DAT"), c);
    c.h = 25.0f;
    dredge::SETUP1(c);
    c.step = -2000000000;
    dredge::SAVEDAT(c, dir.file("STORE.DAT"));
    dredge::Column back;
    try {
        dredge::DATAIN(back, dir.file("STORE.DAT"));
        ADD_FAILURE() << "accepted a negative step counter";
    } catch (const dredge::RunError& e) {
        EXPECT_NE(std::string(e.what()).find("STEP COUNTER -2000000000"), std::string::npos)
            << e.what();
    }
    // A counter far behind the elapsed time (found by fuzzing): the march
    // from step 14 to some 63000 days took hundreds of thousands of steps.
    c.step = 14;
    c.time = 63212.17f;
    dredge::SAVEDAT(c, dir.file("STORE.DAT"));
    try {
        dredge::DATAIN(back, dir.file("STORE.DAT"));
        ADD_FAILURE() << "accepted a time that disagrees with its step counter";
    } catch (const dredge::RunError& e) {
        EXPECT_NE(std::string(e.what()).find("DISAGREES WITH STEP 14 OF RECORD 3"),
                  std::string::npos)
            << e.what();
    }
}

// The output-interval prompt: the end of input keeps the interval, an
// unreadable answer is an error naming the keyboard, not a hang.
TEST(OutputInterval, EndOfInputKeepsTheIntervalAndAnUnreadableAnswerIsAnError) {
    const auto answer = [](const char* text, const std::function<void()>& ask) {
        std::FILE* in = std::tmpfile();
        std::fputs(text, in);
        std::rewind(in);
        const int saved = ::dup(STDIN_FILENO);
        ::dup2(::fileno(in), STDIN_FILENO);
        ::testing::internal::CaptureStdout();
        ask();
        recio::console_end_line();
        ::testing::internal::GetCapturedStdout();
        ::dup2(saved, STDIN_FILENO);
        ::close(saved);
        std::fclose(in);
    };
    answer("TWELVE\n", [] {
        try {
            dredge::check_output_interval(25);
            ADD_FAILURE() << "an unreadable interval was accepted";
        } catch (const recio::RecordError& e) {
            EXPECT_NE(std::string(e.what()).find("KEYBOARD"), std::string::npos) << e.what();
        }
    });
    answer("", [] { EXPECT_EQ(dredge::check_output_interval(25), 25); });
}

}  // namespace
