#include "results/readers.hpp"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "recio/records.hpp"
#include "results/errors.hpp"
#include "suitefiles/deposit.hpp"
#include "suitefiles/history.hpp"
#include "suitefiles/pcd_ini.hpp"
#include "suitefiles/placement_files.hpp"
#include "suitefiles/plotbath.hpp"

namespace results {

void need_input_file(const std::string& path, const std::string& what) {
    const std::string fault = recio::not_a_file(path);
    if (!fault.empty()) throw InputError(fault);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw InputError(what + " NOT FOUND: " + path);
}
namespace {

// Records already read into memory, served to the format interpreter.
class LineSource : public recio::RecordSource {
  public:
    LineSource(std::string name, std::vector<std::string> lines, bool cut_at_end)
        : name_(std::move(name)), lines_(std::move(lines)), cut_at_end_(cut_at_end) {}
    bool next_record(std::string& record) override {
        if (next_ >= lines_.size()) return false;
        record = lines_[next_++];
        return true;
    }
    const std::string& source_name() const override { return name_; }
    long record_number() const override { return static_cast<long>(next_); }
    // A file that ends inside its last record (no line end) was cut short
    // there: that record must hold its fields whole. Every record must, in a
    // file whose writer always fills its fields (grid series).
    bool whole_fields() const override {
        return every_record_whole_ || (cut_at_end_ && next_ == lines_.size());
    }
    void require_whole_fields() { every_record_whole_ = true; }
    bool at_end() const { return next_ >= lines_.size(); }
    const std::string& peek() const { return lines_[next_]; }
    void skip() { ++next_; }

  private:
    std::string name_;
    std::vector<std::string> lines_;
    bool cut_at_end_ = false, every_record_whole_ = false;
    std::size_t next_ = 0;
};

template <class... T>
void need(LineSource& src, std::string_view format, T&&... items) {
    const recio::InItem list[] = {recio::InItem{}, recio::to_in(items)...};
    if (!recio::read_items(format, src, list + 1, sizeof...(T)))
        throw recio::RecordError("UNEXPECTED END OF FILE " + src.source_name() + " AFTER RECORD " +
                                 std::to_string(src.record_number()));
}

LineSource read_all(const std::string& path) {
    need_input_file(path);
    recio::RecordReader in(path);
    if (!in.is_open()) throw InputError("FILE CANNOT BE OPENED: " + path);
    std::vector<std::string> lines;
    std::string r;
    while (in.next_record(r)) lines.push_back(r);
    // Does the file end inside its last record?
    bool cut = false;
    std::ifstream raw(path, std::ios::binary | std::ios::ate);
    if (raw && raw.tellg() > 0) {
        raw.seekg(-1, std::ios::end);
        const int last = raw.get();
        cut = last != '\n' && last != '\x1a' && last != '\r';
    }
    return LineSource(path, std::move(lines), cut);
}

}  // namespace

namespace {

std::vector<DumpPoint> dump_points(const std::vector<suitefiles::Position>& positions) {
    std::vector<DumpPoint> out;
    out.reserve(positions.size());
    for (const suitefiles::Position& p : positions)
        out.push_back({static_cast<double>(p.e), static_cast<double>(p.n)});
    return out;
}

}  // namespace

std::vector<DumpPoint> read_placement_summary(const std::string& path) {
    LineSource src = read_all(path);
    std::vector<suitefiles::Position> positions;
    if (!suitefiles::read_load_positions(src, positions))
        throw InputError("NO LOAD LINES IN " + path + ": IT IS NOT A PLACEMENT SUMMARY");
    return dump_points(positions);
}

std::vector<DumpPoint> read_dump_pattern(const std::string& path) {
    LineSource src = read_all(path);
    return dump_points(suitefiles::read_dump_pattern(src));
}

std::vector<DumpPoint> read_dumps(const std::string& path) {
    LineSource src = read_all(path);
    if (!src.at_end() && src.peek().find("PLACEMENT") != std::string::npos &&
        src.peek().find("SUMMARY") != std::string::npos)
        return read_placement_summary(path);
    return read_dump_pattern(path);
}

// ---- CLDX.DUT

int DepositFile::deposit_block() const {
    int chosen = -1;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].seconds > tstop) break;
        chosen = static_cast<int>(i);
        if (blocks[i].seconds >= tstop) break;
    }
    return chosen;
}

