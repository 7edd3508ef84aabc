// Text files by records: reading with DOS line ends, writing, atomic replacement.
#include "recio/records.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class RecordsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("recio_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& n) const { return (dir_ / n).string(); }
    void put(const std::string& n, const std::string& text) const {
        std::ofstream(path(n), std::ios::binary) << text;
    }
    std::string get(const std::string& n) const {
        std::ifstream in(path(n), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir_;
};

TEST_F(RecordsTest, ReadsDosLinesAndStopsAtTheEndMark) {
    put("A.INI", "DUMPYES\r\n   12   34\r\n\x1a");
    recio::RecordReader in(path("A.INI"));
    ASSERT_TRUE(in.is_open());
    std::string word;
    in.need("(A8)", word);
    EXPECT_EQ(word, "DUMPYES ");  // A8 of a 7-character record: padded
    std::int16_t a = 0, b = 0;
    in.need("(2I5)", a, b);
    EXPECT_EQ(b, 34);
    EXPECT_EQ(in.record_number(), 2);
    EXPECT_FALSE(in.read("(I5)", a));
    EXPECT_THROW(in.need("(I5)", a), recio::RecordError);
    in.rewind();
    EXPECT_TRUE(in.skip(2));
    EXPECT_FALSE(in.skip(1));
}

TEST_F(RecordsTest, LastLineWithoutLineEndIsARecord) {
    put("B.DAT", "1 2 3\n4 5 6");
    recio::RecordReader in(path("B.DAT"));
    float x, y, z;
    int n = 0;
    while (in.read_list(x, y, z)) ++n;
    EXPECT_EQ(n, 2);
    EXPECT_EQ(z, 6.0f);
}

TEST_F(RecordsTest, MissingFileDoesNotOpen) {
    recio::RecordReader in(path("NONE.IN"));
    EXPECT_FALSE(in.is_open());
    std::int16_t a;
    EXPECT_FALSE(in.read("(I5)", a));
}

TEST_F(RecordsTest, WritesRecordsAndAppends) {
    {
        recio::RecordWriter out(path("C.OUT"));
        out.write("(1X,'N=',I3)", std::int32_t{7});
        out.list("DONE");
        EXPECT_TRUE(out.close());
    }
    recio::RecordWriter more(path("C.OUT"), recio::RecordWriter::Mode::Append);
    more.record("X");
    EXPECT_TRUE(more.close());
    EXPECT_EQ(get("C.OUT"), " N=  7\n DONE\nX\n");
}

TEST_F(RecordsTest, AtomicWriteReplacesOnlyOnClose) {
    put("SITE.IN", "OLD\n");
    {
        recio::RecordWriter out(path("SITE.IN"), recio::RecordWriter::Mode::Atomic);
        out.record("NEW");
        EXPECT_EQ(get("SITE.IN"), "OLD\n");  // untouched while writing
        // destroyed without close(): the run died, the old file stays
    }
    EXPECT_EQ(get("SITE.IN"), "OLD\n");
    {
        recio::RecordWriter out(path("SITE.IN"), recio::RecordWriter::Mode::Atomic);
        out.record("NEW");
        EXPECT_TRUE(out.close());
    }
    EXPECT_EQ(get("SITE.IN"), "NEW\n");
    int files = 0;
    for (auto& e : fs::directory_iterator(dir_)) (void)e, ++files;
    EXPECT_EQ(files, 1);  // no temporary left behind
}

TEST_F(RecordsTest, WriteIntoAMissingFolderFails) {
    recio::RecordWriter out(path("nofolder/X.IN"), recio::RecordWriter::Mode::Atomic);
    EXPECT_FALSE(out.is_open());
    out.record("X");
    EXPECT_FALSE(out.close());
}

}  // namespace
