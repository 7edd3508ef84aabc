// DATAIN: the column's state back from STORE.DAT (layout in suitefiles/store.cpp),
// with the checks that it is a state a run can have stored.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "dredge/consolidation.hpp"
#include "dredge/errors.hpp"
#include "suitefiles/store.hpp"

namespace dredge {

namespace {

void column_of(suitefiles::StoreState&& s, Column& c) {
    c.nel = s.nel;
    c.nodes = s.nodes;
    c.data_flag = s.data_flag;
    c.step = s.step;
    c.h_element = s.h_element;
    c.drain = s.drain;
    c.dz = s.dz;
    c.e00 = s.e00;
    c.zs = s.zs;
    c.gbuoy = s.gbuoy;
    c.gsolid = s.gsolid;
    c.gs = s.gs;
    c.gw = s.gw;
    c.h = s.h;
    c.sett = s.sett;
    c.ultimate = s.ultimate;
    c.tau = s.tau;
    c.time = s.time;
    c.degree = s.degree;
    c.f_perm = s.f_perm;
    c.drain_gradient = s.drain_gradient;
    c.ef = s.ef;
    c.f_thickness = s.f_thickness;
    c.f_solids = s.f_solids;
    c.desiccation = s.desiccation;
    c.z = std::move(s.z);
    c.xi0 = std::move(s.xi0);
    c.xi = std::move(s.xi);
    c.e = std::move(s.e);
    c.e_old = std::move(s.e_old);
    c.e_fin = std::move(s.e_fin);
    c.e_max = std::move(s.e_max);
    c.alpha = std::move(s.alpha);
    c.beta = std::move(s.beta);
    c.sig_eff = std::move(s.sig_eff);
    c.u0 = std::move(s.u0);
    c.sigma = std::move(s.sigma);
    c.sig_fin = std::move(s.sig_fin);
    c.u_excess = std::move(s.u_excess);
    c.e_int = std::move(s.e_int);
    ConsolidationTable& t = c.table;
    t.e = std::move(s.t_e);
    t.sigma = std::move(s.t_sigma);
    t.k = std::move(s.t_k);
    t.kk = std::move(s.t_kk);
    t.dkk = std::move(s.t_dkk);
    t.dsig = std::move(s.t_dsig);
    t.alpha = std::move(s.t_alpha);
}

}  // namespace

void DATAIN(Column& c, const std::string& path) {
    suitefiles::StoreState s;
    const std::string fault = suitefiles::read_store(path, s);
    if (!fault.empty()) throw RunError(fault);
    column_of(std::move(s), c);
    if (c.step < 1 || !(c.time >= 0.0f && c.time < 1.0e7f))
        throw RunError(path + ": IMPOSSIBLE STEP COUNTER " + std::to_string(c.step) +
                       " OR ELAPSED TIME " + number_text(c.time) + " IN RECORD 3 OR 8");
    check_time_step(c, path);
    // The march sets the elapsed time to (counter - 1) x TAU after every
    // step (counter x TAU when the counter ran out), so a column whose time
    // disagrees with its counter was not stored by a run: from such a
    // counter the next march would take millions of steps to reach its time.
    const float after_step = static_cast<float>(c.step - 1) * c.tau;
    const float tolerance = 1.0e-5f * std::max(c.time, c.tau);
    if (!(std::fabs(c.time - after_step) <= tolerance ||
          std::fabs(c.time - after_step - c.tau) <= tolerance))
        throw RunError(path + ": THE ELAPSED TIME " + number_text(c.time) +
                       " DAYS OF RECORD 8 DISAGREES WITH STEP " + std::to_string(c.step) +
                       " OF RECORD 3 AT " + number_text(c.tau) + " DAY A STEP");
}

}  // namespace dredge
