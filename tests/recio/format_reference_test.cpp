// Every rendering and reading in the gfortran reference table, checked field
// for field: what the runtime writes for a REAL(4) or INTEGER under each edit
// descriptor, and what it reads from each record text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "recio/format.hpp"

namespace {

struct Row {
    int line;
    std::vector<std::string> cols;
};

std::vector<Row> load_rows(bool input_part) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/recio/data/fortran_format_reference.tsv");
    std::vector<Row> rows;
    std::string line;
    bool in_input = false;
    int n = 0;
    while (std::getline(in, line)) {
        ++n;
        if (line.rfind("# INPUT", 0) == 0) in_input = true;
        if (line.empty() || line[0] == '#' || in_input != input_part) continue;
        Row r{n, {}};
        std::stringstream ss(line);
        std::string col;
        while (std::getline(ss, col, '\t')) r.cols.push_back(col);
        rows.push_back(r);
    }
    return rows;
}

float float_from_hex(const std::string& hex) {
    std::uint32_t bits = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::string bracketed(const std::string& col) {
    std::size_t a = col.find('['), b = col.rfind(']');
    return col.substr(a + 1, b - a - 1);
}

std::string rtrim(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

TEST(FormatReference, EveryOutputRowMatchesTheRuntime) {
    auto rows = load_rows(false);
    ASSERT_GT(rows.size(), 900u);
    int checked = 0;
    for (const Row& r : rows) {
        const std::string& fmt = r.cols[0];
        const std::string& value = r.cols[1];
        bool is_int = value[0] == 'I';
        std::string got;
        if (fmt == "*") {
            std::string expected = rtrim(r.cols[is_int ? 2 : 3]);
            got = is_int ? recio::list_line(static_cast<std::int32_t>(std::stol(value.substr(2))))
                         : recio::list_line(float_from_hex(value.substr(2)));
            EXPECT_EQ(rtrim(got), expected) << "line " << r.line << " " << fmt << " " << value;
        } else {
            std::string expected = bracketed(r.cols[is_int ? 2 : 3]);
            auto recs = is_int ? recio::format_records(
                                     fmt, static_cast<std::int32_t>(std::stol(value.substr(2))))
                               : recio::format_records(fmt, float_from_hex(value.substr(2)));
            ASSERT_EQ(recs.size(), 1u);
            EXPECT_EQ(recs[0], expected) << "line " << r.line << " " << fmt << " " << value;
        }
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(rows.size()));
}

// A record source over fixed texts, for reading.
class Lines : public recio::RecordSource {
  public:
    explicit Lines(std::vector<std::string> l) : lines_(std::move(l)) {}
    bool next_record(std::string& r) override {
        if (n_ >= static_cast<long>(lines_.size())) return false;
        r = lines_[static_cast<std::size_t>(n_++)];
        return true;
    }
    const std::string& source_name() const override { return name_; }
    long record_number() const override { return n_; }

  private:
    std::vector<std::string> lines_;
    std::string name_ = "TEST.DAT";
    long n_ = 0;
};

TEST(FormatReference, EveryInputRowMatchesTheRuntime) {
    auto rows = load_rows(true);
    ASSERT_GT(rows.size(), 70u);
    for (const Row& r : rows) {
        const std::string& fmt = r.cols[0];
        std::string text = bracketed(r.cols[1]);
        Lines src({text});
        if (fmt == "(I5)") {
            std::int32_t v = -777;
            recio::InItem item = recio::to_in(v);
            if (r.cols[2] == "ERROR") {
                EXPECT_THROW(recio::read_items(fmt, src, &item, 1), recio::RecordError)
                    << "line " << r.line;
            } else {
                ASSERT_TRUE(recio::read_items(fmt, src, &item, 1));
                EXPECT_EQ(v, std::stol(r.cols[2])) << "line " << r.line;
            }
        } else {
            float v = -777.0f;
            recio::InItem item = recio::to_in(v);
            ASSERT_TRUE(recio::read_items(fmt, src, &item, 1)) << "line " << r.line;
            float expected = float_from_hex(r.cols[2]);
            std::uint32_t a, b;
            std::memcpy(&a, &v, 4);
            std::memcpy(&b, &expected, 4);
            EXPECT_EQ(a, b) << "line " << r.line << " " << fmt << " [" << text << "] read " << v;
        }
    }
}

}  // namespace
