// The bathymetry modifier: an edited copy of an existing site, changed point
// by point or by adapting a new survey, stored under a new site name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "recio/records.hpp"
#include "sitegen/survey.hpp"
#include "suitefiles/modify_ini.hpp"

namespace modify {

enum : std::int8_t {
    MODE_EDITS = suitefiles::MODIFY_EDITS,
    MODE_SURVEY = suitefiles::MODIFY_SURVEY
};

using suitefiles::MAX_EDITS;

// The records of MODIFY.INI: suitefiles/modify_ini.hpp.
using Control = suitefiles::ModifyIni;
using EditPoint = suitefiles::EditPoint;

// Reads MODIFY.INI (suitefiles::read_modify_ini): "" when the file was read
// whole, or why it cannot be used.
std::string read_control(recio::RecordReader& in, Control& c);

// Point edits: every grid point within the capture half-width H = 0.52 x
// interval of an edit point, along both axes, takes the edit depth; edits
// shallower than 1 ft are ignored and later edits override earlier ones.
// Positions come from the site's NW corner (site coordinate system).
// Returns the number of grid-point changes made.
std::int32_t apply_edits(gridlib::SiteGrid& grid, float site_nw_e, float site_nw_n,
                         const std::vector<EditPoint>& edits);

// What one edit did: the grid points whose depth it changed (1-based point
// number, depth before and after), and how many points it reached.
struct PointChange {
    std::int32_t point = 0;
    float old_depth = 0.0f, new_depth = 0.0f;
};
struct EditOutcome {
    std::vector<PointChange> changed;
    std::int32_t reached = 0;  // grid points within the capture half-width
    bool too_shallow = false;  // an edit depth below 1 ft, not applied
};
// As apply_edits, telling for each edit, in file order, what it did.
std::vector<EditOutcome> apply_edits_reported(gridlib::SiteGrid& grid, float site_nw_e,
                                              float site_nw_n, const std::vector<EditPoint>& edits);
// The console lines of the edits: every point changed with its old and new
// depth, and each edit that changed nothing or lay off the site.
std::vector<std::string> edit_report(const std::vector<EditPoint>& edits,
                                     const std::vector<EditOutcome>& outcomes,
                                     std::int16_t interval);

// The whole run in the current folder; returns the exit status (0 when the
// new site was stored). Throws recio::RecordError for an unreadable control
// or survey file, before anything is written.
int run();

}  // namespace modify
