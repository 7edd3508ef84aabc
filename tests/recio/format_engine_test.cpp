// The format interpreter beyond single fields: groups, repeats, reversion,
// positioning, literals, termination, texts, and reading whole records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "recio/format.hpp"

namespace {

using recio::format_records;
using Recs = std::vector<std::string>;

class Lines : public recio::RecordSource {
  public:
    explicit Lines(std::vector<std::string> l, bool whole = false)
        : lines_(std::move(l)), whole_(whole) {}
    bool whole_fields() const override { return whole_; }
    bool next_record(std::string& r) override {
        if (n_ >= static_cast<long>(lines_.size())) return false;
        r = lines_[static_cast<std::size_t>(n_++)];
        return true;
    }
    const std::string& source_name() const override { return name_; }
    long record_number() const override { return n_; }

  private:
    std::vector<std::string> lines_;
    bool whole_ = false;
    std::string name_ = "DUMP.INI";
    long n_ = 0;
};

template <class... T>
bool read(Lines& src, std::string_view fmt, T&&... items) {
    const recio::InItem list[] = {recio::InItem{}, recio::to_in(items)...};
    return recio::read_items(fmt, src, list + 1, sizeof...(T));
}

TEST(FormatOutput, LayoutsOfTheSiteFiles) {
    EXPECT_EQ(format_records("(1X,'AREA IS ',I5)", std::int32_t{40401}), Recs{" AREA IS 40401"});
    EXPECT_EQ(format_records("(1X,'LOCAL NW CORNER IS ',2F12.4)", 1000.5f, -2.25f),
              Recs{" LOCAL NW CORNER IS    1000.5000     -2.2500"});
    EXPECT_EQ(format_records("(1X,2X,I4,14X,F5.0,10X,F12.4,3X,F12.4)", std::int16_t{7}, 12.6f, 1.0f,
                             2.0f),
              Recs{"      7                13.                1.0000         2.0000"});
}

TEST(FormatOutput, RepeatsGroupsAndReversion) {
    float v[5] = {1, 2, 3, 4, 5};
    // Reversion to the start: each record holds two values.
    EXPECT_EQ(format_records("(2F4.1)", recio::array(v, 5)),
              (Recs{" 1.0 2.0", " 3.0 4.0", " 5.0"}));
    // Reversion to the last top-level group, with its repeat count.
    EXPECT_EQ(format_records("(1X,'H',2(I2))",
                             recio::array(std::vector<std::int32_t>{1, 2, 3, 4, 5}.data(), 5)),
              (Recs{" H 1 2", " 3 4", " 5"}));
    // Nested groups.
    EXPECT_EQ(format_records("(2(I1,2(I1)))",
                             recio::array(std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}.data(), 6)),
              Recs{"123456"});
    // 26 values a record, the last record partly filled.
    std::vector<float> d(27, 1.5f);
    auto recs = format_records("(26F8.3)", recio::array(d.data(), d.size()));
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].size(), 208u);
    EXPECT_EQ(recs[1], "   1.500");
}

TEST(FormatOutput, TerminationWritesTrailingLiteralsUpToTheNextDataDescriptor) {
    EXPECT_EQ(format_records("(1X,'N=',I3,' FT',I3,' NEVER')", std::int32_t{5}), Recs{" N=  5 FT"});
    EXPECT_EQ(format_records("(1X,'A',/,1X,'B')"), (Recs{" A", " B"}));
    EXPECT_EQ(format_records("(3/)"), (Recs{"", "", "", ""}));
    EXPECT_EQ(format_records("(1X)"), Recs{""});  // trailing blanks are not written
    EXPECT_EQ(format_records("(I5)"), Recs{""});
    EXPECT_EQ(format_records("(I2,:,' AFTER')", std::int32_t{1}), Recs{" 1"});
}

TEST(FormatOutput, PositioningAndLiterals) {
    EXPECT_EQ(format_records("(T5,'X',T2,'Y')"), Recs{" Y  X"});
    EXPECT_EQ(format_records("('ABC',TL2,'Z',TR1,'Q')"), Recs{"AZCQ"});
    EXPECT_EQ(format_records("(1X,'IT''S',2HOK,\"Q\"\"\")"), Recs{" IT'SOKQ\""});
    // A repeat count written into blanks at run time.
    EXPECT_EQ(
        format_records("(1X,  3(F5.1,'|'))", recio::array(std::vector<float>{1, 2, 3}.data(), 3)),
        Recs{"   1.0|  2.0|  3.0|"});
    EXPECT_EQ(format_records("(1X,   ('-'))"), Recs{" -"});
    EXPECT_EQ(format_records("(1X,  12('-'))"), Recs{" ------------"});
}

