// Console carriage control, keyboard at end of input, child programs, random,
// the frame of a program's main.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <stdexcept>

#include "recio/console.hpp"
#include "recio/folder_lock.hpp"
#include "recio/process.hpp"
#include "recio/program.hpp"
#include "recio/random.hpp"

namespace fs = std::filesystem;

namespace {

TEST(Console, CarriageControlEndsLinesLazilyAndOverwritesWithPlus) {
    ::testing::internal::CaptureStdout();
    recio::console_record(" FIRST");
    recio::console_write("(1X,'N=',I2)", std::int32_t{1});
    recio::console_record("+N= 2");
    recio::console_record("0AFTER A GAP");
    recio::console_record("");
    recio::console_end_line();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "FIRST\nN= 1\rN= 2\n\nAFTER A GAP\n\n");
}

TEST(Keyboard, EndOfInputReadsAsEmptyLines) {
    // Standard input of the test run may be a terminal; point it at an empty file.
    std::FILE* empty = std::tmpfile();
    int saved = ::dup(STDIN_FILENO);
    ::dup2(::fileno(empty), STDIN_FILENO);
    std::cin.clear();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(recio::keyboard_line(), "");
    EXPECT_TRUE(recio::keyboard_at_end());
    EXPECT_EQ(recio::keyboard_line(), "");
    float x = 5.0f, y = 6.0f;
    EXPECT_FALSE(recio::keyboard_list(x, y));
    EXPECT_EQ(x, 5.0f);
    std::int16_t n = 3;
    recio::keyboard_read("(I5)", n);
    EXPECT_EQ(n, 0);
    ::testing::internal::GetCapturedStdout();
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
    std::fclose(empty);
}

TEST(ChildPrograms, OutsideProgramFoundInCurrentFolderAndRunWithOneBlank) {
    fs::path dir = fs::temp_directory_path() / ("child_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::path old = fs::current_path();
    fs::current_path(dir);
    {
        std::ofstream s("carryx");
        s << "#!/bin/sh\n[ \"$1\" = \" \" ] && [ $# -eq 1 ] && echo ok > ran.txt\nexit 3\n";
    }
    fs::permissions("carryx", fs::perms::owner_all);
    EXPECT_EQ(recio::find_program("CARRYX.EXE"), "./carryx");
    EXPECT_EQ(recio::run_program("CARRYX.EXE"), 3);
    EXPECT_TRUE(fs::exists("ran.txt"));
    EXPECT_EQ(recio::find_program("NOSUCHPROGRAMX.EXE"), "");
    EXPECT_EQ(recio::run_program("NOSUCHPROGRAMX.EXE"), -1);
    fs::current_path(old);
    fs::remove_all(dir);
}

TEST(Random, SeededSequenceIsRepeatableAndInRange) {
    recio::UniformRandom a(17), b(17);
    for (int i = 0; i < 1000; ++i) {
        float u = a.next();
        EXPECT_EQ(u, b.next());
        EXPECT_GE(u, 0.0f);
        EXPECT_LT(u, 1.0f);
    }
    int s = recio::clock_seconds();
    EXPECT_GE(s, 0);
    EXPECT_LE(s, 59);
}

// Every way a program's body can end, and what its main then says and returns.
TEST(ProgramFrame, StopsBecomeAMessageTheClosingLineAndStatusOne) {
    struct Case {
        const char* what;
        std::function<int()> body;
        int status;
        std::string console;
    };
    const Case cases[] = {
        {"done", [] { return recio::STATUS_DONE; }, 0, ""},
        {"finished with refusals", [] { return recio::STATUS_REFUSALS; }, 3, ""},
        {"refused input", [] { return recio::STATUS_FAILED; }, 1, ""},
        {"unreadable record",
         []() -> int { throw recio::RecordError("UNREADABLE VALUE IN FILE X.INI, RECORD 2"); }, 1,
         "UNREADABLE VALUE IN FILE X.INI, RECORD 2\nNO GRID WRITTEN\n"},
        {"out of memory", []() -> int { throw std::bad_alloc(); }, 1,
         "SITEGEN STOPPED: NOT ENOUGH MEMORY\nNO GRID WRITTEN\n"},
        {"other failure", []() -> int { throw std::runtime_error("disk full"); }, 1,
         "SITEGEN STOPPED: DISK FULL\nNO GRID WRITTEN\n"},
        {"anything else", []() -> int { throw 7; }, 1, "SITEGEN STOPPED\nNO GRID WRITTEN\n"},
    };
    for (const Case& c : cases) {
        ::testing::internal::CaptureStdout();
        const int status = recio::run_main({"SITEGEN", "NO GRID WRITTEN"}, c.body);
        recio::console_end_line();
        EXPECT_EQ(status, c.status) << c.what;
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.console) << c.what;
    }
}

}  // namespace

namespace {

// A title read from a file must not move the cursor or clear the screen.
TEST(Console, ControlCharactersInATextAreShownAsQuestionMarks) {
    ::testing::internal::CaptureStdout();
    recio::console_record(" TITLE \x1b[2J\x1b[H\tEND\x7f");
    recio::console_end_line();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "TITLE ?[2J?[H?END?\n");
}

// One run per folder: a second program is refused naming the holder; the
// holder's own children go through; the lock goes with its holder.
TEST(FolderLock, ASecondRunIsRefusedAndTheHoldersChildrenGoThrough) {
    const fs::path dir = fs::temp_directory_path() / ("lock_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {  // the holder, e.g. placer, and one child of its own
        recio::FolderLock lock;
        int status = lock.acquire("placer", dir.string()).empty() ? 0 : 1;
        const pid_t child = ::fork();
        if (child == 0) {
            recio::FolderLock child_lock;
            ::_exit(child_lock.acquire("cloudex", dir.string()).empty() ? 0 : 1);
        }
        int child_status = 0;
        ::waitpid(child, &child_status, 0);
        if (!WIFEXITED(child_status) || WEXITSTATUS(child_status) != 0) status = 2;
        char c = 'r';
        if (::write(ready[1], &c, 1) != 1) status = 3;
        if (::read(done[0], &c, 1) != 1) status = 4;
        ::_exit(status);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    recio::FolderLock second;
    const std::string refused = second.acquire("sitegen", dir.string());
    EXPECT_EQ(refused,
              "ANOTHER PROGRAM OF THE SUITE (PLACER, PROCESS " + std::to_string(holder) +
                  ") IS RUNNING IN THIS FOLDER; WAIT FOR IT TO END OR RUN IN ANOTHER FOLDER");
    ASSERT_EQ(::write(done[1], &c, 1), 1);
    int status = 0;
    ::waitpid(holder, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the holder or its child could not take the lock";
    EXPECT_EQ(second.acquire("sitegen", dir.string()), "");  // released when the holder ended
    second.release();
    fs::remove_all(dir);
}

}  // namespace
