// BUILD: nearest grid point, refusals, the fate grid and the deck.
#include <cmath>

#include "placer/kernels.hpp"
#include "placer/setup.hpp"
#include "placer_fixture.hpp"
#include "recio/records.hpp"

namespace {

using placer::BuildResult;
using placer::DumpConditions;

class Build : public PlacerFolder {
  protected:
    // 20 rows x 60 columns, 20 ft apart; depth 30 + 0.01 x point number.
    gridlib::SiteGrid grid =
        make_grid(20, 60, 20, [](int i) { return 30.0f + 0.01f * static_cast<float>(i); });
    placer::SiteFrame site = frame_of(grid);
    placer::DumpControl ctl = test_control();
    placer::Material mat = placer::material_properties(ctl);
    placer::Vessel vessel;
    placer::WorkGrid work;

    DumpConditions request(float e, float n) {
        DumpConditions c;
        c.req_e = e;
        c.req_n = n;
        c.tide = 1.5f;
        c.water_level = 41.5f;
        c.wave_height = 2.5f;
        c.wave_period = 8.0f;
        c.wave_direction = 270.0f;
        c.tstop = 1800.0f;
        c.tprint1 = 900.0f;
        c.tprint2 = 1800.0f;
        c.dumps_remaining = 4;
        return c;
    }
    BuildResult build(const DumpConditions& c) {
        return placer::BUILD(ctl, mat, vessel, site, grid.depth, c, work);
    }
    float depth_at(int r, int col) const {
        return grid.depth[static_cast<std::size_t>(r * 60 + col)];
    }
};

TEST_F(Build, DumpBetweenTwoPointsGoesToTheLowerNumber) {
    struct Case {
        float e, n;
        std::int32_t point;
    };
    const suitefiles::Position p = at_point(grid, 10, 30);  // point 631
    for (const Case& c : {Case{p.e + 10.0f, p.n, 631}, Case{p.e - 10.0f, p.n, 630},
                          Case{p.e, p.n - 10.0f, 631}, Case{p.e + 3.0f, p.n - 2.0f, 631}}) {
        BuildResult r = build(request(c.e, c.n));
        EXPECT_EQ(r.nearest, c.point) << c.e << " " << c.n;
        EXPECT_EQ(r.abort, 0);
        EXPECT_TRUE(r.deck_written);
    }
}

TEST_F(Build, RefusesDumpsOutsideTheSiteAndOnItsBoundary) {
    // Outside: farther than int(sqrt(2) x 20) + 2 = 30 ft from every point.
    BuildResult out = build(request(1000.0f - 31.0f, 5000.0f));
    EXPECT_EQ(out.abort, 1);
    EXPECT_EQ(out.nearest, 0);
    EXPECT_FLOAT_EQ(out.e, 969.0f);
    EXPECT_FALSE(fs::exists("CLDX.DUE"));
    // Just inside the search radius of the NW corner, but 20 rows x 23 columns
    // = 460 of the 45 x 45 nodes lie on the site: fewer than 44 x 44 / 4 = 484.
    BuildResult edge = build(request(1000.0f - 29.0f, 4800.0f));
    EXPECT_EQ(edge.abort, 1);
    EXPECT_EQ(edge.nearest, 601);
    EXPECT_EQ(edge.nodes, 460);
    EXPECT_FLOAT_EQ(edge.e, 971.0f);  // a refused load keeps its requested position
    EXPECT_FALSE(fs::exists("CLDX.DUE"));
    EXPECT_FALSE(edge.deck_written);
}

TEST_F(Build, FateGridTakesTheMeanDepthOffSiteAndWhereRowsWouldWrap) {
    // Dump on row 10, third-to-last column: offsets +3 and beyond would wrap
    // into the next row and take the mean instead (20 x 25 = 500 nodes on the site).
    const suitefiles::Position p = at_point(grid, 10, 57);
    const DumpConditions c = request(p.e, p.n);
    BuildResult r = build(c);
    ASSERT_EQ(r.abort, 0);
    EXPECT_FLOAT_EQ(r.e, p.e);
    float sum = 0.0f;
    int count = 0;
    for (int m = -22; m <= 22; ++m)
        for (int n = -22; n <= 22; ++n)
            if (10 + m >= 0 && 10 + m < 20 && 57 + n < 60) {
                sum += depth_at(10 + m, 57 + n);
                ++count;
            }
    EXPECT_EQ(r.nodes, count);
    EXPECT_NEAR(r.mean_depth, sum / static_cast<float>(count), 1e-4);
    EXPECT_EQ(r.nodes, 500);
    EXPECT_FLOAT_EQ(work.at(23, 23), depth_at(10, 57) + 1.5f);  // the dump node
    EXPECT_FLOAT_EQ(work.at(23, 25), depth_at(10, 59) + 1.5f);  // last column of the row
    EXPECT_FLOAT_EQ(work.at(23, 26), r.mean_depth + 1.5f);      // would wrap to row 11, column 0
    EXPECT_FLOAT_EQ(work.at(1, 1), r.mean_depth + 1.5f);        // north of the site
    EXPECT_FLOAT_EQ(work.at(13, 1), depth_at(0, 35) + 1.5f);    // row 10 - 10, column 57 - 22
}

// The deck read back with the fate model's own layouts gives the values written.
TEST_F(Build, DeckReadsBackWithTheFateModelLayouts) {
    ctl.nlayer = 2;
    ctl.nfrac = 2;
    placer::Fraction silt;
    silt.name = "SILT";
    silt.sg = 2.7f, silt.conc = 0.05f, silt.diameter = 0.02f, silt.void_ratio = 99.5f,
    silt.taucd = 0.015f;
    silt.cohesive = 1, silt.strip = 1;
    ctl.fractions.push_back(silt);
    ctl.nprofile = 2;
    ctl.profile_depth[1] = 50.0f;
    ctl.profile_density[1] = 1.027f;
    ctl.trel = 20.0f;
    ctl.heading = 45.0f;
    mat = placer::material_properties(ctl);
    ctl.vessel_speed = 2.0f;
    ctl.vessel_direction = 90.0f;
    vessel = placer::vessel_motion(ctl, 0.0f);
    DumpConditions c = request(at_point(grid, 10, 30).e, at_point(grid, 10, 30).n);
    c.current_x = 0.25f;
    c.current_y = -0.5f;
    BuildResult r = build(c);
    ASSERT_TRUE(r.deck_written);

    recio::RecordReader in("CLDX.DUE");
    std::string title, name;
    std::int32_t kvessel = 0, nmax = 0, mmax = 0, nsolid = 0, nlayer = 0, nbins = 0, key1 = 9,
                 kvary = 9, kwave = 0;
    std::int32_t kpdesc = 9, kpcoll = 9, nprt = 0, kdepth = 9, ndens = 0, kvel = 0;
    in.need("(A60)", title);
    EXPECT_EQ(title, recio::padded("CLOUDEX DATA-FILE USED FOR vexal", 60));
    in.need("(I5)", kvessel);
    in.need("(16I5)", nmax, mmax, nsolid, nlayer, nbins);
    in.need("(16I5)", key1, kvary, kwave);
    in.need("(16I5)", kpdesc, kpcoll, nprt);
    EXPECT_EQ(std::vector<int>({kvessel, nmax, mmax, nsolid, nlayer, nbins, key1, kvary, kwave,
                                kpdesc, kpcoll, nprt}),
              std::vector<int>({3, 44, 44, 2, 2, 1, 0, 0, 1, 0, 0, 2}));
    float depc = 0, dx = 0, dz = 0;
    in.need("(8F10.0)", depc, dx, dz);
    EXPECT_NEAR(depc, r.mean_depth, 0.005);
    EXPECT_FLOAT_EQ(dx, 20.0f);
    EXPECT_FLOAT_EQ(dz, 20.0f);
    in.need("(I5)", kdepth);
    EXPECT_EQ(kdepth, 0);
    std::vector<float> row(44);
    for (int m = 1; m <= 44; ++m) {
        in.need("(10F8.3)", recio::array(row.data(), 44));
        for (int n = 1; n <= 44; ++n)
            ASSERT_NEAR(row[static_cast<std::size_t>(n - 1)], work.at(m, n), 0.0005);
    }
    float xb = 0, zb = 0, rough = 0, zref = 0, hw = 0, tw = 0, dw = 0;
    in.need("(8F10.0)", xb, zb);
    // The release point moves back by half the travel of a vessel heading east at 2 ft/s for 20 s.
    EXPECT_NEAR(xb, 440.0f, 0.005);
    EXPECT_NEAR(zb, 440.0f - 20.0f, 0.005);
    in.need("(8F10.0)", rough, zref);
    in.need("(8F10.0)", hw, tw, dw);
    EXPECT_FLOAT_EQ(rough, 0.005f);
    EXPECT_FLOAT_EQ(zref, 3.0f);
    EXPECT_EQ(std::vector<float>({hw, tw, dw}), std::vector<float>({2.5f, 8.0f, 270.0f}));
    in.need("(16I5)", ndens);
    float pd[2] = {}, pr[2] = {};
    in.need("(8F10.0)", recio::array(pd, 2));
    in.need("(8F10.0)", recio::array(pr, 2));
    EXPECT_EQ(ndens, 2);
    EXPECT_FLOAT_EQ(pd[1], 50.0f);
    EXPECT_FLOAT_EQ(pr[1], 1.027f);
    in.need("(16I5)", kvel);
    EXPECT_EQ(kvel, 1);
    float vax = 0, vaz = 0, dobs = 0, tstop = 0, dtl = 0, trel = 0;
    in.need("(8F10.0)", vax, vaz, dobs);
    EXPECT_EQ(std::vector<float>({vax, vaz, dobs}), std::vector<float>({0.25f, -0.5f, 41.5f}));
    in.need("(8F10.0)", tstop, dtl, trel);
    EXPECT_EQ(std::vector<float>({tstop, dtl, trel}), std::vector<float>({1800.0f, 300.0f, 20.0f}));
    float v[9] = {};
    in.need("(9E10.0)", recio::array(v, 9));
    EXPECT_NEAR(v[0], mat.sim_length, 0.005);
    EXPECT_FLOAT_EQ(v[1], 32.0f);
    EXPECT_FLOAT_EQ(v[2], 12.0f);
    EXPECT_FLOAT_EQ(v[3], 4.0f);
    EXPECT_FLOAT_EQ(v[8], 45.0f);
    for (int layer = 0; layer < 2; ++layer) {
        float cu = 0, cw = 0, vol = 0;
        in.need("(9E10.0)", cu, cw, vol);
        EXPECT_NEAR(cu, vessel.vx, 0.00005);
        EXPECT_NEAR(cw, 2.0f, 0.00005);
        EXPECT_FLOAT_EQ(vol, 500.0f);
        for (std::size_t i = 0; i < 2; ++i) {
            const placer::Fraction& f = ctl.fractions[i];
            float sg = 0, conc = 0, fall = 0, voidr = 0, taucd = 0;
            std::int32_t kcohes = 9, kstrip = 9, third = 9;
            in.need("(A8,2X,5E10.0,3I5)", name, sg, conc, fall, voidr, taucd, kcohes, kstrip,
                    third);
            EXPECT_EQ(name, recio::padded(f.name, 8));
            EXPECT_FLOAT_EQ(sg, f.sg);
            EXPECT_FLOAT_EQ(conc, f.conc);
            EXPECT_NEAR(fall, mat.fall[i], 0.000005);
            EXPECT_FLOAT_EQ(voidr, f.void_ratio);
            EXPECT_FLOAT_EQ(taucd, f.taucd);
            EXPECT_EQ(kcohes, f.cohesive);
            EXPECT_EQ(kstrip, f.strip);
            EXPECT_EQ(third, 0);
        }
    }
    float tp[2] = {};
    in.need("(8F10.0)", recio::array(tp, 2));
    EXPECT_EQ(std::vector<float>(tp, tp + 2), std::vector<float>({900.0f, 1800.0f}));
    std::string rest;
    EXPECT_FALSE(in.next_record(rest));
}

// Over a site much shallower than the water level, a current that carries
// settling material past the release point's distance from the grid edge is
// given at the mean depth; otherwise at the water level.
TEST_F(Build, CurrentDepthIsTheMeanDepthWhenSettlingDriftsTooFar) {
    grid = make_grid(20, 60, 20, [](int) { return 40.0f; });
    mat.min_fall = 0.1f;
    struct Case {
        float current_x, level, depth_written;
    };
    // x0 = 22 x 20 = 440 ft; threshold (40 / 0.1) x current x 50/40 x 0.7.
    for (const Case& k :
         {Case{0.5f, 50.0f, 50.0f}, Case{2.0f, 50.0f, 40.0f}, Case{2.0f, 43.0f, 43.0f}}) {
        DumpConditions c = request(at_point(grid, 10, 30).e, at_point(grid, 10, 30).n);
        c.current_x = k.current_x;
        c.water_level = k.level;
        ASSERT_TRUE(build(c).deck_written);
        // Seven records, 44 rows of 5 depth records, seven more, then the current.
        recio::RecordReader in("CLDX.DUE");
        ASSERT_TRUE(in.skip(7 + 44 * 5 + 7));
        float vax = 0, vaz = 0, d = 0;
        in.need("(8F10.0)", vax, vaz, d);
        EXPECT_FLOAT_EQ(vax, k.current_x);
        EXPECT_NEAR(d, k.depth_written, 0.005) << k.current_x << " " << k.level;
    }
}

// A value its deck field cannot hold (a current of 1E9 ft/s) would reach
// the fate model as asterisks: no deck is written and the record is named.
TEST_F(Build, ValueBeyondItsDeckFieldWritesNoDeck) {
    DumpConditions c = request(1600.0f, 4800.0f);
    c.current_x = 1.0E9f;
    const BuildResult b = build(c);
    EXPECT_FALSE(b.deck_written);
    EXPECT_EQ(
        b.deck_problem.rfind("CLDX.DUE RECORD 235, FIELD 1: A VALUE DOES NOT FIT ITS FIELD", 0), 0u)
        << b.deck_problem;
    EXPECT_FALSE(fs::exists("CLDX.DUE"));
    c.current_x = 0.5f;
    EXPECT_TRUE(build(c).deck_written);
}

}  // namespace
