// Test helpers of the placement simulator: a temporary working folder, a
// small site written through the grid library, DUMP.INI, deposit and
// long-term files written with their record layouts, and a copy of the
// built program beside stand-in child programs.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "placer/control.hpp"
#include "placer/site.hpp"
#include "recio/format.hpp"
#include "suitefiles/deposit.hpp"
#include "suitefiles/plotbath.hpp"

namespace fs = std::filesystem;

// A test in its own temporary folder, with standard input at its end.
class PlacerFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("placer_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        old_ = fs::current_path();
        fs::current_path(dir_);
        if (!std::freopen("/dev/null", "r", stdin)) FAIL() << "no /dev/null";
        std::cin.clear();
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }

    static std::vector<std::string> lines(const std::string& file) {
        std::ifstream in(file);
        std::vector<std::string> out;
        std::string l;
        while (std::getline(in, l)) out.push_back(l);
        return out;
    }
    static std::string text(const std::string& file) {
        std::ifstream in(file);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void write_file(const std::string& file, const std::string& body) {
        std::ofstream(file) << body;
    }
    static void write_records(const std::string& file, const std::vector<std::string>& records) {
        std::ofstream out(file);
        for (const std::string& r : records) out << r << '\n';
    }
    template <class... A>
    static void add(std::vector<std::string>& records, const char* format, const A&... args) {
        for (std::string& r : recio::format_records(format, args...))
            records.push_back(std::move(r));
    }

    fs::path dir_, old_;
};

// ---- a site

// A site of `ns` rows and `we` columns, NW corner (1000, 5000), rotation 0,
// with depth(I) from a function of the point number.
template <class F>
gridlib::SiteGrid make_grid(int ns, int we, int interval, F depth_of) {
    gridlib::SiteGrid g;
    g.points_ns = static_cast<std::int16_t>(ns);
    g.points_we = static_cast<std::int16_t>(we);
    g.total_points = ns * we;
    g.interval = static_cast<std::int16_t>(interval);
    g.rotation = 0.0f;
    g.coord_system = 1;
    g.datum = 40.0f;
    g.local_nw_e = 1000.0f;
    g.local_nw_n = 5000.0f;
    for (int i = 1; i <= g.total_points; ++i)
        g.depth[static_cast<std::size_t>(i - 1)] = depth_of(i);
    return g;
}

// The frame of a grid with its site corner at the local corner.
inline placer::SiteFrame frame_of(const gridlib::SiteGrid& g) {
    return gridlib::geometry_of(g, g.local_nw_e, g.local_nw_n);
}

// Easting and northing of the point in 0-based row r and column c of a site
// with rotation 0.
inline suitefiles::Position at_point(const gridlib::SiteGrid& g, int r, int c) {
    return {g.local_nw_e + static_cast<float>(c * g.interval),
            g.local_nw_n - static_cast<float>(r * g.interval)};
}

// Writes stem.IN (and its companions) and stem.OUT, the summary with the
// corners, extents and centre of the grid.
inline void write_site(const std::string& stem, const gridlib::SiteGrid& g) {
    gridlib::ResampleWork work;
    ASSERT_TRUE(gridlib::GRID1(stem + ".IN", g.local_nw_e, g.local_nw_n, g, work,
                               gridlib::GRID1_NEW, 0, "TEST SITE"));
    gridlib::SiteSummary s;
    suitefiles::Rotation rot = suitefiles::rotation_of(g.rotation, g.coord_system, g.local_nw_n);
    auto corner = [&](std::int32_t i) {
        return suitefiles::site_position(gridlib::geometry_of(g, g.local_nw_e, g.local_nw_n), rot,
                                         i);
    };
    suitefiles::Position nw = corner(1), ne = corner(g.points_we),
                         sw = corner(g.total_points - g.points_we + 1), se = corner(g.total_points);
    s.corners = {
        nw.e, nw.n, ne.e, ne.n, sw.e, sw.n, se.e, se.n, (nw.e + se.e) / 2.0f, (nw.n + se.n) / 2.0f};
    s.ns_extent = (g.points_ns - 1) * g.interval;
    s.we_extent = (g.points_we - 1) * g.interval;
    s.portrayal_points = g.total_points;
    s.survey_interval = g.interval;
    s.portrayal_interval = g.interval;
    std::int8_t turned = 0;
    ASSERT_TRUE(gridlib::ARGPB(stem + ".IN", stem + ".OUT", s, 1, turned));
}

