#include "placer/balance.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "placer/fields.hpp"
#include "recio/console.hpp"
#include "recio/format.hpp"
#include "suitefiles/geometry.hpp"

namespace placer {

using suitefiles::FractionFate;
using suitefiles::LoadBalance;
using suitefiles::LoadStatus;
using suitefiles::LongTermBalance;

namespace {

constexpr double CUFT_PER_CY = 27.0;
constexpr const char* BED_HELD_FILE = "BEDHELD.DAT";
constexpr const char* SETTLED_FILE = "SETTLED.DAT";
// A load that leaves more than this share of its solids suspended is warned
// of; the margin keeps single-precision rounding of an exact tenth out.
constexpr double SUSPENDED_WARNING_SHARE = 0.1 * (1.0 + 1.0e-4);
// Warnings shown on the console; the balance file holds them all.
constexpr std::size_t CONSOLE_WARNINGS = 5;
// Points with less placed material than this (ft) count as away from the mound.
constexpr float OFF_MOUND_FT = 0.01f;
// A long-term run that lowers a point away from the mound by more than this (ft) is warned of.
constexpr float FAR_LOWERING_WARNING_FT = 0.1f;

std::string trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The number after the last '=' of a listing line.
bool value_after_equals(const std::string& line, double& v) {
    const std::size_t eq = line.rfind('=');
    if (eq == std::string::npos) return false;
    char* end = nullptr;
    const std::string text = line.substr(eq + 1);
    v = std::strtod(text.c_str(), &end);
    return end != text.c_str();
}

// The integer after "#" of the dump location lines.
int grid_point_number(const std::string& line) {
    const std::size_t at = line.find('#');
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + 1);
}

// The value at column n, row m of the bottom shear map: pages of 17 columns
// under a "M N=" head, one line per row (I2 then F7.4 values).
float shear_at(const std::vector<std::string>& lines, std::size_t head, int n, int m) {
    for (std::size_t i = head + 1; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.rfind(" M N=", 0) != 0) {
            if (l.find('\f') != std::string::npos) break;
            continue;
        }
        std::istringstream cols(l.substr(5));
        std::vector<int> numbers;
        int c = 0;
        while (cols >> c) numbers.push_back(c);
        const auto pos = std::find(numbers.begin(), numbers.end(), n);
        if (pos == numbers.end()) continue;
        const std::size_t col = static_cast<std::size_t>(pos - numbers.begin());
        for (std::size_t j = i + 1; j < lines.size() && lines[j].rfind(" M N=", 0) != 0; ++j) {
            const std::string& row = lines[j];
            if (row.size() < 3 || std::atoi(row.substr(1, 2).c_str()) != m) continue;
            const std::size_t at = 4 + col * 7;  // (1X,I2,1X,17F7.4)
            if (row.size() < at + 7) return -1.0f;
            return std::strtof(row.substr(at, 7).c_str(), nullptr);
        }
        return -1.0f;
    }
    return -1.0f;
}

