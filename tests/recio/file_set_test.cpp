// A set of files replaced together: commit, a rename that fails, a dead run's
// journal and temporaries.
#include "recio/file_set.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "recio/records.hpp"

namespace {

class FileSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/file-set-XXXXXX";
        dir_ = std::string(::mkdtemp(pattern)) + "/";
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    std::string path(const std::string& name) const { return dir_ + name; }
    void put(const std::string& name, const std::string& text) const {
        std::ofstream(path(name)) << text;
    }
    std::string get(const std::string& name) const {
        std::ifstream in(path(name));
        if (!in) return "(none)";
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void stage(recio::FileSet& set, const std::string& name, const std::string& text) const {
        recio::RecordWriter out(set.stage(path(name)), recio::RecordWriter::Mode::Staged);
        out.record(text);
        ASSERT_TRUE(out.close());
    }

    std::string dir_;
};

TEST_F(FileSetTest, CommitReplacesEveryFileAndLeavesNothingBehind) {
    put("S.IN", "old in\n");
    {
        recio::FileSet set(path("S.SET"));
        stage(set, "S.IN", "new in");
        stage(set, "S.OUT", "new out");
        EXPECT_EQ(get("S.IN"), "old in\n");  // nothing changes before the commit
        EXPECT_EQ(set.current(path("S.IN")), set.stage(path("S.IN")));
        ASSERT_TRUE(set.commit());
    }
    EXPECT_EQ(get("S.IN"), "new in\n");
    EXPECT_EQ(get("S.OUT"), "new out\n");
    EXPECT_EQ(std::system(("test $(ls " + dir_ + " | wc -l) = 2").c_str()), 0);
}

TEST_F(FileSetTest, ADirectoryInTheWayLeavesTheOldSet) {
    put("S.IN", "old in\n");
    ASSERT_EQ(::mkdir(path("S.OUT").c_str(), 0755), 0);  // a directory in the way
    put("S.OUT/x", "");
    recio::FileSet set(path("S.SET"));
    stage(set, "S.IN", "new in");
    stage(set, "S.TNS", "new tns");
    stage(set, "S.OUT", "new out");
    EXPECT_FALSE(set.commit());
    EXPECT_NE(set.failure().find("S.OUT"), std::string::npos);
    EXPECT_EQ(get("S.IN"), "old in\n");
    EXPECT_EQ(get("S.TNS"), "(none)");
    EXPECT_EQ(get("S.SET"), "(none)");
}

TEST_F(FileSetTest, AnUncommittedSetIsThrownAway) {
    put("S.IN", "old in\n");
    {
        recio::FileSet set(path("S.SET"));
        stage(set, "S.IN", "new in");
    }
    EXPECT_EQ(get("S.IN"), "old in\n");
    EXPECT_EQ(std::system(("test $(ls " + dir_ + " | wc -l) = 1").c_str()), 0);
}

TEST_F(FileSetTest, ProtectedFilesChangedInPlaceGoBack) {
    put("S.IN", "old in\n");
    {
        recio::FileSet set(path("S.SET"));
        ASSERT_TRUE(set.protect({path("S.IN"), path("S.ACT")}));
        put("S.IN", "week 1\n");
        put("S.ACT", "report\n");
    }
    EXPECT_EQ(get("S.IN"), "old in\n");
    EXPECT_EQ(get("S.ACT"), "(none)");
}

// The journal of a dead run (process 999999999 cannot exist) is carried out
// one way or the other; its temporaries without a journal are removed.
TEST_F(FileSetTest, ADeadRunsJournalIsFinished) {
    const std::string in = path("S.IN"), out = path("S.OUT");
    put("S.IN", "new in\n");  // renamed before the run died
    put("S.OUT", "old out\n");
    put("S.OUT.tmp999999999", "new out\n");
    put("S.SET", "FILE SET\n999999999 FORWARD 2\n" + in + "\n" + in + ".tmp999999999\n" + in +
                     ".old999999999\n1\n" + out + "\n" + out + ".tmp999999999\n" + out +
                     ".old999999999\n1\nEND\n");
    put("X.DAT.tmp999999999", "left by a dead run\n");
    recio::recover_sets(dir_);
    EXPECT_EQ(get("S.IN"), "new in\n");
    EXPECT_EQ(get("S.OUT"), "new out\n");
    EXPECT_EQ(std::system(("test $(ls " + dir_ + " | wc -l) = 2").c_str()), 0);
}

TEST_F(FileSetTest, ADeadRunStillAtWorkIsPutBack) {
    const std::string in = path("S.IN"), act = path("S.ACT");
    put("S.IN", "week 2\n");
    put("S.IN.old999999999", "old in\n");
    put("S.ACT", "half a report\n");
    put("S.SET", "FILE SET\n999999999 BACK 2\n" + in + "\n\n" + in + ".old999999999\n1\n" + act +
                     "\n\n" + act + ".old999999999\n0\nEND\n");
    recio::recover_sets(dir_);
    EXPECT_EQ(get("S.IN"), "old in\n");
    EXPECT_EQ(get("S.ACT"), "(none)");
    EXPECT_EQ(get("S.SET"), "(none)");
}

}  // namespace
