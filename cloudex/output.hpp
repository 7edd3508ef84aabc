// The deposit file CLDX.DUT and the bottom maps of the listing.
#pragma once

#include <string>
#include <vector>

#include "cloudex/listing.hpp"
#include "cloudex/state.hpp"
#include "recio/records.hpp"

namespace cloudex {

// The deposit file (layout in suitefiles/deposit.hpp). Records 1 to 3 are
// written when due; records 4 and 5 and the blocks are held until the run
// ends, so that record 4 counts the blocks that follow.
class DepositFile {
  public:
    bool open(const std::string& path) { return out_.open(path); }
    bool is_open() const { return out_.is_open(); }

    void header(const std::string& title);
    void grid_record(const Grid& g);
    // Contents of records 4 and 5; from now on blocks are collected.
    void summary(const std::vector<Fraction>& frac, float tstop);
    // A result block: the time record and the interior rows of `thick`.
    void block(const Grid& g, float time, const Field& thick);
    // Writes what is held (records 4, 5 and the blocks) and closes the file.
    bool finish();

    int blocks() const { return nblocks_; }
    const std::string& path() const { return out_.path(); }
    const std::string& failure() const { return out_.failure(); }

  private:
    recio::RecordWriter out_;
    bool summary_due_ = false;
    std::vector<std::string> names_;
    float tstop_ = 0;
    int nblocks_ = 0;
    std::vector<std::string> held_;
};

// Records of one result block (time record, then the rows).
std::vector<std::string> block_records(const Grid& g, float time, const Field& thick);

// Display scale of a map whose largest interior value is vmax.
float display_scale(float vmax);
// Four-character map cell of a scaled value.
std::string map_cell(float v);
// A bottom map: form feed, heading, scale line and pages of 30 columns.
void print_map(Listing& out, const Grid& g, const Field& f, const std::string& heading);

// Sum of a bottom grid over the points that receive deposits.
double grid_total(const Grid& g, const Field& f);

// Thickness of new material (ft) from a volume grid (cu ft per grid square)
// and a void ratio.
void thickness_grid(const Grid& g, const Field& volume, float voidr, Field& thick);

}  // namespace cloudex
