// The series files WAVREC.OUT, TIDE.DAT and TIDAL.DAT through their readers
// and writers, and the two readings of WAVREC.OUT.
#include "files_fixture.hpp"
#include "recio/records.hpp"
#include "suitefiles/record_list.hpp"
#include "suitefiles/tidal.hpp"
#include "suitefiles/tide.hpp"
#include "suitefiles/wavrec.hpp"

namespace {

using namespace suitefiles_test;

const fs::path tests_dir = TEST_DATA_DIR;
const fs::path examples_dir = EXAMPLES_DIR;

class Series : public Folder {};

TEST_F(Series, WaveFilesRoundTripByteForByte) {
    for (const fs::path& file :
         {examples_dir / "newport/WAVREC.OUT", tests_dir / "placer/series/WAVREC.OUT",
          tests_dir / "dredge/data/WAVREC.OUT",
          fs::path(FUZZ_CORPUS_DIR) / "dredge_wavrec/wavrec30.OUT"}) {
        suitefiles::WaveSeriesFile f;
        ASSERT_TRUE(suitefiles::read_wavrec(file.string(), f)) << file;
        ASSERT_TRUE(suitefiles::write_wavrec("WAVREC.OUT", f));
        EXPECT_EQ(bytes("WAVREC.OUT"), bytes(file)) << file;
    }
}

TEST_F(Series, TideFilesRoundTripByteForByte) {
    for (const fs::path& file :
         {examples_dir / "newport/TIDE.DAT", tests_dir / "placer/series/TIDE.DAT"}) {
        suitefiles::TideSeriesFile f;
        ASSERT_TRUE(suitefiles::read_tide_dat(file.string(), f)) << file;
        ASSERT_TRUE(suitefiles::write_tide_dat("TIDE.DAT", f));
        EXPECT_EQ(bytes("TIDE.DAT"), bytes(file)) << file;
    }
}

TEST_F(Series, TidalFilesRoundTripByteForByte) {
    for (const fs::path& file :
         {examples_dir / "newport/TIDAL.DAT", tests_dir / "dredge/data/TIDAL_CHARLESTON.DAT",
          tests_dir / "dredge/data/TIDAL_SOUTH_BEACH.DAT"}) {
        suitefiles::TidalFile f;
        ASSERT_TRUE(suitefiles::read_tidal_file(file.string(), f)) << file;
        ASSERT_TRUE(suitefiles::write_tidal_file("TIDAL.DAT", f));
        EXPECT_EQ(bytes("TIDAL.DAT"), bytes(file)) << file;
    }
}

TEST_F(Series, TidalValuesAsTheFileStatesThem) {
    suitefiles::TidalFile f;
    ASSERT_TRUE(
        suitefiles::read_tidal_file((tests_dir / "dredge/data/TIDAL_CHARLESTON.DAT").string(), f));
    EXPECT_EQ(f.levels.ncon, 9);
    EXPECT_DOUBLE_EQ(f.levels.mean, 0.89);
    EXPECT_DOUBLE_EQ(f.levels.v0, -7.61);
    ASSERT_EQ(f.constituents.size(), 9u);
    const suitefiles::TidalConstituentOf<double>& m2 = f.constituents[0];
    EXPECT_EQ(m2.name, "M2        ");
    EXPECT_DOUBLE_EQ(f.constituents[8].speed, 57.968209);
    EXPECT_DOUBLE_EQ(m2.amplitude, 0.7752);
    EXPECT_DOUBLE_EQ(m2.u_amplitude, 70.09);
    EXPECT_DOUBLE_EQ(m2.v_phase, 299.34);
    EXPECT_TRUE(f.trailer.empty());
}

TEST_F(Series, TidalFileFaultsAreNamed) {
    suitefiles::TidalFile f;
    EXPECT_FALSE(suitefiles::read_tidal_file("NONE.DAT", f));
    f.title = {"T1", "T2"};
    f.heading = {"H1", "H2"};
    f.levels.ncon = 21;
    ASSERT_TRUE(suitefiles::write_tidal_file("TIDAL.DAT", f));
    try {
        suitefiles::read_tidal_file("TIDAL.DAT", f);
        ADD_FAILURE() << "21 constituents were taken";
    } catch (const recio::RecordError& e) {
        EXPECT_STREQ(e.what(),
                     "TIDAL.DAT RECORD 3: THE NUMBER OF CONSTITUENTS MUST BE 0 TO 20, NOT 21");
    }
    write_text("TIDAL.DAT", "T1\n");
    EXPECT_THROW(suitefiles::read_tidal_file("TIDAL.DAT", f), recio::RecordError);
}

// Record 5 of the series (step index 4) holds 1908011210 0.88 m, 6.9 s, 291 degrees.
TEST_F(Series, RecordOfATimeStep) {
    recio::RecordReader waves((tests_dir / "placer/series/WAVREC.OUT").string());
    ASSERT_TRUE(suitefiles::skip_to_wave_step(waves, 4));
    suitefiles::WaveRecord w;
    suitefiles::need_wave_record(waves, w);
    EXPECT_EQ(w.date, 190801);
    EXPECT_EQ(w.time, 1210);
    EXPECT_FLOAT_EQ(w.height, 0.88f);
    EXPECT_FLOAT_EQ(w.period, 6.9f);
    EXPECT_FLOAT_EQ(w.direction, 291.0f);

    recio::RecordReader tide((tests_dir / "placer/series/TIDE.DAT").string());
    ASSERT_TRUE(suitefiles::skip_to_tide_step(tide, 4));
    suitefiles::TideRecord t;
    suitefiles::need_tide_record(tide, t);
    EXPECT_FLOAT_EQ(t.hours, 12.0f);
    EXPECT_FLOAT_EQ(t.tide, 1.259f);
    EXPECT_FLOAT_EQ(t.u, -0.124f);
    EXPECT_FLOAT_EQ(t.v, -0.342f);
    EXPECT_FALSE(suitefiles::skip_to_tide_step(tide, 1000));
}

// placer reads date, time, height, period and direction; dredge only the
// height and the period, by their columns. A date that is no number stops
// placer's reading and not dredge's; a spoiled value-not-used column stops
// neither (only the whole-file reader, which keeps that value).
TEST_F(Series, PlacerAndDredgeReadWaveRecordsTheirOwnWay) {
    suitefiles::WaveSeriesFile f;
    f.header.assign(9, "HEADER");
    f.records.resize(1);
    f.records[0] = {190801, 10, 1.07f, 8.3f, 295.0f, 0.0f};
    std::vector<std::string> recs = suitefiles::wavrec_records(f);
    ASSERT_EQ(recs.size(), 10u);
    EXPECT_EQ(recs[9], " 190801  10        1.07000     8.30000   295.00000     0.00000");
    struct Case {
        const char* what;
        std::string record;
        bool placer_reads, dredge_reads, file_reads;
    };
    for (const Case& c :
         {Case{"good", recs[9], true, true, true},
          Case{"letters in the date", " 19O8O1  10" + recs[9].substr(11), false, true, false},
          Case{"letters in the value not used", recs[9].substr(0, 61) + "X", true, true, false},
          Case{"letters in the height", recs[9].substr(0, 20) + "X" + recs[9].substr(21), false,
               false, false}}) {
        recs[9] = c.record;
        ASSERT_TRUE(suitefiles::write_record_list("WAVREC.OUT", recs));
        recio::RecordReader in("WAVREC.OUT");
        ASSERT_TRUE(suitefiles::skip_to_wave_step(in, 0));
        suitefiles::WaveRecord w;
        bool placer_reads = true;
        try {
            suitefiles::need_wave_record(in, w);
        } catch (const recio::RecordError&) {
            placer_reads = false;
        }
        EXPECT_EQ(placer_reads, c.placer_reads) << c.what;
        in.rewind();
        ASSERT_TRUE(suitefiles::skip_to_wave_step(in, 0));
        float height = 0.0f, period = 0.0f;
        bool dredge_reads = true;
        try {
            dredge_reads = suitefiles::read_wave_height_period(in, height, period);
        } catch (const recio::RecordError&) {
            dredge_reads = false;
        }
        EXPECT_EQ(dredge_reads, c.dredge_reads) << c.what;
        if (dredge_reads) {
            EXPECT_FLOAT_EQ(height, 1.07f) << c.what;
            EXPECT_FLOAT_EQ(period, 8.3f) << c.what;
        }
        suitefiles::WaveSeriesFile back;
        bool file_reads = true;
        try {
            suitefiles::read_wavrec("WAVREC.OUT", back);
        } catch (const recio::RecordError&) {
            file_reads = false;
        }
        EXPECT_EQ(file_reads, c.file_reads) << c.what;
    }
}

// A header shorter than its records is filled with blank records, so that
// the first data record stays step index 0.
TEST_F(Series, ShortHeadersAreFilled) {
    suitefiles::TideSeriesFile t;
    t.header = {"TIDE"};
    t.records = {{0.0f, 1.0f, 0.1f, -0.2f}};
    const std::vector<std::string> recs = suitefiles::tide_dat_records(t);
    EXPECT_EQ(recs, (std::vector<std::string>{"TIDE", "", "", "   0.000   1.000   0.100  -0.200"}));
}

}  // namespace