// ---- DUMP.INI

// A placement run of 3 loads in one week, scatter radius 0 about a centre,
// calm and without tide or current (the long-term model is not started).
inline placer::DumpControl test_control() {
    placer::DumpControl c;
    c.prefix = "";
    c.site = "SITE";
    c.out = "RUN1";
    c.title = "TEST PLACEMENT";
    c.base_option = 0;
    c.sign_option = 0;
    c.run_mode = placer::RunMode::Placement;
    c.wave_source = placer::WaveSource::Calm;
    c.tide_source = placer::TideSource::None;
    c.equipment = "SCOW1";
    c.kvessel = placer::VesselKind::SplitHullBarge;
    c.nbins = 1;
    c.vessel_speed = 0.0f;
    c.load_volume = 1000.0f;
    c.wave_height = 2.0f;
    c.wave_period = 8.0f;
    c.wave_direction = 270.0f;
    c.key1 = 0, c.kdepth = 0, c.kpdesc = 0, c.kpcoll = 0, c.nprt = 2, c.kwave = 1, c.kvary = 0,
    c.kvel = 1;
    c.tstop = 1800.0f, c.dtl = 300.0f, c.trel = 10.0f, c.tprint1 = 900.0f, c.tprint2 = 1800.0f;
    c.rough = 0.005f, c.zref = 3.0f, c.gauge_depth = 60.0f;
    c.vessel_width = 40.0f, c.loaded_draft = 12.0f, c.light_draft = 4.0f, c.rhow = 1.0f;
    c.start_month = 6, c.start_year = 2024, c.end_month = 7, c.end_year = 2024;
    c.disposal_days = 7, c.period_days = 7;
    c.placement_mode = placer::PlacementMode::Scatter;
    c.technique = "POINT DUMP";
    c.centre_e = 1600.0f, c.centre_n = 4800.0f, c.radius = 0.0f;
    c.direction_code = "NO";
    c.loads = 3;
    c.total_amount = 3000;
    c.order = 1;
    c.navigable_depth = 10;
    c.lateral_tolerance = 50;
    c.material = "FINE SAND";
    c.nlayer = 1, c.nfrac = 1;
    c.aval_angle = 10.0f, c.post_angle = 5.0f, c.grain_size = 0.2f;
    c.sediment_type = 1;
    c.bulk_void_ratio = 1.0f;
    placer::Fraction f;
    f.name = "SAND";
    f.sg = 2.65f, f.conc = 0.3f, f.diameter = 0.2f, f.void_ratio = 0.8f, f.taucd = 0.02f;
    c.fractions = {f};
    c.nprofile = 1;
    c.profile_depth[0] = 0.0f;
    c.profile_density[0] = 1.025f;
    return c;
}

using suitefiles::dump_ini_records;

// ---- deposit file

// Thickness values of one block, by (row, column) of the R-4 x C-4 block (1-based).
using Cells = std::map<std::pair<int, int>, float>;

