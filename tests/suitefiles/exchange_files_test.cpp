// The files that pass between the programs: each written by its writer and
// read back by its reader, and the rules that tell a whole file from one
// cut short.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "recio/held_records.hpp"
#include "recio/records.hpp"
#include "suitefiles/deck.hpp"
#include "suitefiles/deposit.hpp"
#include "suitefiles/pcd_ini.hpp"
#include "suitefiles/plotbath.hpp"
#include "suitefiles/tns.hpp"

namespace {

namespace fs = std::filesystem;

class Scratch : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("suitefiles_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

std::vector<float> ramp(std::size_t n, float from, float step) {
    std::vector<float> v(n);
    for (std::size_t k = 0; k < n; ++k) v[k] = from + step * static_cast<float>(k);
    return v;
}

// ---- records in memory

TEST(HeldRecords, ATextSplitAtItsLineEndsAndReadLikeAFile) {
    recio::HeldRecords in("T.DAT", std::string_view("   12  3.5\r\nABC\n  7"));
    EXPECT_EQ(in.size(), 3u);
    std::int32_t i = 0;
    float x = 0;
    in.need("(I5,F5.1)", i, x);
    EXPECT_EQ(i, 12);
    EXPECT_FLOAT_EQ(x, 3.5f);
    EXPECT_EQ(in.peek(), "ABC");
    in.skip();
    in.need("(I3)", i);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(in.record_number(), 3);
    EXPECT_THROW(in.need("(I3)", i), recio::RecordError);
    in.back(2);
    EXPECT_EQ(in.peek(), "ABC");
}

// ---- PLOTBATH.DAT

// Two timed grids of a 3 x 10 lattice (30 depths: two records each).
suitefiles::PlotBathSeries two_grid_series() {
    suitefiles::PlotBathSeries s;
    s.header = {0.25f, 0.025f, 50.0f, 50.0f};
    s.initial.depth = ramp(30, 40.0f, 0.125f);
    s.grids.push_back({168, ramp(30, 39.5f, 0.25f), 0});
    s.grids.push_back({336, ramp(30, 39.0f, 0.5f), 0});
    s.complete = true;
    return s;
}

TEST(PlotBath, RoundTripThroughTheWriterAndTheReaders) {
    const suitefiles::PlotBathSeries s = two_grid_series();
    const std::vector<std::string> records = suitefiles::plotbath_records(s);
    ASSERT_EQ(records.size(), 1u + 2u + 2u * 3u + 1u);
    EXPECT_EQ(records.front(), " TIME =   00 HR    0.25000   0.02500  50.00000  50.00000");
    EXPECT_EQ(records[3], "     ELAPSED TIME =        168 HOURS");
    EXPECT_EQ(records.back(), "                          9999");

    recio::HeldRecords in("PLOTBATH.DAT", records);
    in.require_whole_fields();
    const suitefiles::PlotBathSeries back = suitefiles::read_plotbath(in, 30);
    EXPECT_TRUE(back.complete);
    EXPECT_FLOAT_EQ(back.header.grain, 0.25f);
    EXPECT_FLOAT_EQ(back.header.dx, 50.0f);
    EXPECT_EQ(back.initial.depth, s.initial.depth);
    ASSERT_EQ(back.grids.size(), 2u);
    for (std::size_t g = 0; g < 2; ++g) {
        EXPECT_EQ(back.grids[g].hours, s.grids[g].hours);
        EXPECT_EQ(back.grids[g].depth, s.grids[g].depth);
    }
    EXPECT_EQ(back.grids[1].first_record, 8);
}

TEST_F(Scratch, PlotBathWriterMakesTheRecordsOfTheSeries) {
    const suitefiles::PlotBathSeries s = two_grid_series();
    suitefiles::PlotBathWriter w;
    ASSERT_TRUE(w.open(file("PLOTBATH.DAT")));
    w.header(s.header);
    w.grid(s.initial.depth.data(), s.initial.depth.size());
    for (const suitefiles::PlotBathGrid& g : s.grids) {
        w.elapsed(g.hours);
        w.grid(g.depth.data(), g.depth.size());
    }
    w.end_marker();
    ASSERT_TRUE(w.close());
    recio::RecordReader in(file("PLOTBATH.DAT"));
    std::vector<std::string> got;
    std::string r;
    while (in.next_record(r)) got.push_back(r);
    EXPECT_EQ(got, suitefiles::plotbath_records(s));

    // The placement simulator's reading takes the last grid.
    in.rewind();
    suitefiles::PlotBathGrid last;
    ASSERT_TRUE(suitefiles::read_last_plotbath_grid(in, 30, last));
    EXPECT_EQ(last.hours, 336);
    EXPECT_EQ(last.depth, s.grids[1].depth);
    EXPECT_EQ(last.first_record, 8);
}

// One rule for the record that ends the series, read as the writer's
// (20X,I10) field is read.
TEST(PlotBath, EndMarkerRule) {
    struct Case {
        const char* record;
        bool marker;
    };
    for (const Case& c : {
             Case{"                          9999", true},         // as written
             Case{"                    9999", true},               // trailing blanks lost: padded
             Case{"                      99 99", true},            // blanks in a field are ignored
             Case{"                          9999   TAIL", true},  // beyond column 30: not read
             Case{"  x                       9999", false},        // columns 1-20 not blank
             Case{"                   9999", false},               // starts in column 20
             Case{"                         99999", false},
             Case{"                          9998", false},
             Case{"                              9999", false},  // beyond column 30
             Case{"", false},
             Case{"     ELAPSED TIME =       9999 HOURS", false},
         })
        EXPECT_EQ(suitefiles::is_plotbath_end_marker(c.record), c.marker) << '"' << c.record << '"';
    EXPECT_TRUE(suitefiles::is_plotbath_elapsed("     ELAPSED TIME =         24 HOURS"));
    EXPECT_FALSE(suitefiles::is_plotbath_elapsed("ELAPSED TIME =         24 HOURS"));
}

// A series cut after every one of its records: the whole-series reader
// reports an incomplete series at a grid's end and an error inside a grid;
// the last-grid reader finds a grid only in the whole file.
TEST(PlotBath, FileCutAtEachKindOfPlace) {
    const std::vector<std::string> whole = suitefiles::plotbath_records(two_grid_series());
    for (std::size_t kept = 0; kept <= whole.size(); ++kept) {
        const std::vector<std::string> cut(whole.begin(),
                                           whole.begin() + static_cast<std::ptrdiff_t>(kept));
        SCOPED_TRACE("records kept: " + std::to_string(kept));
        // Grids end after records 3, 6 and 9; record 10 is the end marker.
        const bool at_grid_end = kept == 3 || kept == 6 || kept == 9;
        recio::HeldRecords in("PLOTBATH.DAT", cut);
        if (kept == whole.size() || at_grid_end) {
            const suitefiles::PlotBathSeries s = suitefiles::read_plotbath(in, 30);
            EXPECT_EQ(s.complete, kept == whole.size());
            EXPECT_EQ(s.grids.size(), kept == whole.size() ? 2u : (kept - 3) / 3);
        } else {
            EXPECT_THROW(suitefiles::read_plotbath(in, 30), recio::RecordError);
        }
    }
    // The last-grid reader on files: only the whole one has an end marker.
    for (std::size_t kept : {whole.size() - 1, std::size_t{5}, std::size_t{0}}) {
        const std::string path =
            (fs::temp_directory_path() / ("plotbath_cut_" + std::to_string(::getpid()))).string();
        {
            recio::RecordWriter w(path);
            for (std::size_t k = 0; k < kept; ++k) w.record(whole[k]);
            ASSERT_TRUE(w.close());
        }
        recio::RecordReader in(path);
        suitefiles::PlotBathGrid last;
        EXPECT_FALSE(suitefiles::read_last_plotbath_grid(in, 30, last)) << kept;
        fs::remove(path);
    }
}

// A series with no timed grid before its marker has no grid to take back,
// and a record where an elapsed time is due is an error for the full reader.
TEST(PlotBath, MarkerWithoutATimedGridAndAStrayRecord) {
    suitefiles::PlotBathSeries s = two_grid_series();
    s.grids.clear();
    recio::HeldRecords in("PLOTBATH.DAT", suitefiles::plotbath_records(s));
    EXPECT_TRUE(suitefiles::read_plotbath(in, 30).complete);

    std::vector<std::string> stray = suitefiles::plotbath_records(two_grid_series());
    stray[3] = "     SOMETHING ELSE";
    recio::HeldRecords bad("PLOTBATH.DAT", stray);
    EXPECT_THROW(suitefiles::read_plotbath(bad, 30), recio::RecordError);
}

// ---- CLDX.DUT

std::vector<std::string> deposit_file(std::size_t blocks) {
    std::vector<std::string> r;
    auto add = [&r](const std::vector<std::string>& x) { r.insert(r.end(), x.begin(), x.end()); };
    add(suitefiles::deposit_header_records("TWO LOADS"));
    add(suitefiles::deposit_grid_records(8, 27, 100.0f, 50.0f));
    add(suitefiles::deposit_summary_records(static_cast<std::int32_t>(blocks), 900.0f,
                                            {"SAND", "SILT"}));
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::vector<float> v = ramp(4 * 23, 0.001f * static_cast<float>(b + 1), 0.01f);
        add(suitefiles::deposit_block_records(300.0f * static_cast<float>(b + 1), v.data(), 4, 23));
    }
    return r;
}

TEST(Deposit, RoundTripThroughTheWriterAndTheReader) {
    const std::vector<std::string> records = deposit_file(2);
    EXPECT_EQ(records[4], "SAND    SILT    TOTALS  ");
    recio::HeldRecords in("CLDX.DUT", records);
    in.require_whole_fields();
    suitefiles::DepositHeader h;
    ASSERT_EQ(suitefiles::read_deposit_header(in, h), suitefiles::DepositHeaderEnd::Whole);
    EXPECT_EQ(h.title, "TWO LOADS");
    EXPECT_EQ(h.rows, 8);
    EXPECT_EQ(h.cols, 27);
    EXPECT_FLOAT_EQ(h.dz, 100.0f);
    EXPECT_FLOAT_EQ(h.dx, 50.0f);
    EXPECT_EQ(h.blocks, 2);
    EXPECT_FLOAT_EQ(h.tstop, 900.0f);
    for (int b = 1; b <= 2; ++b) {
        suitefiles::DepositBlock block;
        ASSERT_TRUE(suitefiles::read_deposit_block(in, h.rows, h.cols, block));
        EXPECT_FLOAT_EQ(block.time, 300.0f * static_cast<float>(b));
        EXPECT_EQ(block.time_record, b == 1 ? 6 : 15);  // rows of 23 values take two records
        const std::vector<float> v = ramp(4 * 23, 0.001f * static_cast<float>(b), 0.01f);
        ASSERT_EQ(block.thickness.size(), v.size());
        for (std::size_t k = 0; k < v.size(); ++k)
            EXPECT_NEAR(block.thickness[k], v[k], 5e-4f * v[k]) << k;  // E9.3: three digits
    }
    suitefiles::DepositBlock none;
    EXPECT_FALSE(suitefiles::read_deposit_block(in, h.rows, h.cols, none));
}

TEST(Deposit, FileCutShort) {
    const std::vector<std::string> whole = deposit_file(1);
    auto cut = [&whole](std::size_t kept) {
        return std::vector<std::string>(whole.begin(),
                                        whole.begin() + static_cast<std::ptrdiff_t>(kept));
    };
    struct Case {
        std::size_t kept;
        suitefiles::DepositHeaderEnd end;
    };
    for (const Case& c : {Case{0, suitefiles::DepositHeaderEnd::NoGrid},
                          Case{2, suitefiles::DepositHeaderEnd::NoGrid},
                          Case{3, suitefiles::DepositHeaderEnd::NoSummary},
                          Case{4, suitefiles::DepositHeaderEnd::NoSummary},
                          Case{5, suitefiles::DepositHeaderEnd::Whole}}) {
        recio::HeldRecords in("CLDX.DUT", cut(c.kept));
        suitefiles::DepositHeader h;
        EXPECT_EQ(suitefiles::read_deposit_header(in, h), c.end) << c.kept;
        recio::HeldRecords skipped("CLDX.DUT", cut(c.kept));
        if (c.kept < 5)
            EXPECT_THROW(suitefiles::skip_deposit_header(skipped), recio::RecordError) << c.kept;
        else
            EXPECT_NO_THROW(suitefiles::skip_deposit_header(skipped));
    }
    // A block cut inside its rows.
    recio::HeldRecords in("CLDX.DUT", cut(whole.size() - 1));
    suitefiles::skip_deposit_header(in);
    suitefiles::DepositBlock b;
    EXPECT_THROW(suitefiles::read_deposit_block(in, 8, 27, b), recio::RecordError);
}

// ---- PCD.INI

TEST_F(Scratch, PcdIniRoundTrip) {
    suitefiles::PcdIni c;
    c.n0 = 57;
    c.ndays = 7;
    c.nx = 201;
    c.ny = 80;
    c.iwave = 1;
    c.itide = 2;
    c.icoh = suitefiles::CohesiveOption::FastErosion;
    c.grid_file = "DATA/RUN1.TNS";
    c.grid_angle = 12.5f;
    c.wave_height = 2.0f;
    c.wave_period = 8.0f;
    c.wave_direction = 45.0f;
    c.gauge_depth_constant = 60.0f;
    c.gauge_depth_series = 75.5f;
    c.schedule_value = 1.0f;
    c.speed1 = 0.5f;
    c.direction1 = 90.0f;
    c.switch_day = 3.5f;
    c.speed2 = 0.25f;
    c.direction2 = 180.0f;
    c.grain_size = 0.2f;
    c.ised = suitefiles::SedimentType::Cohesive3;
    c.angle1 = 30.0f;
    c.angle2 = 25.0f;
    c.porosity = 0.35f;
    ASSERT_TRUE(suitefiles::write_pcd_ini(file("PCD.INI"), c));
    suitefiles::PcdIni b;
    ASSERT_TRUE(suitefiles::read_pcd_ini(file("PCD.INI"), b));
    EXPECT_EQ(b.n0, 57);
    EXPECT_EQ(b.ndays, 7);
    EXPECT_EQ(b.nx, 201);
    EXPECT_EQ(b.ny, 80);
    EXPECT_EQ(b.iwave, 1);
    EXPECT_EQ(b.itide, 2);
    EXPECT_EQ(b.icoh, suitefiles::CohesiveOption::FastErosion);
    EXPECT_EQ(b.grid_file, "DATA/RUN1.TNS");
    EXPECT_FALSE(b.grid_name_cut);
    for (const auto& [w, r] : {std::pair{c.grid_angle, b.grid_angle},
                               {c.wave_height, b.wave_height},
                               {c.wave_period, b.wave_period},
                               {c.wave_direction, b.wave_direction},
                               {c.gauge_depth_constant, b.gauge_depth_constant},
                               {c.gauge_depth_series, b.gauge_depth_series},
                               {c.schedule_value, b.schedule_value},
                               {c.speed1, b.speed1},
                               {c.direction1, b.direction1},
                               {c.switch_day, b.switch_day},
                               {c.speed2, b.speed2},
                               {c.direction2, b.direction2},
                               {c.grain_size, b.grain_size},
                               {c.angle1, b.angle1},
                               {c.angle2, b.angle2},
                               {c.porosity, b.porosity}})
        EXPECT_FLOAT_EQ(r, w);
    EXPECT_EQ(b.ised, suitefiles::SedimentType::Cohesive3);
    EXPECT_TRUE(suitefiles::is_cohesive(b.ised));
    EXPECT_DOUBLE_EQ(suitefiles::pcd_start_hours(file("PCD.INI")), 168.0);

    suitefiles::PcdIni missing;
    EXPECT_FALSE(suitefiles::read_pcd_ini(file("NONE.INI"), missing));

    // No non-erodible bed: five records, as every earlier file; with one, a
    // sixth record that reads back.
    EXPECT_EQ(b.bed_depth, 0.0f);
    std::ifstream five(file("PCD.INI"));
    EXPECT_EQ(std::count(std::istreambuf_iterator<char>(five), {}, '\n'), 5);
    c.bed_depth = 54.125f;
    ASSERT_TRUE(suitefiles::write_pcd_ini(file("PCD.INI"), c));
    ASSERT_TRUE(suitefiles::read_pcd_ini(file("PCD.INI"), b));
    EXPECT_FLOAT_EQ(b.bed_depth, 54.125f);
}

// The grid the long-term model is handed: a site's resampled grid or the
// placement run's grid of the week; a name that names other files is refused.
TEST_F(Scratch, PcdIniGridNamesThatNameOtherFilesAreRefused) {
    const struct {
        const char* grid;
        const char* fault;            // "" : read
        const char* shown = nullptr;  // the name as the message quotes it, if not as it is
    } cases[] = {
        {"DATA/RUN1.TNS", ""},
        {"PLWEEK.TNS", ""},
        {"C:\\SITES\\RUN1.TNS", ""},
        {"TIDE.TNS", "TIDE IS THE NAME OF ONE OF THE SUITE'S OWN FILES"},
        {"DATA/NEW.PR.TNS", "A PERIOD IN THE NAME"},
        {"MY DATA/RUN1.TNS", "A BLANK INSIDE THE NAME"},
        {"../RUN1.TNS", "A '..' IN THE PATH"},
        {"RUN\x01.TNS", "A CONTROL CHARACTER IN THE NAME", "RUN?.TNS"},
    };
    for (const auto& k : cases) {
        suitefiles::PcdIni c;
        c.grid_file = k.grid;
        ASSERT_TRUE(suitefiles::write_pcd_ini(file("PCD.INI"), c));
        suitefiles::PcdIni b;
        try {
            ASSERT_TRUE(suitefiles::read_pcd_ini(file("PCD.INI"), b));
            EXPECT_STREQ(k.fault, "") << k.grid << " was read";
            EXPECT_EQ(b.grid_file, k.grid);
        } catch (const recio::RecordError& e) {
            EXPECT_EQ(e.what(), "PCD.INI RECORD 2: THE GRID FILE NAME \"" +
                                    std::string(k.shown ? k.shown : k.grid) + "\": " + k.fault);
        }
    }
}

// ---- .TNS

TEST_F(Scratch, TnsRoundTripAndTheLongTermModelsTitleWidth) {
    const std::vector<float> depth = ramp(6 * 5, 40.0f, 0.5f);
    const std::string title(50, 'A');
    {
        recio::RecordWriter out(file("SITE.TNS"));
        suitefiles::write_tns(out, 25.0f, title + "BEYOND 50", depth.data(), depth.size());
        ASSERT_TRUE(out.close());
    }
    recio::RecordReader in(file("SITE.TNS"));
    EXPECT_EQ(suitefiles::count_tns_depths(in), depth.size());
    EXPECT_FLOAT_EQ(suitefiles::read_tns_cell_size(in), 25.0f);
    in.rewind();
    std::vector<float> back(depth.size());
    const suitefiles::TnsHeader h = suitefiles::read_tns(in, back.data(), back.size());
    EXPECT_FLOAT_EQ(h.spacing, 25.0f);
    EXPECT_EQ(h.title, title);  // the first 50 of the 60 columns
    EXPECT_EQ(back, depth);
    std::string marker;
    ASSERT_TRUE(in.next_record(marker));
    EXPECT_TRUE(suitefiles::is_tns_end_marker(marker));
    EXPECT_FALSE(suitefiles::is_tns_end_marker("                          9999"));
}

// ---- CLDX.DUE

// The fraction record is read two columns to the right of where it is
// written: the values come back while each real stays below 100.
TEST(Deck, FractionRecordReadTwoColumnsRightOfItsWriter) {
    auto round_trip = [](float sg, float conc, std::int32_t kcohes, float& sg_back,
                         float& conc_back, std::int32_t& kcohes_back) {
        const std::vector<std::string> r =
            recio::format_records(suitefiles::DECK_FRACTION_OUT, recio::padded("SAND", 8), sg, conc,
                                  0.1f, 0.8f, 0.5f, kcohes, std::int32_t{0});
        recio::HeldRecords in("CLDX.DUE", r);
        std::string name;
        float vfall = 0, voidr = 0, taucd = 0;
        std::int32_t kstrip = 0;
        in.need(suitefiles::DECK_FRACTION_IN, recio::fixed_text(name, 8), sg_back, conc_back, vfall,
                voidr, taucd, kcohes_back, kstrip);
        EXPECT_EQ(name, "SAND    ");
    };
    float sg = 0, conc = 0;
    std::int32_t kcohes = 0;
    round_trip(2.65f, 0.3f, 1, sg, conc, kcohes);
    EXPECT_FLOAT_EQ(sg, 2.65f);
    EXPECT_FLOAT_EQ(conc, 0.3f);
    EXPECT_EQ(kcohes, 1);
    // A real of 100 or more loses a digit into the field before it.
    round_trip(2.65f, 123.0f, 1, sg, conc, kcohes);
    EXPECT_NE(sg, 2.65f);
}

}  // namespace
