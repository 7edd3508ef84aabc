// The berm on a 201 x 201 site with a long berm from corner to corner: the
// sweep of the whole grid for every apex against the sweep of the points a
// cone can reach. Both must leave the same depths.
#include <benchmark/benchmark.h>

#include <cmath>

#include "utility/utility.hpp"

namespace {

constexpr float NW_E = 1500000.0f, NW_N = 600000.0f;

gridlib::SiteGrid big_site() {
    gridlib::SiteGrid g;
    g.points_ns = 201;
    g.points_we = 201;
    g.total_points = 201 * 201;
    g.interval = 50;
    g.rotation = 15.0f;
    for (int r = 0; r < 201; ++r)
        for (int k = 0; k < 201; ++k)
            g.depth[static_cast<std::size_t>(r * 201 + k)] =
                50.0f + 8.0f * std::sin(0.05f * static_cast<float>(r)) *
                            std::cos(0.07f * static_cast<float>(k));
    return g;
}

// From near the NW corner to near the SE corner of the rotated site: about
// 13,900 ft, 277 steps.
utility::Berm long_berm() {
    const float sinr = std::sin(suitefiles::radians(15.0f)),
                cosr = std::cos(suitefiles::radians(15.0f));
    const float a = 100.0f, b = 9900.0f;  // local offsets of the ends along both axes
    utility::Berm berm;
    berm.start_e = NW_E + a * cosr + a * sinr;
    berm.start_n = NW_N + a * sinr - a * cosr;
    berm.end_e = NW_E + b * cosr + b * sinr;
    berm.end_n = NW_N + b * sinr - b * cosr;
    berm.crest = 30.0f;
    berm.slope = 0.1f;
    berm.crest_width = 100;
    return berm;
}

template <void (*Apply)(utility::ShapedSite&, const utility::Berm&)>
void BM_Berm(benchmark::State& state) {
    const gridlib::SiteGrid site = big_site();
    const utility::Berm berm = long_berm();

    // Identical depths from both, checked once before timing.
    gridlib::SiteGrid sweep = site, windowed = site;
    utility::ShapedSite s1(sweep, NW_E, NW_N), s2(windowed, NW_E, NW_N);
    utility::apply_berm_every_point(s1, berm);
    utility::apply_berm(s2, berm);
    if (sweep.depth != windowed.depth) {
        state.SkipWithError("the two berms differ");
        return;
    }

    for (auto _ : state) {
        gridlib::SiteGrid g = site;
        utility::ShapedSite s(g, NW_E, NW_N);
        Apply(s, berm);
        benchmark::DoNotOptimize(g.depth.data());
    }
}

BENCHMARK_TEMPLATE(BM_Berm, utility::apply_berm_every_point)
    ->Name("berm_201x201/whole_grid_sweep")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Berm, utility::apply_berm)
    ->Name("berm_201x201/reachable_points")
    ->Unit(benchmark::kMillisecond);

}  // namespace
