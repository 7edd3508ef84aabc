// RBATH: inverse-distance adaptation of a survey to the site grid.
#include "sitegen/survey.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace survey {

using gridlib::SiteGrid;
using suitefiles::FEET_PER_DEGREE;

// ---- the survey file

void Batch::add(float east, float north, float depth) {
    e.push_back(east);
    n.push_back(north);
    d.push_back(std::fabs(depth));
}

bool SurveyReader::open(const std::string& path) {
    return in_.open(path);
}

std::size_t SurveyReader::next_batch(Batch& batch, std::size_t capacity) {
    batch.clear();
    suitefiles::SurveyPoint p;
    while (batch.size() < capacity && suitefiles::read_survey_point(in_, order_, p))
        batch.add(p.east, p.north, p.depth);
    return batch.size();
}

// ---- the adaptation

Frame make_frame(const SiteGrid& grid, float site_nw_e, float site_nw_n, std::int32_t spacing) {
    Frame f;
    const suitefiles::Rotation rot =
        suitefiles::rotation_of(grid.rotation, grid.coord_system, site_nw_n);
    f.geographic = grid.coord_system == 2;
    f.cl = rot.cl;
    f.radius = 2.0f * static_cast<float>(std::max<std::int32_t>(spacing, grid.interval));
    const std::int32_t total = std::clamp<std::int32_t>(
        grid.total_points, 0, static_cast<std::int32_t>(grid.depth.size()));
    f.ge.resize(static_cast<std::size_t>(total));
    f.gn.resize(static_cast<std::size_t>(total));
    const suitefiles::SiteGeometry site = gridlib::geometry_of(grid, site_nw_e, site_nw_n);
    for (std::int32_t i = 1; i <= total; ++i) {
        const suitefiles::Position p = suitefiles::site_position(site, rot, i);
        f.ge[static_cast<std::size_t>(i - 1)] = p.e;
        f.gn[static_cast<std::size_t>(i - 1)] = p.n;
    }
    return f;
}

namespace {

// Indices of the batch's survey points deep enough to be used, in file order.
std::vector<std::int32_t> usable_points(const Batch& batch) {
    std::vector<std::int32_t> used;
    used.reserve(batch.size());
    for (std::size_t s = 0; s < batch.size(); ++s)
        if (batch.d[s] >= MIN_DEPTH) used.push_back(static_cast<std::int32_t>(s));
    return used;
}

}  // namespace

std::int32_t adapt_batch_plain(const Frame& frame, const Batch& batch, std::vector<float>& depth,
                               std::vector<std::uint8_t>* reached) {
    const std::vector<std::int32_t> used = usable_points(batch);
    const double radius = static_cast<double>(frame.radius);
    std::int32_t adapted = 0;
    for (std::size_t i = 0; i < frame.points(); ++i) {
        Candidates c;
        for (std::int32_t s : used) {
            const std::size_t k = static_cast<std::size_t>(s);
            const double d = rule_distance(frame, frame.ge[i], frame.gn[i], batch.e[k], batch.n[k]);
            if (d < radius) c.offer(d, batch.d[k]);
        }
        if (c.held == 0) continue;
        depth[i] = c.weighted_depth();
        if (reached) (*reached)[i] = 1;
        ++adapted;
    }
    return adapted;
}

// Bucket coordinates of a position, in feet along the site's axes. Two
// positions whose rule distance is below R differ here by less than R along
// each axis, up to the rounding of the rule's single-precision differences
// (a few parts in 10^7), which the bucket width allows for.
bool SurveyIndex::key(float e, float n, double& x, double& y) const {
    x = static_cast<double>(e);
    y = static_cast<double>(n);
    if (frame_.geographic) {
        x = x * static_cast<double>(frame_.cl) * static_cast<double>(FEET_PER_DEGREE);
        y = y * static_cast<double>(FEET_PER_DEGREE);
    }
    return std::isfinite(x) && std::isfinite(y);
}

