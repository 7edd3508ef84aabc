#include "placer/inputs.hpp"

#include <algorithm>

#include "recio/records.hpp"
#include "suitefiles/tidal.hpp"

namespace placer {

namespace {

// Time step index of the last dump of the activity.
std::int32_t last_dump_step(const DumpControl& c, const Schedule& s) {
    std::int32_t made = 0, last = -1;
    for (std::int32_t w = 1; w <= s.disposal_weeks; ++w) {
        const std::int32_t loads = week_loads(s, w, c.loads, made);
        const std::int32_t make = std::min(loads, c.loads - made);
        if (make > 0) last = std::max(last, dump_time_step(loads, make, (w - 1) * STEPS_PER_WEEK));
        made += std::max(make, 0);
    }
    return last;
}

}  // namespace

bool long_term_forced(const DumpControl& c) {
    return c.wave_source != WaveSource::Calm || c.tide_source != TideSource::None ||
           c.sediment_type > 1;
}

std::int32_t wave_records_needed(const DumpControl& c, const Schedule& s) {
    if (c.wave_source != WaveSource::Series) return 0;
    // The long-term runs read through the step at the end of the period; a
    // run that starts at step 0 (the only run of a one-week period, or the
    // long-term only run) reads one record more.
    const bool from_start = c.run_mode != RunMode::Placement || s.weeks == 1;
    const std::int32_t long_term = s.weeks * STEPS_PER_WEEK + (from_start ? 1 : 0);
    return std::max(long_term, last_dump_step(c, s) + 1);
}

std::int32_t tide_records_needed(const DumpControl& c, const Schedule& s) {
    if (c.tide_source != TideSource::Series || c.run_mode != RunMode::Placement) return 0;
    return last_dump_step(c, s) + 1;
}

std::string series_problem(const DumpControl& c, const Schedule& s, const std::string& wave_name,
                           const std::string& tide_name) {
    SeriesFiles series;
    try {
        if (!series.open(c.wave_source == WaveSource::Series,
                         c.tide_source == TideSource::Series && c.run_mode == RunMode::Placement,
                         wave_name, tide_name))
            return "COULD NOT OPEN " + series.missing;
        return series.check(wave_records_needed(c, s), tide_records_needed(c, s));
    } catch (const recio::RecordError& e) {
        return e.what();
    }
}

std::string long_term_inputs_problem(const DumpControl& c) {
    if (!long_term_forced(c)) return {};
    if (c.tide_source == TideSource::Series) {
        suitefiles::TidalFile f;
        try {
            if (!suitefiles::read_tidal_file("TIDAL.DAT", f))
                return "COULD NOT OPEN TIDAL.DAT (THE TIDE OF THE LONG-TERM MODEL)";
        } catch (const recio::RecordError& e) {
            return e.what();
        }
    }
    if (c.sediment_type > 1) {
        const std::string name = c.sediment_type == 3   ? "PCDDF3.DAT"
                                 : c.sediment_type == 4 ? "PCDDF4.DAT"
                                                        : "PCDDF2.DAT";
        recio::RecordReader in;
        std::string first;
        if (!in.open(name) || !in.next_record(first))
            return "COULD NOT READ " + name + " (THE CONSOLIDATION DATA OF SEDIMENT TYPE " +
                   std::to_string(c.sediment_type) + ")";
    }
    return {};
}

std::int32_t placement_positions(const std::string& name, std::int16_t order) {
    PlacementFile f;
    if (!f.open(name)) return 0;
    suitefiles::Position p;
    std::string problem;
    std::int32_t n = 0;
    while (f.next(order, p, problem)) ++n;
    return n;
}

}  // namespace placer