bool is_leap(std::int32_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

std::int32_t month_days(std::int32_t m, std::int32_t y) {
    static const std::int32_t days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && is_leap(y) ? 29 : days[m - 1];
}

// Placed material: how much the depth has come up since the run began.
float placed_at(const Balance& b, const std::vector<float>& depth, std::size_t k) {
    return b.start_depth[k] - depth[k];
}

// Centroid (site-local feet) of the placed material; false when there is none.
bool placed_centroid(const Balance& b, const std::vector<float>& depth, const SiteFrame& site,
                     double& x, double& y) {
    double w = 0, sx = 0, sy = 0;
    for (std::int32_t i = 0; i < site.total_points; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const double t = std::max(0.0f, placed_at(b, depth, k));
        w += t;
        sx += t * static_cast<double>((i % site.points_we) * site.interval);
        sy += t * static_cast<double>((i / site.points_we) * site.interval);
    }
    if (!(w > 0)) return false;
    x = sx / w;
    y = sy / w;
    return true;
}

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string percent(double part, double whole) {
    return whole > 0 ? fixed(100.0 * part / whole, 1) + " %" : "-";
}

// A load that left more than a tenth of its solids in suspension: the
// fractions that stayed up, with their critical shear stress for deposition
// against the bottom shear stress of the dump cell.
void suspension_warning(Balance& b, const LoadBalance& l, float dump_shear) {
    if (!(l.released_cuft > 0) ||
        l.suspended_cuft + l.carried_out_cuft <= SUSPENDED_WARNING_SHARE * l.released_cuft)
        return;
    std::string w = "LOAD " + std::to_string(l.load) + " LEFT " +
                    percent(l.suspended_cuft + l.carried_out_cuft, l.released_cuft) +
                    " OF ITS SOLIDS SUSPENDED OR CARRIED OFF THE FATE GRID:";
    for (const FractionFate& f : l.fractions) {
        if (f.suspended_cuft <= SUSPENDED_WARNING_SHARE * f.released_cuft &&
            f.settled_cuft >= (1.0 - SUSPENDED_WARNING_SHARE) * f.released_cuft)
            continue;
        w += " " + trimmed(f.name) + " (CRITICAL SHEAR STRESS FOR DEPOSITION " + fixed(f.taucd, 4) +
             " LB/SQ FT";
        if (dump_shear >= 0)
            w += std::string(f.taucd < dump_shear ? " BELOW" : " NOT BELOW") +
                 " THE BOTTOM SHEAR STRESS " + fixed(dump_shear, 4) + " OF THE DUMP CELL";
        w += ")";
    }
    b.report.warnings.push_back(w);
}

}  // namespace

FateListing read_fate_listing(const std::string& path, const DumpControl& c) {
    FateListing out;
    out.fractions = released_solids(c);
    std::ifstream in(path);
    if (!in) return out;
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    int dump_row = -1, dump_col = -1;
    std::size_t shear_head = lines.size();
    std::vector<bool> found(out.fractions.size(), false);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.find("FT (XBARGE) OR ABOUT GRID POINT #") != std::string::npos)
            dump_row = grid_point_number(l);
        else if (l.find("FT (ZBARGE) OR ABOUT GRID POINT #") != std::string::npos)
            dump_col = grid_point_number(l);
        else if (l.rfind("BOTTOM SHEAR STRESS, LBS/SQ FT:") != std::string::npos &&
                 shear_head == lines.size())
            shear_head = i;
        else if (l.rfind(" SUMMARY OF ", 0) == 0 && i + 2 < lines.size()) {
            // The last summary of a fraction holds its figures at the end of its phase.
            const std::string name = trimmed(l.substr(12, 8));
            double suspended = 0, settled = 0;
            if (!value_after_equals(lines[i + 1], suspended) ||
                !value_after_equals(lines[i + 2], settled))
                continue;
            for (std::size_t f = 0; f < out.fractions.size(); ++f)
                if (trimmed(out.fractions[f].name) == name) {
                    out.fractions[f].suspended_cuft = suspended;
                    out.fractions[f].settled_cuft = settled;
                    found[f] = true;
                }
        }
    }
    // A fraction without solids has no long-term phase and no summary.
    out.read = true;
    for (std::size_t f = 0; f < found.size(); ++f)
        if (!found[f] && out.fractions[f].released_cuft > 0) out.read = false;
    // The fate grid's x runs with its columns (n) and z with its rows (m).
    if (shear_head < lines.size() && dump_row > 0 && dump_col > 0)
        out.dump_shear = shear_at(lines, shear_head, dump_row, dump_col);
    return out;
}

std::vector<FractionFate> released_solids(const DumpControl& c) {
    std::vector<FractionFate> out;
    for (const Fraction& f : c.fractions) {
        FractionFate ff;
        ff.name = trimmed(f.name);
        ff.released_cuft =
            static_cast<double>(c.load_volume) * CUFT_PER_CY * static_cast<double>(f.conc);
        ff.taucd = f.taucd;
        out.push_back(ff);
    }
    return out;
}

