// STORE.DAT. List-directed records, each led by its record number, numbered
// on through the whole file:
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
#include "suitefiles/store.hpp"

#include <iterator>

#include "recio/records.hpp"

namespace suitefiles {
namespace {

// Reads one record: its number, which must be the next one, then the values.
class StoreReader {
  public:
    StoreReader(const std::string& path, std::string& fault) : path_(path), fault_(fault) {
        in_.open(path);
        if (!in_.is_open())
            fault_ = "COULD NOT OPEN " + path + " (THE CONSOLIDATION STATE OF THIS RUN)";
    }
    template <class... T>
    bool record(T&... values) {
        if (!fault_.empty()) return false;
        std::int32_t number = 0;
        try {
            in_.need_list(number, values...);
        } catch (const recio::RecordError& e) {
            fault_ = std::string("CONSOLIDATION STATE: ") + e.what();
            return false;
        }
        if (number != ++expected_)
            fault_ = path_ + " RECORD " + std::to_string(expected_) + " IS NUMBERED " +
                     std::to_string(number);
        return fault_.empty();
    }

  private:
    std::string path_;
    std::string& fault_;
    recio::RecordReader in_;
    std::int32_t expected_ = 0;
};

void resize_all(std::size_t n, std::vector<float>* const* v, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) v[i]->assign(n, 0.0f);
}

}  // namespace

bool write_store(const std::string& path, const StoreState& s) {
    recio::RecordWriter out(path, recio::RecordWriter::Mode::Atomic);
    if (!out.is_open()) return false;
    const std::int32_t rows = static_cast<std::int32_t>(s.t_e.size());
    std::int32_t rec = 0;
    out.list(++rec, rows);
    out.list(++rec, s.nel, s.nodes, s.data_flag);
    out.list(++rec, s.nodes, s.nodes - 1, s.step);
    out.list(++rec, s.h_element, s.drain, s.dz);
    out.list(++rec, s.e00, s.zs, s.gbuoy);
    out.list(++rec, s.gsolid, s.gs, s.gw);
    out.list(++rec, 0.0f, s.h, s.sett);
    out.list(++rec, s.ultimate, s.tau, s.time);
    out.list(++rec, s.degree);
    out.list(++rec, s.f_perm, s.drain_gradient, s.ef);
    out.list(++rec, s.f_thickness, s.f_solids, s.desiccation);
    out.list(++rec, s.nodes);
    out.list(++rec, s.sett);
    for (std::size_t k = 0; k < static_cast<std::size_t>(s.nodes); ++k) {
        out.list(++rec, s.z[k], s.xi0[k], s.xi[k], s.e[k]);
        out.list(++rec, s.e_old[k], s.e_fin[k], s.e_max[k], s.alpha[k], s.beta[k]);
        out.list(++rec, s.sig_eff[k], s.u0[k], s.sigma[k], s.sig_fin[k], s.u_excess[k]);
        out.list(++rec, s.e_int[k]);
    }
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) {
        out.list(++rec, s.t_e[r], s.t_sigma[r], s.t_k[r], s.t_kk[r], s.t_dkk[r]);
        out.list(++rec, s.t_dsig[r], s.t_alpha[r]);
    }
    return out.close();
}

std::string read_store(const std::string& path, StoreState& s) {
    std::string fault;
    StoreReader in(path, fault);
    std::int32_t npts = 0, nodes = 0, nodes_less = 0, nodes_again = 0;
    float zero = 0.0f, sett = 0.0f;
    if (!in.record(npts)) return fault;
    if (npts < 2 || npts > STORE_MAX_TABLE_ROWS)
        return path + ": IMPOSSIBLE NUMBER OF TABLE ROWS " + std::to_string(npts);
    if (!in.record(s.nel, s.nodes, s.data_flag)) return fault;
    if (s.nel < 1 || s.nel > STORE_MAX_NODES - 1 || s.nodes != s.nel + 1)
        return path + ": IMPOSSIBLE NUMBER OF ELEMENTS " + std::to_string(s.nel);
    if (!(in.record(nodes, nodes_less, s.step) && in.record(s.h_element, s.drain, s.dz) &&
          in.record(s.e00, s.zs, s.gbuoy) && in.record(s.gsolid, s.gs, s.gw) &&
          in.record(zero, s.h, sett) && in.record(s.ultimate, s.tau, s.time) &&
          in.record(s.degree) && in.record(s.f_perm, s.drain_gradient, s.ef) &&
          in.record(s.f_thickness, s.f_solids, s.desiccation) && in.record(nodes_again) &&
          in.record(s.sett)))
        return fault;
    if (nodes != s.nodes || nodes_again != s.nodes)
        return path + ": THE NUMBER OF NODES DISAGREES BETWEEN RECORDS 2, 3 AND 12";
    std::vector<float>* const node_values[] = {
        &s.z,    &s.xi0,     &s.xi, &s.e,     &s.e_old,   &s.e_fin,    &s.e_max, &s.alpha,
        &s.beta, &s.sig_eff, &s.u0, &s.sigma, &s.sig_fin, &s.u_excess, &s.e_int};
    resize_all(static_cast<std::size_t>(s.nodes), node_values, std::size(node_values));
    for (std::size_t k = 0; k < static_cast<std::size_t>(s.nodes); ++k) {
        if (!(in.record(s.z[k], s.xi0[k], s.xi[k], s.e[k]) &&
              in.record(s.e_old[k], s.e_fin[k], s.e_max[k], s.alpha[k], s.beta[k]) &&
              in.record(s.sig_eff[k], s.u0[k], s.sigma[k], s.sig_fin[k], s.u_excess[k]) &&
              in.record(s.e_int[k])))
            return fault;
    }
    std::vector<float>* const row_values[] = {&s.t_e,   &s.t_sigma, &s.t_k,    &s.t_kk,
                                              &s.t_dkk, &s.t_dsig,  &s.t_alpha};
    resize_all(static_cast<std::size_t>(npts), row_values, std::size(row_values));
    for (std::size_t r = 0; r < static_cast<std::size_t>(npts); ++r) {
        if (!(in.record(s.t_e[r], s.t_sigma[r], s.t_k[r], s.t_kk[r], s.t_dkk[r]) &&
              in.record(s.t_dsig[r], s.t_alpha[r])))
            return fault;
    }
    return "";
}

}  // namespace suitefiles
