// The site's history through a placement run, kept for <output>.HIS: the
// site at the start, after every disposal week, at every long-term output
// and as finally stored, always in site depths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "placer/kernels.hpp"
#include "recio/file_set.hpp"
#include "suitefiles/history.hpp"

namespace placer {

// The form the site depths are in while the long-term model works: site
// depths, or the thickness form over a base surface (cohesive runs).
struct DepthForm {
    const std::vector<float>* base = nullptr;  // the base surface; null for site depths
    float ref_depth = 0;
};

class SiteHistory {
  public:
    // Starts the history with the site the activity begins on; dates count
    // from the first day of the start month.
    void begin(std::int32_t points_we, std::int32_t points_ns, std::int32_t interval,
               std::int32_t start_month, std::int32_t start_year, const std::vector<float>& depth);
    // A snapshot at `hours` (held at the last snapshot's time if earlier, so
    // that the history runs forward) of site depths.
    void add(suitefiles::SnapshotKind kind, std::int32_t hours, const std::vector<float>& depth);
    // Every grid the long-term run just made (PLOTBATH.DAT) that lies after
    // the last snapshot, and always its last grid, put onto the site's points
    // like the read-back does and turned back into site depths. `before` are
    // the depths the run started from, in `form`. A file that cannot be read
    // adds nothing (the read-back has said so on the console), nor does a
    // grid with a depth beyond the site files' F8.3.
    void add_long_term_outputs(const std::string& tns, const std::string& plotbath,
                               const std::vector<float>& before, const DepthForm& form,
                               const LongTermFrame& frame);
    std::int32_t last_hours() const;

    // Stages <output>.HIS in the run's set of output files; false (on the
    // console) if it cannot be written.
    bool store(const std::string& path, recio::FileSet& set) const;

  private:
    suitefiles::History h_;
};

}  // namespace placer
