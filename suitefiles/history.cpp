#include "suitefiles/history.hpp"

#include <cstdio>

#include "recio/format.hpp"
#include "recio/held_records.hpp"

namespace suitefiles {

namespace {

constexpr const char* KINDS[] = {"START", "DISPOSAL WEEK", "LONG-TERM OUTPUT", "FINAL SITE"};

std::string trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

template <class... T>
void need(recio::RecordSource& in, std::string_view format, T&&... items) {
    const recio::InItem list[] = {recio::InItem{}, recio::to_in(items)...};
    if (!recio::read_items(format, in, list + 1, sizeof...(T)))
        throw recio::RecordError("UNEXPECTED END OF FILE " + in.source_name() + " AFTER RECORD " +
                                 std::to_string(in.record_number()));
}

[[noreturn]] void bad(const recio::RecordSource& in, const std::string& what) {
    throw recio::RecordError(in.source_name() + " RECORD " + std::to_string(in.record_number()) +
                             ": " + what);
}

bool leap(std::int32_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

std::int32_t month_days(std::int32_t m, std::int32_t y) {
    static const std::int32_t days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

}  // namespace

const char* kind_text(SnapshotKind k) {
    return KINDS[static_cast<int>(k)];
}

std::string history_date(std::int32_t start_month, std::int32_t start_year, std::int32_t hours) {
    std::int32_t y = start_year, m = start_month < 1 || start_month > 12 ? 1 : start_month;
    std::int32_t d = 1 + (hours > 0 ? hours / 24 : 0);
    while (d > month_days(m, y)) {
        d -= month_days(m, y);
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(y), static_cast<int>(m),
                  static_cast<int>(d));
    return text;
}

std::vector<std::string> history_records(const History& h) {
    std::vector<std::string> out = recio::format_records(HISTORY_HEADER, h.points_we, h.points_ns,
                                                         h.interval, h.start_month, h.start_year);
    auto add = [&out](std::vector<std::string> r) {
        for (std::string& x : r) out.push_back(std::move(x));
    };
    for (const Snapshot& s : h.snapshots) {
        add(recio::format_records(HISTORY_SNAPSHOT, s.hours, s.date,
                                  std::string(kind_text(s.kind))));
        add(recio::format_records(HISTORY_DEPTHS, recio::array(s.depth.data(), s.depth.size())));
    }
    add(recio::format_records(HISTORY_END));
    return out;
}

bool write_history(recio::RecordWriter& out, const History& h) {
    for (const std::string& r : history_records(h)) out.record(r);
    return out.close();
}

History read_history(recio::RecordSource& in) {
    History h;
    std::string record;
    if (!in.next_record(record) || record.compare(0, 13, " SITE HISTORY") != 0)
        bad(in, "NOT A SITE HISTORY FILE (THE FIRST RECORD MUST START WITH \"SITE HISTORY\")");
    {
        recio::HeldRecords held(in.source_name(), {record}, in.record_number());
        held.need(HISTORY_HEADER_IN, h.points_we, h.points_ns, h.interval, h.start_month,
                  h.start_year);
    }
    const long points = static_cast<long>(h.points_we) * h.points_ns;
    if (h.points_we < 1 || h.points_ns < 1 || points > 40401 || h.interval < 1)
        bad(in, "THE GRID SIZE " + std::to_string(h.points_we) + " X " +
                    std::to_string(h.points_ns) + " AT " + std::to_string(h.interval) +
                    " FT IS NOT THAT OF A SITE");
    for (;;) {
        if (!in.next_record(record))
            bad(in, "NO END MARKER \"END OF HISTORY\": THE FILE IS CUT SHORT");
        if (record.rfind(" END OF HISTORY", 0) == 0) break;
        if (record.compare(0, 12, " SNAPSHOT AT") != 0)
            bad(in, "A SNAPSHOT RECORD (\"SNAPSHOT AT ...\") OR THE END MARKER IS DUE HERE");
        Snapshot s;
        std::string kind;
        {
            recio::HeldRecords held(in.source_name(), {record}, in.record_number());
            held.need(HISTORY_SNAPSHOT_IN, s.hours, s.date, kind);
        }
        kind = trimmed(kind);
        s.date = trimmed(s.date);
        int k = 0;
        while (k < 4 && kind != KINDS[k]) ++k;
        if (k == 4) bad(in, "THE SNAPSHOT KIND \"" + kind + "\" IS NOT ONE THE FILE KNOWS");
        s.kind = static_cast<SnapshotKind>(k);
        if (!h.snapshots.empty() && s.hours < h.snapshots.back().hours)
            bad(in, "THE SNAPSHOT AT " + std::to_string(s.hours) + " HOURS COMES AFTER ONE AT " +
                        std::to_string(h.snapshots.back().hours) + " HOURS");
        s.depth.assign(static_cast<std::size_t>(points), 0.0f);
        need(in, HISTORY_DEPTHS, recio::array(s.depth.data(), s.depth.size()));
        h.snapshots.push_back(std::move(s));
    }
    return h;
}

bool is_history_file(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char head[14] = {};
    const std::size_t n = std::fread(head, 1, 13, f);
    std::fclose(f);
    return n == 13 && std::string(head, 13) == " SITE HISTORY";
}

}  // namespace suitefiles
