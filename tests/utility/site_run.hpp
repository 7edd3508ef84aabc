// Whole-program tests of the grid utilities: sites stored in a temporary
// folder, the program run there with its console captured.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "recio/items.hpp"
#include "tests/gridlib/grid_fixture.hpp"

class UtilityRun : public SiteFolder {
  protected:
    // Stores a site as name.IN / .OUT / .DAT / .TNS with its NW corner at (nw_e, nw_n).
    static gridlib::SiteSummary store(const std::string& name, const gridlib::SiteGrid& g,
                                      float nw_e = 10000.0f, float nw_n = 20000.0f) {
        gridlib::SiteSummary s;
        s.seq_since_last = 3;
        s.total_seq = 12;
        s.ns_extent = (g.points_ns - 1) * g.interval;
        s.we_extent = (g.points_we - 1) * g.interval;
        s.survey_interval = g.interval;
        s.portrayal_interval = g.interval;
        s.corners.nw_e = nw_e;
        s.corners.nw_n = nw_n;
        gridlib::ResampleWork w;
        EXPECT_TRUE(
            gridlib::GRID1(name + ".IN", nw_e, nw_n, g, w, gridlib::GRID1_NEW, 0, "TEST SITE"));
        std::int8_t turned = 0;
        EXPECT_TRUE(gridlib::ARGPB(name + ".IN", name + ".OUT", s, 0, turned));
        return s;
    }
    static gridlib::SiteGrid load(const std::string& name) {
        gridlib::SiteGrid g;
        EXPECT_EQ(gridlib::RGRID1(name + ".IN", g), gridlib::GRID_OK);
        return g;
    }
    // Runs `utility` with the flag word in ACTION.BAT and the control records
    // in UTL.INI; returns its exit status, the console is in console().
    static int run_utility(const std::string& word, const std::string& control) {
        if (!word.empty()) write_file("ACTION.BAT", word + "\n");
        write_file("UTL.INI", control);
        return run("utility");
    }
    static int run(const std::string& program) {
        std::string command =
            std::string(SUITE_BIN_DIR) + "/" + program + " < /dev/null > console.txt 2>&1";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::vector<std::string> console() { return lines("console.txt"); }
    static bool console_has(const std::string& line) {
        for (const std::string& l : console())
            if (l == line) return true;
        return false;
    }
};
