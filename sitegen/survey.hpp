// Adaptation of a survey to a site grid (RBATH), shared by the site grid
// generator and the bathymetry modifier.
//
// A survey file holds free-format records of three numbers: a northing (or
// latitude), an easting (or longitude) and a depth, in the column order its
// three column names give. Each grid point takes the inverse-distance (1/d^2)
// weighted mean depth of at most 8 survey points that lie within the search
// radius R = 2 x max(survey spacing, grid interval); survey depths are used
// by their absolute value and depths below 1 ft are ignored. The survey is
// taken in batches of 10000 points: a batch's result overwrites the depths of
// the grid points it reaches, so the last batch that reaches a grid point
// decides its depth.
//
// The candidates of a grid point are offered in survey file order: while 8
// are held, a new point replaces the farthest held one (the first of equally
// far ones) unless it is farther still. Two routines apply a batch:
// adapt_batch_plain compares every grid point with every survey point;
// SurveyIndex does the same through buckets of grid points and gives the
// identical result, bit for bit, in a small fraction of the time.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "recio/records.hpp"
#include "suitefiles/survey.hpp"

namespace survey {

constexpr std::size_t BATCH_POINTS = 10000;  // survey points held at once
constexpr int MAX_CANDIDATES = 8;            // survey points weighted per grid point
constexpr float MIN_DEPTH = 1.0f;            // shallower survey depths are ignored, feet

// ---- the survey file

// The file's columns and its reader: suitefiles/survey.hpp.
using suitefiles::column_order;
using suitefiles::column_quantity;
using suitefiles::Quantity;

using suitefiles::SurveySpec;

// One batch of survey points: positions in the site's coordinate system and
// absolute depths.
struct Batch {
    std::vector<float> e, n, d;
    std::size_t size() const { return d.size(); }
    void clear() {
        e.clear();
        n.clear();
        d.clear();
    }
    void add(float east, float north, float depth);
};

// Reads a survey file batch by batch, in one pass.
class SurveyReader {
  public:
    bool open(const std::string& path);
    // Which quantity each of the three numbers of a record is.
    void set_order(const std::array<Quantity, 3>& order) { order_ = order; }
    // Reads up to `capacity` points into the batch (cleared first) and returns
    // how many were read: fewer than `capacity` only at the end of the file.
    // An unreadable value throws recio::RecordError.
    std::size_t next_batch(Batch& batch, std::size_t capacity = BATCH_POINTS);

  private:
    recio::RecordReader in_;
    std::array<Quantity, 3> order_{};
};

// ---- the adaptation

// What the adaptation needs of the site: the position of every grid point in
// the site's coordinate system (from the site's NW corner), the longitude
// factor of a geographic site, and the search radius.
struct Frame {
    std::vector<float> ge, gn;  // grid point I at index I - 1
    bool geographic = false;
    float cl = 1.0f;      // cos(NW latitude), geographic sites
    float radius = 0.0f;  // R, feet
    std::size_t points() const { return ge.size(); }
};
Frame make_frame(const gridlib::SiteGrid& grid, float site_nw_e, float site_nw_n,
                 std::int32_t spacing);

// Distance in feet between a grid point and a survey point as the rule
// measures it: absolute coordinate differences (geographic: x CL x 364800 and
// x 364800), each below 2 ft taken as 1, then the square root of the sum of
// their squares.
inline double rule_distance(const Frame& f, float ge, float gn, float se, float sn) {
    float dx = std::fabs(se - ge);
    float dy = std::fabs(sn - gn);
    if (f.geographic) {
        dx = dx * f.cl * suitefiles::FEET_PER_DEGREE;
        dy = dy * suitefiles::FEET_PER_DEGREE;
    }
    if (dx < 2.0f) dx = 1.0f;
    if (dy < 2.0f) dy = 1.0f;
    const double x = static_cast<double>(dx), y = static_cast<double>(dy);
    return std::sqrt(x * x + y * y);
}

// The candidates of one grid point.
struct Candidates {
    int held = 0;
    double d[MAX_CANDIDATES];
    float depth[MAX_CANDIDATES];

