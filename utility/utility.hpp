// Grid utilities: a simple mound or berm superimposed on a site, volumes
// above an elevation or between two grids, and the difference grid of two
// sites. The job is chosen by the flag word that the menu leaves in
// ACTION.BAT; the parameters come from UTL.INI.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "recio/records.hpp"
#include "suitefiles/utl_ini.hpp"

namespace utility {

enum class Job { None, Structure, Volumes, Carry };

// The job named by the first 8 characters of the first record of the flag
// file: "UTILITY1" mound or berm, "UTILITY2" volumes, "UTILITY3" the outside
// program. Any other word, or no flag file, is Job::None.
Job read_job(const std::string& flag_file);

// ---- geometry of a site

// Turns coordinate differences into feet. Plane sites: FACT = 1, CL = 1,
// SGN = +1. Geographic sites: FACT = 364800 ft per degree, CL = cos(latitude
// of the NW corner), SGN = -1 (longitudes grow westward).
struct CoordFactors {
    float fact = 1.0f, cl = 1.0f, sgn = 1.0f;
};
CoordFactors coord_factors(std::int16_t coord_system, float nw_latitude);

// Distance in feet between two locations given in the site's coordinates.
inline float distance_ft(float e1, float n1, float e2, float n2, const CoordFactors& f) {
    float de = (e1 - e2) * f.cl * f.fact;
    float dn = (n1 - n2) * f.fact;
    return std::sqrt(de * de + dn * dn);
}

// A site ready for shaping: its grid, the positions of its points (from the
// site NW corner of the summary header) and the terms that turn coordinates
// into feet.
struct ShapedSite {
    gridlib::SiteGrid& grid;
    float nw_e, nw_n;  // site NW corner, in the site's coordinates
    suitefiles::Rotation rot;
    CoordFactors f;
    std::vector<float> e, n;  // point positions, point order

    ShapedSite(gridlib::SiteGrid& g, float nw_easting, float nw_northing);
};

// The side of a cone with its apex at the crest depth: a point r feet from
// the apex that lies deeper than crest + r x slope is raised to that depth.
inline void raise_to_cone(float& depth, float crest, float r, float slope) {
    if (depth - crest > r * slope) depth = crest + r * slope;
}

using suitefiles::Mound;  // UTL.INI's values: suitefiles/utl_ini.hpp

// A cone with its apex at the mound centre; it only ever makes the bottom shallower.
void apply_mound(ShapedSite& site, const Mound& m);

using suitefiles::Berm;

// The line of a berm. Its length L is the whole feet between start and end;
// its angle is arctan(|dN| / |dE|) from the west-east axis, or 1.5708 for a
// berm running north-south (|dE| < 1 ft). Step j (1 .. L div interval; the
// start itself is not a step) lies j x interval feet from the start toward
// the end.
struct BermLine {
    float start_e = 0, start_n = 0;
    float sina = 0, cosa = 1;
    std::int16_t interval = 1;
    float fact = 1, cl = 1, sgn = 1;
    bool end_north = false, end_east = false;  // where the end lies from the start
    std::int32_t steps = 0;
    bool too_long = false;  // the ends lie so far apart that the length has no 32-bit value

    suitefiles::Position at(std::int32_t j) const;
};
BermLine berm_line(const Berm& b, std::int16_t interval, const CoordFactors& f);
// All step points of a berm, in order.
std::vector<suitefiles::Position> berm_steps(const Berm& b, std::int16_t interval,
                                             const CoordFactors& f);

// Half-width of the crest band about each step point: crest width / 2 + 5 ft.
inline float crest_band(const Berm& b) {
    return static_cast<float>(b.crest_width) / 2.0f + 5.0f;
}

// The berm: at every step, every grid point within the crest band gets the
// crest depth and then serves as the apex of a cone over the grid. Visits
// only the points a band or a cone can reach (a cone reaches no further than
// (deepest depth - crest depth) / side slope from its apex), in the same
// order as a sweep of the whole grid, so the depths are the same.
void apply_berm(ShapedSite& site, const Berm& b);
// The same berm by sweeping the whole grid for every step and every apex.
void apply_berm_every_point(ShapedSite& site, const Berm& b);

// ---- volumes

using suitefiles::VOLUME_ABOVE;
using suitefiles::VOLUME_BETWEEN;
using suitefiles::VOLUME_DIFFERENCE;

struct Volumes {
    double cut = 0;   // cubic yards, negative
    double fill = 0;  // cubic yards
    double net = 0;   // cut + fill
    float mean = 0;   // mean difference, feet
};

// Volumes of a grid above an elevation (second == nullptr, D = elevation -
// depth) or between two grids (D = depth1 - depth2); every point stands for a
// full cell of interval x interval. With store_difference the first grid's
// depths are replaced by D.
Volumes grid_volumes(gridlib::SiteGrid& first, const gridlib::SiteGrid* second, float elevation,
                     bool store_difference);

// ---- UTL.INI

// The values of UTL.INI for each job: suitefiles/utl_ini.hpp.
using StructureControl = suitefiles::UtlStructure;
using VolumesControl = suitefiles::UtlVolumes;
// Read UTL.INI for each job (suitefiles::read_utl_structure, read_utl_volumes).
std::string read_structure_control(recio::RecordReader& in, StructureControl& c);
std::string read_volumes_control(recio::RecordReader& in, VolumesControl& c);

// ---- the jobs (each returns the exit status of the run)

int run_structure();  // UTILITY1
int run_volumes();    // UTILITY2
int run_carry();      // UTILITY3
// Reads ACTION.BAT and runs its job; a RecordError from UTL.INI propagates.
int run_utility();

}  // namespace utility
