// Start-up computations of a placement run.
#include "placer/setup.hpp"

#include <algorithm>
#include <cmath>

#include "placer/fields.hpp"
#include "recio/records.hpp"

namespace placer {

float stokes_fall_velocity(float sg, float diameter_mm, float water_density) {
    const float solids = sg * WATER_UNIT_WEIGHT;
    const float water = water_density * WATER_UNIT_WEIGHT;
    const float d = diameter_mm / MM_PER_FOOT;
    float w = (d / 2.0f) * (d / 2.0f) / WATER_VISCOSITY * (solids - water) * 0.22222222f;
    w = std::min(w, 3.0f);
    w = std::max(w, 0.005f);
    return w;
}

Material material_properties(const DumpControl& c) {
    Material m;
    if (c.run_mode != RunMode::Placement) {
        m.porosity = c.bulk_void_ratio / (c.bulk_void_ratio + 1.0f);
        return m;
    }
    float conc = 0.0f, conc_void = 0.0f, conc_sg = 0.0f;
    bool have_min = false;
    float min_all = 0.0f;
    for (std::size_t i = 0; i < c.fractions.size(); ++i) {
        const Fraction& f = c.fractions[i];
        m.fall[i] = stokes_fall_velocity(f.sg, f.diameter, c.profile_density[0]);
        conc += f.conc;
        conc_void += f.conc * f.void_ratio;
        conc_sg += f.conc * f.sg;
        if (f.cohesive == 0) {
            m.min_fall = have_min ? std::min(m.min_fall, m.fall[i]) : m.fall[i];
            have_min = true;
        }
        min_all = i == 0 ? m.fall[i] : std::min(min_all, m.fall[i]);
    }
    if (!have_min) m.min_fall = min_all;
    const float mean_void = conc_void / conc;
    const float mean_sg = conc_sg / conc;
    m.porosity = mean_void / (mean_void + 1.0f);
    m.sim_width = 0.8f * c.vessel_width;
    m.sim_length = (mean_sg - c.profile_density[0]) * c.load_volume * 27.0f /
                   ((c.loaded_draft - c.light_draft) * m.sim_width);
    return m;
}

float reference_depth(const SiteFrame& site, const std::vector<float>& depth) {
    const std::int32_t n = site.total_points, npr = site.points_we;
    auto d = [&](std::int32_t k) {
        return depth[static_cast<std::size_t>(std::max<std::int32_t>(k, 1) - 1)];
    };
    return (d(1) + d(npr) + d(n - npr + 1) + d(n) + 2.0f * d(n / 2 - npr / 2)) / 6.0f;
}

bool read_base_surface(const std::string& path, std::int32_t n, std::vector<float>& base) {
    recio::RecordReader in(path);
    if (!in.is_open()) return false;
    if (!in.skip(14))
        throw recio::RecordError("UNEXPECTED END OF FILE " + path + " IN ITS 14 HEADER RECORDS");
    in.need("(26F8.3)", recio::array(base.data(), static_cast<std::size_t>(n)));
    return true;
}

void slope_analysis(const SiteFrame& site, const std::vector<float>& depth, WorkGrid& work,
                    RunMode run_mode, Angles& angles) {
    const float tan_aval = std::tan(angles.aval * DEG_TO_RAD);
    const auto dx = static_cast<float>(site.interval);
    work.hold(site.points_ns, site.points_we);
    work.clear();
    for (int i = 1; i <= site.points_ns; ++i)
        for (int j = 1; j <= site.points_we; ++j)
            work.at(i, j) = -depth[static_cast<std::size_t>((i - 1) * site.points_we + j - 1)];

    // Steepest slope (with its sign) over the pairs of every point with its
    // northern and its western neighbour.
    float steepest = 0.0f;
    for (int i = 2; i <= site.points_ns; ++i)
        for (int j = 2; j <= site.points_we; ++j) {
            const float north = (work.at(i, j) - work.at(i - 1, j)) / dx;
            const float west = (work.at(i, j) - work.at(i, j - 1)) / dx;
            if (std::fabs(north) > std::fabs(steepest)) steepest = north;
            if (std::fabs(west) > std::fabs(steepest)) steepest = west;
        }
    std::int32_t count = 0;
    for (int i = 2; i <= site.points_ns; ++i)
        for (int j = 2; j <= site.points_we; ++j) {
            const float north = (work.at(i, j) - work.at(i - 1, j)) / dx;
            const float west = (work.at(i, j) - work.at(i, j - 1)) / dx;
            if (std::fabs(north) + tan_aval >= steepest) ++count;
            if (std::fabs(west) + tan_aval >= steepest) ++count;
        }

    const float a = std::atan(std::fabs(steepest));
    const float aval_rad = angles.aval * DEG_TO_RAD;
    const float a_deg = a / DEG_TO_RAD;
    if (aval_rad + 0.05f < a) {
        angles.final_aval = a_deg + 1.0f;
        angles.final_post = angles.final_aval - 0.25f;
    }
    if (count >= site.total_points / 2 && run_mode == RunMode::Placement) {
        angles.final_aval = a_deg + 0.4f;
        angles.final_post = angles.final_aval - 0.1f;
    }
    if (a < aval_rad && run_mode == RunMode::LongTermOnly) {
        angles.final_aval = a_deg + 1.0f;
        angles.final_post = angles.final_aval - 0.25f;
    }
    if (run_mode == RunMode::LongTermOnly) {
        angles.aval = angles.final_aval;
        angles.post = angles.final_post;
    }
}

Vessel vessel_motion(const DumpControl& c, float rotation) {
    Vessel v;
    const float angle = (rotation + c.vessel_direction) * DEG_TO_RAD;
    v.vx = -std::cos(angle) * c.vessel_speed;
    v.vy = std::sin(angle) * c.vessel_speed;
    v.heading = rotation < 0.0f ? c.heading + rotation : c.heading - rotation;
    return v;
}

namespace {

float line_length(const Line& l) {
    return std::sqrt(l.de * l.de + l.dn * l.dn);
}

Line line_ends(const DumpControl& c, const Scale& sc) {
    Line l;
    l.start_e = c.line_start_e;
    l.start_n = c.line_start_n;
    l.dn = (c.line_start_n - c.line_end_n) * sc.feet_per_unit;
    l.de = (c.line_start_e - c.line_end_e) * sc.lon_factor * sc.feet_per_unit * sc.sign;
    return l;
}

}  // namespace

std::string line_problem(const DumpControl& c, const Scale& sc) {
    const float length = line_length(line_ends(c, sc));
    if (length < 2147483520.0f) return {};  // whole feet in a 32-bit integer
    return "DUMP.INI RECORD 15: THE LINE FROM (" + value_text(c.line_start_e) + ", " +
           value_text(c.line_start_n) + ") TO (" + value_text(c.line_end_e) + ", " +
           value_text(c.line_end_n) + ") IS TOO LONG TO MEASURE IN WHOLE FEET";
}

Line line_setup(const DumpControl& c, const Scale& sc) {
    Line l = line_ends(c, sc);
    l.length = static_cast<std::int32_t>(line_length(l));
    l.angle = std::fabs(l.de) < 1.0f ? 1.5708f : std::atan(std::fabs(l.dn) / std::fabs(l.de));
    l.spacing = c.loads > 0 ? l.length / c.loads : 0;
    return l;
}

void to_thickness_form(std::vector<float>& depth, const std::vector<float>& base, float ref,
                       std::int32_t n) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
        depth[i] = ref - (base[i] - depth[i]);
}

void from_thickness_form(std::vector<float>& depth, const std::vector<float>& base, float ref,
                         std::int32_t n) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
        depth[i] = base[i] - (ref - depth[i]);
}

}  // namespace placer
