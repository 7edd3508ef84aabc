// AVAL1: avalanching of the site grid.
//
// Along every grid column and row, the steepest neighbour pair is found; if
// its slope exceeds the avalanching angle, the stretch from the higher cell
// downhill is redistributed into a straight profile at the post-avalanching
// angle holding the same volume, the stretch growing until the next cell lies
// no more than one profile step below its end.
#include <algorithm>
#include <cmath>
#include <vector>

#include "placer/kernels.hpp"
#include "recio/console.hpp"
#include "suitefiles/geometry.hpp"

namespace placer {
namespace {

constexpr float AVAL_DEG_TO_RAD = suitefiles::SLOPE_DEG_TO_RAD;

// Iterations of one call at most. A call settles in a few iterations; one
// whose stretches keep trading material in a cycle (the single-precision
// profile of a stretch need not come out below the angle) would go on for
// ever, and stops after these with the depths of the last iteration.
constexpr int MAX_ITERATIONS = 1000;

struct Slopes {
    float phi1 = 0;  // avalanching angle, rad
    float tan2 = 0;  // tan of the post-avalanching angle
    float step = 0;  // drop of the post-avalanching profile per node, ft
    float dx = 1;    // node spacing, ft
};

enum class Pass { Quiet, Avalanche, Stopped };

// One pass of the line treatment over cells 1..L, cell(k) giving the
// elevation of cell k by reference. The work grid is cleared beyond the
// site, so cell(L + 1) reads as elevation 0.
template <class Cell>
Pass treat_line(Cell cell, int length, const Slopes& s, std::vector<float>& b) {
    int kmax = 0;
    float smax = 0.0f, steepest = 0.0f;
    for (int k = 2; k <= length; ++k) {
        const float slope = (cell(k) - cell(k - 1)) / s.dx;
        if (std::fabs(slope) > steepest) {
            steepest = std::fabs(slope);
            smax = slope;
            kmax = k;
        }
    }
    if (kmax == 0 || !(std::atan(steepest) > s.phi1)) return Pass::Quiet;

    // The higher cell of the pair is the top of the stretch, which grows downhill.
    const int top = smax <= 0.0f ? kmax - 1 : kmax;
    const int dir = smax <= 0.0f ? 1 : -1;
    int end = top;
    int n = 1;
    for (;;) {
        end += dir;
        if (end < 1 || end > length) return Pass::Stopped;
        n = (end - top) * dir + 1;
        float sum = 0.0f;
        for (int m = 0; m < n; ++m) sum += cell(top + m * dir);
        const float mean = sum / static_cast<float>(n);
        b[0] = mean + s.step * static_cast<float>(n - 1) / 2.0f;
        for (int m = 1; m < n; ++m)
            b[static_cast<std::size_t>(m)] = b[0] - static_cast<float>(m) * s.step;
        if (dir < 0 && end + dir < 2) break;
        if ((b[static_cast<std::size_t>(n - 1)] - cell(end + dir)) / s.dx <= s.tan2) break;
    }
    for (int m = 0; m < n; ++m) cell(top + m * dir) = b[static_cast<std::size_t>(m)];
    return Pass::Avalanche;
}

}  // namespace

bool AVAL1(WorkGrid& work, std::vector<float>& depth, float aval_deg, float post_deg,
           std::int16_t npr, std::int16_t nrow, std::int16_t spacing) {
    Slopes s;
    s.phi1 = aval_deg * AVAL_DEG_TO_RAD;
    const float phi2 = post_deg * AVAL_DEG_TO_RAD;
    s.dx = static_cast<float>(spacing);
    s.tan2 = std::tan(phi2);
    s.step = s.tan2 * s.dx;
    recio::console_list("   Evaluating bathymetry for avalanching");

    // Room for the grid and the cleared row and column beyond it.
    work.hold(nrow + 1, npr + 1);
    std::vector<float> b(static_cast<std::size_t>(std::max(npr, nrow)) + 2, 0.0f);
    auto dep = [&](int i, int j) -> float& {
        return depth[static_cast<std::size_t>((i - 1) * npr + (j - 1))];
    };
    const auto n = static_cast<std::size_t>(npr) * static_cast<std::size_t>(nrow);
    std::vector<float> before(n);
    for (int iteration = 1;; ++iteration) {
        std::copy(depth.begin(), depth.begin() + static_cast<std::ptrdiff_t>(n), before.begin());
        work.clear();
        for (int i = 1; i <= nrow; ++i)
            for (int j = 1; j <= npr; ++j) work.at(i, j) = -dep(i, j);

        // Six passes along each line of a sweep; false when a stretch runs past the edge.
        int avalanches = 0;
        auto sweep = [&](int lines, int length, auto cell_of) {
            for (int line = 2; line <= lines; ++line) {
                auto cell = cell_of(line);
                for (int pass = 0; pass < 6; ++pass) {
                    const Pass p = treat_line(cell, length, s, b);
                    if (p == Pass::Stopped) return false;
                    if (p == Pass::Avalanche) ++avalanches;
                }
            }
            return true;
        };
        const bool done =
            sweep(npr, nrow,
                  [&](int j) { return [&work, j](int k) -> float& { return work.at(k, j); }; }) &&
            sweep(nrow, npr,
                  [&](int i) { return [&work, i](int k) -> float& { return work.at(i, k); }; });
        if (!done) {
            recio::console_list("AVALANCHING STOPPED");
            return false;
        }

        for (int i = 1; i <= nrow; ++i)
            for (int j = 1; j <= npr; ++j) dep(i, j) = -work.at(i, j);
        if (avalanches < 3) return true;
        // An iteration that leaves every depth as it found it would be made
        // again, unchanged, for ever: the slopes are as steady as single
        // precision lets them be.
        if (std::equal(before.begin(), before.end(), depth.begin())) return true;
        if (iteration == MAX_ITERATIONS) {
            recio::console_list("AVALANCHING STOPPED AFTER", MAX_ITERATIONS,
                                " ITERATIONS WITHOUT A STEADY PROFILE");
            return false;
        }
    }
}

}  // namespace placer
