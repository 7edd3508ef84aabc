// The placement schedule in time (disposal weeks, 3-hour steps, the current
// of the moment) and in space (the dump position of each load).
#pragma once

#include <cstdint>
#include <string>

#include "gridlib/sitegrid.hpp"
#include "placer/control.hpp"
#include "placer/setup.hpp"
#include "placer/site.hpp"
#include "recio/random.hpp"
#include "recio/records.hpp"

namespace placer {

constexpr std::int32_t STEPS_PER_WEEK = 56;  // 3-hour steps in a week of 7 days

// Weeks of `days` days: int(days / 7), at least 1, plus one more when the
// part-week left over exceeds 0.14 of the whole weeks.
std::int32_t weeks_of(std::int32_t days);

struct Schedule {
    std::int32_t weeks = 1;           // W, weeks of the whole period
    std::int32_t disposal_weeks = 0;  // D
    std::int32_t per_week = 0;        // P, loads of an ordinary week
    float remainder = 0;              // R, loads left over by P x D
    bool uneven = false;              // R > 2: the first and last week carry R/2 more
    std::int32_t quiet_weeks = 0;     // weeks of the final long-term period
};
Schedule make_schedule(std::int32_t loads, std::int32_t disposal_days, std::int32_t period_days,
                       RunMode run_mode);

// Loads planned for disposal week w (1..D): P, or int(R/2 + P) for the first
// and the last week of an uneven schedule.
std::int32_t planned_loads(const Schedule& s, std::int32_t week);

// Loads to make in week w when `made` of `loads` are made already: the plan,
// never more than remain, and in the last disposal week all that remain, so
// that the activity makes exactly its number of loads.
std::int32_t week_loads(const Schedule& s, std::int32_t week, std::int32_t loads,
                        std::int32_t made);

// Time step index of dump k (1-based) of a week of `loads_this_week` loads
// starting at step `week_start`: the loads spread evenly over the 7 days.
std::int32_t dump_time_step(std::int32_t loads_this_week, std::int32_t k, std::int32_t week_start);

// The steady current of the schedule at `days` after the start of the period.
struct Current {
    float speed = 0, x = 0, y = 0;  // speed, and components along the grid's x and y
};
Current schedule_current(const DumpControl& c, float rotation, float days);

// Compass bearing in degrees (0..360, clockwise from north) of a vector with
// east component u and north component v.
float CTHETA(float u, float v);

// Total current along the grid axes: the tidal current (east u, north v) plus
// the schedule's steady current.
void total_current(float u, float v, float rotation, const Current& steady, float& x, float& y);

// The fate-model duration and print times, s.
struct FateTiming {
    float tstop = 0, tprint1 = 0, tprint2 = 0;
};

// Fate grid of a load: 44 x 44, or 64 x 64 on a site of more than 58 points
// each way when the drift of the load (settling through the reference depth
// in the current, or the vessel's travel during the discharge) comes near
// the grid's half width. When the drift still passes the half width, the
// duration is cut to the time the current takes to cross the half width,
// in whole hundreds of seconds (at least 100), the print times to half of it
// and all of it; `timing` keeps the cut for later loads. A duration is never
// lengthened this way, and a drift from the vessel alone (no current) leaves it.
// Sets cond.rows, cond.cols and the timing of `cond`.
void fit_fate_grid(float ref_depth, float min_fall, const Vessel& vessel, float trel,
                   const SiteFrame& site, DumpConditions& cond, FateTiming& timing);

// ---- dump positions, in the site's own units

// Mode 1: random scatter within 1.1 radius of the centre, favouring the half
// plane named by the direction code. `weight` carries over from dump to dump:
// an unknown code leaves it as it was (0 at first, placing the dump at the centre).
suitefiles::Position scatter_position(const DumpControl& c, const Scale& sc,
                                      recio::UniformRandom& random, float& weight);
// The weight of bearing b (degrees) for a direction code; `weight` unchanged for an unknown code.
void sector_weight(const std::string& code, float bearing, float& weight);

// Mode 2: load number `load` (1..loads of the whole activity) at
// (load - 1) x spacing along the line from its start.
suitefiles::Position line_position(const Line& line, const Scale& sc, std::int32_t load);

// Mode 4: the placement file, one list-directed record of two reals per load.
class PlacementFile {
  public:
    bool open(const std::string& name);
    // The next position; false at the end of the file or at a record that
    // cannot be read (with `problem` set to the reason).
    bool next(std::int16_t order, suitefiles::Position& p, std::string& problem);

  private:
    recio::RecordReader in_;
};

// Mode 3: asks for the position of dump k at the keyboard. False when the
// keyboard input has ended.
bool keyboard_position(std::int16_t coord_system, std::int16_t k, std::int16_t remaining,
                       suitefiles::Position& p);

// ---- series files

struct SeriesValues {
    float wave_height = 0, wave_period = 0, wave_direction = 0;  // ft, s, degrees
    float tide = 0, u = 0, v = 0;                                // ft, ft/s east, ft/s north
};

// WAVREC.OUT and TIDE.DAT, read by suitefiles/wavrec.hpp and suitefiles/tide.hpp
// (wave heights in the file in metres).
class SeriesFiles {
  public:
    // Opens the files in use; false when one of them cannot be opened (its
    // name is then in `missing`).
    bool open(bool waves, bool tides, const std::string& wave_name = "WAVREC.OUT",
              const std::string& tide_name = "TIDE.DAT");
    std::string missing;
    void close();
    // Values of time step `index` (0-based): the record index + 1 of each
    // series in use. Throws RecordError when a series is shorter or unreadable.
    void values(std::int32_t index, SeriesValues& out);
    // Reads the first records of each series in use, `wave_records` and
    // `tide_records` of them, as values() would: "" when they are all there
    // and readable, else the problem (the file, and the record or how many
    // records it holds).
    std::string check(std::int32_t wave_records, std::int32_t tide_records);

  private:
    void next_wave(SeriesValues& out);  // the next record, checked
    void next_tide(SeriesValues& out);
    bool waves_ = false, tides_ = false;
    recio::RecordReader wave_, tide_;
};

}  // namespace placer
