// Readers of the result files the suite leaves: dump positions of a placement
// summary (.ACT) or a dump pattern (.XYZ), the fate model's deposit file
// CLDX.DUT, the long-term model's grid series PLOTBATH.DAT and the start step
// of its control file PCD.INI. They only read; a record that cannot be read
// raises recio::RecordError naming the file, record and field.
#pragma once

#include <string>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "results/frame.hpp"

namespace results {

// ---- dump positions

// Positions as the suite writes them: easting/northing, or longitude
// (west positive) and latitude.
struct DumpPoint {
    double e = 0, n = 0;
};

// The load lines of a placement summary (.ACT): every attempted load, placed
// at its grid point or refused at its requested position.
// A file the tools read must be there and be a regular file; else an
// InputError: "<WHAT> NOT FOUND: <path>", or the file named as a directory or
// as not a regular file (a pipe would hang the reader).
void need_input_file(const std::string& path, const std::string& what = "FILE");

std::vector<DumpPoint> read_placement_summary(const std::string& path);
// A dump pattern (.XYZ): one (1X,2X,2F12.4) record per dump.
std::vector<DumpPoint> read_dump_pattern(const std::string& path);
// Either, told apart by the first record of a placement summary.
std::vector<DumpPoint> read_dumps(const std::string& path);

// ---- fate model deposit file

struct DepositBlock {
    double seconds = 0;
    std::vector<float> thickness;  // (rows-4) x (cols-4), top row first, feet
};

struct DepositFile {
    std::string title;
    int rows = 0, cols = 0;  // MMAX, NMAX of the fate grid
    double dz = 0, dx = 0;   // spacing down the rows and along them, feet
    int blocks_announced = 0;
    double tstop = 0;  // simulation duration, s
    std::vector<DepositBlock> blocks;
    // The block the placement simulator adds to the site: the last one read
    // before a time above the duration, reading stopping at the duration.
    // -1 when there is none.
    int deposit_block() const;
    // The deposit as a raster in the fate grid's own frame, its dump node
    // (fate node rows/2+1, cols/2+1) at local (0, 0).
    Raster raster(int block) const;
};

DepositFile read_deposit_file(const std::string& path);

// ---- long-term grid series

struct BathGrid {
    double hours = 0;          // elapsed hours of the simulated period
    bool initial = false;      // the grid the run started from
    std::vector<float> depth;  // nx*ny, I (west to east) outer, J (south to north) inner
    std::string kind, date;    // of a site history: "DISPOSAL WEEK" ..., YYYY-MM-DD
};

struct BathSeries {
    float grain = 0, manning = 0, dx = 0, dy = 0;
    int nx = 0, ny = 0;
    std::vector<BathGrid> grids;  // the initial grid first
    bool complete = false;        // the end marker was found
};

// Reads PLOTBATH.DAT holding nx x ny grids. The initial grid is given the
// time start_hours (the file does not carry it).
BathSeries read_plotbath(const std::string& path, int nx, int ny, double start_hours);

// Reads a site history (<output>.HIS) as a series on the site grid itself
// (nx x ny = points per row x rows, cell = the grid interval), the START
// snapshot as the initial grid. Its points must be those of the site.
BathSeries read_site_history(const std::string& path, const gridlib::SiteGrid& site);

// The start of a long-term run from its control file: 3 x (N0 - 1) hours
// (N0 = 0 is taken as 1), the time of the grid the run started from.
double run_start_hours(const std::string& pcd_path);

// One grid of a series as a raster on the site: the lattice spans the site
// from its NW to its SE corner (we_ft, ns_ft are the site extents).
Raster bath_raster(const BathSeries& s, std::size_t grid, double we_ft, double ns_ft);

}  // namespace results
