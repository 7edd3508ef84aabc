#include "cloudex/spreading.hpp"

#include <algorithm>
#include <cmath>

#include "cloudex/ambient.hpp"
#include "cloudex/listing.hpp"

namespace cloudex {

namespace {

// The bypassed form keeps the cloud mass of the previous step in the place
// of the vertical momentum, which it does not use.
constexpr int kPrevMass = kMomY;

// Polar radius of an ellipse of semi-axes p2, p3 at angle phi (p3 at phi = 0).
float polar_radius(float p2, float p3, float phi) {
    const float s = std::sin(phi), c = std::cos(phi);
    return std::sqrt(p2 * p2 * p3 * p3 / (s * s * p3 * p3 + c * c * p2 * p2));
}

float hypot2(float a, float b) {
    return std::sqrt(a * a + b * b);
}

// Bottom shear stress of the grid point nearest the absolute position (x, z).
float cell_stress(const Grid& g, const Ambient& a, float x, float z) {
    const int m = std::clamp(static_cast<int>(x / g.dx + 0.50001f), 1, static_cast<int>(g.mmax));
    const int n = std::clamp(static_cast<int>(z / g.dz + 0.50001f), 1, static_cast<int>(g.nmax));
    return a.tau(n, m);
}

}  // namespace

float half_ellipsoid_surface(float s1, float s2, float s3) {
    float e[3] = {s1, s2, s3};
    std::sort(e, e + 3);
    const float e1 = e[0], e2 = e[1], e3 = e[2];
    const float dx = e1 / 100.0f;
    const float dth = kPi / 180.0f;
    const float sind = std::sin(dth);
    float total = 0.0f;
    float p2 = e2, p3 = e3, q2 = e2, q3 = e3;
    for (int j = 1; j <= 99; ++j) {
        const float x = static_cast<float>(j) * dx;
        const float p = std::sqrt(1.0f - x * x / (e1 * e1));
        q2 = p * e2;
        q3 = p * e3;
        float band = 0.0f;
        for (int k = 0; k < 90; ++k) {
            const float phi = static_cast<float>(k) * dth;
            const float rp0 = polar_radius(p2, p3, phi), rp1 = polar_radius(p2, p3, phi + dth);
            const float rq0 = polar_radius(q2, q3, phi), rq1 = polar_radius(q2, q3, phi + dth);
            const float chord_p = std::sqrt((rp0 - rp1) * (rp0 - rp1) + rp1 * rp1 * sind * sind);
            const float chord_q = std::sqrt((rq0 - rq1) * (rq0 - rq1) + rq1 * rq1 * sind * sind);
            const float phm = phi + dth / 2.0f;
            const float dr = polar_radius(p2, p3, phm) - polar_radius(q2, q3, phm);
            band += 0.5f * (chord_p + chord_q) * std::sqrt(dr * dr + dx * dx);
        }
        total += 4.0f * band;
        p2 = q2;
        p3 = q3;
    }
    return total + kPi * q2 * q3;
}

float half_spheroid_surface(float a, float a2, float b) {
    const float r0 = std::sqrt(a * a2);
    const float e = std::sqrt(std::fabs(r0 * r0 - b * b));
    if (e == 0.0f) return 2.0f * kPi * r0 * r0;
    if (r0 > b)  // oblate
        return kPi * a * a2 + (r0 / e) * b * b * (kPi / 2.0f) * std::log((e + r0) / (r0 - e));
    // prolate: taller than wide
    const float ecc = e / b;
    return kPi * r0 * r0 + kPi * r0 * b * std::asin(ecc) / ecc;
}

int spread_energy(const PhaseEnv& env, const SpreadFrame& fr, Track& tr, StateVector& y, int& s) {
    const Coefs& c = env.coef;
    const Grid& g = env.grid;
    const float rhos = env.rhos(), rhob = env.rhob();
    const float dt = fr.dt;
    const int ns = env.nsolid;
    float fall[kMaxFractions] = {}, sol[kMaxFractions] = {};
    for (int i = 0; i < ns; ++i) {
        fall[i] = tr.fall[static_cast<std::size_t>(i)][s];
        sol[i] = y[static_cast<std::size_t>(kCollapseBase + i)];
    }
    float mass = y[kMass];
    float vol = (y[kBuoyancy] + mass) / rhos;
    float rhoc = mass / vol;
    float a1 = y[kSemiAxis1], a2 = y[kSemiAxis2];
    float ax = 2.0f * a1, bx = 2.0f * a2;
    float b = 3.0f * vol / (2.0f * kPi * a1 * a2);
    tr.axa[s] = ax;
    tr.axb[s] = bx;
    tr.thick[s] = b;
    tr.vol[s] = vol;
    // Energies at impact; the impact takes away the fraction CBED1 of the kinetic energy.
    const float vimp = tr.v[s];
    float ke = 0.5f * vimp * vimp * rhoc * vol;
    int k = 0;
    float dd = rhoc - density_at(env.amb.prof, tr.y[s], k);
    float pe = b * dd * kGrav * vol * 0.7275f;
    ke *= 1.0f - c.cbed1;
    float work = 0.0f;
    float cx = tr.x[s], cz = tr.z[s];
    float ax_prev = ax, bx_prev = bx, b_prev = b;
    const float ct = std::cos(env.vessel.theta), st = std::sin(env.vessel.theta);

    const auto finish = [&](int code) {
        y[kPosX] = cx;
        y[kDepth] = tr.y[s];
        y[kPosZ] = cz;
        y[kMass] = mass;
        y[kBuoyancy] = rhos * vol - mass;
        y[kSemiAxis1] = a1;
        y[kSemiAxis2] = a2;
        for (int i = 0; i < ns; ++i) y[static_cast<std::size_t>(kCollapseBase + i)] = sol[i];
        return code;
    };

    for (bool bed = true;; bed = false) {
        const float hc = depth_at(g, fr.xb + cx, fr.zb + cz);
        float vc1 = 0.0f, vc2 = 0.0f, bdot = 0.0f;
        if (!bed) {
            tr.y[s] = hc - 0.375f * b;
            tr.v[s] = 0.375f * (b_prev - b) / dt;
            tr.ddens[s] = dd * kToGcc;
            const float pe_new = b * dd * kGrav * vol * 0.7275f;
            ke = std::max(ke - (pe_new - pe) - work, 0.0f);
            pe = pe_new;
            for (int i = 0; i < ns; ++i) {
                const Fraction& f = env.frac[static_cast<std::size_t>(i)];
                const float cf = sol[i] / vol;
                tr.conc[static_cast<std::size_t>(i)][s] = cf;
                if (f.kcohes == 1) fall[i] = cohesive_fall_collapse(f.sg_gcc, cf);
                tr.fall[static_cast<std::size_t>(i)][s] = fall[i];
            }
            // Diffusive spreading by the 4/3 law against the surge on each axis.
            const float vd1 = 2.0f * c.alamda * std::pow(a1, 1.0f / 3.0f);
            const float vd2 = 2.0f * c.alamda * std::pow(a2, 1.0f / 3.0f);
            vc1 = (ax - ax_prev) / (2.0f * dt);
            vc2 = (bx - bx_prev) / (2.0f * dt);
            bdot = (b - b_prev) / dt;
            if ((vc1 == 0.0f && vc2 == 0.0f) || hypot2(vc1, vc2) <= hypot2(vd1, vd2) || dd < 0.0f ||
                b <= 0.01f * hypot2(ax, bx))
                return finish(kSpreadEnded);
            if (s >= kMaxSteps) return finish(kSpreadCapacity);
        }
        // Entrainment over the half surface.
        const float sh = kPi * (2.0f * b * b * b / a1 + ((a1 - b) / a1) * a2 * a1);
        const float alpha = c.alpha0 * b / hypot2(a1, a2);
        float ua, wa;
        ambient_velocity(g, env.amb, fr.xb + cx, tr.y[s], fr.zb + cz, ua, wa);
        const float e =
            (alpha * hypot2(ua, wa) + c.alphac * std::sqrt(bdot * bdot + vc1 * vc1 + vc2 * vc2)) *
            sh;
        mass += e * rhob * dt;
        vol += e * dt;
        rhoc = mass / vol;
        dd = rhoc - rhob;
        // Settling and stripping on the bed.
        const float taum = bed ? 9999.0f : 0.1f * rhoc * hypot2(vc1, vc2);
        const float taucell = cell_stress(g, env.amb, fr.xb + cx, fr.zb + cz);
        const float dy = s > 1 ? std::fabs(tr.y[s] - tr.y[s - 1]) : 0.0f;
        float ws = 0.0f;
        for (int i = 0; i < ns; ++i) {
            const Fraction& f = env.frac[static_cast<std::size_t>(i)];
            float q = (fall[i] / vol) * sol[i] * kPi * a1 * a2;
            if (f.taucd < taum || f.taucd < taucell) q = 0.0f;
            if (f.kstrip == 1 && f.taucd < taum) {
                q = (sol[i] / vol) * (dy / dt) * c.cbed2 * kPi * a1 * a2;
                q = std::min(q, 0.1f * sol[i] / dt);
            }
            q = std::clamp(q, 0.0f, sol[i] / dt);
            mass -= f.sg * q * dt;
            sol[i] -= q * dt;
            ws = 0.375f * b * q * kGrav * dt;
        }
        // Work against skin friction, form drag, the water column and the bed.
        const float uu = hypot2(vc1, vc2);
        const float ubar = (vc1 + vc2) / 2.0f;
        const float ff = 0.1875f * uu * dt * sh * ubar * ubar;
        const float wf = c.cfric * rhoc * ff;
        const float wd = c.cdrag * rhob * ff;
        const float wh = ke / hc;
        float lnr = std::log(b / (2.0f * env.amb.rough));
        // The log law holds only well above the roughness: a cloud thinner
        // than 2e roughness heights is given the friction velocity at that height.
        if (!(lnr >= 1.0f)) lnr = 1.0f;
        const float ustar = 0.4f * uu / lnr;
        const float wb = 0.7f * c.cfric * rhoc * vol * dt * ustar * ustar * uu / b;
        // Spreading velocity of the first semi-axis from the energy balance.
        const float r = a1 / a2;
        const float p =
            (b / a1) * (b / a1) + (2.0f * a1 * a1 + (r * r + 2.0f) * b * b) / (a2 * a2) + 1.0f;
        const float qq = -2.0f * (1.0f / (a1 * vol) + a1 / (a2 * a2 * vol)) * b * b * e;
        const float rr = e * e * (b / vol) * (b / vol) - 10.0f * ke / (rhoc * vol);
        const float disc = qq * qq - 4.0f * p * rr;
        if (disc < 0.0f) return finish(kSpreadEnded);
        const float xs = (std::sqrt(disc) - qq) / (2.0f * p);
        ax_prev = ax;
        bx_prev = bx;
        b_prev = b;
        ++s;
        ax += 2.0f * dt * xs;
        bx += 2.0f * dt * r * xs;
        work = wb + wh + wd + wf + ws;
        // Gravity on a sloping bed moves each axis end downslope.
        const float dir[2][2] = {{ct, st}, {-st, ct}};
        const float semi[2] = {a1, a2};
        float shift_x = 0.0f, shift_z = 0.0f;
        for (int axis = 0; axis < 2; ++axis)
            for (int sign = -1; sign <= 1; sign += 2) {
                const float dist = 0.375f * semi[axis];
                const float ex = cx + static_cast<float>(sign) * dist * dir[axis][0];
                const float ez = cz + static_cast<float>(sign) * dist * dir[axis][1];
                const float slope = (depth_at(g, fr.xb + ex, fr.zb + ez) - hc) / dist;
                const float rate = slope * (dd / rhoc) * kGrav * dt;
                (axis == 0 ? ax : bx) += (8.0f / 3.0f) * rate * dt;
                shift_x += static_cast<float>(sign) * rate * dt * dir[axis][0];
                shift_z += static_cast<float>(sign) * rate * dt * dir[axis][1];
            }
        ax = std::max(ax, 0.001f);
        bx = std::max(bx, 0.001f);
        b = 6.0f * vol / (kPi * ax * bx);
        a1 = ax / 2.0f;
        a2 = bx / 2.0f;
        const float nx = cx + shift_x / 4.0f + ua * dt;
        const float nz = cz + shift_z / 4.0f + wa * dt;
        tr.u[s] = (nx - cx) / dt;
        tr.w[s] = (nz - cz) / dt;
        cx = nx;
        cz = nz;
        tr.x[s] = cx;
        tr.z[s] = cz;
        tr.t[s] = tr.t[s - 1] + dt;
        tr.axa[s] = ax;
        tr.axb[s] = bx;
        tr.thick[s] = b;
        tr.vol[s] = vol;
        tr.radius[s] = a1;
    }
}

int spread_bypassed(const PhaseEnv& env, const SpreadFrame& fr, Track& tr, StateVector& y, int& s) {
    const Coefs& c = env.coef;
    const Profile& prof = env.amb.prof;
    const float rhos = env.rhos(), rhob = env.rhob();
    const float h = env.h;
    const float dt = fr.dt;
    const int ns = env.nsolid;
    const int ibed = s;
    float fall[kMaxFractions] = {};
    for (int i = 0; i < ns; ++i) fall[i] = env.frac[static_cast<std::size_t>(i)].vfall;
    int k = 0;
    for (;;) {
        const bool bed = s == ibed;
        float mass = y[kMass];
        float vol = (y[kBuoyancy] + mass) / rhos;
        float a = y[kSemiAxis1], a2 = y[kSemiAxis2];
        float b = 3.0f * vol / (2.0f * kPi * a * a2);
        float rhoc = mass / vol;
        const float ax = 2.0f * a, bx = 2.0f * a2;
        tr.axa[s] = ax;
        tr.axb[s] = bx;
        tr.thick[s] = b;
        tr.vol[s] = vol;
        tr.radius[s] = a;
        float rhoa = density_at(prof, y[kDepth], k);
        if (!bed) {
            tr.x[s] = y[kPosX];
            tr.z[s] = y[kPosZ];
            tr.y[s] = h - 0.375f * b;
            tr.u[s] = y[kMomX] / (c.cm * mass);
            tr.w[s] = y[kMomZ] / (c.cm * mass);
            tr.v[s] = 0.375f * (tr.thick[s - 1] - b) / dt;
            tr.ddens[s] = (rhoc - rhoa) * kToGcc;
        }
        const float vs = tr.v[s];
        // Settling term of the bed-normal force; cohesive fall velocities.
        float nset = 0.0f;
        for (int i = 0; i < ns; ++i) {
            const Fraction& f = env.frac[static_cast<std::size_t>(i)];
            const float bi = std::fabs(vs) <= std::fabs(fall[i]) ? 1.0f : c.beta;
            const float cf = y[static_cast<std::size_t>(kCollapseBase + i)] / vol;
            tr.conc[static_cast<std::size_t>(i)][s] = cf;
            if (f.kcohes == 1) fall[i] = cohesive_fall_collapse(f.sg_gcc, cf);
            tr.fall[static_cast<std::size_t>(i)][s] = fall[i];
            nset -= std::fabs(fall[i]) * (1.0f - bi) * f.sg * cf * vs * kPi * a * a2;
        }
        float normal;
        if (bed) {
            const float cap = b / 4.0f;
            const float vcap = s == 1 ? 0.0f : kPi * cap * cap * (3.0f * a - cap) / 3.0f;
            normal = ((rhoc - rhob) * kGrav + (vs / dt) * c.cm * rhoc) * vcap + nset;
        } else {
            normal = c.cm * (vs * mass - tr.v[s - 1] * y[kPrevMass]) / dt +
                     (2.0f / 3.0f) * kPi * (rhoc - rhoa) * kGrav * a * a2 * b + nset;
        }
        normal = std::max(normal, 0.0f);
        float vc1 = 0.0f, vc2 = 0.0f;
        bool ended = false;
        if (!bed) {
            const float vd1 = 2.0f * c.alamda * std::pow(a, 1.0f / 3.0f);
            const float vd2 = 2.0f * c.alamda * std::pow(a2, 1.0f / 3.0f);
            vc1 = (ax - tr.axa[s - 1]) / (2.0f * dt);
            vc2 = (bx - tr.axb[s - 1]) / (2.0f * dt);
            ended = (vc1 == 0.0f && vc2 == 0.0f) || hypot2(vc1, vc2) <= hypot2(vd1, vd2) ||
                    tr.ddens[s] < 0.0f || b <= 0.01f * hypot2(ax, bx);
        }
        y[kPrevMass] = mass;
        if (ended) return kSpreadEnded;
        if (s >= kMaxSteps) return kSpreadCapacity;
        if (y[kDepth] > h) y[kDepth] = h;
        if (y[kDepth] < 0.0f) throw Stop({"Y LT 0 -- INPUT DATA BAD -- "});
        rhoa = density_at(prof, y[kDepth], k);

        // Rates of the half ellipsoid on the bed.
        mass = y[kMass];
        vol = (y[kBuoyancy] + mass) / rhos;
        b = 3.0f * vol / (2.0f * kPi * a * a2);
        rhoc = mass / vol;
        const float alpha = c.alpha0 * b * b / (a * a + a2 * a2);
        float ua, wa;
        ambient_velocity(env.grid, env.amb, fr.xb + y[kPosX], y[kDepth], fr.zb + y[kPosZ], ua, wa);
        const float spread = rhoc * b * a * a2;
        const float adot = 2.25f * y[kSpreadMom1] / spread;
        const float adot2 = 2.25f * y[kSpreadMom2] / spread;
        const float u = y[kMomX] / (c.cm * mass), w = y[kMomZ] / (c.cm * mass);
        const float ur = hypot2(u - ua, w - wa);
        const float uu = hypot2(u, w);
        // Bed friction, limited to what stops the cloud within the step.
        float share = 1.0f;
        if (normal != 0.0f) {
            const float tstop = uu * mass / (normal * c.frictn);
            if (tstop < dt) share = tstop / dt;
        }
        const float dirf = uu > 0.001f ? 1.0f / uu : 0.0f;
        const float fric = normal * share * dirf;
        const float surf = std::fabs(a - a2) >= 0.0001f ? half_ellipsoid_surface(b, a, a2)
                                                        : half_spheroid_surface(a, a2, b);
        const float e = (alpha * ur + c.alphac * hypot2(adot, adot2)) * surf;
        const float d = 0.5f * kPi * rhob * ur;
        float dy[kCollapseBase + kMaxFractions] = {};
        dy[kPosX] = u;
        dy[kPosZ] = w;
        dy[kMass] = rhob * e;
        dy[kBuoyancy] = (rhos - rhob) * e;
        dy[kMomX] = rhob * ua * e - 0.5f * c.cd3 * d * (u - ua) * b * a2 - c.frictn * u * fric;
        dy[kMomZ] = rhob * wa * e - 0.5f * c.cd3 * d * (w - wa) * b * a - c.frictn * w * fric;
        const float half_enc = 0.5f * kBottomEncounter;
        dy[kSpreadMom1] = (kPi / 8.0f) * kGrav * (rhoc - rhob) * b * b * a2 *
                              ((a * a / 2.0f + b * b / 2.0f) / (a2 * a2) + 3.0f) -
                          (kPi / 4.0f) * c.cdrag * rhob * adot * std::fabs(adot) * b * a2 -
                          0.5f * c.cfric * rhob * adot * std::fabs(adot) * surf -
                          half_enc * c.frictn * normal -
                          c.frictn * rhoc * kPi * a * a2 * vc1 * std::fabs(vc1);
        dy[kSpreadMom2] = (kPi / 8.0f) * kGrav * (rhoc - rhob) * b * b * a *
                              ((a2 * a2 / 2.0f + b * b / 2.0f) / (a * a) + 3.0f) -
                          (kPi / 4.0f) * c.cdrag * rhob * adot2 * std::fabs(adot2) * b * a -
                          0.5f * c.cfric * rhob * adot2 * std::fabs(adot2) * surf -
                          half_enc * c.frictn * normal -
                          c.frictn * rhoc * kPi * a2 * a * vc2 * std::fabs(vc2);
        // Deposition stress of the surge (a roughness of a foot or more has
        // no log law left: taken as one e-fold).
        const float lnr0 = std::log(1.0f / env.amb.rough);
        const float lnr = lnr0 > 0.0f ? lnr0 : 1.0f;
        const float tstar =
            rhoc * (0.4f * hypot2(vc1, vc2) / lnr) * (0.4f * hypot2(vc1, vc2) / lnr);
        for (int i = 0; i < ns; ++i) {
            const Fraction& f = env.frac[static_cast<std::size_t>(i)];
            const float si = y[static_cast<std::size_t>(kCollapseBase + i)];
            const float bi = fall[i] == 0.0f ? 1.0f : c.beta;
            float q = (1.0f - bi) * (si / vol) * std::fabs(fall[i]) * kPi * a * a2;
            if (f.taucd < tstar || bed) q = 0.0f;
            if (f.kstrip == 1 && !bed)
                q += (si / vol) * ((tr.y[s] - tr.y[s - 1]) / dt) * kPi * a * a2 * 0.0454f;
            q = std::clamp(q, 0.0f, si / dt);
            dy[kMass] -= f.sg * q;
            dy[kMomX] -= f.sg * q * u;
            dy[kMomZ] -= f.sg * q * w;
            dy[kBuoyancy] -= (rhos - f.sg) * q;
            dy[kCollapseBase + i] = -q;
        }
        dy[kSemiAxis1] = adot + 1.5f * dy[kMass] / (rhoc * kPi * b * a2);
        dy[kSemiAxis2] = adot2 + 1.5f * dy[kMass] / (rhoc * kPi * b * a);
        for (int i = 0; i < kCollapseBase + ns; ++i) y[static_cast<std::size_t>(i)] += dt * dy[i];
        ++s;
        tr.t[s] = tr.t[s - 1] + dt;
    }
}

}  // namespace cloudex
