// A temporary folder in which a whole program runs, with standard input at
// its end so that every RETURN wait passes at once. Shared by the tests of
// sitegen and modify.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

class ProgramFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("suite_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

  public:
    // Empties the run folder, for tests that make several runs.
    void clear() const {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void remove(const std::string& name) const { std::filesystem::remove(dir_ / name); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

    // Copies every file of a fixture folder (tests/<folder>) into the run folder.
    void copy_fixture(const std::string& folder) const {
        for (const auto& f :
             std::filesystem::directory_iterator(std::filesystem::path(TEST_DATA_DIR) / folder))
            std::filesystem::copy_file(f.path(), dir_ / f.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
    }

    // Runs a program of the suite in the folder; returns its exit status.
    int run(const std::string& program) const {
        const std::string command = "cd '" + dir_.string() + "' && '" + std::string(SUITE_BIN_DIR) +
                                    "/" + program + "' </dev/null >console.txt 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string console() const { return text("console.txt"); }

    std::string text(const std::string& name) const {
        std::ifstream in(dir_ / name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> lines(const std::string& name) const {
        std::ifstream in(dir_ / name);
        std::vector<std::string> out;
        for (std::string l; std::getline(in, l);) out.push_back(l);
        return out;
    }
    void write(const std::string& name, const std::string& content) const {
        std::ofstream(dir_ / name) << content;
    }
    void write_lines(const std::string& name, const std::vector<std::string>& records) const {
        std::ofstream out(dir_ / name);
        for (const std::string& r : records) out << r << '\n';
    }
    // Keeps the first n records of a text file.
    void keep_records(const std::string& name, std::size_t n) const {
        std::vector<std::string> all = lines(name);
        all.resize(std::min(n, all.size()));
        write_lines(name, all);
    }
    // Replaces record n (1-based) of a text file.
    void replace_record(const std::string& name, std::size_t n, const std::string& record) const {
        std::vector<std::string> all = lines(name);
        if (n == 0 || n > all.size())
            throw std::out_of_range(name + " has no record " + std::to_string(n));
        all[n - 1] = record;
        write_lines(name, all);
    }
    // Number of times a text appears in the console output.
    int console_count(const std::string& what) const {
        const std::string all = console();
        int count = 0;
        for (std::size_t at = all.find(what); at != std::string::npos; at = all.find(what, at + 1))
            ++count;
        return count;
    }
    // The site files left in the folder (extensions .IN .OUT .DAT .TNS).
    std::vector<std::string> site_files() const {
        std::vector<std::string> out;
        for (const auto& f : std::filesystem::directory_iterator(dir_)) {
            const std::string ext = f.path().extension().string();
            if (ext == ".IN" || ext == ".OUT" || ext == ".DAT" || ext == ".TNS")
                out.push_back(f.path().filename().string());
        }
        return out;
    }

  protected:
    std::filesystem::path dir_;
};
