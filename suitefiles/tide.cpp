// TIDE.DAT: the reader and the writer.
#include "suitefiles/tide.hpp"

#include <algorithm>

#include "suitefiles/record_list.hpp"

namespace suitefiles {

namespace {
constexpr const char* TIDE_RECORD = "(8F8.3)";
}  // namespace

bool skip_to_tide_step(recio::RecordReader& in, long steps) {
    return in.skip(TIDE_HEADER_RECORDS + steps);
}

void need_tide_record(recio::RecordReader& in, TideRecord& r) {
    in.need(TIDE_RECORD, r.hours, r.tide, r.u, r.v);
}

bool read_tide_dat(const std::string& path, TideSeriesFile& f) {
    recio::RecordReader in(path);
    if (!in.is_open()) return false;
    f = TideSeriesFile{};
    std::string record;
    while (static_cast<long>(f.header.size()) < TIDE_HEADER_RECORDS && in.next_record(record))
        f.header.push_back(record);
    TideRecord r;
    while (in.read(TIDE_RECORD, r.hours, r.tide, r.u, r.v)) f.records.push_back(r);
    return true;
}

std::vector<std::string> tide_dat_records(const TideSeriesFile& f) {
    std::vector<std::string> out = f.header;
    out.resize(std::max<std::size_t>(out.size(), TIDE_HEADER_RECORDS));
    for (const TideRecord& r : f.records)
        for (std::string& s : recio::format_records(TIDE_RECORD, r.hours, r.tide, r.u, r.v))
            out.push_back(std::move(s));
    return out;
}

bool write_tide_dat(const std::string& path, const TideSeriesFile& f) {
    return write_record_list(path, tide_dat_records(f));
}

}  // namespace suitefiles