TEST(FormatOutput, TextsAndMixedKinds) {
    EXPECT_EQ(format_records("(A6,'|')", "AB"), Recs{"    AB|"});  // short text right-justified
    EXPECT_EQ(format_records("(A3,'|')", "ABCDE"), Recs{"ABC|"});  // long text cut
    EXPECT_EQ(format_records("(1X,A)", std::string("SITE1.IN")), Recs{" SITE1.IN"});
    EXPECT_EQ(format_records("(G6.2,G5.0)", "AB", std::int16_t{42}), Recs{"    AB   42"});
    EXPECT_EQ(format_records("(I3)", std::int8_t{-5}), Recs{" -5"});
    EXPECT_EQ(format_records("(I4.3)", std::int32_t{7}), Recs{" 007"});
    // A 64-bit real keeps its own digits.
    EXPECT_EQ(format_records("(F22.15)", 0.1), Recs{"     0.100000000000000"});
    EXPECT_EQ(format_records("(E12.4)", 1.0e120), Recs{"  0.1000+121"});
    EXPECT_EQ(format_records("(E12.4E3)", 1.5e-5), Recs{" 0.1500E-004"});
    EXPECT_THROW(format_records("(I5)", 1.0f), recio::FormatError);
    EXPECT_THROW(format_records("(F5.1)", std::int32_t{1}), recio::FormatError);
    EXPECT_THROW(format_records("(1X,'NO DATA')", 1.0f), recio::FormatError);
    EXPECT_THROW(format_records("(1X,Q5)", 1.0f), recio::FormatError);
    EXPECT_THROW(format_records("1X,I5", 1), recio::FormatError);
}

TEST(FormatInput, FixedColumnsPaddingAndImpliedDecimals) {
    Lines src({" TOTAL", " AREA IS   121", "   12345 7.5", "SHORT"});
    std::int32_t total = 0;
    ASSERT_TRUE(read(src, "(/,9X,I5)", total));
    EXPECT_EQ(total, 121);
    float a = 0, b = 0;
    ASSERT_TRUE(read(src, "(F8.3,F4.0)", a, b));
    EXPECT_FLOAT_EQ(a, 12.345f);
    EXPECT_FLOAT_EQ(b, 7.5f);
    // A short record reads as if padded with blanks.
    std::string name;
    float c = 9;
    ASSERT_TRUE(read(src, "(A8,F10.2)", name, c));
    EXPECT_EQ(name, "SHORT   ");
    EXPECT_EQ(c, 0.0f);
    EXPECT_FALSE(read(src, "(I5)", total));
}

// A grid file cut inside its depths must not read its missing depths as
// zeros: a source that asks for whole fields refuses every numeric field the
// record does not reach to its last column; texts still pad.
TEST(FormatInput, WholeFieldsRefuseARecordCutShort) {
    float d[3] = {};
    Lines full({"   1.000   2.000   3.000"}, true);
    ASSERT_TRUE(read(full, "(26F8.3)", recio::array(d, 3)));
    EXPECT_EQ(d[2], 3.0f);
    Lines cut({"   1.000   2.000   3."}, true);
    try {
        read(cut, "(26F8.3)", recio::array(d, 3));
        FAIL() << "no error";
    } catch (const recio::RecordError& e) {
        EXPECT_STREQ(e.what(),
                     "RECORD CUT SHORT IN FILE DUMP.INI, RECORD 1, FIELD 3 (COLUMNS 17-24, F8.3): "
                     "THE RECORD ENDS AT COLUMN 21");
    }
    Lines empty({""}, true);
    std::int16_t n = 0;
    EXPECT_THROW(read(empty, "(9X,I5)", n), recio::RecordError);
    Lines word({" TO A 8.5\" x 11\" REPRESENTATION WITHOUT"}, true);
    std::string w;
    ASSERT_TRUE(read(word, "(32X,A8)", w));  // a trailing blank lost to an editor is no loss
    EXPECT_EQ(w, "WITHOUT ");
}

TEST(FormatInput, TextsWithADeclaredLength) {
    Lines src({"GRIDYES   X", "AB"});
    std::string word;
    ASSERT_TRUE(read(src, "(A8)", recio::fixed_text(word, 6)));
    EXPECT_EQ(word, "IDYES ");  // a wide field keeps its rightmost characters
    ASSERT_TRUE(read(src, "(A2)", recio::fixed_text(word, 4)));
    EXPECT_EQ(word, "AB  ");
}

TEST(FormatInput, ArraysAcrossRecordsAndTabs) {
    Lines src({"   1.000   2.000", "   3.000", "xxxxx   42"});
    float v[3];
    ASSERT_TRUE(read(src, "(2F8.3)", recio::array(v, 3)));
    EXPECT_EQ(v[2], 3.0f);
    std::int16_t n = 0;
    ASSERT_TRUE(read(src, "(T6,I5)", n));
    EXPECT_EQ(n, 42);
}

