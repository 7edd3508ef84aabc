// SETUP1: the initial consolidation column.
#include <algorithm>
#include <cmath>

#include "dredge/consolidation.hpp"
#include "dredge/errors.hpp"

namespace dredge {

void bottom_drainage(Column& c) {
    if (!(c.f_perm > 0.0f) || !(c.f_solids > 0.0f)) {
        c.drain = 0.0f;
        c.drain_gradient = 0.0f;
        return;
    }
    const float e1 = c.e[0];
    const float s1 = table_at(c.table, c.table.sigma, e1);
    const float k1 = table_at(c.table, c.table.k, e1);
    const float excess = std::max(c.gbuoy * c.zs - s1, 0.0f);
    c.drain_gradient = excess / c.f_solids;
    c.drain = c.f_perm / (k1 / (1.0f + e1)) * c.drain_gradient;
}

void check_time_step(const Column& c, const std::string& source) {
    if (c.tau >= kMinTau && std::isfinite(c.tau)) return;
    throw RunError(source + ": THE CONSOLIDATION TIME STEP TAU = " + number_text(c.tau) +
                   " DAY IS BELOW " + number_text(kMinTau) +
                   " DAY; THE PERMEABILITIES, STRESSES OR UNIT WEIGHT OF WATER ARE OUT OF SCALE");
}

void SETUP1(Column& c) {
    c.gsolid = c.gs * c.gw;
    c.gbuoy = c.gsolid - c.gw;
    c.f_solids = c.f_thickness / (1.0f + c.ef);
    c.f_perm = c.f_perm / (1.0f + c.ef);
    c.zs = c.h / (1.0f + c.e00);
    c.dz = c.zs / static_cast<float>(c.nel);
    c.h_element = c.h / static_cast<float>(c.nel);

    // Derived table columns.
    ConsolidationTable& t = c.table;
    const int rows = t.rows();
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r)
        t.kk[r] = t.k[r] / (1.0f + t.e[r]);
    for (int r = 0; r < rows; ++r) {
        const std::size_t lo = static_cast<std::size_t>(r == 0 ? 0 : r - 1);
        const std::size_t hi = static_cast<std::size_t>(r == rows - 1 ? rows - 1 : r + 1);
        const float de = t.e[hi] - t.e[lo];
        t.dkk[static_cast<std::size_t>(r)] = (t.kk[hi] - t.kk[lo]) / de;
        t.dsig[static_cast<std::size_t>(r)] = (t.sigma[hi] - t.sigma[lo]) / de;
    }
    float alpha_max = 0.0f;
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) {
        t.alpha[r] = t.kk[r] * t.dsig[r];
        alpha_max = std::max(alpha_max, std::fabs(t.alpha[r]));
    }

    // Time step: a quarter of the time the first row's permeability needs
    // to pass water through one element, at most 0.125 day, and within the
    // explicit scheme's stability limit.
    c.tau = std::min(0.25f * c.dz / t.k[0], 0.125f);
    const float limit = std::fabs(c.dz * c.dz * c.gw / (2.0f * alpha_max));
    if (limit <= c.tau) c.tau = 0.25f * limit;

    // Nodes from the base up, all at e00.
    c.nodes = c.nel + 1;
    c.resize_nodes(c.nodes);
    const std::size_t top = static_cast<std::size_t>(c.nodes - 1);
    for (std::size_t k = 0; k <= top; ++k) {
        if (k > 0) {
            c.z[k] = c.z[k - 1] + c.dz;
            c.xi0[k] = c.xi0[k - 1] + c.h_element;
        }
        c.xi[k] = c.xi0[k];
        c.e[k] = c.e_old[k] = c.e_max[k] = c.e00;
    }

    // Final state: each node under the buoyant weight of the solids above it.
    for (std::size_t k = 0; k <= top; ++k) {
        const float s = std::max((c.zs - c.z[k]) * c.gbuoy, 0.0f);
        c.e_fin[k] = std::min(void_ratio_at_stress(t, s), c.e_max[k]);
    }
    c.e_fin[top] = c.e00;

    for (std::size_t k = 0; k <= top; ++k) {
        c.u0[k] = (c.xi[top] - c.xi[k]) * c.gw;
        c.sig_fin[k] = (c.zs - c.z[k]) * c.gbuoy;
        c.sigma[k] = c.u0[k] + c.sig_fin[k];
        c.sig_eff[k] = 0.0f;
        c.u_excess[k] = c.sigma[k] - c.u0[k] - c.sig_eff[k];
    }
    INTGRL(c.e.data(), c.dz, c.nodes, c.e_int.data());

    std::vector<float> fin_int(static_cast<std::size_t>(c.nodes));
    INTGRL(c.e_fin.data(), c.dz, c.nodes, fin_int.data());
    c.ultimate = c.e00 * c.zs - fin_int[top];
    VRFUNC(c);
    bottom_drainage(c);
}

}  // namespace dredge
