// Start-up computations of a placement run: material properties, reference
// depth, base surface and slope analysis, vessel velocity and line set-up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "placer/control.hpp"
#include "placer/kernels.hpp"
#include "placer/site.hpp"

namespace placer {

constexpr float WATER_UNIT_WEIGHT = 62.414536f;  // lb/ft3 per unit specific gravity
constexpr float WATER_VISCOSITY = 2.09E-5f;      // dynamic viscosity of water, lb s/ft2
constexpr float MM_PER_FOOT = 304.8f;

// Stokes fall velocity (ft/s) of grains of `diameter_mm` and specific gravity
// `sg` in water of density `water_density` (g/cm3), limited to 0.005..3.0 ft/s.
float stokes_fall_velocity(float sg, float diameter_mm, float water_density);

// Fall velocities, porosity and simulated vessel size of a placement run
// (run mode 2); in run mode 1 only the porosity, from the bulk void ratio.
// The smallest fall velocity is taken over the non-cohesive fractions, or
// over all fractions when every fraction is cohesive.
Material material_properties(const DumpControl& c);

// Reference depth: (four corner depths + 2 x the depth of point N/2 - npr/2) / 6.
float reference_depth(const SiteFrame& site, const std::vector<float>& depth);

// Reads the base surface (14 header records, then N depths as 26F8.3).
// Returns false when the file cannot be opened; throws RecordError when it
// cannot be read.
bool read_base_surface(const std::string& path, std::int32_t n, std::vector<float>& base);

// Slope analysis of the starting grid: raises the final avalanching angles to
// just above the steepest existing slope where the site is steeper than the
// avalanching angle (or, in a placement run, where most slopes come within
// the avalanching angle's tangent of the steepest). In run mode 1 the
// record-19 angles are replaced by the final angles.
struct Angles {
    float aval = 0, post = 0;  // angles in force during the run (record 19)
    float final_aval = 0, final_post = 0;
};
void slope_analysis(const SiteFrame& site, const std::vector<float>& depth, WorkGrid& work,
                    RunMode run_mode, Angles& angles);

// Vessel velocity along the grid axes and the heading corrected for the rotation.
Vessel vessel_motion(const DumpControl& c, float rotation);

// Line placement: the line from start to end, its length (ft), angle B and
// the spacing between dumps (length / loads, whole feet).
struct Line {
    float start_e = 0, start_n = 0;
    float dn = 0,
          de = 0;  // start - end in feet: dn > 0 when the end lies south, de > 0 when it lies west
    std::int32_t length = 0;
    float angle = 0;  // B, rad
    std::int32_t spacing = 0;
};
Line line_setup(const DumpControl& c, const Scale& sc);
// The line's length must be a count of feet in a 32-bit integer: the
// message for a line that is longer (or not a length at all), else empty.
std::string line_problem(const DumpControl& c, const Scale& sc);

// Depths to thickness form over the base surface (reference depth -
// (base - depth)) and back.
void to_thickness_form(std::vector<float>& depth, const std::vector<float>& base, float ref,
                       std::int32_t n);
void from_thickness_form(std::vector<float>& depth, const std::vector<float>& base, float ref,
                         std::int32_t n);

}  // namespace placer
