// Values and the fixed-width fields they travel in.
#include "placer/fields.hpp"

#include <cmath>
#include <cstdio>

#include "recio/format.hpp"

namespace placer {

bool fits(float value, std::string_view format) {
    if (!std::isfinite(value)) return false;
    return recio::format_records(format, value).front().find('*') == std::string::npos;
}

bool fits(std::int32_t value, std::string_view format) {
    return recio::format_records(format, value).front().find('*') == std::string::npos;
}

std::string value_text(float value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(value));
    return buf;
}

std::string field_place(const std::string& file, long record, long field) {
    return file + " RECORD " + std::to_string(record) + ", FIELD " + std::to_string(field);
}

std::string beyond_field(const std::string& place, const std::string& what, float value,
                         std::string_view format) {
    return place + ": " + what + " " + value_text(value) + " LIES BEYOND ITS FIELD (" +
           std::string(format.substr(1, format.size() - 2)) + ")";
}

std::string depth_problem(const std::string& file, long first_record,
                          const std::vector<float>& depth, std::int32_t n) {
    for (std::int32_t i = 0; i < n; ++i) {
        const float d = depth[static_cast<std::size_t>(i)];
        if (!fits(d, DEPTH_FIELD))
            return beyond_field(field_place(file, first_record + i / 26, i % 26 + 1),
                                "THE DEPTH OF POINT " + std::to_string(i + 1), d, DEPTH_FIELD);
    }
    return {};
}

namespace {

// A value of the run and the field it is written to.
struct Handed {
    float value;
    std::string_view format;
    std::string source;  // where it comes from: "DUMP.INI RECORD 8, FIELD 3"
    std::string what;
    const char* into;  // the file it is written to
};

std::string dump_ini(long record, long field) {
    return field_place("DUMP.INI", record, field);
}

std::string first_misfit(const std::vector<Handed>& values) {
    for (const Handed& h : values)
        if (!fits(h.value, h.format))
            return h.source + ": " + h.what + " " + value_text(h.value) +
                   " DOES NOT FIT ITS FIELD OF " + h.into + " (" +
                   std::string(h.format.substr(1, h.format.size() - 2)) + ")";
    return {};
}

}  // namespace

