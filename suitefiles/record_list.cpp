// A file written from a list of whole records.
#include "suitefiles/record_list.hpp"

#include "recio/records.hpp"

namespace suitefiles {

bool write_record_list(const std::string& path, const std::vector<std::string>& records) {
    recio::RecordWriter out(path);
    if (!out.is_open()) return false;
    for (const std::string& r : records) out.record(r);
    return out.close();
}

}  // namespace suitefiles
