#include "suitefiles/deposit.hpp"

#include <algorithm>

namespace suitefiles {

namespace {

bool skip(recio::RecordSource& in) {
    std::string r;
    return in.next_record(r);
}

std::string padded8(std::string s) {
    s.resize(8, ' ');
    return s;
}

}  // namespace

std::vector<std::string> deposit_header_records(const std::string& title) {
    std::vector<std::string> r =
        recio::format_records(DEPOSIT_MARK, std::string("    DUT"), std::string(60, ' '));
    r.push_back(recio::format_records(DEPOSIT_TITLE, recio::padded(title, 60)).front());
    return r;
}

std::vector<std::string> deposit_grid_records(std::int32_t rows, std::int32_t cols, float dz,
                                              float dx) {
    return recio::format_records(DEPOSIT_GRID, rows, cols, dz, dx, 0.0f);
}

std::vector<std::string> deposit_summary_records(std::int32_t blocks, float tstop,
                                                 const std::vector<std::string>& names) {
    std::vector<std::string> r = recio::format_records(DEPOSIT_SUMMARY, blocks, tstop);
    std::vector<recio::OutItem> labels;
    std::vector<std::string> held;
    for (const std::string& n : names) held.push_back(padded8(n));
    held.push_back(names.size() == 1 ? std::string(8, ' ') : std::string("TOTALS  "));
    for (const std::string& n : held) labels.push_back(recio::OutItem::scalar_text(n));
    for (std::string& x : recio::write_items(DEPOSIT_NAMES, labels.data(), labels.size()))
        r.push_back(std::move(x));
    return r;
}

std::vector<std::string> deposit_block_records(float time, const float* thickness, std::size_t nrow,
                                               std::size_t ncol) {
    std::vector<std::string> r = recio::format_records(DEPOSIT_TIME, time);
    for (std::size_t m = 0; m < nrow; ++m) {
        if (ncol == 0) {
            r.emplace_back();
            continue;
        }
        for (std::string& x :
             recio::format_records(DEPOSIT_ROW, recio::array(thickness + m * ncol, ncol)))
            r.push_back(std::move(x));
    }
    return r;
}

DepositHeaderEnd read_deposit_header(recio::RecordSource& in, DepositHeader& h) {
    std::string title;
    if (!skip(in) || !recio::read_from(in, DEPOSIT_TITLE, recio::fixed_text(title, 60)) ||
        !recio::read_from(in, DEPOSIT_GRID, h.rows, h.cols, h.dz, h.dx))
        return DepositHeaderEnd::NoGrid;
    while (!title.empty() && title.back() == ' ') title.pop_back();
    h.title = title;
    if (!recio::read_from(in, DEPOSIT_SUMMARY, h.blocks, h.tstop) || !skip(in))
        return DepositHeaderEnd::NoSummary;
    return DepositHeaderEnd::Whole;
}

void skip_deposit_header(recio::RecordSource& in) {
    for (int k = 0; k < DEPOSIT_HEADER_RECORDS; ++k)
        if (!skip(in)) recio::throw_end_of_file(in);
}

bool read_deposit_block(recio::RecordSource& in, int rows, int cols, DepositBlock& b) {
    if (!recio::read_from(in, DEPOSIT_TIME, b.time)) return false;
    b.time_record = in.record_number();
    const auto nrow = static_cast<std::size_t>(std::max(rows - 4, 0)),
               ncol = static_cast<std::size_t>(std::max(cols - 4, 0));
    b.thickness.assign(nrow * ncol, 0.0f);
    for (std::size_t m = 0; m < nrow; ++m) {
        if (ncol == 0) {
            if (!skip(in)) recio::throw_end_of_file(in);
            continue;
        }
        if (!recio::read_from(in, DEPOSIT_ROW, recio::array(b.thickness.data() + m * ncol, ncol)))
            recio::throw_end_of_file(in);
    }
    return true;
}

}  // namespace suitefiles
