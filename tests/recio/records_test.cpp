// Text files by records: reading with DOS line ends, writing, atomic replacement.
#include "recio/records.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// What is not a file is refused by name at once; a pipe must not hold the reader.
TEST_F(RecordsTest, DirectoriesAndPipesInAFilesPlaceAreRefusedByName) {
    fs::create_directory(path("DUMP.INI"));
    ASSERT_EQ(::mkfifo(path("PCD.INI").c_str(), 0644), 0);
    struct Case {
        const char* name;
        const char* says;
    } cases[] = {{"DUMP.INI", "IS A DIRECTORY, NOT A FILE"},
                 {"PCD.INI", "IS NOT A REGULAR FILE (A PIPE, A SOCKET OR A DEVICE)"}};
    for (const Case& c : cases) {
        recio::RecordReader in;
        try {
            in.open(path(c.name));
            ADD_FAILURE() << c.name << " was opened";
        } catch (const recio::RecordError& e) {
            EXPECT_NE(std::string(e.what()).find(path(c.name) + " " + c.says), std::string::npos)
                << e.what();
        }
    }
    recio::RecordReader missing;
    EXPECT_FALSE(missing.open(path("NONE.INI")));  // a missing file is the caller's to report
}

TEST_F(RecordsTest, AByteOrderMarkAtTheStartIsSkipped) {
    put("A.INI", "\xEF\xBB\xBFGRIDYES\n\xEF\xBB\xBF\n");
    recio::RecordReader in(path("A.INI"));
    std::string first, second;
    in.need("(A8)", first);
    in.need("(A3)", second);
    EXPECT_EQ(first, "GRIDYES ");
    EXPECT_EQ(second, "\xEF\xBB\xBF");  // only at the start of the file
}

// A tab in a fixed-column record would shift the columns after it:
// "<tab>4950<tab>4950" read under (2F10.0) gave 49504 and 950.
TEST_F(RecordsTest, ATabInAFixedColumnRecordIsRefusedWithItsColumn) {
    put("SITEGEN.INI", "      4950      4950\n\t4950\t4950\n");
    recio::RecordReader in(path("SITEGEN.INI"));
    float a = 0, b = 0;
    in.need("(2F10.0)", a, b);
    EXPECT_EQ(a, 4950.0f);
    try {
        in.need("(2F10.0)", a, b);
        ADD_FAILURE() << "read " << a << " " << b;
    } catch (const recio::RecordError& e) {
        EXPECT_NE(std::string(e.what()).find("TAB IN FILE " + path("SITEGEN.INI") +
                                             ", RECORD 2, COLUMN 1"),
                  std::string::npos)
            << e.what();
    }
    // List-directed reading takes the tab as a separator.
    put("SURVEY.XYZ", "100.0\t200.0\t30.5\n");
    recio::RecordReader survey(path("SURVEY.XYZ"));
    float x = 0, y = 0, z = 0;
    survey.need_list(x, y, z);
    EXPECT_EQ(z, 30.5f);
}

TEST_F(RecordsTest, AWriteThatFailsSaysWhy) {
    fs::create_directory(path("SITE.OUT"));
    recio::RecordWriter atomic;
    EXPECT_FALSE(atomic.open(path("SITE.OUT"), recio::RecordWriter::Mode::Atomic));
    EXPECT_EQ(atomic.failure(), "IS A DIRECTORY");
    EXPECT_FALSE(atomic.close());
    EXPECT_TRUE(fs::is_directory(path("SITE.OUT")));

    recio::RecordWriter full(path("FULL.DAT"));
    if (fs::exists("/dev/full")) {
        ASSERT_TRUE(full.open("/dev/full"));
        for (int i = 0; i < 10000; ++i) full.record("A RECORD THAT DOES NOT FIT");
        EXPECT_FALSE(full.close());
        EXPECT_EQ(full.failure(), "NO SPACE LEFT ON DEVICE");
    }
}

}  // namespace
