// DUMP.INI as the placement simulator reads it at start-up: the records,
// the checks of the values, the material properties, the schedule and the
// values handed on to PCD.INI and the deck. Every outcome must be a control
// block the run can use, a RecordError, or a message.
#include <cstdint>
#include <string>

#include "fuzz_file.hpp"
#include "placer/control.hpp"
#include "placer/fields.hpp"
#include "placer/schedule.hpp"
#include "placer/setup.hpp"
#include "recio/format.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("DUMP.INI", data, size);
    placer::DumpControl c;
    try {
        if (!placer::read_control("DUMP.INI", c)) return 0;
    } catch (const recio::RecordError&) {
        return 0;
    }
    if (!placer::check_dump_control(c).empty()) return 0;
    const placer::Material m = placer::material_properties(c);
    const placer::Vessel v = placer::vessel_motion(c, 12.5f);
    const placer::Schedule s =
        placer::make_schedule(c.loads, c.disposal_days, c.period_days, c.run_mode);
    if (!placer::handover_problem(c, m, v, s, "SITE.IN", 12.5f, 40.0f).empty()) return 0;
    for (std::int16_t coord : {1, 2}) {
        placer::SiteFrame site;
        site.coord_system = coord;
        site.nw_n = coord == 2 ? 44.6f : 5000.0f;
        const placer::Scale sc = placer::scale_of(site);
        if (c.placement_mode == placer::PlacementMode::Line &&
            placer::line_problem(c, sc).empty()) {
            const placer::Line line = placer::line_setup(c, sc);
            placer::line_position(line, sc, 1);
            placer::line_position(line, sc, c.loads);
        }
    }
    if (c.run_mode == placer::RunMode::Placement)
        for (std::int32_t w = 1; w <= s.disposal_weeks && w <= 3; ++w) {
            const std::int32_t loads = placer::week_loads(s, w, c.loads, 0);
            if (loads > 0) placer::dump_time_step(loads, loads, (w - 1) * placer::STEPS_PER_WEEK);
        }
    return 0;
}
