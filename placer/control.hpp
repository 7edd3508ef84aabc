// The placement control file DUMP.INI as placer takes it. The file's values,
// layout, reader and writer are in suitefiles/dump_ini.hpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "suitefiles/dump_ini.hpp"

namespace placer {

using suitefiles::code;
using suitefiles::DumpControl;
using suitefiles::Fraction;
using suitefiles::MAX_FRACTIONS;
using suitefiles::MAX_PROFILE;
using suitefiles::PlacementMode;
using suitefiles::RunMode;
using suitefiles::TideSource;
using suitefiles::VesselKind;
using suitefiles::WaveSource;

// Reads DUMP.INI (suitefiles::read_dump_ini); a placement file run makes
// the stated number of loads like every other placement mode. Returns false when the file cannot be
// opened; throws recio::RecordError for a file that cannot be read.
bool read_control(const std::string& path, DumpControl& c);

// Checks the values the run cannot work with: run mode, sources, angles, and
// in a placement run the fate-model options the deck relies on (KEY1 = 0,
// KDEPTH other than 1, KWAVE = 1, KVEL 1 or 2, NPRT = 2), the profile, layers,
// vessel and material values, the loads and the placement mode. Returns the
// first problem as a message, or an empty text.
std::string check_dump_control(const DumpControl& c);

}  // namespace placer
