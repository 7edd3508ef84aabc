#include "cloudex/descent.hpp"

#include <algorithm>
#include <cmath>

#include "cloudex/ambient.hpp"
#include "cloudex/deck.hpp"
#include "cloudex/echo.hpp"
#include "cloudex/run.hpp"

namespace cloudex {

float initial_radius(float vollay) {
    return std::pow(81.0f * vollay / (2.0f * kPi), 1.0f / 3.0f);
}

float bulk_density(const std::vector<Fraction>& frac, float rhow) {
    float sc = 0.0f, scsg = 0.0f;
    for (const Fraction& f : frac) {
        sc += f.conc;
        scsg += f.conc * f.sg_gcc;
    }
    return scsg + (1.0f - sc) * rhow;
}

float bulk_void_ratio(const std::vector<Fraction>& frac) {
    float sc = 0.0f, scv = 0.0f;
    for (const Fraction& f : frac) {
        sc += f.conc;
        scv += f.conc * f.voidr;
    }
    return sc != 0.0f ? scv / sc : 0.0f;
}

float initial_descent_velocity(int kvessel, const Vessel& v, int nbins, int nlayer, float trel) {
    const float layers = static_cast<float>(nlayer);
    float opening, plan;
    if (kvessel == kSplitHullBarge) {
        opening = 0.8f * v.bargw * v.bargl;
        plan = v.bargw * v.bargl;
    } else {
        opening = v.binw * v.binl * static_cast<float>(nbins);
        plan = (v.bargw / layers) * v.bargl;
    }
    const float per_layer = trel / layers;
    if (!(opening > 0.0f) || !(per_layer > 0.0f)) return 0.0f;
    const float draft_change = (v.drel1 - v.drel2) / layers;
    return (plan / opening) * draft_change / per_layer;
}

float descent_time_step(float cv, float rb, float h, float alpha0, float roo, float rhos,
                        float rhob) {
    const float delta = (roo - rhos) / rhos;  // relative density excess
    // Without a velocity, or lighter than the surface water (no Froude number), 5 s.
    if (cv == 0.0f || !(delta > 0.0f)) return 5.0f;
    const float eps = (rhob - rhos) / (rhos * h);         // mean stratification
    const float fr = cv / std::sqrt(rb * kGrav * delta);  // densimetric Froude number
    const float q = (rb / delta) * eps;
    const float grow = 1.0f + alpha0 * h / rb;
    const float dt2 = (grow * grow / (2.0f * cv)) * rb * fr * 0.01f;
    if (rhob == rhos || !(q > 0.0f)) return dt2;
    const float dt1 = (kPi / std::sqrt(q)) * fr * 0.01f;
    return std::min(dt1, dt2);
}

void DescentModel::operator()(const float* y, float* dy) {
    const Coefs& c = env_.coef;
    const float rhos = env_.rhos();
    if (y[kDepth] < 0.0f) throw Stop({"Y LT 0 -- INPUT DATA BAD"});
    const float rhoa = density_at(env_.amb.prof, y[kDepth], k);
    const float grad = density_gradient(env_.amb.prof, k);
    const float mass = y[kMass];
    const float vol = (y[kBuoyancy] + mass) / rhos;
    const float rhoc = mass / vol;
    const float a = std::pow(1.5f * vol / kPi, 1.0f / 3.0f);
    float ua, wa;
    ambient_velocity(env_.grid, env_.amb, y[kPosX] + xb_, y[kDepth], y[kPosZ] + zb_, ua, wa);
    // Entrainment falls off as the circulation outgrows the buoyancy.
    float alpha = c.alpha0;
    const float circ = y[kCirculation];
    if (circ > 0.0f) {
        const float x = (rhoc - rhoa) * kGrav * vol / (0.32f * kPi * c.alpha0 * rhoc * circ * circ);
        alpha = c.alpha0 * std::sqrt(std::tanh(x * x));
    }
    const float cmm = c.cm * mass;
    const float u = y[kMomX] / cmm, v = y[kMomY] / cmm, w = y[kMomZ] / cmm;
    const float ur = std::sqrt((u - ua) * (u - ua) + v * v + (w - wa) * (w - wa));
    const float area = kPi * a * a;
    const float e = 2.0f * area * alpha * ur;  // entrainment through the curved surface
    const float d = 0.5f * c.cd * area * rhoa * ur;
    dy[kPosX] = u;
    dy[kDepth] = v;
    dy[kPosZ] = w;
    dy[kMass] = e * rhoa;
    dy[kMomX] = ua * e * rhoa - 0.5f * d * (u - ua);
    dy[kMomY] = (rhoc - rhoa) * kGrav * vol - d * v;
    dy[kMomZ] = wa * e * rhoa - 0.5f * d * (w - wa);
    dy[kBuoyancy] = (rhos - rhoa) * e;
    dy[kCirculation] = -3.0f * (a * a / rhos) * kGrav * grad;
    for (int i = 0; i < env_.nsolid; ++i) {
        const Fraction& f = env_.frac[static_cast<std::size_t>(i)];
        const float s = y[kDescentSolids + i];
        const float wf = std::fabs(f.vfall);
        const float b = (step > 10 && wf > std::fabs(v)) ? c.beta : 1.0f;
        float q = (1.0f - b) * (s / vol) * area * wf;
        if (f.kstrip == 1) q += 2.0f * area * c.cstrip * ur * (s / vol);
        dy[kMass] -= f.sg * q;
        dy[kMomX] -= f.sg * q * u;
        dy[kMomY] -= f.sg * q * v;
        dy[kMomZ] -= f.sg * q * w;
        dy[kBuoyancy] -= (rhos - f.sg) * q;
        dy[kDescentSolids + i] = std::min(-q, 0.0f);
    }
}

namespace {

// Stores the step record of state y at step s and returns the ambient density there.
float record_step(const PhaseEnv& env, Track& tr, float* y, int s, int& k) {
    const Coefs& c = env.coef;
    if (y[kCirculation] < 0.0f) y[kCirculation] = 0.0f;
    const float mass = y[kMass];
    const float vol = (y[kBuoyancy] + mass) / env.rhos();
    const float rhoc = mass / vol;
    const float a = std::pow(1.5f * vol / kPi, 1.0f / 3.0f);
    const float cmm = c.cm * mass;
    const float rhoa = density_at(env.amb.prof, y[kDepth], k);
    tr.x[s] = y[kPosX];
    tr.y[s] = y[kDepth];
    tr.z[s] = y[kPosZ];
    tr.u[s] = y[kMomX] / cmm;
    tr.v[s] = y[kMomY] / cmm;
    tr.w[s] = y[kMomZ] / cmm;
    tr.ddens[s] = (rhoc - rhoa) * kToGcc;
    tr.radius[s] = a;
    tr.axa[s] = 2.0f * a;
    tr.axb[s] = 2.0f * a;
    tr.thick[s] = a;
    tr.vol[s] = vol;
    tr.circ[s] = y[kCirculation];
    for (int i = 0; i < env.nsolid; ++i) {
        tr.conc[static_cast<std::size_t>(i)][s] = y[kDescentSolids + i] / vol;
        tr.fall[static_cast<std::size_t>(i)][s] = env.frac[static_cast<std::size_t>(i)].vfall;
    }
    return rhoa;
}

void print_results(Listing& out, const PhaseEnv& env, const Track& tr, int istep) {
    out.page();
    out.line("CONVECTIVE DESCENT RESULTS:");
    out.blank();
    out.line(
        "  TIME  "
        "     PLUME CENTROID     "
        "                     "
        "DIFFERENCE OF"
        "                   "
        "  VOLUME OF "
        " SOLIDS VOL.");
    out.line(
        "  FROM  "
        "  (DISTANCE FROM BARGE) "
        "   PLUME VELOCITY    "
        "PLUME & WATER"
        "   PLUME "
        "  TRACER  "
        "    SOLID   "
        "  CONC. BY  ");
    out.line(
        "DISPOSAL"
        "  X-DIR   DEPTH   Z-DIR "
        " X-DIR  DOWN   Z-DIR "
        "  DENSITIES  "
        "  RADIUS "
        "   CONC.  "
        "  FRACTIONS "
        "  FRACTION  ");
    out.line(
        "  (SEC)  "
        "  (FT)    (FT)    (FT) "
        " (FPS)  (FPS)  (FPS) "
        "    (G/CC)   "
        "   (FT)  "
        "  (MG/L)  "
        "   (CU FT)  "
        "  (VOL/VOL) ");
    out.blank();
    const int p = std::max(istep / 60, 1);
    for (int s = 1; s <= istep; s += p) {
        const float a = tr.radius[s];
        const float hemi = (2.0f / 3.0f) * kPi * a * a * a;
        const float c1 = tr.conc[0][s];
        out.write("(1X,F7.2,3F8.2,F7.2,F7.3,F7.2,E13.4,F9.2,2E12.4)", tr.t[s], tr.x[s], tr.y[s],
                  tr.z[s], tr.u[s], tr.v[s], tr.w[s], tr.ddens[s], a, c1 * hemi, c1);
        for (int i = 1; i < env.nsolid; ++i) {
            const float ci = tr.conc[static_cast<std::size_t>(i)][s];
            out.write("(87X,2E12.4)", ci * hemi, ci);
        }
    }
}

// Layer set-up: the vessel and coefficient records on the first layer, the
// layer record and the fraction records with their echo, the bulk values
// and the release of the layer. Returns the initial radius RB.
float read_layer(Run& r, Deck& deck, int layer) {
    Listing& out = r.listing;
    const Controls& ctl = r.ctl;
    if (layer == 1) {
        deck.vessel(r.vessel);
        echo_times_vessel(out, ctl, r.times, r.vessel);
        echo_coef_heading(out, ctl);
        if (ctl.key1 == 1)
            deck.coefficients(r.coef);
        else
            r.coef = Coefs{};
    }
    LayerValues& lv = r.layer;
    lv = LayerValues{};
    lv.index = layer;
    deck.layer(lv.cu, lv.cw, lv.vollay);
    const float rb = initial_radius(lv.vollay);
    r.total_volume += lv.vollay;
    if (layer == 1) echo_coef_values(out, r.coef);

    echo_material(out, ctl, layer);
    for (Fraction& f : r.frac) {
        deck.fraction(f);
        echo_fraction(out, f);
        if (f.conc != 0.0f) f.present = true;
        f.released += static_cast<double>(kCuFtPerCuYd * lv.vollay * f.conc);
    }
    lv.roo = bulk_density(r.frac, r.vessel.rhow);
    lv.bvoid = bulk_void_ratio(r.frac);
    r.vollay.push_back(lv.vollay);
    r.bvoid.push_back(lv.bvoid);
    return rb;
}

// Draft of the vessel at the release of layer `layer`.
float release_draft(const Vessel& v, int nlayer, int layer) {
    const float draft_change = (v.drel1 - v.drel2) / static_cast<float>(nlayer);
    return std::max(v.drel1 - static_cast<float>(layer) * draft_change, v.drel2);
}

// The initial descent velocity with its warning, and the release of the
// layer: the running release time and the drift of the dump location.
void release_layer(Run& r) {
    Listing& out = r.listing;
    const Controls& ctl = r.ctl;
    LayerValues& lv = r.layer;
    lv.cv = initial_descent_velocity(ctl.kvessel, r.vessel, ctl.nbins, ctl.nlayer, r.times.trel);
    if (lv.cv <= 0.0f) {
        out.blank();
        out.line("WARNING!!! - INFORMATION ABOUT DISPOSAL VESSEL MAY BE IN ERROR.");
        out.line("INITIAL DESCENT VELOCITY IS COMPUTED TO BE LESS THAN OR EQUAL TO ZERO.");
    }
    const float per_layer = r.times.trel / static_cast<float>(ctl.nlayer);
    r.times.trun += per_layer;
    r.grid.xbarge += lv.cu * per_layer;
    r.grid.zbarge += lv.cw * per_layer;
}

void print_discharge(Listing& out, const LayerValues& lv, float rb, float drel, bool bypass) {
    out.blank();
    out.line("DISCHARGE PARAMETERS:");
    if (bypass) {
        out.write("(10X,'VOLUME OF LAYER',I2,' = ',G12.4,' CU YD')",
                  static_cast<std::int32_t>(lv.index), lv.vollay);
        out.line("         DEPTH IS TOO SHALLOW FOR CONVECTIVE DESCENT SO DESCENT IS BYPASSED.");
        return;
    }
    out.write("(10X,'VOLUME OF LAYER',I2,' = ',G12.4,' CU YD')",
              static_cast<std::int32_t>(lv.index), lv.vollay);
    out.write("(10X,'INITIAL RADIUS OF CLOUD, RB = ',G15.7,' FT')", rb);
    out.write("(10X,'INITIAL DEPTH OF CLOUD CENTROID, DREL = ',G12.4,' FT')", drel);
    out.write("(10X,'INITIAL CLOUD VELOCITIES...  X-DIRECTION, CU(1) = ',G12.4,' FPS')", lv.cu);
    out.write("(10X,'                             DOWNWARD,    CV(1) = ',G12.4,' FPS')", lv.cv);
    out.write("(10X,'                             Z-DIRECTION, CW(1) = ',G12.4,' FPS')", lv.cw);
    out.blank();
    out.line("BULK PARAMETERS:");
    out.write("(10X,'BULK DENSITY, ROO = ',G15.7,' G/CC')", lv.roo);
    out.write("(10X,'AGGREGATE OR BULK VOIDS RATIO, BVOID = ',G12.4)", lv.bvoid);
}

// Initial state: a hemisphere of the layer volume at the release depth,
// with the bulk density roo in slugs per cubic foot.
void initial_state(const PhaseEnv& env, const LayerValues& lv, float rb, float drel, float roo,
                   float* y0) {
    const float v0 = (2.0f / 3.0f) * kPi * rb * rb * rb;
    const float m0 = roo * v0;
    y0[kDepth] = drel;
    y0[kMass] = m0;
    y0[kMomX] = env.coef.cm * m0 * lv.cu;
    y0[kMomY] = env.coef.cm * m0 * lv.cv;
    y0[kMomZ] = env.coef.cm * m0 * lv.cw;
    y0[kBuoyancy] = (env.rhos() - roo) * v0;
    y0[kCirculation] = lv.cv * rb;
    for (int i = 0; i < env.nsolid; ++i)
        y0[kDescentSolids + i] = env.frac[static_cast<std::size_t>(i)].conc * v0;
}

void print_trial(Listing& out, const Outcome& o, int trial, float dt, int istep) {
    out.blank();
    out.write(
        "(1X,'IN TRIAL #',I1,' THE DESCENT PHASE TIME STEP (DT)',' WAS ',G16.8,"
        "' SECONDS.')",
        static_cast<std::int32_t>(trial), dt);
    out.write("(1X,'THE TOTAL NUMBER OF INTEGRATION',' TIME STEPS (ISTEP) WAS ',I4,'.')",
              static_cast<std::int32_t>(istep));
    out.line(o.bottom ? "THE BOTTOM WAS ENCOUNTERED DURING CONVECTIVE DESCENT."
                      : "THE BOTTOM WAS NOT ENCOUNTERED DURING CONVECTIVE DESCENT.");
    out.line(o.neutral ? "THE DISCHARGE REACHED A NEUTRALLY BUOYANT POSITION DURING "
                         "CONVECTIVE DESCENT."
                       : "THE DISCHARGE DID NOT OBTAIN A NEUTRALLY BUOYANT CONDITION "
                         "DURING CONVECTIVE DESCENT.");
}

// One trial from the saved initial state y0 with the time step dt: steps
// until the bottom is met, neutral buoyancy is reached or the capacity is
// used, leaving the end state in y and the flags in o. Returns ISTEP.
int descent_trial(const PhaseEnv& env, DescentModel& model, Track& tr, Outcome& o, const float* y0,
                  float* y, int n, float dt, float trun) {
    std::copy(y0, y0 + n, y);
    int s = 1;
    tr.t[1] = trun;
    o.bottom = o.neutral = false;
    model.k = 0;
    for (;;) {
        const float rhoa = record_step(env, tr, y, s, model.k);
        const float a = tr.radius[s];
        o.bottom = (o.bypassed && s == 1) || env.h <= y[kDepth] + 0.375f * a;
        if (o.bottom && s == 1) break;
        o.neutral = y[kMass] / tr.vol[s] - rhoa <= 0.0f;
        if (o.bottom || o.neutral || s >= kMaxSteps) break;
        model.step = s;
        euler_step(model, y, n, dt);
        ++s;
        tr.t[s] = tr.t[s - 1] + dt;
    }
    return s;
}

// Hand-over to the collapse: the solids move up three places, the two
// horizontal semi-axes start at the last radius; a cloud on the bottom gets
// its spreading momenta (and, met at once, the shape of a cloud already
// spread under the vessel).
void hand_over(const Controls& ctl, Track& tr, Outcome& o, const float* y, StateVector& cy,
               float h) {
    const int istep = o.istep;
    cy.fill(0.0f);
    std::copy(y, y + kBuoyancy + 1, cy.begin());
    for (int i = 0; i < ctl.nsolid; ++i)
        cy[static_cast<std::size_t>(kCollapseBase + i)] = y[kDescentSolids + i];
    const float alast = tr.radius[istep];
    cy[kSemiAxis1] = alast;
    cy[kSemiAxis2] = alast;
    o.r0 = alast;
    if (!o.bottom) return;
    const float vol = tr.vol[istep];
    if (istep == 1) {
        // Already spread on the bottom with the height of the water under the vessel.
        const float hb = std::max(h - o.draft, 0.1f);
        tr.radius[1] = hb;
        cy[kDepth] = h - 0.375f * hb;
        tr.y[1] = cy[kDepth];
        cy[kSemiAxis1] = cy[kSemiAxis2] = std::sqrt(3.0f * vol / (2.0f * kPi * hb));
    }
    o.ibed = istep;
    const float rr = cy[kSemiAxis1];
    const float rhoc = cy[kMass] / vol;
    cy[kSpreadMom1] = cy[kSpreadMom2] = rr * rr * rr * tr.v[istep] * rhoc / 3.0f;
}

}  // namespace

void run_descent(Run& r, Deck& deck, int layer) {
    Listing& out = r.listing;
    const Controls& ctl = r.ctl;
    const float rb = read_layer(r, deck, layer);
    const LayerValues& lv = r.layer;
    const float draft = release_draft(r.vessel, ctl.nlayer, layer);
    const float drel = 0.375f * rb + draft;
    release_layer(r);

    if (lv.roo <= 1.0f) throw Stop({"DREDGED MATERIAL DENSITY LESS THAN 1.0 GM/CC CALL EXIT "});
    deck.check_fractions(r.frac);

    const float h = r.amb.hdump;
    const bool bypass = h <= 1.2f * rb + drel;
    print_discharge(out, lv, rb, drel, bypass);

    // Densities in slugs per cubic foot from here on.
    for (Fraction& f : r.frac) f.sg = f.sg_gcc * kToSlugs;
    const float roo = lv.roo * kToSlugs;
    const PhaseEnv env = r.env();
    float dt = descent_time_step(lv.cv, rb, h, r.coef.alpha0, roo, env.rhos(), env.rhob());

    const int n = kDescentSolids + ctl.nsolid;
    float y0[kCollapseBase + kMaxFractions] = {};
    initial_state(env, lv, rb, drel, roo, y0);
    if (!bypass) {
        out.page();
        out.line("CONVECTIVE DESCENT PHASE:");
    }

    Track& tr = r.track;
    Outcome& o = r.out;
    const float grad = o.grad;  // the gradient of the previous layer stays until replaced
    o = Outcome{};
    o.grad = grad;
    o.bypassed = bypass;
    o.draft = draft;
    o.rb = rb;
    float y[kCollapseBase + kMaxFractions];
    int istep = 1;
    bool accepted = false;
    DescentModel model(env, r.grid.xbarge, r.grid.zbarge);
    for (int trial = 1; trial <= kMaxTrials; ++trial) {
        o.ntrial = trial;
        istep = descent_trial(env, model, tr, o, y0, y, n, dt, r.times.trun);
        if (!bypass) print_trial(out, o, trial, dt, istep);
        if (istep == 1 || (istep >= 200 && istep <= 400)) {
            accepted = true;
            break;
        }
        if (trial == kMaxTrials) break;
        const float steps = static_cast<float>(istep);
        dt = istep < 200 ? dt * steps / 200.0f : dt * steps / 400.0f;
    }
    if (!accepted && !o.bottom && !o.neutral && !bypass) {
        out.blank();
        out.line("PROGRAM TERMINATED AFTER TEN COMPUTATIONAL TRIALS SINCE");
        out.line("THE BOTTOM WAS NOT ENCOUNTERED AND NEUTRAL BUOYANCY WAS NOT REACHED. ");
    }

    o.dt = dt;
    o.istep = istep;
    o.desc_steps = istep;
    o.t_desc_end = tr.t[istep];
    o.bottom_flag = o.bottom ? kBottomInDescent : kBottomNotMet;
    o.spread_flag = o.neutral ? kNeutralInDescent : kNotNeutral;
    o.ibed = 0;
    if (r.record3_due) {
        r.deposit.grid_record(r.grid);
        r.record3_due = false;
    }
    hand_over(ctl, tr, o, y, r.y, h);
    if (ctl.kpdesc != 0 && !bypass) print_results(out, env, tr, istep);
}

}  // namespace cloudex
