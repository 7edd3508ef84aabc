// The site's history as the driver keeps it: snapshots in time order, the
// long-term model's grids taken onto the site and back from the thickness
// form, and the file staged in the run's set of output files.
#include "placer/history.hpp"

#include <algorithm>

#include "placer/setup.hpp"
#include "placer_fixture.hpp"
#include "recio/file_set.hpp"

namespace {

using suitefiles::SnapshotKind;

class History : public PlacerFolder {
  protected:
    // A 4 x 6 site at 20 ft, depths 40 + 0.1 x point number.
    gridlib::SiteGrid g = make_grid(4, 6, 20, [](int i) { return 40.0f + 0.1f * i; });
    placer::SiteHistory history;

    placer::LongTermFrame frame() const {
        placer::LongTermFrame f;
        f.site = gridlib::geometry_of(g, g.local_nw_e, g.local_nw_n);
        f.we_extent = 5 * 20;
        f.ns_extent = 3 * 20;
        return f;
    }
    // RUN1.TNS and a PLOTBATH.DAT of grids at the given hours, each grid
    // the lattice value `value(I, J, grid)`.
    template <class F>
    static void write_run(const std::vector<std::int32_t>& hours, F value) {
        std::vector<std::string> r;
        add(r, "(10X,F5.1)", 20.0f);
        add(r, "(A60)", std::string("TEST SITE"));
        write_records("RUN1.TNS", r);
        suitefiles::PlotBathSeries s;
        s.header = {0.2f, 0.025f, 20.0f, 20.0f};
        auto grid = [&](int k) {
            std::vector<float> d;
            for (int i = 1; i <= 6; ++i)
                for (int j = 1; j <= 4; ++j) d.push_back(value(i, j, k));
            return d;
        };
        s.initial.depth = grid(0);
        for (std::size_t k = 0; k < hours.size(); ++k)
            s.grids.push_back({hours[k], grid(static_cast<int>(k) + 1), 0});
        s.complete = true;
        write_records("PLOTBATH.DAT", suitefiles::plotbath_records(s));
    }
    suitefiles::History stored() {
        recio::FileSet set("RUN1.SET");
        EXPECT_TRUE(history.store("RUN1.HIS", set));
        EXPECT_TRUE(set.commit());
        recio::RecordReader in("RUN1.HIS");
        return suitefiles::read_history(in);
    }
};

// The long-term grids come onto the site's points (J = 1 the southern row);
// one at or before the last snapshot (the long-term model's first step
// after a week's start) is left out, the run's last grid never.
TEST_F(History, LongTermGridsAfterTheLastSnapshotAreTakenOntoTheSite) {
    history.begin(6, 4, 20, 8, 2019, g.depth);
    history.add(SnapshotKind::DisposalWeek, 312, g.depth);
    write_run({168, 336}, [](int i, int j, int k) { return 100.0f * k + 10.0f * i + j; });
    history.add_long_term_outputs("RUN1.TNS", "PLOTBATH.DAT", g.depth, {}, frame());
    history.add(SnapshotKind::FinalSite, history.last_hours(), g.depth);
    const suitefiles::History h = stored();
    ASSERT_EQ(h.snapshots.size(), 4u);
    EXPECT_EQ(h.snapshots[2].kind, SnapshotKind::LongTermOutput);
    EXPECT_EQ(h.snapshots[2].hours, 336);
    EXPECT_EQ(h.snapshots[2].date, "2019-08-15");
    EXPECT_FLOAT_EQ(h.snapshots[2].depth[0], 214.0f);   // NW: I = 1, J = 4, grid 2
    EXPECT_FLOAT_EQ(h.snapshots[2].depth[23], 261.0f);  // SE: I = 6, J = 1
    EXPECT_EQ(h.snapshots[3].hours, 336);
    EXPECT_FLOAT_EQ(h.snapshots[3].depth[0], g.depth[0]);
}

// A cohesive run's long-term grids are the thickness form over the base
// surface: the history holds them as site depths again.
TEST_F(History, ThicknessFormComesBackAsSiteDepths) {
    history.begin(6, 4, 20, 1, 2020, g.depth);
    std::vector<float> base = g.depth, run_form = g.depth;
    const float ref = 45.0f;
    placer::to_thickness_form(run_form, base, ref, 24);
    // The model leaves the flat bed and a 2 ft mound at lattice node (3, 2).
    write_run({168},
              [&](int i, int j, int k) { return k == 1 && i == 3 && j == 2 ? ref - 2.0f : ref; });
    history.add_long_term_outputs("RUN1.TNS", "PLOTBATH.DAT", run_form, {&base, ref}, frame());
    const suitefiles::History h = stored();
    ASSERT_EQ(h.snapshots.size(), 2u);
    const std::vector<float>& d = h.snapshots[1].depth;
    for (std::size_t p = 0; p < 24; ++p) {
        const bool mound = p == 2 * 6 + 2;  // row 2 from the north (J = 2), column 3
        EXPECT_NEAR(d[p], base[p] - (mound ? 2.0f : 0.0f), 0.0005) << p;
    }
}

// A grid the site files could not hold, an unreadable series and missing
// files add nothing; the history stays readable.
TEST_F(History, GridsTheSiteCannotHoldAndMissingFilesAddNothing) {
    history.begin(6, 4, 20, 8, 2019, g.depth);
    write_run({168, 336}, [](int, int, int) { return 40.0f; });
    // The first depth of the grid at 168 h, as a value no F8.3 field holds.
    std::vector<std::string> plot = lines("PLOTBATH.DAT");
    const auto at = std::find(plot.begin(), plot.end(), "     ELAPSED TIME =        168 HOURS");
    ASSERT_NE(at, plot.end());
    (at + 1)->replace(0, 8, "  1.0E30");
    write_records("PLOTBATH.DAT", plot);
    history.add_long_term_outputs("RUN1.TNS", "PLOTBATH.DAT", g.depth, {}, frame());
    history.add_long_term_outputs("NONE.TNS", "PLOTBATH.DAT", g.depth, {}, frame());
    write_file("PLOTBATH.DAT", " TIME =   00 HR\nnot a series\n");
    history.add_long_term_outputs("RUN1.TNS", "PLOTBATH.DAT", g.depth, {}, frame());
    const suitefiles::History h = stored();
    ASSERT_EQ(h.snapshots.size(), 2u);  // the start and the grid at 336 h
    EXPECT_EQ(h.snapshots[1].hours, 336);
    EXPECT_FLOAT_EQ(h.snapshots[1].depth[5], 40.0f);
}

// Snapshots run forward in time: one given an earlier time takes the last.
TEST_F(History, SnapshotsNeverRunBackwards) {
    history.begin(6, 4, 20, 8, 2019, g.depth);
    history.add(SnapshotKind::LongTermOutput, 171, g.depth);
    history.add(SnapshotKind::DisposalWeek, 168, g.depth);
    EXPECT_EQ(history.last_hours(), 171);
    EXPECT_EQ(stored().snapshots.back().hours, 171);
}

}  // namespace
