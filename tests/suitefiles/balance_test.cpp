// The material balance files: the per-load CSV and the totals of the text
// file read back as written; values that cannot be read are named.
#include "suitefiles/balance.hpp"

#include <gtest/gtest.h>

#include "files_fixture.hpp"
#include "recio/format.hpp"

namespace {

using suitefiles_test::bytes;
using suitefiles_test::Folder;
using suitefiles_test::write_text;

using suitefiles::LoadBalance;
using suitefiles::LoadStatus;

class Balance : public Folder {};

LoadBalance load(std::int32_t n, LoadStatus s) {
    LoadBalance l;
    l.load = n;
    l.step = 3 * n;
    l.date = "2019-08-01 09:00";
    l.requested_e = 12544.9961, l.requested_n = 27379.7188;
    l.e = 12550.0, l.n = 27400.0;
    l.volume_cy = 2000;
    l.released_cuft = 26999.9994;
    l.settled_cuft = 24300;
    l.suspended_cuft = 2699.9994;
    l.added_cy = 1575.80376;
    l.status = s;
    l.bottom_shear = 0.0217f;
    l.fractions = {{"SAND", 24300, 24300, 0, 0.02f}, {"SILT", 2700, 0, 2700, 0.01f}};
    return l;
}

TEST_F(Balance, PerLoadRowsReadBackByTheirColumnNames) {
    const std::vector<LoadBalance> loads = {
        load(1, LoadStatus::Placed), load(2, LoadStatus::Refused), load(3, LoadStatus::Failed)};
    ASSERT_TRUE(suitefiles::write_balance_csv("RUN.CSV", loads));
    const std::string head = bytes("RUN.CSV").substr(0, bytes("RUN.CSV").find('\n'));
    EXPECT_EQ(head,
              "load,step,date,requested_easting,requested_northing,easting,northing,volume_cy,"
              "solids_released_cuft,solids_settled_cuft,added_to_site_cy,suspended_cuft,"
              "carried_out_cuft,status,dump_bottom_shear_lbft2,settled_cuft_SAND,suspended_cuft_"
              "SAND,settled_cuft_SILT,"
              "suspended_cuft_SILT");
    std::vector<LoadBalance> back;
    ASSERT_TRUE(suitefiles::read_balance_csv("RUN.CSV", back));
    ASSERT_EQ(back.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].load, loads[i].load);
        EXPECT_EQ(back[i].step, loads[i].step);
        EXPECT_EQ(back[i].date, loads[i].date);
        EXPECT_EQ(back[i].status, loads[i].status);
        EXPECT_NEAR(back[i].requested_e, loads[i].requested_e, 1e-4);
        EXPECT_NEAR(back[i].released_cuft, loads[i].released_cuft, 1e-3);
        EXPECT_NEAR(back[i].suspended_cuft, loads[i].suspended_cuft, 1e-3);
        EXPECT_NEAR(back[i].added_cy, loads[i].added_cy, 1e-4);
        EXPECT_FLOAT_EQ(back[i].bottom_shear, 0.0217f);
        ASSERT_EQ(back[i].fractions.size(), 2u);
        EXPECT_EQ(back[i].fractions[1].name, "SILT");
        EXPECT_EQ(back[i].fractions[1].suspended_cuft, 2700);
    }
    // Columns in another order, and one more, are found by their names.
    write_text("MOVED.CSV",
               "status,load,step,date,requested_easting,requested_northing,easting,"
               "northing,volume_cy,solids_released_cuft,solids_settled_cuft,"
               "added_to_site_cy,suspended_cuft,carried_out_cuft,note\n"
               "refused,7,21,2019-08-03 15:00,1,2,1,2,2000,0,0,0,0,0,by hand\n");
    ASSERT_TRUE(suitefiles::read_balance_csv("MOVED.CSV", back));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].load, 7);
    EXPECT_EQ(back[0].status, LoadStatus::Refused);
}

