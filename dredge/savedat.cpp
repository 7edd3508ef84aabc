// SAVEDAT: the column's state into STORE.DAT (layout in suitefiles/store.cpp).
#include "dredge/consolidation.hpp"
#include "dredge/errors.hpp"
#include "suitefiles/store.hpp"

namespace dredge {

static_assert(suitefiles::STORE_MAX_NODES == kMaxNodes &&
                  suitefiles::STORE_MAX_TABLE_ROWS == kMaxTableRows,
              "STORE.DAT holds every column the model makes");

namespace {

suitefiles::StoreState store_state(const Column& c) {
    suitefiles::StoreState s;
    s.nel = c.nel;
    s.nodes = c.nodes;
    s.data_flag = c.data_flag;
    s.step = c.step;
    s.h_element = c.h_element;
    s.drain = c.drain;
    s.dz = c.dz;
    s.e00 = c.e00;
    s.zs = c.zs;
    s.gbuoy = c.gbuoy;
    s.gsolid = c.gsolid;
    s.gs = c.gs;
    s.gw = c.gw;
    s.h = c.h;
    s.sett = c.sett;
    s.ultimate = c.ultimate;
    s.tau = c.tau;
    s.time = c.time;
    s.degree = c.degree;
    s.f_perm = c.f_perm;
    s.drain_gradient = c.drain_gradient;
    s.ef = c.ef;
    s.f_thickness = c.f_thickness;
    s.f_solids = c.f_solids;
    s.desiccation = c.desiccation;
    s.z = c.z;
    s.xi0 = c.xi0;
    s.xi = c.xi;
    s.e = c.e;
    s.e_old = c.e_old;
    s.e_fin = c.e_fin;
    s.e_max = c.e_max;
    s.alpha = c.alpha;
    s.beta = c.beta;
    s.sig_eff = c.sig_eff;
    s.u0 = c.u0;
    s.sigma = c.sigma;
    s.sig_fin = c.sig_fin;
    s.u_excess = c.u_excess;
    s.e_int = c.e_int;
    const ConsolidationTable& t = c.table;
    s.t_e = t.e;
    s.t_sigma = t.sigma;
    s.t_k = t.k;
    s.t_kk = t.kk;
    s.t_dkk = t.dkk;
    s.t_dsig = t.dsig;
    s.t_alpha = t.alpha;
    return s;
}

}  // namespace

void SAVEDAT(const Column& c, const std::string& path) {
    if (!suitefiles::write_store(path, store_state(c))) throw RunError("COULD NOT WRITE " + path);
}

}  // namespace dredge
