// The long-term mound model's main routine: start-up, the time loop of
// three-hour steps, and the end of the run.
#include "dredge/driver.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "dredge/bed.hpp"
#include "dredge/consolidation.hpp"
#include "dredge/errors.hpp"
#include "dredge/hydro.hpp"
#include "dredge/transport.hpp"
#include "recio/console.hpp"
#include "suitefiles/balance.hpp"
#include "suitefiles/geometry.hpp"
#include "suitefiles/plotbath.hpp"

namespace dredge {

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void empty_lines(int n) {
    for (int k = 0; k < n; ++k) recio::console_record(" ");
}

void banner() {
    const std::string stars(60, '*');
    recio::console_list(stars);
    recio::console_list("*   MOUND TRANSPORT, CONSOLIDATION AND AVALANCHING PROGRAM *");
    recio::console_list("*                       HAS STARTED                        *");
    recio::console_list(stars);
    empty_lines(2);
    recio::console_list("    N   T     SETT    TUVEL   TVVEL   TIDE H   DEEP",
                        " H   PERD   X-CENT  Y-CENT");
    recio::console_list(std::string(77, '*'));
    recio::console_list("       hrs     ft     ft/sec  ft/sec    ft      ft ",
                        "     sec      ft      ft");
}

// Checks the depths the current solver divides by (tide included).
void check_depths(const Fields& f, std::int32_t n) {
    for (int i = 1; i <= f.nx; ++i) {
        for (int j = 1; j <= f.ny; ++j) {
            const float d = f.depth(i, j);
            if (!(d > 0.0f))
                throw RunError("ZERO, NEGATIVE OR UNDEFINED WATER DEPTH " + number_text(d) +
                               " FT AT CELL I = " + std::to_string(i) +
                               ", J = " + std::to_string(j) + " IN STEP N = " + std::to_string(n) +
                               "; THE CURRENT SOLVER NEEDS WATER IN EVERY CELL");
        }
    }
}

// Every depth of the step must be a number before it is used or written.
void check_defined(const Fields& f, std::int32_t n) {
    for (int i = 1; i <= f.nx; ++i)
        for (int j = 1; j <= f.ny; ++j)
            if (!std::isfinite(f.depth(i, j)))
                throw RunError("THE DEPTH AT CELL I = " + std::to_string(i) +
                               ", J = " + std::to_string(j) +
                               " BECAME UNDEFINED IN STEP N = " + std::to_string(n));
}

// The state of a whole run, from its start-up to its end.
struct Run {
    Controls c;
    Fields f;
    suitefiles::PlotBathWriter plot;
    bool stepping = false;  // the time loop has begun

