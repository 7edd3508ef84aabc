#include "suitefiles/placement_files.hpp"

namespace suitefiles {
namespace {

constexpr const char* ACT_SITE = "(1X,'DREDGING   PLACEMENT   SUMMARY   FOR   SITE: ',A6)";
constexpr const char* ACT_MATERIAL = "(/,/,1X,'TYPE OF MATERIAL PLACED AT SITE: ',A22)";
constexpr const char* ACT_AMOUNT = "(1X,'AMOUNT MATERIAL PLACED AT SITE: ',I7)";
constexpr const char* ACT_EQUIPMENT = "(1X,'EQUIPMENT USED FOR MATERIAL PLACEMENT: ',A6)";
constexpr const char* ACT_TECHNIQUE = "(1X,'PLACEMENT TECHNIQUE: ',A20)";
constexpr const char* ACT_START = "(1X,'DATE OF PLACEMENT COMMENCEMENT: ',I2,',',I4)";
constexpr const char* ACT_END = "(1X,'DATE OF PLACEMENT CONCLUSSION: ',I2,',',I4)";
constexpr const char* ACT_LOADS = "(1X,'NUMBER OF LOADS TO PLACE ALL MATERIAL: ',I4)";
constexpr const char* ACT_LOAD_HEADS = "(/,/,/,1X,'LOAD #',10X,'PER LOAD VOLUME',15X,'LOCATION')";
constexpr const char* ACT_POSITION_HEADS = "(1X,40X,'EASTING',5X,'NORTHING',/)";
constexpr const char* ACT_LOAD_LINE = "(1X,2X,I4,14X,F5.0,10X,F12.4,3X,F12.4)";
// A refused load: the same line with the marker after the northing, which
// readers of the positions pass over.
constexpr const char* ACT_REFUSED_LOAD_LINE = "(1X,2X,I4,14X,F5.0,10X,F12.4,3X,F12.4,2X,'REFUSED')";
// The load line as it is read back: the position only.
constexpr const char* ACT_LOAD_POSITION = "(1X,2X,4X,14X,5X,10X,F12.4,3X,F12.4)";
constexpr const char* ACT_PAGE_HEAD = "(A1,1X,'DREDGING PLACEMENT SUMMARY, CONT.',/,/,/)";
constexpr const char* ACT_NAVIGABLE_TITLE =
    "(1X,'LOCATIONS WHERE NAVIGABLE DEPTH HAS BEEN EXCEEDED')";
constexpr const char* ACT_NAVIGABLE_DEPTH = "(/,1X,'NAVIGABLE DEPTH = ',I4,/,/)";
constexpr const char* ACT_NAVIGABLE_NONE =
    "(1X,'NAVIGABLE DEPTH HAS NOT BEEN EXCEEDED WITHIN',/,1X,'THE DISPOSAL AREA')";
constexpr const char* ACT_NAVIGABLE_COLUMNS =
    "(1X,5X,'EASTING',5X,'NORTHING',13X,'ACTUAL DEPTH(ft)',/)";
constexpr const char* ACT_NAVIGABLE_POINT = "(1X,F12.4,5X,F12.4,10X,F6.1)";
constexpr const char* ACT_LATERAL_TITLE =
    "(1X,'LOCATIONS WHERE DREDGING PLACEMENTS HAVE',/,1X,"
    "'BEEN DEPOSITED OUTSIDE THE BOUNDARIES LATERAL TOLERANCE')";
constexpr const char* ACT_LATERAL_TOLERANCE = "(/,1X,'LATERAL BOUNDARY TOLERANCE = ',I4,/,/)";
constexpr const char* ACT_LATERAL_NONE =
    "(1X,'NO DISPOSALS HAVE BEEN PLACED OUTSIDE LATERAL ','BOUNDARY TOLERANCES')";
constexpr const char* ACT_LATERAL_COLUMNS =
    "(/,/,/,1X,10X,'LOAD #',15X,'DIST. FROM LAT. BOUNDRY(ft)')";
constexpr const char* ACT_LATERAL_ENTRY = "(1X,11X,I3,40X,I3)";

constexpr const char* TIM_RECORD = "(5I7)";

// One record of a larger source, read on its own: names, numbers and the
// whole-field rule are the source's.
class OneRecord : public recio::RecordSource {
  public:
    OneRecord(const std::string& record, const recio::RecordSource& from)
        : record_(record), from_(from) {}
    bool next_record(std::string& record) override {
        if (used_) return false;
        used_ = true;
        record = record_;
        return true;
    }
    const std::string& source_name() const override { return from_.source_name(); }
    long record_number() const override { return from_.record_number(); }
    bool whole_fields() const override { return from_.whole_fields(); }

