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
#include "suitefiles/geometry.hpp"

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

struct Run {
    Controls c;
    Fields f;
    PlotBath plot;
    bool stepping = false;  // the time loop has begun
};

// The elapsed-time line on the console, and the elapsed-time record and the
// grid appended to PLOTBATH.DAT.
void write_output(PlotBath& plot, std::int32_t t, const Fields& f) {
    recio::console_write("(5X,'ELAPSED TIME = ',I10,' HOURS')", t);
    empty_lines(1);
    plot.elapsed(t);
    plot.grid(f.depth);
}

void run(Run& r, RunStats& stats) {
    Controls& c = r.c;
    Fields& f = r.f;

    // Start-up.
    c = read_pcd_ini("PCD.INI");
    if (c.n0 == 0) c.n0 = 1;
    limit_grid_size(c.nx, c.ny);
    const bool calm_forcing = c.iwave == 3 && c.itide == 2 && c.speed1 == 0.0f && c.speed2 == 0.0f;
    check_controls(c, calm_forcing);
    empty_lines(3);
    const std::int32_t interval = check_output_interval(c.ndays * 24);
    const float manning = 0.025f;
    const float gauge = c.iwave != 1 ? c.gauge_depth_constant : c.gauge_depth_series;

    f.resize(c.nx, c.ny);
    if (c.grid_file.empty()) throw RunError("PCD.INI, RECORD 2 (COLUMNS 1-32) NAMES NO GRID FILE");
    if (c.grid_name_cut && !recio::RecordReader(c.grid_file).is_open())
        throw RunError("COULD NOT OPEN THE GRID FILE " + c.grid_file +
                       ": THE NAME IN PCD.INI RECORD 2 GOES ON BEYOND COLUMN 32, WHERE IT IS CUT");
    const StartGrid start = read_start_grid(c.grid_file, f.depth);
    f.dx = start.dx;
    f.dy = start.dx;

    CentroidState centroid;
    float xref = 0.0f, yref = 0.0f, volume = 0.0f;
    centroid2(f, 0.0f, 0.0f, xref, yref, volume, centroid);
    float xcent = 0.0f, ycent = 0.0f;

    TideTable tides;
    if (c.itide != 2) tides = read_tidal("TIDAL.DAT");
    WaveSeries waves;
    if (c.iwave == 1) waves.open("WAVREC.OUT", c.n0);

    r.plot.open("PLOTBATH.DAT");
    r.plot.header(c.grain_size, manning, f.dx, f.dy);
    r.plot.grid(f.depth);
    empty_lines(2);

    const std::int32_t nsteps = c.ndays * 24 / 3;
    const float dt = 10800.0f;
    const float a1 = c.angle1 * suitefiles::SLOPE_DEG_TO_RAD;
    const float a2 = c.angle2 * suitefiles::SLOPE_DEG_TO_RAD;
    empty_lines(34);
    banner();

    SlopeState slopes{a2, a2};
    ConsolState consolidation;
    consolidation.ised = c.ised;
    consolidation.initialised = false;

    float direction = 0.0f;  // tidal direction of the last step with current
    float h0 = 0.0f, wave_h = 0.0f, wave_t = 0.0f;
    r.stepping = true;
    bool last_output = false;
    for (std::int32_t n = c.n0; n <= c.n0 + nsteps; ++n) {
        const std::int32_t t = 3 * n;
        const std::int32_t day =
            static_cast<std::int32_t>(std::trunc(static_cast<float>(n) * 0.125f));
        const bool first_period = static_cast<float>(day) < c.switch_day;
        const float speed = first_period ? c.speed1 : c.speed2;
        const float heading = first_period ? c.direction1 : c.direction2;

        float tide = 0.0f, tidal_i = 0.0f, tidal_j = 0.0f;
        if (c.itide != 2) {
            const TideState s = tide_at(tides, static_cast<float>(t));
            tide = s.tide;
            const float tidal_speed = std::sqrt(s.u * s.u + s.v * s.v);
            direction = tidal_direction(s.u, s.v, direction);
            const float phi = (c.grid_angle + direction) * suitefiles::PLACEMENT_DEG_TO_RAD;
            tidal_j = tidal_speed * std::cos(phi);
            tidal_i = tidal_speed * std::sin(phi);
        }
        const float psi = (heading + c.grid_angle) * suitefiles::PLACEMENT_DEG_TO_RAD;
        const float tuvel = tidal_i + speed * std::sin(psi);
        const float tvvel = tidal_j + speed * std::cos(psi);
        const float q = f.depth(1, 1) * tuvel;

        for (float& d : f.depth.v) d += tide;
        if (c.iwave == 3 && c.itide == 2 && speed == 0.0f) {
            // Calm: only the slopes are limited.
            wave_h = c.wave_height;
            wave_t = std::max(c.wave_period, 3.0f);
            maxangx(f, a1, a2, h0, slopes);
            maxangy(f, a1, a2, h0, slopes);
        } else {
            if (c.iwave == 1) {
                waves.next(n, wave_h, wave_t);
            } else {
                wave_h = c.wave_height;
                wave_t = std::max(c.wave_period, 3.0f);
            }
            check_depths(f, n);
            shoal(wave_h, wave_t, gauge, h0);
            initlz(f, q, tvvel, manning);
            const Clock::time_point v0 = Clock::now();
            const VelocityResult v = velocity(f, q, manning);
            stats.velocity_seconds += seconds_since(v0);
            stats.velocity_calls += 1;
            stats.velocity_sweeps += v.sweeps;
            stats.velocity_cells += static_cast<std::int64_t>(v.sweeps) * (f.nx - 2) * f.ny;
            if (std::isnan(v.error))
                throw RunError("THE CURRENT FIELD OF STEP N = " + std::to_string(n) +
                               " BECAME UNDEFINED (THE RELAXATION DIVERGED)");
            maxangx(f, a1, a2, h0, slopes);
            maxangy(f, a1, a2, h0, slopes);
            const Clock::time_point s0 = Clock::now();
            if (c.ised == 1)
                ackwht(f, h0, wave_t, c.grain_size, manning, c.porosity);
            else
                cohesive(f, h0, wave_t, manning, c.icoh, c.porosity);
            stats.transport_seconds += seconds_since(s0);
            cntnuty(f, dt, c.ised);
        }
        if (c.ised != 1) consol(f, consolidation, xref, yref, xcent, ycent, n, t, c.n0);
        for (float& d : f.depth.v) d -= tide;
        check_defined(f, n);

        last_output = interval > 0 && t % interval == 0;
        if (last_output) write_output(r.plot, t, f);
        centroid2(f, xref, yref, xcent, ycent, volume, centroid);

        if (n == c.n0) {
            recio::console_write("(1X,2I5,6F8.2,2X,2F7.1)", n, t, consolidation.sett, tuvel, tvvel,
                                 tide, h0, wave_t, xcent, ycent);
        } else {
            recio::console_record("+" + std::string(70, ' '));
            recio::console_write("('+',2I5,6F8.2,2X,2F7.1)", n, t, consolidation.sett, tuvel, tvvel,
                                 tide, h0, wave_t, xcent, ycent);
        }
        stats.steps += 1;
        stats.settlement = consolidation.sett;
    }

    // The run's own end is always the last grid of the file, which is the
    // grid the placement simulator takes back: when the output interval does
    // not fall on the last pass, the final grid follows the last output.
    if (!last_output) write_output(r.plot, 3 * (c.n0 + nsteps), f);
    r.plot.end_marker();
    if (!r.plot.close()) throw RunError("COULD NOT WRITE PLOTBATH.DAT");
    waves.close();
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
    if (c.ised < 1 || c.ised > 4)
        bad("THE SEDIMENT TYPE ISED IN PCD.INI RECORD 5 MUST BE 1 TO 4, NOT " +
            std::to_string(c.ised));
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
    if (c.ised != 1 && c.icoh != 1 && c.icoh != 2)
        bad("THE COHESIVE OPTION ICOH IN PCD.INI RECORD 1 MUST BE 1 OR 2, NOT " +
            std::to_string(c.icoh));
    if (c.ised == 1 && !(c.grain_size > 0.0f))
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
