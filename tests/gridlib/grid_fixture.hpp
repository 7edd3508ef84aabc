// A temporary working folder for tests that write site files, with standard
// input at its end so that a keyboard wait returns at once.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "gridlib/sitegrid.hpp"

class SiteFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("gridlib_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        if (!std::freopen("/dev/null", "r", stdin)) FAIL() << "no /dev/null";
        std::cin.clear();
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    static std::vector<std::string> lines(const std::string& file) {
        std::ifstream in(file);
        std::vector<std::string> out;
        std::string l;
        while (std::getline(in, l)) out.push_back(l);
        return out;
    }
    static void write_file(const std::string& file, const std::string& text) {
        std::ofstream(file) << text;
    }

    // A site of ns rows and we columns with depth(I) from a function of the point number.
    template <class F>
    static gridlib::SiteGrid make_grid(int ns, int we, int interval, F depth_of) {
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

    std::filesystem::path dir_, old_;
};
