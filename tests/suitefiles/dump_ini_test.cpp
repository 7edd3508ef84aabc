// DUMP.INI through its reader and writer.
#include "suitefiles/dump_ini.hpp"

#include "files_fixture.hpp"
#include "recio/format.hpp"
#include "suitefiles/record_list.hpp"

namespace {

using namespace suitefiles_test;
using suitefiles::DumpControl;

class DumpIni : public Folder {};

// Every shipped control file comes back byte for byte from what the reader took.
TEST_F(DumpIni, ShippedFilesRoundTripByteForByte) {
    std::vector<fs::path> files = {fs::path(EXAMPLES_DIR) / "newport/DUMP.INI",
                                   fs::path(EXAMPLES_DIR) / "newport-silt/DUMP.INI"};
    for (const auto& e : fs::directory_iterator(fs::path(FUZZ_CORPUS_DIR) / "placer_dumpini"))
        files.push_back(e.path());
    for (const fs::path& file : files) {
        DumpControl c;
        ASSERT_TRUE(suitefiles::read_dump_ini(file.string(), c)) << file;
        ASSERT_TRUE(suitefiles::write_dump_ini("DUMP.INI", c)) << file;
        EXPECT_EQ(bytes("DUMP.INI"), bytes(file)) << file;
    }
}

TEST_F(DumpIni, CodesAreReadAsTheirEnums) {
    DumpControl c;
    ASSERT_TRUE(suitefiles::read_dump_ini(EXAMPLES_DIR "/newport-silt/DUMP.INI", c));
    EXPECT_EQ(c.run_mode, suitefiles::RunMode::Placement);
    EXPECT_EQ(c.wave_source, suitefiles::WaveSource::Constant);
    EXPECT_EQ(c.tide_source, suitefiles::TideSource::Series);
    EXPECT_EQ(c.kvessel, suitefiles::VesselKind::HopperDredge);
    EXPECT_EQ(c.placement_mode, suitefiles::PlacementMode::Line);
    EXPECT_FLOAT_EQ(c.line_end_n, 27550.0f);
    ASSERT_EQ(c.fractions.size(), 2u);
    EXPECT_EQ(c.fractions[1].name, "MUD     ");
    EXPECT_EQ(c.fractions[1].cohesive, 1);
}

// A code none of the enums names is kept as the file states it, so that
// the program's checks can name it; the writer gives it back.
TEST_F(DumpIni, UnnamedCodesAreKept) {
    DumpControl c;
    c.run_mode = static_cast<suitefiles::RunMode>(7);
    c.wave_source = static_cast<suitefiles::WaveSource>(-1);
    c.kvessel = static_cast<suitefiles::VesselKind>(2);
    c.fractions.resize(1);
    ASSERT_TRUE(suitefiles::write_dump_ini("DUMP.INI", c));
    DumpControl r;
    ASSERT_TRUE(suitefiles::read_dump_ini("DUMP.INI", r));
    EXPECT_EQ(suitefiles::code(r.run_mode), 7);
    EXPECT_EQ(suitefiles::code(r.wave_source), -1);
    EXPECT_EQ(suitefiles::code(r.kvessel), 2);
}

// The reader takes the loads and the amount as the file states them, also
// in a placement file run (the program takes its load off itself).
TEST_F(DumpIni, PlacementFileRunReadAsStated) {
    DumpControl c;
    c.placement_mode = suitefiles::PlacementMode::File;
    c.order = 2;
    c.loads = 5;
    c.total_amount = 5000;
    c.load_volume = 1000.0f;
    c.placement_file = "PLACES.XY";
    c.fractions.resize(1);
    ASSERT_TRUE(suitefiles::write_dump_ini("DUMP.INI", c));
    DumpControl r;
    ASSERT_TRUE(suitefiles::read_dump_ini("DUMP.INI", r));
    EXPECT_EQ(r.loads, 5);
    EXPECT_EQ(r.total_amount, 5000);
    EXPECT_EQ(r.order, 2);
    EXPECT_EQ(suitefiles::dump_ini_records(r), suitefiles::dump_ini_records(c));
}

TEST_F(DumpIni, MissingFileIsFalseAndCountsOutsideStorageAreRefused) {
    DumpControl c;
    EXPECT_FALSE(suitefiles::read_dump_ini("NONE.INI", c));
    c.fractions.resize(1);
    std::vector<std::string> recs = suitefiles::dump_ini_records(c);
    recs[18] = recio::format_records("(2I5)", 1, 5)[0];
    ASSERT_TRUE(suitefiles::write_record_list("DUMP.INI", recs));
    try {
        suitefiles::read_dump_ini("DUMP.INI", c);
        ADD_FAILURE() << "five fractions were read";
    } catch (const recio::RecordError& e) {
        EXPECT_STREQ(e.what(),
                     "DUMP.INI RECORD 19: THE NUMBER OF SEDIMENT FRACTIONS MUST BE 1 TO 4, NOT 5");
    }
}

// A name that would write or read files other than the ones it names is
// refused by its record and field before a program uses it.
TEST_F(DumpIni, NamesThatNameOtherFilesAreRefused) {
    struct Case {
        int record;  // 1 data directory, 2 site, 3 output name, 16 placement file
        std::string name;
        std::string message;  // "" : read
    } cases[] = {
        {2, "NEWPRT", ""},
        {1, "sites/", ""},
        {16, "PLACES.XY", ""},
        {2, "NEW.PR", "DUMP.INI RECORD 2: THE SITE NAME \"NEW.PR\": A PERIOD IN THE NAME"},
        {3, "NEW PR", "DUMP.INI RECORD 3: THE OUTPUT NAME \"NEW PR\": A BLANK INSIDE THE NAME"},
        {3, std::string("PL\0X", 4), "OUTPUT NAME \"PL?X\": A CONTROL CHARACTER IN THE NAME"},
        {3, "PL\x1b[2J", "OUTPUT NAME \"PL?[2J\": A CONTROL CHARACTER IN THE NAME"},
        {3, "TIDAL",
         "DUMP.INI RECORD 3: THE OUTPUT NAME \"TIDAL\": TIDAL IS THE NAME OF ONE OF "
         "THE SUITE'S OWN FILES"},
        {2, "PCDDF2", "PCDDF2 IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {3, "WAVREC", "WAVREC IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {3, "tide", "tide IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {3, "PLWEEK", "PLWEEK IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {1, "MY SITES/", "DUMP.INI RECORD 1: THE DATA DIRECTORY \"MY SITES/\": A BLANK INSIDE"},
        {1, "../other/", "DUMP.INI RECORD 1: THE DATA DIRECTORY \"../other/\": A '..' IN THE PATH"},
        {16, "../PLACES.XY",
         "DUMP.INI RECORD 16: THE PLACEMENT FILE NAME \"../PLACES.XY\": A '..'"},
        {16, "MY PLACES.XY", "RECORD 16: THE PLACEMENT FILE NAME \"MY PLACES.XY\": A BLANK INSIDE"},
    };
    for (const Case& k : cases) {
        DumpControl c;
        c.site = c.out = "NEWPRT";
        c.placement_mode = suitefiles::PlacementMode::File;
        c.placement_file = "PLACES.XY";
        c.fractions.resize(1);
        (k.record == 1   ? c.prefix
         : k.record == 2 ? c.site
         : k.record == 3 ? c.out
                         : c.placement_file) = k.name;
        ASSERT_TRUE(suitefiles::write_dump_ini("DUMP.INI", c));
        DumpControl r;
        try {
            suitefiles::read_dump_ini("DUMP.INI", r);
            EXPECT_EQ(k.message, "") << k.name << " was read";
        } catch (const recio::RecordError& e) {
            EXPECT_NE(k.message, "") << e.what();
            EXPECT_NE(std::string(e.what()).find(k.message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
