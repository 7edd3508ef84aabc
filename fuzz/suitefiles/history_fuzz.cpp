// The reader of the site history on arbitrary input. A history it accepts
// whose depths fit their columns, written by the writer and read back, comes
// back the same, record for record.
#include <cstdint>
#include <cstdlib>

#include "fuzz_file.hpp"
#include "recio/format.hpp"
#include "recio/records.hpp"
#include "suitefiles/history.hpp"

namespace {

bool writable(const suitefiles::History& h) {
    for (const suitefiles::Snapshot& s : h.snapshots)
        for (const float d : s.depth)
            if (!recio::fits_field("(F8.3)", d)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("RUN.HIS", data, size);
    suitefiles::History h;
    try {
        recio::RecordReader in("RUN.HIS");
        in.require_whole_fields();
        h = suitefiles::read_history(in);
    } catch (const recio::RecordError&) {
        return 0;
    }
    if (!writable(h)) return 0;
    const std::vector<std::string> once = suitefiles::history_records(h);
    {
        recio::RecordWriter out;
        if (!out.open("AGAIN.HIS") || !suitefiles::write_history(out, h)) std::abort();
    }
    recio::RecordReader again("AGAIN.HIS");
    again.require_whole_fields();
    if (suitefiles::history_records(suitefiles::read_history(again)) != once) std::abort();
    return 0;
}
