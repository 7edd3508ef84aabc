// <output>.HIS, the site's history through a placement run: the site grid
// after every disposal week and every long-term output of the whole activity,
// in site depths. Written by the placement simulator beside the output site,
// read by the view tools.
//
//   (1X,'SITE HISTORY',2I6,I6,2I6)         points per row, rows, interval (ft),
//                                          start month, start year
//   per snapshot:
//   (1X,'SNAPSHOT AT',I8,' HOURS',2X,A10,2X,A16)
//                                          hours since the start of the activity,
//                                          its date (YYYY-MM-DD), the kind
//   (10F8.3)                               the depths (ft, positive down, below the
//                                          site datum), point by point as in the
//                                          site grid file: rows north to south
//   (1X,'END OF HISTORY')                  the end marker
//
// The kinds: "START" (the site the activity began on), "DISPOSAL WEEK" (the
// week's loads placed, before the long-term model), "LONG-TERM OUTPUT" (a
// grid of the long-term model, taken onto the site's points), "FINAL SITE"
// (the stored site, after the last avalanching).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recio/records.hpp"

namespace suitefiles {

inline constexpr const char* HISTORY_HEADER = "(1X,'SITE HISTORY',2I6,I6,2I6)";
inline constexpr const char* HISTORY_HEADER_IN = "(13X,2I6,I6,2I6)";
inline constexpr const char* HISTORY_SNAPSHOT = "(1X,'SNAPSHOT AT',I8,' HOURS',2X,A10,2X,A16)";
inline constexpr const char* HISTORY_SNAPSHOT_IN = "(12X,I8,8X,A10,2X,A16)";
inline constexpr const char* HISTORY_DEPTHS = "(10F8.3)";
inline constexpr const char* HISTORY_END = "(1X,'END OF HISTORY')";

enum class SnapshotKind { Start, DisposalWeek, LongTermOutput, FinalSite };

// The kind's text in the file ("START", "DISPOSAL WEEK", ...).
const char* kind_text(SnapshotKind k);

struct Snapshot {
    std::int32_t hours = 0;  // since the start of the activity
    std::string date;        // YYYY-MM-DD
    SnapshotKind kind = SnapshotKind::Start;
    std::vector<float> depth;  // one per site point, NW corner first
};

struct History {
    std::int32_t points_we = 0, points_ns = 0, interval = 0;
    std::int32_t start_month = 1, start_year = 2000;
    std::vector<Snapshot> snapshots;  // in time order
};

// The date `hours` after the first day of the start month (proleptic
// Gregorian calendar), as YYYY-MM-DD.
std::string history_date(std::int32_t start_month, std::int32_t start_year, std::int32_t hours);

// The records of the whole file.
std::vector<std::string> history_records(const History& h);
// Writes the file through `out` (opened by the caller); false if a write failed.
bool write_history(recio::RecordWriter& out, const History& h);

// Reads a whole history. A snapshot of another size than the header's, a
// kind not listed above, an unreadable value, a missing end marker and
// snapshots out of time order are RecordErrors naming the record. A source
// that requires whole fields finds a record cut short.
History read_history(recio::RecordSource& in);

// True when the file's first record is a history header.
bool is_history_file(const std::string& path);

}  // namespace suitefiles
