// The modify program: point edits and survey mode on an existing site, run
// whole in a temporary folder, and the point-edit rule on its own.
#include "modify/modify.hpp"

#include <cmath>

#include "gridlib/sitegrid.hpp"
#include "recio/items.hpp"
#include "tests/sitegen/program_fixture.hpp"

using gridlib::SiteGrid;

namespace {

// All a run says when ACTION.BAT does not ask for it (on the error stream).
const std::string NOT_ASKED =
    "ACTION.BAT DOES NOT HOLD EDITYES: START THIS PROGRAM WITH ./menu modify\n";

SiteGrid small_grid(int we, int ns, int interval, float rotation, std::int16_t system) {
    SiteGrid g;
    g.points_we = static_cast<std::int16_t>(we);
    g.points_ns = static_cast<std::int16_t>(ns);
    g.total_points = we * ns;
    g.interval = static_cast<std::int16_t>(interval);
    g.rotation = rotation;
    g.coord_system = system;
    g.datum = 22.5f;
    for (int i = 0; i < g.total_points; ++i)
        g.depth[static_cast<std::size_t>(i)] = 20.0f + static_cast<float>(i);
    return g;
}

std::string f12(double v) {  // one F12.4 field
    char s[32];
    std::snprintf(s, sizeof s, "%12.4f", v);
    return s;
}

// An existing site OLD1: 5 x 4 points 100 ft apart, not rotated, NW corner at
// (3000, 8000) ft, depth 20 + (I - 1) at point I, datum 22.5, and a history
// of 7 disposal sequences, 3 since the last activity.
class Modify : public ProgramFolder {
  protected:
    void SetUp() override {
        ProgramFolder::SetUp();
        store_site();
    }
    void store_site() const {
        const auto back = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        SiteGrid g = small_grid(5, 4, 100, 0.0f, 1);
        gridlib::ResampleWork w;
        ASSERT_TRUE(
            gridlib::GRID1("OLD1.IN", 3000.0f, 8000.0f, g, w, gridlib::GRID1_NEW, 0, "OLD SITE"));
        gridlib::SiteSummary s;
        s.total_seq = 7;
        s.seq_since_last = 3;
        s.survey_interval = 100;
        s.portrayal_interval = 100;
        s.ns_extent = 300;
        s.we_extent = 400;
        s.corners = {3000, 8000, 3400, 8000, 3000, 7700, 3400, 7700, 3200, 7850};
        std::int8_t turned = 0;
        ASSERT_TRUE(gridlib::ARGPB("OLD1.IN", "OLD1.OUT", s, 0, turned));
        std::filesystem::current_path(back);
        write("ACTION.BAT", "EDITYES\n");
    }
    // MODIFY.INI for OLD1 with the records of its mode and depth sign option 0.
    void control(const std::string& new_site, int mode,
                 const std::vector<std::string>& records) const {
        std::vector<std::string> all = {"", "OLD1", new_site, "EDITED SITE",
                                        "    " + std::to_string(mode)};
        all.insert(all.end(), records.begin(), records.end());
        all.push_back("    0");
        write_lines("MODIFY.INI", all);
    }
    static std::string edit(double e, double n, double depth) {
        return f12(e) + f12(n) + f12(depth);
    }
    static std::string survey_file(const std::string& name, int spacing) {
        char field[8];
        std::snprintf(field, sizeof field, "%5d", spacing);
        return recio::padded(name, 32) + "   " + field;
    }
    static std::string many_edits() {
        std::string s = "\nOLD1\nNEW1\nEDITED SITE\n    1\n10001\n";
        for (int i = 0; i < 10001; ++i) s += edit(3000.0, 8000.0, 30.0) + "\n";
        return s + "    0\n";
    }

