// READG: reads the header of a site summary file (.OUT).
#include "gridlib/sitegrid.hpp"
#include "recio/records.hpp"

namespace gridlib {
namespace {

// Records 1 to 7: the sequence counters and the reduction word.
constexpr const char* SUMMARY_COUNTERS = "(/,7X,I4,/,12X,I4,/,/,/,/,32X,A8)";
// Reduced portrayal: records 8 to 12, the resolution ratio in record 11.
constexpr const char* SUMMARY_RATIO = "(/,/,/,35X,I3,/)";
// The blocks after the reduction wording, each opened by an empty record.
constexpr const char* SUMMARY_BLOCKS =
    "(/,/,/,27X,I5,"              // lineal scale
    "/,/,64X,I5,"                 // portrayal points
    "/,/,/,36X,I6,/,/,36X,I6,/,"  // extents (and the acres, not read)
    "/,/,36X,I4,/,58X,I4,"        // survey and portrayal intervals
    "/,/,/,16X,F12.4,12X,F12.4,/,/,16X,F12.4,12X,F12.4,"
    "/,/,16X,F12.4,12X,F12.4,/,/,16X,F12.4,12X,F12.4,"
    "/,/,18X,F12.4,11X,F12.4)";  // NW, NE, SW, SE corners and centre

}  // namespace

GridRead READG(std::string_view file_name, SiteSummary& s) {
    std::string name = trimmed(file_name);
    recio::RecordReader in(name);
    if (!in.is_open()) {
        return {GRID_MISSING, {"", {"UNABLE TO OPEN THE SITE SUMMARY FILE " + name}}};
    }
    in.require_whole_fields();  // ARGPB fills every field: a shorter record was cut
    SiteSummary r = s;
    SiteCorners& c = r.corners;
    std::string word;
    try {
        in.need(SUMMARY_COUNTERS, r.seq_since_last, r.total_seq, word);
        if (word == "BUT WITH")
            in.need(SUMMARY_RATIO, r.ratio);
        else
            in.skip(1);
        in.need(SUMMARY_BLOCKS, r.lineal_scale, r.portrayal_points, r.ns_extent, r.we_extent,
                r.survey_interval, r.portrayal_interval, c.nw_e, c.nw_n, c.ne_e, c.ne_n, c.sw_e,
                c.sw_n, c.se_e, c.se_n, c.centre_e, c.centre_n);
    } catch (const recio::RecordError& e) {
        return {GRID_UNREADABLE, {"", {e.what()}}};
    }
    s = r;
    return {};
}

}  // namespace gridlib