std::string handover_problem(const DumpControl& c, const Material& m, const Vessel& v,
                             const Schedule& s, const std::string& grid_file, float rotation,
                             float datum) {
    // PCD.INI, record 1: the time step index of a week's start (I5).
    const std::int32_t last_start = s.disposal_weeks * STEPS_PER_WEEK;
    if (!fits(last_start, "(I5)"))
        return dump_ini(12, 5) + ": THE " + std::to_string(s.disposal_weeks) +
               " DISPOSAL WEEKS DO NOT FIT THE TIME STEP FIELD OF PCD.INI (I5): AT MOST " +
               std::to_string(99999 / STEPS_PER_WEEK) + " WEEKS";
    if (!fits(static_cast<std::int32_t>(c.sediment_type), "(I4)"))
        return dump_ini(19, 6) + ": THE SEDIMENT TYPE " + std::to_string(c.sediment_type) +
               " DOES NOT FIT ITS FIELD OF PCD.INI (I4)";

    const char* pcd = "PCD.INI";
    std::vector<Handed> values = {
        {rotation, "(F8.3)", grid_file + " RECORD 8", "THE GRID ROTATION", pcd},
        {datum, "(F8.3)", grid_file + " RECORD 10", "THE LONG-TERM DATUM", pcd},
        {c.wave_height, "(F8.3)", dump_ini(8, 4), "THE WAVE HEIGHT", pcd},
        {c.wave_period, "(F8.3)", dump_ini(8, 5), "THE WAVE PERIOD", pcd},
        {c.wave_direction, "(F8.3)", dump_ini(8, 6), "THE WAVE DIRECTION", pcd},
        {c.gauge_depth, "(F8.3)", dump_ini(10, 8), "THE WAVE-GAUGE DEPTH", pcd},
        {c.schedule_value, "(F8.3)", dump_ini(24, 1), "THE CURRENT SCHEDULE VALUE", pcd},
        {c.speed1, "(F8.3)", dump_ini(24, 2), "THE FIRST-PERIOD SPEED", pcd},
        {c.direction1, "(F8.3)", dump_ini(24, 3), "THE FIRST-PERIOD DIRECTION", pcd},
        {c.switch_days, "(F8.3)", dump_ini(24, 4), "THE SWITCH TIME", pcd},
        {c.speed2, "(F8.3)", dump_ini(24, 5), "THE SECOND-PERIOD SPEED", pcd},
        {c.direction2, "(F8.3)", dump_ini(24, 6), "THE SECOND-PERIOD DIRECTION", pcd},
        {c.grain_size, "(F8.3)", dump_ini(19, 5), "THE GRAIN SIZE", pcd},
        {m.porosity, "(F8.3)",
         c.run_mode == RunMode::Placement ? "DUMP.INI RECORD " + std::to_string(c.rec_fractions)
                                          : dump_ini(19, 7),
         c.run_mode == RunMode::Placement ? "THE POROSITY FROM THE VOID RATIOS" : "THE POROSITY",
         pcd},
    };
    if (c.run_mode == RunMode::Placement) {
        // The deck of every load (the values that do not change from load to load).
        const char* deck = "CLDX.DUE";
        const auto layer = c.load_volume / static_cast<float>(c.nlayer);
        const std::vector<Handed> deck_values = {
            {layer, "(F10.4)", dump_ini(8, 3), "THE LOAD VOLUME PER LAYER", deck},
            {v.vx, "(F10.4)", dump_ini(8, 1), "THE VESSEL VELOCITY", deck},
            {v.vy, "(F10.4)", dump_ini(8, 1), "THE VESSEL VELOCITY", deck},
            {c.tstop, "(F10.1)", dump_ini(10, 1), "TSTOP", deck},
            {c.dtl, "(F10.1)", dump_ini(10, 2), "DTL", deck},
            {c.trel, "(F10.1)", dump_ini(10, 3), "TREL", deck},
            {c.tprint1, "(F10.2)", dump_ini(10, 4), "THE FIRST PRINT TIME", deck},
            {c.tprint2, "(F10.2)", dump_ini(10, 5), "THE SECOND PRINT TIME", deck},
            {c.rough, "(F10.5)", dump_ini(10, 6), "ROUGH", deck},
            {c.zref, "(F10.5)", dump_ini(10, 7), "ZREF", deck},
            {m.sim_width, "(F10.2)", dump_ini(11, 2), "THE SIMULATED VESSEL WIDTH", deck},
            {c.loaded_draft, "(F10.2)", dump_ini(11, 3), "THE LOADED DRAFT", deck},
            {c.light_draft, "(F10.2)", dump_ini(11, 4), "THE LIGHT DRAFT", deck},
            {c.rhow, "(F10.2)", dump_ini(11, 5), "RHOW", deck},
            {c.tdis, "(F10.2)", dump_ini(11, 6), "TDIS", deck},
            {c.binl, "(F10.2)", dump_ini(11, 7), "BINL", deck},
            {c.binw, "(F10.2)", dump_ini(11, 8), "BINW", deck},
            {v.heading, "(F10.2)", dump_ini(11, 9), "THE VESSEL HEADING", deck},
            {m.sim_length, "(F10.2)",
             "DUMP.INI RECORDS 8, 11 AND " + std::to_string(c.rec_fractions),
             "THE SIMULATED VESSEL LENGTH", deck},
        };
        values.insert(values.end(), deck_values.begin(), deck_values.end());
        for (std::size_t i = 0; i < c.fractions.size(); ++i)
            values.push_back({m.fall[i], "(F10.5)",
                              dump_ini(c.rec_fractions + static_cast<long>(i), 4),
                              "THE FALL VELOCITY FROM THE GRAIN DIAMETER", deck});
        for (int i = 0; i < c.nprofile; ++i) {
            values.push_back({c.profile_depth[i], "(F10.2)", dump_ini(c.rec_profile + 1, i + 1),
                              "THE PROFILE DEPTH", deck});
            values.push_back({c.profile_density[i], "(F10.5)", dump_ini(c.rec_profile + 2, i + 1),
                              "THE PROFILE DENSITY", deck});
        }
    }
    return first_misfit(values);
}

}  // namespace placer
