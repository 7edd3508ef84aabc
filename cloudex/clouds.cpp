#include "cloudex/clouds.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cloudex/ambient.hpp"
#include "cloudex/phase.hpp"

namespace cloudex {

namespace {

constexpr double kExpLimit = -88.0;  // lower limit of the Gaussian exponent
// Below this relative exponent a point's share lies far under single
// precision and is not added.
constexpr double kNegligible = -100.0;

int cloud_row(const Grid& g, float x) {
    return trunc_index(x / g.dx + 1.0e-5f);
}
int cloud_col(const Grid& g, float z) {
    return trunc_index(z / g.dz + 1.0e-5f);
}

bool is_land(const Grid& g, int n, int m) {
    return n >= 1 && n <= g.nmax && m >= 1 && m <= g.mmax && g.code(n, m) == kLand;
}

}  // namespace

void spread_deposit(const Grid& g, Field& bottom, float mass, float x, float z, float sx,
                    float sz) {
    if (!(mass > 0.0f) || g.runs.empty()) return;
    const double sxd = std::max(static_cast<double>(sx), 1.0e-6);
    const double szd = std::max(static_cast<double>(sz), 1.0e-6);
    const double dx = static_cast<double>(g.dx), dz = static_cast<double>(g.dz);
    const double xd = static_cast<double>(x), zd = static_cast<double>(z);
    double ex[kLead + 1] = {}, ez[kLead + 1] = {};
    for (int m = 2; m <= g.mmax - 1; ++m) {
        const double d = (static_cast<double>(m - 1) * dx - xd) / sxd;
        ex[m] = -0.5 * d * d;
    }
    for (int n = 2; n <= g.nmax - 1; ++n) {
        const double d = (static_cast<double>(n - 1) * dz - zd) / szd;
        ez[n] = -0.5 * d * d;
    }
    // Largest exponent over the receiving points: along a run the row
    // exponent peaks at the row nearest the centre.
    const int mc = static_cast<int>(std::lround(xd / dx)) + 1;
    double emax = -std::numeric_limits<double>::infinity();
    long count = 0;
    for (const WaterRun& r : g.runs) {
        const int mbest = std::clamp(mc, static_cast<int>(r.m1), static_cast<int>(r.m2));
        double best = ex[mbest];
        if (mbest > r.m1) best = std::max(best, ex[mbest - 1]);
        if (mbest < r.m2) best = std::max(best, ex[mbest + 1]);
        emax = std::max(emax, best + ez[r.n]);
        count += r.m2 - r.m1 + 1;
    }
    if (emax < kExpLimit) {
        // Every weight is at the limit: an even spread.
        const float share =
            static_cast<float>(static_cast<double>(mass) / static_cast<double>(count));
        for (const WaterRun& r : g.runs)
            for (int m = r.m1; m <= r.m2; ++m) bottom(r.n, m) += share;
        return;
    }
    if (emax < kExpLimit + 28.0) {
        // Some weights sit at the limit with a weight of comparable size:
        // the limited weights point by point.
        double sum = 0.0;
        for (const WaterRun& r : g.runs)
            for (int m = r.m1; m <= r.m2; ++m)
                sum += std::exp(std::max(ex[m] + ez[r.n], kExpLimit));
        const double f = static_cast<double>(mass) / sum;
        for (const WaterRun& r : g.runs)
            for (int m = r.m1; m <= r.m2; ++m)
                bottom(r.n, m) +=
                    static_cast<float>(f * std::exp(std::max(ex[m] + ez[r.n], kExpLimit)));
        return;
    }
    // The limit is negligible beside the largest weight: row times column.
    double rf[kLead + 1] = {}, cf[kLead + 1] = {}, prefix[kLead + 2] = {};
    for (int m = 2; m <= g.mmax - 1; ++m) rf[m] = std::exp(ex[m]);
    for (int n = 2; n <= g.nmax - 1; ++n) cf[n] = std::exp(ez[n]);
    for (int m = 1; m <= g.mmax; ++m) prefix[m] = prefix[m - 1] + rf[m];
    double sum = 0.0;
    for (const WaterRun& r : g.runs) sum += cf[r.n] * (prefix[r.m2] - prefix[r.m1 - 1]);
    const double f = static_cast<double>(mass) / sum;
    // Only rows and columns whose factor is not negligible receive a share.
    double exmax = -std::numeric_limits<double>::infinity();
    for (int m = 2; m <= g.mmax - 1; ++m) exmax = std::max(exmax, ex[m]);
    for (const WaterRun& r : g.runs) {
        const double cn = f * cf[r.n];
        if (ez[r.n] + exmax - emax < kNegligible) continue;
        for (int m = r.m1; m <= r.m2; ++m) {
            if (ex[m] + ez[r.n] - emax < kNegligible) continue;
            bottom(r.n, m) += static_cast<float>(cn * rf[m]);
        }
    }
}

void follow_rising_bed(SmallCloud& c, float h_old, float h_new) {
    if (h_new < h_old) c.top = std::max(c.top - (h_old - h_new), 0.0f);
}

void grow_horizontal(float alamda, SmallCloud& c, float dt) {
    if (c.sx > 0.0f) {
        const float kx = std::min(alamda * std::pow(4.0f * c.sx, 4.0f / 3.0f), 100.0f);
        c.sx += (kx / c.sx) * dt;
    }
    if (c.sz > 0.0f) {
        const float kz = std::min(alamda * std::pow(4.0f * c.sz, 4.0f / 3.0f), 100.0f);
        c.sz += (kz / c.sz) * dt;
    }
}

void apply_land_rule(const Grid& g, SmallCloud& c, float xo, float zo, float u, float w) {
    const int m = cloud_row(g, c.x), n = cloud_col(g, c.z);
    if (n < 1 || n > g.nmax || m < 1 || m > g.mmax) return;
    const std::int16_t code = g.code(n, m);
    const auto corner = [&] {
        if (std::fabs(w) <= std::fabs(u)) c.z = zo;
        if (std::fabs(w) >= std::fabs(u)) c.x = xo;
    };
    if (code == kLand) {
        if (is_land(g, n, m - 1) && is_land(g, n, m + 1)) {
            c.z = zo;
        } else if (is_land(g, n - 1, m) && is_land(g, n + 1, m)) {
            c.x = xo;
        } else if ((is_land(g, n, m - 1) && is_land(g, n - 1, m)) ||
                   (is_land(g, n + 1, m) && is_land(g, n, m - 1)) ||
                   (is_land(g, n + 1, m) && is_land(g, n, m + 1)) ||
                   (is_land(g, n - 1, m) && is_land(g, n, m + 1))) {
            corner();
        } else {
            c.x = xo;
            c.z = zo;
        }
    } else if (code == kInteriorLand) {
        corner();
    }
}

float deposit_substep(const CloudEnv& env, const Fraction& f, SmallCloud& c, float delta) {
    const Grid& g = env.grid;
    if (!(c.mass > 0.0f) || !(c.thick > 0.0f)) return 0.0f;
    const int mn = std::clamp(static_cast<int>(c.x / g.dx + 0.50001f), 1, static_cast<int>(g.mmax));
    const int nn = std::clamp(static_cast<int>(c.z / g.dz + 0.50001f), 1, static_cast<int>(g.nmax));
    if (!(env.amb.tau(nn, mn) < f.taucd)) return 0.0f;
    const float d = c.fall * delta;
    if (c.fall >= 0.5f) {
        const float sig = 0.25f * std::sqrt(env.vessel.bargl * env.vessel.bargl +
                                            env.vessel.bargw * env.vessel.bargw);
        c.sx = c.sz = sig;
    }
    const float h = depth_at(g, c.x, c.z);
    const float gap = h - c.thick - c.top;  // from the cloud's base to the bottom
    float reached = 0.0f;
    if (gap < d) {
        // The part of the cloud that the fall carries past the bottom settles.
        const float fthick = std::min(d - gap, c.thick);
        reached = fthick >= c.thick ? c.mass : c.mass * fthick / c.thick;
        c.mass -= reached;
        c.thick -= fthick;
        if (!(c.thick > 0.0f) || !(c.mass > 0.0f)) {
            c.mass = 0.0f;
            c.thick = 0.0f;
            return reached;
        }
    }
    // The rest falls on, down to the bottom at most.
    c.top = std::min(c.top + d, h - c.thick);
    // Vertical spreading at the top and the base of the cloud.
    const int m = cloud_row(g, c.x), n = cloud_col(g, c.z);
    const float mid = c.top + c.thick / 2.0f;
    float rise = 0.0f, sink = 0.0f, kv = 0.0f;
    if (c.top > 0.0f &&
        vertical_diffusion(g, env.amb, env.coef.aky0, n, m, c.top, mid, c, f.sg, kv))
        rise = std::min(std::sqrt(2.0f * kv * delta), c.top);
    const float base = c.top + c.thick;
    if (base < h && vertical_diffusion(g, env.amb, env.coef.aky0, n, m, base, mid, c, f.sg, kv))
        sink = std::min(std::sqrt(2.0f * kv * delta), h - base);
    c.top -= rise;
    c.thick += rise + sink;
    if (c.top + c.thick > h) c.top = std::max(h - c.thick, 0.0f);
    c.vol = c.diam * c.diam * c.thick;
    return reached;
}

void erase_empty(std::vector<SmallCloud>& list) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const SmallCloud& c) { return !(c.mass > 0.0f); }),
               list.end());
}

