// The site history file: its records, a round trip, the dates of its
// snapshots and the faults its reader names.
#include "suitefiles/history.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recio/held_records.hpp"

namespace {

using suitefiles::History;
using suitefiles::Snapshot;
using suitefiles::SnapshotKind;

History small_history() {
    History h;
    h.points_we = 3;
    h.points_ns = 4;
    h.interval = 50;
    h.start_month = 8;
    h.start_year = 2019;
    const SnapshotKind kinds[] = {SnapshotKind::Start, SnapshotKind::DisposalWeek,
                                  SnapshotKind::LongTermOutput, SnapshotKind::FinalSite};
    const std::int32_t hours[] = {0, 156, 171, 171};
    for (int k = 0; k < 4; ++k) {
        Snapshot s;
        s.kind = kinds[k];
        s.hours = hours[k];
        s.date = suitefiles::history_date(8, 2019, s.hours);
        for (int p = 0; p < 12; ++p) s.depth.push_back(40.0f + 0.125f * p - 0.5f * k);
        h.snapshots.push_back(s);
    }
    return h;
}

History read_back(const std::vector<std::string>& records) {
    recio::HeldRecords in("X.HIS", records);
    in.require_whole_fields();
    return suitefiles::read_history(in);
}

TEST(History, RecordsAreTheLayoutAndReadBackUnchanged) {
    const History h = small_history();
    const std::vector<std::string> r = suitefiles::history_records(h);
    ASSERT_EQ(r.size(), 1u + 4u * 3u + 1u);  // header, 4 x (snapshot + 2 depth records), end
    EXPECT_EQ(r[0], " SITE HISTORY     3     4    50     8  2019");
    EXPECT_EQ(r[1], " SNAPSHOT AT       0 HOURS  2019-08-01             START");
    EXPECT_EQ(r[2],
              "  40.000  40.125  40.250  40.375  40.500  40.625  40.750  40.875  41.000  41.125");
    EXPECT_EQ(r[3], "  41.250  41.375");
    EXPECT_EQ(r[7], " SNAPSHOT AT     171 HOURS  2019-08-08  LONG-TERM OUTPUT");
    EXPECT_EQ(r.back(), " END OF HISTORY");

    const History b = read_back(r);
    EXPECT_EQ(b.points_we, 3);
    EXPECT_EQ(b.points_ns, 4);
    EXPECT_EQ(b.interval, 50);
    EXPECT_EQ(b.start_month, 8);
    EXPECT_EQ(b.start_year, 2019);
    ASSERT_EQ(b.snapshots.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(b.snapshots[k].kind, h.snapshots[k].kind);
        EXPECT_EQ(b.snapshots[k].hours, h.snapshots[k].hours);
        EXPECT_EQ(b.snapshots[k].date, h.snapshots[k].date);
        EXPECT_EQ(b.snapshots[k].depth, h.snapshots[k].depth);
    }
    EXPECT_EQ(suitefiles::history_records(b), r);
}

TEST(History, DatesCountFromTheFirstDayOfTheStartMonth) {
    struct Case {
        std::int32_t month, year, hours;
        const char* date;
    } cases[] = {
        {8, 2019, 0, "2019-08-01"},       {8, 2019, 23, "2019-08-01"},
        {8, 2019, 24, "2019-08-02"},      {8, 2019, 672, "2019-08-29"},
        {12, 2019, 744, "2020-01-01"},    {2, 2020, 28 * 24, "2020-02-29"},
        {2, 2019, 28 * 24, "2019-03-01"}, {2, 2100, 28 * 24, "2100-03-01"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(suitefiles::history_date(c.month, c.year, c.hours), c.date)
            << c.month << "/" << c.year << " + " << c.hours << " h";
}

// A damaged file is refused with the record that shows it.
TEST(History, DamagedFilesAreNamedByTheirRecord) {
    const std::vector<std::string> good = suitefiles::history_records(small_history());
    struct Case {
        const char* what;
        std::vector<std::string> records;
        const char* message;
    };
    auto with = [&](std::size_t at, const std::string& r) {
        std::vector<std::string> v = good;
        v[at] = r;
        return v;
    };
    std::vector<std::string> cut(good.begin(), good.end() - 1);
    std::vector<std::string> short_grid = good;
    short_grid.erase(short_grid.begin() + 3);
    const Case cases[] = {
        {"not a history", with(0, " TIME =   00 HR"), "X.HIS RECORD 1: NOT A SITE HISTORY FILE"},
        {"no end marker", cut, "NO END MARKER"},
        {"unknown kind", with(4, " SNAPSHOT AT     156 HOURS  2019-08-07          STORM"),
         "RECORD 5: THE SNAPSHOT KIND \"STORM\""},
        {"backwards in time", with(7, " SNAPSHOT AT     100 HOURS  2019-08-05  LONG-TERM OUTPUT"),
         "RECORD 8: THE SNAPSHOT AT 100 HOURS COMES AFTER ONE AT 156 HOURS"},
        {"a grid cut short", short_grid, "X.HIS"},
        {"bad size", with(0, " SITE HISTORY     0     4    50     8  2019"), "THE GRID SIZE 0 X 4"},
    };
    for (const Case& c : cases) {
        try {
            read_back(c.records);
            ADD_FAILURE() << c.what << ": read without a fault";
        } catch (const recio::RecordError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.what << ": " << e.what();
        }
    }
}

}  // namespace