std::string step_date(std::int32_t start_month, std::int32_t start_year, std::int32_t step) {
    std::int32_t y = start_year, m = std::clamp(start_month, 1, 12);
    std::int32_t d = step / 8;  // days after the first of the start month
    while (d >= month_days(m, y)) {
        d -= month_days(m, y);
        if (++m > 12) m = 1, ++y;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:00", static_cast<int>(y),
                  static_cast<int>(m), static_cast<int>(d + 1), static_cast<int>((step % 8) * 3));
    return buf;
}

double volume_gained(const std::vector<float>& before, const std::vector<float>& after,
                     const SiteFrame& site) {
    double s = 0;
    for (std::int32_t i = 0; i < site.total_points; ++i) {
        const auto k = static_cast<std::size_t>(i);
        s += static_cast<double>(before[k]) - static_cast<double>(after[k]);
    }
    const double area = static_cast<double>(site.interval) * static_cast<double>(site.interval);
    return s * area / CUFT_PER_CY;
}

namespace {

// The depths as the site files hold them: each written in its F8.3 field and
// read back. Depths the models make often end on a half of the last decimal,
// so over a whole site the rounding of the stored grid can be a sizeable
// volume; the balance gives both figures.
std::vector<float> as_stored(const std::vector<float>& depth, const SiteFrame& site) {
    std::vector<float> stored(depth.begin(), depth.begin() + site.total_points);
    for (float& d : stored) {
        const std::vector<std::string> r = recio::format_records(DEPTH_FIELD, d);
        d = std::strtof(r.front().c_str(), nullptr);
    }
    return stored;
}

}  // namespace

void balance_begins(Balance& b, const DumpControl& c, const std::vector<float>& depth,
                    const std::uint32_t* seed) {
    b.report = {};
    b.report.site = trimmed(c.site);
    b.report.output = trimmed(c.out);
    b.report.seeded = seed != nullptr && c.placement_mode == PlacementMode::Scatter;
    if (seed) b.report.seed = *seed;
    b.start_depth = depth;
    b.before = depth;
}

void load_begins(Balance& b, const std::vector<float>& depth) {
    b.before = depth;
}

void load_ends(Balance& b, const DumpControl& c, const SiteFrame& site,
               const std::vector<float>& depth, std::int32_t step, suitefiles::Position requested,
               suitefiles::Position actual, LoadStatus status, const FateListing& fate) {
    LoadBalance l;
    l.load = static_cast<std::int32_t>(b.report.loads.size() + 1);
    l.step = step;
    l.date = step_date(c.start_month, c.start_year, step);
    l.requested_e = requested.e;
    l.requested_n = requested.n;
    l.e = actual.e;
    l.n = actual.n;
    l.volume_cy = c.load_volume;
    l.status = status;
    l.bottom_shear = std::max(0.0f, fate.dump_shear);
    if (status != LoadStatus::Refused) {
        l.fractions = fate.fractions;
        for (const FractionFate& f : l.fractions) {
            l.released_cuft += f.released_cuft;
            if (status == LoadStatus::Placed) {
                l.settled_cuft += f.settled_cuft;
                l.suspended_cuft += f.suspended_cuft;
            }
        }
        if (status == LoadStatus::Placed) {
            // What the fate model no longer holds: carried out of its grid.
            const double rest = l.released_cuft - l.settled_cuft - l.suspended_cuft;
            l.carried_out_cuft = rest > 1.0e-4 * l.released_cuft ? rest : 0.0;
            l.added_cy = volume_gained(b.before, depth, site);
        }
    }
    b.report.loads.push_back(l);
    if (status == LoadStatus::Refused)
        b.report.warnings.push_back("LOAD " + std::to_string(l.load) +
                                    " WAS REFUSED: ITS POSITION " + fixed(requested.e, 4) + ", " +
                                    fixed(requested.n, 4) +
                                    " LIES OUTSIDE OR ON THE SITE BOUNDARY");
    else if (status == LoadStatus::Failed)
        b.report.warnings.push_back("LOAD " + std::to_string(l.load) +
                                    ": THE FATE RUN FAILED (NO DEPOSIT COULD BE READ); NOTHING "
                                    "WAS ADDED TO THE SITE");
    else if (!fate.read)
        b.report.warnings.push_back("LOAD " + std::to_string(l.load) +
                                    ": THE FATE MODEL'S LISTING CLDX.DUO DOES NOT SAY WHAT SETTLED "
                                    "OF EVERY FRACTION");
    else
        suspension_warning(b, l, fate.dump_shear);
}

