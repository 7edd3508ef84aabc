// Run-time interpreter of Fortran-style format texts.
//
// A record layout is kept as its format text, e.g.
//   "(1X,2X,I4,14X,F5.0,10X,F12.4,3X,F12.4)"
// and the interpreter reads or writes the fields of a list of items under it:
// I, F, E, D, G and A editing, nX, Tn, TLn, TRn, '/', ':', quoted literals and
// nH Hollerith texts, repeat counts, nested groups, and format reversion (when
// items remain at the closing parenthesis, a new record starts and the format
// resumes at the last top-level group, or at its beginning if it has none).
// Blanks outside literals are ignored, so a format with a repeat count
// written into blanks at run time ("(1X,  5(F5.1,'|'))") is valid.
#pragma once

#include <cmath>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "recio/items.hpp"

namespace recio {

// Text from a file as quoted in a message: control characters (a NUL, an
// escape from a damaged file) are shown as '?', so that the message keeps its
// whole length and cannot move the console's cursor.
std::string printable(std::string text);

// A format text that cannot be interpreted, or items that do not match it:
// a fault of the program, not of its input.
class FormatError : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// A record that cannot be read: names the file, the record and the field.
class RecordError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Op {
    enum Code { Begin, End, Data, Literal, Slash, Skip, TabTo, TabLeft, TabRight, Colon };
    Code code = Literal;
    char edit = 0;  // Data: I F E D G A
    int rep = 1;    // Begin: group repeats; Data: descriptor repeats; Slash: records
    int w = -1;     // field width (-1: none given); Skip/Tab: columns
    int d = -1;     // decimals
    int e = 0;      // exponent digits (0: not given)
    int m = -1;     // minimum digits of Iw.m
    std::string text;
};

struct Program {
    std::vector<Op> ops;
    std::size_t reversion = 0;  // where a reverted format resumes
};

// Compiles a format text (results are kept, so repeated use costs a lookup).
const Program& compile(std::string_view format);

// Writes the items under the format; returns the records produced.
std::vector<std::string> write_items(std::string_view format, const OutItem* items, std::size_t n);

template <class... A>
std::vector<std::string> format_records(std::string_view format, const A&... args) {
    const OutItem items[] = {OutItem{}, to_out(args)...};
    return write_items(format, items + 1, sizeof...(A));
}

// True if the value written under a format of one numeric field comes out
// whole: not as asterisks (too wide for its field) and, for a real, as a
// finite number that a reader can take back. Checked before a file is
// written, so that a value its layout cannot carry is refused, not stored.
template <class T>
bool fits_field(std::string_view format, T value) {
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(value)) return false;
    for (const std::string& r : format_records(format, value))
        if (r.find('*') != std::string::npos) return false;
    return true;
}

// A list-directed (free-format) output record: a leading blank, then the values.
std::string list_record(const OutItem* items, std::size_t n);

template <class... A>
std::string list_line(const A&... args) {
    const OutItem items[] = {OutItem{}, to_out(args)...};
    return list_record(items + 1, sizeof...(A));
}

// Where formatted and list-directed reads take their records from.
class RecordSource {
  public:
    virtual ~RecordSource() = default;
    // The next record, without its line end; false at the end of the file.
    virtual bool next_record(std::string& record) = 0;
    virtual const std::string& source_name() const = 0;
    // Number of the record last returned (1 for the first record).
    virtual long record_number() const = 0;
    // False (the rule of formatted input): a record shorter than its layout
    // reads as if padded with blanks. True: a numeric field that runs past the
    // end of its record is an error, the record having been cut short. Files
    // whose writer always fills every field (the site grid and summary files)
    // are read this way, so that a truncated file is not read as zeros.
    virtual bool whole_fields() const { return false; }
    // True for files of fixed-column records: a tab in a record read with a
    // format would shift every column after it, so such a record is refused
    // (list-directed reading takes a tab as a separator).
    virtual bool refuses_tabs() const { return false; }
};

// Reads the items under the format, starting with the next record of the
// source. Returns false when the source is at its end before the first record
// (nothing read). Throws RecordError for an unreadable field, a field cut
// short (sources with whole_fields()), or an end of file met after the first
// record.
bool read_items(std::string_view format, RecordSource& source, const InItem* items, std::size_t n);

// The end of a source met where a record is needed: a RecordError
// "UNEXPECTED END OF FILE <name> AFTER RECORD <n>".
[[noreturn]] void throw_end_of_file(const RecordSource& source);

// Formatted read of the next record(s) of any source: false at its end
// (read_from) or the end as an error (need_from), as RecordReader's read
// and need are for a file.
template <class... T>
bool read_from(RecordSource& source, std::string_view format, T&&... items) {
    const InItem list[] = {InItem{}, to_in(items)...};
    return read_items(format, source, list + 1, sizeof...(T));
}
template <class... T>
void need_from(RecordSource& source, std::string_view format, T&&... items) {
    if (!read_from(source, format, std::forward<T>(items)...)) throw_end_of_file(source);
}

// List-directed read: values separated by blanks or commas, across as many
// records as needed; "r*value" repeats, an empty value between commas leaves
// its item unchanged, a slash ends the read leaving the rest unchanged.
// Blank records are passed over. Returns false when the file ends before the
// first value (so blank records at the end of a file end it cleanly); an end
// of file after some values (a record cut short) throws RecordError.
bool read_list(RecordSource& source, const InItem* items, std::size_t n);

// Reads a number or a text from one list-directed token; false if it is not one.
bool parse_list_value(std::string_view token, const InItem& item, std::size_t index);

}  // namespace recio
