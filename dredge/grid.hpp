// Grids of the long-term mound model.
//
// Every field of the model (depths, currents, set-up, transport, bed change,
// concentration) is a single-precision grid over NX x NY cells, indexed
// (I, J) with I = 1..NX along the grid's I axis (west to east) and
// J = 1..NY along its J axis (south to north). The capacity is 201 x 201.
//
// In memory each line of constant I is contiguous (J runs fastest), which is
// the order of the grid files (I outer, J inner) and of the inner loops of the
// current solver and of the concentration sweeps.
#pragma once

#include <cstddef>
#include <vector>

namespace dredge {

constexpr int kGridCapacity = 201;

struct Grid {
    int nx = 0;
    int ny = 0;
    std::vector<float> v;

    void resize(int nx_, int ny_, float fill = 0.0f) {
        nx = nx_;
        ny = ny_;
        v.assign(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), fill);
    }
    void fill(float x) { v.assign(v.size(), x); }

    // Cell (I, J), both counted from 1.
    float& operator()(int i, int j) { return v[index(i, j)]; }
    float operator()(int i, int j) const { return v[index(i, j)]; }

    // The line of constant I: element [J - 1] is cell (I, J).
    float* line(int i) { return v.data() + index(i, 1); }
    const float* line(int i) const { return v.data() + index(i, 1); }

    std::size_t index(int i, int j) const {
        return static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(ny) +
               static_cast<std::size_t>(j - 1);
    }
};

// The fields shared by the model routines of one run. Every routine keeps
// what it leaves in them until the next call.
struct Fields {
    int nx = 0, ny = 0;
    float dx = 0.0f, dy = 0.0f;  // cell size (ft)

    Grid depth;   // water depth, positive downward (ft); carries the tide inside a step
    Grid u, v;    // depth-averaged current along I and J (ft/s)
    Grid eta;     // water-surface set-up above the still level (ft)
    Grid qx, qy;  // non-cohesive transport per unit width along I and J (ft2/s)
    Grid erate;   // cohesive erosion source coefficient (lb/ft3/s)
    Grid dcoef;   // cohesive deposition coefficient (1/s)
    Grid taub;    // combined wave-current bed shear stress (lb/ft2)
    Grid conc;    // suspended-sediment concentration (lb/ft3)
    Grid bedchg;  // bed lowering of the step, positive = erosion (ft)

    // Sizes every grid to nx x ny, all values zero.
    void resize(int nx_, int ny_) {
        nx = nx_;
        ny = ny_;
        for (Grid* g : {&depth, &u, &v, &eta, &qx, &qy, &erate, &dcoef, &taub, &conc, &bedchg})
            g->resize(nx, ny);
    }
};

}  // namespace dredge
