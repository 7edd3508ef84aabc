#include "cloudex/output.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cloudex/gridsetup.hpp"
#include "recio/format.hpp"
#include "suitefiles/deposit.hpp"

namespace cloudex {

void DepositFile::header(const std::string& title) {
    for (const std::string& r : suitefiles::deposit_header_records(title)) out_.record(r);
}

void DepositFile::grid_record(const Grid& g) {
    for (const std::string& r : suitefiles::deposit_grid_records(g.mmax, g.nmax, g.dz, g.dx))
        out_.record(r);
}

void DepositFile::summary(const std::vector<Fraction>& frac, float tstop) {
    summary_due_ = true;
    names_.clear();
    for (const Fraction& f : frac) names_.push_back(f.name);
    tstop_ = tstop;
}

std::vector<std::string> block_records(const Grid& g, float time, const Field& thick) {
    const auto nrow = static_cast<std::size_t>(std::max(0, g.mmax - 4)),
               ncol = static_cast<std::size_t>(std::max(0, g.nmax - 4));
    std::vector<float> rows(nrow * ncol);
    for (std::size_t m = 0; m < nrow; ++m)
        for (std::size_t n = 0; n < ncol; ++n)
            rows[m * ncol + n] = thick(static_cast<int>(n) + 3, static_cast<int>(m) + 3);
    return suitefiles::deposit_block_records(time, rows.data(), nrow, ncol);
}

void DepositFile::block(const Grid& g, float time, const Field& thick) {
    for (std::string& r : block_records(g, time, thick)) held_.push_back(std::move(r));
    ++nblocks_;
}

bool DepositFile::finish() {
    if (!out_.is_open()) return false;
    if (summary_due_) {
        for (const std::string& r : suitefiles::deposit_summary_records(
                 static_cast<std::int32_t>(nblocks_), tstop_, names_))
            out_.record(r);
        for (const std::string& r : held_) out_.record(r);
    }
    held_.clear();
    summary_due_ = false;
    return out_.close();
}

float display_scale(float vmax) {
    int k = 1;
    if (vmax > 0.0f) k = trunc_index(std::log10(vmax));
    if (k >= 3) return std::pow(10.0f, static_cast<float>(k - 2));
    if (k < 0) return std::pow(10.0f, static_cast<float>(k - 1));
    return 1.0f;
}

std::string map_cell(float v) {
    // Digits are cut, not rounded; the factor absorbs the representation
    // error of values such as 0.53.
    const float t = v * 1.00001f;
    char buf[16];
    if (t >= 10.0f) {
        std::snprintf(buf, sizeof buf, "%4d", std::min(trunc_index(t), 9999));
    } else if (t >= 1.0f) {
        const int i = static_cast<int>(t);
        const int d = std::min(static_cast<int>((t - static_cast<float>(i)) * 10.0f), 9);
        std::snprintf(buf, sizeof buf, " %d.%d", i, d);
    } else if (t >= 0.1f) {
        std::snprintf(buf, sizeof buf, " .%02d", std::min(static_cast<int>(t * 100.0f), 99));
    } else if (t >= 0.01f) {
        std::snprintf(buf, sizeof buf, " .0%d", std::min(static_cast<int>(t * 100.0f), 9));
    } else if (v >= 0.0001f) {
        return "   +";
    } else if (v >= 1.0e-6f) {
        return "   .";
    } else {
        return "   0";
    }
    return buf;
}

void print_map(Listing& out, const Grid& g, const Field& f, const std::string& heading) {
    out.page();
    out.write("(1X,A)", heading);
    float vmax = 0.0f;
    bool any = false;
    for (int m = 3; m <= g.mmax - 2; ++m)
        for (int n = 3; n <= g.nmax - 2; ++n) {
            vmax = any ? std::max(vmax, f(n, m)) : f(n, m);
            any = true;
        }
    const float scale = display_scale(vmax);
    out.write(
        "(1X,' ...MULTIPLY DISPLAYED VALUES BY ',G11.4,5X,"
        "'(LEGEND... + = .LT. .01   . = .LT. .0001   0 = .LT. .000001)')",
        scale);
    for (int n0 = 2; n0 <= g.nmax - 1; n0 += 30) {
        const int n1 = std::min(n0 + 29, g.nmax - 1);
        std::int32_t cols[30];
        for (int n = n0; n <= n1; ++n) cols[n - n0] = n;
        out.blank();
        out.write("(1X,'M N= ',I2,29I4)",
                  recio::array(cols, static_cast<std::size_t>(n1 - n0 + 1)));
        for (int m = 2; m <= g.mmax - 1; ++m) {
            std::string cells;
            for (int n = n0; n <= n1; ++n) {
                const std::int16_t c = g.code(n, m);
                if (c == kWater) {
                    const bool interior = m >= 3 && m <= g.mmax - 2 && n >= 3 && n <= g.nmax - 2;
                    cells += map_cell(interior ? f(n, m) / scale : f(n, m));
                } else {
                    cells += "   ";
                    cells += code_letter(c);
                }
            }
            out.write("(1X,I2,1X,A)", static_cast<std::int32_t>(m), cells);
        }
    }
}

double grid_total(const Grid& g, const Field& f) {
    double sum = 0.0;
    for (const WaterRun& r : g.runs)
        for (int m = r.m1; m <= r.m2; ++m) sum += static_cast<double>(f(r.n, m));
    return sum;
}

void thickness_grid(const Grid& g, const Field& volume, float voidr, Field& thick) {
    thick.fill(0.0f);
    const float factor = (1.0f + voidr) / g.area;
    for (int m = 1; m <= g.mmax; ++m)
        for (int n = 1; n <= g.nmax; ++n) thick(n, m) = volume(n, m) * factor;
}

}  // namespace cloudex
