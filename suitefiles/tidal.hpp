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

// The values of the levels record and of a constituent record, in the
// precision the long-term model takes them in (float), or as the file
// writes them (double, so that a speed such as 57.968209, beyond a float's
// digits, is written back as it stood).
template <class Real>
struct TidalLevelsOf {
    std::int32_t ncon = 0;  // constituents that follow
    Real mean = 0;          // m
    Real u0 = 0, v0 = 0;    // cm/s
};

template <class Real>
struct TidalConstituentOf {
    std::string name;      // 10 characters
    Real speed = 0;        // degrees per hour
    Real amplitude = 0;    // m
    Real phase = 0;        // degrees
    Real u_amplitude = 0;  // cm/s
    Real u_phase = 0;      // degrees
    Real v_amplitude = 0;  // cm/s
    Real v_phase = 0;      // degrees
};

using TidalLevels = TidalLevelsOf<float>;
using TidalConstituent = TidalConstituentOf<float>;

// The whole file as written. The writer keeps the decimals the tide tables
// carry: six for the speed, four for the amplitude, two for the others.
struct TidalFile {
    std::vector<std::string> title, heading;  // 2 records each
    TidalLevelsOf<double> levels;             // ncon as stated (a spoiled file can be made)
    std::vector<TidalConstituentOf<double>> constituents;
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
    void levels(TidalLevelsOf<double>& l);
    // The heading records; false when the file ends in them.
    bool heading(std::vector<std::string>& records) { return two_records(records); }
    // The next constituent; the end of the file is a RecordError.
    void constituent(TidalConstituent& c);
    void constituent(TidalConstituentOf<double>& c);
    long record_number() const { return in_.record_number(); }
    recio::RecordReader& records() { return in_; }

  private:
    bool two_records(std::vector<std::string>& records);
    template <class Real>
    void levels_of(TidalLevelsOf<Real>& l);
    template <class Real>
    void constituent_of(TidalConstituentOf<Real>& c);
    recio::RecordReader in_;
};

// Reads the whole file; false when it cannot be opened. Throws RecordError
// for a file that ends early, a record that cannot be read, or a count of
// constituents outside 0 to MAX_CONSTITUENTS.
bool read_tidal_file(const std::string& path, TidalFile& f);

std::vector<std::string> tidal_records(const TidalFile& f);
bool write_tidal_file(const std::string& path, const TidalFile& f);

}  // namespace suitefiles
