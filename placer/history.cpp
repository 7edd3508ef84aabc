#include "placer/history.hpp"

#include <algorithm>

#include "placer/fields.hpp"
#include "placer/setup.hpp"
#include "recio/console.hpp"
#include "recio/records.hpp"
#include "suitefiles/geometry.hpp"
#include "suitefiles/plotbath.hpp"
#include "suitefiles/tns.hpp"

namespace placer {

void SiteHistory::begin(std::int32_t points_we, std::int32_t points_ns, std::int32_t interval,
                        std::int32_t start_month, std::int32_t start_year,
                        const std::vector<float>& depth) {
    h_ = suitefiles::History{};
    h_.points_we = points_we;
    h_.points_ns = points_ns;
    h_.interval = interval;
    h_.start_month = start_month;
    h_.start_year = start_year;
    add(suitefiles::SnapshotKind::Start, 0, depth);
}

std::int32_t SiteHistory::last_hours() const {
    return h_.snapshots.empty() ? 0 : h_.snapshots.back().hours;
}

void SiteHistory::add(suitefiles::SnapshotKind kind, std::int32_t hours,
                      const std::vector<float>& depth) {
    suitefiles::Snapshot s;
    s.kind = kind;
    s.hours = std::max(hours, last_hours());
    s.date = suitefiles::history_date(h_.start_month, h_.start_year, s.hours);
    const auto n = static_cast<std::size_t>(h_.points_we) * static_cast<std::size_t>(h_.points_ns);
    s.depth.assign(depth.begin(), depth.begin() + static_cast<std::ptrdiff_t>(n));
    h_.snapshots.push_back(std::move(s));
}

void SiteHistory::add_long_term_outputs(const std::string& tns, const std::string& plotbath,
                                        const std::vector<float>& before, const DepthForm& form,
                                        const LongTermFrame& frame) {
    const suitefiles::LatticeSize size =
        suitefiles::lattice_size(frame.site.points_we, frame.site.points_ns);
    const auto values = static_cast<std::size_t>(size.nx) * static_cast<std::size_t>(size.ny);
    float cell = 0.0f;
    suitefiles::PlotBathSeries series;
    try {
        recio::RecordReader t(tns);
        recio::RecordReader p(plotbath);
        if (!t.is_open() || !p.is_open()) return;
        cell = suitefiles::read_tns_cell_size(t);
        series = suitefiles::read_plotbath(p, values);
    } catch (const recio::RecordError&) {
        return;  // the read-back has kept the depths and said why
    }
    WorkGrid work;
    Lattice lattice;
    const std::int32_t total = frame.site.total_points;
    for (std::size_t g = 0; g < series.grids.size(); ++g) {
        const suitefiles::PlotBathGrid& grid = series.grids[g];
        const bool last = g + 1 == series.grids.size();
        if (!last && grid.hours <= last_hours()) continue;
        // A grid the site files could not hold is not the site's (the
        // read-back refuses it too).
        if (!std::all_of(grid.depth.begin(), grid.depth.end(),
                         [](float d) { return fits(d, DEPTH_FIELD); }))
            continue;
        for (std::int32_t i = 1; i <= size.nx; ++i)
            for (std::int32_t j = 1; j <= size.ny; ++j)
                work.at(i, j) = grid.depth[static_cast<std::size_t>((i - 1) * size.ny + (j - 1))];
        std::vector<float> depth = before;
        put_long_term_grid(work, size.nx, size.ny, cell, frame, lattice, depth);
        if (form.base) from_thickness_form(depth, *form.base, form.ref_depth, total);
        add(suitefiles::SnapshotKind::LongTermOutput, grid.hours, depth);
    }
}

bool SiteHistory::store(const std::string& path, recio::FileSet& set) const {
    recio::RecordWriter out;
    if (out.open(set.stage(path), recio::RecordWriter::Mode::Staged) &&
        suitefiles::write_history(out, h_))
        return true;
    recio::console_list("COULD NOT WRITE", " " + path);
    return false;
}

}  // namespace placer
