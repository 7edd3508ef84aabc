// FDIFEQ: explicit time marching of the column's void ratios.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "dredge/consolidation.hpp"

namespace dredge {

FdifeqWarnings FDIFEQ(Column& c, float target) {
    const float cf = c.tau / (c.dz * c.gw);
    const float dz = c.dz, tdz = 2.0f * c.dz;
    const std::size_t top = static_cast<std::size_t>(c.nodes - 1);
    std::vector<float> next(c.e);
    std::vector<float>& e = c.e;
    const std::vector<float>& a = c.alpha;
    const std::vector<float>& b = c.beta;
    do {
        c.e_old = e;
        // Base: a ghost node below it carries the base's excess-pressure
        // gradient (buoyant weight plus the drainage into the foundation).
        const float dsig = table_at(c.table, c.table.dsig, e[0]);
        const float ghost = e[1] + tdz * (c.gbuoy + c.drain) / dsig;
        const float base =
            e[0] - cf * (a[0] * (e[1] - 2.0f * e[0] + ghost) / dz +
                         (c.gbuoy * b[0] + (a[1] - a[0]) / dz) * (e[1] - ghost) / 2.0f);
        next[0] = std::max(base, c.e_fin[0]);
        for (std::size_t k = 1; k < top; ++k) {
            if (!(e[k] > c.e_fin[k])) {
                next[k] = e[k];
                continue;
            }
            const float x = e[k] - cf * (a[k] * (e[k + 1] - 2.0f * e[k] + e[k - 1]) / dz +
                                         (c.gbuoy * b[k] + (a[k + 1] - a[k - 1]) / tdz) *
                                             (e[k + 1] - e[k - 1]) / 2.0f);
            next[k] = std::min(std::max(x, c.e_fin[k]), e[k]);  // never rises, never below final
        }
        next[top] = e[top];
        e = next;
        bottom_drainage(c);
        VRFUNC(c);
        c.time = static_cast<float>(c.step) * c.tau;
        if (c.step == std::numeric_limits<std::int32_t>::max()) break;  // counter exhausted
        ++c.step;
    } while (c.time < target);

    for (std::size_t k = 1; k < top; ++k) e[k] = std::min(e[k], c.e_max[k]);
    VRFUNC(c);
    FdifeqWarnings w;
    float alpha_max = 0.0f;
    for (std::size_t k = 1; k < top; ++k) alpha_max = std::max(alpha_max, std::fabs(c.alpha[k]));
    if (alpha_max > 0.0f && std::fabs(dz * dz * c.gw / (2.0f * alpha_max)) < c.tau)
        w.stability = true;
    if (c.xi0[top] / (static_cast<float>(c.nodes) * c.table.k[0]) < c.tau) w.tau = true;
    return w;
}

}  // namespace dredge
