#include "gridlib/stored_files.hpp"

#include "recio/console.hpp"
#include "recio/format.hpp"

namespace gridlib {
namespace {

void empty_lines(int n) {
    for (int i = 0; i < n; ++i) recio::console_list();
}

// Lines of text, then a file name in 1X,A32.
void group(std::initializer_list<const char*> lines, const std::string& file) {
    for (const char* line : lines) recio::console_list(line);
    recio::console_write("(1X,A32)", recio::padded(file, 32));
}

}  // namespace

void stored_files_screen(const StoredFiles& f, StoredFilesWording wording) {
    const bool placement = wording == StoredFilesWording::Placement;
    const std::string dashes(48, '-');
    empty_lines(13);
    recio::console_list(dashes);
    if (!placement) empty_lines(1);
    group(
        {"The SIMULATED X,Y,Z BATHYMETRIC DATA", "for the DISPOSAL AREA is stored", "on filename:"},
        f.grid);
    empty_lines(1);
    group({"The disposal area is SCHEMATICALLY PORTRAYED", "AND SUMMARIZED on filename:"},
          f.summary);
    empty_lines(1);
    if (!f.report.empty()) {
        group({"Information describing the preceding DISPOSAL",
               "OPERATION is contained on filename:"},
              f.report);
        empty_lines(1);
    }
    group({"The ASCII datafile to be used for 3-D or 2-D",
           placement ? "image software post-processing is stored"
                     : "imaging software post-processing is stored",
           "on filename:"},
          f.points);
    recio::console_list(dashes);
    empty_lines(placement ? 1 : 2);
    recio::console_list("PRESS \"RETURN\" TO CONTINUE");
    recio::keyboard_line();
    empty_lines(10);
}

}  // namespace gridlib
