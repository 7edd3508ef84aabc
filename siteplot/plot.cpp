#include "siteplot/plot.hpp"

#include <plplot.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>

#include "recio/format.hpp"
#include "results/errors.hpp"

// Fontconfig (through cairo's text) and libltdl (PLplot's driver loader)
// keep caches for the life of the process and never free them. A build with
// the leak checker reports those; they are not leaks of this program.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libltdl.so\n";
}

namespace siteplot {
namespace {

// Page areas, in normalized page coordinates.
constexpr double BOX_X0 = 0.15, BOX_X1 = 0.80, BOX_Y0 = 0.10, BOX_Y1 = 0.87;
constexpr double BAR_GAP = 0.035, BAR_WIDTH = 0.025,
                 BAR_HEIGHT = 0.82;  // bar height: share of the map's

// Colours of the line work (PLplot colour map 0).
enum Pen { WHITE = 0, BLACK = 1, GREY = 2, RED = 3, BLUE = 4, DARK = 5 };

// One picture file: opens a PLplot stream on the device of the file name and
// closes it (writing the file) when it goes out of scope.
class Canvas {
  public:
    Canvas(const std::string& path, int width, int height) {
        const std::string dev = device_for(path);
        if (width < 50 || height < 50 || width > 20000 || height > 20000)
            throw results::InputError("A PICTURE SIZE MUST BE 50 TO 20000 PIXELS EACH WAY");
        {
            // PLplot ends the program when it cannot open its file: find out first.
            std::ofstream probe(path, std::ios::binary);
            if (!probe) throw results::InputError("CANNOT WRITE THE PICTURE " + path);
        }
        plsdev(dev.c_str());
        plsfnam(path.c_str());
        const std::string geometry = std::to_string(width) + "x" + std::to_string(height);
        plsetopt("geometry", geometry.c_str());
        const PLINT r[] = {255, 0, 110, 200, 30, 60};
        const PLINT g[] = {255, 0, 110, 20, 90, 60};
        const PLINT b[] = {255, 0, 110, 30, 200, 60};
        plscmap0(r, g, b, 6);
        plinit();
        pladv(0);
        plschr(0, 0.9);
    }
    ~Canvas() { plend(); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
};

struct LabelFormat {
    int decimals = 0;
};

void plain_label(PLINT, PLFLT value, char* label, PLINT length, PLPointer data) {
    const LabelFormat* f = static_cast<const LabelFormat*>(data);
    if (std::fabs(value) < 1e-12) value = 0;  // no "-0"
    std::snprintf(label, static_cast<std::size_t>(length), "%.*f", f->decimals, value);
}

// Grid index (column i, row j) to map coordinates.
struct NodeTransform {
    const results::Frame* frame;
    const results::Raster* raster;
};
void node_to_map(PLFLT i, PLFLT j, PLFLT* x, PLFLT* y, PLPointer data) {
    const NodeTransform* t = static_cast<const NodeTransform*>(data);
    const XY p = results::node_map(*t->frame, *t->raster, i, j);
    *x = p.x;
    *y = p.y;
}

void text_at(double x, double y, double just, const std::string& s) {
    plptex(x, y, 1, 0, just, s.c_str());
}

// Colour map 1 holds exactly one colour per band, so band k of plshades
// (colour position k / (bands - 1)) is painted in colours[k].
void load_band_colours(const Scale& s) {
    std::vector<PLINT> r, g, b;
    for (const RGB& c : s.colours) {
        r.push_back(c.r);
        g.push_back(c.g);
        b.push_back(c.b);
    }
    plscmap1n(static_cast<PLINT>(s.colours.size()));
    plscmap1(r.data(), g.data(), b.data(), static_cast<PLINT>(s.colours.size()));
}

void draw_colour_bar(const PageGeometry& g, const Scale& s, const std::string& label) {
    const double bx0 = g.vx1 + BAR_GAP;
    plvpor(bx0, bx0 + BAR_WIDTH, g.vy0, g.vy0 + BAR_HEIGHT * (g.vy1 - g.vy0));
    plwind(0, 1, 0, 1);
    LabelFormat fmt{decimals_for(s.step)};
    plslabelfunc(plain_label, &fmt);
    PLFLT w = 0, h = 0;
    const PLINT label_opts[] = {PL_COLORBAR_LABEL_RIGHT};
    const char* labels[] = {label.c_str()};
    const char* axis_opts[] = {"bcvmtxo"};
    const PLFLT ticks[] = {s.step};
    const PLINT sub_ticks[] = {0};
    const PLINT n_values[] = {static_cast<PLINT>(s.edges.size())};
    std::vector<PLFLT> edges(s.edges.begin(), s.edges.end());
    const PLFLT* values[] = {edges.data()};
    plcol0(BLACK);
    plcolorbar(&w, &h, PL_COLORBAR_SHADE,
               PL_POSITION_LEFT | PL_POSITION_INSIDE | PL_POSITION_VIEWPORT, 0, 0, 1, 1, WHITE,
               BLACK, 0, 0, 0, 0, 0, 1, label_opts, labels, 1, axis_opts, ticks, sub_ticks,
               n_values, values);
    plslabelfunc(nullptr, nullptr);
}

void page_texts(const std::string& title, const std::string& subtitle) {
    plvpor(0, 1, 0, 1);
    plwind(0, 1, 0, 1);
    plcol0(BLACK);
    plschr(0, 1.1);
    text_at(0.5, 0.955, 0.5, title);
    plschr(0, 0.8);
    if (!subtitle.empty()) text_at(0.5, 0.915, 0.5, subtitle);
    plschr(0, 0.9);
}

// The map corners of a raster's lattice.
std::vector<XY> outline(const results::Frame& f, const results::Raster& r) {
    const double c = std::max(r.nx - 1, 0), w = std::max(r.ny - 1, 0);
    return {results::node_map(f, r, 0, 0), results::node_map(f, r, c, 0),
            results::node_map(f, r, c, w), results::node_map(f, r, 0, w),
            results::node_map(f, r, 0, 0)};
}

// A north arrow above the colour bar, outside the map (north is up: the
// map axes are easting and northing).
void north_arrow(const PageGeometry& g) {
    const double x = g.vx1 + BAR_GAP + BAR_WIDTH / 2, top = g.vy1 - 0.04, foot = g.vy1 - 0.12;
    plvpor(0, 1, 0, 1);
    plwind(0, 1, 0, 1);
    plcol0(BLACK);
    plwidth(1.5);
    pljoin(x, foot, x, top);
    pljoin(x, top, x - 0.008, top - 0.025);
    pljoin(x, top, x + 0.008, top - 0.025);
    plwidth(1);
    plptex(x, top + 0.025, 1, 0, 0.5, "N");
}

// One contour line of a field, thick and blue, without labels.
void draw_isoline(const results::Frame& frame, const Isoline& line) {
    const results::Raster& r = line.raster;
    if (r.nx < 2 || r.ny < 2) return;
    std::vector<PLFLT> z(r.v.size());
    std::vector<const PLFLT*> cols(static_cast<std::size_t>(r.nx));
    for (int i = 0; i < r.nx; ++i) {
        PLFLT* col = z.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(r.ny);
        cols[static_cast<std::size_t>(i)] = col;
        for (int j = 0; j < r.ny; ++j) col[j] = r.at(i, j);
    }
    NodeTransform tr{&frame, &r};
    PLFLT level[] = {line.level};
    plcol0(BLUE);
    plwidth(2.5);
    plcont(cols.data(), r.nx, r.ny, 1, r.nx, 1, r.ny, level, 1, node_to_map, &tr);
    plwidth(1);
    plcol0(BLACK);
}

}  // namespace

std::string device_for(const std::string& path) {
    std::string ext;
    const std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && path.find('/', dot) == std::string::npos)
        ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "png") return "pngcairo";
    if (ext == "svg") return "svgcairo";
    throw results::InputError("A PICTURE NAME MUST END IN .png OR .svg: " + path);
}

