// The console session of the dump-pattern generator: questions, site
// headers, the dump file.
#include <cctype>
#include <cmath>

#include "loadpat/loadpat.hpp"
#include "recio/console.hpp"
#include "recio/random.hpp"
#include "recio/records.hpp"
#include "suitefiles/name_rules.hpp"
#include "suitefiles/placement_files.hpp"

namespace loadpat {
namespace {

constexpr std::size_t SITE_PATH_LENGTH = 15;

int end_of_input() {
    recio::console_write(
        "(1X,'THE INPUT ENDED BEFORE EVERY QUESTION WAS ANSWERED: NO DUMP PATTERN WRITTEN')");
    return 1;
}

// The first word of an answer (a quoted answer may hold blanks).
std::string first_word(const std::string& line) {
    std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) return {};
    char quote = line[start];
    if (quote == '\'' || quote == '"') {
        std::size_t end = line.find(quote, start + 1);
        return line.substr(start + 1,
                           end == std::string::npos ? std::string::npos : end - start - 1);
    }
    std::string_view rest(line.c_str() + start, line.size() - start);
    return std::string(rest.substr(0, static_cast<std::size_t>(gridlib::IBLANKS(rest))));
}

// Asks until the answer's first word passes `accept`; false when the input ends.
template <class Accept>
bool ask_word(const char* question, std::string& word, Accept accept) {
    for (;;) {
        recio::console_write(question);
        std::string line = recio::keyboard_line();
        word = first_word(line);
        if (word.empty()) {
            if (recio::keyboard_at_end()) return false;
            continue;
        }
        if (accept(word)) return true;
    }
}

// Asks until a free-format number passes `valid`; false when the input ends.
template <class T, class Valid>
bool ask_number(const char* question, T& value, Valid valid, const char* complaint) {
    for (;;) {
        recio::console_write(question);
        try {
            if (!recio::keyboard_list(value)) return false;
        } catch (const recio::RecordError&) {
            recio::console_write("(1X,'PLEASE ANSWER WITH A NUMBER')");
            continue;
        }
        if (valid(value)) return true;
        recio::console_write(complaint);
    }
}

}  // namespace

