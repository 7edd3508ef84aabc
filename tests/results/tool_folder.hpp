// A scratch folder for running one of the view tools as a whole program:
// run("command args") starts build/bin/<tool> there and returns its exit
// status; console() is what it printed.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class ToolFolder : public ::testing::Test {
  protected:
    explicit ToolFolder(std::string tool) : tool_(std::move(tool)) {}
    void SetUp() override {
        std::string name = tool_ + "_" + std::to_string(::getpid()) + "_" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';  // parameterized tests are named "Case/N"
        dir_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    int run(const std::string& args) {
        const std::string cmd = "cd \"" + dir_.string() + "\" && " + std::string(SUITE_BIN_DIR) +
                                "/" + tool_ + " " + args + " > " + (dir_ / "console.txt").string() +
                                " 2>&1 < /dev/null";
        const int st = std::system(cmd.c_str());
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    std::string console() {
        std::ifstream in(dir_ / "console.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string out(const std::string& name) { return (dir_ / name).string(); }
    static std::string read_text(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void write_text(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    std::string tool_;
    std::filesystem::path dir_;
};
