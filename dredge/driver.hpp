// The long-term mound model's driver: control file, start-up, the time loop
// of three-hour steps, and the files it reads and writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dredge/grid.hpp"
#include "recio/records.hpp"
#include "suitefiles/pcd_ini.hpp"

namespace dredge {

// PCD.INI, the long-term control file (written by the placement simulator;
// layout in suitefiles/pcd_ini.hpp).
using Controls = suitefiles::PcdIni;
using suitefiles::CohesiveOption;
using suitefiles::SedimentType;
// Throws RunError when the file cannot be opened.
Controls read_pcd_ini(const std::string& path);

// The values a run works with, checked before anything is written (N0,
// NDAYS, IWAVE, the grid size, ICOH, grain size, porosity, slope angles
// and, unless the forcing is calm, the wave-gauge depth); throws RunError
// naming PCD.INI, the record and the value.
void check_controls(const Controls& c, bool calm_forcing);

// Grid size rule: sizes up to 201 are used as they are; otherwise the larger
// becomes 201 and the smaller trunc(smaller / larger x 201), both 201 when
// equal. Only limits how many depths are read.
void limit_grid_size(std::int16_t& nx, std::int16_t& ny);

// The output interval (hours) checked for a whole multiple of three hours;
// otherwise "MULTIPLE OF THREE, PLEASE!", the prompt
// "<6> OUTPUT INTERVAL (hours) =" and one free-format read of a new value
// (kept as it was when the input ends).
std::int32_t check_output_interval(std::int32_t interval);

// The resampled grid file (.TNS): (10X,F5.1) cell size, (A50) title, then
// nx x ny depths in (26F8.3) records, I outer and J inner.
struct StartGrid {
    float dx = 0.0f;
    std::string title;
};
StartGrid read_start_grid(const std::string& path, Grid& depth);

// TIDAL.DAT: harmonic constituents of tide and tidal current, read through
// suitefiles::TidalReader (layout in suitefiles/tidal.hpp), each value
// checked against its field as it is read. Held in feet and feet per second
// (x 3.28 and x 0.0328).
struct TideTable {
    float mean = 0.0f, u0 = 0.0f, v0 = 0.0f;
    std::vector<float> speed, amplitude, phase, u_amplitude, u_phase, v_amplitude, v_phase;
};
TideTable read_tidal(const std::string& path);

// Tide (ft) and tidal current components U east, V north (ft/s) at time t
// (hours) from the constituents, cos((speed t - phase) 0.01745328).
struct TideState {
    float tide = 0.0f, u = 0.0f, v = 0.0f;
};
TideState tide_at(const TideTable& table, float t);

// Direction (degrees clockwise from north, toward which the water flows) of
// the current (u east, v north); `previous` when there is no current.
float tidal_direction(float u, float v, float previous);

// WAVREC.OUT, the wave series (layout in suitefiles/wavrec.hpp), read the
// long-term model's way: significant height (m) and period (s) only.
class WaveSeries {
  public:
    // Opens the series and moves to data record n0 (skipping n0 - 1).
    void open(const std::string& path, std::int32_t n0);
    // Next record: height in feet (x 3.28, at least 1 ft), period at least 3 s.
    void next(std::int32_t step, float& height, float& period);
    void close() { in_.close(); }

  private:
    std::string path_;
    recio::RecordReader in_;
};

// Timing of a run, for the benchmark.
struct RunStats {
    std::int32_t steps = 0;
    std::int64_t velocity_calls = 0;
    std::int64_t velocity_sweeps = 0;  // relaxation sweeps over all calls
    std::int64_t velocity_cells = 0;   // sweeps x interior cells
    double velocity_seconds = 0.0;
    double transport_seconds = 0.0;
    double total_seconds = 0.0;
    float settlement = 0.0f;  // SETT at the end of the run (ft)
};

// A whole run in the current folder: PCD.INI, the grid, TIDAL.DAT,
// WAVREC.OUT, PLOTBATH.DAT and the consolidation files. Returns the exit
// status: 0 for a finished run, 1 when it stopped with a message (a run that
// stops before its first step leaves no PLOTBATH.DAT; one that stops during
// the steps leaves it without its end marker).
int run_dredge(RunStats* stats = nullptr);

}  // namespace dredge
