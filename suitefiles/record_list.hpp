// A file written from a list of whole records.
#pragma once

#include <string>
#include <vector>

namespace suitefiles {

// Writes `records`, one per line, into `path` (created or replaced); false
// when the file cannot be written.
bool write_record_list(const std::string& path, const std::vector<std::string>& records);

}  // namespace suitefiles
