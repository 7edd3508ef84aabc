// `menu check` on the example's folder, whole and with one file spoiled at a
// time: each fault named by file, record, columns, field and what is accepted.
#include <gtest/gtest.h>

#include <filesystem>

#include "keyfiles/keyfiles.hpp"
#include "suitefiles/dump_ini.hpp"
#include "tests/sitegen/program_fixture.hpp"

namespace {

namespace fs = std::filesystem;

std::string all(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

class Check : public ProgramFolder {
  protected:
    // The example's folder with its site made, as a placement starts from it.
    void example() const {
        clear();
        for (const auto& f : fs::directory_iterator(fs::path(EXAMPLES_DIR) / "newport"))
            fs::copy_file(f.path(), path(f.path().filename().string()),
                          fs::copy_options::overwrite_existing);
        write("ACTION.BAT", "GRIDYES\n");
        ASSERT_EQ(run("sitegen"), 0) << console();
    }
};

TEST_F(Check, TheExampleWouldRun) {
    example();
    EXPECT_EQ(all(keyfiles::check_folder(path(""))), "");
}

// The example's first load, run as a trial, meets a bottom shear stress above
// the critical stresses for deposition of both its fractions (the balance of
// the example says the same of that load): each is warned of by its record
// and field. With stresses above any the site sees, nothing is said, and the
// trial leaves nothing behind in the folder.
TEST_F(Check, FractionsThatCannotDepositAreWarnedOfFromATrialLoad) {
    example();
    const std::string warned = all(keyfiles::deposition_warnings(path("")));
    EXPECT_NE(warned.find("DUMP.INI:20:52-61: deposition shear stress of SAND: "),
              std::string::npos)
        << warned;
    EXPECT_NE(warned.find("DUMP.INI:21:52-61: deposition shear stress of SILT: "),
              std::string::npos)
        << warned;
    EXPECT_NE(warned.find("WARNING: BELOW THE BOTTOM SHEAR STRESS"), std::string::npos);
    EXPECT_FALSE(fs::exists(path("MCHECK.CSV")));

    suitefiles::DumpControl c;
    ASSERT_TRUE(suitefiles::read_dump_ini(path("DUMP.INI"), c));
    for (suitefiles::Fraction& x : c.fractions) x.taucd = 1.0f;
    ASSERT_TRUE(suitefiles::write_dump_ini(path("DUMP.INI"), c));
    EXPECT_EQ(all(keyfiles::deposition_warnings(path(""))), "");
}

TEST_F(Check, SpoiledFilesNamedByFileRecordAndField) {
    using F = const ProgramFolder&;
    struct Case {
        const char* what;
        void (*spoil)(F);
        const char* says;
    };
    const Case cases[] = {
        // One column to the right: the blanks inside a field are passed over,
        // so every count reads as another number.
        {"shifted column",
         [](F f) { f.replace_record("SITEGEN.INI", 10, "     100    100  10000     50     25"); },
         "SITEGEN.INI:10:15-21: TOTAL POINTS: 1000: THE TOTAL OF 1000 POINTS IS NOT 10 x 10 = 100"},
        {"corner turned the wrong way", [](F f) { f.replace_record("SITEGEN.INI", 4, " 1 35.0"); },
         "SITEGEN.INI:6:1-26: NE CORNER (EASTING NORTHING): 14950.0000 30000.0000: DOES NOT FIT "
         "THE NW CORNER, ROTATION, POINTS AND INTERVAL; THEY PUT IT AT"},
        {"extent", [](F f) { f.replace_record("SITEGEN.INI", 8, "   5000   4950"); },
         "SITEGEN.INI:8:1-7: W-E EXTENT: 5000: IS NOT (POINTS W-E - 1) x INTERVAL = 4950 FT"},
        {"site name with a period", [](F f) { f.replace_record("SITEGEN.INI", 1, "NEW.PR"); },
         "SITEGEN.INI:1:1-6: SITE NAME: NEW.PR: A PERIOD IN THE NAME"},
        {"unreadable field", [](F f) { f.replace_record("SITEGEN.INI", 4, " 1 3O.0"); },
         "SITEGEN.INI:4:3-7: field 2: UNREADABLE VALUE IN FILE"},
        {"fine fraction that never deposits",
         [](F f) {
             f.replace_record(
                 "DUMP.INI", 21,
                 "SILT          2.66000   0.05000   0.03000   1.20000   0.00000    0    1    0");
         },
         "DUMP.INI:21:52-61: deposition shear stress of SILT: 0.00000: NONE OF THE FRACTION CAN "
         "DEPOSIT"},
        {"fractions beyond the load",
         [](F f) {
             f.replace_record(
                 "DUMP.INI", 20,
                 "SAND          2.66000   0.99000   0.42000   0.70000   0.02000    0    0    0");
         },
         "DUMP.INI:20:22-31: fraction concentrations: 1.04000: THEIR SUM IS MORE THAN THE WHOLE "
         "LOAD"},
        {"scatter centre off the site",
         [](F f) { f.replace_record("DUMP.INI", 15, "    22600.0    27400.0      400.0   NO"); },
         "DUMP.INI:15:1-24: scatter centre: 22600.0 27400.0: LIES OFF THE SITE NEWPRT"},
        {"no wave series", [](F f) { f.remove("WAVREC.OUT"); },
         "DUMP.INI:5:16-20: waves: 1: WAVREC.OUT IS NOT IN THE FOLDER"},
        {"wave series shorter than the schedule", [](F f) { f.keep_records("WAVREC.OUT", 30); },
         "WAVREC.OUT:10:1: wave steps: 21: FEWER THAN THE 224 3-HOUR STEPS OF THE 28 DAYS"},
        {"wave series from another month",
         [](F f) {
             f.replace_record("WAVREC.OUT", 10,
                              " 190901  10        1.07000     8.30000   295.00000     0.00000");
         },
         "WAVREC.OUT:10:2-7: first date: 190901: THE SERIES STARTS IN 9/19, NOT IN THE START "
         "MONTH 8/2019 OF DUMP.INI RECORD 12"},
        {"wave series starting after the first of the month",
         [](F f) {
             f.replace_record("WAVREC.OUT", 10,
                              " 190803  10        1.07000     8.30000   295.00000     0.00000");
         },
         "WAVREC.OUT:10:2-7: first date: 190803: THE SERIES STARTS ON DAY 3 OF 8/2019"},
        {"vessel kind the placement refuses",
         [](F f) { f.replace_record("DUMP.INI", 7, "    2    1"); },
         "DUMP.INI:7:1-5: kind: 2: THE VESSEL TYPE MUST BE 1 (HOPPER DREDGE) OR 3"},
        {"mound with a flat side",
         [](F f) {
             f.write("UTL.INI",
                     "NEWPRT\nM\n  12500.0000  27500.0000\n     40.0000      0.0000\n   1\n");
         },
         "UTL.INI:4:13-24: side_slope: 0.00000: THE SIDE SLOPE IN UTL.INI MUST BE GREATER THAN 0"},
        {"structure neither mound nor berm", [](F f) { f.write("UTL.INI", "NEWPRT\nX\n"); },
         "UTL.INI:2:1-1: kind: X: THE STRUCTURE IN UTL.INI (RECORD 2) MUST BE"},
        {"difference mode beyond 3", [](F f) { f.write("UTL.INI", "   4\nNEWPRT\n"); },
         "UTL.INI:1:1-4: mode: 4: THE DIFFERENCE MODE IN UTL.INI (RECORD 1) MUST BE 1, 2 OR 3"},
        {"volumes against a site not made",
         [](F f) { f.write("UTL.INI", "   2\nNEWPRT\nNEWED\n"); },
         "UTL.INI:3:1-26: second_site: NEWED: THE SITE GRID FILE NEWED.IN IS NOT THERE"},
        {"loadpat cells of no width",
         [](F f) {
             f.write("LOADPAT.ANS", "NEWPRT\n      0.0000\n    500.0000\n     2\n     0\n");
         },
         "LOADPAT.ANS:2:1-12: east_west_interval_ft: 0.00000: THE EAST-WEST DUMP INTERVAL MUST "
         "BE GREATER THAN 0 FT"},
        {"loadpat approach not a direction",
         [](F f) {
             f.write("LOADPAT.ANS",
                     "NEWPRT\n    500.0000\n    500.0000\n     2\n     1\nXX\n    100.0000\n");
         },
         "LOADPAT.ANS:6:1-2: approach: XX: THE APPROACH DIRECTION MUST BE ONE OF"},
        {"modify mode beyond 2",
         [](F f) { f.write("MODIFY.INI", "\nNEWPRT\nNEWED\nEDITED\n    3\n"); },
         "MODIFY.INI:5:1-5: mode: 3:"},
        {"no site files", [](F f) { f.remove("NEWPRT.IN"); },
         "DUMP.INI:2:1-6: site: NEWPRT: THE SITE GRID FILE NEWPRT.IN CANNOT BE READ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        example();
        c.spoil(*this);
        const std::string found = all(keyfiles::check_folder(path("")));
        EXPECT_NE(found.find(c.says), std::string::npos) << found;
    }
}

}  // namespace
