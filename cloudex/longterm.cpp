#include "cloudex/longterm.hpp"

#include <algorithm>
#include <cmath>

#include "cloudex/ambient.hpp"
#include "cloudex/clouds.hpp"
#include "cloudex/phase.hpp"
#include "cloudex/run.hpp"
#include "recio/format.hpp"

namespace cloudex {

std::vector<float> default_print_times(float tstop, float dtl, float te) {
    int s = trunc_index((tstop / 4.0f) / dtl + 0.0001f);
    if (dtl > tstop / 4.0f) s = 1;
    const int k = trunc_index(te / dtl + 0.0001f);
    std::vector<float> t;
    for (int j = 1; j <= 4; ++j)
        t.push_back(static_cast<float>(static_cast<std::int64_t>(j) * s + k) * dtl);
    if (t[3] > tstop) t[3] = tstop;
    return t;
}

void complete_print_times(std::vector<float>& t, float tstop) {
    if (t.empty() || t.back() < tstop) t.push_back(tstop);
    for (float& x : t) x = std::min(x, tstop);
    std::vector<float> kept;
    for (float x : t)
        if (kept.empty() || x != kept.back()) kept.push_back(x);
    t = kept;
}

namespace {

int row_of(const Grid& g, float x) {
    return trunc_index(x / g.dx + 1.0e-5f);
}
int col_of(const Grid& g, float z) {
    return trunc_index(z / g.dz + 1.0e-5f);
}

bool inside_band(const Grid& g, const SmallCloud& c) {
    const int m = row_of(g, c.x), n = col_of(g, c.z);
    return m >= 3 && m <= g.mmax - 2 && n >= 3 && n <= g.nmax - 2;
}

void print_clouds(Listing& out, const Fraction& f, const std::vector<SmallCloud>& list, float t) {
    out.page();
    out.write("(1X,' SMALL CLOUDS AT ',F10.2,' SECONDS ELAPSED TIME',' FOR ',A8)", t, f.name);
    out.blank();
    out.line(
        "       LOCATION OF CLOUD CENTROID   MASS FROM   ENTRAINED "
        "  CLOUD X-Z   DEPTH OF   CLOUD VERT.   SOLIDS FALL");
    out.line(
        "CLOUD         DISTANCE FROM          DISPOSAL     MASS    "
        "  DIAMETER  TOP OF CLOUD  THICKNESS     VELOCITY  ");
    out.line(
        "  #    TOP OF GRID   LEFT OF GRID    (CU FT)     (CU FT)  "
        "    (FT)        (FT)        (FT)          (FPS)   ");
    out.blank();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const SmallCloud& c = list[i];
        out.write("(1X,I3,3X,2G14.4,4G12.4,G14.6)", static_cast<std::int32_t>(i + 1), c.x, c.z,
                  c.mass, c.diam, c.top, c.thick, c.fall);
    }
}

}  // namespace

