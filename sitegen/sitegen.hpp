// The site grid generator: a new disposal site as defined in
// SITEGEN.INI, its depths from a sloping plane or from a survey file, stored
// with GRID1 (.IN, .DAT, .TNS) and ARGPB (.OUT).
#pragma once

#include <cstdint>
#include <string>

#include "gridlib/sitegrid.hpp"
#include "sitegen/survey.hpp"
#include "suitefiles/sitegen_ini.hpp"

namespace sitegen {

enum : std::int16_t {
    MODE_PLANE = suitefiles::SITEGEN_PLANE,
    MODE_SURVEY = suitefiles::SITEGEN_SURVEY
};

// The records of SITEGEN.INI: suitefiles/sitegen_ini.hpp.
using Control = suitefiles::SitegenIni;

// Reads SITEGEN.INI (suitefiles::read_sitegen_ini).
Control read_control(recio::RecordReader& in);

// Why no grid can be made from the control values ("" if one can): the first
// of suitefiles::sitegen_ini_faults, as the program reports it.
std::string control_fault(const Control& c);

// The site grid described by the control values, all depths 0.
gridlib::SiteGrid grid_of(const Control& c);
// The summary counters of a new site described by the control values.
gridlib::SiteSummary summary_of(const Control& c);

// What PREBATH did.
struct Depths {
    bool datum_formed = false;  // some depth was greater than 0
    float datum = 0.0f;         // mean of the depths greater than 0
    std::int32_t positive = 0;  // depths greater than 0 before the filling
    std::int32_t beyond = 0;    // point numbers above rows x columns (set to 0)
    survey::Outcome survey;     // survey mode
};

// PREBATH: the depths of a new site. Mode 1: the sloping plane
// depth = NW depth - k A / (points W-E - 1) - r B / (points N-S - 1), with
// A = W-E extent x W-E slope and B = N-S extent x N-S slope. Mode 2: the
// survey adaptation. Then the long-term datum is the mean of the depths
// greater than 0, and depths equal to 0 are filled with it; in mode 2 the
// coverage is reported. When no depth is greater than 0 the datum cannot be
// formed: the depths are left as they are and datum_formed is false.
Depths PREBATH(const Control& c, gridlib::SiteGrid& grid);

// The whole run in the current folder; returns the exit status (0 when the
// site was stored). Throws recio::RecordError for an unreadable control or
// survey file, before anything is written.
int run();

}  // namespace sitegen
