// The material balance of a placement run, written by placer beside its
// placement summary:
//   .BAL  text for a person: one block per load, one per long-term run, the
//         activity's totals and warnings, and a closing "# totals" section of
//         `name = value` lines (read by read_balance_totals)
//   .CSV  one row per load under a header row of column names (read by
//         read_balance_csv, which finds the columns by their names)
// Solids are cubic feet of grains (the fate model's unit), bulk volumes on
// the site grid cubic yards.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace suitefiles {

enum class LoadStatus { Placed, Refused, Failed };
const char* status_word(LoadStatus s);  // "placed", "refused", "failed"

// What became of one solids fraction of a load in the fate run.
struct FractionFate {
    std::string name;
    double released_cuft = 0, settled_cuft = 0, suspended_cuft = 0;
    float taucd = 0;  // its critical shear stress for deposition (lb/ft2)
};

struct LoadBalance {
    std::int32_t load = 0;  // 1.. in the order made
    std::int32_t step = 0;  // 3-hour time step index
    std::string date;       // YYYY-MM-DD HH:MM of the time step
    double requested_e = 0, requested_n = 0, e = 0, n = 0;
    double volume_cy = 0;
    double released_cuft = 0;  // solids of the load
    double settled_cuft = 0;   // solids settled on the fate grid
    double added_cy = 0;       // bulk volume the deposit added to the site grid
    // Solids still in suspension when the fate run ended, and solids the
    // fate run lost track of (carried out of its grid): released less
    // settled less suspended.
    double suspended_cuft = 0, carried_out_cuft = 0;
    float bottom_shear = 0;  // bottom shear stress of the dump cell (lb/ft2), 0 unknown
    LoadStatus status = LoadStatus::Placed;
    std::vector<FractionFate> fractions;
};

struct LongTermBalance {
    std::int32_t start_hour = 0, end_hour = 0;
    double net_cy = 0;             // volume gained by the site (negative: lost)
    double eroded_cy = 0;          // sum of the lowering over points that were lowered
    double deposited_cy = 0;       // sum of the rise over points that rose
    double held_back_cy = 0;       // erosion that the non-erodible base bed held back
    float settlement_ft = 0;       // consolidation settlement under the mound's centroid
    double consolidated_cy = 0;    // volume the site lost to consolidation
    float far_lowering_ft = 0;     // largest lowering at a point with no placed material
    double centroid_shift_ft = 0;  // shift of the placed material's centroid
    bool failed = false;           // the run left no grid to take back
};

// The activity's figures in `name = value` form, in the order written.
struct BalanceTotals {
    std::vector<std::pair<std::string, double>> values;
    void set(const std::string& name, double v);
    // The value of `name`; `fallback` when there is none.
    double get(const std::string& name, double fallback = 0) const;
};

// The CSV header row's column names, in order (fraction columns follow).
const std::vector<std::string>& balance_csv_columns();

bool write_balance_csv(const std::string& path, const std::vector<LoadBalance>& loads);
// Reads the rows back; false when the file cannot be opened or has no
// header row naming the columns; throws recio::RecordError naming the row
// and column of a value that cannot be read.
bool read_balance_csv(const std::string& path, std::vector<LoadBalance>& loads);

struct BalanceReport {
    std::string site, output;
    std::uint32_t seed = 0;
    bool seeded = false;  // a random scatter was used
    std::vector<LoadBalance> loads;
    std::vector<LongTermBalance> long_term;
    BalanceTotals totals;
    std::vector<std::string> warnings;
};

// The person's text; the closing "# totals" section holds `totals`.
std::vector<std::string> balance_text(const BalanceReport& r);
bool write_balance_text(const std::string& path, const BalanceReport& r);
// The "# totals" section of a .BAL file; false when the file cannot be opened
// or has no such section.
bool read_balance_totals(const std::string& path, BalanceTotals& totals);
// The warnings of a balance text file, one per line, as the run gave them;
// false when the file cannot be read or has no WARNINGS section.
bool read_balance_warnings(const std::string& path, std::vector<std::string>& warnings);

// BEDHELD.DAT, written by the long-term model when its control file asks for
// a non-erodible bed: one record (F16.3), the volume (cu ft) of erosion that
// the bed held back over the run.
bool write_bed_held(const std::string& path, double cuft);
// False when there is no such file (no bed was asked for) or it cannot be read.
bool read_bed_held(const std::string& path, double& cuft);

// SETTLED.DAT, written by the long-term model at the end of every run of
// cohesive material (the runs that consolidate): one record (F16.3,F16.3),
//   settlement under the mound's centroid at the end of the run (ft)
//   volume (cu ft) by which consolidation lowered the grid over the run
struct Settlement {
    double settlement_ft = 0;
    double volume_cuft = 0;
};
bool write_settlement(const std::string& path, const Settlement& s);
// False (and zeros) when there is no such file (the run did not consolidate)
// or it cannot be read.
bool read_settlement(const std::string& path, Settlement& s);

}  // namespace suitefiles
