// INTGRL: cumulative integration over equally spaced nodes.
#include "dredge/consolidation.hpp"

namespace dredge {

void INTGRL(const float* f, float h, int n, float* out) {
    // 1-based views of the node values.
    auto F = [f](int k) { return f[k - 1]; };
    auto O = [out](int k) -> float& { return out[k - 1]; };
    if (n < 1) return;
    O(1) = 0.0f;
    for (int k = 3; k <= n; k += 2)
        O(k) = O(k - 2) + h / 3.0f * (F(k - 2) + 4.0f * F(k - 1) + F(k));
    for (int k = 4; k <= n; k += 2)
        O(k) = O(k - 3) + 3.0f * h / 8.0f * (F(k - 3) + 3.0f * F(k - 2) + 3.0f * F(k - 1) + F(k));
    if (n >= 4)
        O(2) = O(4) - h / 3.0f * (F(2) + 4.0f * F(3) + F(4));
    else if (n == 3)
        O(2) = h / 12.0f * (5.0f * F(1) + 8.0f * F(2) - F(3));
    else if (n == 2)
        O(2) = h / 2.0f * (F(1) + F(2));
}

}  // namespace dredge