    std::int32_t interval = 0;  // output interval (h)
    float manning = 0.025f;
    float gauge = 0.0f;  // wave-gauge depth of the wave source in use (ft)
    CentroidState centroid;
    float xref = 0.0f, yref = 0.0f, volume = 0.0f;  // reference centroid, mound volume
    float xcent = 0.0f, ycent = 0.0f;
    TideTable tides;
    WaveSeries waves;
    std::int32_t nsteps = 0;
    float a1 = 0.0f, a2 = 0.0f;  // slope angles (rad)
    SlopeState slopes;
    ConsolState consolidation;
    float direction = 0.0f;  // tidal direction of the last step with current
    float h0 = 0.0f, wave_h = 0.0f, wave_t = 0.0f;
    double held_back = 0.0;  // depth (ft, summed over points) the non-erodible bed kept
};

constexpr const char* BED_HELD_FILE = "BEDHELD.DAT";
constexpr const char* SETTLED_FILE = "SETTLED.DAT";

// A non-erodible bed at `bed` ft: a point eroded below it is put back on it.
// Returns the depth kept, summed over the points.
double hold_at_bed(Grid& depth, float bed) {
    double kept = 0.0;
    for (float& d : depth.v)
        if (d > bed) {
            kept += static_cast<double>(d) - static_cast<double>(bed);
            d = bed;
        }
    return kept;
}

// The elapsed-time line on the console, and the elapsed-time record and the
// grid appended to PLOTBATH.DAT.
void write_output(suitefiles::PlotBathWriter& plot, std::int32_t t, const Fields& f) {
    recio::console_write("(5X,'ELAPSED TIME = ',I10,' HOURS')", t);
    empty_lines(1);
    plot.elapsed(t);
    plot.grid(f.depth.v.data(), f.depth.v.size());
}

// Start-up: the control file, the starting grid, the tide and wave sources,
// the head of PLOTBATH.DAT and the console table's heading.
void start_up(Run& r) {
    Controls& c = r.c;
    Fields& f = r.f;
    c = read_pcd_ini("PCD.INI");
    if (c.n0 == 0) c.n0 = 1;
    limit_grid_size(c.nx, c.ny);
    const bool calm_forcing = c.iwave == 3 && c.itide == 2 && c.speed1 == 0.0f && c.speed2 == 0.0f;
    check_controls(c, calm_forcing);
    empty_lines(3);
    r.interval = check_output_interval(c.ndays * 24);
    r.gauge = c.iwave != 1 ? c.gauge_depth_constant : c.gauge_depth_series;

    f.resize(c.nx, c.ny);
    if (c.grid_file.empty()) throw RunError("PCD.INI, RECORD 2 (COLUMNS 1-32) NAMES NO GRID FILE");
    if (c.grid_name_cut && !recio::RecordReader(c.grid_file).is_open())
        throw RunError("COULD NOT OPEN THE GRID FILE " + c.grid_file +
                       ": THE NAME IN PCD.INI RECORD 2 GOES ON BEYOND COLUMN 32, WHERE IT IS CUT");
    const StartGrid start = read_start_grid(c.grid_file, f.depth);
    f.dx = start.dx;
    f.dy = start.dx;

    CENTROID2(f, 0.0f, 0.0f, r.xref, r.yref, r.volume, r.centroid);

    if (c.itide != 2) r.tides = read_tidal("TIDAL.DAT");
    if (c.iwave == 1) r.waves.open("WAVREC.OUT", c.n0);

    if (!r.plot.open("PLOTBATH.DAT")) throw RunError("COULD NOT WRITE PLOTBATH.DAT");
    r.plot.header({c.grain_size, r.manning, f.dx, f.dy});
    r.plot.grid(f.depth.v.data(), f.depth.v.size());
    empty_lines(2);

    r.nsteps = c.ndays * 24 / 3;
    r.a1 = c.angle1 * suitefiles::SLOPE_DEG_TO_RAD;
    r.a2 = c.angle2 * suitefiles::SLOPE_DEG_TO_RAD;
    empty_lines(34);
    banner();

    r.slopes = SlopeState{r.a2, r.a2};
    r.consolidation.ised = suitefiles::code(c.ised);
    r.consolidation.initialised = false;
}

// Tide and depth-averaged current of step n: the tide level (ft) and the
// current along the grid axes (ft/s), tidal plus steady.
struct Forcing {
    float speed = 0.0f;  // steady-current speed of the step
    float tide = 0.0f, tuvel = 0.0f, tvvel = 0.0f;
    float q = 0.0f;  // discharge per unit width at cell (1, 1), on the depth without the tide
};

Forcing forcing_of_step(Run& r, std::int32_t n, std::int32_t t) {
    const Controls& c = r.c;
    Forcing fc;
    const std::int32_t day = static_cast<std::int32_t>(std::trunc(static_cast<float>(n) * 0.125f));
    const bool first_period = static_cast<float>(day) < c.switch_day;
    fc.speed = first_period ? c.speed1 : c.speed2;
    const float heading = first_period ? c.direction1 : c.direction2;

    float tidal_i = 0.0f, tidal_j = 0.0f;
    if (c.itide != 2) {
        const TideState s = tide_at(r.tides, static_cast<float>(t));
        fc.tide = s.tide;
        const float tidal_speed = std::sqrt(s.u * s.u + s.v * s.v);
        r.direction = tidal_direction(s.u, s.v, r.direction);
        const float phi = (c.grid_angle + r.direction) * suitefiles::PLACEMENT_DEG_TO_RAD;
        tidal_j = tidal_speed * std::cos(phi);
        tidal_i = tidal_speed * std::sin(phi);
    }
    const float psi = (heading + c.grid_angle) * suitefiles::PLACEMENT_DEG_TO_RAD;
    fc.tuvel = tidal_i + fc.speed * std::sin(psi);
    fc.tvvel = tidal_j + fc.speed * std::cos(psi);
    fc.q = r.f.depth(1, 1) * fc.tuvel;
    return fc;
}

// The models of step n on depths that carry the tide: calm, only the slopes
// limited; otherwise waves, currents, transport and the bed.
void model_step(Run& r, std::int32_t n, const Forcing& fc, RunStats& stats) {
    const Controls& c = r.c;
    Fields& f = r.f;
    const float q = fc.q;
    const float dt = 10800.0f;
    if (c.iwave == 3 && c.itide == 2 && fc.speed == 0.0f) {
        r.wave_h = c.wave_height;
        r.wave_t = std::max(c.wave_period, 3.0f);
        MAXANGX(f, r.a1, r.a2, r.h0, r.slopes);
        MAXANGY(f, r.a1, r.a2, r.h0, r.slopes);
        return;
    }
    if (c.iwave == 1) {
        r.waves.next(n, r.wave_h, r.wave_t);
    } else {
        r.wave_h = c.wave_height;
        r.wave_t = std::max(c.wave_period, 3.0f);
    }
    check_depths(f, n);
    SHOAL(r.wave_h, r.wave_t, r.gauge, r.h0);
    INITLZ(f, q, fc.tvvel, r.manning);
    const Clock::time_point v0 = Clock::now();
    const VelocityResult v = VELOCITY(f, q, r.manning);
    stats.velocity_seconds += seconds_since(v0);
    stats.velocity_calls += 1;
    stats.velocity_sweeps += v.sweeps;
    stats.velocity_cells += static_cast<std::int64_t>(v.sweeps) * (f.nx - 2) * f.ny;
    if (std::isnan(v.error))
        throw RunError("THE CURRENT FIELD OF STEP N = " + std::to_string(n) +
                       " BECAME UNDEFINED (THE RELAXATION DIVERGED)");
    MAXANGX(f, r.a1, r.a2, r.h0, r.slopes);
    MAXANGY(f, r.a1, r.a2, r.h0, r.slopes);
    const Clock::time_point s0 = Clock::now();
    if (c.ised == SedimentType::NonCohesive)
        ACKWHT(f, r.h0, r.wave_t, c.grain_size, r.manning, c.porosity);
    else
        COHESIVE(f, r.h0, r.wave_t, r.manning, suitefiles::code(c.icoh), c.porosity);
    stats.transport_seconds += seconds_since(s0);
    CNTNUTY(f, dt, suitefiles::code(c.ised));
}

// The table line of step n: a new line for the first step, then each step
// overwriting the last.
void print_step_line(const Run& r, std::int32_t n, std::int32_t t, const Forcing& fc) {
    const float sett = r.consolidation.sett;
    if (n == r.c.n0) {
        recio::console_write("(1X,2I5,6F8.2,2X,2F7.1)", n, t, sett, fc.tuvel, fc.tvvel, fc.tide,
                             r.h0, r.wave_t, r.xcent, r.ycent);
    } else {
        recio::console_record("+" + std::string(70, ' '));
        recio::console_write("('+',2I5,6F8.2,2X,2F7.1)", n, t, sett, fc.tuvel, fc.tvvel, fc.tide,
                             r.h0, r.wave_t, r.xcent, r.ycent);
    }
}

void run(Run& r, RunStats& stats) {
    start_up(r);
    Controls& c = r.c;
    Fields& f = r.f;
    r.stepping = true;
    bool last_output = false;
    for (std::int32_t n = c.n0; n <= c.n0 + r.nsteps; ++n) {
        const std::int32_t t = 3 * n;
        const Forcing fc = forcing_of_step(r, n, t);
        for (float& d : f.depth.v) d += fc.tide;
        model_step(r, n, fc, stats);
        if (is_cohesive(c.ised))
            CONSOL(f, r.consolidation, r.xref, r.yref, r.xcent, r.ycent, n, t, c.n0);
        for (float& d : f.depth.v) d -= fc.tide;
        if (c.bed_depth > 0.0f) r.held_back += hold_at_bed(f.depth, c.bed_depth);
        check_defined(f, n);

        last_output = r.interval > 0 && t % r.interval == 0;
        if (last_output) write_output(r.plot, t, f);
        CENTROID2(f, r.xref, r.yref, r.xcent, r.ycent, r.volume, r.centroid);
        print_step_line(r, n, t, fc);
        stats.steps += 1;
        stats.settlement = r.consolidation.sett;
    }

    // The run's own end is always the last grid of the file, which is the
    // grid the placement simulator takes back: when the output interval does
    // not fall on the last pass, the final grid follows the last output.
    if (!last_output) write_output(r.plot, 3 * (c.n0 + r.nsteps), f);
    r.plot.end_marker();
    if (!r.plot.close()) throw RunError("COULD NOT WRITE PLOTBATH.DAT");
    if (c.bed_depth > 0.0f) {
        const double cuft = r.held_back * static_cast<double>(f.dx) * static_cast<double>(f.dy);
        recio::console_list("THE NON-ERODIBLE BED AT " + std::to_string(c.bed_depth) +
                            " FT HELD BACK " + std::to_string(cuft) + " CU FT OF EROSION");
        if (!suitefiles::write_bed_held(BED_HELD_FILE, cuft))
            throw RunError(std::string("COULD NOT WRITE ") + BED_HELD_FILE);
    }
    if (is_cohesive(c.ised)) {
        const suitefiles::Settlement s{
            r.consolidation.sett,
            r.consolidation.lowered * static_cast<double>(f.dx) * static_cast<double>(f.dy)};
        if (!suitefiles::write_settlement(SETTLED_FILE, s))
            throw RunError(std::string("COULD NOT WRITE ") + SETTLED_FILE);
    }
    r.waves.close();
}

}  // namespace

