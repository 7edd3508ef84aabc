// DATAIN: the column's state back from STORE.DAT (layout in savedat.cpp).
#include <algorithm>
#include <cmath>
#include <string>

#include "dredge/consolidation.hpp"
#include "dredge/errors.hpp"
#include "recio/records.hpp"

namespace dredge {

namespace {

// Reads one record: its number, which must be the next one, then the values.
class StoreReader {
  public:
    explicit StoreReader(const std::string& path) : path_(path), in_(path) {
        if (!in_.is_open())
            throw RunError("COULD NOT OPEN " + path + " (THE CONSOLIDATION STATE OF THIS RUN)");
    }
    template <class... T>
    void record(T&... values) {
        std::int32_t number = 0;
        try {
            in_.need_list(number, values...);
        } catch (const recio::RecordError& e) {
            throw RunError(std::string("CONSOLIDATION STATE: ") + e.what());
        }
        if (number != ++expected_)
            throw RunError(path_ + " RECORD " + std::to_string(expected_) + " IS NUMBERED " +
                           std::to_string(number));
    }

  private:
    std::string path_;
    recio::RecordReader in_;
    std::int32_t expected_ = 0;
};

}  // namespace

void datain(Column& c, const std::string& path) {
    StoreReader in(path);
    std::int32_t npts = 0, nodes = 0, nodes_less = 0, nodes_again = 0;
    float zero = 0.0f, sett = 0.0f;
    in.record(npts);
    if (npts < 2 || npts > kMaxTableRows)
        throw RunError(path + ": IMPOSSIBLE NUMBER OF TABLE ROWS " + std::to_string(npts));
    in.record(c.nel, c.nodes, c.data_flag);
    if (c.nel < 1 || c.nel > kMaxNodes - 1 || c.nodes != c.nel + 1)
        throw RunError(path + ": IMPOSSIBLE NUMBER OF ELEMENTS " + std::to_string(c.nel));
    in.record(nodes, nodes_less, c.step);
    in.record(c.h_element, c.drain, c.dz);
    in.record(c.e00, c.zs, c.gbuoy);
    in.record(c.gsolid, c.gs, c.gw);
    in.record(zero, c.h, sett);
    in.record(c.ultimate, c.tau, c.time);
    in.record(c.degree);
    in.record(c.f_perm, c.drain_gradient, c.ef);
    in.record(c.f_thickness, c.f_solids, c.desiccation);
    in.record(nodes_again);
    in.record(c.sett);
    if (nodes != c.nodes || nodes_again != c.nodes)
        throw RunError(path + ": THE NUMBER OF NODES DISAGREES BETWEEN RECORDS 2, 3 AND 12");
    c.resize_nodes(c.nodes);
    for (std::size_t k = 0; k < static_cast<std::size_t>(c.nodes); ++k) {
        in.record(c.z[k], c.xi0[k], c.xi[k], c.e[k]);
        in.record(c.e_old[k], c.e_fin[k], c.e_max[k], c.alpha[k], c.beta[k]);
        in.record(c.sig_eff[k], c.u0[k], c.sigma[k], c.sig_fin[k], c.u_excess[k]);
        in.record(c.e_int[k]);
    }
    ConsolidationTable& t = c.table;
    t.resize(npts);
    for (std::size_t r = 0; r < static_cast<std::size_t>(npts); ++r) {
        in.record(t.e[r], t.sigma[r], t.k[r], t.kk[r], t.dkk[r]);
        in.record(t.dsig[r], t.alpha[r]);
    }
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
