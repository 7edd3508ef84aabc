// The inputs of the long-term model's benchmark weeks, shared by the
// benchmark and by the program that writes them out for a byte comparison of
// two builds (compare.sh).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

namespace dredge_bench {

// One week on a 201 x 201 grid of 50-ft cells: the sediment type (1 sand,
// 2 cohesive), the harmonic tide table of the site and the steady current.
struct WeekCase {
    const char* name;
    std::int32_t ised;
    const char* tide_file;
    float steady_speed;  // ft/s, toward 45 degrees
};

// An offshore site (the tide of South Beach, Oregon, levels only, and a
// steady 0.5 ft/s current) and a harbour entrance (the currents of
// Charleston, SC, up to about 3 ft/s, more over the mound), each with a
// non-cohesive and a cohesive bed.
constexpr std::array<WeekCase, 4> kWeekCases{{
    {"NonCohesiveWeek201", 1, "TIDAL_SOUTH_BEACH.DAT", 0.5f},
    {"CohesiveWeek201", 2, "TIDAL_SOUTH_BEACH.DAT", 0.5f},
    {"NonCohesiveWeek201HarbourCurrents", 1, "TIDAL_CHARLESTON.DAT", 0.0f},
    {"CohesiveWeek201HarbourCurrents", 2, "TIDAL_CHARLESTON.DAT", 0.0f},
}};

// Writes the input files of the case into dir (which must exist): SITE.TNS,
// PCD.INI, TIDAL.DAT, WAVREC.OUT and PCDDF2.DAT, the last three copied from
// data_dir.
void write_case(const std::filesystem::path& dir, const WeekCase& c,
                const std::filesystem::path& data_dir);

}  // namespace dredge_bench