void create_clouds(const CloudEnv& env, const Track& tr, const Outcome& o, const Fraction& f,
                   std::size_t fi, float xb, float zb, std::vector<SmallCloud>& list,
                   Listing& out) {
    const Grid& g = env.grid;
    const int istep = o.istep;
    const int ibed = o.ibed;
    const int k = istep / 10;
    if (k < 1) throw Stop({"ERROR!!! THE INCREMENT FOR CREATING CLOUDS IS ZERO ...BAD RUN"});
    // Solids of the fraction in the cloud at step s: its concentration times
    // the cloud volume (the hemisphere of the descent, the ellipsoid after).
    const auto mass = [&](int s) { return tr.conc[fi][s] * tr.vol[s]; };
    const auto hemi = [&](int s) { return tr.t[s] <= o.t_desc_end; };
    const int drow = std::clamp(static_cast<int>(g.dump_row), 1, static_cast<int>(g.mmax));
    const int dcol = std::clamp(static_cast<int>(g.dump_col), 1, static_cast<int>(g.nmax));
    const bool too_rough = ibed > 0 && f.kstrip == 0 && env.amb.tau(dcol, drow) >= f.taucd;
    const bool stripped = f.kstrip != 0;
    bool first_strip = true;
    float strip_top = 0.0f, strip_thick = 0.0f;
    int j = 1;
    while (j < istep) {
        int s = j;
        for (;;) {
            s = std::min(s + k, istep);
            if (too_rough && s > ibed && s < istep) {
                s = istep;
                out.write(
                    "(1X,'SHEAR STRESS NEAR THE BED EXCEEDS THE CRITICAL SHEAR STRESS FOR "
                    "DEPOSITION OF ',A8)",
                    f.name);
            }
            if (mass(j) - mass(s) >= 1.0e-5f * mass(j) || s == istep) break;
        }
        SmallCloud c;
        c.mass = s == istep ? mass(j) : mass(j) - mass(s);
        if (list.size() >= static_cast<std::size_t>(kMaxClouds))
            throw Stop({"WARNING!!! - TOO MANY SMALL CLOUDS FORMED... EXECUTION STOPPED.",
                        "RESTART WITH FEWER LAYERS AND/OR WITH ONLY ONE FINE-GRAINED SOLIDS "
                        "FRACTION."});
        c.x = tr.x[s] + xb;
        c.z = tr.z[s] + zb;
        const float h = depth_at(g, c.x, c.z);
        const float fall = std::fabs(tr.fall[fi][s]);
        const float elapsed = tr.t[s] - tr.t[j];
        float thick, top;
        const auto strip_top_rule = [&] {
            return first_strip ? tr.y[j] - 0.375f * tr.radius[j] : strip_top + strip_thick;
        };
        if (s == istep) {
            thick = tr.thick[istep];
            top = tr.y[istep] - 0.5f * tr.thick[istep];
        } else if (stripped && hemi(s)) {
            thick = tr.y[s] - tr.y[j];
            top = strip_top_rule();
        } else if (stripped && ibed > 0) {
            thick = tr.thick[j] - tr.thick[s];
            top = strip_top_rule();
        } else if (hemi(s)) {
            thick = elapsed * fall;
            top = tr.y[j] + 0.625f * tr.radius[j];
            thick = std::min(thick, h - top);
        } else if (ibed == 0) {
            thick = elapsed * fall;
            top = tr.y[j] + 0.5f * tr.thick[j];
        } else {
            thick = 0.001f;
            top = h - 0.001f;
        }
        if (stripped && s != istep) {
            strip_top = top;
            strip_thick = thick;
            first_strip = false;
        }
        // A cloud needs some thickness to deposit from, and lies in the water.
        thick = std::clamp(thick, 0.001f, std::max(h, 0.001f));
        if (top + thick > h) top = h - thick;
        c.thick = thick;
        c.top = top;
        c.diam = 0.886226f * std::sqrt(tr.axa[j] * tr.axb[j]);
        c.vol = c.diam * c.diam * c.thick;
        c.sx = tr.axa[j] / 4.0f;
        c.sz = tr.axb[j] / 4.0f;
        c.sv = c.thick / 4.0f;
        c.fall = cloud_fall_velocity(f, c.mass, c.vol);
        c.time = tr.t[s];
        list.push_back(c);
        j = s;
    }
    out.blank(3);
    out.line("NOTE -- When all solid material has settled from a cloud, the cloud is erased and");
    out.line("               the remaining clouds for this solids type are renumbered.");
}

