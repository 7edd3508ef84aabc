// The placement control file DUMP.INI.
//
// DUMP.INI is written by the menu shell and read here record by record with
// fixed formats. Its values describe the activity (site, output names,
// schedule, placement mode), the vessel and the material, and the fate-model
// and long-term options that travel on into CLDX.DUE and PCD.INI.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace placer {

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
    std::int32_t run_mode = 2;     // 1 long-term only, 2 placement
    std::int32_t wave_source =
        2;  // 1 WAVREC.OUT, 2 constant, 3 constant and calm for the long-term model
    std::int32_t tide_source = 2;  // 1 TIDE.DAT, 2 none
    // records 6-7
    std::string equipment;
    std::int16_t kvessel = 3, nbins = 1;
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
    std::int16_t placement_mode = 1;
    std::string technique;  // 30 characters
    float centre_e = 0, centre_n = 0, radius = 0;
    std::string direction_code;  // 2 characters
    float line_start_e = 0, line_start_n = 0, line_end_e = 0, line_end_n = 0;
    std::int16_t order = 1;  // placement-file coordinate order
    // record 16 (loads and amount after the placement-file adjustment)
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

// Reads DUMP.INI. Returns false when the file cannot be opened. Throws
// recio::RecordError (naming the file, record and field) for a record that
// cannot be read, or for a count that decides how many records follow
// (sediment fractions, profile points) outside its storage.
bool read_dump_ini(const std::string& path, DumpControl& c);

// Checks the values the run cannot work with: run mode, sources, angles, and
// in a placement run the fate-model options the deck relies on (KEY1 = 0,
// KDEPTH other than 1, KWAVE = 1, KVEL 1 or 2, NPRT = 2), the profile, layers,
// vessel and material values, the loads and the placement mode. Returns the
// first problem as a message, or an empty text.
std::string check_dump_control(const DumpControl& c);

// The records of DUMP.INI that hold `c`, in the layouts the reader takes
// them back with (loads and amount as the file states them).
std::vector<std::string> dump_ini_records(const DumpControl& c);

}  // namespace placer
