// CLDX.DUT, the fate model's deposit file: written by the fate model at the
// end of its run, read by the placement simulator (the deposit it adds to
// the site) and by the view tools.
//
//   1      (A7,A60)       "    DUT" and 60 blanks
//   2      (A60)          TITLE
//   3      (2I3,3F8.1)    MMAX, NMAX, DZ, DX, 0.0
//   4      (I3,F12.5)     number of result blocks, TSTOP
//   5      (8A8)          fraction names, then "TOTALS  " (8 blanks when there is one fraction)
//   blocks (F12.4)        time, s after the dump
//          (21E9.3)       per interior row (fate rows 3..MMAX-2, top first) the thickness
//                         (ft) of columns 3..NMAX-2, every row starting a new record
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recio/format.hpp"

namespace suitefiles {

inline constexpr const char* DEPOSIT_MARK = "(A7,A60)";
inline constexpr const char* DEPOSIT_TITLE = "(A60)";
inline constexpr const char* DEPOSIT_GRID = "(2I3,3F8.1)";
inline constexpr const char* DEPOSIT_SUMMARY = "(I3,F12.5)";
inline constexpr const char* DEPOSIT_NAMES = "(8A8)";
inline constexpr const char* DEPOSIT_TIME = "(F12.4)";
inline constexpr const char* DEPOSIT_ROW = "(21E9.3)";
inline constexpr int DEPOSIT_HEADER_RECORDS = 5;

struct DepositHeader {
    std::string title;                // trailing blanks removed
    std::int32_t rows = 0, cols = 0;  // MMAX, NMAX of the fate grid
    float dz = 0.0f, dx = 0.0f;       // spacing down the rows and along them, ft
    std::int32_t blocks = 0;          // result blocks announced
    float tstop = 0.0f;               // simulation duration, s
};

// One result block: (rows - 4) x (cols - 4) thicknesses, top row first.
struct DepositBlock {
    float time = 0.0f;
    long time_record = 0;  // number of the block's time record
    std::vector<float> thickness;
};

// ---- writing

// The title is cut or padded to its 60 columns.
std::vector<std::string> deposit_header_records(const std::string& title);
std::vector<std::string> deposit_grid_records(std::int32_t rows, std::int32_t cols, float dz,
                                              float dx);
// Records 4 and 5; names are the fractions' (cut or padded to 8 characters).
std::vector<std::string> deposit_summary_records(std::int32_t blocks, float tstop,
                                                 const std::vector<std::string>& names);
// A block of nrow rows of ncol values (row by row); a row of no values is an
// empty record.
std::vector<std::string> deposit_block_records(float time, const float* thickness, std::size_t nrow,
                                               std::size_t ncol);

// ---- reading

// How much of the header a file holds: a fate run that stops before its
// first descent ends leaves records 1 and 2 only; one that does not finish
// leaves no record 4.
enum class DepositHeaderEnd { NoGrid, NoSummary, Whole };
DepositHeaderEnd read_deposit_header(recio::RecordSource& in, DepositHeader& h);

// The placement simulator's reading: the five header records passed over
// unread, the fate grid's size being its own (it wrote the deck). An end of
// the file among them is a RecordError.
void skip_deposit_header(recio::RecordSource& in);

// The next block of a grid of rows x cols nodes; false at the end of the
// file before its time record. A block cut short or an unreadable value is a
// RecordError.
bool read_deposit_block(recio::RecordSource& in, int rows, int cols, DepositBlock& b);

}  // namespace suitefiles