void bring_forward(const CloudEnv& env, const std::vector<Fraction>& frac,
                   std::array<std::vector<SmallCloud>, kMaxFractions>& clouds,
                   std::array<Field, kMaxFractions>& bottom, float t_end) {
    const Grid& g = env.grid;
    for (std::size_t i = 0; i < frac.size(); ++i) {
        if (!frac[i].present) continue;
        std::vector<SmallCloud>& list = clouds[i];
        erase_empty(list);
        for (SmallCloud& c : list) {
            const float dt = t_end - c.time;
            if (dt <= 0.0f) continue;
            float u, w;
            ambient_velocity(g, env.amb, c.x, c.top + c.thick / 2.0f, c.z, u, w);
            const float h_old = depth_at(g, c.x, c.z);
            c.x += u * dt;
            c.z += w * dt;
            const int n = cloud_col(g, c.z), m = cloud_row(g, c.x);
            if (n < 2 || n > g.nmax - 1 || m < 2 || m > g.mmax - 1)
                throw Stop(
                    {"---WARNING---A SMALL CLOUD HAS PASSED OUT OF GRID BOUNDARY IN "
                     "SUBROUTINE UPDATE---ERRORS WILL OCCUR---",
                     "YOU SHOULD RE-RUN WITH LARGER GRID."});
            follow_rising_bed(c, h_old, depth_at(g, c.x, c.z));
            grow_horizontal(env.coef.alamda, c, dt);
            const float reached = deposit_substep(env, frac[i], c, dt);
            spread_deposit(g, bottom[i], reached, c.x, c.z, c.sx, c.sz);
        }
        for (SmallCloud& c : list) c.time = t_end;
    }
}

}  // namespace cloudex
