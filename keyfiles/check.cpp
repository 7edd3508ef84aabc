// `menu check`: every control and series file of a folder read with the
// programs' own readers, and what only several files together can show.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <system_error>

#include "gridlib/sitegrid.hpp"
#include "keyfiles/keyfiles.hpp"
#include "placer/control.hpp"
#include "recio/process.hpp"
#include "recio/records.hpp"
#include "suitefiles/balance.hpp"
#include "suitefiles/placement_files.hpp"
#include "suitefiles/tide.hpp"
#include "suitefiles/wavrec.hpp"

namespace keyfiles {
namespace {

namespace fs = std::filesystem;

std::string text_of(float x) {
    std::string t = recio::format_records("(G13.6)", x)[0];
    t.erase(0, t.find_first_not_of(' '));
    t.erase(t.find_last_not_of(' ') + 1);
    return t;
}

// A reader's message "... IN FILE F, RECORD R, FIELD K (COLUMNS A-B, ...)"
// in the compiler's form F:R:A-B: ...
std::string compiler_form(const std::string& file, const std::string& message) {
    static const std::regex place(
        R"(FILE (\S+?),? RECORD (\d+)(?:, FIELD (\d+) \(COLUMNS (\d+)-(\d+))?)");
    static const std::regex record_only(R"((\S+) RECORD (\d+): )");
    std::smatch m;
    if (std::regex_search(message, m, place))
        return fs::path(m[1].str()).filename().string() + ":" + m[2].str() + ":" +
               (m[4].matched ? m[4].str() + "-" + m[5].str() : std::string("1")) + ": " +
               (m[3].matched ? "field " + m[3].str() : std::string("record")) + ": " + message;
    if (std::regex_search(message, m, record_only))
        return file + ":" + m[2].str() + ":1: " + m.suffix().str();
    return file + ":1:1: " + message;
}

std::string upper(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

// How many words of a field's key (twice) and of its meaning stand in a
// message, units and short words left out: the field a reader's message
// speaks of scores highest.
int words_in(const std::string& words, const std::string& message, std::size_t shortest) {
    int score = 0;
    std::string word;
    for (const char ch : upper(words) + " ") {
        if (std::isalpha(static_cast<unsigned char>(ch))) {
            word += ch;
            continue;
        }
        if (word.size() >= shortest && word != "FEET" &&
            message.find(word.substr(0, 5)) != std::string::npos)
            ++score;
        word.clear();
    }
    return score;
}

int words_named(const Field& f, const std::string& message) {
    return 2 * words_in(f.key, message, 3) + words_in(f.meaning, message, 5);
}

std::string value_of(const Field& f) {
    if (f.type == Field::Type::Text) return f.get_text();
    const double x = f.get_number();
    if (f.letters) return std::string(1, static_cast<char>(x));
    if (f.type == Field::Type::Real) return text_of(static_cast<float>(x));
    return std::to_string(static_cast<long long>(x));
}

// A reader's message "FILE RECORD n: what is wrong" with the columns, the
// field and the value the file's field table knows for that record: the field
// the message names, or the whole record's fields when it names none.
std::string located(Values& v, const std::string& file, const std::string& message) {
    static const std::regex record(R"(RECORD (\d+)\)?:? )");
    static const std::regex leading(R"(^\S+ RECORD \d+: )");
    std::smatch m;
    const bool has_record = std::regex_search(message, m, record);
    const long number = has_record ? std::stol(m[1].str()) : 0;
    std::vector<Field> fields = fields_of(v);
    std::vector<const Field*> candidates;
    for (const Field& f : fields)
        if (!has_record || f.record == number) candidates.push_back(&f);
    const Field* best = nullptr;
    int best_score = 0;
    bool tie = false;
    for (const Field* f : candidates) {
        const int score = words_named(*f, message);
        if (score > best_score) {
            best = f;
            best_score = score;
            tie = false;
        } else if (score == best_score && score > 0) {
            tie = true;
        }
    }
    if (has_record && candidates.size() == 1) best = candidates.front(), tie = false;
    const std::string what = std::regex_replace(message, leading, "");
    if (best && !tie)
        return suitefiles::check_message(
            {file, best->record, best->first, best->last, best->key, value_of(*best), what});
    if (!has_record || candidates.empty()) return compiler_form(file, message);
    std::string keys, values;
    int first = candidates.front()->first, last = candidates.front()->last;
    for (const Field* f : candidates) {
        keys += (keys.empty() ? "" : ", ") + f->key;
        values += (values.empty() ? "" : " ") + value_of(*f);
        first = std::min(first, f->first);
        last = std::max(last, f->last);
    }
    return suitefiles::check_message({file, number, first, last, keys, values, what});
}

struct Folder {
    fs::path dir;
    std::vector<std::string> faults;
    std::string path(const std::string& name) const { return (dir / name).string(); }
    bool has(const std::string& name) const { return fs::exists(dir / name); }
    void add(const std::string& line) { faults.push_back(line); }
    void add(const suitefiles::FieldFault& f) { faults.push_back(suitefiles::check_message(f)); }
};

// Reads a file with its reader; false (and the fault) when it cannot be read.
template <class Read>
bool readable(Folder& f, const std::string& name, Read read) {
    try {
        read();
        return true;
    } catch (const std::exception& e) {
        f.add(compiler_form(name, e.what()));
        return false;
    }
}

std::string trimmed(const std::string& s) {
    const std::size_t end = s.find_first_of(' ');
    return s.substr(0, end);
}

// The site a placement starts from: its grid and summary, each against the other.
bool site_of(Folder& f, const suitefiles::DumpControl& c, gridlib::SiteGrid& grid,
             gridlib::SiteSummary& summary) {
    const std::string stem = trimmed(c.prefix) + trimmed(c.site);
    const std::string in = stem + ".IN", out = stem + ".OUT";
    const gridlib::GridRead g = gridlib::RGRID1_HEADER(f.path(in), grid);
    if (g.flag != gridlib::GRID_OK) {
        f.add(suitefiles::check_message({"DUMP.INI", 2, 1, 6, "site", trimmed(c.site),
                                         "THE SITE GRID FILE " + in +
                                             " CANNOT BE READ (IS THE SITE MADE, AND THE DATA "
                                             "DIRECTORY OF RECORD 1 RIGHT?)"}));
        return false;
    }
    const gridlib::GridRead s = gridlib::READG(f.path(out), summary);
    if (s.flag != gridlib::GRID_OK) {
        f.add(suitefiles::check_message({"DUMP.INI", 2, 1, 6, "site", trimmed(c.site),
                                         "THE SITE SUMMARY FILE " + out + " CANNOT BE READ"}));
        return false;
    }
    if (summary.portrayal_interval != grid.interval)
        f.add(out + ":1:1: portrayal interval: " + std::to_string(summary.portrayal_interval) +
              ": IS NOT THE INTERVAL " + std::to_string(grid.interval) + " FT OF " + in);
    const std::int32_t we = (grid.points_we - 1) * grid.interval,
                       ns = (grid.points_ns - 1) * grid.interval;
    if (summary.we_extent != we || summary.ns_extent != ns)
        f.add(out + ":1:1: extents: " + std::to_string(summary.we_extent) + " " +
              std::to_string(summary.ns_extent) + ": ARE NOT THOSE OF " + in + " (" +
              std::to_string(we) + " " + std::to_string(ns) + " FT)");
    return true;
}

// True if a position in the site's system lies on the site (within half an interval).
bool on_site(const gridlib::SiteGrid& grid, const gridlib::SiteSummary& summary, float e, float n) {
    const suitefiles::Rotation rot =
        suitefiles::rotation_of(grid.rotation, grid.coord_system, summary.corners.nw_n);
    float de = e - summary.corners.nw_e, dn = n - summary.corners.nw_n;
    if (grid.coord_system == 2) {
        de = -de * suitefiles::FEET_PER_DEGREE * rot.cl;
        dn = dn * suitefiles::FEET_PER_DEGREE;
    }
    const float xl = de * rot.cosr + dn * rot.sinr;  // along the rows
    const float yl = de * rot.sinr - dn * rot.cosr;  // down the columns
    const float half = static_cast<float>(grid.interval) / 2.0f;
    return xl >= -half && yl >= -half &&
           xl <= static_cast<float>((grid.points_we - 1) * grid.interval) + half &&
           yl <= static_cast<float>((grid.points_ns - 1) * grid.interval) + half;
}

void check_positions(Folder& f, const suitefiles::DumpControl& c) {
    gridlib::SiteGrid grid;
    gridlib::SiteSummary summary;
    if (!site_of(f, c, grid, summary)) return;
    const auto at = [&](long record, int first, const char* what, float e, float n) {
        if (!on_site(grid, summary, e, n))
            f.add(suitefiles::check_message(
                {"DUMP.INI", record, first, first + 23, what, text_of(e) + " " + text_of(n),
                 "LIES OFF THE SITE " + trimmed(c.site) + " (ITS NW CORNER " +
                     text_of(summary.corners.nw_e) + " " + text_of(summary.corners.nw_n) +
                     ", ROTATION " + text_of(grid.rotation) + ")"}));
    };
    using suitefiles::PlacementMode;
    if (c.placement_mode == PlacementMode::Scatter)
        at(15, 1, "scatter centre", c.centre_e, c.centre_n);
    if (c.placement_mode == PlacementMode::Line) {
        at(15, 1, "line start", c.line_start_e, c.line_start_n);
        at(15, 25, "line end", c.line_end_e, c.line_end_n);
    }
}

// The first wave record's date (YYMMDD) against the start month and year.
void check_wave_dates(Folder& f, const suitefiles::DumpControl& c,
                      const suitefiles::WaveRecord& first) {
    const std::int32_t yy = first.date / 10000, mm = first.date / 100 % 100, dd = first.date % 100;
    const long record = suitefiles::WAVREC_HEADER_RECORDS + 1;
    char shown[16];
    std::snprintf(shown, sizeof shown, "%06d", static_cast<int>(first.date));
    const std::string start = std::to_string(c.start_month) + "/" + std::to_string(c.start_year);
    if (mm != c.start_month || yy != c.start_year % 100)
        f.add(suitefiles::check_message(
            {"WAVREC.OUT", record, 2, 7, "first date", shown,
             "THE SERIES STARTS IN " + std::to_string(mm) + "/" + std::to_string(yy) +
                 ", NOT IN THE START MONTH " + start +
                 " OF DUMP.INI RECORD 12 (COLUMNS 1-10): ITS STEP 0 IS THE FIRST 3-HOUR STEP OF "
                 "THAT MONTH"}));
    else if (dd != 1)
        f.add(suitefiles::check_message(
            {"WAVREC.OUT", record, 2, 7, "first date", shown,
             "THE SERIES STARTS ON DAY " + std::to_string(dd) + " OF " + start +
                 ": ITS STEP 0 IS THE FIRST 3-HOUR STEP OF THE START MONTH (DAY 1)"}));
}

void check_dump(Folder& f) {
    suitefiles::DumpControl c;
    if (!readable(f, "DUMP.INI", [&] { suitefiles::read_dump_ini(f.path("DUMP.INI"), c); })) return;
    const std::string problem = placer::check_dump_control(c);
    if (!problem.empty()) {
        Values v;
        v.kind = Kind::Dump;
        v.dump = c;
        f.add(located(v, "DUMP.INI", problem));
    }
    using suitefiles::WaveSource;
    const bool placement = c.run_mode == suitefiles::RunMode::Placement;
    // The fractions make up the load: their concentrations are parts of it.
    double sum = 0;
    for (const suitefiles::Fraction& x : c.fractions) sum += static_cast<double>(x.conc);
    if (sum > 1.0 + 1e-6)
        f.add(
            suitefiles::check_message({"DUMP.INI", c.rec_fractions, 22, 31,
                                       "fraction concentrations", text_of(static_cast<float>(sum)),
                                       "THEIR SUM IS MORE THAN THE WHOLE LOAD (AT MOST 1)"}));
    // A fraction deposits where the bottom shear stress is below its
    // critical stress; the stress is never below 0.
    for (std::size_t k = 0; k < c.fractions.size(); ++k)
        if (c.fractions[k].conc > 0 && !(c.fractions[k].taucd > 0))
            f.add(suitefiles::check_message(
                {"DUMP.INI", c.rec_fractions + static_cast<long>(k), 52, 61,
                 "deposition shear stress of " + trimmed(c.fractions[k].name),
                 text_of(c.fractions[k].taucd),
                 "NONE OF THE FRACTION CAN DEPOSIT UNDER ANY BOTTOM SHEAR STRESS: IT MUST BE "
                 "GREATER THAN 0 LB/FT2 (FINE SILT AND CLAY TYPICALLY 0.001 TO 0.02)"}));
    // The schedule against the series it needs: step 0 of WAVREC.OUT is the
    // first 3-hour step of the start month (TIDE.DAT carries no dates).
    const long steps = 8L * c.period_days;  // 3-hour steps
    if (c.wave_source == WaveSource::Series) {
        suitefiles::WaveSeriesFile w;
        if (!f.has("WAVREC.OUT"))
            f.add(
                "DUMP.INI:5:16-20: waves: 1: WAVREC.OUT IS NOT IN THE FOLDER (1 READS IT; 2 OR "
                "3 USE THE WAVE OF RECORD 8)");
        else if (readable(f, "WAVREC.OUT",
                          [&] { suitefiles::read_wavrec(f.path("WAVREC.OUT"), w); })) {
            if (!w.records.empty()) check_wave_dates(f, c, w.records.front());
            if (static_cast<long>(w.records.size()) < steps)
                f.add("WAVREC.OUT:" + std::to_string(suitefiles::WAVREC_HEADER_RECORDS + 1) +
                      ":1: wave steps: " + std::to_string(w.records.size()) + ": FEWER THAN THE " +
                      std::to_string(steps) + " 3-HOUR STEPS OF THE " +
                      std::to_string(c.period_days) + " DAYS OF DUMP.INI RECORD 12");
        }
    }
    if (c.tide_source == suitefiles::TideSource::Series) {
        suitefiles::TideSeriesFile t;
        if (!f.has("TIDE.DAT"))
            f.add("DUMP.INI:5:21-25: tide: 1: TIDE.DAT IS NOT IN THE FOLDER (2: NO TIDE)");
        else if (readable(f, "TIDE.DAT",
                          [&] { suitefiles::read_tide_dat(f.path("TIDE.DAT"), t); }) &&
                 static_cast<long>(t.records.size()) < steps)
            f.add("TIDE.DAT:1:1: tide steps: " + std::to_string(t.records.size()) +
                  ": FEWER THAN THE " + std::to_string(steps) + " 3-HOUR STEPS OF THE " +
                  std::to_string(c.period_days) + " DAYS OF DUMP.INI RECORD 12");
    }
    if (placement && c.placement_mode == suitefiles::PlacementMode::File) {
        const std::string name = trimmed(c.placement_file);
        recio::RecordReader in;
        long count = 0;
        if (!readable(f, name, [&] {
                if (!in.open(f.path(name))) throw std::runtime_error("NO FILE " + name);
                float a = 0, b = 0;
                while (suitefiles::read_placement_record(in, a, b)) ++count;
            }))
            return;
        if (count < c.loads)
            f.add(suitefiles::check_message({"DUMP.INI", 16, 1, 9, "loads", std::to_string(c.loads),
                                             "THE PLACEMENT FILE " + name + " HOLDS " +
                                                 std::to_string(count) +
                                                 " POSITIONS, FEWER THAN THE LOADS"}));
    }
    if (placement) check_positions(f, c);
}

// The site a grid utility or loadpat works on must be there.
void check_site_there(Folder& f, const std::string& file, long record, int width, const char* field,
                      const std::string& site) {
    if (site.empty() || f.has(site + ".IN")) return;
    f.add(suitefiles::check_message(
        {file, record, 1, width, field, site,
         "THE SITE GRID FILE " + site + ".IN IS NOT THERE (IS THE SITE MADE?)"}));
}

// UTL.INI in the layout its first record shows, with the fields its reader
// refuses located by the field table.
void check_utl(Folder& f) {
    Values v;
    v.kind = utl_layout_of(f.path("UTL.INI"));
    std::string fault;
    if (!readable(f, "UTL.INI", [&] {
            recio::RecordReader in(f.path("UTL.INI"));
            fault = v.kind == Kind::UtlVolumes
                        ? suitefiles::read_utl_volumes(in, v.utl_volumes)
                        : suitefiles::read_utl_structure(in, v.utl_structure);
        }))
        return;
    if (!fault.empty()) return f.add(located(v, "UTL.INI", fault));
    if (v.kind == Kind::UtlStructure) {
        check_site_there(f, "UTL.INI", 1, 26, "path", v.utl_structure.path);
        return;
    }
    const suitefiles::UtlVolumes& c = v.utl_volumes;
    check_site_there(f, "UTL.INI", 2, 26, "first_site", c.first);
    if (c.mode != suitefiles::VOLUME_ABOVE)
        check_site_there(f, "UTL.INI", 3, 26, "second_site", c.second);
}

void check_loadpat(Folder& f) {
    Values v;
    v.kind = Kind::Loadpat;
    std::string fault;
    if (!readable(f, "LOADPAT.ANS", [&] {
            recio::RecordReader in(f.path("LOADPAT.ANS"));
            fault = suitefiles::read_loadpat_answers(in, v.loadpat);
        }))
        return;
    if (!fault.empty()) return f.add(located(v, "LOADPAT.ANS", fault));
    check_site_there(f, "LOADPAT.ANS", 1, 15, "path", v.loadpat.site);
}

// The placer beside this program (the suite's programs are built into one
// folder), else the one on the PATH.
std::string placer_program() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && fs::exists(self.parent_path() / "placer", ec))
        return (self.parent_path() / "placer").string();
    return "placer";
}

// The first load run as a trial in a copy of the folder: one load with the
// schedule's first waves, tide and current, the fate model and the first
// week's long-term run, by placer itself. False (with a note) when it cannot.
bool trial_load(const fs::path& folder, const suitefiles::DumpControl& c,
                suitefiles::LoadBalance& load, std::vector<std::string>& notes) {
    char pattern[] = "/tmp/menu-check.XXXXXX";
    if (!mkdtemp(pattern)) {
        notes.push_back("NO TRIAL LOAD: NO TEMPORARY FOLDER");
        return false;
    }
    const fs::path trial(pattern);
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.is_regular_file(ec) && e.path().filename() != "FOLDER.LCK")
            fs::copy_file(e.path(), trial / e.path().filename(), ec);
    suitefiles::DumpControl one = c;
    one.total_amount = c.loads > 0 ? c.total_amount / c.loads : c.total_amount;
    one.loads = 1;
    one.disposal_days = one.period_days = 7;
    one.out = "MCHECK";
    bool ran = suitefiles::write_dump_ini((trial / "DUMP.INI").string(), one);
    if (ran) {
        std::ofstream action(trial / "ACTION.BAT");
        action << "DUMPYES\n";
        ran = static_cast<bool>(action);
    }
    int status = -1;
    if (ran)
        status = recio::run_command({placer_program(), "--seed", "1"}, trial.string(),
                                    {"/dev/null", (trial / "placer.log").string()});
    std::vector<suitefiles::LoadBalance> rows;
    ran = (status == 0 || status == 3) &&
          suitefiles::read_balance_csv((trial / "MCHECK.CSV").string(), rows) && !rows.empty() &&
          rows.front().status == suitefiles::LoadStatus::Placed;
    if (ran)
        load = rows.front();
    else
        notes.push_back("NO TRIAL LOAD: PLACER ENDED WITH STATUS " + std::to_string(status) +
                        " OR PLACED NO LOAD (ITS CONSOLE WAS " + (trial / "placer.log").string() +
                        ")");
    if (ran) fs::remove_all(trial, ec);
    return ran;
}

}  // namespace

