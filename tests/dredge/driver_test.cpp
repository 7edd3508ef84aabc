// The driver's pieces: grid size rule, tide, tidal direction, PCD.INI and
// the output-interval prompt.
#include "dredge/driver.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "dredge/errors.hpp"
#include "fixtures.hpp"
#include "recio/console.hpp"
#include "suitefiles/tidal.hpp"
#include "suitefiles/wavrec.hpp"

namespace {

using dredge_test::TempDir;

TEST(GridSize, LargeGridsAreLimitedTo201) {
    const struct {
        std::int16_t nx, ny, want_nx, want_ny;
    } cases[] = {
        {250, 100, 201, 80}, {100, 250, 80, 201},  {300, 300, 201, 201}, {150, 120, 150, 120},
        {202, 100, 201, 99}, {201, 201, 201, 201}, {201, 202, 200, 201}, {603, 201, 201, 67},
        {400, 3, 201, 2},    {3, 400, 2, 201},
    };
    for (const auto& c : cases) {
        std::int16_t nx = c.nx, ny = c.ny;
        dredge::limit_grid_size(nx, ny);
        EXPECT_EQ(nx, c.want_nx) << c.nx << " x " << c.ny;
        EXPECT_EQ(ny, c.want_ny) << c.nx << " x " << c.ny;
    }
}

TEST(TidalDirection, QuadrantsAndNoCurrent) {
    const struct {
        float u, v, deg;
    } cases[] = {
        {1, 1, 45},    {0, 1, 0},    {1, 0, 90},   {1, -1, 135},          {0, -1, 180},
        {-1, -1, 225}, {-1, 0, 270}, {-1, 1, 315}, {0.5f, 0.866025f, 30},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(dredge::tidal_direction(c.u, c.v, 999.0f), c.deg, 1e-3f) << c.u << "," << c.v;
    EXPECT_EQ(dredge::tidal_direction(0.0f, 0.0f, 123.0f), 123.0f);
}

TEST(Tide, ConstituentsSumOnTheMean) {
    dredge::TideTable t;
    t.mean = 2.0f;
    t.u0 = 0.1f;
    t.speed = {30.0f, 15.0f};
    t.amplitude = {1.0f, 0.5f};
    t.phase = {0.0f, 90.0f};
    t.u_amplitude = {0.2f, 0.0f};
    t.u_phase = {180.0f, 0.0f};
    t.v_amplitude = {0.0f, 0.3f};
    t.v_phase = {0.0f, 0.0f};
    const dredge::TideState at0 = dredge::tide_at(t, 0.0f);
    EXPECT_NEAR(at0.tide, 3.0f, 1e-5f);  // 2 + 1 + 0.5 cos(-90)
    EXPECT_NEAR(at0.u, 0.1f - 0.2f, 1e-5f);
    EXPECT_NEAR(at0.v, 0.3f, 1e-5f);
    const dredge::TideState at6 = dredge::tide_at(t, 6.0f);
    EXPECT_NEAR(at6.tide, 2.0f - 1.0f + 0.5f, 1e-4f);  // cos 180 and cos (90 - 90)
}

TEST(Tide, TidalFileIsReadInFeet) {
    const dredge::TideTable beach =
        dredge::read_tidal(dredge_test::data_file("TIDAL_SOUTH_BEACH.DAT"));
    ASSERT_EQ(beach.speed.size(), 9u);
    EXPECT_FLOAT_EQ(beach.mean, 1.36f * 3.28f);
    EXPECT_FLOAT_EQ(beach.speed[0], 28.984104f);
    EXPECT_FLOAT_EQ(beach.amplitude[0], 0.8965f * 3.28f);
    EXPECT_FLOAT_EQ(beach.phase[0], 233.24f);
    EXPECT_EQ(beach.u_amplitude[0], 0.0f);
    const dredge::TideTable harbour =
        dredge::read_tidal(dredge_test::data_file("TIDAL_CHARLESTON.DAT"));
    EXPECT_FLOAT_EQ(harbour.u0, 8.16f * 0.0328f);
    EXPECT_GT(harbour.v_amplitude[0], 0.0f);

    TempDir dir;
    // 21 constituents are more than a table holds; 2 stated and one given
    // end the file early.
    suitefiles::TidalFile f;
    f.title = {"H1", "H2"};
    f.levels.ncon = 21;
    ASSERT_TRUE(suitefiles::write_tidal_file(dir.file("TIDAL.DAT"), f));
    EXPECT_THROW(dredge::read_tidal(dir.file("TIDAL.DAT")), dredge::RunError);
    f.heading = {"H", "H"};
    f.levels.ncon = 2;
    f.constituents.resize(1);
    f.constituents[0] = {"M2", 28.984104, 0.8965, 233.24, 0.0, 0.0, 0.0, 0.0};
    ASSERT_TRUE(suitefiles::write_tidal_file(dir.file("SHORT.DAT"), f));
    EXPECT_THROW(dredge::read_tidal(dir.file("SHORT.DAT")), recio::RecordError);
    EXPECT_THROW(dredge::read_tidal(dir.file("NONE.DAT")), dredge::RunError);
}

TEST(WaveSeries, PositionedByTheFirstStepWithMinimumHeightAndPeriod) {
    TempDir dir;
    {
        suitefiles::WaveSeriesFile f;
        for (int k = 1; k <= 9; ++k) f.header.push_back("HEADER " + std::to_string(k));
        const float records[][2] = {{1.07f, 8.3f}, {0.3f, 2.5f}, {2.0f, 12.0f}};
        for (const auto& r : records) f.records.push_back({190801, 10, r[0], r[1], 295.0f, 0.0f});
        ASSERT_TRUE(suitefiles::write_wavrec(dir.file("WAVREC.OUT"), f));
    }
    const struct {
        std::int32_t n0;
        float height, period;
    } cases[] = {{1, 1.07f * 3.28f, 8.3f}, {2, 1.0f, 3.0f}, {3, 2.0f * 3.28f, 12.0f}};
    for (const auto& c : cases) {
        dredge::WaveSeries waves;
        waves.open(dir.file("WAVREC.OUT"), c.n0);
        float h = 0.0f, t = 0.0f;
        waves.next(c.n0, h, t);
        EXPECT_FLOAT_EQ(h, c.height) << c.n0;
        EXPECT_FLOAT_EQ(t, c.period) << c.n0;
    }
    dredge::WaveSeries waves;
    waves.open(dir.file("WAVREC.OUT"), 3);
    float h = 0.0f, t = 0.0f;
    waves.next(3, h, t);
    EXPECT_THROW(waves.next(4, h, t), dredge::RunError);
    EXPECT_THROW(waves.open(dir.file("WAVREC.OUT"), 5), dredge::RunError);
}

TEST(PcdIni, FiveRecordsAsThePlacementSimulatorWritesThem) {
    TempDir dir;
    dredge_test::Pcd pcd;
    pcd.n0 = 57;
    pcd.ndays = 7;
    pcd.nx = 250;
    pcd.ny = 100;
    pcd.iwave = 1;
    pcd.grid = "DATA/SITE.TNS";
    pcd.gauge_series = 75.5f;
    pcd.switch_day = 3.5f;
    pcd.ised = 3;
    pcd.porosity = 0.35f;
    pcd.write(dir.file("PCD.INI"));
    const dredge::Controls c = dredge::read_pcd_ini(dir.file("PCD.INI"));
    EXPECT_EQ(c.n0, 57);
    EXPECT_EQ(c.ndays, 7);
    EXPECT_EQ(c.nx, 250);
    EXPECT_EQ(c.ny, 100);
    EXPECT_EQ(c.iwave, 1);
    EXPECT_EQ(c.grid_file, "DATA/SITE.TNS");
    EXPECT_EQ(c.gauge_depth_series, 75.5f);
    EXPECT_EQ(c.switch_day, 3.5f);
    EXPECT_EQ(c.ised, dredge::SedimentType::Cohesive3);
    EXPECT_FLOAT_EQ(c.porosity, 0.35f);
}

TEST(OutputInterval, NotAMultipleOfThreeHoursIsAskedAgainOnce) {
    EXPECT_EQ(dredge::check_output_interval(168), 168);
    std::FILE* answer = std::tmpfile();
    std::fputs("12\n", answer);
    std::rewind(answer);
    const int saved = ::dup(STDIN_FILENO);
    ::dup2(::fileno(answer), STDIN_FILENO);
    ::testing::internal::CaptureStdout();
    const std::int32_t interval = dredge::check_output_interval(25);
    recio::console_end_line();
    const std::string console = ::testing::internal::GetCapturedStdout();
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
    std::fclose(answer);
    EXPECT_EQ(interval, 12);
    EXPECT_NE(console.find("MULTIPLE OF THREE, PLEASE!"), std::string::npos);
    EXPECT_NE(console.find("<6> OUTPUT INTERVAL (hours) ="), std::string::npos);
}

}  // namespace
