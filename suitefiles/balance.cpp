#include "suitefiles/balance.hpp"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "recio/format.hpp"
#include "recio/records.hpp"

namespace suitefiles {

namespace {

constexpr const char* TOTALS_HEAD = "# totals";
constexpr const char* SETTLEMENT_RECORD = "(F16.3,F16.3)";

std::string number(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// A full-precision number for the machine-readable parts.
std::string exact(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

std::vector<std::string> split_csv(const std::string& line) {
    std::vector<std::string> out;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, ',')) out.push_back(cell);
    if (!line.empty() && line.back() == ',') out.emplace_back();
    return out;
}

double csv_number(const std::string& path, long row, const std::string& column,
                  const std::string& text) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        throw recio::RecordError(path + ", ROW " + std::to_string(row) + ", COLUMN " + column +
                                 ": \"" + text + "\" IS NOT A NUMBER");
    return v;
}

bool write_lines(const std::string& path, const std::vector<std::string>& lines) {
    recio::RecordWriter out(path);
    if (!out.is_open()) return false;
    for (const std::string& l : lines) out.record(l);
    return out.close();
}

}  // namespace

const char* status_word(LoadStatus s) {
    switch (s) {
        case LoadStatus::Refused:
            return "refused";
        case LoadStatus::Failed:
            return "failed";
        default:
            return "placed";
    }
}

void BalanceTotals::set(const std::string& name, double v) {
    for (auto& [n, value] : values)
        if (n == name) {
            value = v;
            return;
        }
    values.emplace_back(name, v);
}

double BalanceTotals::get(const std::string& name, double fallback) const {
    for (const auto& [n, value] : values)
        if (n == name) return value;
    return fallback;
}

const std::vector<std::string>& balance_csv_columns() {
    static const std::vector<std::string> columns = {"load",
                                                     "step",
                                                     "date",
                                                     "requested_easting",
                                                     "requested_northing",
                                                     "easting",
                                                     "northing",
                                                     "volume_cy",
                                                     "solids_released_cuft",
                                                     "solids_settled_cuft",
                                                     "added_to_site_cy",
                                                     "suspended_cuft",
                                                     "carried_out_cuft",
                                                     "status"};
    return columns;
}

bool write_balance_csv(const std::string& path, const std::vector<LoadBalance>& loads) {
    std::vector<std::string> lines;
    std::string head;
    for (const std::string& c : balance_csv_columns()) head += (head.empty() ? "" : ",") + c;
    // The fractions of the first load name the fraction columns (every load
    // of a run has the same fractions).
    const std::vector<FractionFate> none;
    const std::vector<FractionFate>& names = loads.empty() ? none : loads.front().fractions;
    head += ",dump_bottom_shear_lbft2";
    for (const FractionFate& f : names)
        head += ",settled_cuft_" + f.name + ",suspended_cuft_" + f.name;
    lines.push_back(head);
    for (const LoadBalance& l : loads) {
        std::string row = std::to_string(l.load) + "," + std::to_string(l.step) + "," + l.date +
                          "," + number(l.requested_e, 4) + "," + number(l.requested_n, 4) + "," +
                          number(l.e, 4) + "," + number(l.n, 4) + "," + exact(l.volume_cy) + "," +
                          exact(l.released_cuft) + "," + exact(l.settled_cuft) + "," +
                          exact(l.added_cy) + "," + exact(l.suspended_cuft) + "," +
                          exact(l.carried_out_cuft) + "," + status_word(l.status) + "," +
                          exact(static_cast<double>(l.bottom_shear));
        for (std::size_t i = 0; i < names.size(); ++i) {
            const bool known = i < l.fractions.size();
            row += "," + exact(known ? l.fractions[i].settled_cuft : 0.0) + "," +
                   exact(known ? l.fractions[i].suspended_cuft : 0.0);
        }
        lines.push_back(row);
    }
    return write_lines(path, lines);
}

