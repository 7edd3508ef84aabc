// One run of the fate model: the state it owns and the run sequence.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cloudex/listing.hpp"
#include "cloudex/output.hpp"
#include "cloudex/phase.hpp"
#include "cloudex/state.hpp"

namespace cloudex {

// Values of the layer being released.
struct LayerValues {
    int index = 0;         // L, 1-based
    float cu = 0, cw = 0;  // initial cloud velocities in x and z, ft/s
    float cv = 0;          // initial descent velocity, ft/s
    float vollay = 0;      // volume of the layer, cu yd
    float roo = 0;         // bulk density, g/cc
    float bvoid = 0;       // aggregate void ratio
};

// Everything a run holds from the deck to the last record.
struct Run {
    Controls ctl;
    Grid grid;
    Ambient amb;
    Coefs coef;
    Vessel vessel;
    Times times;
    std::vector<Fraction> frac;  // NSOLID fractions

    LayerValues layer;
    std::vector<float> vollay, bvoid;  // per layer released so far
    float total_volume = 0;            // cu yd

    Track track;            // per-step record of the current layer
    Outcome out;            // outcome of the current layer
    StateVector y{};        // cloud state handed from the descent to the collapse
    float t_layer_end = 0;  // time at the last step of the current layer

    std::array<std::vector<SmallCloud>, kMaxFractions> clouds;
    std::array<Field, kMaxFractions> bottom;  // deposited solids volume, cu ft per grid square

    Listing listing;
    DepositFile deposit;
    bool record3_due = true;

    PhaseEnv env() const { return {grid, amb, coef, frac, ctl.nsolid, vessel, amb.hdump}; }
};

// WriteFailed: the run went through, but its listing or deposit file could
// not be written (told on the console).
enum class RunEnd { Completed, Stopped, InputError, WriteFailed };

// Runs the fate model on the deck <base>.DUE in the current folder, writing
// the listing <base>.DUO and the deposit file <base>.DUT.
RunEnd run_fate(Run& run, const std::string& base);

}  // namespace cloudex
