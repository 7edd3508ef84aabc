// One arbitrary input read as DUMP.INI, WAVREC.OUT, TIDE.DAT and TIDAL.DAT
// by the whole-file readers. Every outcome must be values or a RecordError;
// values written back and read again must give the same records.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_file.hpp"
#include "recio/format.hpp"
#include "suitefiles/dump_ini.hpp"
#include "suitefiles/tidal.hpp"
#include "suitefiles/tide.hpp"
#include "suitefiles/wavrec.hpp"

namespace {

// Reads `path`, writes it back as BACK and reads that: the records of the
// two readings must agree.
template <class File, class Read, class Write, class Records>
void round_trip(const char* path, Read read, Write write, Records records) {
    File first, second;
    try {
        if (!read(path, first)) return;
    } catch (const recio::RecordError&) {
        return;
    }
    if (!write("BACK", first)) std::abort();
    try {
        if (!read("BACK", second)) std::abort();
    } catch (const recio::RecordError&) {
        return;  // a value written as asterisks does not read back
    }
    if (records(first) != records(second)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("SERIES.DAT", data, size);
    round_trip<suitefiles::DumpControl>("SERIES.DAT", suitefiles::read_dump_ini,
                                        suitefiles::write_dump_ini, suitefiles::dump_ini_records);
    round_trip<suitefiles::WaveSeriesFile>("SERIES.DAT", suitefiles::read_wavrec,
                                           suitefiles::write_wavrec, suitefiles::wavrec_records);
    round_trip<suitefiles::TideSeriesFile>("SERIES.DAT", suitefiles::read_tide_dat,
                                           suitefiles::write_tide_dat,
                                           suitefiles::tide_dat_records);
    round_trip<suitefiles::TidalFile>("SERIES.DAT", suitefiles::read_tidal_file,
                                      suitefiles::write_tidal_file, suitefiles::tidal_records);
    return 0;
}
