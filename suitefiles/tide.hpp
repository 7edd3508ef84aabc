// TIDE.DAT, the 3-hourly tide and tidal current series: 3 header records,
// then one record per time step, the first for step index 0:
//   (8F8.3)  hours, tide elevation (ft), current east, current north (ft/s)
#pragma once

#include <string>
#include <vector>

#include "recio/records.hpp"

namespace suitefiles {

constexpr long TIDE_HEADER_RECORDS = 3;

struct TideRecord {
    float hours = 0;  // not used by the readers of the series
    float tide = 0;   // ft
    float u = 0;      // ft/s east
    float v = 0;      // ft/s north
};

struct TideSeriesFile {
    std::vector<std::string> header;  // TIDE_HEADER_RECORDS records
    std::vector<TideRecord> records;  // one per time step
};

// Moves `in` (at its start) past the header and `steps` data records; false
// when the file ends first.
bool skip_to_tide_step(recio::RecordReader& in, long steps);

// The next data record; the end of the file is a RecordError.
void need_tide_record(recio::RecordReader& in, TideRecord& r);

// Reads the whole file; false when it cannot be opened.
bool read_tide_dat(const std::string& path, TideSeriesFile& f);

std::vector<std::string> tide_dat_records(const TideSeriesFile& f);
bool write_tide_dat(const std::string& path, const TideSeriesFile& f);

}  // namespace suitefiles
