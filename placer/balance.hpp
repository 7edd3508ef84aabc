// The material balance of a placement run: what each load released, what
// settled on the fate grid and what the site grid gained, what each
// long-term run moved, and the activity's totals and warnings, written to
// <output>.BAL and <output>.CSV (suitefiles/balance.hpp) and summed up on
// the console at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "placer/control.hpp"
#include "placer/site.hpp"
#include "suitefiles/balance.hpp"

namespace placer {

// What the fate model's listing says of one load: per fraction the solids
// settled and still suspended at the end of its long-term phase, and the
// bottom shear stress at the dump cell (negative when not found).
struct FateListing {
    bool read = false;  // the listing holds a summary of every fraction
    std::vector<suitefiles::FractionFate> fractions;
    float dump_shear = -1.0f;
};
FateListing read_fate_listing(const std::string& path, const DumpControl& c);

// Solids of each fraction in one load (cu ft): the load volume times the
// fraction's volumetric concentration.
std::vector<suitefiles::FractionFate> released_solids(const DumpControl& c);

// "YYYY-MM-DD HH:MM" of a 3-hour time step counted from the first day of
// the start month.
std::string step_date(std::int32_t start_month, std::int32_t start_year, std::int32_t step);

// Bulk volume (CY) between two depth grids of a site: positive where
// `after` is shallower.
double volume_gained(const std::vector<float>& before, const std::vector<float>& after,
                     const SiteFrame& site);

struct Balance {
    suitefiles::BalanceReport report;
    std::vector<float> start_depth;  // the site's depths when the run began
    std::vector<float> before;       // depths before the load or long-term run in hand
    std::int32_t lt_start_hour = 0;
};

void balance_begins(Balance& b, const DumpControl& c, const std::vector<float>& depth,
                    const std::uint32_t* seed);
// Remembers the depths before a load's deposit is added.
void load_begins(Balance& b, const std::vector<float>& depth);
// One load made: its position, the figures of its fate run (none for a
// refused load) and the volume the site grid gained.
void load_ends(Balance& b, const DumpControl& c, const SiteFrame& site,
               const std::vector<float>& depth, std::int32_t step, suitefiles::Position requested,
               suitefiles::Position actual, suitefiles::LoadStatus status, const FateListing& fate);
// What the long-term model reports of its run beside its grid: the erosion
// its non-erodible bed held back (BEDHELD.DAT) and the consolidation
// settlement (SETTLED.DAT); zeros where it wrote no such file.
struct LongTermFigures {
    double held_back_cy = 0;
    double settlement_ft = 0, consolidated_cy = 0;
};
// Removes the files of an earlier run, so that a run that writes none is not
// credited with its figures.
void clear_long_term_figures();
LongTermFigures read_long_term_figures();

void long_term_begins(Balance& b, const std::vector<float>& depth, std::int32_t start_step);
// `hours`: the elapsed hours the read-back returned (0: it found no grid).
void long_term_ends(Balance& b, const SiteFrame& site, const std::vector<float>& depth,
                    std::int32_t hours, std::int32_t end_step, const LongTermFigures& figures);
// The totals and warnings once the final grid stands (`loads_asked` 0 for a
// long-term run alone).
void balance_ends(Balance& b, const DumpControl& c, const SiteFrame& site,
                  const std::vector<float>& depth, std::int32_t loads_asked);

// True when scripts should hear of losses: loads refused, fate or long-term runs failed.
bool had_losses(const Balance& b);

bool write_balance(const Balance& b, const std::string& bal, const std::string& csv);
// The short overview that ends the console output (`bal`: where the balance was written).
void balance_overview(const Balance& b, const std::string& bal);

}  // namespace placer
