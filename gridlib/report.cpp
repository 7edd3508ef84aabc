// The console side of the library's reports: the programs show them.
#include "gridlib/sitegrid.hpp"
#include "recio/console.hpp"

namespace gridlib {
namespace {

// RGRID1's screen for a grid file that was not found; waits for RETURN.
void missing_grid_screen(const std::string& name) {
    recio::console_write(
        "(/,/,/,1X,'The requested disposal area grid file was not',/,1X,14X,A,/,"
        "1X,'found on the specified disc drive:/directory.',/,1X,'Press \"RETURN\".')",
        name);
    recio::keyboard_line();
    recio::console_write("(/)");
}

}  // namespace

void show_report(const GridReport& report) {
    if (!report.missing_grid.empty()) missing_grid_screen(report.missing_grid);
    for (const std::string& line : report.lines) recio::console_list(line);
}

GridRead shown(GridRead outcome) {
    show_report(outcome.report);
    return outcome;
}

GridStored shown(GridStored outcome) {
    show_report(outcome.report);
    return outcome;
}

}  // namespace gridlib
