// A consolidation data file (PCDDF2.DAT) on arbitrary text: the table, the
// initial column of a 10-ft mound, a hundred time steps of the march and
// the stresses. Every outcome must be a column, a RunError naming the file,
// or a RecordError.
#include <cstdint>

#include "dredge/consolidation.hpp"
#include "dredge/errors.hpp"
#include "fuzz_file.hpp"
#include "recio/records.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("PCDDF2.DAT", data, size);
    try {
        dredge::Column c;
        dredge::read_consolidation_data("PCDDF2.DAT", c);
        c.h = 10.0f;
        dredge::SETUP1(c);
        dredge::check_time_step(c, "PCDDF2.DAT");
        dredge::FDIFEQ(c, 100.0f * c.tau);
        dredge::STRESS(c);
    } catch (const dredge::RunError&) {
    } catch (const recio::RecordError&) {
    }
    return 0;
}
