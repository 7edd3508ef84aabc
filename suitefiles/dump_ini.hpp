// DUMP.INI, the placement control file: its values, one reader and one writer.
//
// The menu shell writes the file and placer reads it record by record with
// fixed formats. Its values describe the activity (site, output names,
// schedule, placement mode), the vessel and the material, and the fate-model
// and long-term options that travel on into CLDX.DUE and PCD.INI.
//
//   1 (A19) data directory      2 (A6) site        3 (A6) output name
//   4 (A60) title               5 (16I5) base option, sign option, run mode,
//                                        wave source, tide source
//   6 (A6) equipment            7 (16I5) KVESSEL, NBINS
//   8 (9F12.3) vessel speed, direction, load volume, wave height, period, direction
//   9 (16I5) KEY1 KDEPTH KPDESC KPCOLL NPRT KWAVE KVARY KVEL
//  10 (9F12.3) TSTOP DTL TREL print times ROUGH ZREF wave-gauge depth
//  11 (9F12.3) (not used), vessel width, drafts, RHOW, TDIS, BINL, BINW, heading
//  12 (16I5) start month/year, end month/year, disposal days, period days, (not used)
//  13 (16I5) placement mode     14 (A30) technique
//  15 by mode: 1 (3F11.1,3X,A2) centre, radius, direction code;
//              2 (9F12.3) line start and end; 3, 4 (16I5) coordinate order
//  16 (2I9,3X,A32) loads, total amount, placement file
//  17 (16I5) coordinate order, navigable depth, lateral tolerance
//  18 (A30) material
//  19 (2I5,3F10.2,I5,F12.3) NLAYER, fractions, angles, grain size, sediment type, void ratio
//  one (A8,3X,5F10.5,3I5) record per fraction (the third flag not used)
//  then (16I5) profile points, (9F12.3) their depths, (8F10.5) their densities,
//  (9F12.3) the current schedule.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace suitefiles {

// The codes of DUMP.INI. A value the file holds that none of them names is
// kept as it is, so that a check can name it.
enum class RunMode : std::int32_t { LongTermOnly = 1, Placement = 2 };
enum class WaveSource : std::int32_t {
    Series = 1,    // WAVREC.OUT
    Constant = 2,  // the wave of record 8
    Calm = 3,      // the wave of record 8, calm for the long-term model
};
enum class TideSource : std::int32_t { Series = 1, None = 2 };  // 1: TIDE.DAT
enum class VesselKind : std::int16_t { HopperDredge = 1, SplitHullBarge = 3 };
enum class PlacementMode : std::int16_t { Scatter = 1, Line = 2, Keyboard = 3, File = 4 };

// The number a code is written as.
template <class E>
constexpr std::underlying_type_t<E> code(E e) {
    return static_cast<std::underlying_type_t<E>>(e);
}

constexpr int MAX_FRACTIONS = 4;  // sediment fractions of a load
constexpr int MAX_PROFILE = 4;    // points of the ambient density profile

struct Fraction {
    std::string name;           // 8 characters
    float sg = 0;               // specific gravity
    float conc = 0;             // volumetric concentration in the load
    float diameter = 0;         // grain diameter, mm
    float void_ratio = 0;       // depositional void ratio
    float taucd = 0;            // critical shear stress for deposition, lb/ft2
    std::int16_t cohesive = 0;  // 0 non-cohesive
    std::int16_t strip = 0;     // non-zero: stripped during descent
};

struct DumpControl {
    // records 1-4: names and title
    std::string prefix;  // data directory, used up to its first blank
    std::string site;    // stem of the starting grid files
    std::string out;     // stem of every grid and report file written
    std::string title;   // 60 characters, handed to the grid writer
    // record 5
    std::int16_t base_option = 0;  // 1: avalanching over a base surface
    std::int16_t sign_option = 0;  // depth sign option of the point file
    RunMode run_mode = RunMode::Placement;
    WaveSource wave_source = WaveSource::Constant;
    TideSource tide_source = TideSource::None;
    // records 6-7
    std::string equipment;
    VesselKind kvessel = VesselKind::SplitHullBarge;
    std::int16_t nbins = 1;
    // record 8
    float vessel_speed = 0, vessel_direction = 0, load_volume = 0;
    float wave_height = 0, wave_period = 0, wave_direction = 0;
    // record 9: fate-model options
    std::int16_t key1 = 0, kdepth = 0, kpdesc = 0, kpcoll = 0, nprt = 2, kwave = 1, kvary = 0,
                 kvel = 1;
    // record 10
    float tstop = 0, dtl = 0, trel = 0, tprint1 = 0, tprint2 = 0, rough = 0, zref = 0,
          gauge_depth = 0;
    // record 11 (its first value is not used)
    float vessel_width = 0, loaded_draft = 0, light_draft = 0, rhow = 0, tdis = 0, binl = 0,
          binw = 0;
    float heading = 0;
    // record 12
    std::int32_t start_month = 0, start_year = 0, end_month = 0, end_year = 0;
    std::int32_t disposal_days = 0, period_days = 0;
    // records 13-15: placement
    PlacementMode placement_mode = PlacementMode::Scatter;
    std::string technique;  // 30 characters
    float centre_e = 0, centre_n = 0, radius = 0;
    std::string direction_code;  // 2 characters
    float line_start_e = 0, line_start_n = 0, line_end_e = 0, line_end_n = 0;
    std::int16_t order = 1;  // placement-file coordinate order
    // record 16, as the file states them
    std::int16_t loads = 0;
    std::int32_t total_amount = 0;
    std::string placement_file;  // 32 characters
    // record 17
    std::int16_t navigable_depth = 0, lateral_tolerance = 0;
    // records 18-19
    std::string material;  // 30 characters
    std::int16_t nlayer = 1, nfrac = 1;
    float aval_angle = 0, post_angle = 0, grain_size = 0;
    std::int16_t sediment_type = 1;
    float bulk_void_ratio = 0;
    // records 20-23
    std::vector<Fraction> fractions;
    std::int16_t nprofile = 0;
    float profile_depth[MAX_PROFILE] = {0, 0, 0, 0};
    float profile_density[MAX_PROFILE] = {0, 0, 0, 0};
    // record 24: current schedule
    float schedule_value = 0, speed1 = 0, direction1 = 0, switch_days = 0, speed2 = 0,
          direction2 = 0;

    // Record numbers in the file, for messages about values found there.
    long rec_fractions = 20, rec_profile = 21;
};

// Reads DUMP.INI as the file states it. Returns false when the file cannot
// be opened. Throws recio::RecordError (naming the file, record and field)
// for a record that cannot be read, for a name longer than its field or one
// that would name other files (suitefiles/name_rules.hpp), or for
// a count that decides how many records follow (sediment fractions, profile
// points) outside its storage.
bool read_dump_ini(const std::string& path, DumpControl& c);

// The records of DUMP.INI that hold `c`, in the layouts the reader takes
// them back with; the values not used are written as 0.
std::vector<std::string> dump_ini_records(const DumpControl& c);

// Writes DUMP.INI; false when it cannot be written.
bool write_dump_ini(const std::string& path, const DumpControl& c);

}  // namespace suitefiles
