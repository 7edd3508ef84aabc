// The site's history through a whole activity, from the real programs: a
// sand run and a cohesive (silt) run, each of one disposal week and one quiet
// week. The history holds every snapshot in site depths; the view tools read
// it back with heights and volumes that agree with the site placer stored;
// the run report renders in a real browser with every picture shown.
#include "suitefiles/history.hpp"

#include <gdal_priv.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "recio/records.hpp"
#include "results/mound.hpp"
#include "results/site.hpp"
#include "tests/placer/placer_fixture.hpp"

namespace {

// A 30 x 30 site at 50 ft, a plane sloping from 40 ft in the NW corner.
const char* const kSitegenIni =
    "HSITE \n"
    "HISTORY TEST SITE\n"
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

class Activity : public PlacerFolder {
  protected:
    static int run(const std::string& command, const std::string& log) {
        const int status = std::system((command + " < /dev/null > " + log + " 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static int program(const std::string& name, const std::string& flag) {
        write_file("ACTION.BAT", flag + "\n");
        return run(std::string(SUITE_BIN_DIR) + "/" + name, name + ".log");
    }

    // Makes the site and places four loads in the first week of two, with a
    // current so that the long-term model runs both weeks.
    void place(bool silt, placer::RunMode mode = placer::RunMode::Placement) {
        write_file("SITEGEN.INI", kSitegenIni);
        ASSERT_EQ(program("sitegen", "GRIDYES"), 0) << text("sitegen.log");
        placer::DumpControl c = test_control();
        c.site = "HSITE";
        c.out = "HOUT";
        c.loads = 4;
        c.total_amount = 4000;
        c.centre_e = 1725.0f;
        c.centre_n = 4275.0f;
        c.radius = 100.0f;
        c.tstop = 900.0f, c.dtl = 60.0f, c.tprint1 = 450.0f, c.tprint2 = 900.0f;
        c.speed1 = c.speed2 = 0.3f;
        c.direction1 = c.direction2 = 90.0f;
        c.switch_days = 7.0f;
        c.start_month = 8, c.start_year = 2019, c.end_month = 8, c.end_year = 2019;
        c.disposal_days = 7, c.period_days = 14;
        c.run_mode = mode;
        if (silt) {
            c.material = "SILT";
            c.sediment_type = 2;
            c.wave_source = placer::WaveSource::Constant;
            c.fractions[0].diameter = 0.01f;
            c.fractions[0].void_ratio = 4.0f;
            c.fractions[0].cohesive = 1;
            fs::copy_file(fs::path(TEST_DATA_DIR) / "dredge" / "data" / "PCDDF_CLAY.DAT",
                          "PCDDF2.DAT");
        }
        write_records("DUMP.INI", dump_ini_records(c));
        ASSERT_EQ(program("placer", "DUMPYES"), 0) << text("placer.log");
    }

    static gridlib::SiteGrid grid(const std::string& file) {
        gridlib::SiteGrid g;
        EXPECT_EQ(gridlib::RGRID1(file, g), gridlib::GRID_OK);
        return g;
    }

    // The history: its snapshots in order, the last the stored site.
    void check_history() {
        recio::RecordReader in("HOUT.HIS");
        ASSERT_TRUE(in.is_open());
        const suitefiles::History h = suitefiles::read_history(in);
        using K = suitefiles::SnapshotKind;
        std::vector<K> kinds;
        for (const suitefiles::Snapshot& s : h.snapshots) kinds.push_back(s.kind);
        ASSERT_GE(kinds.size(), 5u);
        EXPECT_EQ(kinds.front(), K::Start);
        EXPECT_EQ(kinds[1], K::DisposalWeek);
        EXPECT_EQ(kinds.back(), K::FinalSite);
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), K::DisposalWeek), 1);
        EXPECT_GE(std::count(kinds.begin(), kinds.end(), K::LongTermOutput), 2);
        // The whole activity: from its start to the end of the quiet week.
        EXPECT_EQ(h.snapshots.front().hours, 0);
        EXPECT_EQ(h.snapshots.front().date, "2019-08-01");
        EXPECT_EQ(h.snapshots.back().hours, 336);
        EXPECT_EQ(h.snapshots.back().date, "2019-08-15");
        // Site depths throughout: the start is the starting site, the final
        // snapshot the stored one, and the corners of the site, far from the
        // mound, keep their sloping depths in every snapshot (a thickness
        // form would put them all at one reference depth).
        const gridlib::SiteGrid before = grid("HSITE.IN"), after = grid("HOUT.IN");
        for (int p = 0; p < before.total_points; ++p) {
            const auto k = static_cast<std::size_t>(p);
            ASSERT_NEAR(h.snapshots.front().depth[k], before.depth[k], 0.0005) << p;
            ASSERT_NEAR(h.snapshots.back().depth[k], after.depth[k], 0.0005) << p;
        }
        for (const std::size_t corner : {0, 29, 870, 899})
            for (const suitefiles::Snapshot& s : h.snapshots)
                EXPECT_NEAR(s.depth[corner], before.depth[corner], 0.002)
                    << s.hours << " h, point " << corner;
    }

