// The placement summary (.ACT), the lateral-tolerance test and the
// run-length file (.TIM).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "placer/control.hpp"
#include "placer/site.hpp"
#include "suitefiles/placement_files.hpp"

namespace placer {

// Loads placed beyond the site's lateral boundary tolerance: up to 500
// entries of (dump number within its week, feet beyond the tolerance line);
// once 500 are held, a further entry replaces the 500th.
struct LateralList {
    static constexpr std::size_t CAPACITY = 500;
    std::vector<std::pair<std::int16_t, std::int32_t>> entries;
    bool any_outside = false;

    // Tests the actual position (E, N) of a load against the site centre and
    // half-extents less the tolerance.
    void test(std::int16_t dump_in_week, float e, float n, float centre_e, float centre_n,
              std::int32_t we_extent, std::int32_t ns_extent, std::int16_t tolerance,
              const Scale& sc);
};

class PlacementReport {
  public:
    bool open(const std::string& path);
    bool is_open() const { return out_.is_open(); }
    void header(const DumpControl& c);
    // One load, placed or refused: dumps remaining, load volume and the
    // actual position; a refused load's line carries the refusal marker.
    void load_line(std::int16_t remaining, float volume, float e, float n, bool refused = false);
    // Continuation page 1: grid points whose depth (truncated) is at most the navigable depth.
    void navigable_page(const SiteFrame& site, const std::vector<float>& depth,
                        std::int16_t navigable);
    // Continuation page 2: loads outside the lateral boundary tolerance.
    void lateral_page(const LateralList& list, std::int16_t tolerance);
    bool close() { return out_.close(); }

  private:
    suitefiles::PlacementSummaryWriter out_;
};

// The run-length file: one record (5I7) with the elapsed hours of the last
// long-term read-back.
bool write_run_length(const std::string& path, std::int16_t hours);

}  // namespace placer
