#include "recio/records.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace recio {

// ---------------------------------------------------------------- reader

std::string system_error_text(int error) {
    std::string text = std::strerror(error);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

namespace {

std::string kind_fault(const std::string& path, mode_t mode) {
    if (S_ISREG(mode)) return "";
    if (S_ISDIR(mode)) return "FILE " + path + " IS A DIRECTORY, NOT A FILE";
    return "FILE " + path + " IS NOT A REGULAR FILE (A PIPE, A SOCKET OR A DEVICE)";
}

}  // namespace

std::string not_a_file(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "";
    return kind_fault(path, st.st_mode);
}

bool RecordReader::open(const std::string& path) {
    close();
    name_ = path;
    record_ = 0;
    last_.clear();
    at_end_ = false;
    // Opened without waiting (a pipe's open waits for a writer), then checked.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const std::string fault = not_a_file(path);
        if (!fault.empty()) throw RecordError(fault);
        return false;
    }
    struct stat st {};
    const std::string fault =
        ::fstat(fd, &st) != 0 ? "FILE " + path + " CANNOT BE READ" : kind_fault(path, st.st_mode);
    if (!fault.empty()) {
        ::close(fd);
        throw RecordError(fault);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file_ = ::fdopen(fd, "rb");
    if (!file_) ::close(fd);
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
    if (record_ == 0 && record.compare(0, 3, "\xEF\xBB\xBF") == 0) record.erase(0, 3);
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
    throw_end_of_file(*this);
}

// ---------------------------------------------------------------- writer

RecordWriter::~RecordWriter() {
    if (file_) {
        if (mode_ == Mode::Atomic || mode_ == Mode::Staged)
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
    failure_.clear();
    const char* how = mode == Mode::Append ? "ab" : "wb";
    if (mode == Mode::Atomic) {
        // A directory in the target's place would only show at the rename.
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            failure_ = "IS A DIRECTORY";
            failed_ = true;
            return false;
        }
        temp_path_ = path + ".tmp" + std::to_string(::getpid());
        file_ = std::fopen(temp_path_.c_str(), how);
    } else {
        file_ = std::fopen(path.c_str(), how);
    }
    if (!file_) fail();
    return file_ != nullptr;
}

void RecordWriter::fail() {
    if (failure_.empty()) failure_ = system_error_text(errno);
    failed_ = true;
}

void RecordWriter::record(std::string_view text) {
    if (!file_) {
        failed_ = true;
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() ||
        std::fputc('\n', file_) == EOF)
        fail();
}

bool RecordWriter::close() {
    if (!file_) return !failed_;
    if (std::fflush(file_) != 0) fail();
    // The new file's data reach the disk before it takes the old one's name,
    // so that even a machine that stops leaves one whole file or the other.
    if ((mode_ == Mode::Atomic || mode_ == Mode::Staged) && !failed_ &&
        ::fsync(::fileno(file_)) != 0)
        fail();
    if (std::fclose(file_) != 0) fail();
    file_ = nullptr;
    if (mode_ == Mode::Atomic) {
        if (failed_ || std::rename(temp_path_.c_str(), path_.c_str()) != 0) {
            if (!failed_) fail();
            std::remove(temp_path_.c_str());
        }
    }
    return !failed_;
}

void RecordWriter::abandon() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    if (mode_ == Mode::Atomic) std::remove(temp_path_.c_str());
    if (mode_ == Mode::Staged) std::remove(path_.c_str());
}

}  // namespace recio