SurveyIndex::SurveyIndex(const Frame& frame) : frame_(frame), cand_(frame.points()) {
    // A rule distance below R needs both axis differences below max(R, 2)
    // (a difference below 2 ft counts as 1).
    const double reach = std::max(static_cast<double>(frame.radius), 2.0);
    usable_ =
        std::isfinite(reach) && (!frame.geographic || (frame.cl > 0.0f && std::isfinite(frame.cl)));
    if (!usable_) return;
    cell_ = reach * (1.0 + 1e-5) + 1.0;

    const std::size_t n = frame.points();
    std::vector<double> x(n), y(n);
    std::vector<std::uint8_t> finite(n, 0);
    double x_lo = 0, x_hi = 0, y_lo = 0, y_hi = 0;
    bool any = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (!key(frame.ge[i], frame.gn[i], x[i], y[i]))
            continue;  // the rule never reaches such a point
        finite[i] = 1;
        if (!any) {
            x_lo = x_hi = x[i];
            y_lo = y_hi = y[i];
            any = true;
        }
        x_lo = std::min(x_lo, x[i]);
        x_hi = std::max(x_hi, x[i]);
        y_lo = std::min(y_lo, y[i]);
        y_hi = std::max(y_hi, y[i]);
    }
    if (!any) {
        nx_ = ny_ = 0;
        start_.assign(1, 0);
        return;
    }
    // Wider buckets are as exact, only slower: keep the lattice of a sane size.
    constexpr double MAX_BUCKETS = 4.0e6;
    while (((x_hi - x_lo) / cell_ + 1.0) * ((y_hi - y_lo) / cell_ + 1.0) > MAX_BUCKETS)
        cell_ *= 2.0;
    x0_ = x_lo;
    y0_ = y_lo;
    nx_ = static_cast<std::int64_t>(std::floor((x_hi - x_lo) / cell_)) + 1;
    ny_ = static_cast<std::int64_t>(std::floor((y_hi - y_lo) / cell_)) + 1;

    const std::size_t buckets = static_cast<std::size_t>(nx_ * ny_);
    std::vector<std::int64_t> bucket_of(n, -1);
    start_.assign(buckets + 1, 0);
    for (std::size_t i = 0; i < n; ++i) {
        if (!finite[i]) continue;
        const std::int64_t bx = std::min<std::int64_t>(
            nx_ - 1, static_cast<std::int64_t>(std::floor((x[i] - x0_) / cell_)));
        const std::int64_t by = std::min<std::int64_t>(
            ny_ - 1, static_cast<std::int64_t>(std::floor((y[i] - y0_) / cell_)));
        bucket_of[i] = by * nx_ + bx;
        ++start_[static_cast<std::size_t>(bucket_of[i]) + 1];
    }
    for (std::size_t b = 0; b < buckets; ++b) start_[b + 1] += start_[b];
    std::vector<std::int32_t> fill(start_.begin(), start_.end() - 1);
    const std::size_t slots = static_cast<std::size_t>(start_[buckets]);
    point_.resize(slots);
    se_.resize(slots);
    sn_.resize(slots);
    for (std::size_t i = 0; i < n; ++i) {
        if (bucket_of[i] < 0) continue;
        const std::size_t slot =
            static_cast<std::size_t>(fill[static_cast<std::size_t>(bucket_of[i])]++);
        point_[slot] = static_cast<std::int32_t>(i);
        se_[slot] = frame.ge[i];
        sn_[slot] = frame.gn[i];
    }
}

