// The site grid: a rectangular lattice of depths, rotated against true north
// and anchored at its north-west corner, with the files every program of the
// suite uses to load and store a disposal site.
//
// Point order: point I (1-based) lies in row r = int(I / (points W-E + 0.001))
// and column k = I - (r x points W-E + 1), both 0-based; rows run from the
// northern edge southward, columns from the western edge eastward. So point 1
// is the NW corner, point (points W-E) the NE corner, point
// (total - points W-E + 1) the SW corner and the last point the SE corner.
//
// Files of a site (prefix + site name + extension):
//   .IN   site grid file            GRID1 writes, RGRID1 reads
//   .OUT  site summary and portrayal ARGPB writes, READG reads the header
//   .DAT  x,y,z point file          GRID1 writes, for outside plotting
//   .TNS  resampled grid file       GRID1 writes, the long-term model reads
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "suitefiles/geometry.hpp"

namespace recio {
class FileSet;
}

namespace gridlib {

using suitefiles::MAXPTS;
constexpr int MAXRES = 210;  // resampled lattice storage per axis (at most 201 used)

struct SiteGrid {
    std::int32_t total_points = 0;
    std::int16_t points_ns = 0;     // rows, north to south
    std::int16_t points_we = 0;     // columns, west to east
    std::int16_t interval = 0;      // feet between neighbouring points
    float rotation = 0.0f;          // degrees from true north
    std::int16_t coord_system = 1;  // 1 plane feet, 2 longitude/latitude degrees (west positive)
    float datum = 0.0f;             // long-term datum, feet
    float local_nw_e = 0.0f;        // NW corner in the local plane frame, feet
    float local_nw_n = 0.0f;
    std::vector<float> depth =
        std::vector<float>(MAXPTS, 0.0f);  // feet, positive down, point order
};

using suitefiles::SiteCorners;

// The header of a site summary file.
struct SiteSummary {
    std::int16_t seq_since_last = 0;  // disposal sequences since the last activity
    std::int16_t total_seq = 0;       // disposal sequences since record keeping began
    std::int8_t ratio = 1;            // apparent resolution 1:ratio of the portrayal
    std::int16_t lineal_scale = 0;    // 1 inch = ... feet
    std::int32_t portrayal_points = 0;
    std::int32_t ns_extent = 0;  // NW to SW corner, feet
    std::int32_t we_extent = 0;  // NW to NE corner, feet
    std::int16_t survey_interval = 0;
    std::int16_t portrayal_interval = 0;
    SiteCorners corners;
};

// ---- names

// Characters before the first blank (0 if the text starts with one; the whole
// length if it has none).
std::int16_t IBLANKS(std::string_view text);
// Characters before the first period (0 if there is none).
std::int16_t IPERIOD(std::string_view text);
// prefix + site name + extension, each trimmed at its first blank.
std::string site_file_name(std::string_view prefix, std::string_view site,
                           std::string_view extension);
// The text before the first period of the file's own name (after its folder
// part): the base of the companion file names.
std::string base_name(std::string_view file_name);
// A file name as the file system sees it: trailing blanks removed.
std::string trimmed(std::string_view name);

// ---- point positions (the formulas are in suitefiles/geometry.hpp)

// The geometry of a site grid, with positions taken from the given NW corner.
suitefiles::SiteGeometry geometry_of(const SiteGrid& grid, float nw_e, float nw_n);

// ---- reading

enum : std::int16_t { GRID_OK = 0, GRID_MISSING = 1, GRID_UNREADABLE = 2 };

// What a routine of this library has to tell the user. The routines do not
// write on the console themselves: the program shows the report.
struct GridReport {
    // A grid file that was not found: shown as the screen that names it and
    // waits for RETURN ("" for none).
    std::string missing_grid;
    std::vector<std::string> lines;  // messages, one console line each
};
// Shows a report on the console: the missing-grid screen, then the lines.
void show_report(const GridReport& report);

// The outcome of reading a grid or summary file: GRID_OK, GRID_MISSING or
// GRID_UNREADABLE, and what to tell the user.
struct GridRead {
    std::int16_t flag = GRID_OK;
    GridReport report;
    operator std::int16_t() const { return flag; }
};
// The outcome of storing or checking a site: true when done.
struct GridStored {
    bool ok = true;
    GridReport report;
    operator bool() const { return ok; }
};
// The outcome, after its report has been shown.
GridRead shown(GridRead outcome);
GridStored shown(GridStored outcome);

// Reads a site grid file (header and depths). Returns GRID_OK; GRID_MISSING
// with the file's name in report.missing_grid (the depths are then all 0 and
// the header unchanged); GRID_UNREADABLE when the file is shorter than it
// says, holds an unreadable field, or a header that no grid can have (the
// message names the file and record; depths all 0).
GridRead RGRID1(std::string_view file_name, SiteGrid& grid);
// Reads records 1 to 11 only; depths are neither cleared nor read.
GridRead RGRID1_HEADER(std::string_view file_name, SiteGrid& grid);

// Reads the header of a site summary file. The resolution ratio is read only
// from a reduced portrayal and is otherwise left as it was. Returns GRID_OK,
// GRID_MISSING or GRID_UNREADABLE, with a message for the last two.
GridRead READG(std::string_view file_name, SiteSummary& summary);

// ---- writing

// Work space of the resampling, kept by the caller between calls.
struct ResampleWork {
    std::vector<float> node_e = std::vector<float>(MAXPTS, 0.0f);
    std::vector<float> node_n = std::vector<float>(MAXPTS, 0.0f);
    std::vector<float> node_d = std::vector<float>(MAXPTS, 0.0f);
    std::vector<float> res =
        std::vector<float>(MAXRES * MAXRES, 0.0f);  // element (i, j) at (i-1)*MAXRES + (j-1)
    float& at(int i, int j) { return res[static_cast<std::size_t>((i - 1) * MAXRES + (j - 1))]; }
};

enum : std::int32_t { GRID1_NEW = 0, GRID1_KEEP_RESAMPLED = 1, GRID1_GRID_ONLY = 2 };

// Stores a site: the site grid file, and unless mode is GRID1_GRID_ONLY the
// point file (depth sign option 1: negated, 2: datum - depth, else as stored)
// and the resampled grid file. Mode GRID1_NEW clears the work space and
// resamples; GRID1_KEEP_RESAMPLED writes the resampled grid of an earlier call.
// Each file is written beside its target and renamed into place, so a failed
// write leaves the previous file intact; with a `set`, the files are staged
// in it instead and take their places when the set is committed. A grid with
// a grid_fault is not written at all. Fails if any file could not be written;
// the report names it, and warns when the long-term model cannot read the
// resampled grid.
GridStored GRID1(std::string_view file_name, float site_nw_e, float site_nw_n, const SiteGrid& grid,
                 ResampleWork& work, std::int32_t mode, std::int16_t sign_option,
                 std::string_view title, recio::FileSet* set = nullptr);

// ---- before storing: values the files can carry

// True if a depth can be written in a depth field (F8.3) of the grid file and
// read back: -999.999 to 9999.999 ft.
bool fits_depth_field(float value);
// Why GRID1 cannot store the grid so that RGRID1 reads it back whole ("" if
// it can): a header no grid can have, or a header value or depth that does
// not fit its field of the grid file.
std::string grid_fault(const SiteGrid& grid);
// Why the node spacing of the resampled grid file cannot be written in its
// F5.1 field ("" if it can): 1000 ft or more (an interval that large, or a
// long grid reduced to 201 nodes). GRID1 then writes the file as its layout
// gives it, asterisks and all, and warns that the long-term model cannot
// read it; the site itself is stored whole.
std::string resampled_spacing_fault(const SiteGrid& grid);
// Why ARGPB cannot write a summary of the grid that READG reads back ("" if
// it can): a sequence counter, the lineal scale, an extent, an interval or a
// coordinate that does not fit its field.
std::string summary_fault(const SiteGrid& grid, const SiteSummary& summary, std::int8_t new_site);
// Both checks, for a program about to store a site with GRID1 and ARGPB:
// true if both files can be written whole; otherwise the report says what
// does not fit ("NO GRID WRITTEN: ...") so that the program writes nothing.
// Commits a site's set of files (see recio::FileSet); false, with a message
// naming the file and the reason, when the old set had to stay.
bool commit_site(recio::FileSet& set);

GridStored site_storable(const SiteGrid& grid, const SiteSummary& summary, std::int8_t new_site);

// Writes the site summary file: the summary header, the schematic outline and
// the character map of the depths, reduced to fit a page. Reads the grid
// itself from grid_file. With new_site = 1 both sequence counters are set to 0
// first. On return `turned` is 1 when the map is drawn turned by 90 degrees.
// Returns false (with a message) if the grid cannot be read, the values have
// a summary_fault (nothing is then written) or the summary cannot be written.
// With a `set`, the grid is read as the set holds it and the summary staged.
GridStored ARGPB(std::string_view grid_file, std::string_view summary_file, SiteSummary& summary,
                 std::int8_t new_site, std::int8_t& turned, recio::FileSet* set = nullptr);

}  // namespace gridlib
