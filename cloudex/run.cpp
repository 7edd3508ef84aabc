#include "cloudex/run.hpp"

#include <cmath>

#include "cloudex/ambient.hpp"
#include "cloudex/clouds.hpp"
#include "cloudex/collapse.hpp"
#include "cloudex/deck.hpp"
#include "cloudex/descent.hpp"
#include "cloudex/echo.hpp"
#include "cloudex/gridsetup.hpp"
#include "cloudex/longterm.hpp"
#include "cloudex/shear.hpp"
#include "recio/console.hpp"
#include "recio/format.hpp"

namespace cloudex {

namespace {

const char* const kTenthTrial = "TENTH SOLUTION TRIAL NOT SATISFACTORY--CALL EXIT";

// Gradient of the ambient density at depth y: the last profile interval
// holding y; `previous` when none does.
float gradient_at(const Profile& p, float y, float previous) {
    float grad = previous;
    for (int i = 0; i + 1 < p.ndens; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (p.depth[k] <= y && y <= p.depth[k + 1] && p.depth[k + 1] != p.depth[k])
            grad = (p.dens[k + 1] - p.dens[k]) / (p.depth[k + 1] - p.depth[k]);
    }
    return grad;
}

// True when the record of the current layer up to `istep` holds numbers
// only (no NaN or infinity) in the quantities the later phases use.
bool track_defined(const Track& tr, int istep, int nsolid) {
    for (int s = 1; s <= istep; ++s) {
        const auto k = static_cast<std::size_t>(s);
        for (float v : {tr.t[k], tr.x[k], tr.y[k], tr.z[k], tr.u[k], tr.v[k], tr.w[k], tr.vol[k],
                        tr.radius[k], tr.axa[k], tr.axb[k], tr.thick[k]})
            if (!std::isfinite(v)) return false;
        for (int i = 0; i < nsolid; ++i)
            if (!std::isfinite(tr.conc[static_cast<std::size_t>(i)][k])) return false;
    }
    return true;
}

// A phase whose values are no longer numbers ends the run: going on would
// carry them into the deposit file.
[[noreturn]] void undefined(const std::string& what) {
    throw Stop({"THE COMPUTATION BECAME UNDEFINED (VALUES THAT ARE NOT NUMBERS) IN " + what + ".",
                "THE INPUT DECK HOLDS VALUES OUTSIDE WHAT THE MODEL CAN COMPUTE WITH.",
                "EXECUTION STOPPED."});
}

std::string layer_text(int layer) {
    return "LAYER " + std::to_string(layer);
}

std::string heading(std::string_view format, const std::string& name, float t) {
    return recio::format_records(format, name, t).front();
}
std::string heading(std::string_view format, float t) {
    return recio::format_records(format, t).front();
}

// Input echo and set-up: run sequence steps 2 to 10.
void set_up(Run& r, Deck& deck, const std::string& base) {
    Listing& out = r.listing;
    deck.heading(r.ctl);
    echo_header(out, r.ctl, base);
    r.deposit.header(r.ctl.title);
    deck.sizes(r.ctl, r.grid);
    echo_area(out, r.grid);
    deck.options(r.ctl, r.amb);
    echo_parameters(out, r.ctl);

    deck.grid(r.grid);
    assign_codes(r.grid);
    build_runs(r.grid);
    locate_dump(r.grid);
    echo_grid(out, r.grid);
    if (r.grid.negative_depths > 0)
        out.write(
            "(/,1X,'WARNING!!! -',I6,' NEGATIVE DEPTHS OF THE DEPTH GRID ARE TAKEN AS LAND',"
            "' POINTS (DEPTH 0).')",
            r.grid.negative_depths);
    mark_interior_land(r.grid);
    echo_dump(out, r.grid);

    deck.ambient(r.grid, r.amb);
    r.amb.hdump = depth_at(r.grid, r.grid.xbarge, r.grid.zbarge);
    if (r.amb.kvel == kVelObserved || r.amb.kvel == kVelObservedLog)
        build_velocity_grids(r.grid, r.amb);
    echo_ambient(out, r.grid, r.amb);

    deck.times(r.times);
    r.times.trun = 0.0f;
    r.frac.assign(static_cast<std::size_t>(r.ctl.nsolid), Fraction{});
    for (Field& f : r.bottom) f.fill(0.0f);
    for (auto& list : r.clouds) list.clear();

    compute_bottom_shear(r.grid, r.amb);
    print_bottom_shear(out, r.grid, r.amb);
}

// Descent, collapse and small clouds of one layer (run sequence step 11).
void release_layer(Run& r, Deck& deck, int layer) {
    run_descent(r, deck, layer);
    Outcome& o = r.out;
    if (!track_defined(r.track, o.istep, r.ctl.nsolid))
        undefined("THE CONVECTIVE DESCENT OF " + layer_text(layer));
    bool collapse = true;
    if (o.istep == 1 && o.bottom) {
        collapse = true;
    } else if ((o.ntrial == kMaxTrials && !o.bottom && !o.neutral) || o.istep < 200 ||
               o.istep > 400) {
        throw Stop({kTenthTrial});
    } else if (!o.bottom) {
        o.grad = gradient_at(r.amb.prof, r.track.y[o.istep], o.grad);
        if (!(o.grad > 1.0e-10f)) {
            r.listing.page();
            r.listing.line("DENSITY GRADIENT = 0, GO DIRECTLY TO LONG TERM DIFFUSION");
            collapse = false;
        }
    }
    if (collapse && !run_collapse(r)) throw Stop({kTenthTrial});
    if (collapse && !track_defined(r.track, o.istep, r.ctl.nsolid))
        undefined("THE COLLAPSE OF " + layer_text(layer));
    r.t_layer_end = r.track.t[o.istep];
    const CloudEnv env{r.grid, r.amb, r.coef, r.vessel};
    for (std::size_t i = 0; i < r.frac.size(); ++i)
        if (r.frac[i].conc != 0.0f)
            create_clouds(env, r.track, o, r.frac[i], i, r.grid.xbarge, r.grid.zbarge, r.clouds[i],
                          r.listing);
    bring_forward(env, r.frac, r.clouds, r.bottom, r.t_layer_end);
}

// Print times, long-term phase of every fraction, totals (steps 12 to 16).
void long_term(Run& r, Deck& deck) {
    Listing& out = r.listing;
    const Grid& g = r.grid;
    const float te = r.t_layer_end;
    if (r.ctl.nprt <= 0) {
        r.times.tprint = default_print_times(r.times.tstop, r.times.dtl, te);
        r.ctl.nprt = 4;
    } else {
        deck.print_times(r.ctl.nprt, r.times.tprint);
    }
    r.deposit.summary(r.frac, r.times.tstop);
    complete_print_times(r.times.tprint, r.times.tstop);

    Field total, thick;
    total.fill(0.0f);
    bool first = true;
    float t_last = 0.0f;
    for (std::size_t i = 0; i < r.frac.size(); ++i) {
        const Fraction& f = r.frac[i];
        if (!f.present) continue;
        const float t_end = long_term_fraction(r, i, te, first);
        for (float v : r.bottom[i].v)
            if (!std::isfinite(v)) undefined("THE LONG-TERM PHASE OF " + f.name);
        first = false;
        t_last = t_end;
        for (std::size_t k = 0; k < total.v.size(); ++k) total.v[k] += r.bottom[i].v[k];
        thickness_grid(g, r.bottom[i], f.voidr, thick);
        if (grid_total(g, r.bottom[i]) >= 1.0e-6) {
            print_map(out, g, r.bottom[i],
                      heading("(' BOTTOM ACCUMULATION OF ',A8,' (CU FT/GRID SQUARE) ,',F10.2,"
                              "' SECONDS AFTER DUMP')",
                              f.name, t_end));
            print_map(out, g, thick,
                      heading("(' THICKNESS (FT) OF ',A8,' ACCUMULATED ON BOTTOM,  ',F10.2,"
                              "' SECONDS AFTER DUMP')",
                              f.name, t_end));
        }
        if (r.frac.size() > 1) r.deposit.block(g, t_end, thick);
    }

    out.page();
    out.line("FINAL DISTRIBUTIONS OF TOTAL SETTLED MATERIAL FOLLOW.....");
    if (grid_total(g, total) >= 1.0e-6) {
        // Void ratio of the mixture: the layers' bulk void ratios weighted by volume.
        double sv = 0.0, svol = 0.0;
        for (std::size_t l = 0; l < r.vollay.size(); ++l) {
            sv += static_cast<double>(r.bvoid[l]) * static_cast<double>(r.vollay[l]);
            svol += static_cast<double>(r.vollay[l]);
        }
        const float e = svol > 0.0 ? static_cast<float>(sv / svol) : 0.0f;
        print_map(out, g, total,
                  heading("(' TOTAL ACCUMULATED SOLID VOLUME ON BOTTOM (CU FT/GRID SQR),',F10.2,"
                          "' SECONDS AFTER DUMP')",
                          t_last));
        thickness_grid(g, total, e, thick);
        print_map(out, g, thick,
                  heading("(' TOTAL THICKNESS (FT) OF NEW MATERIAL ON BOTTOM,',F10.2,"
                          "' SECONDS AFTER DUMP')",
                          t_last));
        r.deposit.block(g, t_last, thick);
    }
    out.blank(2);
    out.line("*** RUN COMPLETED ***");
    out.page();
}

// Closes the deposit file and the listing; false, told on the console, if
// either could not be written.
bool close_files(Run& r) {
    bool written = true;
    if (!r.deposit.finish()) {
        recio::console_list("UNABLE TO WRITE FILE " + r.deposit.path() + " (" +
                            r.deposit.failure() + ")");
        written = false;
    }
    if (!r.listing.close()) {
        recio::console_list("UNABLE TO WRITE FILE " + r.listing.path() + " (" +
                            r.listing.failure() + ")");
        written = false;
    }
    return written;
}

}  // namespace

RunEnd run_fate(Run& r, const std::string& base) {
    // The deposit file is replaced first, so that no deposit of an earlier
    // run survives a run that fails.
    r.deposit.open(base + ".DUT");
    r.listing.open(base + ".DUO");
    recio::RecordReader in;
    if (!in.open(base + ".DUE")) {
        const std::string msg = "INPUT DECK " + base + ".DUE CANNOT BE OPENED. EXECUTION STOPPED.";
        recio::console_list(msg);
        r.listing.line(msg);
        close_files(r);
        return RunEnd::InputError;
    }
    Deck deck(in);
    try {
        set_up(r, deck, base);
        for (int layer = 1; layer <= r.ctl.nlayer; ++layer) release_layer(r, deck, layer);
        long_term(r, deck);
    } catch (const Stop& stop) {
        r.listing.blank();
        for (const std::string& line : stop.lines()) r.listing.line(line);
        if (stop.form_feed()) r.listing.page();
        close_files(r);
        return RunEnd::Stopped;
    } catch (const recio::RecordError& e) {
        // A damaged deck's field is quoted in the message: its control
        // characters are shown as '?' so that they cannot move the cursor.
        std::string msg = e.what();
        for (char& ch : msg)
            if (static_cast<unsigned char>(ch) < 0x20 || static_cast<unsigned char>(ch) > 0x7e)
                ch = '?';
        recio::console_list(msg);
        r.listing.blank();
        r.listing.line(msg);
        r.listing.line("EXECUTION STOPPED.");
        close_files(r);
        return RunEnd::InputError;
    }
    return close_files(r) ? RunEnd::Completed : RunEnd::WriteFailed;
}

}  // namespace cloudex