std::int32_t SurveyIndex::adapt_batch(const Batch& batch, std::vector<float>& depth,
                                      std::vector<std::uint8_t>* reached) {
    if (!usable_) return adapt_batch_plain(frame_, batch, depth, reached);
    const double radius = static_cast<double>(frame_.radius);
    touched_.clear();
    for (std::size_t s = 0; s < batch.size(); ++s) {
        const float sd = batch.d[s];
        if (!(sd >= MIN_DEPTH)) continue;
        const float se = batch.e[s], sn = batch.n[s];
        double x, y;
        if (!key(se, sn, x, y)) continue;
        const double fx = std::floor((x - x0_) / cell_), fy = std::floor((y - y0_) / cell_);
        if (fx < -1.0 || fy < -1.0 || fx > static_cast<double>(nx_) ||
            fy > static_cast<double>(ny_))
            continue;
        const std::int64_t bx = static_cast<std::int64_t>(fx), by = static_cast<std::int64_t>(fy);
        const std::int64_t x_from = std::max<std::int64_t>(0, bx - 1),
                           x_to = std::min(nx_ - 1, bx + 1);
        const std::int64_t y_from = std::max<std::int64_t>(0, by - 1),
                           y_to = std::min(ny_ - 1, by + 1);
        for (std::int64_t row = y_from; row <= y_to; ++row) {
            const std::size_t first =
                static_cast<std::size_t>(start_[static_cast<std::size_t>(row * nx_ + x_from)]);
            const std::size_t last =
                static_cast<std::size_t>(start_[static_cast<std::size_t>(row * nx_ + x_to + 1)]);
            for (std::size_t slot = first; slot < last; ++slot) {
                const double d = rule_distance(frame_, se_[slot], sn_[slot], se, sn);
                if (!(d < radius)) continue;
                const std::size_t g = static_cast<std::size_t>(point_[slot]);
                if (cand_[g].held == 0) touched_.push_back(point_[slot]);
                cand_[g].offer(d, sd);
            }
        }
    }
    for (std::int32_t g : touched_) {
        Candidates& c = cand_[static_cast<std::size_t>(g)];
        depth[static_cast<std::size_t>(g)] = c.weighted_depth();
        if (reached) (*reached)[static_cast<std::size_t>(g)] = 1;
        c.held = 0;
    }
    return static_cast<std::int32_t>(touched_.size());
}

Outcome RBATH(const SurveySpec& source, SiteGrid& grid, float site_nw_e, float site_nw_n) {
    Outcome out;
    SurveyReader reader;
    if (!reader.open(gridlib::trimmed(source.file))) return out;
    out.file_found = true;
    std::array<Quantity, 3> order;
    if (!column_order(source.columns, order)) return out;
    out.columns_known = true;
    reader.set_order(order);

    const Frame frame = make_frame(grid, site_nw_e, site_nw_n, source.spacing);
    SurveyIndex index(frame);
    std::vector<std::uint8_t> reached(frame.points(), 0);
    Batch batch;
    batch.e.reserve(BATCH_POINTS);
    batch.n.reserve(BATCH_POINTS);
    batch.d.reserve(BATCH_POINTS);
    std::size_t held;
    do {
        held = reader.next_batch(batch);
        if (held == 0) break;
        ++out.batches;
        out.points_read += static_cast<std::int64_t>(held);
        out.points_used += static_cast<std::int64_t>(usable_points(batch).size());
        index.adapt_batch(batch, grid.depth, &reached);
    } while (held == BATCH_POINTS);
    out.grid_points_reached =
        static_cast<std::int32_t>(std::count(reached.begin(), reached.end(), 1));
    return out;
}

std::vector<std::string> why_nothing_adapted(const Outcome& s, const SurveySpec& source,
                                             std::int16_t interval) {
    if (s.grid_points_reached > 0) return {};
    const std::string file = gridlib::trimmed(source.file);
    if (!s.file_found) return {"THE SURVEY FILE " + file + " WAS NOT FOUND"};
    if (!s.columns_known) return {"THE SURVEY COLUMNS OF " + file + " ARE NOT RECOGNISED"};
    if (s.points_read == 0) return {"THE SURVEY FILE " + file + " HOLDS NO POINT"};
    if (s.points_used == 0) return {"NO SURVEY POINT OF " + file + " HAS A DEPTH OF AT LEAST 1 FT"};
    const float radius =
        2.0f * static_cast<float>(std::max<std::int32_t>(source.spacing, interval));
    char r[32];
    std::snprintf(r, sizeof r, "%.1f", static_cast<double>(radius));
    return {"NO SURVEY POINT LIES WITHIN REACH OF THE GRID",
            "(" + std::to_string(s.points_used) +
                " SURVEY POINTS OF AT LEAST 1 FT; NONE LIES WITHIN THE SEARCH RADIUS OF " + r +
                " FT OF ANY GRID POINT)"};
}

}  // namespace survey
