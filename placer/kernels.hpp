// The four kernels of the placement simulator: BUILD sets up one fate-model
// run, RDEPOS adds its deposit to the site, GETBACK takes the long-term
// model's grid back, AVAL1 limits over-steep slopes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "placer/control.hpp"
#include "placer/site.hpp"

namespace placer {

// Material properties derived at start-up from the fractions of DUMP.INI.
struct Material {
    float fall[MAX_FRACTIONS] = {0, 0, 0, 0};  // Stokes fall velocity of each fraction, ft/s
    float min_fall = 0;  // smallest fall velocity of the non-cohesive fractions, ft/s
    float porosity = 0;
    float sim_width = 0;   // simulated vessel width, ft
    float sim_length = 0;  // simulated vessel length, ft
};

// The vessel during placement.
struct Vessel {
    float vx = 0,
          vy = 0;       // velocity along the grid's x (down the rows) and y (along the rows), ft/s
    float heading = 0;  // degrees, corrected for the grid rotation
};

// The conditions of one load.
struct DumpConditions {
    float tide = 0;  // tide elevation, ft
    float wave_height = 0, wave_period = 0,
          wave_direction = 0;                   // direction with the grid rotation added
    float water_level = 0;                      // long-term datum + tide, ft
    float current_x = 0, current_y = 0;         // total current, ft/s
    float req_e = 0, req_n = 0;                 // requested dump position, site units
    float tstop = 0, tprint1 = 0, tprint2 = 0;  // fate-model duration and print times, s
    std::int16_t rows = 44, cols = 44;          // fate grid size R x C
    std::int16_t dumps_remaining = 0;
};

struct BuildResult {
    float e = 0, n = 0;        // actual position: the nearest grid point, or the request if refused
    std::int16_t abort = 0;    // 1: placement refused
    std::int32_t nearest = 0;  // point number of the dump, 0 when none
    float mean_depth = 0;      // mean site depth over the fate grid's on-site nodes
    std::int32_t nodes = 0;    // number of those nodes
    bool deck_written = false;  // false also when the deck could not be written
    std::string deck_problem;   // a value the deck cannot hold (no deck is written then)
};

// Sets up the fate-model run of one load: snaps the request to the nearest
// grid point (ties to the lower number), refuses it outside the site or on
// its boundary, echoes the dump on the console, cuts the R x C fate grid
// (tide added; off-site and row-wrapped nodes take the mean depth) into
// `work` and writes the deck `deck_name`.
BuildResult BUILD(const DumpControl& ctl, const Material& mat, const Vessel& vessel,
                  const SiteFrame& site, const std::vector<float>& depth,
                  const DumpConditions& cond, WorkGrid& work,
                  const std::string& deck_name = "CLDX.DUE");

// Adds the deposit of a fate run: reads the last thickness block of
// `dut_name` whose time does not exceed `duration`, finds the dump point again
// (within 10 ft) and lowers the depths by the thickness over the fate grid's
// footprint. Returns 0 on success, 1 on failure (depths unchanged).
std::int16_t RDEPOS(WorkGrid& work, float duration, float dump_e, float dump_n,
                    const SiteFrame& site, std::vector<float>& depth, std::int16_t rows,
                    std::int16_t cols, const std::string& dut_name = "CLDX.DUT");

// Lattice work arrays of the long-term read-back.
struct Lattice {
    std::vector<float> e = std::vector<float>(gridlib::MAXPTS, 0.0f);
    std::vector<float> n = std::vector<float>(gridlib::MAXPTS, 0.0f);
    std::vector<float> d = std::vector<float>(gridlib::MAXPTS, 0.0f);
};

// Site extents and local frame of the read-back.
struct LongTermFrame {
    SiteFrame site;  // from the local north-west corner of the grid file, feet
    std::int32_t we_extent = 0, ns_extent = 0;  // feet
};

enum class GetbackResult { Direct, Interpolated, Kept };

// Takes the last grid of PLOTBATH.DAT back into the site depths: a direct
// copy when the long-term model worked on the site grid itself, otherwise
// inverse-distance interpolation from the resampled lattice with the corners
// copied. When a file cannot be opened or holds no complete last grid, the
// depths stay as they were (and the console says so); a point with no lattice
// node in reach keeps its depth. Returns the elapsed hours of that grid (0
// when none was taken).
std::int16_t GETBACK(const std::string& tns_name, WorkGrid& work, std::vector<float>& depth,
                     Lattice& lattice, const LongTermFrame& frame, GetbackResult* result = nullptr,
                     const std::string& plotbath_name = "PLOTBATH.DAT");

// Puts one long-term grid (`work`, nx x ny, I west to east, J = 1 the
// southern row) onto the site depths the way GETBACK does: a direct copy when
// it is the site grid itself, else inverse-distance weighting from the
// lattice of cell size `cell` (a point with no node in reach keeps its depth).
GetbackResult put_long_term_grid(const WorkGrid& work, std::int32_t nx, std::int32_t ny, float cell,
                                 const LongTermFrame& frame, Lattice& lattice,
                                 std::vector<float>& depth);

// Avalanches the site depths in place: every over-steep stretch along a
// column or row (slope above `aval_deg`) is redistributed, volume kept, into
// a straight profile at `post_deg`. `work` holds the elevations during the
// work (grown to the site when it has more than 209 points along an axis).
// Returns false when a stretch would run past the grid edge ("AVALANCHING
// STOPPED"), the depths then being those of the last complete iteration, or
// after 1000 iterations without a steady profile (with the depths of the
// last). An iteration that changes no depth ends the call: it would repeat.
bool AVAL1(WorkGrid& work, std::vector<float>& depth, float aval_deg, float post_deg,
           std::int16_t npr, std::int16_t nrow, std::int16_t spacing);

}  // namespace placer