void clear_long_term_figures() {
    std::remove(BED_HELD_FILE);
    std::remove(SETTLED_FILE);
}

LongTermFigures read_long_term_figures() {
    LongTermFigures f;
    double held_cuft = 0;
    if (suitefiles::read_bed_held(BED_HELD_FILE, held_cuft))
        f.held_back_cy = held_cuft / CUFT_PER_CY;
    suitefiles::Settlement s;
    if (suitefiles::read_settlement(SETTLED_FILE, s)) {
        f.settlement_ft = s.settlement_ft;
        f.consolidated_cy = s.volume_cuft / CUFT_PER_CY;
    }
    return f;
}

void long_term_begins(Balance& b, const std::vector<float>& depth, std::int32_t start_step) {
    b.before = depth;
    b.lt_start_hour = 3 * start_step;
}

void long_term_ends(Balance& b, const SiteFrame& site, const std::vector<float>& depth,
                    std::int32_t hours, std::int32_t end_step, const LongTermFigures& figures) {
    LongTermBalance lt;
    lt.start_hour = b.lt_start_hour;
    lt.end_hour = hours > 0 ? hours : 3 * end_step;
    lt.failed = hours <= 0;
    if (!lt.failed) {
        lt.held_back_cy = figures.held_back_cy;
        lt.settlement_ft = static_cast<float>(figures.settlement_ft);
        lt.consolidated_cy = figures.consolidated_cy;
    }
    const double area = static_cast<double>(site.interval) * static_cast<double>(site.interval);
    for (std::int32_t i = 0; i < site.total_points; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const double change = static_cast<double>(depth[k]) - static_cast<double>(b.before[k]);
        if (change > 0)
            lt.eroded_cy += change * area / CUFT_PER_CY;
        else
            lt.deposited_cy -= change * area / CUFT_PER_CY;
        if (placed_at(b, b.before, k) < OFF_MOUND_FT)
            lt.far_lowering_ft = std::max(lt.far_lowering_ft, static_cast<float>(change));
    }
    lt.net_cy = lt.deposited_cy - lt.eroded_cy;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (placed_centroid(b, b.before, site, x0, y0) && placed_centroid(b, depth, site, x1, y1))
        lt.centroid_shift_ft = std::hypot(x1 - x0, y1 - y0);
    b.report.long_term.push_back(lt);
    const std::string span =
        "HOURS " + std::to_string(lt.start_hour) + " TO " + std::to_string(lt.end_hour);
    if (lt.failed)
        b.report.warnings.push_back("THE LONG-TERM RUN OF " + span +
                                    " FAILED: IT LEFT NO GRID, THE DEPTHS STAY AS BEFORE IT");
    else if (lt.far_lowering_ft > FAR_LOWERING_WARNING_FT)
        b.report.warnings.push_back("THE LONG-TERM RUN OF " + span + " LOWERED THE BED BY UP TO " +
                                    fixed(lt.far_lowering_ft, 3) +
                                    " FT AWAY FROM THE MOUND (WHERE NOTHING WAS PLACED)");
}

