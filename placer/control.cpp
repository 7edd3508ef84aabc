// DUMP.INI.
#include "placer/control.hpp"

#include <cmath>
#include <cstdint>
#include <string>

#include "recio/records.hpp"

namespace placer {

namespace {

[[noreturn]] void bad_count(const recio::RecordReader& in, const std::string& what) {
    throw recio::RecordError("DUMP.INI RECORD " + std::to_string(in.record_number()) + ": " + what);
}

// A name is read from its field only; text in the columns after it means the
// name was longer than the field holds, and cutting it short would name
// another file.
void whole_name(const recio::RecordReader& in, const std::string& what, const std::string& name,
                const std::string& rest, int width) {
    if (rest.find_first_not_of(' ') == std::string::npos) return;
    std::string whole = name + rest;
    whole.erase(whole.find_last_not_of(' ') + 1);
    whole.erase(0, whole.find_first_not_of(' '));
    bad_count(in,
              what + " \"" + whole + "\" IS LONGER THAN " + std::to_string(width) + " CHARACTERS");
}

}  // namespace

bool read_dump_ini(const std::string& path, DumpControl& c) {
    recio::RecordReader in(path);
    if (!in.is_open()) return false;
    std::string rest;
    in.need("(A19,A)", c.prefix, rest);
    whole_name(in, "THE DATA DIRECTORY", c.prefix, rest, 19);
    in.need("(A6,A)", c.site, rest);
    whole_name(in, "THE SITE NAME", c.site, rest, 6);
    in.need("(A6,A)", c.out, rest);
    whole_name(in, "THE OUTPUT NAME", c.out, rest, 6);
    in.need("(A60)", c.title);
    in.need("(16I5)", c.base_option, c.sign_option, c.run_mode, c.wave_source, c.tide_source);
    in.need("(A6)", c.equipment);
    in.need("(16I5)", c.kvessel, c.nbins);
    in.need("(9F12.3)", c.vessel_speed, c.vessel_direction, c.load_volume, c.wave_height,
            c.wave_period, c.wave_direction);
    in.need("(16I5)", c.key1, c.kdepth, c.kpdesc, c.kpcoll, c.nprt, c.kwave, c.kvary, c.kvel);
    in.need("(9F12.3)", c.tstop, c.dtl, c.trel, c.tprint1, c.tprint2, c.rough, c.zref,
            c.gauge_depth);
    in.need("(12X,8F12.3)", c.vessel_width, c.loaded_draft, c.light_draft, c.rhow, c.tdis, c.binl,
            c.binw, c.heading);
    in.need("(16I5)", c.start_month, c.start_year, c.end_month, c.end_year, c.disposal_days,
            c.period_days);
    in.need("(16I5)", c.placement_mode);
    in.need("(A30)", c.technique);
    switch (c.placement_mode) {
        case 1:
            in.need("(3F11.1,3X,A2)", c.centre_e, c.centre_n, c.radius, c.direction_code);
            break;
        case 2:
            in.need("(9F12.3)", c.line_start_e, c.line_start_n, c.line_end_e, c.line_end_n);
            break;
        case 3:
        case 4:
            in.need("(16I5)", c.order);
            break;
        default: {  // no layout of its own: the record is passed over (a placement run refuses the
                    // mode)
            std::string skipped;
            in.need("(A)", skipped);
        }
    }
    in.need("(2I9,3X,A32,A)", c.loads, c.total_amount, c.placement_file, rest);
    if (c.placement_mode == 4) {
        whole_name(in, "THE PLACEMENT FILE NAME", c.placement_file, rest, 32);
        // One load is taken off; a count that has none to give stays below 1
        // (and is refused), and an amount beyond the 32-bit range is held at
        // its end (the load volume is checked later).
        if (c.loads > 0) c.loads = static_cast<std::int16_t>(c.loads - 1);
        const float amount = static_cast<float>(c.total_amount) - c.load_volume;
        if (amount >= 2147483520.0f)
            c.total_amount = INT32_MAX;
        else if (amount > -2147483648.0f)
            c.total_amount = static_cast<std::int32_t>(amount);
        else
            c.total_amount = INT32_MIN;
    }
    in.need("(16I5)", c.order, c.navigable_depth, c.lateral_tolerance);
    in.need("(A30)", c.material);
    in.need("(2I5,3F10.2,I5,F12.3)", c.nlayer, c.nfrac, c.aval_angle, c.post_angle, c.grain_size,
            c.sediment_type, c.bulk_void_ratio);
    if (c.nfrac < 1 || c.nfrac > MAX_FRACTIONS)
        bad_count(
            in, "THE NUMBER OF SEDIMENT FRACTIONS MUST BE 1 TO 4, NOT " + std::to_string(c.nfrac));
    c.fractions.assign(static_cast<std::size_t>(c.nfrac), Fraction{});
    c.rec_fractions = in.record_number() + 1;
    for (Fraction& f : c.fractions)
        in.need("(A8,3X,5F10.5,2I5)", f.name, f.sg, f.conc, f.diameter, f.void_ratio, f.taucd,
                f.cohesive, f.strip);
    in.need("(16I5)", c.nprofile);
    c.rec_profile = in.record_number();
    if (c.nprofile < 0 || c.nprofile > MAX_PROFILE)
        bad_count(in, "THE NUMBER OF DENSITY PROFILE POINTS MUST BE 0 TO 4, NOT " +
                          std::to_string(c.nprofile));
    const auto m = static_cast<std::size_t>(c.nprofile);
    in.need("(9F12.3)", recio::array(c.profile_depth, m));
    in.need("(8F10.5)", recio::array(c.profile_density, m));
    in.need("(9F12.3)", c.schedule_value, c.speed1, c.direction1, c.switch_days, c.speed2,
            c.direction2);
    return true;
}

namespace {

std::string rec(long number) {
    return "DUMP.INI RECORD " + std::to_string(number) + ": ";
}

// A real of the fraction record keeps its value in the fate model's reading
// only while its F10.5 field starts with two blanks.
bool fits_fraction_field(float v) {
    return v < 100.0f && v > -10.0f;
}

// The used part of a site or output name (before its first blank): blank
// names would make hidden files such as ".IN", and a period would end the
// base of the companion names (.DAT, .TNS) early, so that they part from
// the grid file.
std::string name_problem(long record, const std::string& what, const std::string& name) {
    const std::string used = name.substr(0, name.find(' '));
    if (used.empty()) return rec(record) + what + " IS BLANK";
    if (used.find('.') != std::string::npos)
        return rec(record) + what + " \"" + used + "\" HOLDS A PERIOD";
    return {};
}

}  // namespace

std::string check_dump_control(const DumpControl& c) {
    std::string problem = name_problem(2, "THE SITE NAME", c.site);
    if (problem.empty()) problem = name_problem(3, "THE OUTPUT NAME", c.out);
    if (!problem.empty()) return problem;
    if (c.run_mode != 1 && c.run_mode != 2)
        return rec(5) + "THE RUN MODE MUST BE 1 OR 2, NOT " + std::to_string(c.run_mode);
    if (c.wave_source < 1 || c.wave_source > 3)
        return rec(5) + "THE WAVE SOURCE MUST BE 1, 2 OR 3, NOT " + std::to_string(c.wave_source);
    if (c.tide_source != 1 && c.tide_source != 2)
        return rec(5) + "THE TIDE SOURCE MUST BE 1 OR 2, NOT " + std::to_string(c.tide_source);
    if (!(c.aval_angle > 0.0f && c.aval_angle <= 90.0f) ||
        !(c.post_angle >= 0.0f && c.post_angle < c.aval_angle))
        return rec(19) +
               "THE AVALANCHING ANGLE MUST LIE ABOVE 0 AND UP TO 90 DEGREES AND THE "
               "POST-AVALANCHING ANGLE BELOW IT";
    if (c.run_mode != 2) return {};

    // The deck always carries the depth grid, the wave record, one velocity
    // observation and two print times, and no coefficient records.
    if (c.key1 != 0)
        return rec(9) + "KEY1 MUST BE 0 (DEFAULT FATE-MODEL COEFFICIENTS), NOT " +
               std::to_string(c.key1);
    if (c.kdepth == 1) return rec(9) + "KDEPTH MUST NOT BE 1: THE DECK CARRIES THE DEPTH GRID";
    if (c.kwave != 1)
        return rec(9) + "KWAVE MUST BE 1: THE DECK CARRIES THE WAVE RECORD, NOT " +
               std::to_string(c.kwave);
    if (c.kvel != 1 && c.kvel != 2)
        return rec(9) + "KVEL MUST BE 1 OR 2: THE DECK CARRIES ONE VELOCITY OBSERVATION, NOT " +
               std::to_string(c.kvel);
    if (c.nprt != 2)
        return rec(9) + "NPRT MUST BE 2: THE DECK CARRIES TWO PRINT TIMES, NOT " +
               std::to_string(c.nprt);
    if (c.nprofile < 1)
        return rec(c.rec_profile) +
               "A PLACEMENT RUN NEEDS AT LEAST ONE DENSITY PROFILE POINT (THE WATER DENSITY)";
    if (c.nlayer < 1 || c.nlayer > 6)
        return rec(19) + "THE NUMBER OF LAYERS PER LOAD MUST BE 1 TO 6, NOT " +
               std::to_string(c.nlayer);
    if (c.kvessel != 1 && c.kvessel != 3)
        return rec(7) + "THE VESSEL TYPE MUST BE 1 (HOPPER DREDGE) OR 3 (SPLIT-HULL BARGE), NOT " +
               std::to_string(c.kvessel);
    if (!(c.load_volume > 0.0f)) return rec(8) + "THE LOAD VOLUME MUST BE ABOVE 0";
    if (!(c.tstop > 0.0f)) return rec(10) + "THE FATE-MODEL DURATION TSTOP MUST BE ABOVE 0";
    if (!(c.vessel_width > 0.0f) || !(c.loaded_draft > c.light_draft))
        return rec(11) +
               "THE VESSEL WIDTH MUST BE ABOVE 0 AND THE LOADED DRAFT ABOVE THE LIGHT DRAFT";
    float conc = 0.0f;
    for (std::size_t i = 0; i < c.fractions.size(); ++i) {
        const Fraction& f = c.fractions[i];
        long r = c.rec_fractions + static_cast<long>(i);
        if (!fits_fraction_field(f.sg) || !fits_fraction_field(f.conc) ||
            !fits_fraction_field(f.void_ratio) || !fits_fraction_field(f.taucd))
            return rec(r) +
                   "FRACTION VALUES MUST LIE BETWEEN -10 AND 100 TO PASS INTO THE FATE-MODEL DECK";
        if (f.cohesive < -99 || f.cohesive > 999 || f.strip < -99 || f.strip > 999)
            return rec(r) + "THE COHESIVE AND STRIP FLAGS MUST FIT THREE COLUMNS";
        conc += f.conc;
    }
    if (!(conc > 0.0f))
        return rec(c.rec_fractions) + "THE FRACTION CONCENTRATIONS MUST ADD UP TO MORE THAN 0";
    if (c.placement_mode < 1 || c.placement_mode > 4)
        return rec(13) + "THE PLACEMENT MODE MUST BE 1, 2, 3 OR 4, NOT " +
               std::to_string(c.placement_mode);
    if (c.placement_mode == 4 && c.order != 1 && c.order != 2)
        return "PROBLEM WITH PLACEMENT FILE INPUT ORDER";
    if (c.loads < 1)
        return rec(16) + (c.placement_mode == 4
                              ? "A PLACEMENT FILE RUN NEEDS AT LEAST 2 LOADS (ONE IS TAKEN OFF)"
                              : "THE NUMBER OF LOADS MUST BE AT LEAST 1");
    if (c.placement_mode == 1 && !(c.radius >= 0.0f))
        return rec(15) + "THE SCATTER RADIUS MUST NOT BE NEGATIVE";
    return {};
}

// The records of DUMP.INI holding `c` (loads and amount as the file states them).
std::vector<std::string> dump_ini_records(const placer::DumpControl& c) {
    std::vector<std::string> r;
    auto add = [&r](const std::vector<std::string>& recs) {
        r.insert(r.end(), recs.begin(), recs.end());
    };
    using recio::format_records;
    using recio::padded;
    add(format_records("(A19)", padded(c.prefix, 19)));
    add(format_records("(A6)", padded(c.site, 6)));
    add(format_records("(A6)", padded(c.out, 6)));
    add(format_records("(A60)", padded(c.title, 60)));
    add(format_records("(16I5)", c.base_option, c.sign_option, c.run_mode, c.wave_source,
                       c.tide_source));
    add(format_records("(A6)", padded(c.equipment, 6)));
    add(format_records("(16I5)", c.kvessel, c.nbins));
    add(format_records("(9F12.3)", c.vessel_speed, c.vessel_direction, c.load_volume, c.wave_height,
                       c.wave_period, c.wave_direction));
    add(format_records("(16I5)", c.key1, c.kdepth, c.kpdesc, c.kpcoll, c.nprt, c.kwave, c.kvary,
                       c.kvel));
    add(format_records("(9F12.3)", c.tstop, c.dtl, c.trel, c.tprint1, c.tprint2, c.rough, c.zref,
                       c.gauge_depth));
    add(format_records("(9F12.3)", 0.0f, c.vessel_width, c.loaded_draft, c.light_draft, c.rhow,
                       c.tdis, c.binl, c.binw, c.heading));
    add(format_records("(16I5)", c.start_month, c.start_year, c.end_month, c.end_year,
                       c.disposal_days, c.period_days, 0));
    add(format_records("(16I5)", c.placement_mode));
    add(format_records("(A30)", padded(c.technique, 30)));
    if (c.placement_mode == 1)
        add(format_records("(3F11.1,3X,A2)", c.centre_e, c.centre_n, c.radius,
                           padded(c.direction_code, 2)));
    else if (c.placement_mode == 2)
        add(format_records("(9F12.3)", c.line_start_e, c.line_start_n, c.line_end_e, c.line_end_n));
    else
        add(format_records("(16I5)", c.order));
    add(format_records("(2I9,3X,A32)", c.loads, c.total_amount, padded(c.placement_file, 32)));
    add(format_records("(16I5)", c.order, c.navigable_depth, c.lateral_tolerance));
    add(format_records("(A30)", padded(c.material, 30)));
    add(format_records("(2I5,3F10.2,I5,F12.3)", c.nlayer, c.nfrac, c.aval_angle, c.post_angle,
                       c.grain_size, c.sediment_type, c.bulk_void_ratio));
    for (const placer::Fraction& f : c.fractions)
        add(format_records("(A8,3X,5F10.5,3I5)", padded(f.name, 8), f.sg, f.conc, f.diameter,
                           f.void_ratio, f.taucd, f.cohesive, f.strip, 0));
    add(format_records("(16I5)", c.nprofile));
    const auto m = static_cast<std::size_t>(c.nprofile);
    add(format_records("(9F12.3)", recio::array(static_cast<const float*>(c.profile_depth), m)));
    add(format_records("(8F10.5)", recio::array(static_cast<const float*>(c.profile_density), m)));
    add(format_records("(9F12.3)", c.schedule_value, c.speed1, c.direction1, c.switch_days,
                       c.speed2, c.direction2));
    return r;
}

}  // namespace placer
