// The placement driver.
#include "placer/driver.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "gridlib/stored_files.hpp"
#include "placer/balance.hpp"
#include "placer/control.hpp"
#include "placer/fields.hpp"
#include "placer/history.hpp"
#include "placer/inputs.hpp"
#include "placer/kernels.hpp"
#include "placer/report.hpp"
#include "placer/schedule.hpp"
#include "placer/setup.hpp"
#include "placer/site.hpp"
#include "recio/console.hpp"
#include "recio/file_set.hpp"
#include "recio/process.hpp"
#include "recio/random.hpp"
#include "recio/records.hpp"
#include "suitefiles/action.hpp"
#include "suitefiles/balance.hpp"
#include "suitefiles/name_rules.hpp"
#include "suitefiles/pcd_ini.hpp"

namespace placer {
namespace {

struct Names {
    std::string grid_in, summary_in, tns_in;                               // the starting site
    std::string grid_out, summary_out, point_out, tns_out, act, tim, his;  // written by the run
    std::string week_grid, week_point, week_tns;  // the grid of the week, in the working folder
    std::string bal, csv;                         // the material balance, text and one row per load
};

// Everything that lives for the whole run.
struct RunState {
    DumpControl ctl;
    gridlib::SiteGrid grid;
    gridlib::SiteSummary summary;
    SiteFrame site;
    Scale scale;
    Names names;
    Material mat;
    Angles angles;
    Vessel vessel;
    Line line;
    Schedule sched;
    std::vector<float> base;  // base surface, with the base-surface option in a placement run
    bool has_base = false;
    float ref_depth = 0;
    WorkGrid work;
    gridlib::ResampleWork resample;
    Lattice lattice;
    PlacementReport report;
    Balance balance;
    LateralList lateral;
    PlacementFile placement;
    bool placement_ended = false;  // the placement file or the keyboard has no more positions
    std::int32_t made = 0;         // loads made (placed, refused or failed)
    std::int32_t since_aval = 0;   // dumps since the last avalanching
    std::int32_t failures = 0;     // consecutive failed fate runs
    float weight = 0;              // scatter weight, carried from dump to dump
    float tstop = 0, tprint1 = 0, tprint2 = 0;
    std::int32_t last_week_start = 0;
    float last_speed = 0;                   // schedule current speed of the last dump
    std::int16_t hours = 0;                 // elapsed hours of the last long-term read-back
    LongTermFigures lt_figures;             // what dredge reported of that run beside its grid
    const RunObserver* observer = nullptr;  // the caller's probes, when it has any
    SiteHistory history;                    // the site through the activity
};

// Tells the run's observer, if any, when a stage begins and ends.
class StageScope {
  public:
    StageScope(const RunObserver* observer, Stage stage) : observer_(observer), stage_(stage) {
        if (observer_ && observer_->stage_begins) observer_->stage_begins(stage_);
    }
    ~StageScope() {
        if (observer_ && observer_->stage_ends) observer_->stage_ends(stage_);
    }
    StageScope(const StageScope&) = delete;
    StageScope& operator=(const StageScope&) = delete;