void balance_ends(Balance& b, const DumpControl& c, const SiteFrame& site,
                  const std::vector<float>& depth, std::int32_t loads_asked) {
    suitefiles::BalanceTotals& t = b.report.totals;
    double placed = 0, refused = 0, failed = 0, volume = 0, released = 0, settled = 0,
           suspended = 0, carried = 0, lost_in_failed = 0, added = 0;
    for (const LoadBalance& l : b.report.loads) {
        if (l.status == LoadStatus::Refused) {
            ++refused;
            continue;
        }
        released += l.released_cuft;
        if (l.status == LoadStatus::Failed) {
            ++failed;
            lost_in_failed += l.released_cuft;
            continue;
        }
        ++placed;
        volume += l.volume_cy;
        settled += l.settled_cuft;
        suspended += l.suspended_cuft;
        carried += l.carried_out_cuft;
        added += l.added_cy;
    }
    double lt_net = 0, lt_eroded = 0, lt_deposited = 0, held = 0, lt_failed = 0, consolidated = 0,
           settlement = 0;
    for (const LongTermBalance& lt : b.report.long_term) {
        lt_net += lt.net_cy;
        consolidated += lt.consolidated_cy;
        settlement += static_cast<double>(lt.settlement_ft);
        lt_eroded += lt.eroded_cy;
        lt_deposited += lt.deposited_cy;
        held += lt.held_back_cy;
        if (lt.failed) ++lt_failed;
    }
    const double on_site = volume_gained(b.start_depth, depth, site);
    const double on_site_stored = volume_gained(b.start_depth, as_stored(depth, site), site);
    // The top of the mound: the shallowest point that came up during the run
    // (the shallowest point of the site when none did).
    float top = 0, site_top = 0;
    bool mound = false;
    for (std::int32_t i = 0; i < site.total_points; ++i) {
        const auto k = static_cast<std::size_t>(i);
        site_top = i == 0 ? depth[k] : std::min(site_top, depth[k]);
        if (placed_at(b, depth, k) < OFF_MOUND_FT) continue;
        top = mound ? std::min(top, depth[k]) : depth[k];
        mound = true;
    }
    if (!mound) top = site_top;
    if (!mound && placed > 0) {
        b.report.warnings.push_back(
            "NO POINT OF THE SITE CAME UP: NOTHING OF THE ACTIVITY STAYED ON THE SITE (THE TOP "
            "GIVEN IS THE SHALLOWEST POINT OF THE SITE)");
    }
    t.set("loads_asked", loads_asked);
    t.set("loads_made", static_cast<double>(b.report.loads.size()));
    t.set("loads_placed", placed);
    t.set("loads_refused", refused);
    t.set("loads_failed", failed);
    t.set("volume_placed_cy", volume);
    t.set("solids_released_cuft", released);
    t.set("solids_settled_cuft", settled);
    t.set("solids_suspended_cuft", suspended);
    t.set("solids_carried_out_cuft", carried);
    t.set("solids_in_failed_loads_cuft", lost_in_failed);
    t.set("share_settled", released > 0 ? settled / released : 0);
    t.set("share_suspended", released > 0 ? (suspended + carried) / released : 0);
    t.set("added_to_site_cy", added);
    t.set("long_term_runs", static_cast<double>(b.report.long_term.size()));
    t.set("long_term_failed", lt_failed);
    t.set("long_term_net_cy", lt_net);
    t.set("long_term_eroded_cy", lt_eroded);
    t.set("long_term_deposited_cy", lt_deposited);
    t.set("long_term_held_back_cy", held);
    t.set("long_term_consolidated_cy", consolidated);
    t.set("long_term_settlement_ft", settlement);
    // What the long-term runs took off the site beyond the consolidation,
    // which lowers the mound without moving its material; negative when they
    // brought more onto the site than they carried off. With it the shares on
    // the site, moved off and consolidated add up to the whole.
    t.set("share_moved_off_by_long_term", added > 0 ? -(lt_net + consolidated) / added : 0);
    t.set("share_consolidated", added > 0 ? consolidated / added : 0);
    t.set("volume_on_site_cy", on_site);
    t.set("volume_on_site_as_stored_cy", on_site_stored);
    t.set("share_on_site", added > 0 ? on_site / added : 0);
    t.set("mound_found", mound ? 1 : 0);
    t.set("mound_top_ft", top);
    t.set("navigable_depth_ft", c.navigable_depth);
    t.set("mound_clearance_ft", static_cast<double>(top) - c.navigable_depth);
    if (b.report.seeded) t.set("seed", b.report.seed);
    if (b.report.loads.size() < static_cast<std::size_t>(loads_asked))
        b.report.warnings.push_back("ONLY " + std::to_string(b.report.loads.size()) + " OF THE " +
                                    std::to_string(loads_asked) + " LOADS ASKED FOR WERE MADE");
    if (std::trunc(top) <= static_cast<float>(c.navigable_depth))
        b.report.warnings.push_back("THE TOP OF THE MOUND, " + fixed(top, 2) +
                                    " FT, REACHES THE NAVIGABLE DEPTH OF " +
                                    std::to_string(c.navigable_depth) + " FT");
}

