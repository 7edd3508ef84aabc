// The console screen that lists the files of a site just stored (the grid
// file, the summary, the placement report of a placement run, the point
// file), ending with "PRESS "RETURN" TO CONTINUE" and a wait for a line.
#pragma once

#include <string>

namespace gridlib {

struct StoredFiles {
    std::string grid;     // .IN
    std::string summary;  // .OUT
    std::string report;   // .ACT of a placement run; "" when there is none
    std::string points;   // .DAT
};

// The two wordings of the screen: the placement run's, and the one of the
// programs that make or change a site (an empty line before the first file
// name's group, "imaging software", two empty lines before the prompt).
enum class StoredFilesWording { Placement, NewSite };

void stored_files_screen(const StoredFiles& files, StoredFilesWording wording);

}  // namespace gridlib