Raster DepositFile::raster(int block) const {
    Raster r;
    r.nx = cols - 4;
    r.ny = rows - 4;
    r.dx = dx;
    r.dy = dz;
    // The dump node is fate node (rows/2 + 1, cols/2 + 1), interior row and
    // column rows/2 - 2 and cols/2 - 2 counted from 0.
    r.x0 = -(cols / 2 - 2) * dx;
    r.y0 = -(rows / 2 - 2) * dz;
    r.v = blocks.at(static_cast<std::size_t>(block)).thickness;
    return r;
}

DepositFile read_deposit_file(const std::string& path) {
    need_input_file(path);
    recio::RecordReader in(path);
    if (!in.is_open()) throw InputError("FILE CANNOT BE OPENED: " + path);
    in.require_whole_fields();
    DepositFile d;
    suitefiles::DepositHeader h;
    switch (suitefiles::read_deposit_header(in, h)) {
        case suitefiles::DepositHeaderEnd::NoGrid:
            throw InputError(
                path + " HOLDS NO FATE GRID: THE FATE RUN STOPPED BEFORE ITS FIRST DESCENT ENDED");
        case suitefiles::DepositHeaderEnd::NoSummary:
            throw InputError(path + " HOLDS NO RESULT: THE FATE RUN DID NOT FINISH");
        case suitefiles::DepositHeaderEnd::Whole:
            break;
    }
    if (h.rows <= 4 || h.cols <= 4 || h.rows > 65 || h.cols > 65)
        throw InputError(path + " RECORD 3: A FATE GRID OF " + std::to_string(h.rows) + " x " +
                         std::to_string(h.cols) + " NODES HAS NO INTERIOR TO SHOW");
    if (!(h.dx > 0.0f) || !(h.dz > 0.0f))
        throw InputError(path + " RECORD 3: THE GRID SPACING MUST BE POSITIVE");
    d.title = h.title;
    d.rows = h.rows;
    d.cols = h.cols;
    d.dz = static_cast<double>(h.dz);
    d.dx = static_cast<double>(h.dx);
    d.blocks_announced = h.blocks;
    d.tstop = static_cast<double>(h.tstop);
    suitefiles::DepositBlock block;
    while (suitefiles::read_deposit_block(in, h.rows, h.cols, block)) {
        DepositBlock b;
        b.seconds = static_cast<double>(block.time);
        b.thickness = std::move(block.thickness);
        d.blocks.push_back(std::move(b));
    }
    return d;
}

// ---- PLOTBATH.DAT

BathSeries read_plotbath(const std::string& path, int nx, int ny, double start_hours) {
    if (nx <= 0 || ny <= 0) throw InputError("NO LATTICE SIZE FOR " + path);
    LineSource src = read_all(path);
    const std::size_t n = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);

    // The grids of the file must be the lattice of this site: count the
    // records before the first elapsed-time record or the end marker.
    {
        LineSource probe = src;
        probe.skip();
        std::size_t records = 0;
        while (!probe.at_end() && !suitefiles::is_plotbath_elapsed(probe.peek()) &&
               !suitefiles::is_plotbath_end_marker(probe.peek())) {
            ++records;
            probe.skip();
        }
        const std::size_t expected = suitefiles::plotbath_grid_records(n);
        if (records != expected)
            throw InputError(path + " HOLDS GRIDS OF " + std::to_string(records) +
                             " RECORDS, NOT THE " + std::to_string(expected) + " OF A " +
                             std::to_string(nx) + " x " + std::to_string(ny) +
                             " LATTICE: IT IS NOT FROM THIS SITE");
    }

    src.require_whole_fields();
    suitefiles::PlotBathSeries file = suitefiles::read_plotbath(src, n);
    BathSeries s;
    s.nx = nx;
    s.ny = ny;
    s.grain = file.header.grain;
    s.manning = file.header.manning;
    s.dx = file.header.dx;
    s.dy = file.header.dy;
    s.complete = file.complete;
    BathGrid g0;
    g0.hours = start_hours;
    g0.initial = true;
    g0.depth = std::move(file.initial.depth);
    s.grids.push_back(std::move(g0));
    for (suitefiles::PlotBathGrid& f : file.grids) {
        BathGrid g;
        g.hours = f.hours;
        g.depth = std::move(f.depth);
        s.grids.push_back(std::move(g));
    }
    return s;
}

