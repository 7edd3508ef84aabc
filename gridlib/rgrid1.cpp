// RGRID1: reads a site grid file (.IN).
#include <algorithm>

#include "gridlib/layout.hpp"
#include "gridlib/sitegrid.hpp"
#include "recio/records.hpp"

namespace gridlib {
namespace {

// Records 1 to 11: each value from the columns its writer puts it in.
constexpr const char* GRID_HEADER =
    "(/,9X,I5,/,/,14X,I3,/,/,14X,I3,/,44X,I4,/,47X,F5.1,/,22X,I3,/,19X,F8.3,/,20X,2F12.4)";
constexpr const char* GRID_DEPTHS = "(26F8.3)";

GridRead read_grid(std::string_view file_name, SiteGrid& grid, bool with_depths) {
    std::string name = trimmed(file_name);
    if (with_depths) std::fill(grid.depth.begin(), grid.depth.end(), 0.0f);
    recio::RecordReader in(name);
    if (!in.is_open()) {
        GridRead r{GRID_MISSING, {}};
        r.report.missing_grid = name;
        return r;
    }
    // GRID1 fills every field: a record that ends inside one was cut short,
    // and its missing depths must not read as zeros.
    in.require_whole_fields();
    SiteGrid h = grid;
    try {
        in.need(GRID_HEADER, h.total_points, h.points_ns, h.points_we, h.interval, h.rotation,
                h.coord_system, h.datum, h.local_nw_e, h.local_nw_n);
        std::string fault = layout::header_fault(h, name);
        if (!fault.empty()) {
            return {GRID_UNREADABLE, {"", {fault}}};
        }
        if (with_depths) {
            if (!in.skip(3))
                throw recio::RecordError("UNEXPECTED END OF FILE " + name + " AFTER RECORD 11");
            in.need(GRID_DEPTHS,
                    recio::array(h.depth.data(), static_cast<std::size_t>(h.total_points)));
        }
    } catch (const recio::RecordError& e) {
        if (with_depths) std::fill(grid.depth.begin(), grid.depth.end(), 0.0f);
        return {GRID_UNREADABLE, {"", {e.what()}}};
    }
    grid = std::move(h);
    return {};
}

}  // namespace

namespace layout {

std::string header_fault(const SiteGrid& g, const std::string& name) {
    const std::string file = "GRID FILE " + name;
    if (g.total_points > MAXPTS)
        return (name.empty() ? std::string("THE GRID") : file) + " HOLDS " +
               std::to_string(g.total_points) + " POINTS, MORE THAN " + std::to_string(MAXPTS);
    if (g.points_ns <= 0 || g.points_we <= 0 ||
        g.total_points != static_cast<std::int32_t>(g.points_ns) * g.points_we)
        return (name.empty() ? std::string() : file + " RECORDS 2-6: ") +
               std::to_string(g.total_points) + " POINTS DO NOT MATCH " +
               std::to_string(g.points_ns) + " ROWS x " + std::to_string(g.points_we) + " COLUMNS";
    if (g.interval <= 0)
        return (name.empty() ? std::string() : file + " RECORD 7: ") +
               "THE INTERVAL MUST BE POSITIVE";
    return {};
}

}  // namespace layout

GridRead RGRID1(std::string_view file_name, SiteGrid& grid) {
    return read_grid(file_name, grid, true);
}

GridRead RGRID1_HEADER(std::string_view file_name, SiteGrid& grid) {
    return read_grid(file_name, grid, false);
}

}  // namespace gridlib
