// INITLZ: the first estimate of the step's current field.
#include <cmath>

#include "dredge/hydro.hpp"

namespace dredge {

void INITLZ(Fields& f, float q, float v0, float n) {
    const int nx = f.nx, ny = f.ny;
    const float dout = f.depth(nx, 1);
    const float ch = chezy(dout, n);
    // Energy slope of the reference flow at the outflow corner (Chezy).
    const float u1 = q / dout;
    const float r = u1 / (ch * std::sqrt(dout));
    const float s = r * r;
    const float head = s * static_cast<float>(nx - 1) * f.dx;
    for (int i = 1; i <= nx; ++i) {
        const float fall = 1.0f - static_cast<float>(i - 1) / static_cast<float>(nx - 1);
        const float eta = fall * head;
        const float d1 = f.depth(i, 1);
        float* d = f.depth.line(i);
        float* e = f.eta.line(i);
        float* u = f.u.line(i);
        float* v = f.v.line(i);
        for (int j = 0; j < ny; ++j) {
            e[j] = eta;
            v[j] = v0 * d1 / d[j];
            u[j] = q / (d[j] + e[j]);
        }
    }
}

}  // namespace dredge