int run_loadpat(std::optional<std::uint32_t> seed) {
    std::string site;
    bool answered = ask_word(
        "(/,1X,'WHATS THE NAME OF THE DISPOSAL AREA GRID?',/,1X,'Enter complete path and "
        "filename:')",
        site, [](const std::string& w) {
            if (w.size() > SITE_PATH_LENGTH) {
                recio::console_write("(1X,'THE PATH AND NAME MAY HOLD AT MOST 15 CHARACTERS')");
                return false;
            }
            // The pattern is written as the path + ".XYZ": the path must name a site.
            const std::string fault = suitefiles::name_fault(w, suitefiles::NameKind::Path);
            if (fault.empty()) return true;
            recio::console_list("THE PATH AND NAME CANNOT BE USED: " + fault);
            return false;
        });
    if (!answered) return end_of_input();

    gridlib::SiteGrid grid;
    if (gridlib::shown(gridlib::RGRID1_HEADER(site + ".IN", grid)) != gridlib::GRID_OK) return 1;
    gridlib::SiteSummary summary;
    if (gridlib::shown(gridlib::READG(site + ".OUT", summary)) != gridlib::GRID_OK) return 1;
    if (grid.coord_system == 2)
        recio::console_write(
            "(/,1X,'NOTE: THIS SITE IS IN GEOGRAPHIC COORDINATES; THE CELL OFFSETS IN FEET',/,"
            "1X,'ARE ADDED TO ITS LONGITUDE AND LATITUDE AS THEY STAND')");

    auto positive = [](float v) { return v > 0.0f && std::isfinite(v); };
    const char* bad_interval = "(1X,'THE DUMP INTERVAL MUST BE GREATER THAN 0 FT')";
    float dxc = 0.0f, dyc = 0.0f;
    if (!ask_number("(/,1X,'WHATS THE EAST-WEST DUMP INTERVAL (ft)?')", dxc, positive,
                    bad_interval) ||
        !ask_number("(/,1X,'WHATS THE NORTH-SOUTH DUMP INTERVAL (ft)?')", dyc, positive,
                    bad_interval))
        return end_of_input();
    const CellLayout cells = cell_layout(summary, grid.rotation, dxc, dyc);
    if (cells.columns == 0 || cells.rows == 0) {
        recio::console_list("NO DUMP CELL FITS THE DISPOSAL AREA, WHICH IS " +
                            std::to_string(summary.we_extent) + " FT WEST-EAST AND " +
                            std::to_string(summary.ns_extent) + " FT NORTH-SOUTH");
        return 1;
    }

    std::int16_t loads = 0;
    if (!ask_number(
            "(/,1X,'HOW MANY LOADS ARE THERE TO BE PLACED IN',/,1X,'EACH DUMP CELL?')", loads,
            [](std::int16_t v) { return v >= 1; },
            "(1X,'THERE MUST BE AT LEAST 1 LOAD IN EACH DUMP CELL')"))
        return end_of_input();
    const double dumps = static_cast<double>(loads) * static_cast<double>(cells.columns) *
                         static_cast<double>(cells.rows);
    if (dumps > static_cast<double>(MAX_DUMPS)) {
        recio::console_list(
            "TOO MANY DUMPS: " + std::to_string(loads) + " LOADS IN EACH OF " +
            std::to_string(cells.columns) + " x " + std::to_string(cells.rows) +
            " DUMP CELLS; AT MOST 4000 DUMPS CAN BE PLACED. NO DUMP PATTERN WRITTEN");
        return 1;
    }

    std::int16_t control = 0;
    if (!ask_number(
            "(/,1X,'PLACEMENT CONTROL WITHIN EACH CELL IS BASED ON:',/,"
            "1X,' 1 = Random placement about each cell centroid',/,1X,' 0 = dumps placed AT cell "
            "centroids')",
            control,
            [](std::int16_t v) { return v == AT_CENTROIDS || v == RANDOM_ABOUT_CENTROIDS; },
            "(1X,'PLEASE ANSWER 1 OR 0')"))
        return end_of_input();
    std::string approach;
    float radius = 0.0f;
    if (control == RANDOM_ABOUT_CENTROIDS) {
        answered =
            ask_word("(/,1X,'WHAT IS THE APPROACH DIRECTION?')", approach, [](std::string& w) {
                for (char& ch : w)
                    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
                if (is_approach(w)) return true;
                recio::console_write(
                    "(1X,'THE APPROACH DIRECTION MUST BE ONE OF: NO WE SO EA NW SW SE NE')");
                return false;
            });
        if (!answered ||
            !ask_number("(/,1X,'WHAT IS THE RADIUS OF PLACEMENT ABOUT EACH',/,1X,'CENTROID? (FT)')",
                        radius, positive,
                        "(1X,'THE RADIUS OF PLACEMENT MUST BE GREATER THAN 0 FT')"))
            return end_of_input();
    }

    const std::uint32_t seed_value =
        seed ? *seed : static_cast<std::uint32_t>(recio::clock_seconds());
    const std::vector<suitefiles::Position> placed =
        place_dumps(dump_list(cells, loads), control, approach, radius, seed_value);

    // Every position must fit its F12.4 columns: a pattern with asterisks in
    // it could not be read back (a vast radius of placement, for one).
    std::size_t misfit = 0;
    if (!suitefiles::pattern_fits(placed, misfit)) {
        recio::console_list(
            "DUMP " + std::to_string(misfit + 1) +
            " LIES BEYOND WHAT THE COLUMNS OF THE .XYZ FILE HOLD (F12.4). NO DUMP PATTERN WRITTEN");
        return 1;
    }
    const std::string xyz = site + ".XYZ";
    if (!suitefiles::write_dump_pattern(xyz, placed)) {
        recio::console_list("UNABLE TO WRITE FILE " + xyz);
        return 1;
    }
    recio::console_write(
        "(/,1X,'If everything worked OK:  The dump coordinates(E,N)',/,1X,'are stored on the file "
        "*.XYZ')");
    const std::string written =
        std::to_string(placed.size()) + (placed.size() == 1 ? " DUMP" : " DUMPS") + " WRITTEN ON ";
    recio::console_write("(1X,A,A)", written, xyz);
    return 0;
}

}  // namespace loadpat