bool had_losses(const Balance& b) {
    for (const LoadBalance& l : b.report.loads)
        if (l.status != LoadStatus::Placed) return true;
    for (const LongTermBalance& lt : b.report.long_term)
        if (lt.failed) return true;
    return false;
}

bool write_balance(const Balance& b, const std::string& bal, const std::string& csv) {
    return suitefiles::write_balance_text(bal, b.report) &&
           suitefiles::write_balance_csv(csv, b.report.loads);
}

void balance_overview(const Balance& b, const std::string& bal) {
    const suitefiles::BalanceTotals& t = b.report.totals;
    const double released = t.get("solids_released_cuft");
    recio::console_list("MATERIAL BALANCE OF THE RUN");
    recio::console_list(
        "  LOADS MADE " + fixed(t.get("loads_made"), 0) + " OF " + fixed(t.get("loads_asked"), 0) +
        ": PLACED " + fixed(t.get("loads_placed"), 0) + ", REFUSED " +
        fixed(t.get("loads_refused"), 0) + ", FAILED " + fixed(t.get("loads_failed"), 0));
    recio::console_list("  VOLUME PLACED " + fixed(t.get("volume_placed_cy"), 0) +
                        " CY; SOLIDS RELEASED " + fixed(released, 0) + " CU FT");
    recio::console_list(
        "  SETTLED ON THE FATE GRID " + percent(t.get("solids_settled_cuft"), released) +
        ", LEFT SUSPENDED OR CARRIED OFF " +
        percent(t.get("solids_suspended_cuft") + t.get("solids_carried_out_cuft"), released) +
        ", IN FAILED LOADS " + percent(t.get("solids_in_failed_loads_cuft"), released));
    recio::console_list("  ADDED TO THE SITE " + fixed(t.get("added_to_site_cy"), 0) +
                        " CY; LONG-TERM NET CHANGE " + fixed(t.get("long_term_net_cy"), 0) +
                        " CY; ON THE SITE AT THE END " + fixed(t.get("volume_on_site_cy"), 0) +
                        " CY");
    const double stored = t.get("volume_on_site_as_stored_cy");
    if (std::fabs(stored - t.get("volume_on_site_cy")) >= 0.5)
        recio::console_list("  IN THE STORED SITE " + fixed(stored, 0) +
                            " CY: ITS DEPTHS ARE ROUNDED TO 0.001 FT, " +
                            fixed(stored - t.get("volume_on_site_cy"), 0) + " CY OVER THE SITE");
    const double added = t.get("added_to_site_cy");
    recio::console_list("  OF WHAT WAS ADDED: ON THE SITE " +
                        percent(t.get("share_on_site") * added, added) +
                        ", MOVED OFF BY THE LONG-TERM MODEL " +
                        percent(t.get("share_moved_off_by_long_term") * added, added) +
                        ", CONSOLIDATED " + percent(t.get("share_consolidated") * added, added) +
                        " (SETTLEMENT " + fixed(t.get("long_term_settlement_ft"), 3) + " FT)");
    recio::console_list(std::string(t.get("mound_found") > 0 ? "  TOP OF THE MOUND "
                                                             : "  NO MOUND; SHALLOWEST POINT ") +
                        fixed(t.get("mound_top_ft"), 2) + " FT, NAVIGABLE DEPTH " +
                        fixed(t.get("navigable_depth_ft"), 0) + " FT");
    const std::vector<std::string>& w = b.report.warnings;
    for (std::size_t i = 0; i < w.size() && i < CONSOLE_WARNINGS; ++i)
        recio::console_list("  WARNING: " + w[i]);
    if (w.size() > CONSOLE_WARNINGS)
        recio::console_list("  AND " + std::to_string(w.size() - CONSOLE_WARNINGS) +
                            " MORE WARNINGS IN " + bal);
}

}  // namespace placer
