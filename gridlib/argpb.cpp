// ARGPB: the site summary file (.OUT): the summary header, a schematic
// outline of the disposal area with its corner coordinates, and a character
// map of the depths reduced by spatial averaging to fit an 8.5" x 11" page
// (at most 25 map columns across and 22 map rows down).
#include <cmath>
#include <vector>

#include "gridlib/layout.hpp"
#include "gridlib/sitegrid.hpp"
#include "recio/file_set.hpp"
#include "recio/records.hpp"

namespace gridlib {
namespace {

constexpr int PAGE_COLUMNS = 25;
constexpr int PAGE_ROWS = 22;

constexpr const char* SUMMARY_HEADER =
    "(1X,'D I S P O S A L    A R E A   S U M ','M A R Y',/,"
    "1X,'AFTER ',I4,' DISPOSAL SEQUENCES SINCE THE ','LAST DISPOSAL ACTIVITY,',/,"
    "1X,'A TOTAL OF ',I4,' DISPOSAL',' SEQUENCES HAVE TAKEN PLACE WITHIN',/,"
    "1X,'THIS DISPOSAL ','AREA SINCE AUTOMATED RECORD KEEPING BEGAN')";
constexpr const char* NOT_REDUCED =
    "(/,1X,'THE ENTIRE DISPOSAL AREA HAS BEEN REDUCED',/,"
    "1X,'TO A 8.5\" x 11\" REPRESENTATION ','WITHOUT ',/,"
    "1X,'REDUCTION OF ORIGINAL SURVEY RESOLUTION')";
constexpr const char* REDUCED =
    "(/,1X,'THE ENTIRE DISPOSAL AREA HAS BEEN REDUCED',/,"
    "1X,'TO A 8.5\" x 11\" REPRESENTATION ','BUT WITH',' A REDUCTION OF ORIGINAL',/,"
    "1X,'SURVEY ','RESOLUTION THROUGH SPATIAL AVERAGING/INTERPOLATION',/,/,"
    "1X,'THE APPARENT RESOLUTION OF THE CURRENT',/,"
    "1X,'DISPOSAL AREA REPRESENTATION IS 1:',I3,/,"
    "1X,'AS COMPARED TO THE SITES ORIGINAL ','SURVEY RESOLUTION')";
constexpr const char* LINEAL_SCALE =
    "(/,1X,'THE LINEAL SCALE CONVERSION FACTOR FOR THE',/,"
    "1X,'UNDISTORTED GRAPHICAL PRESENTATION OF THE',/,"
    "1X,'DISPOSAL AREA IS 1 INCH = ',I5,' feet')";
constexpr const char* PORTRAYAL_POINTS =
    "(/,1X,'THE NUMBER OF GRID POINTS USED TO ','PORTRAY THE DISPOSAL AREA IS ',I5)";
constexpr const char* EXTENTS =
    "(/,1X,'THE DISTANCE FROM THE NORTHWESTERN MOST CORNER',/,"
    "1X,'TO THE SOUTHWESTERN MOST CORNER IS ',I6,' FT',/,"
    "1X,'THE',' DISTANCE FROM THE NORTHWESTERN MOST CORNER',/,"
    "1X,'TO THE ','NORTHEASTERN MOST CORNER IS ',I6,' FT',/,"
    "1X,'THE AERIAL ','COVERAGE OF THE DISPOSAL AREA IS ',I6,' ACRES')";
constexpr const char* INTERVALS =
    "(/,1X,'THE PREDISPOSAL SURVEY INTERVAL IS ',I4,' FEET',/,"
    "1X,'THE INTERVAL BETWEEN DATA POINTS AS ','PORTRAYED ON GRID IS ',I4,' FEET')";
constexpr const char* CORNER_COORDINATES =
    "(/,1X,'THE COORDINATES AT THE SITES NW MOST CORNER',/,"
    "1X,'ARE:  EASTING= ',F12.4,'  NORTHING= ',F12.4,/,"
    "1X,'THE COORDINATES AT THE SITES NE MOST CORNER',/,"
    "1X,'ARE:  EASTING= ',F12.4,'  NORTHING= ',F12.4,/,"
    "1X,'THE COORDINATES AT THE SITES SW MOST CORNER',/,"
    "1X,'ARE:  EASTING= ',F12.4,'  NORTHING= ',F12.4,/,"
    "1X,'THE COORDINATES AT THE SITES SE MOST CORNER',/,"
    "1X,'ARE:  EASTING= ',F12.4,'  NORTHING= ',F12.4,/,"
    "1X,'THE COORDINATES AT THE SITES CENTER ARE:',/,"
    "1X,8X,'EASTING= ',F12.4,' NORTHING= ',F12.4)";
constexpr const char* PORTRAYED_AS =
    "(/,/,/,1X,'THE DISPOSAL AREA WILL BE PORTRAYED AS',' FOLLOWS (ROTATION ',A7,' OCCURRED):')";
constexpr const char* CORNER_NAMES = "(1X,A17,' CORNER',20X,A17,' CORNER')";
constexpr const char* CORNER_EASTINGS = "(1X,'EASTING=',F12.4,25X,'EASTING=',F12.4)";
constexpr const char* CORNER_NORTHINGS = "(1X,'NORTHING=',F12.4,24X,'NORTHING=',F12.4)";
constexpr const char* OUTLINE_EDGE = "(1X,4X,'+',40('#'),'+')";
constexpr const char* MAP_TITLE =
    "('\f',9X,'BATHYMETRIC DISTRIBUTION WITHIN THE ENTIRE',' DISPOSAL AREA',/,/)";

// Run-time formats: a repeat count written into the blanks of a format text.
constexpr const char* OUTLINE_SIDES = "(1X,   (4X,'#',40X,'#'/1X)4X,'#',40X,'#')";
constexpr const char* MAP_VALUES_1 = "(1X,   (F5.1,'|'))";
constexpr const char* MAP_VALUES_0 = "(1X,   (F5.0,'|'))";
constexpr const char* MAP_SPACER = "(1X,   (5X,'|'))";
constexpr const char* MAP_DASHES = "(1X,    ('-'))";

std::string with_count(const char* format, const char* count_format, int count) {
    std::string f = format;
    std::string n = recio::format_records(count_format, std::int32_t{count})[0];
    f.replace(4, n.size(), n);
    return f;
}

int nearest(float x) {
    return static_cast<int>(std::lround(x));
}

// A lattice of map values, rows down the page, columns across it.
struct Lattice {
    int rows = 0, cols = 0;
    std::vector<float> v;
    float& at(int r, int c) { return v[static_cast<std::size_t>(r * cols + c)]; }
    float at(int r, int c) const { return v[static_cast<std::size_t>(r * cols + c)]; }
};

// Appends a column on the right, continuing each row's slope; the end rows
// copy their last value, and the value next to the bottom end is the mean of
// its new neighbours above and below.
void append_column(Lattice& a) {
    Lattice b;
    b.rows = a.rows;
    b.cols = a.cols + 1;
    b.v.resize(static_cast<std::size_t>(b.rows * b.cols));
    for (int r = 0; r < a.rows; ++r)
        for (int c = 0; c < a.cols; ++c) b.at(r, c) = a.at(r, c);
    const int n = a.cols;
    for (int r = 0; r < a.rows; ++r) {
        bool end_row = r == 0 || r == a.rows - 1 || n < 2;
        b.at(r, n) = end_row ? a.at(r, n - 1) : 2.0f * a.at(r, n - 1) - a.at(r, n - 2);
    }
    if (a.rows >= 3) b.at(a.rows - 2, n) = (b.at(a.rows - 3, n) + b.at(a.rows - 1, n)) / 2.0f;
    a = std::move(b);
}

// Appends a row at the bottom in the same way, across the columns.
void append_row(Lattice& a) {
    const int n = a.rows;
    a.v.resize(static_cast<std::size_t>((n + 1) * a.cols));
    a.rows = n + 1;
    for (int c = 0; c < a.cols; ++c) {
        bool end_col = c == 0 || c == a.cols - 1 || n < 2;
        a.at(n, c) = end_col ? a.at(n - 1, c) : 2.0f * a.at(n - 1, c) - a.at(n - 2, c);
    }
    if (a.cols >= 3) a.at(n, a.cols - 2) = (a.at(n, a.cols - 3) + a.at(n, a.cols - 1)) / 2.0f;
}

// Keeps every second row and column; an interior node becomes the weighted
// mean (16 x itself + 4 x its edge neighbours + its diagonal neighbours) / 36.
void halve(Lattice& a) {
    Lattice b;
    b.rows = (a.rows - 1) / 2 + 1;
    b.cols = (a.cols - 1) / 2 + 1;
    b.v.resize(static_cast<std::size_t>(b.rows * b.cols));
    for (int p = 0; p < b.rows; ++p) {
        for (int q = 0; q < b.cols; ++q) {
            int r = 2 * p, c = 2 * q;
            if (r == 0 || c == 0 || r == a.rows - 1 || c == a.cols - 1) {
                b.at(p, q) = a.at(r, c);
                continue;
            }
            float edges = a.at(r - 1, c) + a.at(r + 1, c) + a.at(r, c - 1) + a.at(r, c + 1);
            float diagonals =
                a.at(r - 1, c - 1) + a.at(r - 1, c + 1) + a.at(r + 1, c - 1) + a.at(r + 1, c + 1);
            b.at(p, q) = (16.0f * a.at(r, c) + 4.0f * edges + diagonals) / 36.0f;
        }
    }
    a = std::move(b);
}

void reduce(Lattice& a) {
    while (a.cols > PAGE_COLUMNS || a.rows > PAGE_ROWS) {
        if (a.cols % 2 == 0) append_column(a);
        if (a.rows % 2 == 0) append_row(a);
        halve(a);
    }
}

struct PageFit {
    Lattice map;
    int ratio = 1;
    bool turned = false;
    float aspect = 1.0f;  // rows / columns before reduction
};

PageFit fit_page(const SiteGrid& g) {
    PageFit f;
    const int ns = g.points_ns, we = g.points_we;
    const layout::PageShape shape = layout::page_shape(g);
    f.turned = shape.turned;
    f.ratio = shape.ratio;
    Lattice& m = f.map;
    m.rows = shape.rows;
    m.cols = shape.cols;
    if (f.turned) {
        // Turned: rows down the page run west to east, columns south to north.
        m.v.resize(static_cast<std::size_t>(we * ns));
        for (int p = 0; p < we; ++p)
            for (int q = 0; q < ns; ++q)
                m.at(p, q) = g.depth[static_cast<std::size_t>((g.total_points - we) + p - q * we)];
    } else {
        m.v.assign(g.depth.begin(), g.depth.begin() + g.total_points);
    }
    f.aspect = static_cast<float>(m.rows) / static_cast<float>(m.cols);
    if (f.ratio != 1) reduce(m);
    return f;
}

void write_outline(recio::RecordWriter& out, const PageFit& f, const SiteCorners& c) {
    int sides = f.aspect < 0.8f ? 14 : f.aspect < 1.2f ? 20 : 26;
    struct Corner {
        const char* name;
        float e, n;
    };
    Corner nw{"NORTHWESTERN MOST", c.nw_e, c.nw_n}, ne{"NORTHEASTERN MOST", c.ne_e, c.ne_n};
    Corner sw{"SOUTHWESTERN MOST", c.sw_e, c.sw_n}, se{"SOUTHEASTERN MOST", c.se_e, c.se_n};
    Corner top[2] = {nw, ne}, bottom[2] = {sw, se};
    if (f.turned) {
        top[0] = sw;
        top[1] = nw;
        bottom[0] = se;
        bottom[1] = ne;
    }
    auto corner_pair = [&](const Corner* pair) {
        out.write(CORNER_NAMES, pair[0].name, pair[1].name);
        out.write(CORNER_EASTINGS, pair[0].e, pair[1].e);
        out.write(CORNER_NORTHINGS, pair[0].n, pair[1].n);
    };
    out.record("");
    corner_pair(top);
    out.write(OUTLINE_EDGE);
    out.write(with_count(OUTLINE_SIDES, "(I3)", sides));
    out.write(OUTLINE_EDGE);
    corner_pair(bottom);
}

void write_map(recio::RecordWriter& out, const Lattice& m, float datum) {
    std::string values = with_count(datum > 999.0f ? MAP_VALUES_0 : MAP_VALUES_1, "(I3)", m.cols);
    std::string spacer = with_count(MAP_SPACER, "(I3)", m.cols);
    std::string dashes = with_count(MAP_DASHES, "(I4)", 6 * m.cols);
    out.write(MAP_TITLE);
    out.write(dashes);
    for (int r = 0; r < m.rows; ++r) {
        out.write(spacer);
        out.write(values, recio::array(&m.v[static_cast<std::size_t>(r * m.cols)],
                                       static_cast<std::size_t>(m.cols)));
        out.write(spacer);
        out.write(dashes);
    }
}

}  // namespace

namespace layout {

PageShape page_shape(const SiteGrid& g) {
    PageShape p;
    const int ns = g.points_ns, we = g.points_we;
    if (ns < we && we > PAGE_COLUMNS) {
        p.turned = true;
        p.rows = we;
        p.cols = ns;
        p.ratio = nearest(static_cast<float>(we) / 22.0f);
    } else {
        p.rows = ns;
        p.cols = we;
        p.ratio = (ns < we || ns < 22) ? 1 : nearest(static_cast<float>(ns) / 22.0f);
    }
    if (p.ratio < 1) p.ratio = 1;
    while (nearest(static_cast<float>(p.cols) / static_cast<float>(p.ratio)) > PAGE_COLUMNS)
        ++p.ratio;
    return p;
}

std::int64_t lineal_scale(const SiteGrid& g, const SiteSummary& s, const PageShape& page) {
    const std::int32_t per_point =
        page.turned ? s.ns_extent / g.points_ns : s.we_extent / g.points_we;
    return static_cast<std::int64_t>(per_point) * 2 * page.ratio;
}

}  // namespace layout

GridStored ARGPB(std::string_view grid_file, std::string_view summary_file, SiteSummary& s,
                 std::int8_t new_site, std::int8_t& turned, recio::FileSet* set) {
    SiteGrid g;
    GridRead grid = RGRID1(set ? set->current(trimmed(grid_file)) : std::string(grid_file), g);
    if (grid != GRID_OK) return {false, std::move(grid.report)};
    const std::string name = trimmed(summary_file);
    // Nothing is written that READG could not read back.
    const std::string fault = summary_fault(g, s, new_site);
    if (!fault.empty()) {
        return {false, {"", {"SUMMARY FILE " + name + " NOT WRITTEN: " + fault}}};
    }
    if (new_site == 1) {
        s.total_seq = 0;
        s.seq_since_last = 0;
    }
    PageFit f = fit_page(g);
    turned = f.turned ? 1 : 0;
    s.ratio = static_cast<std::int8_t>(f.ratio);
    s.lineal_scale = static_cast<std::int16_t>(layout::lineal_scale(g, s, layout::page_shape(g)));
    s.portrayal_points = g.total_points;
    std::int64_t acres = static_cast<std::int64_t>(s.ns_extent) * s.we_extent / 43500;

    recio::RecordWriter out;
    if (set)
        out.open(set->stage(name), recio::RecordWriter::Mode::Staged);
    else
        out.open(name, recio::RecordWriter::Mode::Atomic);
    out.write(SUMMARY_HEADER, s.seq_since_last, s.total_seq);
    if (f.ratio == 1)
        out.write(NOT_REDUCED);
    else
        out.write(REDUCED, std::int32_t{f.ratio});
    out.write(LINEAL_SCALE, s.lineal_scale);
    out.write(PORTRAYAL_POINTS, s.portrayal_points);
    out.write(EXTENTS, s.ns_extent, s.we_extent, acres);
    out.write(INTERVALS, s.survey_interval, s.portrayal_interval);
    const SiteCorners& c = s.corners;
    out.write(CORNER_COORDINATES, c.nw_e, c.nw_n, c.ne_e, c.ne_n, c.sw_e, c.sw_n, c.se_e, c.se_n,
              c.centre_e, c.centre_n);
    out.write(PORTRAYED_AS, f.turned ? "  HAS  " : "HAS NOT");
    write_outline(out, f, c);
    write_map(out, f.map, g.datum);
    if (out.close()) return {};
    return {false, {"", {"UNABLE TO WRITE FILE " + name}}};
}

}  // namespace gridlib
