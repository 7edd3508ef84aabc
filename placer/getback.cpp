// GETBACK: the long-term model's last grid taken back into the site grid.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "placer/fields.hpp"
#include "placer/kernels.hpp"
#include "recio/console.hpp"
#include "recio/records.hpp"
#include "suitefiles/geometry.hpp"
#include "suitefiles/plotbath.hpp"
#include "suitefiles/tns.hpp"

namespace placer {

namespace {

void kept(const std::string& why) {
    if (!why.empty()) recio::console_list(why);
    recio::console_list("THE DEPTHS FROM BEFORE THE LONG-TERM RUN ARE KEPT");
}

// The lattice cell size, from the first record of the resampled grid file;
// false (the depths kept) when it cannot be read.
bool read_cell_size(const std::string& tns, float& cell) {
    recio::RecordReader in(tns);
    if (!in.is_open()) {
        recio::console_list("COULD NOT OPEN", " " + tns);
        kept("");
        return false;
    }
    try {
        cell = suitefiles::read_tns_cell_size(in);
    } catch (const recio::RecordError& e) {
        kept(e.what());
        return false;
    }
    return true;
}

// The last grid of PLOTBATH.DAT (its elapsed-time record, the grid, and the
// end marker right after it), every depth one the grid files can hold;
// false (the depths kept) otherwise.
bool read_last_grid(const std::string& plotbath_name, std::size_t values,
                    suitefiles::PlotBathGrid& last) {
    recio::RecordReader in(plotbath_name);
    if (!in.is_open()) {
        recio::console_list("COULD NOT OPEN", " PLOTBATH.DAT");
        kept("");
        return false;
    }
    try {
        if (!suitefiles::read_last_plotbath_grid(in, values, last)) {
            kept("NO COMPLETE GRID AT THE END OF PLOTBATH.DAT");
            return false;
        }
        for (std::size_t v = 0; v < values; ++v)
            if (!fits(last.depth[v], DEPTH_FIELD))
                throw recio::RecordError(beyond_field(
                    field_place("PLOTBATH.DAT", last.first_record + static_cast<long>(v / 26),
                                static_cast<long>(v % 26) + 1),
                    "THE DEPTH", last.depth[v], DEPTH_FIELD));
    } catch (const recio::RecordError& e) {
        kept(std::string("NO COMPLETE GRID AT THE END OF PLOTBATH.DAT: ") + e.what());
        return false;
    }
    return true;
}

// The lattice is the site grid itself: a direct copy, J = 1 the southern row.
void copy_direct(const WorkGrid& work, std::int32_t nx, std::int32_t ny, const LongTermFrame& fr,
                 std::vector<float>& depth) {
    for (std::int32_t i = 1; i <= nx; ++i)
        for (std::int32_t j = 1; j <= ny; ++j)
            depth[static_cast<std::size_t>(fr.site.total_points - (fr.site.points_we - 1) +
                                           (i - 1) - (j - 1) * fr.site.points_we - 1)] =
                work.at(i, j);
}

// A resampled lattice: lattice node positions in the local frame, then
// every site point by inverse-distance weighting of its nearest nodes.
void interpolate(const WorkGrid& work, std::int32_t nx, std::int32_t ny, float cell,
                 const LongTermFrame& fr, Lattice& lattice, std::vector<float>& depth) {
    // Corners of the site in the local frame.
    const SiteFrame& site = fr.site;
    const suitefiles::Rotation rot = point_frame(site);
    const float sinr = rot.sinr, cosr = rot.cosr;
    const auto ns = static_cast<float>(fr.ns_extent), we = static_cast<float>(fr.we_extent);
    const float sw_e = site.nw_e + ns * sinr, sw_n = site.nw_n - ns * cosr;
    const float se_e = site.nw_e + ns * sinr + we * cosr, se_n = site.nw_n - ns * cosr + we * sinr;
    const std::int32_t n = site.total_points, npr = site.points_we, nrow = site.points_ns;
    auto dep = [&](std::int32_t k) -> float& { return depth[static_cast<std::size_t>(k - 1)]; };

    // Lattice node positions in the local frame, from the south-west corner.
    for (std::int32_t i = 1; i <= nx; ++i)
        for (std::int32_t j = 1; j <= ny; ++j) {
            const std::size_t m = static_cast<std::size_t>((i - 1) * ny + j - 1);
            const auto fi = static_cast<float>(i - 1), fj = static_cast<float>(j - 1);
            const float dj = ny > 1 ? static_cast<float>(ny - 1) : 1.0f,
                        di = nx > 1 ? static_cast<float>(nx - 1) : 1.0f;
            lattice.e[m] = fj * (site.nw_e - sw_e) / dj + fi * (se_e - sw_e) / di + sw_e;
            lattice.n[m] = fj * (site.nw_n - sw_n) / dj + fi * (se_n - sw_n) / di + sw_n;
            lattice.d[m] = work.at(i, j);
        }
    const float fx = static_cast<float>(nx) / static_cast<float>(npr);
    const float fy = static_cast<float>(ny) / static_cast<float>(nrow);
    const auto sp = static_cast<float>(site.interval);

    // Inverse-distance weighting (1/d^3) of the nearest lattice nodes within
    // reach: at most 4 within 2 cells + 10 ft, or along the site's edges at
    // most 3 within 1.4142 cells + 5 ft.
    for (std::int32_t k = 1; k <= n; ++k) {
        const std::int32_t r = (k - 1) / npr;  // 0-based row
        const std::int32_t col = k - r * npr;  // 1-based column
        const bool edge = r == 0 || r == nrow - 1 || col == 1 || col == npr;
        const float radius = edge ? cell * 1.4142f + 5.0f : cell * 2.0f + 10.0f;
        const int most = edge ? 3 : 4;
        const suitefiles::Position at = suitefiles::placer_local_position(
            site.nw_e, site.nw_n, rot, static_cast<float>(col - 1) * sp,
            static_cast<float>(r) * sp);
        const float e = at.e, nn = at.n;

        const float fi = fx * static_cast<float>(col), fj = static_cast<float>(r) * fy;
        const std::int32_t jlo =
            std::max<std::int32_t>(1, ny - (static_cast<std::int32_t>(fj) + 3));
        const std::int32_t jhi = std::min<std::int32_t>(ny, jlo + 6);
        std::int32_t mlo, mhi;
        if (fi >= static_cast<float>(nx - 3)) {
            mlo = nx * ny + 1 - 6 * ny;
            mhi = nx * ny;
        } else {
            mlo = fi <= 5.0f ? 1 : static_cast<std::int32_t>(fi - 3.0f) * ny + 1;
            mhi = static_cast<std::int32_t>(fi + 3.0f) * ny + 1;
        }
        mlo = std::max<std::int32_t>(1, mlo);
        mhi = std::min<std::int32_t>(nx * ny, mhi);

        float held_d[4], held_z[4];
        int held = 0;
        for (std::int32_t m = mlo; m <= mhi; ++m) {
            const std::int32_t jrow = (m - 1) % ny + 1;
            if (jrow < jlo || jrow > jhi) continue;
            const auto mi = static_cast<std::size_t>(m - 1);
            float dx = std::fabs(lattice.e[mi] - e), dy = std::fabs(lattice.n[mi] - nn);
            if (dx < 2.0f) dx = 1.0f;
            if (dy < 2.0f) dy = 1.0f;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (!(d < radius)) continue;
            const float stored = d < 2.0f ? 1.0f : d;
            if (held < most) {
                held_d[held] = stored;
                held_z[held] = lattice.d[mi];
                ++held;
                continue;
            }
            int far = 0;
            for (int c = 1; c < held; ++c)
                if (held_d[c] > held_d[far]) far = c;
            if (!(held_d[far] < d)) {
                held_d[far] = stored;
                held_z[far] = lattice.d[mi];
            }
        }
        if (held == 0) continue;  // no node in reach: the point keeps its depth
        float num = 0.0f, den = 0.0f;
        for (int c = 0; c < held; ++c) {
            const float d3 = held_d[c] * held_d[c] * held_d[c];
            num += held_z[c] / d3;
            den += 1.0f / d3;
        }
        dep(k) = num / den;
    }

    // The corners are copied exactly.
    dep(n - npr + 1) = work.at(1, 1);
    dep(1) = work.at(1, ny);
    dep(n) = work.at(nx, 1);
    dep(npr) = work.at(nx, ny);
}

}  // namespace

std::int16_t GETBACK(const std::string& tns_name, WorkGrid& work, std::vector<float>& depth,
                     Lattice& lattice, const LongTermFrame& fr, GetbackResult* result,
                     const std::string& plotbath_name) {
    if (result) *result = GetbackResult::Kept;
    std::fill(lattice.e.begin(), lattice.e.end(), 0.0f);
    std::fill(lattice.n.begin(), lattice.n.end(), 0.0f);
    std::fill(lattice.d.begin(), lattice.d.end(), 0.0f);
    work.clear();

    float cell = 0.0f;
    if (!read_cell_size(gridlib::trimmed(tns_name), cell)) return 0;
    const suitefiles::LatticeSize size =
        suitefiles::lattice_size(fr.site.points_we, fr.site.points_ns);
    const std::int32_t nx = size.nx, ny = size.ny;
    suitefiles::PlotBathGrid last;
    if (!read_last_grid(plotbath_name, static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny),
                        last))
        return 0;
    // The elapsed hours are a 16-bit count: a longer run is held at its end.
    const std::int32_t hours = std::clamp<std::int32_t>(last.hours, INT16_MIN, INT16_MAX);
    for (std::int32_t i = 1; i <= nx; ++i)
        for (std::int32_t j = 1; j <= ny; ++j)
            work.at(i, j) = last.depth[static_cast<std::size_t>((i - 1) * ny + (j - 1))];

    const GetbackResult how = put_long_term_grid(work, nx, ny, cell, fr, lattice, depth);
    if (result) *result = how;
    return static_cast<std::int16_t>(hours);
}

GetbackResult put_long_term_grid(const WorkGrid& work, std::int32_t nx, std::int32_t ny, float cell,
                                 const LongTermFrame& fr, Lattice& lattice,
                                 std::vector<float>& depth) {
    if (nx == fr.site.points_we && ny == fr.site.points_ns) {
        copy_direct(work, nx, ny, fr, depth);
        return GetbackResult::Direct;
    }
    interpolate(work, nx, ny, cell, fr, lattice, depth);
    return GetbackResult::Interpolated;
}

}  // namespace placer
