// The run report: one self-contained HTML page of a placement run (site,
// material balance or loads, maps, the mound's evolution, warnings), its
// pictures inline, written from the run's folder.
#pragma once

#include <ostream>
#include <string>

namespace siteplot {

// Writes the report of the run whose DUMP.INI is in the current folder to
// `path`. Throws results::InputError when there is no run to report on.
void write_report(const std::string& path, std::ostream& out);

}  // namespace siteplot
