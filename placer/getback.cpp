// GETBACK: the long-term model's last grid taken back into the site grid.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "placer/fields.hpp"
#include "placer/kernels.hpp"
#include "recio/console.hpp"
#include "recio/records.hpp"

namespace placer {

namespace {

// Records of a file held in memory, read back through the format interpreter.
class HeldRecords : public recio::RecordSource {
  public:
    HeldRecords(const std::vector<std::string>& records, long first_number, std::string name)
        : records_(records), first_(first_number), name_(std::move(name)) {}
    bool next_record(std::string& record) override {
        if (pos_ >= records_.size()) return false;
        record = records_[pos_++];
        return true;
    }
    const std::string& source_name() const override { return name_; }
    long record_number() const override { return first_ + static_cast<long>(pos_) - 1; }

  private:
    const std::vector<std::string>& records_;
    std::size_t pos_ = 0;
    long first_;
    std::string name_;
};

// The record that ends PLOTBATH.DAT: 20 blanks, then 9999 in columns 21-30.
bool is_end_marker(const std::string& r) {
    if (r.size() < 24) return false;
    if (r.find_first_not_of(' ') < 20) return false;
    std::string field = r.substr(20, 10);
    field.erase(std::remove(field.begin(), field.end(), ' '), field.end());
    return field == "9999";
}

// An elapsed-time record: (5X,'ELAPSED TIME = ',I10,' HOURS').
bool is_elapsed_time(const std::string& r) {
    return r.size() >= 30 && r.compare(5, 15, "ELAPSED TIME = ") == 0;
}

// The last grid of the long-term series: its elapsed-time record and the
// `per_grid` grid records right before the last end marker. The file is read
// forward once, holding only the records a grid needs (however long the
// series); `last` is empty when the last end marker has no complete grid
// before it (or there is no end marker).
bool last_grid(recio::RecordReader& in, std::size_t per_grid, std::vector<std::string>& last,
               long& first_number) {
    std::deque<std::string> window;  // the per_grid + 1 records before the current one
    std::string r;
    bool any_marker = false;
    last.clear();
    while (in.next_record(r)) {
        if (is_end_marker(r)) {
            any_marker = true;
            last.clear();
            if (window.size() == per_grid + 1 && is_elapsed_time(window.front())) {
                last.assign(window.begin(), window.end());
                first_number = in.record_number() - static_cast<long>(per_grid) - 1;
            }
        }
        window.push_back(std::move(r));
        if (window.size() > per_grid + 1) window.pop_front();
    }
    return any_marker && !last.empty();
}

void kept(const std::string& why) {
    if (!why.empty()) recio::console_list(why);
    recio::console_list("THE DEPTHS FROM BEFORE THE LONG-TERM RUN ARE KEPT");
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

    // Corners of the site in the local frame.
    const SiteFrame& site = fr.site;
    const suitefiles::Rotation rot = point_frame(site);
    const float sinr = rot.sinr, cosr = rot.cosr;
    const auto ns = static_cast<float>(fr.ns_extent), we = static_cast<float>(fr.we_extent);
    const float sw_e = site.nw_e + ns * sinr, sw_n = site.nw_n - ns * cosr;
    const float se_e = site.nw_e + ns * sinr + we * cosr, se_n = site.nw_n - ns * cosr + we * sinr;

    // The lattice cell size, from the first record of the resampled grid file.
    const std::string tns = gridlib::trimmed(tns_name);
    float cell = 0.0f;
    {
        recio::RecordReader in(tns);
        if (!in.is_open()) {
            recio::console_list("COULD NOT OPEN", " " + tns);
            kept("");
            return 0;
        }
        try {
            in.need("(10X,F5.1)", cell);
        } catch (const recio::RecordError& e) {
            kept(e.what());
            return 0;
        }
    }

    // The last grid of PLOTBATH.DAT: its elapsed-time record, the grid, and
    // the end marker right after it.
    const suitefiles::LatticeSize size = suitefiles::lattice_size(site.points_we, site.points_ns);
    const std::int32_t nx = size.nx, ny = size.ny;
    const std::size_t values = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);
    const std::size_t per_grid = (values + 25) / 26;
    std::vector<std::string> records;
    long first_number = 0;
    {
        recio::RecordReader in(plotbath_name);
        if (!in.is_open()) {
            recio::console_list("COULD NOT OPEN", " PLOTBATH.DAT");
            kept("");
            return 0;
        }
        if (!last_grid(in, per_grid, records, first_number)) {
            kept("NO COMPLETE GRID AT THE END OF PLOTBATH.DAT");
            return 0;
        }
    }
    std::vector<float> grid(values, 0.0f);
    std::int32_t hours = 0;
    try {
        HeldRecords src(records, first_number, "PLOTBATH.DAT");
        recio::InItem h[] = {recio::to_in(hours)};
        recio::read_items("(20X,I10)", src, h, 1);
        recio::InItem g[] = {recio::to_in(recio::array(grid.data(), values))};
        if (!recio::read_items("(26F8.3)", src, g, 1)) throw recio::RecordError("NO GRID");
        // Every depth must be one the grid files can hold.
        for (std::size_t v = 0; v < values; ++v)
            if (!fits(grid[v], DEPTH_FIELD))
                throw recio::RecordError(beyond_field(
                    field_place("PLOTBATH.DAT", first_number + 1 + static_cast<long>(v / 26),
                                static_cast<long>(v % 26) + 1),
                    "THE DEPTH", grid[v], DEPTH_FIELD));
    } catch (const recio::RecordError& e) {
        kept(std::string("NO COMPLETE GRID AT THE END OF PLOTBATH.DAT: ") + e.what());
        return 0;
    }
    // The elapsed hours are a 16-bit count: a longer run is held at its end.
    hours = std::clamp<std::int32_t>(hours, INT16_MIN, INT16_MAX);
    for (std::int32_t i = 1; i <= nx; ++i)
        for (std::int32_t j = 1; j <= ny; ++j)
            work.at(i, j) = grid[static_cast<std::size_t>((i - 1) * ny + (j - 1))];

    const std::int32_t n = site.total_points, npr = site.points_we, nrow = site.points_ns;
    auto dep = [&](std::int32_t k) -> float& { return depth[static_cast<std::size_t>(k - 1)]; };

    if (nx == npr && ny == nrow) {
        // Direct copy: J = 1 is the southern row.
        for (std::int32_t i = 1; i <= nx; ++i)
            for (std::int32_t j = 1; j <= ny; ++j)
                dep(n - (npr - 1) + (i - 1) - (j - 1) * npr) = work.at(i, j);
        if (result) *result = GetbackResult::Direct;
        return static_cast<std::int16_t>(hours);
    }

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
    if (result) *result = GetbackResult::Interpolated;
    return static_cast<std::int16_t>(hours);
}

}  // namespace placer