StepTotals long_term_step(Run& r, std::size_t fi, float t, float te, bool& first, bool& print) {
    const Grid& g = r.grid;
    Listing& out = r.listing;
    if (g.nmax > kLead || g.mmax > kLead) throw Stop({"ALLOWED GRID DIMENSIONS EXCEEDED.  EXIT."});
    const Fraction& f = r.frac[fi];
    std::vector<SmallCloud>& list = r.clouds[fi];
    Field& bottom = r.bottom[fi];
    const CloudEnv env{g, r.amb, r.coef, r.vessel};
    bool boundary = false;
    if (!list.empty()) {
        erase_empty(list);
        for (const SmallCloud& c : list)
            if (!inside_band(g, c)) boundary = true;
        if (!boundary) {
            const float len = first ? t - te : r.times.dtl;
            for (SmallCloud& c : list) {
                float u, w;
                ambient_velocity(g, r.amb, c.x, c.top + c.thick / 2.0f, c.z, u, w);
                const float h_old = depth_at(g, c.x, c.z);
                const float xo = c.x, zo = c.z;
                c.x += u * len;
                c.z += w * len;
                apply_land_rule(g, c, xo, zo, u, w);
                if (!inside_band(g, c)) boundary = true;
                follow_rising_bed(c, h_old, depth_at(g, c.x, c.z));
                if (f.kcohes == 1) c.fall = cloud_fall_velocity(f, c.mass, c.vol);
                grow_horizontal(r.coef.alamda, c, len);
                c.diam = 0.886226f * std::sqrt(16.0f * c.sx * c.sz);
                c.vol = c.diam * c.diam * c.thick;
                // Ten deposition sub-steps; the cloud does not move between
                // them, so what reaches the bottom is spread once.
                float reached = 0.0f;
                for (int sub = 0; sub < 10; ++sub)
                    reached += deposit_substep(env, f, c, len / 10.0f);
                spread_deposit(g, bottom, reached, c.x, c.z, c.sx, c.sz);
            }
        }
    }
    first = false;
    StepTotals tot;
    tot.settled = grid_total(g, bottom);
    for (const SmallCloud& c : list) tot.suspended += static_cast<double>(c.mass);
    if (boundary) {
        out.blank();
        out.line("CLOUD FIXIN TO PASS THROUGH BOUNDARY IN ACAD...RERUN WITH LARGER GRID.");
        if (tot.suspended <= 50.0 * tot.settled || f.kcohes == 1) {
            print = false;
            tot.suspended = 1.0e-7;
            r.times.tstop = t;
        } else {
            throw Stop({});
        }
    }
    out.blank();
    out.write("(1X,'SUMMARY OF ',A8,' DISTRIBUTIONS AFTER ',F10.2,' SEC. ')", f.name, t);
    out.write("(5X,'TOTAL SUSPENDED MATERIAL (CU FT) = ',G14.5)",
              static_cast<float>(tot.suspended));
    out.write("(5X,'TOTAL MATERIAL SETTLED TO BOTTOM (CU FT) = ',G14.5)",
              static_cast<float>(tot.settled));
    if (print) {
        if (tot.settled >= 1.0e-6)
            print_map(out, g, bottom,
                      recio::format_records("(' BOTTOM ACCUMULATION OF ',A8,"
                                            "' (CU FT/GRID SQUARE) ,',F10.2,' SECONDS AFTER DUMP')",
                                            f.name, t)
                          .front());
        if (!list.empty()) print_clouds(out, f, list, t);
    }
    return tot;
}

float long_term_fraction(Run& r, std::size_t fi, float te, bool first_fraction) {
    Listing& out = r.listing;
    const Fraction& f = r.frac[fi];
    out.page();
    if (first_fraction) {
        out.line("LONG TERM DIFFUSION RESULTS:");
        out.blank(3);
    }
    out.write("(1X,'BEGIN LONG TERM SIMULATION OF FATE OF ',A8)", f.name);
    const std::vector<float>& tp = r.times.tprint;
    const std::size_t np = tp.size();
    const float dtl = r.times.dtl;
    const int nsteps = trunc_index(r.times.tstop / dtl + 0.0001f);
    float t = 0.0f;
    std::size_t p = 0;
    bool first = true;
    for (int step = 1; step <= nsteps; ++step) {
        t += dtl;
        if (t >= te) {
            if (p < np && tp[p] < t && p + 1 < np) ++p;
            bool print = false;
            if (p < np && std::fabs(t - tp[p]) <= 0.001f) {
                print = true;
                ++p;
            }
            const StepTotals tot = long_term_step(r, fi, t, te, first, print);
            if (tot.suspended < 1.0e-6) {
                out.blank(3);
                out.write(
                    "(1X,' COMPUTATIONS FOR ',A8,' TERMINATED AT ',F10.2,"
                    "'  SEC. ELAPSED TIME...MATERIAL SETTLED TO BOTTOM')",
                    f.name, t);
                break;
            }
        } else if (p < np && tp[p] <= t) {
            ++p;
        }
    }
    return t;
}

}  // namespace cloudex
