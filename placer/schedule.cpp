// The placement schedule in time and space.
#include "placer/schedule.hpp"

#include <algorithm>
#include <cmath>

#include "placer/fields.hpp"
#include "recio/console.hpp"
#include "suitefiles/placement_files.hpp"
#include "suitefiles/tide.hpp"
#include "suitefiles/wavrec.hpp"

namespace placer {

std::int32_t weeks_of(std::int32_t days) {
    const float weeks = static_cast<float>(days) / 7.0f;
    std::int32_t w = std::max<std::int32_t>(1, static_cast<std::int32_t>(weeks));
    if ((weeks - static_cast<float>(w)) / static_cast<float>(w) > 0.14f) ++w;
    return w;
}

Schedule make_schedule(std::int32_t loads, std::int32_t disposal_days, std::int32_t period_days,
                       RunMode run_mode) {
    Schedule s;
    s.weeks = weeks_of(period_days);
    if (run_mode != RunMode::Placement) {
        s.quiet_weeks = s.weeks;
        return s;
    }
    s.disposal_weeks = std::min(weeks_of(disposal_days), s.weeks);
    s.per_week = loads / s.disposal_weeks;
    if (s.per_week < 1) {
        s.per_week = loads;
        s.disposal_weeks = 1;
    }
    s.remainder = (static_cast<float>(loads) / static_cast<float>(s.disposal_weeks) -
                   static_cast<float>(s.per_week)) *
                  static_cast<float>(s.disposal_weeks);
    s.uneven = s.remainder > 2.0f;
    s.quiet_weeks = std::max<std::int32_t>(0, s.weeks - s.disposal_weeks);
    return s;
}

std::int32_t planned_loads(const Schedule& s, std::int32_t week) {
    if (s.uneven && (week == 1 || week == s.disposal_weeks))
        return static_cast<std::int32_t>(s.remainder / 2.0f + static_cast<float>(s.per_week));
    return s.per_week;
}

std::int32_t week_loads(const Schedule& s, std::int32_t week, std::int32_t loads,
                        std::int32_t made) {
    const std::int32_t remaining = std::max<std::int32_t>(0, loads - made);
    if (week >= s.disposal_weeks) return remaining;
    return std::min(planned_loads(s, week), remaining);
}

std::int32_t dump_time_step(std::int32_t loads_this_week, std::int32_t k, std::int32_t week_start) {
    const float per_day = static_cast<float>(loads_this_week) / 7.0f;
    return static_cast<std::int32_t>(24.0f / per_day * static_cast<float>(k - 1) / 3.0f +
                                     static_cast<float>(week_start));
}

Current schedule_current(const DumpControl& c, float rotation, float days) {
    Current cur;
    float direction = c.direction1;
    cur.speed = c.speed1;
    if (c.switch_days <= days) {
        cur.speed = c.speed2;
        direction = c.direction2;
    }
    const float angle = (rotation + direction) * DEG_TO_RAD;
    cur.x = -std::cos(angle) * cur.speed;
    cur.y = std::sin(angle) * cur.speed;
    return cur;
}

void total_current(float u, float v, float rotation, const Current& steady, float& x, float& y) {
    const float speed = std::sqrt(u * u + v * v);
    const float angle = (CTHETA(u, v) + rotation) * DEG_TO_RAD;
    x = -std::cos(angle) * speed + steady.x;
    y = std::sin(angle) * speed + steady.y;
}

void fit_fate_grid(float ref_depth, float min_fall, const Vessel& vessel, float trel,
                   const SiteFrame& site, DumpConditions& cond, FateTiming& timing) {
    const float current = std::max(std::fabs(cond.current_x), std::fabs(cond.current_y));
    const float settling = ref_depth / min_fall * current * 0.8f;
    const float travel = std::max(std::fabs(vessel.vx), std::fabs(vessel.vy)) * trel * 0.7f;
    const float drift = std::max(settling, travel);
    cond.rows = cond.cols = 44;
    float half = static_cast<float>((cond.rows - 1) * site.interval) / 2.0f;
    if (0.95f * half < drift && std::min(site.points_we, site.points_ns) > 58) {
        cond.rows = cond.cols = 64;
        half = static_cast<float>(site.interval * 63) / 2.0f;
    }
    // A crossing time of at least the duration + 100 s could only give a
    // duration of at least the present one: nothing to cut (and a crossing
    // time too long for a 32-bit count of seconds is left uncounted).
    const float crossing = current > 0.0f ? half / current : 0.0f;
    if (half < drift && current > 0.0f && crossing < timing.tstop + 100.0f) {
        const auto seconds = static_cast<std::int32_t>(crossing);
        const float duration = std::max(100.0f, static_cast<float>(100 * (seconds / 100)));
        if (duration < timing.tstop) {
            timing.tstop = duration;
            timing.tprint1 = duration / 2.0f;
            timing.tprint2 = duration;
        }
    }
    cond.tstop = timing.tstop;
    cond.tprint1 = timing.tprint1;
    cond.tprint2 = timing.tprint2;
}

void sector_weight(const std::string& code, float b, float& weight) {
    auto w = [&](bool in) { weight = in ? 1.0f : 0.5f; };
    if (code == "NO")
        w((b > 270.0f && b <= 360.0f) || (b >= 0.0f && b <= 90.0f));
    else if (code == "EA")
        w(b >= 0.0f && b < 180.0f);
    else if (code == "SO")
        w(b > 90.0f && b <= 270.0f);
    else if (code == "WE")
        w(b > 180.0f && b <= 360.0f);
    else if (code == "NE")
        w((b >= 315.0f && b <= 360.0f) || (b >= 0.0f && b <= 135.0f));
    else if (code == "SE")
        w(b >= 45.0f && b < 225.0f);
    else if (code == "SW")
        w(b > 135.0f && b <= 315.0f);
    else if (code == "NW")
        w((b > 225.0f && b <= 360.0f) || (b >= 0.0f && b <= 45.0f));
}

suitefiles::Position scatter_position(const DumpControl& c, const Scale& sc,
                                      recio::UniformRandom& random, float& weight) {
    float r = random.next() * c.radius * 1.1f;
    float b = random.next() * 360.0f;
    sector_weight(c.direction_code, b, weight);
    // Loads meant for the favoured side are kept away from the centre.
    if (weight >= 0.8f && c.radius > 0.0f && r / c.radius < 0.4f)
        r = (1.0f - r / c.radius) * c.radius;
    if (weight < 0.8f) b = random.next() * 360.0f;
    suitefiles::Position p;
    p.n = c.centre_n + std::cos(b * DEG_TO_RAD) * r * weight / sc.feet_per_unit;
    p.e = c.centre_e +
          std::sin(b * DEG_TO_RAD) * sc.sign * r * weight / (sc.lon_factor * sc.feet_per_unit);
    return p;
}

suitefiles::Position line_position(const Line& line, const Scale& sc, std::int32_t load) {
    const auto offset = static_cast<float>((load - 1) * line.spacing);
    const float dn = offset * std::sin(line.angle) / sc.feet_per_unit;
    const float de = offset * sc.sign * std::cos(line.angle) / (sc.lon_factor * sc.feet_per_unit);
    suitefiles::Position p;
    p.n = line.dn >= 0.0f ? line.start_n - dn : line.start_n + dn;
    p.e = line.de >= 0.0f ? line.start_e - de : line.start_e + de;
    return p;
}

bool PlacementFile::open(const std::string& name) {
    return in_.open(gridlib::trimmed(name));
}

bool PlacementFile::next(std::int16_t order, suitefiles::Position& p, std::string& problem) {
    problem.clear();
    if (!in_.is_open()) return false;
    float first = 0.0f, second = 0.0f;
    try {
        if (!suitefiles::read_placement_record(in_, first, second)) return false;
    } catch (const recio::RecordError& e) {
        problem = e.what();
        in_.close();
        return false;
    }
    if (order == 2) {
        p.n = first;
        p.e = second;
    } else {
        p.e = first;
        p.n = second;
    }
    return true;
}

bool keyboard_position(std::int16_t coord_system, std::int16_t k, std::int16_t remaining,
                       suitefiles::Position& p) {
    for (;;) {
        if (coord_system == 1) recio::console_list();
        recio::console_list("WHERE WITHIN THE DISPOSAL AREA IS THE PLACEMENT");
        if (coord_system == 2)
            recio::console_list("OPERATION TAKING PLACE ? (LONGITUDE,LATITUDE)");
        else
            recio::console_list("OPERATION TAKING PLACE ? (EASTING,NORTHING)");
        recio::console_list("FOR DUMP # ", k, " OF ", remaining);
        float e = p.e, n = p.n;
        try {
            if (!recio::keyboard_list(e, n)) return false;
        } catch (const recio::RecordError& err) {
            recio::console_list(err.what());
            continue;  // asked again
        }
        p.e = e;
        p.n = n;
        recio::console_list();
        recio::console_list();
        return true;
    }
}

bool SeriesFiles::open(bool waves, bool tides, const std::string& wave_name,
                       const std::string& tide_name) {
    close();
    missing.clear();
    waves_ = waves;
    tides_ = tides;
    if (waves_ && !wave_.open(wave_name))
        missing = wave_name;
    else if (tides_ && !tide_.open(tide_name))
        missing = tide_name;
    return missing.empty();
}

void SeriesFiles::close() {
    wave_.close();
    tide_.close();
}

namespace {

// Rewinds a series and passes over its header and the records before step
// `index`.
void position_at(recio::RecordReader& in, bool (*skip_to)(recio::RecordReader&, long),
                 std::int32_t index, const char* name) {
    in.rewind();
    if (!skip_to(in, index))
        throw recio::RecordError(std::string(name) + " ENDS BEFORE THE RECORD OF TIME STEP " +
                                 std::to_string(index));
}

// A series value must be one its field can hold as written: a value such as
// 1E30 is none a series can have, and would overflow the fields of the deck.
void within_field(const recio::RecordReader& in, const char* name, long field, const char* what,
                  float value, std::string_view format) {
    if (!fits(value, format))
        throw recio::RecordError(
            beyond_field(field_place(name, in.record_number(), field), what, value, format));
}

}  // namespace

void SeriesFiles::values(std::int32_t index, SeriesValues& out) {
    if (waves_) {
        position_at(wave_, suitefiles::skip_to_wave_step, index, "WAVREC.OUT");
        next_wave(out);
    }
    if (tides_) {
        position_at(tide_, suitefiles::skip_to_tide_step, index, "TIDE.DAT");
        next_tide(out);
    }
}

std::string SeriesFiles::check(std::int32_t wave_records, std::int32_t tide_records) {
    SeriesValues v;
    auto covers = [&](bool in_use, recio::RecordReader& in,
                      bool (*skip_to)(recio::RecordReader&, long), const char* name,
                      std::int32_t needed, void (SeriesFiles::*next)(SeriesValues&)) {
        if (!in_use || needed <= 0) return std::string();
        in.rewind();
        if (!skip_to(in, 0)) return std::string(name) + " ENDS IN ITS HEADER RECORDS";
        for (std::int32_t k = 0; k < needed; ++k) {
            const long before = in.record_number();
            try {
                (this->*next)(v);
            } catch (const recio::RecordError& e) {
                // The end of the file leaves the record count where it was.
                if (in.record_number() != before) return std::string(e.what());
                return std::string(name) + " HOLDS " + std::to_string(k) +
                       " DATA RECORDS; THE RUN NEEDS " + std::to_string(needed) +
                       " (ONE FOR EVERY 3-HOUR STEP IT READS)";
            }
        }
        return std::string();
    };
    std::string p = covers(waves_, wave_, suitefiles::skip_to_wave_step, "WAVREC.OUT", wave_records,
                           &SeriesFiles::next_wave);
    if (p.empty())
        p = covers(tides_, tide_, suitefiles::skip_to_tide_step, "TIDE.DAT", tide_records,
                   &SeriesFiles::next_tide);
    return p;
}

void SeriesFiles::next_wave(SeriesValues& out) {
    {
        suitefiles::WaveRecord w;
        suitefiles::need_wave_record(wave_, w);
        within_field(wave_, "WAVREC.OUT", 3, "THE WAVE HEIGHT", w.height, "(F12.5)");
        within_field(wave_, "WAVREC.OUT", 4, "THE WAVE PERIOD", w.period, "(F12.5)");
        within_field(wave_, "WAVREC.OUT", 5, "THE WAVE DIRECTION", w.direction, "(F12.5)");
        out.wave_height = w.height * 3.28f;
        out.wave_period = w.period;
        out.wave_direction = w.direction;
    }
}

void SeriesFiles::next_tide(SeriesValues& out) {
    {
        suitefiles::TideRecord t;
        suitefiles::need_tide_record(tide_, t);
        within_field(tide_, "TIDE.DAT", 2, "THE TIDE ELEVATION", t.tide, "(F8.3)");
        within_field(tide_, "TIDE.DAT", 3, "THE EAST TIDAL CURRENT", t.u, "(F8.3)");
        within_field(tide_, "TIDE.DAT", 4, "THE NORTH TIDAL CURRENT", t.v, "(F8.3)");
        out.tide = t.tide;
        out.u = t.u;
        out.v = t.v;
    }
}

}  // namespace placer