// CLDX.DUT: five header records, then each block's time and rows (21E9.3 per record).
inline std::vector<std::string> deposit_records(
    int rows, int cols, const std::vector<std::pair<float, Cells>>& blocks) {
    std::vector<std::string> r;
    auto add = [&r](const std::vector<std::string>& recs) {
        r.insert(r.end(), recs.begin(), recs.end());
    };
    add(suitefiles::deposit_header_records(recio::padded("CLOUDEX DATA-FILE USED FOR vexal", 60)));
    add(suitefiles::deposit_grid_records(rows, cols, 20.0f, 20.0f));
    add(suitefiles::deposit_summary_records(static_cast<std::int32_t>(blocks.size()), 1800.0f,
                                            {"SAND"}));
    const auto nr = static_cast<std::size_t>(rows - 4), nc = static_cast<std::size_t>(cols - 4);
    for (const auto& block : blocks) {
        std::vector<float> v(nr * nc, 0.0f);
        for (const auto& [at, value] : block.second)
            if (at.first >= 1 && at.first <= rows - 4 && at.second >= 1 && at.second <= cols - 4)
                v[static_cast<std::size_t>(at.first - 1) * nc +
                  static_cast<std::size_t>(at.second - 1)] = value;
        add(suitefiles::deposit_block_records(block.first, v.data(), nr, nc));
    }
    return r;
}

// ---- long-term grid file

// PLOTBATH.DAT: header, initial grid, one elapsed-time block and the end marker.
inline std::vector<std::string> plotbath_records(const std::vector<float>& initial,
                                                 std::int32_t hours,
                                                 const std::vector<float>& last) {
    suitefiles::PlotBathSeries s;
    s.header = {0.2f, 0.025f, 20.0f, 20.0f};
    s.initial.depth = initial;
    s.grids.push_back({hours, last, 0});
    s.complete = true;
    return suitefiles::plotbath_records(s);
}

// ---- the program beside stand-in children

inline void write_file_text(const std::string& file, const std::string& body) {
    std::ofstream(file) << body;
}
inline void write_record_file(const std::string& file, const std::vector<std::string>& records) {
    std::ofstream out(file);
    for (const std::string& r : records) out << r << '\n';
}

// Copies the built placer into the current folder and writes child scripts.
inline void install_placer() {
    fs::copy_file(fs::path(SUITE_BIN_DIR) / "placer", "placer",
                  fs::copy_options::overwrite_existing);
}

inline void write_script(const std::string& name, const std::string& body) {
    std::ofstream(name) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(name, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

// Runs ./placer with `keyboard` on standard input; the console goes to
// console.txt. Returns the exit status (124 when the run had to be stopped
// after a minute: a hang).
inline int run_placer(const std::string& keyboard = "") {
    std::ofstream("keyboard.txt") << keyboard;
    const int status = std::system("timeout 60 ./placer < keyboard.txt > console.txt 2>&1");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The folder of a placement run: the program, its flag, the site SITE,
// DUMP.INI for `ctl`, a stand-in fate model that copies deposit.dut (here
// one 44 x 44 block of `deposit` at 1800 s) to CLDX.DUT and logs its calls,
// and a stand-in long-term model that logs its calls, keeps each PCD.INI and
// resampled grid it is given (pcd.N, tns.N) and copies plotbath.dat, when
// present, to PLOTBATH.DAT (and settled.dat, when present, to SETTLED.DAT).
inline void prepare_placement_folder(const gridlib::SiteGrid& grid, const placer::DumpControl& ctl,
                                     const Cells& deposit) {
    install_placer();
    write_file_text("ACTION.BAT", "DUMPYES\n");
    write_site("SITE", grid);
    write_record_file("DUMP.INI", dump_ini_records(ctl));
    write_record_file("deposit.dut", deposit_records(44, 44, {{1800.0f, deposit}}));
    write_script("cloudex", "echo run >> cloudex.log\ncp deposit.dut CLDX.DUT");
    write_script("dredge",
                 "echo run >> dredge.log\nn=$(wc -l < dredge.log | tr -d ' ')\ncp PCD.INI pcd.$n\n"
                 "cp \"$(sed -n 2p PCD.INI | tr -d ' ')\" tns.$n 2>/dev/null\n[ -f plotbath.dat ] "
                 "&& cp plotbath.dat "
                 "PLOTBATH.DAT\n[ -f settled.dat ] && cp settled.dat SETTLED.DAT\nexit 0");
}
