// Records held in memory, read through the format interpreter like a file:
// for tests, and for readers that pick records out of a file read forward
// once (the last grid of a series) or step back over records.
//
//   recio::HeldRecords in("PLOTBATH.DAT", text);   // a file's text
//   in.need("(20X,I10)", hours);
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "recio/format.hpp"

namespace recio {

class HeldRecords : public RecordSource {
  public:
    // `first_number` is the number the first record has in its file.
    HeldRecords(std::string name, std::vector<std::string> records, long first_number = 1)
        : name_(std::move(name)), records_(std::move(records)), first_(first_number) {}
    // The records of a text, split at its line ends (LF or CR LF); a last
    // record without a line end counts.
    HeldRecords(std::string name, std::string_view text) : name_(std::move(name)) {
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            if (end == std::string_view::npos) end = text.size();
            std::string_view r = text.substr(at, end - at);
            if (!r.empty() && r.back() == '\r') r.remove_suffix(1);
            records_.emplace_back(r);
            at = end + 1;
        }
    }

    bool next_record(std::string& record) override {
        if (next_ >= records_.size()) return false;
        record = records_[next_++];
        return true;
    }
    const std::string& source_name() const override { return name_; }
    long record_number() const override { return first_ + static_cast<long>(next_) - 1; }
    bool whole_fields() const override { return whole_fields_; }
    void require_whole_fields(bool on = true) { whole_fields_ = on; }

    bool at_end() const { return next_ >= records_.size(); }
    // The record the next read takes (at_end() must be false).
    const std::string& peek() const { return records_[next_]; }
    void skip(std::size_t n = 1) { next_ = std::min(records_.size(), next_ + n); }
    // Steps back over n records already read (to the first at most).
    void back(std::size_t n = 1) { next_ = n < next_ ? next_ - n : 0; }
    std::size_t size() const { return records_.size(); }

    template <class... T>
    bool read(std::string_view format, T&&... items) {
        const InItem list[] = {InItem{}, to_in(items)...};
        return read_items(format, *this, list + 1, sizeof...(T));
    }
    // As read, but running out of records is an error.
    template <class... T>
    void need(std::string_view format, T&&... items) {
        if (!read(format, std::forward<T>(items)...)) throw_end_of_file(*this);
    }

  private:
    std::string name_;
    std::vector<std::string> records_;
    long first_ = 1;
    std::size_t next_ = 0;
    bool whole_fields_ = false;
};

}  // namespace recio