std::vector<std::string> check_folder(const std::string& folder) {
    Folder f{fs::path(folder), {}};
    if (f.has("SITEGEN.INI")) {
        suitefiles::SitegenIni c;
        if (readable(f, "SITEGEN.INI", [&] {
                recio::RecordReader in(f.path("SITEGEN.INI"));
                c = suitefiles::read_sitegen_ini(in);
            }))
            for (const suitefiles::FieldFault& x : suitefiles::sitegen_ini_faults(c)) f.add(x);
    }
    if (f.has("MODIFY.INI")) {
        suitefiles::ModifyIni c;
        std::string fault;
        if (readable(f, "MODIFY.INI", [&] {
                recio::RecordReader in(f.path("MODIFY.INI"));
                fault = suitefiles::read_modify_ini(in, c);
            })) {
            if (!fault.empty()) {
                Values v;
                v.kind = Kind::Modify;
                v.modify = c;
                f.add(located(v, "MODIFY.INI", fault));
            } else if (!f.has(trimmed(c.prefix) + trimmed(c.old_site) + ".IN"))
                f.add(suitefiles::check_message(
                    {"MODIFY.INI", 2, 1, 6, "existing site", trimmed(c.old_site),
                     "THE SITE GRID FILE " + trimmed(c.prefix) + trimmed(c.old_site) +
                         ".IN IS NOT THERE (IS THE SITE MADE?)"}));
        }
    }
    if (f.has("DUMP.INI")) check_dump(f);
    if (f.has("UTL.INI")) check_utl(f);
    if (f.has("LOADPAT.ANS")) check_loadpat(f);
    if (f.has("PCD.INI")) {
        suitefiles::PcdIni p;
        readable(f, "PCD.INI", [&] { suitefiles::read_pcd_ini(f.path("PCD.INI"), p); });
    }
    if (!f.has("SITEGEN.INI") && !f.has("DUMP.INI") && !f.has("PCD.INI") && !f.has("UTL.INI") &&
        !f.has("LOADPAT.ANS") && !f.has("MODIFY.INI"))
        f.add(folder +
              ":1:1: control files: none: NO SITEGEN.INI, MODIFY.INI, DUMP.INI, PCD.INI, UTL.INI "
              "OR LOADPAT.ANS IN THE FOLDER");
    return f.faults;
}