    // Offers a survey point at distance d (already known to be within R).
    void offer(double dist, float survey_depth) {
        int slot = held;
        if (held == MAX_CANDIDATES) {
            slot = 0;
            for (int c = 1; c < held; ++c)
                if (d[c] > d[slot]) slot = c;
            if (dist > d[slot]) return;
        } else {
            ++held;
        }
        d[slot] = dist < 2.0 ? 1.0 : dist;
        depth[slot] = survey_depth;
    }
    // (sum of depth / d^2) / (sum of 1 / d^2), in double precision. Needs held > 0.
    float weighted_depth() const {
        double sum_wd = 0.0, sum_w = 0.0;
        for (int c = 0; c < held; ++c) {
            const double d2 = d[c] * d[c];
            sum_wd += static_cast<double>(depth[c]) / d2;
            sum_w += 1.0 / d2;
        }
        return static_cast<float>(sum_wd / sum_w);
    }
};

// Applies one batch the plain way: every grid point against every survey
// point. Grid points with candidates get their weighted depth; the others
// keep theirs. Returns the number of grid points that got a depth; when
// `reached` is given, marks them there (one flag per grid point).
std::int32_t adapt_batch_plain(const Frame& frame, const Batch& batch, std::vector<float>& depth,
                               std::vector<std::uint8_t>* reached = nullptr);

// The same through an index: the grid points are kept in square buckets in
// the site's coordinate axes (feet), a little wider than R, so that every grid
// point a survey point can reach lies in the 3 x 3 buckets around it. Each
// survey point, in file order, is offered to the grid points it reaches, so
// each grid point sees its candidates in file order and the result is that
// of adapt_batch_plain.
class SurveyIndex {
  public:
    explicit SurveyIndex(const Frame& frame);
    std::int32_t adapt_batch(const Batch& batch, std::vector<float>& depth,
                             std::vector<std::uint8_t>* reached = nullptr);

  private:
    const Frame& frame_;
    bool usable_ = false;         // false: the geometry admits no index, the plain rule is used
    double cell_ = 0.0;           // bucket width, feet
    double x0_ = 0.0, y0_ = 0.0;  // lower left of the bucket lattice
    std::int64_t nx_ = 0, ny_ = 0;
    std::vector<std::int32_t> start_;    // bucket b holds slots start_[b] .. start_[b+1]-1
    std::vector<std::int32_t> point_;    // grid point index of a slot
    std::vector<float> se_, sn_;         // its position
    std::vector<Candidates> cand_;       // per grid point, for the current batch
    std::vector<std::int32_t> touched_;  // grid points with candidates in the current batch

    bool key(float e, float n, double& x, double& y) const;
};

// What one run of the adaptation met.
struct Outcome {
    bool file_found = false;
    bool columns_known = false;
    std::int64_t points_read = 0;  // survey points read
    std::int64_t points_used = 0;  // of them with depth of at least 1 ft
    std::int32_t batches = 0;
    std::int32_t grid_points_reached = 0;  // grid points that got a depth from some batch
};

// RBATH: the survey adaptation. Depths of grid points no survey point
// reaches stay as they are; a missing survey file or unknown column names
// leave every depth unchanged (the outcome says which). It writes nothing on
// the console: the program shows the banner before and the outcome after.
// An unreadable survey record throws recio::RecordError.
Outcome RBATH(const SurveySpec& source, gridlib::SiteGrid& grid, float site_nw_e, float site_nw_n);

// The console side of RBATH: the banner shown while the adaptation runs, and
// afterwards the screen for a survey file that was not found (it waits for
// RETURN) or the message for column names that are not recognised.
void show_banner();
void show_outcome(const Outcome& outcome, const SurveySpec& source);

// Why an adaptation gave no grid point a depth, for the user: the survey
// file is missing, its columns are not known, it holds no point, none of at
// least 1 ft, or none within reach of the grid (with the search radius on a
// second line). Empty when some grid point got a depth.
std::vector<std::string> why_nothing_adapted(const Outcome& outcome, const SurveySpec& source,
                                             std::int16_t interval);

}  // namespace survey
