// A survey file of arbitrary text adapted to a small rotated site: every
// outcome is a read to the end or a RecordError, and the indexed adaptation
// gives the depths of the plain one.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_file.hpp"
#include "sitegen/survey.hpp"

namespace {

gridlib::SiteGrid small_site(std::int16_t system) {
    gridlib::SiteGrid g;
    g.points_ns = 9;
    g.points_we = 11;
    g.total_points = 99;
    g.interval = system == 2 ? 3648 : 25;
    g.rotation = 17.0f;
    g.coord_system = system;
    return g;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("SURVEY.XYZ", data, size);
    const std::int16_t system = size % 2 == 0 ? 1 : 2;
    const float nw_e = system == 2 ? 70.5f : 1000.0f, nw_n = system == 2 ? 60.0f : 2000.0f;
    gridlib::SiteGrid indexed = small_site(system);
    const survey::SurveySpec source{"SURVEY.XYZ", 30, {"E", "N", "D"}};
    survey::Outcome out;
    try {
        out = survey::RBATH(source, indexed, nw_e, nw_n);
    } catch (const recio::RecordError&) {
        return 0;
    }
    // The same survey, the plain way, batch by batch.
    gridlib::SiteGrid plain = small_site(system);
    survey::SurveyReader reader;
    if (!reader.open("SURVEY.XYZ")) std::abort();
    std::array<survey::Quantity, 3> order;
    if (!survey::column_order(source.columns, order)) std::abort();
    reader.set_order(order);
    const survey::Frame frame = survey::make_frame(plain, nw_e, nw_n, source.spacing);
    survey::Batch batch;
    std::int64_t points = 0;
    std::size_t held;
    do {
        held = reader.next_batch(batch);
        points += static_cast<std::int64_t>(held);
        if (held) survey::adapt_batch_plain(frame, batch, plain.depth);
    } while (held == survey::BATCH_POINTS);
    if (points != out.points_read) std::abort();
    if (std::memcmp(plain.depth.data(), indexed.depth.data(), 99 * sizeof(float)) != 0)
        std::abort();
    return 0;
}
