#include "suitefiles/tns.hpp"

#include <algorithm>

namespace suitefiles {

bool is_tns_end_marker(std::string_view r) {
    return r.size() >= 30 && r.substr(0, 21).find_first_not_of(' ') == std::string_view::npos &&
           r.substr(21, 9) == "999999999";
}

void write_tns(recio::RecordWriter& out, float spacing, std::string_view title, const float* depth,
               std::size_t values) {
    out.write(TNS_SPACING, spacing);
    out.write(TNS_TITLE, recio::padded(title, TNS_TITLE_LENGTH));
    out.write(TNS_DEPTHS, recio::array(depth, values));
    out.write(TNS_END);
}

std::size_t count_tns_depths(recio::RecordReader& in) {
    std::size_t values = 0;
    std::string record;
    in.skip(2);
    while (in.next_record(record) && !is_tns_end_marker(record)) {
        const std::size_t used = record.find_last_not_of(' ');
        if (used != std::string::npos) values += std::min<std::size_t>((used + 8) / 8, 26);
    }
    in.rewind();
    return values;
}

float read_tns_cell_size(recio::RecordReader& in) {
    float cell = 0.0f;
    in.need(TNS_SPACING, cell);
    return cell;
}

TnsHeader read_tns(recio::RecordReader& in, float* depth, std::size_t values) {
    TnsHeader h;
    in.need(TNS_SPACING, h.spacing);
    in.need("(A50)", h.title);
    in.need(TNS_DEPTHS, recio::array(depth, values));
    return h;
}

}  // namespace suitefiles
