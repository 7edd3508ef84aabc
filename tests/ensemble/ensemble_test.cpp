// ensemble: percentiles and exceedance against hand-computed values, the
// per-load table and plans file readers, and whole ensembles on the local
// engine in a temporary folder.
#include "ensemble/ensemble.hpp"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "results/errors.hpp"

namespace fs = std::filesystem;
using namespace ensemble;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::trunc);
    out << text;
}

struct TempDir {
    fs::path path;
    TempDir() {
        char name[] = "/tmp/ensemble-test.XXXXXX";
        path = mkdtemp(name);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

}  // namespace

// ---- kernels

TEST(Percentile, LinearBetweenSortedValues) {
    struct Case {
        std::vector<float> values;
        double p, expected;
    };
    const Case cases[] = {
        {{5}, 0.95, 5},                   // one member: every percentile is its value
        {{3, 1, 2}, 0.5, 2},              // the median of an odd count
        {{4, 1, 3, 2}, 0.5, 2.5},         // halfway between the middle two
        {{10, 20}, 0.05, 10.5},           // rank 0.05 of 1
        {{10, 20}, 0.95, 19.5},           // rank 0.95
        {{0, 10, 20, 30, 40}, 0.95, 38},  // rank 3.8: 30 + 0.8 x 10
        {{7, 7, 7}, 0.05, 7},
    };
    for (const Case& c : cases) {
        std::vector<float> v = c.values;
        EXPECT_NEAR(percentile(v, c.p), c.expected, 1e-6) << "p " << c.p;
    }
}

TEST(PointStats, EveryPointOverTheMembers) {
    // Three members, two points.
    const std::vector<std::vector<float>> v = {{60, 10}, {50, 30}, {55, 20}};
    const PointStats s = point_stats(v);
    EXPECT_FLOAT_EQ(s.mean[0], 55);
    EXPECT_FLOAT_EQ(s.min[0], 50);
    EXPECT_FLOAT_EQ(s.p50[0], 55);
    EXPECT_FLOAT_EQ(s.p05[0], 50.5f);  // rank 0.1: 50 + 0.1 x 5
    EXPECT_FLOAT_EQ(s.p95[0], 59.5f);  // rank 1.9: 55 + 0.9 x 5
    EXPECT_FLOAT_EQ(s.mean[1], 20);
    EXPECT_FLOAT_EQ(s.min[1], 10);
    EXPECT_FLOAT_EQ(s.p95[1], 29);
}

TEST(Exceedance, IntegerPartOfTheDepthAtMostTheNavigableDepth) {
    // Navigable depth 40: 40.9 counts (integer part 40), 41.0 does not,
    // 39.5 does; the shares are over the four members.
    const std::vector<std::vector<float>> depths = {
        {40.9f, 41.0f, 60.0f}, {41.0f, 41.0f, 39.5f}, {39.5f, 42.0f, 60.0f}, {50.0f, 40.0f, 60.0f}};
    const std::vector<float> p = exceedance(depths, 40);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_FLOAT_EQ(p[0], 0.5f);
    EXPECT_FLOAT_EQ(p[1], 0.25f);
    EXPECT_FLOAT_EQ(p[2], 0.25f);
}

// ---- readers

TEST(LoadTable, ReadsItsColumnsByNameAmongOthers) {
    TempDir t;
    const fs::path f = t.path / "OUT.CSV";
    // Columns in another order, an extra column, a quoted field with a comma.
    write(f,
          "load,step,date,requested_easting,requested_northing,easting,northing,volume_cy,"
          "solids_released_cuft,solids_settled_cuft,added_to_site_cy,suspended_cuft,status,"
          "note\n"
          "1,1,2019-08-01,100,200,100,200,2000,5000,4900,1900,100.5,placed,\"a, b\"\n"
          "2,1,2019-08-01,100,200,100,200,2000,0,0,0,0,refused,\n"
          "\n"
          "3,2,2019-08-01,100,200,100,200,2000,0,0,0,25,failed,x\n");
    const LoadTable lt = read_load_table(f.string());
    EXPECT_TRUE(lt.found);
    EXPECT_EQ(lt.loads, 3);
    EXPECT_EQ(lt.refused, 1);
    EXPECT_EQ(lt.failed, 1);
    EXPECT_DOUBLE_EQ(lt.suspended_cuft, 125.5);
    EXPECT_FALSE(read_load_table((t.path / "NONE.CSV").string()).found);
}

TEST(LoadTable, BadRowsNamedByRowAndColumn) {
    TempDir t;
    const fs::path f = t.path / "OUT.CSV";
    struct Case {
        std::string text, message;
    };
    const Case cases[] = {
        {"status,suspended_cuft\nplaced,abc\n", "ROW 2, COLUMN suspended_cuft"},
        {"status,suspended_cuft\nplaced,1\nlost,1\n", "ROW 3, COLUMN status"},
        {"status,suspended_cuft\nplaced\n", "ROW 2: 1 FIELDS"},
        {"load,status\n1,placed\n", "NO COLUMN suspended_cuft"},
        {"", "NO HEAD ROW"},
    };
    for (const Case& c : cases) {
        write(f, c.text);
        try {
            read_load_table(f.string());
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const results::InputError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(Plans, DefaultsFilesAndMistakes) {
    TempDir t;
    write(t.path / "DUMP.INI", "x\n");
    const fs::path f = t.path / "plans.txt";
    write(f, "# name members seed files\n\nnear - -\nfar 3 100 DUMP.INI\n");
    const std::vector<Plan> plans = read_plans(f.string(), 5, 42);
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(plans[0].name, "near");
    EXPECT_EQ(plans[0].members, 5);
    EXPECT_EQ(plans[0].seed, 42u);
    EXPECT_EQ(plans[1].members, 3);
    EXPECT_EQ(plans[1].seed, 100u);
    ASSERT_EQ(plans[1].files.size(), 1u);
    EXPECT_EQ(fs::path(plans[1].files[0]).filename(), "DUMP.INI");

    const std::vector<Member> m = plan_members(plans, (t.path / "out").string());
    ASSERT_EQ(m.size(), 8u);
    EXPECT_EQ(m[5].id(), "far-0001");
    EXPECT_EQ(m[7].seed, 102u);

    struct Case {
        std::string text, message;
    };
    const Case cases[] = {
        {"a 2\n", "LINE 1: A PLAN IS"},
        {"a two 1\n", "LINE 1, MEMBERS"},
        {"a 0 1\n", "AT LEAST ONE MEMBER"},
        {"a 1 4294967296\n", "LINE 1, SEED"},
        {"a 1 1\na 1 1\n", "LINE 2, NAME: PLAN a IS NAMED TWICE"},
        {"a/b 1 1\n", "LINE 1, NAME"},
        {"a 1 1 NOPE.INI\n", "LINE 1, FILE 1: NOT FOUND"},
        {"# nothing\n", "HOLDS NO PLAN"},
    };
    for (const Case& c : cases) {
        write(f, c.text);
        try {
            read_plans(f.string(), 1, 1);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const results::InputError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

// ---- whole runs on the local engine

// The example site made by sitegen, with six loads instead of 36 (the plans
// below only differ in what they need).
class EnsembleRun : public ::testing::Test {
  protected:
    TempDir tmp;
    fs::path run = tmp.path / "run";
    void SetUp() override {
        fs::create_directories(run);
        for (const auto& e :
             fs::directory_iterator(fs::path(TEST_DATA_DIR) / "../examples/newport"))
            fs::copy_file(e.path(), run / e.path().filename());
        write(run / "ACTION.BAT", "GRIDYES\n");
        ASSERT_EQ(shell("cd '" + run.string() + "' && " + SUITE_BIN_DIR +
                        "/sitegen < /dev/null > sitegen.log"),
                  0);
        std::string dump = slurp(run / "DUMP.INI");
        const std::string loads = "       36    72000";
        ASSERT_NE(dump.find(loads), std::string::npos);
        dump.replace(dump.find(loads), loads.size(), "        6    12000");
        write(run / "DUMP.INI", dump);
    }
    static int shell(const std::string& command) {
        const int s = std::system(command.c_str());
        return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    }
    int ensemble(const std::string& args, const std::string& log = "ensemble.log") {
        return shell(std::string(SUITE_BIN_DIR) + "/ensemble '" + run.string() + "' " + args +
                     " > '" + (tmp.path / log).string() + "' 2>&1");
    }
};

TEST_F(EnsembleRun, SameSeedSameOutputsAndAFailedPlanNamedWhileTheOthersAreKept) {
    // Plans "a" and "b" run the same activity with the same seeds: placer
    // --seed must give byte-identical files. Plan "bad" cannot read its waves.
    fs::create_directories(tmp.path / "bad");
    write(tmp.path / "bad" / "WAVREC.OUT", "NOT A WAVE RECORD\n");
    write(tmp.path / "plans.txt", "a - 7\nb - 7\nbad 1 7 bad/WAVREC.OUT\n");
    const fs::path out = tmp.path / "out";
    EXPECT_EQ(ensemble("--members 2 --plans '" + (tmp.path / "plans.txt").string() + "' -o '" +
                       out.string() + "'"),
              1)
        << slurp(tmp.path / "ensemble.log");
    const std::string log = slurp(tmp.path / "ensemble.log");
    EXPECT_NE(log.find("bad-0001"), std::string::npos) << log;

    for (const char* f : {"NPSAND.IN", "NPSAND.ACT", "NPSAND.TNS", "PLOTBATH.DAT", "CLDX.DUT"})
        for (const char* m : {"0001", "0002"})
            EXPECT_EQ(slurp(out / "members" / (std::string("a-") + m) / f),
                      slurp(out / "members" / (std::string("b-") + m) / f))
                << f << " of member " << m;
    EXPECT_NE(slurp(out / "members/a-0001/NPSAND.IN"), slurp(out / "members/a-0002/NPSAND.IN"));

    // members.csv: one row per member with its seed; the failed one has no figures.
    std::ifstream csv(out / "members.csv");
    std::string line;
    std::vector<std::string> rows;
    while (std::getline(csv, line)) rows.push_back(line);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1].rfind("a,1,7,done,0,", 0), 0u) << rows[1];
    EXPECT_EQ(rows[2].rfind("a,2,8,done,0,", 0), 0u) << rows[2];
    EXPECT_EQ(rows[5].rfind("bad,1,7,failed,1,,", 0), 0u) << rows[5];
    // The volume on the site is the same for a and b, member by member.
    EXPECT_EQ(rows[1].substr(2, rows[1].find(",/") - 2), rows[3].substr(2, rows[3].find(",/") - 2));

    // ensemble.nc: the named variables, one plane per plan, the bad plan NaN.
    int nc = -1;
    ASSERT_EQ(nc_open((out / "ensemble.nc").c_str(), NC_NOWRITE, &nc), NC_NOERR);
    int nvars = 0;
    nc_inq_nvars(nc, &nvars);
    std::vector<std::string> names;
    for (int v = 0; v < nvars; ++v) {
        char name[NC_MAX_NAME + 1];
        nc_inq_varname(nc, v, name);
        names.push_back(name);
    }
    const std::vector<std::string> expected = {"x",
                                               "y",
                                               "crs",
                                               "exceedance_probability",
                                               "depth_mean",
                                               "depth_min",
                                               "depth_p05",
                                               "depth_p50",
                                               "depth_p95",
                                               "thickness_p50",
                                               "thickness_p95"};
    EXPECT_EQ(names, expected);
    int var = -1;
    nc_inq_varid(nc, "depth_min", &var);
    std::size_t dims[3] = {0, 0, 0};
    int dimids[3];
    nc_inq_vardimid(nc, var, dimids);
    for (int k = 0; k < 3; ++k) nc_inq_dimlen(nc, dimids[k], &dims[k]);
    EXPECT_EQ(dims[0], 3u);
    std::vector<float> v(dims[0] * dims[1] * dims[2]);
    nc_get_var_float(nc, var, v.data());
    const std::size_t plane = dims[1] * dims[2];
    EXPECT_TRUE(std::isfinite(v[0]));
    EXPECT_TRUE(std::isnan(v[2 * plane]));
    // The least depth over the members never lies below the mean.
    std::vector<float> mean(v.size());
    nc_inq_varid(nc, "depth_mean", &var);
    nc_get_var_float(nc, var, mean.data());
    for (std::size_t i = 0; i < plane; ++i) ASSERT_LE(v[i], mean[i] + 1e-4f) << i;
    nc_close(nc);
    for (const char* png : {"a-exceedance.png", "b-thickness-p50.png", "a-thickness-p95.png"})
        EXPECT_TRUE(fs::file_size(out / "maps" / png) > 1000) << png;
    EXPECT_FALSE(fs::exists(out / "maps/bad-exceedance.png"));
}

TEST_F(EnsembleRun, ARerunRunsOnlyWhatIsMissingAndKeepsTheSeeds) {
    const fs::path out = tmp.path / "out";
    ASSERT_EQ(ensemble("--members 3 --seed 5 -o '" + out.string() + "'"), 0)
        << slurp(tmp.path / "ensemble.log");
    const std::string before = slurp(out / "members.csv");
    const auto kept = fs::last_write_time(out / "members/base-0001/MEMBER.STATUS");
    // Member 2 is lost, as if its run had been killed.
    fs::remove_all(out / "members/base-0002");
    // Without --seed the rerun keeps the seeds of the first run.
    ASSERT_EQ(ensemble("--members 3 -o '" + out.string() + "'", "rerun.log"), 0)
        << slurp(tmp.path / "rerun.log");
    EXPECT_NE(slurp(tmp.path / "rerun.log").find("1 TO RUN"), std::string::npos)
        << slurp(tmp.path / "rerun.log");
    EXPECT_EQ(fs::last_write_time(out / "members/base-0001/MEMBER.STATUS"), kept);
    EXPECT_EQ(slurp(out / "members.csv"), before);
    // Another ensemble in the same folder is refused.
    EXPECT_EQ(ensemble("--members 4 --seed 5 -o '" + out.string() + "'", "other.log"), 1);
    EXPECT_NE(slurp(tmp.path / "other.log").find("HOLDS ANOTHER ENSEMBLE"), std::string::npos);
}

TEST_F(EnsembleRun, BadCommandLinesAndRunFolders) {
    const std::string out = " -o '" + (tmp.path / "out").string() + "'";
    EXPECT_EQ(ensemble("--members 0" + out), 2);
    EXPECT_EQ(ensemble("--members 2 --engine cloud" + out), 2);
    EXPECT_EQ(ensemble("--members 2"), 2);  // no output folder
    EXPECT_EQ(ensemble(out), 1);            // no member count
    // A data directory in DUMP.INI would make every member write to it.
    std::string dump = slurp(run / "DUMP.INI");
    dump.replace(0, dump.find('\n'), "/tmp/shared/");
    write(run / "DUMP.INI", dump);
    EXPECT_EQ(ensemble("--members 2" + out), 1);
    EXPECT_NE(slurp(tmp.path / "ensemble.log").find("RECORD 1: THE DATA DIRECTORY MUST BE BLANK"),
              std::string::npos)
        << slurp(tmp.path / "ensemble.log");
}
