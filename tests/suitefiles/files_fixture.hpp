// A scratch folder per test and the bytes of a file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace suitefiles_test {

namespace fs = std::filesystem;

inline std::string bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void write_text(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// Every test runs in a folder of its own, removed afterwards.
class Folder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("suitefiles_" + std::string(info->test_suite_name()) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        old_ = fs::current_path();
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }

  private:
    fs::path dir_, old_;
};

}  // namespace suitefiles_test
