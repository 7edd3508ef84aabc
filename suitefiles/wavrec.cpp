// WAVREC.OUT: the readers and the writer.
#include "suitefiles/wavrec.hpp"

#include <algorithm>

#include "suitefiles/record_list.hpp"

namespace suitefiles {

namespace {
constexpr const char* WAVE_RECORD = "(1X,I6,I4,3X,4F12.5)";
constexpr const char* WAVE_HEIGHT_PERIOD = "(14X,2F12.5)";
}  // namespace

bool skip_to_wave_step(recio::RecordReader& in, long steps) {
    return in.skip(WAVREC_HEADER_RECORDS + steps);
}

void need_wave_record(recio::RecordReader& in, WaveRecord& r) {
    in.need(WAVE_RECORD, r.date, r.time, r.height, r.period, r.direction);
}

bool read_wave_height_period(recio::RecordReader& in, float& height, float& period) {
    return in.read(WAVE_HEIGHT_PERIOD, height, period);
}

bool read_wavrec(const std::string& path, WaveSeriesFile& f) {
    recio::RecordReader in(path);
    if (!in.is_open()) return false;
    f = WaveSeriesFile{};
    std::string record;
    while (static_cast<long>(f.header.size()) < WAVREC_HEADER_RECORDS && in.next_record(record))
        f.header.push_back(record);
    WaveRecord r;
    while (in.read(WAVE_RECORD, r.date, r.time, r.height, r.period, r.direction, r.unused))
        f.records.push_back(r);
    return true;
}

std::vector<std::string> wavrec_records(const WaveSeriesFile& f) {
    std::vector<std::string> out = f.header;
    out.resize(std::max<std::size_t>(out.size(), WAVREC_HEADER_RECORDS));
    for (const WaveRecord& r : f.records)
        for (std::string& s : recio::format_records(WAVE_RECORD, r.date, r.time, r.height, r.period,
                                                    r.direction, r.unused))
            out.push_back(std::move(s));
    return out;
}

bool write_wavrec(const std::string& path, const WaveSeriesFile& f) {
    return write_record_list(path, wavrec_records(f));
}

}  // namespace suitefiles
