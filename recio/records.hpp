// Formatted records in text files: sequential reading and writing by record.
//
//   recio::RecordReader in("DUMP.INI");
//   in.need("(16I5)", nweeks, ndays);          // RecordError at end of file
//   while (in.read_list(x, y, z)) ...           // false at end of file
//
//   recio::RecordWriter out("SITE.IN", recio::RecordWriter::Mode::Atomic);
//   out.write("(1X,'AREA IS ',I5)", total);
//   out.close();                                // renames into place
//
// Lines may end with LF or CR LF; a DOS end-of-file mark (Ctrl-Z) ends a file;
// a UTF-8 byte-order mark at the start of a file is skipped.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "recio/format.hpp"

namespace recio {

class RecordReader : public RecordSource {
  public:
    // The longest record taken: a longer one (a file that is not text) is a
    // RecordError rather than a read without end.
    static constexpr std::size_t MAX_RECORD = 1 << 20;

    RecordReader() = default;
    explicit RecordReader(const std::string& path) { open(path); }
    ~RecordReader() override { close(); }
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // False if there is no file of that name. Anything else in its place (a
    // directory, a pipe, a device) is a RecordError naming it: it is never
    // opened for reading, so a pipe cannot hold the program.
    bool open(const std::string& path);
    bool is_open() const { return file_ != nullptr; }
    void close();
    void rewind();

    bool next_record(std::string& record) override;
    const std::string& source_name() const override { return name_; }
    long record_number() const override { return record_; }
    // The text of the record last read (empty before the first).
    const std::string& last_record() const { return last_; }

    // Skips n records; false if the file ends first.
    bool skip(long n = 1);

    // From now on a numeric field that runs past the end of its record is a
    // RecordError (a record cut short), not blanks. For files whose writer
    // fills every field it writes.
    void require_whole_fields(bool on = true) { whole_fields_ = on; }
    bool whole_fields() const override { return whole_fields_; }
    bool refuses_tabs() const override { return true; }

    // Formatted read of the next record(s); false at the end of the file.
    template <class... T>
    bool read(std::string_view format, T&&... items) {
        const InItem list[] = {InItem{}, to_in(items)...};
        return read_items(format, *this, list + 1, sizeof...(T));
    }
    // As read, but the end of the file is an error.
    template <class... T>
    void need(std::string_view format, T&&... items) {
        if (!read(format, std::forward<T>(items)...)) throw_end();
    }
    // List-directed read; false at the end of the file.
    template <class... T>
    bool read_list(T&&... items) {
        const InItem list[] = {InItem{}, to_in(items)...};
        return recio::read_list(*this, list + 1, sizeof...(T));
    }
    template <class... T>
    void need_list(T&&... items) {
        if (!read_list(std::forward<T>(items)...)) throw_end();
    }

  private:
    [[noreturn]] void throw_end() const;

    std::FILE* file_ = nullptr;
    std::string name_;
    long record_ = 0;
    std::string last_;
    bool at_end_ = false;
    bool whole_fields_ = false;
};

// True if a name read from a text field that ends at column `last` (1-based)
// runs on past it: the record is not blank in that column nor in the next.
// Fixed-column reading would cut such a name short without a word.
bool runs_past(std::string_view record, std::size_t last);

class RecordWriter {
  public:
    // Replace: create or overwrite. Append: add to the end. Atomic: write a
    // temporary file in the same folder and rename it into place on close(),
    // so that a run that dies while writing leaves the old file intact.
    // Staged: write the given path (a FileSet's temporary) and sync it on
    // close(); the set renames it into place.
    enum class Mode { Replace, Append, Atomic, Staged };

    RecordWriter() = default;
    explicit RecordWriter(const std::string& path, Mode mode = Mode::Replace) { open(path, mode); }
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    bool open(const std::string& path, Mode mode = Mode::Replace);
    bool is_open() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }

    template <class... A>
    void write(std::string_view format, const A&... args) {
        for (const std::string& r : format_records(format, args...)) record(r);
    }
    template <class... A>
    void list(const A&... args) {
        record(list_line(args...));
    }
    void record(std::string_view text);
    // Flushes and closes (renaming an atomic file into place once its data
    // are on the disk); false if any write failed, in which case an atomic
    // target is left untouched.
    bool close();
    // Why the last open or close failed, as the system says it ("" if it did
    // not), e.g. "IS A DIRECTORY", "NO SPACE LEFT ON DEVICE".
    const std::string& failure() const { return failure_; }
    // Closes and throws away what was written (an atomic target stays as it was).
    void abandon();

  private:
    std::FILE* file_ = nullptr;
    std::string path_, temp_path_;
    Mode mode_ = Mode::Replace;
    bool failed_ = false;
    std::string failure_;
    void fail();  // notes errno as the failure
};

// The system's text for errno, in upper case ("NO SPACE LEFT ON DEVICE").
std::string system_error_text(int error);
// Why a path cannot be read as a file ("" if it is a regular file or does not
// exist): "FILE X IS A DIRECTORY, NOT A FILE", "FILE X IS NOT A REGULAR FILE
// (A PIPE, A SOCKET OR A DEVICE)".
std::string not_a_file(const std::string& path);

}  // namespace recio
