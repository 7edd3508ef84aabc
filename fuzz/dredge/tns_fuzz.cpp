// The resampled grid file on arbitrary text, read as a 12 x 12 grid: its
// cell size, title and depths, then the mound's centroid. Every outcome must
// be a grid, a RunError naming the file, or a RecordError.
#include <cstdint>

#include "dredge/bed.hpp"
#include "dredge/driver.hpp"
#include "dredge/errors.hpp"
#include "fuzz_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("SITE.TNS", data, size);
    dredge::Fields f;
    f.resize(12, 12);
    try {
        const dredge::StartGrid g = dredge::read_start_grid("SITE.TNS", f.depth);
        f.dx = f.dy = g.dx;
        dredge::CentroidState state;
        float xc = 0.0f, yc = 0.0f, vol = 0.0f;
        dredge::CENTROID2(f, 0.0f, 0.0f, xc, yc, vol, state);
    } catch (const dredge::RunError&) {
    } catch (const recio::RecordError&) {
    }
    return 0;
}
