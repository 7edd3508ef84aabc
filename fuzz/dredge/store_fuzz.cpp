// STORE.DAT on arbitrary text: the column read back, fifty further time
// steps of the march and the stresses. Every outcome must be a column, a
// RunError naming the file, or a RecordError.
#include <cstdint>

#include "dredge/consolidation.hpp"
#include "dredge/errors.hpp"
#include "fuzz_file.hpp"
#include "recio/records.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("STORE.DAT", data, size);
    try {
        dredge::Column c;
        dredge::DATAIN(c, "STORE.DAT");
        dredge::FDIFEQ(c, c.time + 50.0f * c.tau);
        dredge::STRESS(c);
    } catch (const dredge::RunError&) {
    } catch (const recio::RecordError&) {
    }
    return 0;
}