XY PageGeometry::pixel(const XY& p) const {
    const double nx = vx0 + (p.x - wx0) / (wx1 - wx0) * (vx1 - vx0);
    const double ny = vy0 + (p.y - wy0) / (wy1 - wy0) * (vy1 - vy0);
    return {nx * width, (1.0 - ny) * height};
}

void set_axis_labels(MapPicture& p) {
    if (p.frame.geographic()) {
        p.x_label = "LONGITUDE (DEG, EAST POSITIVE)";
        p.y_label = "LATITUDE (DEG)";
    } else {
        p.x_label = "EASTING (FT)";
        p.y_label = "NORTHING (FT)";
    }
}

PageGeometry map_layout(int width, int height, const MapPicture& p) {
    PageGeometry g;
    g.width = width;
    g.height = height;
    double x0 = std::numeric_limits<double>::max(), x1 = -x0, y0 = x0, y1 = -x0;
    auto take = [&](const XY& q) {
        x0 = std::min(x0, q.x);
        x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y);
        y1 = std::max(y1, q.y);
    };
    const XY u = results::map_units_per_foot(p.frame);
    if (p.focus.empty()) {
        for (const XY& q : outline(p.frame, p.raster)) take(q);
        for (const XY& q : p.dumps) take(q);
        for (const XY& q : p.marks) take(q);
    } else {
        for (const XY& q : p.focus) take(q);
        // A margin of a third of the framed area (at least four nodes), kept
        // within the site.
        const double node_ft = std::max(std::fabs(p.raster.dx), std::fabs(p.raster.dy));
        const double pad = std::max({(x1 - x0) / u.x / 3, (y1 - y0) / u.y / 3, 4 * node_ft});
        double sx0 = std::numeric_limits<double>::max(), sx1 = -sx0, sy0 = sx0, sy1 = -sx0;
        for (const XY& q : outline(p.frame, p.raster)) {
            sx0 = std::min(sx0, q.x);
            sx1 = std::max(sx1, q.x);
            sy0 = std::min(sy0, q.y);
            sy1 = std::max(sy1, q.y);
        }
        x0 = std::max(x0 - pad * u.x, sx0);
        x1 = std::min(x1 + pad * u.x, sx1);
        y0 = std::max(y0 - pad * u.y, sy0);
        y1 = std::min(y1 + pad * u.y, sy1);
    }
    // Work in feet so that both axes have the same scale on the page.
    double wft = (x1 - x0) / u.x, hft = (y1 - y0) / u.y;
    const double least = std::max({wft, hft, 10.0}) * 0.05;
    if (wft < least) {
        x0 -= (least - wft) / 2 * u.x;
        x1 += (least - wft) / 2 * u.x;
        wft = least;
    }
    if (hft < least) {
        y0 -= (least - hft) / 2 * u.y;
        y1 += (least - hft) / 2 * u.y;
        hft = least;
    }
    const double margin = 0.04 * std::max(wft, hft);
    g.wx0 = x0 - margin * u.x;
    g.wx1 = x1 + margin * u.x;
    g.wy0 = y0 - margin * u.y;
    g.wy1 = y1 + margin * u.y;
    wft += 2 * margin;
    hft += 2 * margin;
    const double box_w = (BOX_X1 - BOX_X0) * width, box_h = (BOX_Y1 - BOX_Y0) * height;
    const double scale = std::min(box_w / wft, box_h / hft);  // pixels per foot
    const double vw = wft * scale / width, vh = hft * scale / height;
    g.vx0 = BOX_X0;
    g.vx1 = BOX_X0 + vw;
    g.vy0 = (BOX_Y0 + BOX_Y1) / 2 - vh / 2;
    g.vy1 = g.vy0 + vh;
    return g;
}

