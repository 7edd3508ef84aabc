// TIDAL.DAT: the reader and the writer.
#include "suitefiles/tidal.hpp"

#include <algorithm>

#include "suitefiles/record_list.hpp"

namespace suitefiles {

namespace {
constexpr const char* LEVELS = "(I10,3F10.2)";
constexpr const char* CONSTITUENT = "(A10,F10.6,6F10.2)";
constexpr const char* CONSTITUENT_OUT = "(A10,F10.6,F10.4,5F10.2)";
}  // namespace

bool TidalReader::two_records(std::vector<std::string>& records) {
    records.assign(2, std::string());
    return in_.next_record(records[0]) && in_.next_record(records[1]);
}

template <class Real>
void TidalReader::levels_of(TidalLevelsOf<Real>& l) {
    in_.need(LEVELS, l.ncon, l.mean, l.u0, l.v0);
}

template <class Real>
void TidalReader::constituent_of(TidalConstituentOf<Real>& c) {
    in_.need(CONSTITUENT, c.name, c.speed, c.amplitude, c.phase, c.u_amplitude, c.u_phase,
             c.v_amplitude, c.v_phase);
}

void TidalReader::levels(TidalLevels& l) {
    levels_of(l);
}
void TidalReader::levels(TidalLevelsOf<double>& l) {
    levels_of(l);
}
void TidalReader::constituent(TidalConstituent& c) {
    constituent_of(c);
}
void TidalReader::constituent(TidalConstituentOf<double>& c) {
    constituent_of(c);
}

bool read_tidal_file(const std::string& path, TidalFile& f) {
    TidalReader in;
    if (!in.open(path)) return false;
    f = TidalFile{};
    const std::string place = path + " RECORD ";
    if (!in.title(f.title)) throw recio::RecordError(path + " ENDS IN ITS HEADER");
    in.levels(f.levels);
    if (f.levels.ncon < 0 || f.levels.ncon > MAX_CONSTITUENTS)
        throw recio::RecordError(place + std::to_string(in.record_number()) +
                                 ": THE NUMBER OF CONSTITUENTS MUST BE 0 TO 20, NOT " +
                                 std::to_string(f.levels.ncon));
    if (!in.heading(f.heading)) throw recio::RecordError(path + " ENDS BEFORE ITS CONSTITUENTS");
    f.constituents.resize(static_cast<std::size_t>(f.levels.ncon));
    for (TidalConstituentOf<double>& c : f.constituents) in.constituent(c);
    std::string record;
    while (in.records().next_record(record)) f.trailer.push_back(record);
    return true;
}

std::vector<std::string> tidal_records(const TidalFile& f) {
    std::vector<std::string> out = f.title;
    out.resize(2);
    const TidalLevelsOf<double>& l = f.levels;
    for (std::string& s : recio::format_records(LEVELS, l.ncon, l.mean, l.u0, l.v0))
        out.push_back(std::move(s));
    std::vector<std::string> heading = f.heading;
    heading.resize(2);
    out.insert(out.end(), heading.begin(), heading.end());
    for (const TidalConstituentOf<double>& c : f.constituents)
        for (std::string& s :
             recio::format_records(CONSTITUENT_OUT, recio::padded(c.name, 10), c.speed, c.amplitude,
                                   c.phase, c.u_amplitude, c.u_phase, c.v_amplitude, c.v_phase))
            out.push_back(std::move(s));
    out.insert(out.end(), f.trailer.begin(), f.trailer.end());
    return out;
}

bool write_tidal_file(const std::string& path, const TidalFile& f) {
    return write_record_list(path, tidal_records(f));
}

}  // namespace suitefiles
