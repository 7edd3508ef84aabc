// DUMP.INI.
#include "placer/control.hpp"

#include <cmath>
#include <cstdint>
#include <string>

#include "recio/records.hpp"

namespace placer {

bool read_control(const std::string& path, DumpControl& c) {
    return suitefiles::read_dump_ini(path, c);
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
    if (c.run_mode != RunMode::LongTermOnly && c.run_mode != RunMode::Placement)
        return rec(5) + "THE RUN MODE MUST BE 1 OR 2, NOT " + std::to_string(code(c.run_mode));
    if (code(c.wave_source) < 1 || code(c.wave_source) > 3)
        return rec(5) + "THE WAVE SOURCE MUST BE 1, 2 OR 3, NOT " +
               std::to_string(code(c.wave_source));
    if (c.tide_source != TideSource::Series && c.tide_source != TideSource::None)
        return rec(5) + "THE TIDE SOURCE MUST BE 1 OR 2, NOT " +
               std::to_string(code(c.tide_source));
    if (!(c.aval_angle > 0.0f && c.aval_angle <= 90.0f) ||
        !(c.post_angle >= 0.0f && c.post_angle < c.aval_angle))
        return rec(19) +
               "THE AVALANCHING ANGLE MUST LIE ABOVE 0 AND UP TO 90 DEGREES AND THE "
               "POST-AVALANCHING ANGLE BELOW IT";
    if (c.run_mode != RunMode::Placement) return {};

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
    if (c.kvessel != VesselKind::HopperDredge && c.kvessel != VesselKind::SplitHullBarge)
        return rec(7) + "THE VESSEL TYPE MUST BE 1 (HOPPER DREDGE) OR 3 (SPLIT-HULL BARGE), NOT " +
               std::to_string(code(c.kvessel));
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
    if (code(c.placement_mode) < 1 || code(c.placement_mode) > 4)
        return rec(13) + "THE PLACEMENT MODE MUST BE 1, 2, 3 OR 4, NOT " +
               std::to_string(code(c.placement_mode));
    if (c.placement_mode == PlacementMode::File && c.order != 1 && c.order != 2)
        return "PROBLEM WITH PLACEMENT FILE INPUT ORDER";
    if (c.loads < 1) return rec(16) + "THE NUMBER OF LOADS MUST BE AT LEAST 1";
    if (c.placement_mode == PlacementMode::Scatter && !(c.radius >= 0.0f))
        return rec(15) + "THE SCATTER RADIUS MUST NOT BE NEGATIVE";
    return {};
}

}  // namespace placer
