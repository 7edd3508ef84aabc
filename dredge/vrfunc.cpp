// VRFUNC and the table look-ups of the consolidation model.
#include "dredge/consolidation.hpp"

namespace dredge {

void ConsolidationTable::resize(int n) {
    const std::size_t m = static_cast<std::size_t>(n);
    for (std::vector<float>* c : {&e, &sigma, &k, &kk, &dkk, &dsig, &alpha}) c->assign(m, 0.0f);
}

void Column::resize_nodes(int n) {
    const std::size_t m = static_cast<std::size_t>(n);
    for (std::vector<float>* a : {&z, &xi0, &xi, &e, &e_old, &e_fin, &e_max, &alpha, &beta,
                                  &sig_eff, &u0, &sigma, &sig_fin, &u_excess, &e_int})
        a->assign(m, 0.0f);
}

float table_at(const ConsolidationTable& t, const std::vector<float>& column, float e) {
    const int rows = t.rows();
    for (int r = 1; r < rows; ++r) {
        if (t.e[static_cast<std::size_t>(r)] <= e) {
            const std::size_t a = static_cast<std::size_t>(r - 1), b = static_cast<std::size_t>(r);
            const float frac = (e - t.e[a]) / (t.e[b] - t.e[a]);
            return column[a] + frac * (column[b] - column[a]);
        }
    }
    return column[static_cast<std::size_t>(rows - 1)];
}

float void_ratio_at_stress(const ConsolidationTable& t, float s) {
    const int rows = t.rows();
    for (int r = 1; r < rows; ++r) {
        if (t.sigma[static_cast<std::size_t>(r)] > s) {
            const std::size_t a = static_cast<std::size_t>(r - 1), b = static_cast<std::size_t>(r);
            const float frac = (s - t.sigma[a]) / (t.sigma[b] - t.sigma[a]);
            return t.e[a] + frac * (t.e[b] - t.e[a]);
        }
    }
    return t.e[static_cast<std::size_t>(rows - 1)];
}

void VRFUNC(Column& c) {
    for (std::size_t k = 0; k < static_cast<std::size_t>(c.nodes); ++k) {
        c.alpha[k] = table_at(c.table, c.table.alpha, c.e[k]);
        c.beta[k] = table_at(c.table, c.table.dkk, c.e[k]);
    }
}

}  // namespace dredge
