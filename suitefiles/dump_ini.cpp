// DUMP.INI: the reader and the writer.
#include "suitefiles/dump_ini.hpp"

#include <string>

#include "recio/records.hpp"
#include "suitefiles/name_rules.hpp"
#include "suitefiles/record_list.hpp"

namespace suitefiles {

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

// A name the run would write or read other files by than the ones it names
// is refused before anything is written.
void sound_name(const recio::RecordReader& in, const std::string& what, const std::string& name,
                NameKind kind) {
    const std::string fault = name_fault(name, kind);
    if (fault.empty() || fault == "NO NAME")
        return;  // a name left blank is the program's to refuse
    std::string shown = recio::printable(name);
    shown.erase(shown.find_last_not_of(' ') + 1);
    bad_count(in, what + " \"" + shown + "\": " + fault);
}

template <class E>
E as_code(std::underlying_type_t<E> value) {
    return static_cast<E>(value);
}

}  // namespace

bool read_dump_ini(const std::string& path, DumpControl& c) {
    recio::RecordReader in(path);
    if (!in.is_open()) return false;
    std::string rest;
    in.need("(A19,A)", c.prefix, rest);
    whole_name(in, "THE DATA DIRECTORY", c.prefix, rest, 19);
    sound_name(in, "THE DATA DIRECTORY", c.prefix, NameKind::Prefix);
    in.need("(A6,A)", c.site, rest);
    whole_name(in, "THE SITE NAME", c.site, rest, 6);
    sound_name(in, "THE SITE NAME", c.site, NameKind::Site);
    in.need("(A6,A)", c.out, rest);
    whole_name(in, "THE OUTPUT NAME", c.out, rest, 6);
    sound_name(in, "THE OUTPUT NAME", c.out, NameKind::Site);
    in.need("(A60)", c.title);
    std::int32_t run_mode = 0, wave_source = 0, tide_source = 0;
    in.need("(16I5)", c.base_option, c.sign_option, run_mode, wave_source, tide_source);
    c.run_mode = as_code<RunMode>(run_mode);
    c.wave_source = as_code<WaveSource>(wave_source);
    c.tide_source = as_code<TideSource>(tide_source);
    in.need("(A6)", c.equipment);
    std::int16_t kvessel = 0;
    in.need("(16I5)", kvessel, c.nbins);
    c.kvessel = as_code<VesselKind>(kvessel);
    in.need("(9F12.3)", c.vessel_speed, c.vessel_direction, c.load_volume, c.wave_height,
            c.wave_period, c.wave_direction);
    in.need("(16I5)", c.key1, c.kdepth, c.kpdesc, c.kpcoll, c.nprt, c.kwave, c.kvary, c.kvel);
    in.need("(9F12.3)", c.tstop, c.dtl, c.trel, c.tprint1, c.tprint2, c.rough, c.zref,
            c.gauge_depth);
    in.need("(12X,8F12.3)", c.vessel_width, c.loaded_draft, c.light_draft, c.rhow, c.tdis, c.binl,
            c.binw, c.heading);
    in.need("(16I5)", c.start_month, c.start_year, c.end_month, c.end_year, c.disposal_days,
            c.period_days);
    std::int16_t placement_mode = 0;
    in.need("(16I5)", placement_mode);
    c.placement_mode = as_code<PlacementMode>(placement_mode);
    in.need("(A30)", c.technique);
    switch (c.placement_mode) {
        case PlacementMode::Scatter:
            in.need("(3F11.1,3X,A2)", c.centre_e, c.centre_n, c.radius, c.direction_code);
            break;
        case PlacementMode::Line:
            in.need("(9F12.3)", c.line_start_e, c.line_start_n, c.line_end_e, c.line_end_n);
            break;
        case PlacementMode::Keyboard:
        case PlacementMode::File:
            in.need("(16I5)", c.order);
            break;
        default: {  // no layout of its own: the record is passed over (a placement run
                    // refuses the mode)
            std::string skipped;
            in.need("(A)", skipped);
        }
    }
    in.need("(2I9,3X,A32,A)", c.loads, c.total_amount, c.placement_file, rest);
    if (c.placement_mode == PlacementMode::File) {
        whole_name(in, "THE PLACEMENT FILE NAME", c.placement_file, rest, 32);
        sound_name(in, "THE PLACEMENT FILE NAME", c.placement_file, NameKind::Input);
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

std::vector<std::string> dump_ini_records(const DumpControl& c) {
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
    add(format_records("(16I5)", c.base_option, c.sign_option, code(c.run_mode),
                       code(c.wave_source), code(c.tide_source)));
    add(format_records("(A6)", padded(c.equipment, 6)));
    add(format_records("(16I5)", code(c.kvessel), c.nbins));
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
    add(format_records("(16I5)", code(c.placement_mode)));
    add(format_records("(A30)", padded(c.technique, 30)));
    if (c.placement_mode == PlacementMode::Scatter)
        add(format_records("(3F11.1,3X,A2)", c.centre_e, c.centre_n, c.radius,
                           padded(c.direction_code, 2)));
    else if (c.placement_mode == PlacementMode::Line)
        add(format_records("(9F12.3)", c.line_start_e, c.line_start_n, c.line_end_e, c.line_end_n));
    else
        add(format_records("(16I5)", c.order));
    add(format_records("(2I9,3X,A32)", c.loads, c.total_amount, padded(c.placement_file, 32)));
    add(format_records("(16I5)", c.order, c.navigable_depth, c.lateral_tolerance));
    add(format_records("(A30)", padded(c.material, 30)));
    add(format_records("(2I5,3F10.2,I5,F12.3)", c.nlayer, c.nfrac, c.aval_angle, c.post_angle,
                       c.grain_size, c.sediment_type, c.bulk_void_ratio));
    for (const Fraction& f : c.fractions)
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

bool write_dump_ini(const std::string& path, const DumpControl& c) {
    return write_record_list(path, dump_ini_records(c));
}

}  // namespace suitefiles
