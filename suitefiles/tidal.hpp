// TIDAL.DAT, the harmonic constituents of tide and tidal current (metres and
// centimetres per second, as the tide tables give them):
//   2 title records
//   (I10,3F10.2)        NCON, mean level (m), mean current U0, V0 (cm/s)
//   2 heading records
//   NCON records (A10,F10.6,6F10.2): name, speed (degrees per hour), tide
//   amplitude (m) and phase (degrees), U amplitude (cm/s) and phase, V
//   amplitude (cm/s) and phase
// Records after the constituents are not read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recio/records.hpp"

namespace suitefiles {

constexpr std::int32_t MAX_CONSTITUENTS = 20;

struct TidalLevels {
    std::int32_t ncon = 0;  // constituents that follow
    float mean = 0;         // m
    float u0 = 0, v0 = 0;   // cm/s
};

struct TidalConstituent {
    std::string name;       // 10 characters
    float speed = 0;        // degrees per hour
    float amplitude = 0;    // m
    float phase = 0;        // degrees
    float u_amplitude = 0;  // cm/s
    float u_phase = 0;      // degrees
    float v_amplitude = 0;  // cm/s
    float v_phase = 0;      // degrees
};

struct TidalFile {
    std::vector<std::string> title, heading;  // 2 records each
    TidalLevels levels;
    std::vector<TidalConstituent> constituents;
    std::vector<std::string> trailer;  // records after the constituents, as they stand
};

// The file read part by part, in file order, so that a reader can judge each
// value before the next part is read.
class TidalReader {
  public:
    bool open(const std::string& path) { return in_.open(path); }
    // The title records; false when the file ends in them.
    bool title(std::vector<std::string>& records) { return two_records(records); }
    // The levels record; the end of the file is a RecordError.
    void levels(TidalLevels& l);
    // The heading records; false when the file ends in them.
    bool heading(std::vector<std::string>& records) { return two_records(records); }
    // The next constituent; the end of the file is a RecordError.
    void constituent(TidalConstituent& c);
    long record_number() const { return in_.record_number(); }
    recio::RecordReader& records() { return in_; }

  private:
    bool two_records(std::vector<std::string>& records);
    recio::RecordReader in_;
};

// Reads the whole file; false when it cannot be opened. Throws RecordError
// for a file that ends early, a record that cannot be read, or a count of
// constituents outside 0 to MAX_CONSTITUENTS.
bool read_tidal_file(const std::string& path, TidalFile& f);

std::vector<std::string> tidal_records(const TidalFile& f);
bool write_tidal_file(const std::string& path, const TidalFile& f);

}  // namespace suitefiles
