// The site grid generator: a new disposal site as defined in
// SITEGEN.INI, its depths from a sloping plane or from a survey file, stored
// with GRID1 (.IN, .DAT, .TNS) and ARGPB (.OUT).
#pragma once

#include <cstdint>
#include <string>

#include "gridlib/sitegrid.hpp"
#include "sitegen/survey.hpp"

namespace sitegen {

enum : std::int16_t { MODE_PLANE = 1, MODE_SURVEY = 2 };

// The records of SITEGEN.INI.
struct Control {
    std::string site;    // A6
    std::string title;   // A60
    std::string prefix;  // A19
    std::int16_t coord_system = 1;
    float rotation = 0.0f;
    float site_nw_e = 0.0f, site_nw_n = 0.0f;    // in the site's coordinate system
    float local_nw_e = 0.0f, local_nw_n = 0.0f;  // in the local plane frame
    gridlib::SiteCorners corners;                // NW (= site NW), NE, SW, SE, centre
    std::int32_t we_extent = 0, ns_extent = 0;   // feet
    std::int16_t points_we = 0, points_ns = 0;
    std::int32_t total_points = 0;
    std::int16_t interval = 0, survey_interval = 0;
    std::int16_t mode = 0;
    float nw_depth = 0.0f;                   // sloping plane
    float slope_we = 0.0f, slope_ns = 0.0f;  // feet per foot
    survey::SurveySpec survey;               // survey file
    std::int16_t sign_option = 0;            // depths in the point file
    std::string too_long;  // a name that runs on past its field, for control_fault
};

// Reads SITEGEN.INI record by record (a record with fewer values than its
// layout leaves the rest at 0). Throws recio::RecordError for an unreadable
// field or an early end of the file.
Control read_control(recio::RecordReader& in);

// Why no grid can be made from the control values ("" if one can): the counts
// must describe a grid the grid file can hold.
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
