// The readers of the placement files on arbitrary input: the load lines of a
// placement summary, a dump pattern and a placement file. Positions they
// accept, written by the writers (where they fit their columns) and read
// back, come back the same after a second round.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_file.hpp"
#include "suitefiles/placement_files.hpp"

namespace {

using suitefiles::Position;

// Positions the writers can put in their columns: finite, within F12.4.
bool writable(const std::vector<Position>& positions) {
    for (const Position& p : positions)
        if (!std::isfinite(p.e) || !std::isfinite(p.n)) return false;
    std::size_t misfit = 0;
    return suitefiles::pattern_fits(positions, misfit);
}

bool same(const std::vector<Position>& a, const std::vector<Position>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k].e != b[k].e || a[k].n != b[k].n) return false;
    return true;
}

std::vector<Position> summary_through_writer(const std::vector<Position>& positions) {
    suitefiles::PlacementSummaryWriter w;
    if (!w.open("AGAIN.ACT")) std::abort();
    w.header(suitefiles::ActivityHeader{});
    for (const Position& p : positions) w.load_line(0, 1000.0f, p.e, p.n);
    if (!w.close()) std::abort();
    recio::RecordReader again("AGAIN.ACT");
    std::vector<Position> back;
    if (!suitefiles::read_load_positions(again, back)) std::abort();
    return back;
}

void summary_round_trip() {
    std::vector<Position> read;
    try {
        recio::RecordReader in("RUN.ACT");
        if (!suitefiles::read_load_positions(in, read)) return;
    } catch (const recio::RecordError&) {
        return;
    }
    if (!writable(read)) return;
    const std::vector<Position> one = summary_through_writer(read);
    if (one.size() != read.size() || !same(one, summary_through_writer(one))) std::abort();
}

std::vector<Position> pattern_through_writer(const std::vector<Position>& positions) {
    if (!suitefiles::write_dump_pattern("AGAIN.XYZ", positions)) std::abort();
    recio::RecordReader again("AGAIN.XYZ");
    return suitefiles::read_dump_pattern(again);
}

void pattern_round_trip() {
    std::vector<Position> read;
    try {
        recio::RecordReader in("RUN.ACT");
        read = suitefiles::read_dump_pattern(in);
    } catch (const recio::RecordError&) {
        return;
    }
    if (!writable(read)) return;
    const std::vector<Position> one = pattern_through_writer(read);
    if (one.size() != read.size() || !same(one, pattern_through_writer(one))) std::abort();
}

void placement_file() {
    recio::RecordReader in("RUN.ACT");
    float first = 0, second = 0;
    try {
        for (int k = 0; k < 10000 && suitefiles::read_placement_record(in, first, second); ++k) {
        }
    } catch (const recio::RecordError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("RUN.ACT", data, size);
    summary_round_trip();
    pattern_round_trip();
    placement_file();
    return 0;
}