TEST(FormatInput, BadFieldsNameTheFileRecordAndField) {
    Lines src({"    1    2  3X4"});
    std::int16_t a, b, c;
    try {
        read(src, "(3I5)", a, b, c);
        FAIL() << "no error";
    } catch (const recio::RecordError& e) {
        EXPECT_STREQ(
            e.what(),
            "UNREADABLE VALUE IN FILE DUMP.INI, RECORD 1, FIELD 3 (COLUMNS 11-15, I5): \"  3X4\"");
    }
    // A NUL or escape from a damaged file is quoted as '?', keeping the
    // message whole and the console's cursor where it is.
    Lines damaged(
        {std::string("    1 2\0\x1b"
                     "4",
                     10)});
    try {
        read(damaged, "(2I5)", a, b);
        FAIL() << "no error";
    } catch (const recio::RecordError& e) {
        EXPECT_STREQ(
            e.what(),
            "UNREADABLE VALUE IN FILE DUMP.INI, RECORD 1, FIELD 2 (COLUMNS 6-10, I5): \" 2??4\"");
    }
    Lines big({"99999"});
    EXPECT_THROW(read(big, "(I5)", a), recio::RecordError);  // does not fit 16 bits
    Lines nan({"     NaN"});
    float f;
    EXPECT_THROW(read(nan, "(F8.3)", f), recio::RecordError);
    Lines huge({"  1.0E99"});
    EXPECT_THROW(read(huge, "(F8.3)", f), recio::RecordError);
    Lines one({"    1"});
    try {
        read(one, "(I5/I5)", a, b);
        FAIL() << "no error";
    } catch (const recio::RecordError& e) {
        EXPECT_STREQ(e.what(), "UNEXPECTED END OF FILE DUMP.INI AFTER RECORD 1");
    }
}

template <class... T>
bool read_list(Lines& src, T&&... items) {
    const recio::InItem list[] = {recio::InItem{}, recio::to_in(items)...};
    return recio::read_list(src, list + 1, sizeof...(T));
}

TEST(ListInput, SeparatorsRepeatsNullsAndSlash) {
    Lines src({"1.5, 2 ,,", "  3*7 'A B' next", "1 2 / 9", "4.5"});
    float a = 0, b = 0, c = -1;
    ASSERT_TRUE(read_list(src, a, b, c));
    EXPECT_EQ(a, 1.5f);
    EXPECT_EQ(b, 2.0f);
    EXPECT_EQ(c, -1.0f);  // a null value leaves the item as it was
    std::int32_t r[3];
    std::string s;
    ASSERT_TRUE(read_list(src, recio::array(r, 3), s));
    EXPECT_EQ(r[2], 7);
    EXPECT_EQ(s, "A B");
    float x = 0, y = 0, z = -3;
    ASSERT_TRUE(read_list(src, x, y, z));  // the slash ends the read
    EXPECT_EQ(y, 2.0f);
    EXPECT_EQ(z, -3.0f);
    ASSERT_TRUE(read_list(src, x));  // the next read starts on a new record
    EXPECT_EQ(x, 4.5f);
    EXPECT_FALSE(read_list(src, x));
}

TEST(ListInput, ErrorsAndEndOfFile) {
    Lines bad({"1.0 ABC"});
    float a, b;
    try {
        read_list(bad, a, b);
        FAIL() << "no error";
    } catch (const recio::RecordError& e) {
        EXPECT_STREQ(e.what(), "UNREADABLE VALUE IN FILE DUMP.INI, RECORD 1, VALUE 2: \"ABC\"");
    }
    Lines shortfile({"1.0"});
    EXPECT_THROW(read_list(shortfile, a, b), recio::RecordError);
    Lines integer({"2.5"});
    std::int32_t i;
    EXPECT_THROW(read_list(integer, i), recio::RecordError);
}

// A survey or placement file that ends with empty lines is read to its end;
// a record cut after some of its values is still an error.
TEST(ListInput, BlankRecordsAtTheEndEndTheFile) {
    Lines src({"1 2 3", "", "   ", ""});
    float x = 0, y = 0, z = 0;
    ASSERT_TRUE(read_list(src, x, y, z));
    EXPECT_FALSE(read_list(src, x, y, z));
    Lines cut({"1 2 3", "", "4 5"});
    ASSERT_TRUE(read_list(cut, x, y, z));
    try {
        read_list(cut, x, y, z);
        FAIL() << "no error";
    } catch (const recio::RecordError& e) {
        EXPECT_STREQ(e.what(), "UNEXPECTED END OF FILE DUMP.INI AFTER RECORD 3");
    }
}

TEST(FitsField, ValuesThatComeOutWhole) {
    EXPECT_TRUE(recio::fits_field("(F12.4)", 9999999.9999f * 0.5f));
    EXPECT_FALSE(recio::fits_field("(F12.4)", 12345678.0f));
    EXPECT_FALSE(recio::fits_field("(F5.1)", -100.0f));
    EXPECT_FALSE(recio::fits_field("(F8.3)", std::nanf("")));
    EXPECT_TRUE(recio::fits_field("(I4)", std::int16_t{9999}));
    EXPECT_FALSE(recio::fits_field("(I4)", std::int16_t{10000}));
}

TEST(ListOutput, ItemsAndSeparators) {
    EXPECT_EQ(recio::list_line("FOR DUMP # ", std::int16_t{3}, " OF ", std::int16_t{40}),
              " FOR DUMP #       3  OF      40");
    EXPECT_EQ(recio::list_line("AB", "CD"), " ABCD");
    EXPECT_EQ(recio::list_line(), " ");
    EXPECT_EQ(recio::list_line(1.0), "    1.0000000000000000    ");
}

}  // namespace
