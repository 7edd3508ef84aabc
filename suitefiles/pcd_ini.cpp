#include "suitefiles/pcd_ini.hpp"

#include "recio/records.hpp"
#include "suitefiles/name_rules.hpp"

namespace suitefiles {

namespace {

std::string trimmed(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string weekly_grid_file() {
    return std::string(WEEKLY_GRID_STEM) + ".TNS";
}

bool read_pcd_ini(const std::string& path, PcdIni& c) {
    recio::RecordReader in(path);
    if (!in.is_open()) return false;
    std::int32_t icoh = 0;
    std::int16_t ised = 0;
    in.need(PCD_STEPS, c.n0, c.ndays, c.nx, c.ny, c.iwave, c.itide, icoh);
    c.icoh = CohesiveOption{icoh};
    // The name fills columns 1-32; text beyond them is not part of it.
    std::string record;
    in.need("(A)", record);
    c.grid_file = trimmed(record.substr(0, PCD_GRID_NAME));
    c.grid_name_cut =
        record.size() > PCD_GRID_NAME && !trimmed(record.substr(PCD_GRID_NAME)).empty();
    // A site's grid or the placement run's grid of the week: a name with a
    // blank inside, a control character, a ".." or a suite file's stem would
    // have the long-term model work on a file it was not handed (no name at
    // all is for the caller to report).
    if (!c.grid_file.empty() && c.grid_file != weekly_grid_file()) {
        const std::string fault = name_fault(c.grid_file, NameKind::File);
        if (!fault.empty())
            throw recio::RecordError("PCD.INI RECORD 2: THE GRID FILE NAME \"" +
                                     recio::printable(c.grid_file) + "\": " + fault);
    }
    in.need(PCD_WAVES, c.grid_angle, c.wave_height, c.wave_period, c.wave_direction,
            c.gauge_depth_constant, c.gauge_depth_series);
    in.need(PCD_CURRENTS, c.schedule_value, c.speed1, c.direction1, c.switch_day, c.speed2,
            c.direction2);
    in.need(PCD_SEDIMENT, c.grain_size, ised, c.angle1, c.angle2, c.porosity);
    c.ised = SedimentType{ised};
    c.bed_depth = 0.0f;
    if (!in.read(PCD_BED, c.bed_depth)) c.bed_depth = 0.0f;
    return true;
}

bool write_pcd_ini(const std::string& path, const PcdIni& c) {
    recio::RecordWriter out(path);
    if (!out.is_open()) return false;
    out.write(PCD_STEPS, c.n0, c.ndays, c.nx, c.ny, c.iwave, c.itide, code(c.icoh));
    out.write(PCD_GRID_FILE, recio::padded(c.grid_file, PCD_GRID_NAME));
    out.write(PCD_WAVES, c.grid_angle, c.wave_height, c.wave_period, c.wave_direction,
              c.gauge_depth_constant, c.gauge_depth_series);
    out.write(PCD_CURRENTS, c.schedule_value, c.speed1, c.direction1, c.switch_day, c.speed2,
              c.direction2);
    out.write(PCD_SEDIMENT, c.grain_size, code(c.ised), c.angle1, c.angle2, c.porosity);
    if (c.bed_depth > 0.0f) out.write(PCD_BED, c.bed_depth);
    return out.close();
}

double pcd_start_hours(const std::string& path) {
    recio::RecordReader in(path);
    std::int32_t n0 = 0;
    in.need("(I5)", n0);
    if (n0 == 0) n0 = 1;
    return 3.0 * (n0 - 1);
}

}  // namespace suitefiles
