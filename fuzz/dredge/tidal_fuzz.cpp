// TIDAL.DAT on arbitrary text: the constituents, then the tide and tidal
// current at a few times and their direction. Every outcome must be a table,
// a RunError naming the file, or a RecordError.
#include <cstdint>

#include "dredge/driver.hpp"
#include "dredge/errors.hpp"
#include "fuzz_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("TIDAL.DAT", data, size);
    try {
        const dredge::TideTable table = dredge::read_tidal("TIDAL.DAT");
        float direction = 0.0f;
        for (float t : {3.0f, 27.0f, 3363.0f}) {
            const dredge::TideState s = dredge::tide_at(table, t);
            direction = dredge::tidal_direction(s.u, s.v, direction);
        }
    } catch (const dredge::RunError&) {
    } catch (const recio::RecordError&) {
    }
    return 0;
}
