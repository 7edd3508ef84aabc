// SAVEDAT: the column's state into STORE.DAT.
//
// List-directed records, each led by its record number, numbered on through
// the whole file:
//    1  NPTS
//    2  NEL, NODES, data-file flag
//    3  NODES, NODES - 1, step counter
//    4  H / NEL, bottom drainage term, dz
//    5  e00, Z, g'
//    6  gs (unit weight of the solids), Gs, gw
//    7  0.0, H, settlement
//    8  ultimate settlement, tau, elapsed consolidation time
//    9  degree of consolidation
//   10  foundation permeability / (1 + ef), bottom drainage gradient, ef
//   11  foundation thickness, its solids thickness, desiccation
//   12  NODES
//   13  SETT
//   per node, four records:  z, xi0, xi, e
//                            e_old, e_fin, e_max, alpha, beta
//                            sigma', u0, sigma, sigma_fin, u_excess
//                            integral of e dz
//   per table row, two records:  e, sigma', k, k/(1+e), d(k/(1+e))/de
//                                d(sigma')/de, alpha
// Reals are written with nine significant digits, so they read back exactly.
#include "dredge/consolidation.hpp"
#include "dredge/errors.hpp"
#include "recio/records.hpp"

namespace dredge {

void savedat(const Column& c, const std::string& path) {
    recio::RecordWriter out(path, recio::RecordWriter::Mode::Atomic);
    if (!out.is_open()) throw RunError("COULD NOT WRITE " + path);
    std::int32_t rec = 0;
    out.list(++rec, c.table.rows());
    out.list(++rec, c.nel, c.nodes, c.data_flag);
    out.list(++rec, c.nodes, c.nodes - 1, c.step);
    out.list(++rec, c.h_element, c.drain, c.dz);
    out.list(++rec, c.e00, c.zs, c.gbuoy);
    out.list(++rec, c.gsolid, c.gs, c.gw);
    out.list(++rec, 0.0f, c.h, c.sett);
    out.list(++rec, c.ultimate, c.tau, c.time);
    out.list(++rec, c.degree);
    out.list(++rec, c.f_perm, c.drain_gradient, c.ef);
    out.list(++rec, c.f_thickness, c.f_solids, c.desiccation);
    out.list(++rec, c.nodes);
    out.list(++rec, c.sett);
    for (std::size_t k = 0; k < static_cast<std::size_t>(c.nodes); ++k) {
        out.list(++rec, c.z[k], c.xi0[k], c.xi[k], c.e[k]);
        out.list(++rec, c.e_old[k], c.e_fin[k], c.e_max[k], c.alpha[k], c.beta[k]);
        out.list(++rec, c.sig_eff[k], c.u0[k], c.sigma[k], c.sig_fin[k], c.u_excess[k]);
        out.list(++rec, c.e_int[k]);
    }
    const ConsolidationTable& t = c.table;
    for (std::size_t r = 0; r < static_cast<std::size_t>(t.rows()); ++r) {
        out.list(++rec, t.e[r], t.sigma[r], t.k[r], t.kk[r], t.dkk[r]);
        out.list(++rec, t.dsig[r], t.alpha[r]);
    }
    if (!out.close()) throw RunError("COULD NOT WRITE " + path);
}

}  // namespace dredge
