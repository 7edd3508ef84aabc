// The files of a placement run and its dump pattern:
//   .ACT  placement summary   placer writes, the view tools read its load lines
//   .TIM  run-length file     placer writes
//   .XYZ  dump pattern        loadpat writes, placer reads it as a placement
//                             file (mode 4), the view tools read it
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recio/format.hpp"
#include "recio/records.hpp"
#include "suitefiles/geometry.hpp"

namespace suitefiles {

// ---- .ACT, the placement summary

// The activity as the header of the summary describes it.
struct ActivityHeader {
    std::string site;               // A6
    std::string material;           // first 22 characters
    std::int32_t total_amount = 0;  // CY
    std::string equipment;          // A6
    std::string technique;          // first 20 characters
    std::int16_t start_month = 0, start_year = 0, end_month = 0, end_year = 0;
    std::int16_t loads = 0;
};

// Writes the summary record by record. The file is written beside the one
// it replaces and takes its place only when closed complete.
class PlacementSummaryWriter {
  public:
    bool open(const std::string& path);
    bool is_open() const { return out_.is_open(); }
    void header(const ActivityHeader& h);
    // One load, placed or refused: dumps remaining, load volume, the actual
    // position; a refused load's line ends with "  REFUSED" after the northing.
    void load_line(std::int16_t remaining, float volume, float e, float n, bool refused = false);
    // The head of a continuation page (a form feed first).
    void page_head();
    // Page 1: points whose depth reaches the navigable depth.
    void navigable_title(std::int16_t navigable);
    void navigable_none();
    void navigable_columns();
    void navigable_point(float e, float n, float depth);
    // Page 2: loads outside the lateral boundary tolerance.
    void lateral_title(std::int16_t tolerance);
    void lateral_none();
    void lateral_columns();
    void lateral_entry(std::int16_t dump_in_week, std::int32_t feet_beyond);
    bool close() { return out_.close(); }

  private:
    recio::RecordWriter out_;
};

// The positions of the load lines of a placement summary: the records after
// the column heads up to the first continuation page, blank records passed
// over. False when the records hold no column heads (not a placement
// summary). Only the position is read, so a load count or volume printed as
// asterisks does not stop the reading; a position that cannot be read
// throws recio::RecordError.
bool read_load_positions(recio::RecordSource& records, std::vector<Position>& positions);

// ---- .TIM, the run-length file

// One record (5I7): the elapsed hours of the last long-term read-back.
bool write_run_length(const std::string& path, std::int16_t hours);
// False when the file cannot be opened or holds no record; throws
// recio::RecordError for a record that cannot be read.
bool read_run_length(const std::string& path, std::int16_t& hours);

// ---- .XYZ, the dump pattern

// One record per dump: (1X,2X,2F12.4), easting (longitude) and northing (latitude).
constexpr const char* DUMP_PATTERN_RECORD = "(1X,2X,2F12.4)";

// True when every position fits its F12.4 columns (a pattern with asterisks
// in it could not be read back).
bool pattern_fits(const std::vector<Position>& dumps, std::size_t& first_misfit);
// Writes the pattern beside the file it replaces, renamed into place when complete.
bool write_dump_pattern(const std::string& path, const std::vector<Position>& dumps);
// Reads the positions of a dump pattern in its columns, blank records passed
// over; throws recio::RecordError for a record that cannot be read.
std::vector<Position> read_dump_pattern(recio::RecordSource& records);

// The placement file of a placement run (mode 4): the next record read
// list-directed as two reals, in the order the run gives them. The user may
// write the file by hand (commas, free spacing), so it is not read in the
// columns of the dump pattern. False at the end of the file; throws
// recio::RecordError for a record that cannot be read.
bool read_placement_record(recio::RecordReader& in, float& first, float& second);

}  // namespace suitefiles
