#include "suitefiles/plotbath.hpp"

#include <deque>

#include "recio/held_records.hpp"

namespace suitefiles {

namespace {

constexpr std::size_t PER_RECORD = 26;

void read_grid(recio::RecordSource& in, std::size_t values, PlotBathGrid& g) {
    g.depth.assign(values, 0.0f);
    g.first_record = in.record_number() + 1;
    recio::need_from(in, PLOTBATH_GRID, recio::array(g.depth.data(), values));
}

}  // namespace

std::size_t plotbath_grid_records(std::size_t values) {
    return (values + PER_RECORD - 1) / PER_RECORD;
}

bool is_plotbath_end_marker(std::string_view r) {
    const std::size_t used = r.find_first_not_of(' ');
    if (used == std::string_view::npos || used < 20) return false;
    std::string digits;
    for (char c : r.substr(20, 10))
        if (c != ' ') digits += c;
    return digits == "9999";
}

bool is_plotbath_elapsed(std::string_view r) {
    return r.size() >= 20 && r.compare(5, 15, "ELAPSED TIME = ") == 0;
}

std::vector<std::string> plotbath_header_records(const PlotBathHeader& h) {
    return recio::format_records(PLOTBATH_HEADER, h.grain, h.manning, h.dx, h.dy);
}

std::vector<std::string> plotbath_grid_records(const float* depth, std::size_t values) {
    return recio::format_records(PLOTBATH_GRID, recio::array(depth, values));
}

std::vector<std::string> plotbath_elapsed_records(std::int32_t hours) {
    return recio::format_records(PLOTBATH_ELAPSED, hours);
}

std::vector<std::string> plotbath_end_records() {
    return recio::format_records(PLOTBATH_END);
}

std::vector<std::string> plotbath_records(const PlotBathSeries& s) {
    std::vector<std::string> out;
    auto add = [&out](std::vector<std::string> r) {
        for (std::string& x : r) out.push_back(std::move(x));
    };
    add(plotbath_header_records(s.header));
    add(plotbath_grid_records(s.initial.depth.data(), s.initial.depth.size()));
    for (const PlotBathGrid& g : s.grids) {
        add(plotbath_elapsed_records(g.hours));
        add(plotbath_grid_records(g.depth.data(), g.depth.size()));
    }
    if (s.complete) add(plotbath_end_records());
    return out;
}

void PlotBathWriter::put(const std::vector<std::string>& records) {
    for (const std::string& r : records) out_.record(r);
}

void PlotBathWriter::header(const PlotBathHeader& h) {
    put(plotbath_header_records(h));
}

void PlotBathWriter::grid(const float* depth, std::size_t values) {
    out_.write(PLOTBATH_GRID, recio::array(depth, values));
}

void PlotBathWriter::elapsed(std::int32_t hours) {
    put(plotbath_elapsed_records(hours));
}

void PlotBathWriter::end_marker() {
    put(plotbath_end_records());
}

PlotBathSeries read_plotbath(recio::RecordSource& in, std::size_t values) {
    PlotBathSeries s;
    PlotBathHeader& h = s.header;
    recio::need_from(in, PLOTBATH_HEADER_IN, h.grain, h.manning, h.dx, h.dy);
    read_grid(in, values, s.initial);
    std::string r;
    while (in.next_record(r)) {
        if (is_plotbath_end_marker(r)) {
            s.complete = true;
            break;
        }
        if (!is_plotbath_elapsed(r))
            throw recio::RecordError(in.source_name() + " RECORD " +
                                     std::to_string(in.record_number()) +
                                     ": NEITHER AN ELAPSED TIME NOR THE END MARKER");
        PlotBathGrid g;
        recio::HeldRecords one(in.source_name(), {r}, in.record_number());
        one.need(PLOTBATH_HOURS_IN, g.hours);
        read_grid(in, values, g);
        s.grids.push_back(std::move(g));
    }
    return s;
}

bool read_last_plotbath_grid(recio::RecordReader& in, std::size_t values, PlotBathGrid& last) {
    const std::size_t per_grid = plotbath_grid_records(values);
    std::deque<std::string> window;  // the per_grid + 1 records before the current one
    std::vector<std::string> held;
    long first_number = 0;
    bool any_marker = false;
    std::string r;
    while (in.next_record(r)) {
        if (is_plotbath_end_marker(r)) {
            any_marker = true;
            held.clear();
            if (window.size() == per_grid + 1 && is_plotbath_elapsed(window.front())) {
                held.assign(window.begin(), window.end());
                first_number = in.record_number() - static_cast<long>(per_grid) - 1;
            }
        }
        window.push_back(std::move(r));
        if (window.size() > per_grid + 1) window.pop_front();
    }
    if (!any_marker || held.empty()) return false;
    recio::HeldRecords src(in.source_name(), std::move(held), first_number);
    last = PlotBathGrid{};
    src.need(PLOTBATH_HOURS_IN, last.hours);
    read_grid(src, values, last);
    return true;
}

}  // namespace suitefiles
