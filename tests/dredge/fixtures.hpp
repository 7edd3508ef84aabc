// Small fixtures for the long-term mound model's tests: a scratch folder,
// the input files written in their record layouts, a run of the program,
// and PLOTBATH.DAT read back.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "dredge/grid.hpp"
#include "recio/records.hpp"
#include "suitefiles/pcd_ini.hpp"
#include "suitefiles/plotbath.hpp"
#include "suitefiles/tns.hpp"

namespace dredge_test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
  public:
    TempDir() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("dredge_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

// Runs a callable with the current folder set to dir.
class InFolder {
  public:
    explicit InFolder(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
    ~InFolder() { fs::current_path(old_); }

  private:
    fs::path old_;
};

inline std::string data_file(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/dredge/data/" + name;
}

inline void copy_data(const std::string& name, const TempDir& dir, const std::string& as) {
    fs::copy_file(data_file(name), dir.path() / as, fs::copy_options::overwrite_existing);
}

// A resampled grid file: spacing, title, depths column by column (I outer,
// J inner) in (26F8.3) records, then the end marker.
inline void write_tns(const std::string& path, int nx, int ny, float dx,
                      const std::function<float(int, int)>& depth) {
    std::vector<float> v;
    for (int i = 1; i <= nx; ++i)
        for (int j = 1; j <= ny; ++j) v.push_back(depth(i, j));
    recio::RecordWriter out(path);
    suitefiles::write_tns(out, dx, "TEST SITE", v.data(), v.size());
    out.close();
}

// PCD.INI as the placement simulator writes it.
struct Pcd {
    std::int32_t n0 = 1, ndays = 1, nx = 21, ny = 21, iwave = 2, itide = 2, icoh = 2;
    std::string grid = "SITE.TNS";
    float angle = 0.0f, wave_h = 2.0f, wave_t = 8.0f, wave_dir = 0.0f, gauge_const = 40.0f,
          gauge_series = 60.0f;
    float value4 = 0.0f, speed1 = 1.0f, dir1 = 90.0f, switch_day = 100.0f, speed2 = 1.0f,
          dir2 = 90.0f;
    float grain = 0.2f;
    std::int32_t ised = 1;
    float a1 = 30.0f, a2 = 25.0f, porosity = 0.4f;
    float bed = 0.0f;  // non-erodible bed depth (record 6), 0: none

    void write(const std::string& path) const {
        suitefiles::PcdIni c;
        c.n0 = n0;
        c.ndays = ndays;
        c.nx = static_cast<std::int16_t>(nx);
        c.ny = static_cast<std::int16_t>(ny);
        c.iwave = iwave;
        c.itide = itide;
        c.icoh = suitefiles::CohesiveOption{icoh};
        c.grid_file = grid;
        c.grid_angle = angle;
        c.wave_height = wave_h;
        c.wave_period = wave_t;
        c.wave_direction = wave_dir;
        c.gauge_depth_constant = gauge_const;
        c.gauge_depth_series = gauge_series;
        c.schedule_value = value4;
        c.speed1 = speed1;
        c.direction1 = dir1;
        c.switch_day = switch_day;
        c.speed2 = speed2;
        c.direction2 = dir2;
        c.grain_size = grain;
        c.ised = suitefiles::SedimentType{static_cast<std::int16_t>(ised)};
        c.angle1 = a1;
        c.angle2 = a2;
        c.porosity = porosity;
        c.bed_depth = bed;
        if (!suitefiles::write_pcd_ini(path, c)) throw std::runtime_error("cannot write " + path);
    }
};

struct RunResult {
    int status = -1;
    std::string console;
};

// Runs the program in dir with no keyboard, capturing the console.
inline RunResult run_program_in(const TempDir& dir) {
    const std::string out = dir.file("console.txt");
    const std::string cmd = "cd '" + dir.path().string() + "' && '" + std::string(SUITE_BIN_DIR) +
                            "/dredge' < /dev/null > '" + out + "' 2>&1";
    RunResult r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(out, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    r.console = ss.str();
    return r;
}

// PLOTBATH.DAT read back record by record.
struct PlotBathFile {
    std::string header;
    std::vector<float> initial;
    std::vector<std::int32_t> hours;
    std::vector<std::string> elapsed_records;
    std::vector<std::vector<float>> grids;
    bool end_marker = false;
};

// The end marker must be the writer's record exactly and end the file.
inline PlotBathFile read_plotbath(const std::string& path, int nx, int ny) {
    recio::RecordReader in(path);
    if (!in.is_open()) throw std::runtime_error("no " + path);
    const std::size_t n = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);
    suitefiles::PlotBathSeries s = suitefiles::read_plotbath(in, n);
    PlotBathFile p;
    in.rewind();
    in.next_record(p.header);
    p.initial = std::move(s.initial.depth);
    for (suitefiles::PlotBathGrid& g : s.grids) {
        p.hours.push_back(g.hours);
        p.grids.push_back(std::move(g.depth));
    }
    // The records themselves, as written.
    std::string rec;
    in.rewind();
    while (in.next_record(rec) && !suitefiles::is_plotbath_end_marker(rec))
        if (suitefiles::is_plotbath_elapsed(rec)) p.elapsed_records.push_back(rec);
    if (s.complete) {
        if (rec != suitefiles::plotbath_end_records().front())
            throw std::runtime_error("an end marker not as written: \"" + rec + "\"");
        if (in.next_record(rec)) throw std::runtime_error("records after the end marker");
        p.end_marker = true;
    }
    return p;
}

}  // namespace dredge_test
