// The resampled grid file (.TNS): written by the grid writer GRID1 beside
// every site grid, read by the long-term model (the grid it works on) and by
// the placement simulator (the cell size of its read-back).
//
//   (10X,F5.1)            cell size (ft)
//   (A60)                 title
//   (26F8.3)              nx x ny depths, I (west to east) outer, J (south to north) inner
//   (20X,' 999999999')    the end marker
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "recio/records.hpp"

namespace suitefiles {

inline constexpr const char* TNS_SPACING = "(10X,F5.1)";
inline constexpr const char* TNS_TITLE = "(A60)";
inline constexpr const char* TNS_DEPTHS = "(26F8.3)";
inline constexpr const char* TNS_END = "(20X,' 999999999')";
inline constexpr std::size_t TNS_TITLE_LENGTH = 60;

// The end marker: 21 blanks, then nine 9s in columns 22-30.
bool is_tns_end_marker(std::string_view record);

// Writes the whole file to `out` (opened by the caller, who closes it).
void write_tns(recio::RecordWriter& out, float spacing, std::string_view title, const float* depth,
               std::size_t values);

// The depths the records between the title and the end marker hold (a field
// counted where its record has text in it, 26 to a record at most). The
// reader is rewound afterwards.
std::size_t count_tns_depths(recio::RecordReader& in);

// The cell size from the first record: all the placement simulator needs.
float read_tns_cell_size(recio::RecordReader& in);

// The long-term model's reading: the cell size, the title and `values`
// depths. The title is read (A50), the first 50 of its 60 characters, the
// width of the long-term model's title field. End of file or an unreadable
// value is a recio::RecordError.
struct TnsHeader {
    float spacing = 0.0f;
    std::string title;
};
TnsHeader read_tns(recio::RecordReader& in, float* depth, std::size_t values);

}  // namespace suitefiles
