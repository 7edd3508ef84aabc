// STRESS: heights, stresses and settlement of the column.
#include <algorithm>

#include "dredge/consolidation.hpp"

namespace dredge {

void STRESS(Column& c) {
    const std::size_t top = static_cast<std::size_t>(c.nodes - 1);
    INTGRL(c.e.data(), c.dz, c.nodes, c.e_int.data());
    for (std::size_t k = 0; k <= top; ++k) c.xi[k] = c.z[k] + c.e_int[k];
    for (std::size_t k = 0; k <= top; ++k) {
        const float above = c.zs - c.z[k];  // solids above the node (ft)
        c.sig_eff[k] = c.e[k] <= c.e_fin[k] ? std::max(above * c.gbuoy, 0.0f)
                                            : table_at(c.table, c.table.sigma, c.e[k]);
        c.u0[k] = (c.xi[top] - c.xi[k]) * c.gw;
        // Weight of the solids and of the pore water above the node.
        c.sigma[k] = c.gsolid * above + c.gw * (c.e_int[top] - c.e_int[k]);
        c.u_excess[k] = c.sigma[k] - c.u0[k] - c.sig_eff[k];
    }
    c.sett = c.xi0[top] - c.xi[top];
    c.degree = c.ultimate != 0.0f ? c.sett / c.ultimate : 0.0f;
}

}  // namespace dredge