  private:
    const RunObserver* observer_;
    Stage stage_;
};

void child_ended(const RunState& st, Child child, const recio::ChildTimes& t) {
    if (st.observer && st.observer->child_ended) st.observer->child_ended(child, t);
}

std::string trim(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : gridlib::trimmed(s.substr(first));
}

void access_problem() {
    recio::console_list("THERES A PROBLEM ACCESSING WAVREC.OUT & TIDE.DAT");
    recio::console_list("       OR      CLDXD");
}

// Starts a child program; its exit status is not examined, but one that
// cannot be started at all is named on the console.
void start_child(const char* name, recio::ChildTimes* times) {
    recio::console_end_line();
    if (recio::run_program(name, times) < 0)
        recio::console_list("COULD NOT START", " " + std::string(name));
}

void start_fate_model(RunState& st) {
    recio::ChildTimes t;
    start_child("CLOUDEX.EXE", &t);
    child_ended(st, Child::FateModel, t);
}

void avalanche(RunState& st, float aval, float post) {
    StageScope stage(st.observer, Stage::Avalanching);
    if (st.has_base) to_thickness_form(st.grid.depth, st.base, st.ref_depth, st.site.total_points);
    AVAL1(st.work, st.grid.depth, aval, post, st.site.points_we, st.site.points_ns,
          st.site.interval);
    if (st.has_base)
        from_thickness_form(st.grid.depth, st.base, st.ref_depth, st.site.total_points);
}

// The long-term model has nothing to do: calm, no tide, non-cohesive
// material and no schedule current.
bool no_forcing(const RunState& st) {
    return st.ctl.wave_source == WaveSource::Calm && st.ctl.tide_source == TideSource::None &&
           st.ctl.sediment_type <= 1 && st.last_speed == 0.0f;
}

bool write_pcd(const RunState& st, std::int32_t start, std::int32_t days) {
    const DumpControl& c = st.ctl;
    suitefiles::PcdIni p;
    p.n0 = start;
    p.ndays = days;
    p.nx = st.grid.points_we;
    p.ny = st.grid.points_ns;
    p.iwave = code(c.wave_source);
    p.itide = code(c.tide_source);
    p.icoh = suitefiles::CohesiveOption{code(c.run_mode)};  // the run mode is the cohesive option
    p.grid_file = c.run_mode == RunMode::Placement ? st.names.week_tns : st.names.tns_in;
    p.grid_angle = st.grid.rotation;
    p.wave_height = c.wave_height;
    p.wave_period = c.wave_period;
    p.wave_direction = c.wave_direction;
    p.gauge_depth_constant = st.grid.datum;
    p.gauge_depth_series = c.gauge_depth;
    p.schedule_value = c.schedule_value;
    p.speed1 = c.speed1;
    p.direction1 = c.direction1;
    p.switch_day = c.switch_days;
    p.speed2 = c.speed2;
    p.direction2 = c.direction2;
    p.grain_size = c.grain_size;
    p.ised = suitefiles::SedimentType{c.sediment_type};
    p.angle1 = st.angles.aval;
    p.angle2 = st.angles.post;
    p.porosity = st.mat.porosity;
    // Cohesive material is handed over as thickness over the base surface,
    // which lies flat at the reference depth: the native bed below it must
    // not erode, only the material placed on it.
    if (st.has_base && c.sediment_type > 1 && c.run_mode == RunMode::Placement)
        p.bed_depth = st.ref_depth;
    if (suitefiles::write_pcd_ini("PCD.INI", p)) return true;
    recio::console_list("COULD NOT WRITE PCD.INI");
    return false;
}

// The grid of the week, which the long-term model works on; the output site
// is stored only at the end of the run.
bool write_grid(RunState& st) {
    StageScope stage(st.observer, Stage::GridWriting);
    return gridlib::shown(gridlib::GRID1(st.names.week_grid, st.summary.corners.nw_e,
                                         st.summary.corners.nw_n, st.grid, st.resample,
                                         gridlib::GRID1_NEW, st.ctl.sign_option, st.ctl.title));
}

// DREDGE over the grid as it stands, and its last grid read back.
void long_term_run(RunState& st, const std::string& tns) {
    std::remove("PLOTBATH.DAT");
    clear_long_term_figures();
    recio::ChildTimes t;
    start_child("DREDGE.EXE", &t);
    child_ended(st, Child::LongTermModel, t);
    StageScope stage(st.observer, Stage::GetBack);
    LongTermFrame fr;
    fr.site = st.site;
    fr.site.nw_e = st.grid.local_nw_e;
    fr.site.nw_n = st.grid.local_nw_n;
    fr.we_extent = st.summary.we_extent;
    fr.ns_extent = st.summary.ns_extent;
    const std::vector<float> before = st.grid.depth;
    st.hours = GETBACK(tns, st.work, st.grid.depth, st.lattice, fr);
    st.lt_figures = read_long_term_figures();
    st.history.add_long_term_outputs(tns, "PLOTBATH.DAT", before,
                                     {st.has_base ? &st.base : nullptr, st.ref_depth}, fr);
}

// ---- start-up

// DUMP.INI read and its values checked; false (the problem on the console)
// when the run cannot use them.
bool read_checked_control(DumpControl& c) {
    try {
        if (!read_control("DUMP.INI", c)) {
            recio::console_list("COULD NOT OPEN DUMP.INI");
            return false;
        }
    } catch (const recio::RecordError& e) {
        recio::console_list(e.what());
        return false;
    }
    const std::string control_problem = check_dump_control(c);
    if (!control_problem.empty()) {
        recio::console_list(control_problem);
        return false;
    }
    return true;
}

Names file_names(const DumpControl& c) {
    Names nm;
    nm.grid_in = gridlib::site_file_name(c.prefix, c.site, ".IN");
    nm.summary_in = gridlib::site_file_name(c.prefix, c.site, ".OUT");
    nm.tns_in = gridlib::site_file_name(c.prefix, c.site, ".TNS");
    nm.grid_out = gridlib::site_file_name(c.prefix, c.out, ".IN");
    nm.summary_out = gridlib::site_file_name(c.prefix, c.out, ".OUT");
    nm.point_out = gridlib::site_file_name(c.prefix, c.out, ".DAT");
    nm.tns_out = gridlib::site_file_name(c.prefix, c.out, ".TNS");
    nm.act = gridlib::site_file_name(c.prefix, c.out, ".ACT");
    nm.tim = gridlib::site_file_name(c.prefix, c.out, ".TIM");
    const std::string week(suitefiles::WEEKLY_GRID_STEM);
    nm.week_grid = week + ".IN";
    nm.week_point = week + ".DAT";
    nm.week_tns = suitefiles::weekly_grid_file();
    nm.bal = gridlib::site_file_name(c.prefix, c.out, ".BAL");
    nm.csv = gridlib::site_file_name(c.prefix, c.out, ".CSV");
    nm.his = gridlib::site_file_name(c.prefix, c.out, ".HIS");
    return nm;
}

// The starting grid and its site summary, which must describe the same grid.
bool load_site(RunState& st) {
    const Names& nm = st.names;
    if (gridlib::shown(gridlib::RGRID1(nm.grid_in, st.grid)) != gridlib::GRID_OK) return false;
    // The depths go back into grid files (F8.3) at the end of every week.
    const std::string problem = depth_problem(nm.grid_in, 15, st.grid.depth, st.grid.total_points);
    if (!problem.empty()) {
        recio::console_list(problem);
        return false;
    }
    if (gridlib::shown(gridlib::READG(nm.summary_in, st.summary)) != gridlib::GRID_OK) return false;
    if (st.summary.portrayal_points != st.grid.total_points ||
        st.summary.portrayal_interval != st.grid.interval) {
        recio::console_list("THE SITE SUMMARY FILE " + nm.summary_in +
                            " DOES NOT DESCRIBE THE GRID OF " + nm.grid_in + " (POINTS " +
                            std::to_string(st.summary.portrayal_points) + " AND " +
                            std::to_string(st.grid.total_points) + ", INTERVAL " +
                            std::to_string(st.summary.portrayal_interval) + " AND " +
                            std::to_string(st.grid.interval) + ")");
        return false;
    }
    return true;
}

SiteFrame site_frame(const gridlib::SiteGrid& grid, const gridlib::SiteSummary& summary) {
    SiteFrame s;
    s.total_points = summary.portrayal_points;
    s.points_we = grid.points_we;
    s.points_ns = grid.points_ns;
    s.interval = summary.portrayal_interval;
    s.rotation = grid.rotation;
    s.coord_system = grid.coord_system;
    s.nw_e = summary.corners.nw_e;
    s.nw_n = summary.corners.nw_n;
    return s;
}

// The base surface of a placement run with the base-surface option: the
// file's depths, or the starting depths where there is no such file.
bool load_base_surface(RunState& st, const std::string& path) {
    const SiteFrame& s = st.site;
    std::string problem;
    st.base.assign(gridlib::MAXPTS, 0.0f);
    try {
        if (!read_base_surface(path, s.total_points, st.base))
            st.base = st.grid.depth;
        else
            problem = depth_problem(path, 15, st.base, s.total_points);
    } catch (const recio::RecordError& e) {
        problem = e.what();
    }
    if (!problem.empty()) {
        recio::console_list(problem);
        return false;
    }
    st.has_base = true;
    return true;
}

// The fate-model timing, the vessel's motion and the schedule, with the
// checks of the values they hand on; the line of placement mode 2 and the
// placement file of mode 4.
bool plan_activity(RunState& st) {
    const DumpControl& c = st.ctl;
    st.tstop = c.tstop;
    st.tprint1 = c.tprint1;
    st.tprint2 = c.tprint2;
    const bool placing = c.run_mode == RunMode::Placement;
    if (placing) st.vessel = vessel_motion(c, st.grid.rotation);
    st.sched = make_schedule(c.loads, c.disposal_days, c.period_days, c.run_mode);
    std::string problem = handover_problem(c, st.mat, st.vessel, st.sched, st.names.grid_in,
                                           st.grid.rotation, st.grid.datum);
    if (problem.empty() && placing && c.placement_mode == PlacementMode::Line)
        problem = line_problem(c, st.scale);
    if (problem.empty()) {
        problem = series_problem(c, st.sched);
        if (!problem.empty()) {
            recio::console_list(problem);
            access_problem();
            return false;
        }
        problem = long_term_inputs_problem(c);
    }
    if (!problem.empty()) {
        recio::console_list(problem);
        return false;
    }
    if (!placing) return true;
    if (c.placement_mode == PlacementMode::Line) st.line = line_setup(c, st.scale);
    if (c.placement_mode == PlacementMode::File && !st.placement.open(trim(c.placement_file))) {
        recio::console_list("COULD NOT OPEN PLACEMENT FILE " + trim(c.placement_file));
        return false;
    }
    if (c.placement_mode == PlacementMode::File) {
        const std::int32_t held = placement_positions(trim(c.placement_file), c.order);
        if (held < c.loads)
            recio::console_list(trim(c.placement_file) + " HOLDS " + std::to_string(held) +
                                " POSITIONS FOR " + std::to_string(c.loads) +
                                " LOADS: THE RUN MAKES " + std::to_string(held) + " LOADS");
    }
    return true;
}

bool start_up(RunState& st, const RunOptions& options) {
    DumpControl& c = st.ctl;
    if (!read_checked_control(c)) return false;
    st.mat = material_properties(c);
    st.angles = {c.aval_angle, c.post_angle, c.aval_angle, c.post_angle};
    st.names = file_names(c);
    if (!load_site(st)) return false;
    st.site = site_frame(st.grid, st.summary);
    st.scale = scale_of(st.site);
    st.ref_depth = reference_depth(st.site, st.grid.depth);

    // Cohesive material is avalanched over the base surface.
    if (c.run_mode == RunMode::Placement && c.sediment_type > 1) c.base_option = 1;
    if (c.base_option == 1 && c.run_mode == RunMode::Placement &&
        !load_base_surface(st, options.base_surface))
        return false;
    if (c.base_option == 1) slope_analysis(st.site, st.grid.depth, st.work, c.run_mode, st.angles);
    return plan_activity(st);
}

// ---- one load

// The requested position of dump k of the week; false when the placement
// file or the keyboard has no more positions.
bool requested_position(RunState& st, recio::UniformRandom& random, std::int16_t k,
                        std::int16_t week_remaining, suitefiles::Position& p) {
    switch (st.ctl.placement_mode) {
        case PlacementMode::Scatter:
            p = scatter_position(st.ctl, st.scale, random, st.weight);
            return true;
        case PlacementMode::Line:
            p = line_position(st.line, st.scale, st.made + 1);
            return true;
        case PlacementMode::Keyboard:
            if (keyboard_position(st.site.coord_system, k, week_remaining, p)) return true;
            recio::console_list("NO MORE PLACEMENT POSITIONS FROM THE KEYBOARD");
            return false;
        default: {
            std::string problem;
            if (st.placement.next(st.ctl.order, p, problem)) return true;
            if (!problem.empty()) recio::console_list(problem);
            recio::console_list("NO MORE PLACEMENT POSITIONS IN " + trim(st.ctl.placement_file));
            return false;
        }
    }
}

enum class Load { Done, NoPosition, Fatal };

Load make_load(RunState& st, SeriesFiles& series, recio::UniformRandom& random,
               std::int32_t week_loads, std::int16_t k, std::int32_t week_start,
               std::int16_t week_remaining) {
    const DumpControl& c = st.ctl;
    ++st.since_aval;
    const std::int32_t index = dump_time_step(week_loads, k, week_start);
    const float days = static_cast<float>(index) * 0.125f;
    const Current steady = schedule_current(c, st.grid.rotation, days);
    st.last_speed = steady.speed;

    SeriesValues sv;
    sv.wave_height = c.wave_height;
    sv.wave_period = c.wave_period;
    sv.wave_direction = c.wave_direction;
    try {
        series.values(index, sv);
    } catch (const recio::RecordError& e) {
        recio::console_list(e.what());
        access_problem();
        return Load::Fatal;
    }
    DumpConditions cond;
    cond.wave_height = sv.wave_height;
    cond.wave_period = sv.wave_period;
    cond.wave_direction = sv.wave_direction + st.grid.rotation;
    cond.tide = sv.tide;
    cond.water_level = st.grid.datum + sv.tide;
    total_current(sv.u, sv.v, st.grid.rotation, steady, cond.current_x, cond.current_y);

    suitefiles::Position req;
    if (!requested_position(st, random, k, week_remaining, req)) return Load::NoPosition;
    cond.req_e = req.e;
    cond.req_n = req.n;
    ++st.made;
    cond.dumps_remaining = static_cast<std::int16_t>(c.loads - st.made);
    FateTiming timing{st.tstop, st.tprint1, st.tprint2};
    fit_fate_grid(st.ref_depth, st.mat.min_fall, st.vessel, c.trel, st.site, cond, timing);
    st.tstop = timing.tstop;
    st.tprint1 = timing.tprint1;
    st.tprint2 = timing.tprint2;

    BuildResult b;
    {
        StageScope stage(st.observer, Stage::Deck);
        b = BUILD(c, st.mat, st.vessel, st.site, st.grid.depth, cond, st.work);
    }
    load_begins(st.balance, st.grid.depth);
    const suitefiles::Position actual{b.e, b.n};
    if (b.abort)
        load_ends(st.balance, c, st.site, st.grid.depth, index, req, actual,
                  suitefiles::LoadStatus::Refused, FateListing{});
    if (!b.abort) {
        if (!b.deck_written) {
            recio::console_list(b.deck_problem.empty() ? "COULD NOT WRITE CLDX.DUE"
                                                       : b.deck_problem);
            return Load::Fatal;
        }
        std::remove("CLDX.DUT");  // a fate run that leaves no deposit file has failed
        std::remove("CLDX.DUO");  // nor may an earlier load's listing speak for this one
        start_fate_model(st);
        int deposit_error = 0;
        {
            StageScope stage(st.observer, Stage::Deposit);
            deposit_error =
                RDEPOS(st.work, st.tstop, b.e, b.n, st.site, st.grid.depth, cond.rows, cond.cols);
        }
        load_ends(
            st.balance, c, st.site, st.grid.depth, index, req, actual,
            deposit_error == 0 ? suitefiles::LoadStatus::Placed : suitefiles::LoadStatus::Failed,
            read_fate_listing("CLDX.DUO", c));
        if (deposit_error == 0) {
            st.failures = 0;
            if (st.since_aval > 10 && week_loads > 20) {
                avalanche(st, st.angles.aval, st.angles.post);
                st.since_aval = 0;
            }
        } else if (++st.failures >= 2) {
            access_problem();
            return Load::Fatal;
        }
    }
    if (st.observer && st.observer->load_done) st.observer->load_done(st.made);
    st.report.load_line(cond.dumps_remaining, c.load_volume, b.e, b.n, b.abort != 0);
    st.lateral.test(k, b.e, b.n, st.summary.corners.centre_e, st.summary.corners.centre_n,
                    st.summary.we_extent, st.summary.ns_extent, c.lateral_tolerance, st.scale);
    return Load::Done;
}

// ---- the disposal weeks

bool place(RunState& st, std::uint32_t seed) {
    const DumpControl& c = st.ctl;
    balance_begins(st.balance, c, st.grid.depth, &seed);
    if (!st.report.open(st.names.act)) {
        recio::console_list("COULD NOT OPEN", " " + st.names.act);
        return false;
    }
    st.report.header(c);
    recio::UniformRandom random(seed);
    SeriesFiles series;
    for (std::int32_t w = 1; w <= st.sched.disposal_weeks; ++w) {
        if (!series.open(c.wave_source == WaveSource::Series,
                         c.tide_source == TideSource::Series)) {
            recio::console_list("COULD NOT OPEN " + series.missing);
            access_problem();
            return false;
        }
        const std::int32_t loads = week_loads(st.sched, w, c.loads, st.made);
        const auto week_remaining = static_cast<std::int16_t>(c.loads - st.made);
        const std::int32_t week_start = (w - 1) * STEPS_PER_WEEK;
        st.last_week_start = week_start;
        st.since_aval = 0;
        for (std::int32_t k = 1; k <= loads && !st.placement_ended; ++k) {
            const Load l = make_load(st, series, random, loads, static_cast<std::int16_t>(k),
                                     week_start, week_remaining);
            if (l == Load::Fatal) return false;
            if (l == Load::NoPosition) st.placement_ended = true;
        }
        series.close();
        st.history.add(suitefiles::SnapshotKind::DisposalWeek,
                       3 * (loads > 0 ? dump_time_step(loads, loads, week_start) : week_start),
                       st.grid.depth);
        if (!write_pcd(st, week_start, 7)) return false;
        if (no_forcing(st)) continue;
        long_term_begins(st.balance, st.grid.depth, week_start);
        if (st.has_base)
            to_thickness_form(st.grid.depth, st.base, st.ref_depth, st.site.total_points);
        if (!write_grid(st)) return false;
        long_term_run(st, st.names.week_tns);
        if (st.has_base)
            from_thickness_form(st.grid.depth, st.base, st.ref_depth, st.site.total_points);
        long_term_ends(st.balance, st.site, st.grid.depth, st.hours, week_start + STEPS_PER_WEEK,
                       st.lt_figures);
        if (!write_grid(st)) return false;
    }
    return true;
}

// The quiet weeks after the last load (the whole period in run mode 1), then
// the final avalanching.
bool final_period(RunState& st) {
    const bool placing = st.ctl.run_mode == RunMode::Placement;
    if (!placing) st.last_speed = schedule_current(st.ctl, st.grid.rotation, 0.0f).speed;
    if (no_forcing(st)) return true;
    const std::int32_t days = 7 * st.sched.quiet_weeks;
    if (days > 0) {
        const std::int32_t start =
            st.last_week_start + (st.ctl.run_mode == RunMode::Placement ? STEPS_PER_WEEK : 0);
        if (!write_pcd(st, start, days)) return false;
        long_term_begins(st.balance, st.grid.depth, start);
        if (st.has_base) {
            to_thickness_form(st.grid.depth, st.base, st.ref_depth, st.site.total_points);
            if (!write_grid(st)) return false;
        }
        long_term_run(st,
                      st.ctl.run_mode == RunMode::Placement ? st.names.week_tns : st.names.tns_in);
        if (st.has_base)
            from_thickness_form(st.grid.depth, st.base, st.ref_depth, st.site.total_points);
        long_term_ends(st.balance, st.site, st.grid.depth, st.hours, start + 8 * days,
                       st.lt_figures);
    }
    avalanche(st, st.angles.final_aval, st.angles.final_post);
    std::fill(st.base.begin(), st.base.end(), 0.0f);
    st.has_base = false;
    return true;
}

void listing_screen(const RunState& st) {
    const Names& nm = st.names;
    gridlib::stored_files_screen(
        {nm.grid_out, nm.summary_out, st.ctl.run_mode == RunMode::Placement ? nm.act : "",
         nm.point_out},
        gridlib::StoredFilesWording::Placement);
}

void remove_week_grid(const Names& nm) {
    for (const std::string& f : {nm.week_grid, nm.week_point, nm.week_tns}) std::remove(f.c_str());
}

constexpr std::int32_t MAX_SEQUENCES = 9999;

// Stores the output site: the report and the run length in place (they are
// under the set's protection), the grid files and the summary staged in the
// set, then the whole set committed.
int finish(RunState& st, recio::FileSet& set) {
    const bool placing = st.ctl.run_mode == RunMode::Placement;
    if (placing) {
        st.report.navigable_page(st.site, st.grid.depth, st.ctl.navigable_depth);
        st.report.lateral_page(st.lateral, st.ctl.lateral_tolerance);
        if (!st.report.close()) {
            recio::console_list("COULD NOT WRITE", " " + st.names.act);
            return RUN_FAILED;
        }
    }
    {
        StageScope stage(st.observer, Stage::GridWriting);
        if (!gridlib::GRID1(st.names.grid_out, st.summary.corners.nw_e, st.summary.corners.nw_n,
                            st.grid, st.resample, gridlib::GRID1_NEW, st.ctl.sign_option,
                            st.ctl.title, &set))
            return RUN_FAILED;
    }
    // The summary holds the sequence counts in four columns: they stop at 9999.
    const std::int32_t total = st.summary.total_seq + st.made;
    if (total > MAX_SEQUENCES || st.made > MAX_SEQUENCES)
        recio::console_list("THE DISPOSAL SEQUENCE COUNTS OF THE SITE SUMMARY STOP AT 9999");
    st.summary.total_seq = static_cast<std::int16_t>(std::min(total, MAX_SEQUENCES));
    st.summary.seq_since_last = static_cast<std::int16_t>(std::min(st.made, MAX_SEQUENCES));
    std::int8_t turned = 0;
    {
        StageScope stage(st.observer, Stage::GridWriting);
        if (!gridlib::shown(gridlib::ARGPB(st.names.grid_out, st.names.summary_out, st.summary, 0,
                                           turned, &set)))
            return RUN_FAILED;
    }
    if (!write_run_length(st.names.tim, st.hours)) {
        recio::console_list("COULD NOT WRITE", " " + st.names.tim);
        return RUN_FAILED;
    }
    balance_ends(st.balance, st.ctl, st.site, st.grid.depth, placing ? st.ctl.loads : 0);
    if (!write_balance(st.balance, st.names.bal, st.names.csv)) {
        recio::console_list("COULD NOT WRITE", " " + st.names.bal + " OR " + st.names.csv);
        return RUN_FAILED;
    }
    st.history.add(suitefiles::SnapshotKind::FinalSite, st.history.last_hours(), st.grid.depth);
    if (!st.history.store(st.names.his, set)) return RUN_FAILED;
    if (!gridlib::commit_site(set)) return RUN_FAILED;
    remove_week_grid(st.names);
    listing_screen(st);
    balance_overview(st.balance, st.names.bal);
    return had_losses(st.balance) ? RUN_LOSSES : RUN_OK;
}

}  // namespace

int run(const RunOptions& options) {
    if (!suitefiles::action_word_is("DUMPYES")) {  // not asked for: a silent end
        suitefiles::menu_hint_on_error_stream("DUMPYES", "./menu placer");
        return RUN_FAILED;
    }
    auto st = std::make_unique<RunState>();
    st->observer = options.observer;
    if (!start_up(*st, options)) return RUN_FAILED;
    st->history.begin(st->grid.points_we, st->grid.points_ns, st->grid.interval,
                      st->ctl.start_month, st->ctl.start_year, st->grid.depth);

    // The files of the output site stay as they are until the run has done
    // its job: a run that fails, throws, is stopped by a signal or dies
    // leaves (or, for the next program, has) the whole old set.
    const Names& nm = st->names;
    const std::string base = gridlib::base_name(nm.grid_out);
    recio::FileSet set(base + ".SET");
    // The grid of the week goes with the set: a run that does not end leaves
    // none (one left by a run that ended after storing its site is old).
    remove_week_grid(nm);
    if (!set.protect({nm.grid_out, nm.summary_out, nm.point_out, nm.tns_out, nm.act, nm.tim,
                      nm.week_grid, nm.week_point, nm.week_tns, nm.bal, nm.csv})) {
        recio::console_list("COULD NOT KEEP THE OUTPUT SITE SAFE DURING THE RUN: " + set.failure());
        return RUN_FAILED;
    }
    recio::SignalsRollBack on_signals(set);
    int status = RUN_FAILED;
    if (st->ctl.run_mode == RunMode::Placement) {
        const auto seed =
            options.seed ? *options.seed : static_cast<std::uint32_t>(recio::clock_seconds());
        if (place(*st, seed) && final_period(*st)) status = finish(*st, set);
    } else {
        balance_begins(st->balance, st->ctl, st->grid.depth, nullptr);
        if (final_period(*st)) status = finish(*st, set);
    }
    if (status == RUN_FAILED)
        recio::console_list("THE RUN DID NOT END NORMALLY; ITS OUTPUT FILES ARE AS BEFORE THE RUN");
    return status;
}

}  // namespace placer
