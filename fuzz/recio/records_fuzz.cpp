// The record readers on arbitrary text: formatted reads under the layouts the
// control files use, and list-directed reads, first with Fortran's padding of
// short records, then as the site files are read (whole fields). Every
// outcome must be a value, the end of the file or a RecordError.
#include <cstdint>
#include <string>

#include "fuzz_file.hpp"
#include "recio/records.hpp"

namespace {

void formatted_and_list_reads(recio::RecordReader& in, std::size_t size) {
    std::int16_t a[16];
    std::int32_t b[7];
    float r[9];
    double d[3];
    std::string name, text;
    const char* const integer_formats[] = {"(16I5)", "(7I5)", "(2I9)", "(5I7)"};
    try {
        in.read(integer_formats[size % 4], recio::array(a, 16));
        in.read("(9F12.3)", recio::array(r, 9));
        in.read("(A8,3X,5F10.5,3I5)", name, recio::array(r, 5), recio::array(a, 3));
        in.read("(1X,2X,I4,14X,F5.0,10X,F12.4,3X,F12.4)", a[0], r[0], r[1], r[2]);
        in.read("(/,9X,I5,/,14X,I3,/,20X,2F12.4)", b[0], a[1], r[3], r[4]);
        in.read("(26F8.3)", recio::array(r, 9));
        in.read("(E9.3,G12.4,D10.2,F8.0)", r[0], r[1], d[0], d[1]);
        in.read("(A)", text);
        in.read_list(r[0], b[0], d[2], name);
        in.read_list(recio::array(r, 3));
        // What is left, as a survey is read: three numbers a record to the end.
        for (int n = 0; n < 10000 && in.read_list(r[0], r[1], r[2]); ++n) {
        }
    } catch (const recio::RecordError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("RECORDS.DAT", data, size);
    recio::RecordReader in("RECORDS.DAT");
    formatted_and_list_reads(in, size);
    in.rewind();
    in.require_whole_fields();
    formatted_and_list_reads(in, size);
    return 0;
}
