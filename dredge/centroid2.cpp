// CENTROID2: volume and centroid of the mound.
#include <cmath>
#include <cstdint>

#include "dredge/bed.hpp"
#include "dredge/numeric.hpp"

namespace dredge {

namespace {

// Area and whole-number moment of the trapezoidal strips of one line of
// mound heights h(1..n) with spacing s, the moment about cell 1.
// The moment is summed in 128 bits: the sum of up to 200 strips, each held
// to 64 bits, cannot overflow, whatever heights a damaged grid holds.
struct Strip {
    float area = 0.0f;
    __int128 moment = 0;
};
template <class Height>
Strip strips(int n, float s, Height h) {
    Strip st;
    for (int k = 1; k <= n - 1; ++k) {
        const float a = 0.5f * s * (h(k) + h(k + 1));
        const float arm = (static_cast<float>(k - 1) + 0.5f) * s;
        st.area += a;
        st.moment += saturated_int64(std::trunc(arm * a));
    }
    return st;
}

}  // namespace

void CENTROID2(const Fields& f, float xref, float yref, float& xc, float& yc, float& vol,
               CentroidState& state) {
    const int nx = f.nx, ny = f.ny;
    const float base = f.depth(1, 1);
    state.line_x.resize(static_cast<std::size_t>(ny), 0.0f);
    state.line_y.resize(static_cast<std::size_t>(nx), 0.0f);

    float volume = 0.0f;
    for (float d : f.depth.v) volume += (base - d) * f.dx * f.dy;
    vol = volume * 0.037037037f;  // cubic yards

    float weighted = 0.0f, total = 0.0f;
    for (int j = 1; j <= ny; ++j) {
        const Strip st = strips(nx, f.dx, [&](int i) { return base - f.depth(i, j); });
        float& c = state.line_x[static_cast<std::size_t>(j - 1)];
        if (st.area != 0.0f) c = static_cast<float>(st.moment) / st.area;
        weighted += c * st.area;
        total += st.area;
    }
    if (total != 0.0f) xc = weighted / total - xref;

    weighted = 0.0f;
    total = 0.0f;
    for (int i = 1; i <= nx; ++i) {
        const Strip st = strips(ny, f.dy, [&](int j) { return base - f.depth(i, j); });
        float& c = state.line_y[static_cast<std::size_t>(i - 1)];
        if (st.area != 0.0f) c = static_cast<float>(st.moment) / st.area;
        weighted += c * st.area;
        total += st.area;
    }
    if (total != 0.0f) yc = weighted / total - yref;
}

}  // namespace dredge
