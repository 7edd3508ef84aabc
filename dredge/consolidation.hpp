// Self-weight consolidation of a cohesive mound.
//
// The fill under the mound's centroid is followed as a one-dimensional
// column in finite-strain (Gibson) consolidation, written in solids
// coordinates z: the column holds Z = H / (1 + e00) feet of solids in NEL
// elements of dz = Z / NEL, its NODES = NEL + 1 nodes counted from the
// base. The void ratio e(z, t) obeys
//     de/dt = -(1/gw) [ alpha d2e/dz2 + (g' beta + d(alpha)/dz) de/dz ]
// with alpha = k/(1+e) d(sigma')/de and beta = d(k/(1+e))/de from the
// constitutive table, g' = gs - gw the buoyant unit weight of the solids.
// The top drains freely and keeps e00; the base drains into the foundation
// (or not at all, for a foundation of zero permeability).
//
// Units: feet, days, pounds per square foot; permeability in ft/day.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dredge/grid.hpp"

namespace dredge {

constexpr int kMaxNodes = 101;      // nodes of the cumulative integration (NEL at most 100)
constexpr int kMaxTableRows = 201;  // rows of the constitutive table

// The constitutive table, rows in order of decreasing void ratio, with the
// values derived from it by SETUP1.
struct ConsolidationTable {
    std::vector<float> e;      // void ratio
    std::vector<float> sigma;  // effective stress (lb/ft2)
    std::vector<float> k;      // permeability (ft/day)
    std::vector<float> kk;     // k / (1 + e)
    std::vector<float> dkk;    // d(k/(1+e))/de
    std::vector<float> dsig;   // d(sigma')/de
    std::vector<float> alpha;  // k/(1+e) d(sigma')/de
    int rows() const { return static_cast<int>(e.size()); }
    void resize(int n);
};

// The complete state of the column, as kept in STORE.DAT between steps.
struct Column {
    std::int32_t data_flag = 0;  // first integer of the data file (no role in the model)
    float gs = 0.0f;             // specific gravity of the solids
    float gw = 0.0f;             // unit weight of water (lb/ft3)
    float gsolid = 0.0f;         // unit weight of the solids gs gw
    float gbuoy = 0.0f;          // buoyant unit weight gsolid - gw
    float e00 = 0.0f;            // initial void ratio of the fill
    std::int32_t nel = 0;        // elements
    std::int32_t nodes = 0;      // nel + 1
    float h = 0.0f;              // mound height at the centroid when the column was made (ft)
    float zs = 0.0f;             // solids height Z (ft)
    float dz = 0.0f;             // element solids height (ft)
    float h_element = 0.0f;      // initial real element height H / NEL (ft)
    float tau = 0.0f;            // time step (days)
    std::int32_t step = 1;       // time-step counter
    float time = 0.0f;           // elapsed consolidation time (days)
    float ultimate = 0.0f;       // ultimate settlement (ft)
    float sett = 0.0f;           // settlement (ft)
    float degree = 0.0f;         // degree of consolidation sett / ultimate
    // Foundation: its void ratio, thickness as read, solids thickness and
    // permeability over (1 + ef); the drainage it offers the base.
    float ef = 0.0f;
    float f_thickness = 0.0f;
    float f_solids = 0.0f;
    float f_perm = 0.0f;
    float drain = 0.0f;  // bottom drainage term (lb/ft3): excess-pressure gradient at the base
    float drain_gradient =
        0.0f;                  // excess pressure at the base over the foundation's solids thickness
    float desiccation = 0.0f;  // crust thickness added to the fill thickness (none here)
    ConsolidationTable table;
    // Node values, index 0 = node 1 (the base).
    std::vector<float> z;         // solids coordinate (ft)
    std::vector<float> xi0;       // initial real height above the base (ft)
    std::vector<float> xi;        // real height above the base (ft)
    std::vector<float> e;         // void ratio
    std::vector<float> e_old;     // void ratio before the last time step
    std::vector<float> e_fin;     // void ratio under the final effective stress
    std::vector<float> e_max;     // highest void ratio (e00)
    std::vector<float> alpha;     // alpha at e
    std::vector<float> beta;      // beta at e
    std::vector<float> sig_eff;   // effective stress (lb/ft2)
    std::vector<float> u0;        // hydrostatic pressure below the fill surface (lb/ft2)
    std::vector<float> sigma;     // total stress (lb/ft2)
    std::vector<float> sig_fin;   // final effective stress (lb/ft2)
    std::vector<float> u_excess;  // excess pore pressure (lb/ft2)
    std::vector<float> e_int;     // integral of e dz from the base (ft)
    void resize_nodes(int n);
};

// Reads a consolidation data file (PCDDF2.DAT .. PCDDF4.DAT), list-directed:
// the flag, Gs, NPTS, e00, gw, NEL; NPTS rows of void ratio, effective
// stress and permeability in order of decreasing void ratio; the foundation
// void ratio, thickness and permeability. Throws RunError naming the file
// for a missing file, a short one or values the column cannot use.
void read_consolidation_data(const std::string& path, Column& c);

// The shortest consolidation time step the column is followed with (day).
// Real tables give far longer steps (about 3E-04 day for the soft clay of
// the tests on a 2-ft mound in 100 elements); the bound keeps a three-hour
// step within 125 000 column steps.
constexpr float kMinTau = 1.0e-6f;

// Throws RunError naming `source` when the column's time step is not a
// finite number of at least kMinTau (a table whose permeabilities or stresses are out of
// scale, or a unit weight of water near zero), which would march for ever.
void check_time_step(const Column& c, const std::string& source);

// SETUP1: the initial column of height c.h (ft) at the uniform void ratio
// e00: solids height and spacing, the table's derived columns (central
// differences in void ratio, one-sided at the ends), the time step
// tau = 0.25 dz / k1 (at most 0.125 day, cut to a quarter of the explicit
// stability limit dz^2 gw / (2 max|alpha|) when that is smaller), the nodes,
// the final void ratios under the buoyant weight of the solids above each
// node, the initial stresses and the ultimate settlement.
void SETUP1(Column& c);

// FDIFEQ: explicit finite-difference march of the void ratios until the
// elapsed consolidation time reaches target (days), at least one step. The
// base uses a ghost node that carries the base's excess-pressure gradient;
// the top node keeps e00; a node never rises above its void ratio nor falls
// below its final one.
struct FdifeqWarnings {
    bool stability = false;  // explicit stability limit below tau
    bool tau = false;        // drainage time of the column below tau
};
FdifeqWarnings FDIFEQ(Column& c, float target);

// Drainage of the base into the foundation: the excess pore pressure at
// the base, g' Z - sigma'(e1), drives a Darcy flow through the foundation's
// solids thickness; the base's excess-pressure gradient that carries the
// same flow through the fill (permeability k(e1)/(1+e1) of the table at the
// base void ratio) is the bottom drainage term. A foundation without
// permeability or thickness is impervious (term 0).
void bottom_drainage(Column& c);

// STRESS: real heights xi = z + integral of e dz, effective stresses from
// the table (the final stress where a node has reached its final void
// ratio), hydrostatic and total stresses, excess pore pressure, settlement
// and degree of consolidation.
void STRESS(Column& c);

// VRFUNC: alpha and beta at every node's void ratio, interpolated linearly
// in the table (the last row beyond it).
void VRFUNC(Column& c);

// Linear interpolation of a table column at void ratio e: between the first
// row (from row 2) whose void ratio is at or below e and the row before it;
// beyond the table the last row.
float table_at(const ConsolidationTable& t, const std::vector<float>& column, float e);

// Void ratio under effective stress s: between the first row (from row 2)
// whose stress exceeds s and the row before it; beyond the table the last
// row's void ratio.
float void_ratio_at_stress(const ConsolidationTable& t, float s);

// INTGRL: cumulative integral of f over n nodes of spacing h: out[0] = 0,
// Simpson's rule to the odd nodes, the three-eighths rule over the last
// three intervals to the even ones, node 2 as node 4 less the Simpson
// panel 2..4 (exact for cubics). Three nodes take the parabola through
// them for node 2, two nodes the trapezoid.
void INTGRL(const float* f, float h, int n, float* out);

// SAVEDAT / DATAIN: the column to and from STORE.DAT, list-directed, every
// record led by its record number (1, 2, 3, ... through the file). DATAIN
// throws RunError naming the file when it is missing, short, out of
// order or describes an impossible column.
void SAVEDAT(const Column& c, const std::string& path);
void DATAIN(Column& c, const std::string& path);

// The consolidation model's share of the run.
struct ConsolState {
    std::int32_t ised = 2;  // sediment type: selects the data file
    std::string store_path = "STORE.DAT";
    std::string diagnostics_path = "CONSOL.LOG";
    bool initialised = false;  // the column of this run exists (in STORE.DAT)
    float rprev = 0.0f;        // compression ratio of the last consolidating step
    float sett = 0.0f;         // settlement shown in the step table (ft)
    double lowered = 0.0;      // depth (ft, summed over points) the mound lost to it in the run
    Column column;
};

// The data file of a sediment type: 3 -> PCDDF3.DAT, 4 -> PCDDF4.DAT,
// anything else -> PCDDF2.DAT.
std::string consolidation_data_file(std::int32_t ised);

// CONSOL: consolidates the column under the mound's centroid to the model
// time and lowers the mound with it.
//   in:  xref, yref the reference centroid, xc, yc the centroid offset (ft);
//        n the step, t = 3n (hours), n0 the run's first step
//   out: f.depth lowered; state.sett; state.lowered grown by the lowering
// Nothing happens while the mound at the centroid cell is lower than 2 ft.
// The first consolidating step of a run makes the column from the data
// file; later steps take it from STORE.DAT. After the march each cell's
// height above DEPTH(1,1) loses the fraction (R - Rprev) / (1 - Rprev) of
// itself, R = 1 - thickness / H the column's compression ratio, so that the
// height at the centroid follows the column's thickness. Returns true when
// the column was advanced.
bool CONSOL(Fields& f, ConsolState& state, float xref, float yref, float xc, float yc,
            std::int32_t n, std::int32_t t, std::int32_t n0);

}  // namespace dredge