    // The evolution the view tools compute from the history agrees with the
    // stored site measured against the starting one.
    void check_mound() {
        const results::Site site = results::load_site("HOUT.IN");
        const results::SiteSeries ss = results::load_site_series("HOUT.HIS", site);
        ASSERT_TRUE(ss.history);
        const std::vector<results::MoundState> states = results::mound_history(
            ss.series, results::first_grid_reference(ss.series), site.frame, ss.we_ft, ss.ns_ft);
        const gridlib::SiteGrid before = grid("HSITE.IN"), after = grid("HOUT.IN");
        double height = 0, added = 0;  // the largest rise; the net volume change (CY)
        for (int p = 0; p < before.total_points; ++p) {
            const double h = static_cast<double>(before.depth[static_cast<std::size_t>(p)]) -
                             static_cast<double>(after.depth[static_cast<std::size_t>(p)]);
            height = std::max(height, h);
            added += h * 50.0 * 50.0 / 27.0;
        }
        ASSERT_GT(added, 100.0);
        EXPECT_NEAR(states.front().volume, 0.0, 1e-9);
        EXPECT_NEAR(states.back().height, height, 0.002);
        EXPECT_NEAR(states.back().volume, added, 0.002 * 2500.0 / 27.0 * 900);
    }

    // The report, rendered by headless Chromium: the page is drawn and every
    // picture in it loads.
    void check_report() {
        ASSERT_EQ(run(std::string(SUITE_BIN_DIR) + "/siteplot report -o report.html", "report.log"),
                  0)
            << text("report.log");
        const std::string page = text("report.html");
        EXPECT_NE(page.find("data:image/png;base64,"), std::string::npos);
        EXPECT_EQ(page.find("src=\"file:"), std::string::npos);
        // The balance placer left: its table of loads and its warnings.
        EXPECT_NE(page.find("<h2>Material balance</h2>"), std::string::npos);
        EXPECT_NE(page.find("<th>added_to_site_cy</th>"), std::string::npos);
        EXPECT_EQ(page.find("THE MATERIAL BALANCE ("), std::string::npos);
        // The quiet week after the disposal week: a map of what it moved.
        EXPECT_NE(page.find("THE BED'S CHANGE AFTER THE LAST DISPOSAL WEEK (126 TO 336 H)"),
                  std::string::npos);
        const std::string chromium =
            "/usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic "
            "--no-first-run --disable-background-networking --disable-component-update "
            "--disable-sync --virtual-time-budget=5000 --user-data-dir=" +
            (fs::current_path() / "profile").string() + " ";
        const std::string url = "file://" + (fs::current_path() / "report.html").string();
        ASSERT_EQ(run(chromium + "--window-size=1100,2400 --screenshot=" +
                          (fs::current_path() / "shot.png").string() + " " + url,
                      "chromium-shot.log"),
                  0)
            << text("chromium-shot.log");
        run(chromium + "--dump-dom " + url, "dom.html");  // the page with its console
        const std::string dom = text("dom.html");
        EXPECT_NE(dom.find("data-images=\"loaded\""), std::string::npos) << dom.substr(0, 400);
        EXPECT_NE(dom.find("4 pictures, all shown"), std::string::npos);
        EXPECT_GT(non_white_share("shot.png"), 0.05);
    }