std::vector<float> values_in_view(int width, int height, const MapPicture& p) {
    if (p.focus.empty()) return p.raster.v;
    const PageGeometry g = map_layout(width, height, p);
    std::vector<float> v;
    for (int row = 0; row < p.raster.ny; ++row)
        for (int col = 0; col < p.raster.nx; ++col) {
            const XY q = results::node_map(p.frame, p.raster, col, row);
            if (q.x >= g.wx0 && q.x <= g.wx1 && q.y >= g.wy0 && q.y <= g.wy1)
                v.push_back(p.raster.at(col, row));
        }
    return v.empty() ? p.raster.v : v;
}

PageGeometry draw_map(const std::string& path, int width, int height, const MapPicture& p) {
    const PageGeometry g = map_layout(width, height, p);
    const results::Raster& r = p.raster;
    const Scale& s = p.scale;
    Canvas canvas(path, width, height);
    page_texts(p.title, p.subtitle);

    plvpor(g.vx0, g.vx1, g.vy0, g.vy1);
    plwind(g.wx0, g.wx1, g.wy0, g.wy1);
    NodeTransform tr{&p.frame, &r};
    if (r.nx >= 2 && r.ny >= 2) {
        // z[i][j]: column i, row j; values beyond the scale take its end bands.
        std::vector<PLFLT> z(r.v.size());
        std::vector<const PLFLT*> cols(static_cast<std::size_t>(r.nx));
        const double lo = s.edges.front(), hi = s.edges.back();
        for (int i = 0; i < r.nx; ++i) {
            PLFLT* col = z.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(r.ny);
            cols[static_cast<std::size_t>(i)] = col;
            for (int j = 0; j < r.ny; ++j)
                col[j] = std::clamp(static_cast<double>(r.at(i, j)), lo, hi);
        }
        load_band_colours(s);
        std::vector<PLFLT> edges(s.edges.begin(), s.edges.end());
        plshades(cols.data(), r.nx, r.ny, nullptr, 0, r.nx - 1, 0, r.ny - 1, edges.data(),
                 static_cast<PLINT>(edges.size()), 0, 0, 0, plfill, 0, node_to_map, &tr);
        std::vector<PLFLT> levels;
        for (double c : s.contours)
            if (!(p.skip_zero_contour && std::fabs(c) < 1e-9 * s.step)) levels.push_back(c);
        if (!levels.empty()) {
            plcol0(DARK);
            plwidth(0.6);
            // Contour labels with the decimals of the contour interval.
            const double top = std::max(std::fabs(levels.front()), std::fabs(levels.back()));
            const int whole = top >= 1 ? static_cast<int>(std::floor(std::log10(top))) + 1 : 1;
            pl_setcontlabelformat(6, whole + decimals_for(s.step));
            pl_setcontlabelparam(0.006, 0.9, 0.5, 1);
            plcont(cols.data(), r.nx, r.ny, 1, r.nx, 1, r.ny, levels.data(),
                   static_cast<PLINT>(levels.size()), node_to_map, &tr);
            pl_setcontlabelparam(0.004, 0.45, 0.3, 0);
            plwidth(1);
        }
    }
    for (const Isoline& line : p.isolines) draw_isoline(p.frame, line);
    // Outline of the lattice.
    const std::vector<XY> ol = outline(p.frame, r);
    std::vector<PLFLT> ox, oy;
    for (const XY& q : ol) {
        ox.push_back(q.x);
        oy.push_back(q.y);
    }
    plcol0(BLACK);
    plline(static_cast<PLINT>(ox.size()), ox.data(), oy.data());

    if (!p.dumps.empty()) {
        std::vector<PLFLT> dx, dy;
        for (const XY& q : p.dumps) {
            dx.push_back(q.x);
            dy.push_back(q.y);
        }
        // Small open circles, so that the mound under them stays in view.
        plcol0(RED);
        plssym(0, 0.45);
        plwidth(1.5);
        plpoin(static_cast<PLINT>(dx.size()), dx.data(), dy.data(), 4);
        plwidth(1);
    }
    for (const XY& q : p.marks) {
        PLFLT mx[] = {q.x}, my[] = {q.y};
        plcol0(BLACK);
        plssym(0, 2.0);
        plwidth(2);
        plpoin(1, mx, my, 2);
        plwidth(1);
    }

    // Axes with plain numbers (no exponent factor), ticks at round steps.
    // Longitude and latitude labels are long: fewer of them along x, and
    // the labels of y written across the axis, the axis title clear of them.
    plcol0(BLACK);
    const bool geo = p.frame.geographic();
    const double xt = nice_step(g.wx1 - g.wx0, geo ? 3 : 5), yt = nice_step(g.wy1 - g.wy0, 6);
    LabelFormat fx{decimals_for(xt)}, fy{decimals_for(yt)};
    plslabelfunc(plain_label, &fx);
    plbox("bcnsto", xt, 0, "", 0, 0);
    plslabelfunc(plain_label, &fy);
    plbox("", 0, 0, "bcnstvo", yt, 0);
    plslabelfunc(nullptr, nullptr);
    std::size_t widest = 1;
    for (const double v : {g.wy0, g.wy1}) {
        char t[64];
        std::snprintf(t, sizeof t, "%.*f", fy.decimals, v);
        widest = std::max(widest, std::string(t).size());
    }
    plmtex("b", 3.0, 0.5, 0.5, p.x_label.c_str());
    plmtex("l", 1.5 + 0.8 * static_cast<double>(widest), 0.5, 0.5, p.y_label.c_str());
    if (!p.dumps_label.empty()) {
        plcol0(RED);
        plmtex("t", 0.7, 0.0, 0.0, ("o  " + p.dumps_label).c_str());
        plcol0(BLACK);
    }
    for (const Isoline& line : p.isolines) {
        plcol0(BLUE);
        plmtex("t", 0.7, 1.0, 1.0, ("--  " + line.label).c_str());
        plcol0(BLACK);
    }
    draw_colour_bar(g, s, p.bar_label);
    north_arrow(g);
    return g;
}

