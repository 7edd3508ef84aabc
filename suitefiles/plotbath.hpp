// PLOTBATH.DAT, the long-term model's grid time series: written by the
// long-term model, read back by the placement simulator (its last grid) and
// by the view tools (every grid).
//
//   (' TIME =   00 HR ',4F10.5)          grain size (mm), Manning n, DX, DY (ft)
//   (26F8.3)                             the starting depths, I outer, J inner
//   per output: (5X,'ELAPSED TIME = ',I10,' HOURS') and the depths (26F8.3)
//   (20X,'      9999')                   the end marker
// A run that stops early leaves no end marker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "recio/format.hpp"
#include "recio/records.hpp"

namespace suitefiles {

inline constexpr const char* PLOTBATH_HEADER = "(' TIME =   00 HR ',4F10.5)";
inline constexpr const char* PLOTBATH_HEADER_IN = "(16X,4F10.5)";
inline constexpr const char* PLOTBATH_GRID = "(26F8.3)";
inline constexpr const char* PLOTBATH_ELAPSED = "(5X,'ELAPSED TIME = ',I10,' HOURS')";
inline constexpr const char* PLOTBATH_HOURS_IN = "(20X,I10)";
inline constexpr const char* PLOTBATH_END = "(20X,'      9999')";

// Records one grid of `values` depths takes (26 to a record).
std::size_t plotbath_grid_records(std::size_t values);

// The end marker: columns 1-20 blank and columns 21-30, read as the writer's
// I10 field (blanks ignored, a short record padded), hold 9999.
bool is_plotbath_end_marker(std::string_view record);
// An elapsed-time record: "ELAPSED TIME = " in columns 6-20.
bool is_plotbath_elapsed(std::string_view record);

struct PlotBathHeader {
    float grain = 0.0f, manning = 0.0f, dx = 0.0f, dy = 0.0f;
};

struct PlotBathGrid {
    std::int32_t hours = 0;
    std::vector<float> depth;  // I (west to east) outer, J (south to north) inner
    long first_record = 0;     // number of the grid's first depth record
};

// A whole series. The initial grid has no elapsed-time record (hours 0).
struct PlotBathSeries {
    PlotBathHeader header;
    PlotBathGrid initial;
    std::vector<PlotBathGrid> grids;  // in the order of the file
    bool complete = false;            // the end marker was found
};

// The records of each part of the file, as the writer writes them.
std::vector<std::string> plotbath_header_records(const PlotBathHeader& h);
std::vector<std::string> plotbath_grid_records(const float* depth, std::size_t values);
std::vector<std::string> plotbath_elapsed_records(std::int32_t hours);
std::vector<std::string> plotbath_end_records();
// A whole series (the end marker when s.complete).
std::vector<std::string> plotbath_records(const PlotBathSeries& s);

// The writer, a grid at a time.
class PlotBathWriter {
  public:
    bool open(const std::string& path) { return out_.open(path); }
    bool is_open() const { return out_.is_open(); }
    void header(const PlotBathHeader& h);
    void grid(const float* depth, std::size_t values);
    void elapsed(std::int32_t hours);
    void end_marker();
    // False if a write failed.
    bool close() { return !out_.is_open() || out_.close(); }

  private:
    void put(const std::vector<std::string>& records);
    recio::RecordWriter out_;
};

// Reads a whole series of grids of `values` depths. A record that is neither
// an elapsed time nor the end marker where one of them is due, a grid cut
// short and an unreadable value are RecordErrors. Records after the end
// marker are not read.
PlotBathSeries read_plotbath(recio::RecordSource& in, std::size_t values);

// The last grid of the series: its elapsed-time record and the grid right
// before the last end marker. The file is read forward once, holding only
// the records one grid needs, however long the series. False when there is
// no end marker or the last one has no complete timed grid right before it;
// an unreadable value of that grid is a RecordError. This is the placement
// simulator's reading: it takes the run's end, and a series whose earlier
// grids are damaged (never read) still gives it.
bool read_last_plotbath_grid(recio::RecordReader& in, std::size_t values, PlotBathGrid& last);

}  // namespace suitefiles