    // The share of the screenshot's pixels that are not white.
    static double non_white_share(const std::string& png) {
        GDALAllRegister();
        GDALDataset* d = static_cast<GDALDataset*>(GDALOpen(png.c_str(), GA_ReadOnly));
        if (!d) return 0;
        const int w = d->GetRasterXSize(), h = d->GetRasterYSize();
        std::vector<unsigned char> band(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        long marked = 0;
        std::vector<bool> coloured(band.size(), false);
        for (int b = 1; b <= std::min(3, d->GetRasterCount()); ++b) {
            if (d->GetRasterBand(b)->RasterIO(GF_Read, 0, 0, w, h, band.data(), w, h, GDT_Byte, 0,
                                              0) != CE_None)
                break;
            for (std::size_t k = 0; k < band.size(); ++k)
                if (band[k] < 240) coloured[k] = true;
        }
        GDALClose(d);
        for (bool c : coloured) marked += c ? 1 : 0;
        return band.empty() ? 0 : static_cast<double>(marked) / static_cast<double>(band.size());
    }
};

TEST_F(Activity, SandRunKeepsItsHistoryAndItsReportRenders) {
    place(false);
    check_history();
    check_mound();
    check_report();
}

// The material balance, once the run leaves one, is the report's table.
TEST_F(Activity, TheReportShowsTheBalanceTheRunLeft) {
    place(false);
    write_file("HOUT.CSV",
               "load,step,date,requested_easting,requested_northing,easting,northing,volume_cy,"
               "solids_released_cuft,solids_settled_cuft,added_to_site_cy,suspended_cuft,status\n"
               "1,0,2019-08-01,1725.0,4275.0,1700.0,4250.0,1000,8100.0,7900.0,612.5,200.0,"
               "placed\n");
    write_file("HOUT.BAL", " MATERIAL BALANCE OF HOUT\n");
    ASSERT_EQ(run(std::string(SUITE_BIN_DIR) + "/siteplot report -o report.html", "report.log"), 0)
        << text("report.log");
    const std::string page = text("report.html");
    EXPECT_NE(page.find("<th>added_to_site_cy</th>"), std::string::npos);
    EXPECT_NE(page.find("<td>612.5</td>"), std::string::npos);
    EXPECT_NE(page.find("MATERIAL BALANCE OF HOUT"), std::string::npos);
    EXPECT_EQ(page.find("IS ABSENT"), std::string::npos);
}

// A long-term-only run has no disposal weeks: its history is the start, the
// long-term outputs over the whole period and the stored site.
TEST_F(Activity, LongTermOnlyRunKeepsItsHistory) {
    place(false, placer::RunMode::LongTermOnly);
    recio::RecordReader in("HOUT.HIS");
    ASSERT_TRUE(in.is_open());
    const suitefiles::History h = suitefiles::read_history(in);
    ASSERT_GE(h.snapshots.size(), 3u);
    EXPECT_EQ(h.snapshots.front().kind, suitefiles::SnapshotKind::Start);
    for (std::size_t k = 1; k + 1 < h.snapshots.size(); ++k)
        EXPECT_EQ(h.snapshots[k].kind, suitefiles::SnapshotKind::LongTermOutput) << k;
    EXPECT_EQ(h.snapshots.back().kind, suitefiles::SnapshotKind::FinalSite);
    EXPECT_GE(h.snapshots.back().hours, 336);
    const results::Site site = results::load_site("HOUT.IN");
    const results::SiteSeries ss = results::load_site_series("HOUT.HIS", site);
    EXPECT_EQ(ss.series.grids.size(), h.snapshots.size());
    // Its report: the balance of the long-term run (no load rows), the
    // mound's evolution all the same.
    ASSERT_EQ(run(std::string(SUITE_BIN_DIR) + "/siteplot report -o report.html", "report.log"), 0)
        << text("report.log");
    const std::string page = text("report.html");
    EXPECT_NE(page.find("<th>added_to_site_cy</th>"), std::string::npos);
    EXPECT_NE(page.find("MATERIAL BALANCE OF THE PLACEMENT RUN HOUT"), std::string::npos);
    EXPECT_EQ(page.find("IS ABSENT"), std::string::npos);
    EXPECT_NE(page.find("THE MOUND THROUGH THE ACTIVITY"), std::string::npos);
}

TEST_F(Activity, SiltRunKeepsItsHistoryInSiteDepths) {
    place(true);
    check_history();
    check_mound();
}

}  // namespace
