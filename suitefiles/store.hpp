// STORE.DAT: the long-term model's consolidation column between its calls,
// kept by DREDGE (SAVEDAT writes it, DATAIN reads it back).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace suitefiles {

constexpr int STORE_MAX_NODES = 101;       // NEL at most 100
constexpr int STORE_MAX_TABLE_ROWS = 201;  // rows of the constitutive table

// The column's state, field for field as the file keeps it.
struct StoreState {
    std::int32_t nel = 0, nodes = 0, data_flag = 0, step = 1;
    float h_element = 0, drain = 0, dz = 0;
    float e00 = 0, zs = 0, gbuoy = 0;
    float gsolid = 0, gs = 0, gw = 0;
    float h = 0, sett = 0;
    float ultimate = 0, tau = 0, time = 0;
    float degree = 0;
    float f_perm = 0, drain_gradient = 0, ef = 0;
    float f_thickness = 0, f_solids = 0, desiccation = 0;
    // Per node, index 0 = the base.
    std::vector<float> z, xi0, xi, e;
    std::vector<float> e_old, e_fin, e_max, alpha, beta;
    std::vector<float> sig_eff, u0, sigma, sig_fin, u_excess;
    std::vector<float> e_int;
    // Per table row.
    std::vector<float> t_e, t_sigma, t_k, t_kk, t_dkk;
    std::vector<float> t_dsig, t_alpha;
};

// Writes the state whole (beside the target, renamed into place); false if
// it could not be written.
bool write_store(const std::string& path, const StoreState& s);
// Reads the state; returns "" or why the file cannot be the state of a run
// (missing, unreadable, records out of order, counts no column can have).
std::string read_store(const std::string& path, StoreState& s);

}  // namespace suitefiles