TEST_F(Balance, UnreadableValuesAndMissingColumnsAreNamed) {
    ASSERT_TRUE(suitefiles::write_balance_csv("RUN.CSV", {load(1, LoadStatus::Placed)}));
    std::string t = bytes("RUN.CSV");
    t.replace(t.find(",placed,"), 8, ",lost,");
    write_text("BAD.CSV", t);
    std::vector<LoadBalance> back;
    try {
        suitefiles::read_balance_csv("BAD.CSV", back);
        FAIL() << "no error";
    } catch (const recio::RecordError& e) {
        EXPECT_NE(std::string(e.what()).find("BAD.CSV, ROW 2, COLUMN status"), std::string::npos)
            << e.what();
    }
    write_text("NUM.CSV", t.substr(0, t.find('\n') + 1) + "1,x3,d,1,2,3,4,5,6,7,8,9,10,placed\n");
    EXPECT_THROW(suitefiles::read_balance_csv("NUM.CSV", back), recio::RecordError);
    write_text("HEAD.CSV", "load,step\n1,2\n");
    EXPECT_FALSE(suitefiles::read_balance_csv("HEAD.CSV", back));
    EXPECT_FALSE(suitefiles::read_balance_csv("NONE.CSV", back));
}

TEST_F(Balance, TotalsSectionReadsBackFromTheText) {
    suitefiles::BalanceReport r;
    r.site = "NEWPRT";
    r.output = "NPSAND";
    r.seed = 48;
    r.seeded = true;
    r.loads = {load(1, LoadStatus::Placed)};
    r.long_term.push_back({0, 171, -1.5, 8.8, 7.3, 0.0, 0.002f, 7.46, false});
    r.warnings = {"LOAD 1 LEFT 10.0 % OF ITS SOLIDS SUSPENDED"};
    r.totals.set("loads_made", 1);
    r.totals.set("volume_on_site_cy", 44107.8691);
    r.totals.set("seed", 48);
    r.totals.set("loads_made", 2);  // set again: replaced, not repeated
    ASSERT_TRUE(suitefiles::write_balance_text("RUN.BAL", r));
    const std::string text = bytes("RUN.BAL");
    EXPECT_NE(text.find("SEED OF THE RANDOM SCATTER: 48"), std::string::npos);
    EXPECT_NE(text.find("  LOAD 1 LEFT 10.0 %"), std::string::npos);
    suitefiles::BalanceTotals t;
    ASSERT_TRUE(suitefiles::read_balance_totals("RUN.BAL", t));
    ASSERT_EQ(t.values.size(), 3u);
    EXPECT_EQ(t.get("loads_made"), 2);
    EXPECT_NEAR(t.get("volume_on_site_cy"), 44107.8691, 1e-4);
    EXPECT_EQ(t.get("absent", -7), -7);
    write_text("PLAIN.BAL", "no totals here\n");
    EXPECT_FALSE(suitefiles::read_balance_totals("PLAIN.BAL", t));
    // The erosion held back by a non-erodible bed.
    ASSERT_TRUE(suitefiles::write_bed_held("BEDHELD.DAT", 1234.5));
    double held = 0;
    ASSERT_TRUE(suitefiles::read_bed_held("BEDHELD.DAT", held));
    EXPECT_DOUBLE_EQ(held, 1234.5);
    EXPECT_FALSE(suitefiles::read_bed_held("NONE.DAT", held));
    // The consolidation of a long-term run: written, read back, and zeros
    // from a file that is missing or does not hold the record.
    ASSERT_TRUE(suitefiles::write_settlement("SETTLED.DAT", {1.25, 98765.432}));
    EXPECT_EQ(bytes("SETTLED.DAT"), "           1.250       98765.432\n");
    suitefiles::Settlement s;
    ASSERT_TRUE(suitefiles::read_settlement("SETTLED.DAT", s));
    EXPECT_DOUBLE_EQ(s.settlement_ft, 1.25);
    EXPECT_DOUBLE_EQ(s.volume_cuft, 98765.432);
    EXPECT_FALSE(suitefiles::read_settlement("NONE.DAT", s));
    write_text("BAD.DAT", "settled\n");
    EXPECT_FALSE(suitefiles::read_settlement("BAD.DAT", s));
    EXPECT_EQ(s.volume_cuft, 0.0);
}

}  // namespace
