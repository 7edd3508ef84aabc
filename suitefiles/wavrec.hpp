// WAVREC.OUT, the wave series made by an outside program: 9 header records,
// then one record per 3-hour time step, the first for step index 0:
//   (1X,I6,I4,3X,4F12.5)  date YYMMDD, time HHMM, significant height (m),
//                         period (s), direction (degrees, from), one value not used
// placer and dredge read the records differently (see the two readers).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recio/records.hpp"

namespace suitefiles {

constexpr long WAVREC_HEADER_RECORDS = 9;

struct WaveRecord {
    std::int32_t date = 0, time = 0;  // YYMMDD, HHMM
    float height = 0;                 // significant wave height, m
    float period = 0;                 // s
    float direction = 0;              // degrees clockwise from north
    float unused = 0;
};

// The whole file, its header records as they stand.
struct WaveSeriesFile {
    std::vector<std::string> header;  // WAVREC_HEADER_RECORDS records
    std::vector<WaveRecord> records;  // one per time step
};

// Moves `in` (at its start) past the header and `steps` data records; false
// when the file ends first.
bool skip_to_wave_step(recio::RecordReader& in, long steps);

// placer's reading: date, time, height, period and direction; the value not
// used is not read, so that its columns cannot stop a placement. The end of
// the file is a RecordError.
void need_wave_record(recio::RecordReader& in, WaveRecord& r);

// dredge's reading, (14X,2F12.5): only the height and the period are taken,
// by their columns, so that the date, time and direction columns are never
// looked at; a record whose date is no number still serves the long-term
// model, as it always has. False at the end of the file.
bool read_wave_height_period(recio::RecordReader& in, float& height, float& period);

// Reads the whole file, every field of every record (the value not used
// too, to write the file back as it was); false when it cannot be opened. A
// record that cannot be read is a RecordError.
bool read_wavrec(const std::string& path, WaveSeriesFile& f);

// The records of the file (a header shorter than 9 records is filled with
// blank records), and the file written from them.
std::vector<std::string> wavrec_records(const WaveSeriesFile& f);
bool write_wavrec(const std::string& path, const WaveSeriesFile& f);

}  // namespace suitefiles