  private:
    const std::string& record_;
    const recio::RecordSource& from_;
    bool used_ = false;
};

bool blank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

Position position_in(const std::string& record, const recio::RecordSource& from,
                     const char* format) {
    OneRecord one(record, from);
    Position p;
    const recio::InItem items[] = {recio::to_in(p.e), recio::to_in(p.n)};
    recio::read_items(format, one, items, 2);
    return p;
}

}  // namespace

bool PlacementSummaryWriter::open(const std::string& path) {
    return out_.open(path, recio::RecordWriter::Mode::Atomic);
}

void PlacementSummaryWriter::header(const ActivityHeader& h) {
    out_.write(ACT_SITE, recio::padded(h.site, 6));
    out_.write(ACT_MATERIAL, recio::padded(h.material, 30));
    out_.write(ACT_AMOUNT, h.total_amount);
    out_.write(ACT_EQUIPMENT, recio::padded(h.equipment, 6));
    out_.write(ACT_TECHNIQUE, recio::padded(h.technique, 30));
    out_.write(ACT_START, h.start_month, h.start_year);
    out_.write(ACT_END, h.end_month, h.end_year);
    out_.write(ACT_LOADS, h.loads);
    out_.write(ACT_LOAD_HEADS);
    out_.write(ACT_POSITION_HEADS);
}

void PlacementSummaryWriter::load_line(std::int16_t remaining, float volume, float e, float n,
                                       bool refused) {
    if (refused)
        out_.write(ACT_REFUSED_LOAD_LINE, remaining, volume, e, n);
    else
        out_.write(ACT_LOAD_LINE, remaining, volume, e, n);
}

void PlacementSummaryWriter::page_head() {
    out_.write(ACT_PAGE_HEAD, "\f");
}

void PlacementSummaryWriter::navigable_title(std::int16_t navigable) {
    out_.write(ACT_NAVIGABLE_TITLE);
    out_.write(ACT_NAVIGABLE_DEPTH, navigable);
}

void PlacementSummaryWriter::navigable_none() {
    out_.write(ACT_NAVIGABLE_NONE);
}

void PlacementSummaryWriter::navigable_columns() {
    out_.write(ACT_NAVIGABLE_COLUMNS);
}

void PlacementSummaryWriter::navigable_point(float e, float n, float depth) {
    out_.write(ACT_NAVIGABLE_POINT, e, n, depth);
}

void PlacementSummaryWriter::lateral_title(std::int16_t tolerance) {
    out_.write(ACT_LATERAL_TITLE);
    out_.write(ACT_LATERAL_TOLERANCE, tolerance);
}

void PlacementSummaryWriter::lateral_none() {
    out_.write(ACT_LATERAL_NONE);
}

void PlacementSummaryWriter::lateral_columns() {
    out_.write(ACT_LATERAL_COLUMNS);
}

void PlacementSummaryWriter::lateral_entry(std::int16_t dump_in_week, std::int32_t feet_beyond) {
    out_.write(ACT_LATERAL_ENTRY, dump_in_week, feet_beyond);
}

bool read_load_positions(recio::RecordSource& records, std::vector<Position>& positions) {
    positions.clear();
    std::string r;
    bool heads = false;
    while (!heads && records.next_record(r))
        heads = r.find("EASTING") != std::string::npos && r.find("NORTHING") != std::string::npos;
    if (!heads) return false;
    while (records.next_record(r)) {
        if (!r.empty() && r[0] == '\f') break;
        if (blank(r)) continue;
        positions.push_back(position_in(r, records, ACT_LOAD_POSITION));
    }
    return true;
}

bool write_run_length(const std::string& path, std::int16_t hours) {
    recio::RecordWriter out(path);
    if (!out.is_open()) return false;
    out.write(TIM_RECORD, hours);
    return out.close();
}

bool read_run_length(const std::string& path, std::int16_t& hours) {
    recio::RecordReader in(path);
    return in.is_open() && in.read(TIM_RECORD, hours);
}

bool pattern_fits(const std::vector<Position>& dumps, std::size_t& first_misfit) {
    for (std::size_t k = 0; k < dumps.size(); ++k)
        if (!recio::fits_field("(F12.4)", dumps[k].e) ||
            !recio::fits_field("(F12.4)", dumps[k].n)) {
            first_misfit = k;
            return false;
        }
    return true;
}

bool write_dump_pattern(const std::string& path, const std::vector<Position>& dumps) {
    recio::RecordWriter out(path, recio::RecordWriter::Mode::Atomic);
    if (!out.is_open()) return false;
    for (const Position& p : dumps) out.write(DUMP_PATTERN_RECORD, p.e, p.n);
    return out.close();
}

std::vector<Position> read_dump_pattern(recio::RecordSource& records) {
    std::vector<Position> out;
    std::string r;
    while (records.next_record(r))
        if (!blank(r)) out.push_back(position_in(r, records, DUMP_PATTERN_RECORD));
    return out;
}

bool read_placement_record(recio::RecordReader& in, float& first, float& second) {
    return in.read_list(first, second);
}

}  // namespace suitefiles