    std::vector<float> depths(const std::string& grid_file) const {
        SiteGrid g;
        EXPECT_EQ(gridlib::RGRID1(path(grid_file), g), gridlib::GRID_OK);
        return std::vector<float>(g.depth.begin(), g.depth.begin() + g.total_points);
    }
    static std::vector<float> old_depths() {
        std::vector<float> d(20);
        for (int i = 0; i < 20; ++i) d[static_cast<std::size_t>(i)] = 20.0f + static_cast<float>(i);
        return d;
    }
};

TEST_F(Modify, PointEditsMakeANewSiteWithTheOldHistory) {
    // Grid point I lies at easting 3000 + 100 k, northing 8000 - 100 r.
    control("NEW1", 1,
            {"    5", edit(3050.0, 8000.0, 55.0),  // midway between points 1 and 2: both
             edit(3400.0, 8000.0, 0.5),            // below 1 ft: nothing
             edit(3300.0, 7800.0, 60.0),           // point 14
             edit(3310.0, 7790.0, 70.0),           // point 14 again: the later edit wins
             edit(3153.0, 7900.0, 80.0)});  // 53 ft from point 7 (beyond 52), 47 ft from point 8
    ASSERT_EQ(run("modify"), 0) << console();

    std::vector<float> expected = old_depths();
    expected[0] = expected[1] = 55.0f;
    expected[13] = 70.0f;
    expected[7] = 80.0f;
    EXPECT_EQ(depths("NEW1.IN"), expected);
    EXPECT_EQ(depths("OLD1.IN"), old_depths());  // the existing site is left as it was
    const auto in = lines("NEW1.IN");
    EXPECT_EQ(in[9], " LONGTERM DATUM IS   22.500");  // kept, not recomputed

    gridlib::SiteSummary s;
    ASSERT_EQ(gridlib::READG(path("NEW1.OUT"), s), gridlib::GRID_OK);
    EXPECT_EQ(s.total_seq, 7);
    EXPECT_EQ(s.seq_since_last, 3);
    EXPECT_FLOAT_EQ(s.corners.centre_e, 3200.0f);
    EXPECT_EQ(s.we_extent, 400);
    EXPECT_TRUE(exists("NEW1.DAT"));
    EXPECT_EQ(lines("NEW1.TNS")[1], recio::padded("EDITED SITE", 60));

    const std::string dashes(48, '-');
    EXPECT_NE(console().find("\n\n\nThe following files have been created/edited\n" + dashes +
                             "\n" + recio::padded("NEW1.IN", 32) + "\n" +
                             recio::padded("NEW1.OUT", 32) + "\n" + recio::padded("NEW1.DAT", 32) +
                             "\n" + dashes + "\n\n\nPRESS \"RETURN\" TO CONTINUE"),
              std::string::npos)
        << console();
}

TEST_F(Modify, SameOldAndNewNameOverwritesTheSite) {
    control("OLD1", 1, {"    1", edit(3000.0, 8000.0, 44.0)});
    ASSERT_EQ(run("modify"), 0) << console();
    std::vector<float> expected = old_depths();
    expected[0] = 44.0f;
    EXPECT_EQ(depths("OLD1.IN"), expected);
    gridlib::SiteSummary s;
    ASSERT_EQ(gridlib::READG(path("OLD1.OUT"), s), gridlib::GRID_OK);
    EXPECT_EQ(s.total_seq, 7);
    EXPECT_EQ(s.seq_since_last, 3);
    EXPECT_EQ(site_files().size(), 4u);  // OLD1 .IN .OUT .DAT .TNS and nothing else
}

TEST_F(Modify, SurveyAdaptsOnlyThePointsItReaches) {
    // One survey point, depth 33, on grid point 1; R = 2 x max(10, 100) = 200
    // reaches points 1, 2, 6 and 7 (200 ft along an axis is just beyond).
    write("NEW.XYZ", "8000.0,3000.0,-33.0\n");
    control("NEW1", 2, {survey_file("NEW.XYZ", 10), "LAT     LONG    DEPTH"});
    ASSERT_EQ(run("modify"), 0) << console();
    std::vector<float> expected = old_depths();
    expected[0] = expected[1] = expected[5] = expected[6] = 33.0f;
    EXPECT_EQ(depths("NEW1.IN"), expected);  // the rest keep their depths: no filling
    EXPECT_NE(console().find("T A K E    A    B R E A K !"), std::string::npos);
    EXPECT_EQ(console_count("COVERAGE"), 0);
}

// The copy is still written, as the run is meant to, but the run has not
// done its job and says so with its status.
TEST_F(Modify, MissingSurveyWritesTheSiteUnchangedUnderTheNewNameAndFails) {
    control("NEW1", 2, {survey_file("NONE.XYZ", 10), "N       E       D"});
    ASSERT_EQ(run("modify"), 1) << console();
    EXPECT_NE(console().find("The specified survey file was not found\n\nHit \"RETURN\" to quit\n"),
              std::string::npos);
    EXPECT_NE(console().find("NO DEPTH CHANGED: THE SURVEY FILE NONE.XYZ WAS NOT FOUND"),
              std::string::npos);
    EXPECT_EQ(depths("NEW1.IN"), old_depths());
    EXPECT_TRUE(exists("NEW1.OUT"));
}

// A survey that gives no grid point a depth: the copy is written unchanged,
// as for a missing survey file, with the reason, and the run fails.
TEST_F(Modify, SurveyThatChangesNothingCopiesTheSiteAndFails) {
    struct Case {
        const char* what;
        const char* survey;  // the file's text
        const char* columns;
        const char* says;
    };
    const Case cases[] = {
        {"empty survey file", "", "N       E       D",
         "NO DEPTH CHANGED: THE SURVEY FILE NEW.XYZ HOLDS NO POINT"},
        {"columns not known", "8000.0 3000.0 33.0\n", "NORTH   EAST    DEPTH",
         "NO DEPTH CHANGED: THE SURVEY COLUMNS OF NEW.XYZ ARE NOT RECOGNISED"},
        {"survey out of reach", "100.0 100.0 33.0\n", "N       E       D",
         "NO DEPTH CHANGED: NO SURVEY POINT LIES WITHIN REACH OF THE GRID"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write("NEW.XYZ", c.survey);
        control("NEW1", 2, {survey_file("NEW.XYZ", 10), c.columns});
        EXPECT_EQ(run("modify"), 1) << console();
        EXPECT_NE(console().find(c.says), std::string::npos) << console();
        EXPECT_EQ(depths("NEW1.IN"), old_depths());
    }
}

TEST_F(Modify, RunsThatWriteNothing) {
    using F = const ProgramFolder&;
    struct Case {
        const char* what;
        void (*prepare)(F);
        std::string says;  // NOT_ASKED: the run ends silently
    };
    const Case cases[] = {
        // Silent on the console; the error stream says how to start it.
        {"not asked for", [](F f) { f.write("ACTION.BAT", "GRIDYES\n"); }, NOT_ASKED},
        {"no ACTION.BAT", [](F f) { f.remove("ACTION.BAT"); }, NOT_ASKED},
        {"no MODIFY.INI", [](F f) { f.remove("MODIFY.INI"); },
         "UNABLE TO FIND \"MODIFY.INI\" DATA FILE"},
        {"more edit points than a run holds", [](F f) { f.write("MODIFY.INI", many_edits()); },
         "MODIFY.INI RECORD 6: 10001 EDIT POINTS; A RUN TAKES 0 TO 10000"},
        {"no new site name", [](F f) { f.replace_record("MODIFY.INI", 3, ""); },
         "MODIFY.INI RECORD 3: NO NEW SITE NAME"},
        {"new site name longer than its field",
         [](F f) { f.replace_record("MODIFY.INI", 3, "NEW1234"); },
         "MODIFY.INI RECORD 3: THE NEW SITE NAME IS LONGER THAN 6 CHARACTERS"},
        {"unknown mode", [](F f) { f.replace_record("MODIFY.INI", 5, "    3"); },
         "MODIFY.INI RECORD 5: THE MODIFICATION MODE IS 3"},
        // An edit count one short left the last edit read as depth sign option 120.
        {"one edit record more than the count",
         [](F f) { f.replace_record("MODIFY.INI", 6, "    0"); },
         "MODIFY.INI RECORD 7: THE DEPTH SIGN OPTION RECORD HOLDS MORE THAN THE OPTION (IS THE "
         "EDIT COUNT OF RECORD 6 RIGHT?)"},
        {"a record after the depth sign option",
         [](F f) {
             f.write("MODIFY.INI", "\nOLD1\nNEW1\nEDITED SITE\n    1\n    1\n" +
                                       edit(3000.0, 8000.0, 44.0) + "\n    0\n    1\n");
         },
         "MODIFY.INI RECORD 9: A RECORD AFTER THE DEPTH SIGN OPTION OF RECORD 8"},
        {"edit records end early", [](F f) { f.keep_records("MODIFY.INI", 6); }, "END OF FILE"},
        {"no existing grid", [](F f) { f.remove("OLD1.IN"); },
         "The requested disposal area grid file was not"},
        {"no existing summary", [](F f) { f.remove("OLD1.OUT"); }, "NO FILE WRITTEN"},
        {"edit deeper than the grid file holds",
         [](F f) { f.replace_record("MODIFY.INI", 7, edit(3000, 8000, 10000)); },
         "NO GRID WRITTEN: THE DEPTH 10000 FT OF POINT 1 DOES NOT FIT THE GRID FILE"},
        {"NaN-like edit depth",
         [](F f) { f.replace_record("MODIFY.INI", 7, f12(3000) + f12(8000) + "         NaN"); },
         "UNREADABLE VALUE IN FILE MODIFY.INI, RECORD 7, FIELD 3 (COLUMNS 25-36, F12.4)"},
        {"edit count beyond the field's 16 bits",
         [](F f) { f.replace_record("MODIFY.INI", 6, "99999"); },
         "MODIFY.INI RECORD 6: 99999 EDIT POINTS; A RUN TAKES 0 TO 10000"},
        // An existing site cut short used to be read with zeros for what was
        // missing, and the new site was made from them.
        {"existing grid cut inside its depths",
         [](F f) { f.replace_record("OLD1.IN", 15, f.lines("OLD1.IN")[14].substr(0, 50)); },
         "RECORD CUT SHORT IN FILE OLD1.IN, RECORD 15, FIELD 7 (COLUMNS 49-56, F8.3)"},
        {"existing summary cut inside its centre",
         [](F f) { f.replace_record("OLD1.OUT", 34, f.lines("OLD1.OUT")[33].substr(0, 35)); },
         "RECORD CUT SHORT IN FILE OLD1.OUT, RECORD 34, FIELD 2 (COLUMNS 42-53, F12.4)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clear();
        store_site();
        control("NEW1", 1, {"    1", edit(3000.0, 8000.0, 44.0)});
        c.prepare(*this);
        EXPECT_NE(run("modify"), 0);
        if (c.says == NOT_ASKED) {
            EXPECT_EQ(console(), NOT_ASKED);
        } else {
            EXPECT_NE(console().find(c.says), std::string::npos) << console();
        }
        EXPECT_FALSE(exists("NEW1.IN"));
        EXPECT_FALSE(exists("NEW1.OUT"));
        EXPECT_FALSE(exists("NEW1.DAT"));
    }
}

TEST(PointEdits, RotatedAndGeographicSitesUseTheSitePositions) {
    // Rotated 90 degrees: columns run north and rows east of the NW corner.
    SiteGrid g = small_grid(3, 3, 100, 90.0f, 1);
    EXPECT_EQ(modify::apply_edits(g, 0.0f, 0.0f, {{0.0f, 100.0f, 50.0f}, {200.0f, 0.0f, 60.0f}}),
              2);
    EXPECT_EQ(g.depth[1], 50.0f);  // point 2: k = 1, 100 ft north
    EXPECT_EQ(g.depth[6], 60.0f);  // point 7: r = 2, 200 ft east

    // Geographic at latitude 60: 3648 ft is 0.01 degree of latitude and about
    // 0.02 degree of longitude (decreasing eastward). Edits midway along each
    // axis take both neighbours: 1824 ft <= 0.52 x 3648 ft.
    SiteGrid geo = small_grid(3, 3, 3648, 0.0f, 2);
    EXPECT_EQ(modify::apply_edits(
                  geo, 70.5f, 60.0f,
                  {{70.49f, 60.0f, 41.0f}, {70.47f, 59.985f, 42.0f}, {70.5f, 59.98f, 0.99f}}),
              6);
    const float expected[9] = {41, 41, 22, 23, 42, 42, 26, 42, 42};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(geo.depth[static_cast<std::size_t>(i)], expected[i]) << "point " << i + 1;
}

// Each edit says what it did: the points it changed with their old and new
// depths, an edit that reaches only points already at its depth, one that
// lies off the site and one too shallow to apply.
TEST(PointEdits, EveryEditIsReported) {
    SiteGrid g = small_grid(3, 3, 100, 0.0f, 1);  // NW corner (0, 0), rows run south
    const std::vector<modify::EditPoint> edits = {
        {100.0f, -100.0f, 50.0f},   // point 5 (24 ft) becomes 50 ft
        {100.0f, -100.0f, 50.0f},   // again: nothing left to change
        {5000.0f, -100.0f, 30.0f},  // off the site
        {0.0f, 0.0f, 0.5f},         // below 1 ft
    };
    const std::vector<modify::EditOutcome> o = modify::apply_edits_reported(g, 0.0f, 0.0f, edits);
    ASSERT_EQ(o.size(), 4u);
    ASSERT_EQ(o[0].changed.size(), 1u);
    EXPECT_EQ(o[0].changed[0].point, 5);
    EXPECT_EQ(o[0].changed[0].old_depth, 24.0f);
    EXPECT_EQ(o[0].changed[0].new_depth, 50.0f);
    EXPECT_EQ(o[1].reached, 1);
    EXPECT_TRUE(o[1].changed.empty());
    EXPECT_EQ(o[2].reached, 0);
    EXPECT_TRUE(o[3].too_shallow);
    EXPECT_EQ(g.depth[4], 50.0f);
    const std::vector<std::string> lines = modify::edit_report(edits, o, g.interval);
    const std::vector<std::string> expected = {
        "EDIT    1 AT     100.0000,   -100.0000, DEPTH    50.000:",
        "    POINT      5: DEPTH    24.000 FT BECOMES    50.000",
        "EDIT    2 AT     100.0000,   -100.0000, DEPTH    50.000: CHANGED NOTHING: THE 1 GRID "
        "POINT(S) IT REACHES ALREADY HAVE THAT DEPTH",
        "EDIT    3 AT    5000.0000,   -100.0000, DEPTH    30.000: LIES OFF THE SITE: NO GRID "
        "POINT WITHIN     52.00 FT; NOTHING CHANGED",
        "EDIT    4 AT       0.0000,      0.0000, DEPTH     0.500: NOT APPLIED, AN EDIT DEPTH MUST "
        "BE AT LEAST 1 FT",
        "1 GRID POINT CHANGE(S) BY 1 OF 4 EDIT(S)",
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