bool read_balance_csv(const std::string& path, std::vector<LoadBalance>& loads) {
    loads.clear();
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    if (!std::getline(in, line)) return false;
    const std::vector<std::string> head = split_csv(line);
    std::map<std::string, std::size_t> at;
    for (std::size_t i = 0; i < head.size(); ++i) at[head[i]] = i;
    for (const std::string& c : balance_csv_columns())
        if (at.count(c) == 0) return false;
    std::vector<std::string> fraction_names;
    for (const std::string& h : head)
        if (h.rfind("settled_cuft_", 0) == 0) fraction_names.push_back(h.substr(13));
    long row = 1;
    while (std::getline(in, line)) {
        ++row;
        if (line.empty()) continue;
        const std::vector<std::string> cells = split_csv(line);
        auto cell = [&](const std::string& c) -> std::string {
            const std::size_t i = at.at(c);
            return i < cells.size() ? cells[i] : std::string();
        };
        auto num = [&](const std::string& c) { return csv_number(path, row, c, cell(c)); };
        LoadBalance l;
        l.load = static_cast<std::int32_t>(num("load"));
        l.step = static_cast<std::int32_t>(num("step"));
        l.date = cell("date");
        l.requested_e = num("requested_easting");
        l.requested_n = num("requested_northing");
        l.e = num("easting");
        l.n = num("northing");
        l.volume_cy = num("volume_cy");
        l.released_cuft = num("solids_released_cuft");
        l.settled_cuft = num("solids_settled_cuft");
        l.added_cy = num("added_to_site_cy");
        l.suspended_cuft = num("suspended_cuft");
        l.carried_out_cuft = num("carried_out_cuft");
        const std::string s = cell("status");
        if (s == "placed")
            l.status = LoadStatus::Placed;
        else if (s == "refused")
            l.status = LoadStatus::Refused;
        else if (s == "failed")
            l.status = LoadStatus::Failed;
        else
            throw recio::RecordError(path + ", ROW " + std::to_string(row) + ", COLUMN status: \"" +
                                     s + "\" IS NOT placed, refused OR failed");
        if (at.count("dump_bottom_shear_lbft2"))
            l.bottom_shear = static_cast<float>(num("dump_bottom_shear_lbft2"));
        for (const std::string& name : fraction_names) {
            FractionFate f;
            f.name = name;
            if (at.count("settled_cuft_" + name)) f.settled_cuft = num("settled_cuft_" + name);
            if (at.count("suspended_cuft_" + name))
                f.suspended_cuft = num("suspended_cuft_" + name);
            l.fractions.push_back(f);
        }
        loads.push_back(l);
    }
    return true;
}