void check_controls(const Controls& c, bool calm_forcing) {
    auto bad = [](const std::string& what) { throw RunError(what); };
    if (c.n0 < 0) bad("N0 IN PCD.INI RECORD 1 MUST NOT BE NEGATIVE, NOT " + std::to_string(c.n0));
    if (c.ndays < 1)
        bad("NDAYS IN PCD.INI RECORD 1 MUST BE AT LEAST 1, NOT " + std::to_string(c.ndays));
    if (c.iwave < 1 || c.iwave > 3)
        bad("IWAVE IN PCD.INI RECORD 1 MUST BE 1, 2 OR 3, NOT " + std::to_string(c.iwave));
    if (c.nx < 3 || c.ny < 3)
        bad("THE GRID SIZE IN PCD.INI RECORD 1 MUST BE AT LEAST 3 X 3, NOT " +
            std::to_string(c.nx) + " X " + std::to_string(c.ny));
    if (suitefiles::code(c.ised) < 1 || suitefiles::code(c.ised) > 4)
        bad("THE SEDIMENT TYPE ISED IN PCD.INI RECORD 5 MUST BE 1 TO 4, NOT " +
            std::to_string(suitefiles::code(c.ised)));
    // The reals of records 3 to 5 are written in F8.3 fields; one beyond
    // them (1E30 read through the field) would carry a wave, current or
    // angle of no real site into the model and give a result of no meaning.
    struct Real {
        long record;
        int field;
        const char* what;
        float v;
    };
    const Real reals[] = {{3, 1, "GRID ANGLE", c.grid_angle},
                          {3, 2, "WAVE HEIGHT", c.wave_height},
                          {3, 3, "WAVE PERIOD", c.wave_period},
                          {3, 4, "WAVE DIRECTION", c.wave_direction},
                          {3, 5, "WAVE-GAUGE DEPTH", c.gauge_depth_constant},
                          {3, 6, "WAVE-GAUGE DEPTH", c.gauge_depth_series},
                          {4, 1, "SCHEDULE VALUE", c.schedule_value},
                          {4, 2, "FIRST-PERIOD SPEED", c.speed1},
                          {4, 3, "FIRST-PERIOD DIRECTION", c.direction1},
                          {4, 4, "SWITCH DAY", c.switch_day},
                          {4, 5, "SECOND-PERIOD SPEED", c.speed2},
                          {4, 6, "SECOND-PERIOD DIRECTION", c.direction2},
                          {5, 1, "GRAIN SIZE", c.grain_size},
                          {5, 3, "FIRST SLOPE ANGLE", c.angle1},
                          {5, 4, "SECOND SLOPE ANGLE", c.angle2},
                          {5, 5, "POROSITY", c.porosity}};
    for (const Real& r : reals)
        if (!fits_field(r.v, 8, 3))
            bad(beyond_field("PCD.INI", r.record, r.field, r.what, r.v, 8, 3));
    if (is_cohesive(c.ised) && c.icoh != CohesiveOption::SlowErosion &&
        c.icoh != CohesiveOption::FastErosion)
        bad("THE COHESIVE OPTION ICOH IN PCD.INI RECORD 1 MUST BE 1 OR 2, NOT " +
            std::to_string(suitefiles::code(c.icoh)));
    if (c.ised == SedimentType::NonCohesive && !(c.grain_size > 0.0f))
        bad("THE GRAIN SIZE IN PCD.INI RECORD 5 MUST BE POSITIVE, NOT " +
            number_text(c.grain_size));
    if (!(c.porosity >= 0.0f && c.porosity < 1.0f))
        bad("THE POROSITY IN PCD.INI RECORD 5 MUST BE AT LEAST 0 AND BELOW 1, NOT " +
            number_text(c.porosity));
    for (const float angle : {c.angle1, c.angle2})
        if (!(angle >= 0.0f && angle <= 90.0f))
            bad("THE SLOPE ANGLES IN PCD.INI RECORD 5 MUST LIE FROM 0 TO 90 DEGREES, NOT " +
                number_text(angle));
    const float gauge = c.iwave != 1 ? c.gauge_depth_constant : c.gauge_depth_series;
    if (!calm_forcing && !(gauge > 0.0f))
        bad("THE WAVE-GAUGE DEPTH IN PCD.INI RECORD 3 MUST BE POSITIVE, NOT " + number_text(gauge));
}

int run_dredge(RunStats* stats_out) {
    RunStats stats;
    const Clock::time_point start = Clock::now();
    Run r;
    int status = 0;
    // A PLOTBATH.DAT of an earlier run must never be taken for this run's
    // result, even if this run dies before it writes its own.
    std::remove("PLOTBATH.DAT");
    std::remove(BED_HELD_FILE);
    try {
        run(r, stats);
    } catch (const std::exception& e) {
        // An input the run cannot go on with (RunError, or an unreadable
        // record named by the record library).
        recio::console_end_line();
        recio::console_list(printable(e.what()));
        if (r.stepping) {
            r.plot.close();
            recio::console_list(
                "DREDGE STOPPED DURING ITS STEPS: PLOTBATH.DAT HOLDS THE GRIDS WRITTEN SO FAR"
                " AND HAS NO END MARKER");
        } else {
            r.plot.close();
            std::remove("PLOTBATH.DAT");
            recio::console_list("DREDGE STOPPED BEFORE ITS FIRST STEP: NO PLOTBATH.DAT WRITTEN");
        }
        status = 1;
    }
    recio::console_end_line();
    stats.total_seconds = seconds_since(start);
    if (stats_out) *stats_out = stats;
    return status;
}

}  // namespace dredge
