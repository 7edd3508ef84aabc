// The printed listing CLDX.DUO and the orderly stop of a run.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "recio/records.hpp"

namespace cloudex {

// The listing: records under format texts; a new page is a form-feed
// character written as data on a record of its own.
class Listing {
  public:
    Listing() = default;
    bool open(const std::string& path) { return out_.open(path); }
    bool is_open() const { return out_.is_open(); }
    bool close() { return out_.close(); }
    const std::string& path() const { return out_.path(); }
    const std::string& failure() const { return out_.failure(); }

    template <class... A>
    void write(std::string_view format, const A&... args) {
        if (out_.is_open()) out_.write(format, args...);
    }
    void line(std::string_view text) {
        if (out_.is_open()) out_.record(std::string(" ") + std::string(text));
    }
    void page() {
        if (out_.is_open()) out_.record("\f");
    }
    void blank(int n = 1) {
        for (int i = 0; i < n; ++i)
            if (out_.is_open()) out_.record("");
    }

  private:
    recio::RecordWriter out_;
};

// Ends the run at once: the message lines are written to the listing
// (followed by a form feed when asked) and the files are closed as they stand.
class Stop : public std::exception {
  public:
    explicit Stop(std::vector<std::string> lines, bool form_feed = true)
        : lines_(std::move(lines)), form_feed_(form_feed) {}
    const char* what() const noexcept override {
        return lines_.empty() ? "RUN STOPPED" : lines_.front().c_str();
    }
    const std::vector<std::string>& lines() const { return lines_; }
    bool form_feed() const { return form_feed_; }

  private:
    std::vector<std::string> lines_;
    bool form_feed_;
};

}  // namespace cloudex
