// PCD.INI, the long-term control file: written by the placement simulator
// before every start of the long-term model, read by the long-term model and
// (its start step) by the view tools.
//
//   1  (7I5)            N0, NDAYS, NX, NY, IWAVE, ITIDE, ICOH
//   2  (A32)            resampled grid file to start from
//   3  (8F8.3)          grid angle (deg), wave height (ft), wave period (s),
//                       wave direction (not used), wave-gauge depth for
//                       constant waves, wave-gauge depth for WAVREC.OUT (ft)
//   4  (8F8.3)          a value not used, first steady-current speed (ft/s)
//                       and direction (deg, toward), switch day, second speed
//                       and direction
//   5  (F8.3,I4,3F8.3)  grain size (mm), ISED, first and second slope angle
//                       (deg), bed porosity
//   6  (F8.3)           optional: depth of a non-erodible bed (ft); absent,
//                       blank or 0: every depth may erode (files without
//                       the record read as before)
#pragma once

#include <cstdint>
#include <string>

namespace suitefiles {

inline constexpr const char* PCD_STEPS = "(7I5)";
inline constexpr const char* PCD_GRID_FILE = "(A32)";
inline constexpr const char* PCD_WAVES = "(8F8.3)";
inline constexpr const char* PCD_CURRENTS = "(8F8.3)";
inline constexpr const char* PCD_SEDIMENT = "(F8.3,I4,3F8.3)";
inline constexpr const char* PCD_BED = "(F8.3)";
inline constexpr std::size_t PCD_GRID_NAME = 32;  // columns of the grid file name

// ISED, the sediment type. The cohesive types also choose the consolidation
// data file (PCDDF2.DAT .. PCDDF4.DAT); with 3 and 4 the bed change is the
// cohesive transport's alone. A value read from a file may be none of these
// (the long-term model refuses it).
enum class SedimentType : std::int16_t {
    NonCohesive = 1,
    Cohesive2 = 2,
    Cohesive3 = 3,
    Cohesive4 = 4,
};
inline std::int16_t code(SedimentType t) {
    return static_cast<std::int16_t>(t);
}
inline bool is_cohesive(SedimentType t) {
    return t != SedimentType::NonCohesive;
}

// ICOH, the cohesive erosion-rate option: the rate constant M is
// 1.02E-5 lb/ft2/s (1) or 0.00102 lb/ft2/s (2).
enum class CohesiveOption : std::int32_t { SlowErosion = 1, FastErosion = 2 };
inline std::int32_t code(CohesiveOption o) {
    return static_cast<std::int32_t>(o);
}

struct PcdIni {
    std::int32_t n0 = 0, ndays = 0;
    std::int16_t nx = 0, ny = 0;
    std::int32_t iwave = 0, itide = 0;
    CohesiveOption icoh = CohesiveOption{0};
    std::string grid_file;       // trimmed
    bool grid_name_cut = false;  // record 2 goes on beyond column 32 (read only)
    float grid_angle = 0.0f, wave_height = 0.0f, wave_period = 0.0f, wave_direction = 0.0f;
    float gauge_depth_constant = 0.0f, gauge_depth_series = 0.0f;
    float schedule_value = 0.0f, speed1 = 0.0f, direction1 = 0.0f, switch_day = 0.0f, speed2 = 0.0f,
          direction2 = 0.0f;
    float grain_size = 0.0f;
    SedimentType ised = SedimentType{0};
    float angle1 = 0.0f, angle2 = 0.0f, porosity = 0.0f;
    // No point of the grid is eroded below this depth (ft); 0: no such bed.
    // The placement simulator sets it to the level of the bed its material
    // was placed on (the flat base of the thickness form).
    float bed_depth = 0.0f;
};

// The resampled grid of the placement run's grid of the week, the one
// record 2 names during a placement run (see WEEKLY_GRID_STEM).
std::string weekly_grid_file();

// False if the file cannot be opened; a record that cannot be read, the end
// of the file before record 5, or a grid file name that would name other
// files (suitefiles/name_rules.hpp), is a recio::RecordError.
bool read_pcd_ini(const std::string& path, PcdIni& c);
// False if the file cannot be written.
bool write_pcd_ini(const std::string& path, const PcdIni& c);

// The start of a long-term run: 3 x (N0 - 1) hours (N0 = 0 taken as 1), the
// time of the grid the run starts from. Only record 1 is read.
double pcd_start_hours(const std::string& path);

}  // namespace suitefiles
