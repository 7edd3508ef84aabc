// WAVREC.OUT on arbitrary text: positioned at a first step taken from the
// input's length, then read for a day of steps, each wave shoaled to the
// gauge depth. Every outcome must be waves, a RunError naming the file and
// step, or a RecordError.
#include <cstdint>

#include "dredge/driver.hpp"
#include "dredge/errors.hpp"
#include "dredge/hydro.hpp"
#include "fuzz_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("WAVREC.OUT", data, size);
    const std::int32_t n0 = 1 + static_cast<std::int32_t>(size % 7);
    dredge::WaveSeries waves;
    try {
        waves.open("WAVREC.OUT", n0);
        for (std::int32_t n = n0; n <= n0 + 8; ++n) {
            float h = 0.0f, t = 0.0f, h0 = 0.0f;
            waves.next(n, h, t);
            dredge::SHOAL(h, t, 40.0f, h0);
        }
    } catch (const dredge::RunError&) {
    } catch (const recio::RecordError&) {
    }
    waves.close();
    return 0;
}