BathSeries read_site_history(const std::string& path, const gridlib::SiteGrid& site) {
    LineSource src = read_all(path);
    src.require_whole_fields();
    const suitefiles::History h = suitefiles::read_history(src);
    if (h.points_we != site.points_we || h.points_ns != site.points_ns ||
        h.interval != site.interval)
        throw InputError(path + " HOLDS A SITE OF " + std::to_string(h.points_we) + " x " +
                         std::to_string(h.points_ns) + " POINTS AT " + std::to_string(h.interval) +
                         " FT, NOT THE " + std::to_string(site.points_we) + " x " +
                         std::to_string(site.points_ns) + " AT " + std::to_string(site.interval) +
                         " FT OF THE SITE GIVEN");
    BathSeries s;
    s.nx = h.points_we;
    s.ny = h.points_ns;
    s.dx = s.dy = static_cast<float>(h.interval);
    s.complete = true;
    for (const suitefiles::Snapshot& snap : h.snapshots) {
        BathGrid g;
        g.hours = snap.hours;
        g.initial = snap.kind == suitefiles::SnapshotKind::Start;
        g.kind = suitefiles::kind_text(snap.kind);
        g.date = snap.date;
        // Site points run row by row from the NW corner; the series holds
        // I (west to east) outer, J (south to north) inner.
        g.depth.assign(snap.depth.size(), 0.0f);
        for (int i = 0; i < s.nx; ++i)
            for (int j = 0; j < s.ny; ++j)
                g.depth[static_cast<std::size_t>(i) * static_cast<std::size_t>(s.ny) +
                        static_cast<std::size_t>(j)] =
                    snap.depth[static_cast<std::size_t>(s.ny - 1 - j) *
                                   static_cast<std::size_t>(s.nx) +
                               static_cast<std::size_t>(i)];
        s.grids.push_back(std::move(g));
    }
    if (s.grids.empty()) throw InputError(path + " HOLDS NO SNAPSHOT OF THE SITE");
    return s;
}

double run_start_hours(const std::string& pcd_path) {
    need_input_file(pcd_path);
    return suitefiles::pcd_start_hours(pcd_path);
}

Raster bath_raster(const BathSeries& s, std::size_t grid, double we_ft, double ns_ft) {
    Raster r;
    r.nx = s.nx;
    r.ny = s.ny;
    r.dx = s.nx > 1 ? we_ft / (s.nx - 1) : static_cast<double>(s.dx);
    r.dy = s.ny > 1 ? ns_ft / (s.ny - 1) : static_cast<double>(s.dy);
    r.v.assign(static_cast<std::size_t>(s.nx) * static_cast<std::size_t>(s.ny), 0.0f);
    const std::vector<float>& d = s.grids.at(grid).depth;
    for (int i = 0; i < s.nx; ++i)
        for (int j = 0; j < s.ny; ++j)
            r.at(i, s.ny - 1 - j) = d[static_cast<std::size_t>(i) * static_cast<std::size_t>(s.ny) +
                                      static_cast<std::size_t>(j)];
    return r;
}

}  // namespace results
