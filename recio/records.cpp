#include "recio/records.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace recio {

// ---------------------------------------------------------------- reader

bool RecordReader::open(const std::string& path) {
    close();
    name_ = path;
    record_ = 0;
    last_.clear();
    at_end_ = false;
    file_ = std::fopen(path.c_str(), "rb");
    return file_ != nullptr;
}

void RecordReader::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void RecordReader::rewind() {
    if (file_) std::rewind(file_);
    record_ = 0;
    last_.clear();
    at_end_ = false;
}

bool RecordReader::next_record(std::string& record) {
    record.clear();
    if (!file_ || at_end_) return false;
    // A file without line ends (a binary file, a device that never ends) is
    // refused at the record limit instead of filling the memory.
    bool any = false;
    for (int c; (c = getc_unlocked(file_)) != EOF;) {
        any = true;
        if (c == '\n') break;
        record.push_back(static_cast<char>(c));
        if (record.size() > MAX_RECORD)
            throw RecordError("RECORD " + std::to_string(record_ + 1) + " OF FILE " + name_ +
                              " IS LONGER THAN " + std::to_string(MAX_RECORD) +
                              " CHARACTERS: IT IS NOT A FILE OF TEXT RECORDS");
    }
    if (!any) {
        at_end_ = true;
        return false;
    }
    if (!record.empty() && record.back() == '\r') record.pop_back();
    if (record == "\x1a") {  // DOS end-of-file mark
        at_end_ = true;
        record.clear();
        return false;
    }
    ++record_;
    last_ = record;
    return true;
}

bool runs_past(std::string_view record, std::size_t last) {
    return last >= 1 && record.size() > last && record[last - 1] != ' ' && record[last] != ' ';
}

bool RecordReader::skip(long n) {
    std::string dummy;
    for (long i = 0; i < n; ++i)
        if (!next_record(dummy)) return false;
    return true;
}

void RecordReader::throw_end() const {
    throw RecordError("UNEXPECTED END OF FILE " + name_ + " AFTER RECORD " +
                      std::to_string(record_));
}

// ---------------------------------------------------------------- writer

RecordWriter::~RecordWriter() {
    if (file_) {
        if (mode_ == Mode::Atomic)
            abandon();
        else
            close();
    }
}

bool RecordWriter::open(const std::string& path, Mode mode) {
    if (file_) close();
    path_ = path;
    mode_ = mode;
    failed_ = false;
    const char* how = mode == Mode::Append ? "ab" : "wb";
    if (mode == Mode::Atomic) {
        temp_path_ = path + ".tmp" + std::to_string(::getpid());
        file_ = std::fopen(temp_path_.c_str(), how);
    } else {
        file_ = std::fopen(path.c_str(), how);
    }
    return file_ != nullptr;
}

void RecordWriter::record(std::string_view text) {
    if (!file_) {
        failed_ = true;
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() ||
        std::fputc('\n', file_) == EOF)
        failed_ = true;
}

bool RecordWriter::close() {
    if (!file_) return !failed_;
    if (std::fflush(file_) != 0) failed_ = true;
    // The new file's data reach the disk before it takes the old one's name,
    // so that even a machine that stops leaves one whole file or the other.
    if (mode_ == Mode::Atomic && !failed_ && ::fsync(::fileno(file_)) != 0) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    if (mode_ == Mode::Atomic) {
        if (failed_ || std::rename(temp_path_.c_str(), path_.c_str()) != 0) {
            std::remove(temp_path_.c_str());
            failed_ = true;
        }
    }
    return !failed_;
}

void RecordWriter::abandon() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    if (mode_ == Mode::Atomic) std::remove(temp_path_.c_str());
}

}  // namespace recio
