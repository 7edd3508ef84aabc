// The input files a placement run reads after its start, checked before the
// first load: a run that would stop or lose a long-term run half-way through
// is refused at once, naming the file and what is missing, with nothing written.
#pragma once

#include <cstdint>
#include <string>

#include "placer/control.hpp"
#include "placer/schedule.hpp"

namespace placer {

// Records of the wave series the run reads: the dumps' time steps and the
// long-term runs (which read one record per step through the end of the period).
std::int32_t wave_records_needed(const DumpControl& c, const Schedule& s);
// Records of the tide series the dumps read (one per step up to the last dump).
std::int32_t tide_records_needed(const DumpControl& c, const Schedule& s);

// The long-term model will run at least once whatever the current schedule.
bool long_term_forced(const DumpControl& c);

// "" when WAVREC.OUT, TIDE.DAT, TIDAL.DAT and the consolidation data file
// that the run will use are all there and cover the run; otherwise the first
// problem, naming the file.
std::string series_problem(const DumpControl& c, const Schedule& s,
                           const std::string& wave_name = "WAVREC.OUT",
                           const std::string& tide_name = "TIDE.DAT");
std::string long_term_inputs_problem(const DumpControl& c);

// Positions a placement file holds, up to the first record that cannot be read.
std::int32_t placement_positions(const std::string& name, std::int16_t order);

}  // namespace placer
