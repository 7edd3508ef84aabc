#include "cloudex/collapse.hpp"

#include <algorithm>
#include <cmath>

#include "cloudex/ambient.hpp"
#include "cloudex/run.hpp"
#include "cloudex/spreading.hpp"

namespace cloudex {

float collapse_half_surface(float a, float b) {
    if (a > b) {
        const float e = std::sqrt(a * a - b * b);
        return a * a + (a * b * b / (2.0f * e)) * std::log((a + e) / (a - e));
    }
    return 2.0f * a * a;
}

float collapse_time_step(float a, float rel_gradient) {
    const float nb = std::sqrt(rel_gradient * kGrav);
    const float x = std::pow(840.0f * a * a * a * nb, 3.0f / 7.0f);
    const float xa = x / a;
    return (xa * xa * xa / nb) * 0.0001f;
}

void CollapseModel::operator()(const float* y, float* dy) {
    const Coefs& c = env_.coef;
    const float rhos = env_.rhos();
    if (y[kDepth] < 0.0f) throw Stop({"Y LT 0 -- INPUT DATA BAD"});
    const float rhoa = density_at(env_.amb.prof, y[kDepth], k);
    const float grad = density_gradient(env_.amb.prof, k);
    const float a = y[kSemiAxis1];
    const float mass = y[kMass];
    const float vol = (y[kBuoyancy] + mass) / rhos;
    const float rhoc = mass / vol;
    const float b = 3.0f * vol / (4.0f * kPi * a * a);
    const float alpha = c.alpha0 * (b / a) * (b / a);
    float ua, wa;
    ambient_velocity(env_.grid, env_.amb, y[kPosX] + xb_, y[kDepth], y[kPosZ] + zb_, ua, wa);
    const float cmm = c.cm * mass;
    const float u = y[kMomX] / cmm;
    const float v = (y[kMomY] / (a * cmm)) * b;
    const float w = y[kMomZ] / cmm;
    const float ur = std::sqrt((u - ua) * (u - ua) + v * v + (w - wa) * (w - wa));
    const float adot = 16.0f * y[kSpreadMom1] / (rhoc * kPi * a * a * b);
    const float sh = collapse_half_surface(a, b);
    const float e = 2.0f * kPi * sh * (alpha * ur + c.alphac * adot);
    const float d = 0.5f * kPi * rhoa * ur;
    dy[kPosX] = u;
    dy[kDepth] = v;
    dy[kPosZ] = w;
    dy[kMass] = e * rhoa;
    dy[kMomX] = rhoa * ua * e - c.cd3 * a * b * d * (u - ua);
    dy[kMomY] = (rhoc - rhoa) * vol * kGrav - c.cd4 * a * a * d * v;
    dy[kMomZ] = rhoa * wa * e - c.cd3 * a * b * d * (w - wa);
    dy[kBuoyancy] = (rhos - rhoa) * e;
    const float dpa = a * (b * ((1.0f - c.gama * r0_ / b) * grad * kPi * kGrav * b * b / 16.0f -
                                c.cdrag * rhoa * std::fabs(adot) * adot / 4.0f) -
                           (a / (2.0f * b)) * c.cfric * rhoa * adot);
    dy[kSpreadMom1] = dpa;
    dy[kSpreadMom2] = dpa;
    for (int i = 0; i < env_.nsolid; ++i) {
        const Fraction& f = env_.frac[static_cast<std::size_t>(i)];
        const float s = y[kCollapseBase + i];
        const float wf = std::fabs(fall[i]);
        const float bi = wf <= std::fabs(v) ? 1.0f : c.beta;
        const float q = (1.0f - bi) * (s / vol) * a * a * kPi * wf;
        dy[kMass] -= f.sg * q;
        dy[kMomX] -= f.sg * q * u;
        dy[kMomY] -= f.sg * q * v;
        dy[kMomZ] -= f.sg * q * w;
        dy[kBuoyancy] -= (rhos - f.sg) * q;
        dy[kCollapseBase + i] = -q;
    }
    dy[kSemiAxis1] = adot + 0.375f * dy[kMass] / (a * rhoc * kPi * b);
    dy[kSemiAxis2] = dy[kSemiAxis1];
}

namespace {

const char* bottom_text(int flag) {
    switch (flag) {
        case kBottomInDescent:
            return "THE BOTTOM WAS ENCOUNTERED DURING CONVECTIVE DESCENT.";
        case kBottomInCollapse:
            return "THE BOTTOM WAS ENCOUNTERED DURING COLLAPSE.";
        case kRoseFromBottom:
            return "THE CLOUD ROSE FROM THE BOTTOM DURING COLLAPSE.";
        default:
            return "THE BOTTOM WAS NOT ENCOUNTERED DURING CONVECTIVE DESCENT.";
    }
}

const char* spread_text(int flag) {
    switch (flag) {
        case kNeutralInDescent:
            return "THE DISCHARGE REACHED A NEUTRALLY BUOYANT POSITION DURING CONVECTIVE DESCENT.";
        case kDiffusionWins:
            return "DIFFUSION OF THE DISCHARGE IS GREATER THAN DYNAMIC SPREADING FROM THE "
                   "COLLAPSE.";
        default:
            return "THE DISCHARGE DID NOT OBTAIN A NEUTRALLY BUOYANT CONDITION DURING CONVECTIVE "
                   "DESCENT.";
    }
}

// Records the collapse state y at step s.
void record_step(const PhaseEnv& env, Track& tr, const StateVector& y, int s, int& k,
                 const float* fall) {
    const Coefs& c = env.coef;
    const float mass = y[kMass];
    const float vol = (y[kBuoyancy] + mass) / env.rhos();
    const float ax = 2.0f * y[kSemiAxis1];
    const float b2 = 6.0f * vol / (kPi * ax * ax);
    const float cmm = c.cm * mass;
    tr.x[s] = y[kPosX];
    tr.y[s] = y[kDepth];
    tr.z[s] = y[kPosZ];
    tr.vol[s] = vol;
    tr.axa[s] = ax;
    tr.axb[s] = 2.0f * y[kSemiAxis2];
    tr.radius[s] = y[kSemiAxis1];
    tr.thick[s] = b2;
    tr.u[s] = y[kMomX] / cmm;
    tr.v[s] = (b2 / (ax * cmm)) * y[kMomY];
    tr.w[s] = y[kMomZ] / cmm;
    const float rhoc = mass / vol;
    tr.ddens[s] = (rhoc - density_at(env.amb.prof, y[kDepth], k)) * kToGcc;
    for (int i = 0; i < env.nsolid; ++i) {
        tr.conc[static_cast<std::size_t>(i)][s] =
            y[static_cast<std::size_t>(kCollapseBase + i)] / vol;
        tr.fall[static_cast<std::size_t>(i)][s] = fall[i];
    }
}

void print_report(Listing& out, const PhaseEnv& env, const Track& tr, int s0, int istep) {
    out.page();
    out.line("COLLAPSE PHASE RESULTS:");
    out.blank();
    out.line(
        "  TIME  "
        "     CLOUD CENTROID     "
        "     VELOCITY OF     "
        "DIFFERENCE OF"
        "          "
        "ELLIPSOIDAL CLOUD "
        "            "
        "  VOLUME OF "
        " SOLIDS VOL.");
    out.line(
        "  FROM  "
        "  (DISTANCE FROM BARGE) "
        "    CLOUD CENTROID   "
        "CLOUD & WATER"
        "   CLOUD  "
        "   AXIS LENGTHS   "
        "   TRACER   "
        "    SOLID   "
        "  CONC. BY  ");
    out.line(
        "DISPOSAL"
        "  X-DIR   DEPTH   Z-DIR "
        " X-DIR  DOWN   Z-DIR "
        "  DENSITIES  "
        " THICKNESS"
        "  MINOR    MAJOR  "
        "    CONC.   "
        "  FRACTIONS "
        "  FRACTION  ");
    out.line(
        " (SEC)  "
        "  (FT)    (FT)    (FT)  "
        " (FPS)  (FPS)  (FPS) "
        "    (G/CC)   "
        "   (FT)  "
        "   (FT)     (FT)  "
        "    (MG/L)  "
        "   (CU FT)  "
        "  (VOL/VOL) ");
    out.blank();
    const int p = std::max((istep - s0) / 60, 1);
    for (int s = s0; s <= istep; s += p) {
        const float ellipsoid = tr.axb[s] * tr.thick[s] * tr.axa[s] * kPi / 6.0f;
        const float c1 = tr.conc[0][s];
        out.write("(1X,F7.2,3F8.2,3F7.2,E13.4,3F9.2,1X,2E12.4)", tr.t[s], tr.x[s], tr.y[s], tr.z[s],
                  tr.u[s], tr.v[s], tr.w[s], tr.ddens[s], tr.thick[s], tr.axa[s], tr.axb[s],
                  c1 * ellipsoid, c1);
        for (int i = 1; i < env.nsolid; ++i) {
            const float ci = tr.conc[static_cast<std::size_t>(i)][s];
            out.write("(106X,2E12.4)", ci * ellipsoid, ci);
        }
    }
    for (int i = 0; i < env.nsolid; ++i) {
        const Fraction& f = env.frac[static_cast<std::size_t>(i)];
        if (f.kcohes != 1) continue;
        out.blank();
        out.write("(1X,'FALL VELOCITY OF COHESIVE MATERIAL IS ',F10.6,' FT/SEC COMPUTED FOR ',A8)",
                  tr.fall[static_cast<std::size_t>(i)][istep], f.name);
    }
}

// Collapse time step: the descent's after a descent that ended on the
// bottom, otherwise the rule of the neutrally buoyant cloud; 0.1 s after a
// descent of fewer than 200 steps.
float collapse_start_dt(const Outcome& o, float rhos) {
    float dt;
    if (o.bottom) {
        dt = o.dt;
    } else {
        dt = collapse_time_step(o.r0, o.grad / rhos);
        if (!(dt > 0.0f) || !std::isfinite(dt)) dt = o.dt;
    }
    if (o.desc_steps < 200) dt = 0.1f;
    return dt;
}

// The cloud meets the bed at step s: the second semi-axis is reset to the
// first, and both spreading momenta carry the vertical velocity into the
// surge.
void meet_bed(const Track& tr, StateVector& y, int s) {
    const float ax = tr.axa[s], b2 = tr.thick[s];
    const float mass = y[kMass];
    const float rhoc = mass / tr.vol[s];
    const float v = tr.v[s];
    const float pa = y[kSpreadMom1];
    y[kSemiAxis2] = y[kSemiAxis1];
    const float base = ax * ax * b2 * rhoc * kPi;
    y[kSpreadMom1] = y[kSpreadMom2] =
        ((v / (b2 / 2.0f)) * ax / 3.0f + 16.0f * pa / (base / 8.0f)) * base / 64.0f;
}

// The cloud has left the bed at step s: it goes on collapsing from the
// recorded depth and vertical velocity with two equal semi-axes.
void leave_bed(const Coefs& c, const Track& tr, StateVector& y, int s) {
    y[kDepth] = tr.y[s];
    y[kMomY] = tr.v[s] * c.cm * y[kMass];
    y[kSemiAxis2] = y[kSemiAxis1];
    y[kSpreadMom2] = y[kSpreadMom1];
}

// A trial of a cloud on the bed at its start s: the bottom spreading of the
// form that applies, acting on its return code as for a cloud that meets
// the bed during the collapse (at the step capacity the trial steps back
// one step and ends).
void bed_trial(const PhaseEnv& env, const SpreadFrame& frame, Track& tr, Outcome& o, StateVector& y,
               int& s) {
    const int code =
        o.bypassed ? spread_bypassed(env, frame, tr, y, s) : spread_energy(env, frame, tr, y, s);
    if (code == kSpreadCapacity) --s;
    if (code == kSpreadEnded) o.spread_flag = kDiffusionWins;
}

// A trial of a free collapse from step s0: steps until diffusion outruns the
// spreading or the capacity is used; a cloud that meets the bed on the way
// goes on as a surge and may leave the bed again. Leaves the last step in s.
void free_collapse(Run& r, const PhaseEnv& env, const SpreadFrame& frame, StateVector& y, int s0,
                   int& s) {
    Listing& out = r.listing;
    Outcome& o = r.out;
    Track& tr = r.track;
    const Coefs& c = r.coef;
    const float dt = frame.dt;
    const int n = kCollapseBase + r.ctl.nsolid;
    CollapseModel model(env, r.grid.xbarge, r.grid.zbarge, o.r0);
    for (;;) {
        for (int i = 0; i < r.ctl.nsolid; ++i) {
            const Fraction& f = r.frac[static_cast<std::size_t>(i)];
            model.fall[i] = f.kcohes == 1 ? cohesive_fall_collapse(
                                                f.sg_gcc, tr.conc[static_cast<std::size_t>(i)][s])
                                          : f.vfall;
        }
        euler_step(model, y.data(), n, dt);
        ++s;
        tr.t[s] = tr.t[s - 1] + dt;
        int k = model.k;
        record_step(env, tr, y, s, k, model.fall);
        const float ax = tr.axa[s], b2 = tr.thick[s];
        bool met = false;
        if (env.h <= y[kDepth] + 0.375f * b2 && o.bottom_flag != kBottomInCollapse) {
            o.bottom_flag = kBottomInCollapse;
            met = true;
        }
        const float vd = 2.0f * c.alamda * std::pow(y[kSemiAxis1], 1.0f / 3.0f);
        const float vc = (ax - tr.axa[s - 1]) / (2.0f * dt);
        if (y[kDepth] - b2 <= 0.0f) tr.y[s] = b2;
        if (s > s0 + 5) {
            if (vc <= vd) o.spread_flag = kDiffusionWins;
            if (b2 <= 0.25f * std::sqrt(ax * ax + tr.axb[s] * tr.axb[s])) {
                o.spread_flag = kDiffusionWins;
                out.line(
                    "COLLAPSE PHASE IS TERMINATED BECAUSE VERTICAL HEIGHT IS LESS "
                    "THAN TWENTY-FIVE PERCENT OF HORIZONTAL DIMENSION");
            }
        }
        if (o.spread_flag == kDiffusionWins) return;
        if (met) {
            // The cloud continues as a surge on the bed.
            o.ibed = s;
            meet_bed(tr, y, s);
            const int code = spread_energy(env, frame, tr, y, s);
            if (code == kSpreadCapacity) {
                --s;
                return;
            }
            if (code == kSpreadEnded) {
                o.spread_flag = kDiffusionWins;
                return;
            }
            o.bottom_flag = kRoseFromBottom;
            leave_bed(c, tr, y, s);
            continue;
        }
        if (s >= kMaxSteps) return;
    }
}

void print_trial(Listing& out, const Outcome& o, int trial, float dt, int s) {
    out.blank();
    out.write(
        "(1X,'IN TRIAL #',I1,' THE COLLAPSE PHASE TIME STEP (DT)',' WAS',G16.8,"
        "' SECONDS.')",
        static_cast<std::int32_t>(trial), dt);
    out.write(
        "(1X,'THE TOTAL NUMBER OF INTEGRATION TIME STEPS (ISTEP) FOR CONVECTIVE DESCENT "
        "AND COLAPSE WAS ',I4,'.')",
        static_cast<std::int32_t>(s));
    out.write(
        "(1X,'THE INTEGRATION TIME STEP NUMBER WHEN THE BED WAS ENCOUNTERED (IBED) WAS ',"
        "I4,'.')",
        static_cast<std::int32_t>(o.ibed));
    out.line(bottom_text(o.bottom_flag));
    out.line(spread_text(o.spread_flag));
}

}  // namespace

bool run_collapse(Run& r) {
    Listing& out = r.listing;
    Outcome& o = r.out;
    Track& tr = r.track;
    const PhaseEnv env = r.env();
    const int s0 = o.istep;
    const bool start_on_bottom = o.bottom;
    out.page();
    out.line("CLOUD COLLAPSE PHASE:");
    float dt = collapse_start_dt(o, env.rhos());

    const StateVector saved = r.y;
    const int ibed0 = o.ibed;
    const SpreadFrame frame0{r.grid.xbarge, r.grid.zbarge, dt};
    int s = s0;
    for (int trial = 1; trial <= kMaxTrials; ++trial) {
        StateVector y = saved;
        o.ntrial = trial;
        s = s0;
        o.spread_flag = kNotNeutral;
        o.bottom_flag = start_on_bottom ? kBottomInDescent : kBottomNotMet;
        o.ibed = ibed0;
        SpreadFrame frame = frame0;
        frame.dt = dt;
        if (start_on_bottom)
            bed_trial(env, frame, tr, o, y, s);
        else
            free_collapse(r, env, frame, y, s0, s);
        const int steps = s - s0;
        print_trial(out, o, trial, dt, s);
        r.y = y;
        if (steps >= 201 && steps <= 799) break;
        if (trial == kMaxTrials) break;
        const float fs = static_cast<float>(steps);
        dt = steps <= 200 ? dt * fs / 300.0f : dt * fs / 600.0f;
        dt = std::max(dt, 0.0001f);
    }
    o.istep = s;
    o.dt = dt;
    if (o.ntrial == kMaxTrials && o.spread_flag != kDiffusionWins) {
        out.blank();
        out.line("PROGRAM TERMINATED AFTER TEN COMPUTATIONAL TRIALS SINCE");
        out.line("THE SPREADING BY DIFFUSION WAS LESS THAN THE SPREADING BY THE COLLAPSE.");
        return false;
    }
    if (r.ctl.kpcoll != 0) print_report(out, env, tr, s0, s);
    return true;
}

}  // namespace cloudex