std::vector<std::string> deposition_warnings(const std::string& folder) {
    std::vector<std::string> out;
    const fs::path dir(folder);
    suitefiles::DumpControl c;
    try {
        if (!suitefiles::read_dump_ini((dir / "DUMP.INI").string(), c)) return out;
    } catch (const std::exception&) {
        return out;
    }
    if (c.run_mode != suitefiles::RunMode::Placement || c.loads < 1) return out;
    suitefiles::LoadBalance load;
    if (!trial_load(dir, c, load, out) || !(load.bottom_shear > 0)) return out;
    for (std::size_t k = 0; k < c.fractions.size(); ++k) {
        const suitefiles::Fraction& x = c.fractions[k];
        if (!(x.conc > 0) || !(x.taucd < load.bottom_shear)) continue;
        out.push_back(suitefiles::check_message(
            {"DUMP.INI", c.rec_fractions + static_cast<long>(k), 52, 61,
             "deposition shear stress of " + trimmed(x.name), text_of(x.taucd),
             "WARNING: BELOW THE BOTTOM SHEAR STRESS " + text_of(load.bottom_shear) +
                 " LB/FT2 THE FATE MODEL FINDS AT THE FIRST LOAD'S CELL (A TRIAL LOAD WITH THE "
                 "FIRST STEP'S WAVES, TIDE AND CURRENT): NONE OF THE FRACTION CAN DEPOSIT THERE; "
                 "IT DEPOSITS ONLY WHERE THE STRESS IS BELOW ITS OWN"}));
    }
    return out;
}

}  // namespace keyfiles
