// The three jobs of the grid utilities and the flag word that selects them.
#include <cctype>

#include "gridlib/stored_files.hpp"
#include "recio/console.hpp"
#include "recio/file_set.hpp"
#include "recio/format.hpp"
#include "recio/process.hpp"
#include "recio/records.hpp"
#include "suitefiles/action.hpp"
#include "suitefiles/name_rules.hpp"
#include "utility/utility.hpp"

namespace utility {
namespace {

constexpr const char* CONTROL_FILE = "UTL.INI";
bool open_control(recio::RecordReader& in) {
    if (in.open(CONTROL_FILE)) return true;
    recio::console_write("(1X,'UNABLE TO FIND \"UTL.INI\" DATA FILE')");
    return false;
}

void announce_generation(const char* what) {
    recio::console_write("(/,1X,20X,A,/,1X,26X,'be 1 - 3 minutes')", std::string(what));
}

// Stores a site under the name X (X.IN, X.OUT, X.DAT) and lists its files;
// a site whose values its files cannot carry is not stored at all, so that
// an existing site X stays as it was.
bool store_site(const std::string& x, const gridlib::SiteGrid& grid, gridlib::SiteSummary& summary,
                std::int8_t new_site, std::int16_t sign_option, const std::string& title) {
    if (!gridlib::shown(gridlib::site_storable(grid, summary, new_site))) return false;
    gridlib::ResampleWork work;
    const std::string in_name = x + ".IN", out_name = x + ".OUT";
    recio::FileSet set(x + ".SET");
    if (!gridlib::shown(gridlib::GRID1(in_name, summary.corners.nw_e, summary.corners.nw_n, grid,
                                       work, gridlib::GRID1_NEW, sign_option, title, &set)))
        return false;
    std::int8_t turned = 0;
    if (!gridlib::shown(gridlib::ARGPB(in_name, out_name, summary, new_site, turned, &set)))
        return false;
    if (!gridlib::commit_site(set)) return false;
    gridlib::stored_files_screen({in_name, out_name, "", x + ".DAT"},
                                 gridlib::StoredFilesWording::NewSite);
    return true;
}

}  // namespace

Job read_job(const std::string& flag_file) {
    const std::string word = suitefiles::read_action_word(flag_file).substr(0, 8);
    if (word == "UTILITY1") return Job::Structure;
    if (word == "UTILITY2") return Job::Volumes;
    if (word == "UTILITY3") return Job::Carry;
    return Job::None;
}

std::string read_structure_control(recio::RecordReader& in, StructureControl& c) {
    return suitefiles::read_utl_structure(in, c);
}

std::string read_volumes_control(recio::RecordReader& in, VolumesControl& c) {
    return suitefiles::read_utl_volumes(in, c);
}

namespace {

// Reads UTL.INI with one of the readers above; false (with the message) if
// it cannot be used.
template <class Control, class Read>
bool control_file(Control& c, Read read) {
    recio::RecordReader in;
    if (!open_control(in)) return false;
    const std::string fault = read(in, c);
    if (fault.empty()) return true;
    recio::console_list(fault);
    return false;
}

}  // namespace

// UTILITY1: a simple mound or berm superimposed on a site, stored in place.
int run_structure() {
    StructureControl c;
    if (!control_file(c, read_structure_control)) return 1;
    const std::string& x = c.path;
    const std::string title =
        (c.structure == 'M' ? "SIMPLE MOUND ADAPTED TO: " : "SIMPLE BERM ADAPTED TO: ") + x;
    gridlib::SiteGrid grid;
    if (gridlib::shown(gridlib::RGRID1(x + ".IN", grid)) != gridlib::GRID_OK) return 1;
    gridlib::SiteSummary summary;
    if (gridlib::shown(gridlib::READG(x + ".OUT", summary)) != gridlib::GRID_OK) return 1;

    ShapedSite site(grid, summary.corners.nw_e, summary.corners.nw_n);
    if (c.structure == 'B' && berm_line(c.berm, grid.interval, site.f).too_long) {
        recio::console_write("(1X,'THE BERM ENDS IN UTL.INI LIE TOO FAR APART FOR THIS SITE')");
        return 1;
    }
    announce_generation("GENERATING DISPOSAL AREA GRID");
    if (c.structure == 'M')
        apply_mound(site, c.mound);
    else
        apply_berm(site, c.berm);

    return store_site(x, grid, summary, 0, c.sign_option, title) ? 0 : 1;
}

namespace {

// The difference grid is stored as a new site: it must not be one of the two
// sites it is made of.
std::string difference_name_problem(const VolumesControl& c) {
    const char* record = nullptr;
    if (suitefiles::same_file(c.difference + ".IN", c.first + ".IN"))
        record = "2";
    else if (suitefiles::same_file(c.difference + ".IN", c.second + ".IN"))
        record = "3";
    if (!record) return {};
    return "UTL.INI RECORD 4: THE DIFFERENCE GRID " + c.difference + " IS THE SITE OF RECORD " +
           record + ", ONE OF THE GRIDS COMPARED";
}

}  // namespace

// UTILITY2: volumes above an elevation or between two grids, and on request
// the difference grid stored as a new site.
int run_volumes() {
    VolumesControl c;
    if (!control_file(c, read_volumes_control)) return 1;
    const std::int16_t mode = c.mode;
    const float elevation = c.elevation;
    const std::string &first_path = c.first, &second_path = c.second;
    if (mode == VOLUME_DIFFERENCE) {
        const std::string problem = difference_name_problem(c);
        if (!problem.empty()) {
            recio::console_list(problem);
            return 1;
        }
    }

    gridlib::SiteGrid first;
    if (gridlib::shown(gridlib::RGRID1(first_path + ".IN", first)) != gridlib::GRID_OK) return 1;
    gridlib::SiteGrid second;
    gridlib::SiteSummary second_summary;
    if (mode != VOLUME_ABOVE) {
        if (gridlib::shown(gridlib::RGRID1(second_path + ".IN", second)) != gridlib::GRID_OK)
            return 1;
        // The summary gives the difference grid its corners; only mode 3 stores one.
        if (mode == VOLUME_DIFFERENCE &&
            gridlib::shown(gridlib::READG(second_path + ".OUT", second_summary)) !=
                gridlib::GRID_OK)
            return 1;
        if (first.total_points != second.total_points || first.points_we != second.points_we ||
            first.points_ns != second.points_ns || first.interval != second.interval ||
            first.coord_system != second.coord_system || first.rotation != second.rotation) {
            recio::console_write("(1X,'LOWER and UPPER GRID MISMATCH, hit \"RETURN\"')");
            recio::keyboard_line();
            return 1;
        }
    }

    Volumes v = grid_volumes(first, mode == VOLUME_ABOVE ? nullptr : &second, elevation,
                             mode == VOLUME_DIFFERENCE);
    if (mode == VOLUME_ABOVE) {
        recio::console_write(
            "(/,1X,'        VOLUME ABOVE ELEVATION -',F6.1,' ft is: ',F10.0,' CY.')", elevation,
            v.fill);
    } else {
        recio::console_write(
            "(/,1X,'             DIFFERENCE BETWEEN TWO GRIDS:  ',' VOLUME RESULTS',/,/,/,"
            "1X,'Volume of CUTS between upper/lower gri','ds is: ',F10.0,' CY.',/,"
            "1X,'Volume of FILL between upper/lower',' grids is: ',F10.0,' CY.',/,"
            "1X,'NET volume GAINED between upper and lower grids',' is: ',F10.0,' CY.')",
            v.cut, v.fill, v.net);
    }
    // No correction for voids is applied: the note says what the volumes mean.
    recio::console_write(
        "(1X,'\"volume\" is an aggregate term and refers to the ','in situ material',/,"
        "1X,' composition resulting from inclussion of voids',/,/,/,1X,'Hit \"RETURN\" to "
        "continue')");
    recio::keyboard_line();
    if (mode != VOLUME_DIFFERENCE) return 0;

    // The difference grid: the second site's header and corner, the
    // differences as depths, their mean as the long-term datum.
    gridlib::SiteGrid difference = second;
    difference.depth = first.depth;
    difference.datum = v.mean;
    const std::string title = "DIFFERENCE OF: " + first_path + " & " + second_path;
    announce_generation("GENERATING   DIFFERENCE   GRID");
    return store_site(c.difference, difference, second_summary, 1, 3, title) ? 0 : 1;
}

// UTILITY3: the outside program CARRYX.EXE, started and waited for.
int run_carry() {
    if (recio::find_program("CARRYX.EXE").empty()) {
        recio::console_write(
            "(1X,'THE OUTSIDE PROGRAM CARRYX.EXE WAS NOT FOUND.',/,"
            "1X,'IT IS LOOKED FOR AS CARRYX.EXE OR carryx IN THE CURRENT FOLDER, THEN ON THE "
            "PATH.')");
        return 1;
    }
    if (recio::run_program("CARRYX.EXE") < 0) {
        recio::console_write("(1X,'THE OUTSIDE PROGRAM CARRYX.EXE COULD NOT BE STARTED.')");
        return 1;
    }
    return 0;  // what the outside program did is its own affair
}

int run_utility() {
    switch (read_job("ACTION.BAT")) {
        case Job::Structure:
            return run_structure();
        case Job::Volumes:
            return run_volumes();
        case Job::Carry:
            return run_carry();
        case Job::None:
            break;
    }
    // Not started for this program: a silent end.
    suitefiles::menu_hint_on_error_stream("UTILITY1, UTILITY2 OR UTILITY3",
                                          "./menu utility mound|volumes|carry");
    return 1;
}

}  // namespace utility