void draw_evolution(const std::string& path, int width, int height, const EvolutionPicture& p) {
    if (p.states.empty()) throw results::InputError("NO GRIDS TO PLOT");
    Canvas canvas(path, width, height);
    page_texts(p.title, p.reference);
    // What the panels measure.
    plschr(0, 0.7);
    text_at(0.5, 0.885, 0.5, "HEIGHT: THE LARGEST RISE.  VOLUMES: RISE LESS LOWERING");
    text_at(0.5, 0.86, 0.5,
            "MOUND AREA: NODES RISEN OVER " +
                recio::format_records("(F3.1)", results::MOUND_AREA_RISE)[0] +
                " FT WHEN DISPOSAL ENDED.  SHIFT: OF THE CENTROID OF THEIR RISE");
    plschr(0, 0.9);

    std::vector<PLFLT> t;
    for (const results::MoundState& m : p.states) t.push_back(m.hours / 24.0);
    double t0 = *std::min_element(t.begin(), t.end()), t1 = *std::max_element(t.begin(), t.end());
    if (!(t1 > t0)) {
        t0 -= 1;
        t1 += 1;
    }
    const double tpad = 0.03 * (t1 - t0);
    t0 -= tpad;
    t1 += tpad;

    struct Series {
        std::vector<PLFLT> y;
        Pen pen;
        PLINT style;
        std::string name;
    };
    struct Panel {
        std::string label;
        std::vector<Series> lines;
    };
    auto values = [&](double results::MoundState::*field) {
        std::vector<PLFLT> v;
        for (const results::MoundState& m : p.states) v.push_back(m.*field);
        return v;
    };
    const std::vector<Panel> panels = {
        {"HEIGHT (FT)", {{values(&results::MoundState::height), BLACK, 1, ""}}},
        {"VOLUME (CU YD)",
         {{values(&results::MoundState::volume), BLACK, 1, "WHOLE SITE"},
          {values(&results::MoundState::area_volume), BLUE, 2, "MOUND AREA"}}},
        {"SHIFT (FT)",
         {{values(&results::MoundState::offset), BLACK, 1, "DISTANCE"},
          {values(&results::MoundState::offset_e), BLUE, 2, "EAST"},
          {values(&results::MoundState::offset_n), RED, 3, "NORTH"}}}};

    const double top = 0.80, bottom = 0.09, gap = 0.05;
    const double ph = (top - bottom - 2 * gap) / 3;
    for (std::size_t k = 0; k < panels.size(); ++k) {
        const Panel& pn = panels[k];
        const double vy1 = top - static_cast<double>(k) * (ph + gap), vy0 = vy1 - ph;
        double lo = std::numeric_limits<double>::max(), hi = -lo;
        for (const Series& sr : pn.lines)
            for (double v : sr.y) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        if (k < 2) lo = std::min(lo, 0.0);
        if (!(hi > lo)) {
            const double d = std::max(1.0, std::fabs(hi) * 0.1);
            lo -= d;
            hi += d;
        }
        const double pad = 0.08 * (hi - lo);
        plvpor(0.15, 0.95, vy0, vy1);
        plwind(t0, t1, lo - (k < 2 && lo >= 0 ? 0 : pad), hi + pad);
        plcol0(GREY);
        pllsty(2);
        plbox("g", nice_step(t1 - t0, 6), 0, "g", nice_step(hi - lo, 4), 0);
        pllsty(1);
        plcol0(BLACK);
        LabelFormat fx{decimals_for(nice_step(t1 - t0, 6))},
            fy{decimals_for(nice_step(hi - lo, 4))};
        plslabelfunc(plain_label, &fx);
        plbox(k + 1 == panels.size() ? "bcnsto" : "bcst", nice_step(t1 - t0, 6), 0, "", 0, 0);
        plslabelfunc(plain_label, &fy);
        plbox("", 0, 0, "bcnstvo", nice_step(hi - lo, 4), 0);
        plslabelfunc(nullptr, nullptr);
        plmtex("l", 7.0, 0.5, 0.5, pn.label.c_str());
        double lx = 0.02;
        for (const Series& sr : pn.lines) {
            plcol0(sr.pen);
            pllsty(sr.style);
            plwidth(1.5);
            plline(static_cast<PLINT>(t.size()), t.data(), sr.y.data());
            plssym(0, 0.7);
            plpoin(static_cast<PLINT>(t.size()), t.data(), const_cast<PLFLT*>(sr.y.data()), 17);
            // The states right after a disposal week, as open squares.
            plssym(0, 0.8);
            for (std::size_t i = 0; i < t.size() && i < p.disposal.size(); ++i)
                if (p.disposal[i]) {
                    PLFLT x[] = {t[i]}, y[] = {sr.y[i]};
                    plpoin(1, x, y, 6);
                }
            pllsty(1);
            plwidth(1);
            if (!sr.name.empty()) {
                plmtex("t", 0.6, lx, 0.0, sr.name.c_str());
                lx += 0.2;
            }
        }
        plcol0(BLACK);
        if (k == 0 && std::find(p.disposal.begin(), p.disposal.end(), true) != p.disposal.end())
            plmtex("t", 0.6, 1.0, 1.0, "SQUARES: AFTER A DISPOSAL WEEK");
    }
    plmtex("b", 3.0, 0.5, 0.5,
           p.activity ? "TIME (DAYS FROM THE START OF THE ACTIVITY)"
                      : "TIME (DAYS FROM THE START OF THE SIMULATED PERIOD)");
}

}  // namespace siteplot
