// Bad input to every file placer reads, and to its keyboard prompts. Each
// case spoils one input of a good placement run and states the outcome: the
// exit status and a fragment of the console message. A run that fails leaves
// the starting site and the outputs of an earlier run byte for byte as they
// were; a run that ends normally still leaves the starting site alone.
#include <functional>

#include "placer_fixture.hpp"
#include "suitefiles/tide.hpp"
#include "suitefiles/wavrec.hpp"

namespace {

// ---- spoiling a file record by record

std::vector<std::string> records_of(const std::string& file) {
    std::ifstream in(file);
    std::vector<std::string> out;
    std::string l;
    while (std::getline(in, l)) out.push_back(l);
    return out;
}

// Writes `text` over record n (1-based) from column `col` on.
void put(const std::string& file, std::size_t n, std::size_t col, const std::string& text) {
    std::vector<std::string> r = records_of(file);
    std::string& rec = r.at(n - 1);
    if (rec.size() < col - 1 + text.size()) rec.resize(col - 1 + text.size(), ' ');
    rec.replace(col - 1, text.size(), text);
    write_record_file(file, r);
}

void replace_record(const std::string& file, std::size_t n, const std::string& text) {
    std::vector<std::string> r = records_of(file);
    r.at(n - 1) = text;
    write_record_file(file, r);
}

// Keeps records 1..n and then `partial`, the start of a record with no line end.
void cut(const std::string& file, std::size_t n, const std::string& partial = "") {
    std::vector<std::string> r = records_of(file);
    r.resize(n);
    std::ofstream out(file);
    for (const std::string& s : r) out << s << '\n';
    out << partial;
}

// First `chars` characters of record n.
std::string start_of(const std::string& file, std::size_t n, std::size_t chars) {
    return records_of(file).at(n - 1).substr(0, chars);
}

std::string bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return "<absent>";
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// ---- the series, deposit and long-term files of a good run

void write_tide(int steps) {
    suitefiles::TideSeriesFile f;
    f.header = {"TIDE", "HOURS   TIDE", ""};
    for (int i = 0; i < steps; ++i)
        f.records.push_back({static_cast<float>(3 * i), 1.0f, 0.1f, -0.2f});
    ASSERT_TRUE(suitefiles::write_tide_dat("TIDE.DAT", f));
    // The long-term model's tide, which a run with a tide series needs too.
    fs::copy_file(fs::path(TEST_DATA_DIR) / "../examples/newport/TIDAL.DAT", "TIDAL.DAT",
                  fs::copy_options::overwrite_existing);
}

void write_waves(int steps) {
    suitefiles::WaveSeriesFile f;
    f.header.assign(9, "WAVES");
    for (int i = 0; i < steps; ++i) f.records.push_back({190801, 3 * i, 1.0f, 8.0f, 270.0f, 0.0f});
    ASSERT_TRUE(suitefiles::write_wavrec("WAVREC.OUT", f));
}

// A deposit of 1 ft at the dump node, laid out for a 44 x 44 fate grid.
void write_deposit(const std::string& file = "deposit.dut") {
    write_record_file(file, deposit_records(44, 44, {{1800.0f, {{{21, 21}, 1.0f}}}}));
}

// The long-term grid of the 20 x 60 test site, all 39 ft.
void write_plotbath() {
    write_record_file("plotbath.dat", plotbath_records(std::vector<float>(1200, 40.0f), 168,
                                                       std::vector<float>(1200, 39.0f)));
}

// Records of CLDX.DUT: 5 header records, the time, then 40 rows of 2 records.
constexpr std::size_t DUT_DUMP_ROW = 6 + 2 * 20 + 1;  // row 21, values 1-21

using Setup = std::function<void()>;
using Control = std::function<void(placer::DumpControl&)>;

struct Case {
    const char* what;
    Control control;      // changes to the values of DUMP.INI (may be empty)
    Setup spoil;          // changes to the files of the prepared folder (may be empty)
    int status;           // expected exit status
    std::string message;  // expected on the console
    std::string keyboard = "";
};

// Runs placed at the centre of the test site with its NW corner at (1000, 5000).
void placement_file(placer::DumpControl& c) {
    c.placement_mode = placer::PlacementMode::File;
    c.loads = 5;
    c.total_amount = 5000;
    c.placement_file = "PLACES.XY";
}
void two_weeks(placer::DumpControl& c) {
    c.wave_source = placer::WaveSource::Constant;
    c.loads = 4;
    c.disposal_days = 14, c.period_days = 14;
}

class Survey : public PlacerFolder {};

// All a run says when ACTION.BAT does not ask for it (on the error stream).
const char* const NOT_ASKED =
    "ACTION.BAT DOES NOT HOLD DUMPYES: START THIS PROGRAM WITH ./menu placer\n";

TEST_F(Survey, EveryBadInputEndsInOrder) {
    const std::vector<Case> cases = {
        // ACTION.BAT: anything but DUMPYES is a silent stop; only the error
        // stream says how to start the program.
        {"ACTION.BAT missing", {}, [] { fs::remove("ACTION.BAT"); }, 1, NOT_ASKED},
        {"ACTION.BAT empty", {}, [] { write_file_text("ACTION.BAT", ""); }, 1, NOT_ASKED},
        {"ACTION.BAT another program's word",
         {},
         [] { write_file_text("ACTION.BAT", "GRIDYES\n"); },
         1,
         NOT_ASKED},
        {"ACTION.BAT binary",
         {},
         [] { write_file_text("ACTION.BAT", std::string("\0\xff\x1a\n", 4)); },
         1,
         NOT_ASKED},

        // DUMP.INI: missing, empty, cut short.
        {"DUMP.INI missing", {}, [] { fs::remove("DUMP.INI"); }, 1, "COULD NOT OPEN DUMP.INI"},
        {"DUMP.INI empty",
         {},
         [] { write_file_text("DUMP.INI", ""); },
         1,
         "UNEXPECTED END OF FILE DUMP.INI AFTER RECORD 0"},
        {"DUMP.INI ends after record 10",
         {},
         [] { cut("DUMP.INI", 10); },
         1,
         "UNEXPECTED END OF FILE DUMP.INI AFTER RECORD 10"},
        {"DUMP.INI cut in record 19",
         {},
         [] { cut("DUMP.INI", 18, start_of("DUMP.INI", 19, 12)); },
         1,
         "UNEXPECTED END OF FILE DUMP.INI AFTER RECORD 19"},
        // a letter, NaN-like text and values beyond every field
        {"letter in an integer (run mode)",
         {},
         [] { put("DUMP.INI", 5, 11, "    X"); },
         1,
         "UNREADABLE VALUE IN FILE DUMP.INI, RECORD 5, FIELD 3"},
        {"letter in an I9 count (loads)",
         {},
         [] { put("DUMP.INI", 16, 1, "       3O"); },
         1,
         "UNREADABLE VALUE IN FILE DUMP.INI, RECORD 16, FIELD 1"},
        {"letter in a fixed value (load volume)",
         {},
         [] { put("DUMP.INI", 8, 25, "     1O00.0 "); },
         1,
         "UNREADABLE VALUE IN FILE DUMP.INI, RECORD 8, FIELD 3"},
        {"letter in a fraction value",
         {},
         [] { put("DUMP.INI", 20, 22, " 0.3X     "); },
         1,
         "UNREADABLE VALUE IN FILE DUMP.INI, RECORD 20, FIELD 3"},
        {"NaN as TSTOP",
         {},
         [] { put("DUMP.INI", 10, 1, "         NaN"); },
         1,
         "UNREADABLE VALUE IN FILE DUMP.INI, RECORD 10, FIELD 1"},
        {"Inf as a current speed",
         {},
         [] { put("DUMP.INI", 24, 13, "         Inf"); },
         1,
         "UNREADABLE VALUE IN FILE DUMP.INI, RECORD 24, FIELD 2"},
        {"1E999 as the load volume",
         {},
         [] { put("DUMP.INI", 8, 25, "       1E999"); },
         1,
         "VALUE OUT OF RANGE IN FILE DUMP.INI, RECORD 8, FIELD 3"},
        {"exponent form of a load volume is a value",
         {},
         [] { put("DUMP.INI", 8, 25, "       1.0E3"); },
         0,
         "CONDUCTING   DREDGED   MATERIAL   PLACEMENT"},
        {"loads above a 16-bit count",
         {},
         [] { put("DUMP.INI", 16, 1, "    99999"); },
         1,
         "VALUE OUT OF RANGE IN FILE DUMP.INI, RECORD 16, FIELD 1"},
        // counts and sizes out of range
        {"no loads",
         [](placer::DumpControl& c) { c.loads = 0; },
         {},
         1,
         "DUMP.INI RECORD 16: THE NUMBER OF LOADS MUST BE AT LEAST 1"},
        {"negative loads",
         [](placer::DumpControl& c) { c.loads = -5; },
         {},
         1,
         "DUMP.INI RECORD 16: THE NUMBER OF LOADS MUST BE AT LEAST 1"},
        {"placement file run of -32768 loads",
         [](placer::DumpControl& c) { placement_file(c), c.loads = -32768; },
         [] { write_file_text("PLACES.XY", "1600 4800\n"); }, 1,
         "DUMP.INI RECORD 16: THE NUMBER OF LOADS MUST BE AT LEAST 1"},
        // One load from a placement file is made like any other (no load is
        // taken off the count).
        {"placement file run of 1 load",
         [](placer::DumpControl& c) { placement_file(c), c.loads = 1; },
         [] { write_file_text("PLACES.XY", "1600 4800\n"); }, 0, "LOADS MADE 1 OF 1: PLACED 1"},
        {"no sediment fraction",
         {},
         [] { put("DUMP.INI", 19, 6, "    0"); },
         1,
         "DUMP.INI RECORD 19: THE NUMBER OF SEDIMENT FRACTIONS MUST BE 1 TO 4, NOT 0"},
        {"5 sediment fractions",
         {},
         [] { put("DUMP.INI", 19, 6, "    5"); },
         1,
         "DUMP.INI RECORD 19: THE NUMBER OF SEDIMENT FRACTIONS MUST BE 1 TO 4, NOT 5"},
        {"5 profile points",
         {},
         [] { put("DUMP.INI", 21, 1, "    5"); },
         1,
         "DUMP.INI RECORD 21: THE NUMBER OF DENSITY PROFILE POINTS MUST BE 0 TO 4, NOT 5"},
        {"-1 profile points",
         {},
         [] { put("DUMP.INI", 21, 1, "   -1"); },
         1,
         "DUMP.INI RECORD 21: THE NUMBER OF DENSITY PROFILE POINTS MUST BE 0 TO 4, NOT -1"},
        {"no layers",
         [](placer::DumpControl& c) { c.nlayer = 0; },
         {},
         1,
         "DUMP.INI RECORD 19: THE NUMBER OF LAYERS PER LOAD MUST BE 1 TO 6, NOT 0"},
        {"placement mode 7",
         [](placer::DumpControl& c) { c.placement_mode = static_cast<placer::PlacementMode>(7); },
         {},
         1,
         "DUMP.INI RECORD 13: THE PLACEMENT MODE MUST BE 1, 2, 3 OR 4, NOT 7"},
        {"run mode 3",
         [](placer::DumpControl& c) { c.run_mode = static_cast<placer::RunMode>(3); },
         {},
         1,
         "DUMP.INI RECORD 5: THE RUN MODE MUST BE 1 OR 2, NOT 3"},
        {"avalanching angle 0",
         [](placer::DumpControl& c) { c.aval_angle = 0.0f; },
         {},
         1,
         "DUMP.INI RECORD 19: THE AVALANCHING ANGLE MUST LIE ABOVE 0"},
        {"post-avalanching angle above the avalanching angle",
         [](placer::DumpControl& c) { c.post_angle = 20.0f; },
         {},
         1,
         "DUMP.INI RECORD 19: THE AVALANCHING ANGLE MUST LIE ABOVE 0"},
        {"TSTOP 0",
         [](placer::DumpControl& c) { c.tstop = 0.0f; },
         {},
         1,
         "DUMP.INI RECORD 10: THE FATE-MODEL DURATION TSTOP MUST BE ABOVE 0"},
        {"negative load volume",
         [](placer::DumpControl& c) { c.load_volume = -1.0f; },
         {},
         1,
         "DUMP.INI RECORD 8: THE LOAD VOLUME MUST BE ABOVE 0"},
        {"load volume beyond the deck's field",
         [](placer::DumpControl& c) { c.load_volume = 1.0E6f; },
         {},
         1,
         "DUMP.INI RECORD 8, FIELD 3: THE LOAD VOLUME PER LAYER"},
        {"TSTOP beyond the deck's field",
         {},
         [] { put("DUMP.INI", 10, 1, "       1.0E9"); },
         1,
         "DUMP.INI RECORD 10, FIELD 1: TSTOP"},
        {"equal drafts",
         [](placer::DumpControl& c) { c.light_draft = c.loaded_draft; },
         {},
         1,
         "DUMP.INI RECORD 11: THE VESSEL WIDTH MUST BE ABOVE 0 AND THE LOADED DRAFT ABOVE"},
        {"20000 loads over 99999 days",
         [](placer::DumpControl& c) {
             c.loads = 20000, c.disposal_days = 99999, c.period_days = 99999;
         },
         {},
         1,
         "DUMP.INI RECORD 12, FIELD 5: THE 14285 DISPOSAL WEEKS"},
        {"period of 0 days is one week",
         [](placer::DumpControl& c) { c.disposal_days = 0, c.period_days = 0; },
         {},
         0,
         "PRESS \"RETURN\" TO CONTINUE"},
        {"sediment type beyond PCD.INI's field",
         {},
         [] { put("DUMP.INI", 19, 41, "30000"); },
         1,
         "DUMP.INI RECORD 19, FIELD 6: THE SEDIMENT TYPE"},
        {"wave-gauge depth beyond PCD.INI's field",
         [](placer::DumpControl& c) { c.gauge_depth = 1.0E5f; },
         {},
         1,
         "DUMP.INI RECORD 10, FIELD 8: THE WAVE-GAUGE DEPTH"},
        {"current speed beyond PCD.INI's field",
         [](placer::DumpControl& c) { c.speed1 = 1.0E5f; },
         {},
         1,
         "DUMP.INI RECORD 24, FIELD 2: THE FIRST-PERIOD SPEED"},
        {"bulk void ratio -1 (long-term run)",
         [](placer::DumpControl& c) {
             c.run_mode = placer::RunMode::LongTermOnly, c.bulk_void_ratio = -1.0f;
         },
         {},
         1,
         "DUMP.INI RECORD 19, FIELD 7: THE POROSITY"},
        {"line of 1E30 ft",
         [](placer::DumpControl& c) {
             c.placement_mode = placer::PlacementMode::Line, c.line_start_e = 1100.0f,
             c.line_start_n = 4800.0f, c.line_end_e = 2100.0f, c.line_end_n = 4800.0f;
         },
         [] { put("DUMP.INI", 15, 25, "        1E30"); }, 1, "DUMP.INI RECORD 15: THE LINE"},
        {"negative scatter radius",
         [](placer::DumpControl& c) { c.radius = -5.0f; },
         {},
         1,
         "DUMP.INI RECORD 15: THE SCATTER RADIUS MUST NOT BE NEGATIVE"},
        {"placement-file order 3", [](placer::DumpControl& c) { placement_file(c), c.order = 3; },
         [] { write_file_text("PLACES.XY", "1600 4800\n"); }, 1,
         "PROBLEM WITH PLACEMENT FILE INPUT ORDER"},
        {"KEY1 = 1",
         [](placer::DumpControl& c) { c.key1 = 1; },
         {},
         1,
         "DUMP.INI RECORD 9: KEY1 MUST BE 0"},

        // names and paths
        {"data directory longer than 19 columns",
         {},
         [] { replace_record("DUMP.INI", 1, "ABCDEFGHIJKLMNOPQRSTUVWXY"); },
         1,
         "DUMP.INI RECORD 1: THE DATA DIRECTORY \"ABCDEFGHIJKLMNOPQRSTUVWXY\" IS LONGER THAN 19 "
         "CHARACTERS"},
        {"site name longer than 6 columns",
         {},
         [] { replace_record("DUMP.INI", 2, "SITEXYZ"); },
         1,
         "DUMP.INI RECORD 2: THE SITE NAME \"SITEXYZ\" IS LONGER THAN 6 CHARACTERS"},
        {"output name longer than 6 columns",
         {},
         [] { replace_record("DUMP.INI", 3, "RUN1XYZW"); },
         1,
         "DUMP.INI RECORD 3: THE OUTPUT NAME \"RUN1XYZW\" IS LONGER THAN 6 CHARACTERS"},
        {"placement file name longer than 32 columns",
         [](placer::DumpControl& c) { placement_file(c); },
         [] { put("DUMP.INI", 16, 22, "PLACES/OF/THE/WHOLE/ACTIVITY/OF/2024.XY"); }, 1,
         "DUMP.INI RECORD 16: THE PLACEMENT FILE NAME \"PLACES/OF/THE/WHOLE/ACTIVITY/OF/2024.XY\" "
         "IS LONGER "
         "THAN 32 CHARACTERS"},
        {"data directory of all 19 columns",
         [](placer::DumpControl& c) { c.prefix = "nineteen_columns_x/"; },
         [] {
             fs::create_directory("nineteen_columns_x");
             for (const char* f : {"SITE.IN", "SITE.OUT", "SITE.DAT", "SITE.TNS"})
                 fs::rename(f, std::string("nineteen_columns_x/") + f);
         },
         0, "on filename:\nnineteen_columns_x/RUN1.IN"},
        {"data directory that does not exist",
         [](placer::DumpControl& c) { c.prefix = "NODIR/"; },
         {},
         1,
         "The requested disposal area grid file was not"},
        {"blank output name",
         {},
         [] { replace_record("DUMP.INI", 3, "      "); },
         1,
         "DUMP.INI RECORD 3: THE OUTPUT NAME IS BLANK"},
        {"output name with a period",
         [](placer::DumpControl& c) { c.out = "R.1"; },
         {},
         1,
         "DUMP.INI RECORD 3: THE OUTPUT NAME \"R.1\": A PERIOD IN THE NAME"},

        // the starting site grid file
        {"grid file missing",
         {},
         [] { fs::remove("SITE.IN"); },
         1,
         "The requested disposal area grid file was not"},
        {"grid file empty",
         {},
         [] { write_file_text("SITE.IN", ""); },
         1,
         "UNEXPECTED END OF FILE SITE.IN AFTER RECORD 0"},
        {"grid file cut in its header",
         {},
         [] { cut("SITE.IN", 5); },
         1,
         "UNEXPECTED END OF FILE SITE.IN AFTER RECORD 5"},
        {"grid file cut in a depth record",
         {},
         [] { cut("SITE.IN", 30, start_of("SITE.IN", 31, 100)); },
         1,
         "RECORD CUT SHORT IN FILE SITE.IN, RECORD 31, FIELD 13"},
        {"letter in the point count",
         {},
         [] { put("SITE.IN", 2, 10, " 12O0"); },
         1,
         "UNREADABLE VALUE IN FILE SITE.IN, RECORD 2, FIELD 1"},
        {"letter in a depth",
         {},
         [] { put("SITE.IN", 15, 1, "  4X.000"); },
         1,
         "UNREADABLE VALUE IN FILE SITE.IN, RECORD 15, FIELD 1"},
        {"NaN as a depth",
         {},
         [] { put("SITE.IN", 15, 9, "     NaN"); },
         1,
         "UNREADABLE VALUE IN FILE SITE.IN, RECORD 15, FIELD 2"},
        {"1E30 as a depth",
         {},
         [] { put("SITE.IN", 16, 17, "    1E30"); },
         1,
         "SITE.IN RECORD 16, FIELD 3: THE DEPTH OF POINT 29"},
        {"grid of 202 x 202 points",
         {},
         [] {
             put("SITE.IN", 2, 10, "40804"), put("SITE.IN", 4, 15, "202"),
                 put("SITE.IN", 6, 15, "202");
         },
         1,
         "GRID FILE SITE.IN HOLDS 40804 POINTS, MORE THAN 40401"},
        {"point count not rows x columns",
         {},
         [] { put("SITE.IN", 4, 15, " 21"); },
         1,
         "POINTS DO NOT MATCH 21 ROWS x 60 COLUMNS"},
        {"negative rows",
         {},
         [] { put("SITE.IN", 4, 15, "-20"); },
         1,
         "POINTS DO NOT MATCH -20 ROWS"},
        {"interval 0",
         {},
         [] { put("SITE.IN", 7, 45, "   0"); },
         1,
         "GRID FILE SITE.IN RECORD 7: THE INTERVAL MUST BE POSITIVE"},

        // sites at the ends of what the files allow (the loads fall outside or on the boundary)
        {"a site of one point",
         {},
         [] { write_site("SITE", make_grid(1, 1, 20, [](int) { return 40.0f; })); },
         3,  // every load refused: the run finishes and tells of it
         "PLACEMENT OF DISPOSAL CYCLE IS OUTSIDE"},
        {"a site of 3 x 300 points (resampled long-term grid)",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Constant; },
         [] {
             write_site("SITE", make_grid(3, 300, 20, [](int) { return 40.0f; }));
             write_record_file("plotbath.dat",
                               plotbath_records(std::vector<float>(201 * 2, 40.0f), 168,
                                                std::vector<float>(201 * 2, 39.0f)));
         },
         3, "PLACEMENT OF DISPOSAL CYCLE IS OUTSIDE"},  // refused loads
        {"a longitude/latitude site at the pole",
         {},
         [] {
             gridlib::SiteGrid g = make_grid(20, 60, 20, [](int) { return 40.0f; });
             g.coord_system = 2, g.local_nw_e = 124.0f, g.local_nw_n = 89.9999f;
             write_site("SITE", g);
         },
         3,  // refused loads
         "PLACEMENT OF DISPOSAL CYCLE IS OUTSIDE"},

        // the starting site summary file
        {"summary file missing",
         {},
         [] { fs::remove("SITE.OUT"); },
         1,
         "UNABLE TO OPEN THE SITE SUMMARY FILE SITE.OUT"},
        {"summary file empty",
         {},
         [] { write_file_text("SITE.OUT", ""); },
         1,
         "UNEXPECTED END OF FILE SITE.OUT AFTER RECORD 0"},
        {"summary file cut in its header",
         {},
         [] { cut("SITE.OUT", 15, " DISPOSAL AREA IS 1 IN"); },
         1,
         "RECORD CUT SHORT IN FILE SITE.OUT, RECORD 16, FIELD 1"},
        {"letter in the portrayal point count",
         {},
         [] { put("SITE.OUT", 18, 65, " 12O0"); },
         1,
         "UNREADABLE VALUE IN FILE SITE.OUT, RECORD 18, FIELD 1"},
        {"summary of another grid",
         {},
         [] { put("SITE.OUT", 18, 65, " 1260"); },
         1,
         "THE SITE SUMMARY FILE SITE.OUT DOES NOT DESCRIBE THE GRID OF SITE.IN"},

        // the base surface (cohesive material)
        {"BASSE.IN missing: the starting depths",
         [](placer::DumpControl& c) { c.base_option = 1; },
         {},
         0,
         "PRESS \"RETURN\" TO CONTINUE"},
        {"BASSE.IN empty", [](placer::DumpControl& c) { c.base_option = 1; },
         [] { write_file_text("BASSE.IN", ""); }, 1, "UNEXPECTED END OF FILE BASSE.IN"},
        {"BASSE.IN cut in a depth record", [](placer::DumpControl& c) { c.base_option = 1; },
         [] {
             fs::copy_file("SITE.IN", "BASSE.IN"),
                 cut("BASSE.IN", 40, start_of("BASSE.IN", 41, 50));
         },
         1, "UNEXPECTED END OF FILE BASSE.IN AFTER RECORD 41"},
        {"letter in a BASSE.IN depth", [](placer::DumpControl& c) { c.base_option = 1; },
         [] { fs::copy_file("SITE.IN", "BASSE.IN"), put("BASSE.IN", 15, 1, "  4X.000"); }, 1,
         "UNREADABLE VALUE IN FILE BASSE.IN, RECORD 15, FIELD 1"},
        {"1E30 as a BASSE.IN depth", [](placer::DumpControl& c) { c.base_option = 1; },
         [] { fs::copy_file("SITE.IN", "BASSE.IN"), put("BASSE.IN", 15, 1, "    1E30"); }, 1,
         "BASSE.IN RECORD 15, FIELD 1: THE DEPTH OF POINT 1"},

        // TIDE.DAT (3 loads at time steps 0, 18 and 37)
        {"TIDE.DAT missing",
         [](placer::DumpControl& c) { c.tide_source = placer::TideSource::Series; },
         {},
         1,
         "COULD NOT OPEN TIDE.DAT\nTHERES A PROBLEM ACCESSING WAVREC.OUT & TIDE.DAT\n       OR     "
         " CLDXD"},
        {"TIDE.DAT empty",
         [](placer::DumpControl& c) { c.tide_source = placer::TideSource::Series; },
         [] { write_file_text("TIDE.DAT", ""); }, 1, "TIDE.DAT ENDS IN ITS HEADER RECORDS"},
        {"TIDE.DAT shorter than the week",
         [](placer::DumpControl& c) { c.tide_source = placer::TideSource::Series; },
         [] { write_tide(10); }, 1, "TIDE.DAT HOLDS 10 DATA RECORDS; THE RUN NEEDS 38"},
        {"letter in a tide",
         [](placer::DumpControl& c) { c.tide_source = placer::TideSource::Series; },
         [] { write_tide(56), put("TIDE.DAT", 4, 9, "   1.O00"); }, 1,
         "UNREADABLE VALUE IN FILE TIDE.DAT, RECORD 4, FIELD 2"},
        {"NaN as a tidal current",
         [](placer::DumpControl& c) { c.tide_source = placer::TideSource::Series; },
         [] { write_tide(56), put("TIDE.DAT", 22, 17, "     NaN"); }, 1,
         "UNREADABLE VALUE IN FILE TIDE.DAT, RECORD 22, FIELD 3"},
        {"1E30 as a tide",
         [](placer::DumpControl& c) { c.tide_source = placer::TideSource::Series; },
         [] { write_tide(56), put("TIDE.DAT", 4, 9, "    1E30"); }, 1,
         "TIDE.DAT RECORD 4, FIELD 2: THE TIDE ELEVATION"},
        {"TIDE.DAT record cut short reads blanks",
         [](placer::DumpControl& c) { c.tide_source = placer::TideSource::Series; },
         // 3: the stand-in long-term model leaves no grid to take back
         [] { write_tide(56), replace_record("TIDE.DAT", 4, "   0.000   1.0"); }, 3,
         "Tide Amplitude (ft) =    1.00000000"},

        // WAVREC.OUT
        {"WAVREC.OUT missing",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Series; },
         {},
         1,
         "COULD NOT OPEN WAVREC.OUT\nTHERES A PROBLEM ACCESSING WAVREC.OUT & TIDE.DAT"},
        {"WAVREC.OUT empty",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Series; },
         [] { write_file_text("WAVREC.OUT", ""); }, 1, "WAVREC.OUT ENDS IN ITS HEADER RECORDS"},
        {"letter in a wave date",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Series; },
         [] { write_waves(56), put("WAVREC.OUT", 10, 2, "19O801"); }, 1,
         "UNREADABLE VALUE IN FILE WAVREC.OUT, RECORD 10, FIELD 1"},
        {"letter in a wave height",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Series; },
         [] { write_waves(56), put("WAVREC.OUT", 10, 15, "     1.O0000"); }, 1,
         "UNREADABLE VALUE IN FILE WAVREC.OUT, RECORD 10, FIELD 3"},
        {"1E30 as a wave height",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Series; },
         [] { write_waves(56), put("WAVREC.OUT", 10, 15, "        1E30"); }, 1,
         "WAVREC.OUT RECORD 10, FIELD 3: THE WAVE HEIGHT"},

        // the placement file (4 loads)
        {"placement file missing",
         placement_file,
         {},
         1,
         "COULD NOT OPEN PLACEMENT FILE PLACES.XY"},
        {"placement file empty", placement_file, [] { write_file_text("PLACES.XY", ""); }, 0,
         "NO MORE PLACEMENT POSITIONS IN PLACES.XY"},
        {"letter in a position", placement_file,
         [] { write_file_text("PLACES.XY", "1600 4800\n16O0 4800\n1600 4800\n"); }, 0,
         "UNREADABLE VALUE IN FILE PLACES.XY, RECORD 2, VALUE 1: \"16O0\"\nNO MORE PLACEMENT "
         "POSITIONS"},
        {"placement file cut in a record", placement_file,
         [] { write_file_text("PLACES.XY", "1600 4800\n1600"); }, 0,
         "UNEXPECTED END OF FILE PLACES.XY AFTER RECORD 2\nNO MORE PLACEMENT POSITIONS"},
        {"NaN as a position", placement_file, [] { write_file_text("PLACES.XY", "NaN 4800\n"); }, 0,
         "UNREADABLE VALUE IN FILE PLACES.XY, RECORD 1, VALUE 1: \"NaN\""},
        {"1E30 as a position: refused", placement_file,
         [] { write_file_text("PLACES.XY", "1E30 -1E30\n1600 4800\n"); }, 3,
         "PLACEMENT OF DISPOSAL CYCLE IS OUTSIDE"},

        // the keyboard
        {"end of input at the first keyboard prompt",
         [](placer::DumpControl& c) { c.placement_mode = placer::PlacementMode::Keyboard; },
         {},
         0,
         "NO MORE PLACEMENT POSITIONS FROM THE KEYBOARD"},
        {"an unreadable keyboard answer, then the end of input",
         [](placer::DumpControl& c) { c.placement_mode = placer::PlacementMode::Keyboard; },
         {},
         0,
         "UNREADABLE VALUE IN FILE KEYBOARD, RECORD 1, VALUE 1: \"EAST\"",
         "EAST NORTH\n"},
        {"end of input at the final RETURN", {}, {}, 0, "PRESS \"RETURN\" TO CONTINUE"},

        // the deposit file the fate model leaves, every load alike: the
        // second failure in a row ends the run
        {"CLDX.DUT missing",
         {},
         [] { write_script("cloudex", "true"); },
         1,
         "COULD NOT OPEN CLDX.DUT\nTHERE WERE PROBLEMS ACCESSING CLDX.DUT\nTHERES A PROBLEM "
         "ACCESSING WAVREC.OUT"},
        {"CLDX.DUT empty",
         {},
         [] { write_file_text("deposit.dut", ""); },
         1,
         "UNEXPECTED END OF FILE CLDX.DUT AFTER RECORD 0\nTHERE WERE PROBLEMS ACCESSING CLDX.DUT"},
        {"CLDX.DUT header only: no deposit",
         {},
         [] { cut("deposit.dut", 5); },
         0,
         "PRESS \"RETURN\""},
        {"CLDX.DUT cut in a block",
         {},
         [] { cut("deposit.dut", 30, start_of("deposit.dut", 31, 40)); },
         1,
         "UNEXPECTED END OF FILE CLDX.DUT AFTER RECORD 31\nTHERE WERE PROBLEMS ACCESSING CLDX.DUT"},
        {"letter in a deposit time",
         {},
         [] { put("deposit.dut", 6, 1, "  18OO.0000"); },
         1,
         "UNREADABLE VALUE IN FILE CLDX.DUT, RECORD 6, FIELD 1"},
        {"letter in a thickness",
         {},
         [] { put("deposit.dut", DUT_DUMP_ROW, 181, "0.1OOE+01"); },
         1,
         "UNREADABLE VALUE IN FILE CLDX.DUT, RECORD 47, FIELD 21"},
        {"NaN as a thickness",
         {},
         [] { put("deposit.dut", DUT_DUMP_ROW, 181, "      NaN"); },
         1,
         "UNREADABLE VALUE IN FILE CLDX.DUT, RECORD 47, FIELD 21"},
        {"1E30 as a thickness",
         {},
         [] { put("deposit.dut", DUT_DUMP_ROW, 181, "0.100E+31"); },
         1,
         "CLDX.DUT RECORD 47, FIELD 21: A DEPOSIT OF"},

        // the long-term grid the long-term model leaves (one disposal week and one quiet week)
        {"PLOTBATH.DAT missing: depths kept",
         [](placer::DumpControl& c) {
             c.wave_source = placer::WaveSource::Constant, c.period_days = 14;
         },
         {},
         3,
         "COULD NOT OPEN PLOTBATH.DAT\nTHE DEPTHS FROM BEFORE THE LONG-TERM RUN ARE KEPT"},
        {"PLOTBATH.DAT empty: depths kept",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Constant; },
         [] { write_file_text("plotbath.dat", ""); }, 3,
         "NO COMPLETE GRID AT THE END OF PLOTBATH.DAT"},
        {"PLOTBATH.DAT cut in its last grid",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Constant; },
         [] { write_plotbath(), cut("plotbath.dat", 80, "  39.000  39.0"); }, 3,
         "NO COMPLETE GRID AT THE END OF PLOTBATH.DAT\nTHE DEPTHS FROM BEFORE"},
        {"letter in a long-term depth",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Constant; },
         [] { write_plotbath(), put("plotbath.dat", 50, 9, "  39.OOO"); }, 3,
         "UNREADABLE VALUE IN FILE PLOTBATH.DAT, RECORD 50, FIELD 2"},
        {"1E30 as a long-term depth",
         [](placer::DumpControl& c) { c.wave_source = placer::WaveSource::Constant; },
         [] { write_plotbath(), put("plotbath.dat", 50, 9, "    1E30"); }, 3,
         "PLOTBATH.DAT RECORD 50, FIELD 2: THE DEPTH"},

        // a run that stops after the weekly grid files were written
        {"run stops in the second week", two_weeks,
         [] {
             write_plotbath();
             write_script("cloudex",
                          "echo run >> cloudex.log\n[ $(wc -l < cloudex.log) -ge 3 ] || cp "
                          "deposit.dut CLDX.DUT");
         },
         1, "THERES A PROBLEM ACCESSING WAVREC.OUT & TIDE.DAT"},
        {"run onto its own site stops in the second week",
         [](placer::DumpControl& c) { two_weeks(c), c.out = "SITE"; },
         [] {
             write_plotbath();
             write_script("cloudex",
                          "echo run >> cloudex.log\n[ $(wc -l < cloudex.log) -ge 3 ] || cp "
                          "deposit.dut CLDX.DUT");
         },
         1, "THERES A PROBLEM ACCESSING WAVREC.OUT & TIDE.DAT"},
    };

    const gridlib::SiteGrid grid = make_grid(20, 60, 20, [](int) { return 40.0f; });
    const std::vector<std::string> guarded = {"SITE.IN",  "SITE.OUT", "SITE.DAT", "SITE.TNS",
                                              "RUN1.IN",  "RUN1.OUT", "RUN1.DAT", "RUN1.TNS",
                                              "RUN1.ACT", "RUN1.TIM"};
    for (const Case& c : cases) {
        for (const fs::directory_entry& e : fs::directory_iterator(".")) fs::remove_all(e.path());
        placer::DumpControl ctl = test_control();
        if (c.control) c.control(ctl);
        prepare_placement_folder(grid, ctl, {{{21, 21}, 1.0f}});
        write_deposit();
        // The outputs of an earlier run, which a failed run must leave as they are.
        for (const char* ext : {"IN", "OUT", "DAT", "TNS", "ACT", "TIM"})
            write_file_text(std::string("RUN1.") + ext, std::string("EARLIER RUN1.") + ext + "\n");
        if (c.spoil) c.spoil();
        std::map<std::string, std::string> before;
        for (const std::string& f : guarded) before[f] = bytes(f);

        const int status = run_placer(c.keyboard);
        const std::string console = text("console.txt");
        EXPECT_EQ(status, c.status) << c.what << "\n" << console;
        if (c.message == NOT_ASKED)
            EXPECT_EQ(console, NOT_ASKED) << c.what;
        else
            EXPECT_NE(console.find(c.message), std::string::npos) << c.what << "\n" << console;
        for (const std::string& f : guarded) {
            const bool output = f.rfind(ctl.out + ".", 0) == 0;
            // A run that finished (with or without losses) stores its output site.
            const bool finished = status == 0 || status == 3;
            if (!finished || !output) {
                EXPECT_EQ(bytes(f), before[f]) << c.what << ": " << f << " changed";
            }
        }
    }
}

}  // namespace