std::vector<std::string> balance_text(const BalanceReport& r) {
    std::vector<std::string> t;
    t.push_back("MATERIAL BALANCE OF THE PLACEMENT RUN " + r.output + " AT SITE " + r.site);
    if (r.seeded) t.push_back("SEED OF THE RANDOM SCATTER: " + std::to_string(r.seed));
    t.emplace_back();
    t.push_back("LOADS (SOLIDS IN CU FT, VOLUMES ON THE SITE IN CU YD)");
    t.push_back(
        " LOAD  STEP DATE              REQUESTED E   REQUESTED N        EASTING      NORTHING"
        "   VOLUME     RELEASED      SETTLED    SUSPENDED  CARRIED OUT  ADDED(CY)  STATUS");
    if (r.loads.empty()) t.push_back("  NONE (NO LOADS WERE MADE)");
    for (const LoadBalance& l : r.loads) {
        char buf[320];
        std::snprintf(buf, sizeof buf,
                      "%5d %5d %-16s %13.4f %13.4f %14.4f %13.4f %8.0f %12.1f %12.1f %12.1f "
                      "%12.1f %10.1f  %s",
                      static_cast<int>(l.load), static_cast<int>(l.step), l.date.c_str(),
                      l.requested_e, l.requested_n, l.e, l.n, l.volume_cy, l.released_cuft,
                      l.settled_cuft, l.suspended_cuft, l.carried_out_cuft, l.added_cy,
                      status_word(l.status));
        t.emplace_back(buf);
        for (const FractionFate& f : l.fractions) {
            std::snprintf(buf, sizeof buf,
                          "%29s %-8s released %12.1f settled %12.1f suspended %12.1f", "",
                          f.name.c_str(), f.released_cuft, f.settled_cuft, f.suspended_cuft);
            t.emplace_back(buf);
        }
    }
    t.emplace_back();
    t.push_back("LONG-TERM RUNS (VOLUMES IN CU YD)");
    if (r.long_term.empty()) t.push_back("  NONE (NO LONG-TERM FORCING)");
    for (const LongTermBalance& lt : r.long_term) {
        char buf[320];
        std::snprintf(buf, sizeof buf,
                      "  HOURS %6d TO %6d: NET %12.1f  ERODED %12.1f  DEPOSITED %12.1f  HELD "
                      "BACK BY THE BASE %12.1f  CONSOLIDATED %12.1f  SETTLEMENT %7.3f FT  "
                      "LARGEST LOWERING AWAY FROM THE MOUND %7.3f FT  CENTROID SHIFT %9.2f FT%s",
                      static_cast<int>(lt.start_hour), static_cast<int>(lt.end_hour), lt.net_cy,
                      lt.eroded_cy, lt.deposited_cy, lt.held_back_cy, lt.consolidated_cy,
                      static_cast<double>(lt.settlement_ft),
                      static_cast<double>(lt.far_lowering_ft), lt.centroid_shift_ft,
                      lt.failed ? "  FAILED (NO GRID TAKEN BACK)" : "");
        t.emplace_back(buf);
    }
    t.emplace_back();
    t.push_back("WARNINGS");
    if (r.warnings.empty()) t.push_back("  NONE");
    for (const std::string& w : r.warnings) t.push_back("  " + w);
    t.emplace_back();
    t.push_back(TOTALS_HEAD);
    for (const auto& [name, value] : r.totals.values) t.push_back(name + " = " + exact(value));
    return t;
}

bool write_balance_text(const std::string& path, const BalanceReport& r) {
    return write_lines(path, balance_text(r));
}

bool read_balance_totals(const std::string& path, BalanceTotals& totals) {
    totals.values.clear();
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    bool in_totals = false;
    long record = 0;
    while (std::getline(in, line)) {
        ++record;
        if (!in_totals) {
            in_totals = line == TOTALS_HEAD;
            continue;
        }
        const std::size_t eq = line.find(" = ");
        if (eq == std::string::npos) continue;
        totals.values.emplace_back(
            line.substr(0, eq), csv_number(path, record, line.substr(0, eq), line.substr(eq + 3)));
    }
    return in_totals;
}

bool read_balance_warnings(const std::string& path, std::vector<std::string>& warnings) {
    warnings.clear();
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    bool found = false;
    while (std::getline(in, line)) {
        if (!found) {
            found = line == "WARNINGS";
            continue;
        }
        if (line.empty()) break;
        if (line != "  NONE") warnings.push_back(line.substr(line.find_first_not_of(' ')));
    }
    return found;
}

bool write_bed_held(const std::string& path, double cuft) {
    recio::RecordWriter out(path);
    if (!out.is_open()) return false;
    out.write("(F16.3)", cuft);
    return out.close();
}

bool read_bed_held(const std::string& path, double& cuft) {
    cuft = 0;
    try {
        recio::RecordReader in(path);
        return in.is_open() && in.read("(F16.3)", cuft);
    } catch (const recio::RecordError&) {
        return false;
    }
}

bool write_settlement(const std::string& path, const Settlement& s) {
    recio::RecordWriter out(path);
    if (!out.is_open()) return false;
    out.write(SETTLEMENT_RECORD, s.settlement_ft, s.volume_cuft);
    return out.close();
}

bool read_settlement(const std::string& path, Settlement& s) {
    s = {};
    try {
        recio::RecordReader in(path);
        if (in.is_open() && in.read(SETTLEMENT_RECORD, s.settlement_ft, s.volume_cuft)) return true;
    } catch (const recio::RecordError&) {
    }
    s = {};
    return false;
}

}  // namespace suitefiles
