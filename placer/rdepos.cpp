// RDEPOS: the deposit of one fate run added to the site grid.
#include <cmath>
#include <vector>

#include "placer/fields.hpp"
#include "placer/kernels.hpp"
#include "recio/console.hpp"
#include "recio/records.hpp"
#include "suitefiles/deposit.hpp"

namespace placer {
namespace {

// Reads the thickness blocks of the deposit file into `work` (rows 1..R-4,
// columns 1..C-4), keeping the last block whose time does not exceed the
// duration. With several sediment fractions the file holds a block per
// fraction before the totals block, possibly at the same time; the totals
// block is written last, so the whole file is read. Throws RecordError for a
// record that cannot be read or a block cut short.
// Returns the record number of the time record of the block kept (0 when none).
long read_blocks(recio::RecordReader& in, WorkGrid& work, float duration, int rows, int cols) {
    const int nr = rows - 4, nc = cols - 4;
    suitefiles::DepositBlock block;
    long kept = 0;
    while (suitefiles::read_deposit_block(in, rows, cols, block)) {
        if (block.time > duration) continue;
        kept = block.time_record;
        for (int a = 1; a <= nr; ++a)
            for (int b = 1; b <= nc; ++b)
                work.at(a, b) = block.thickness[static_cast<std::size_t>((a - 1) * nc + (b - 1))];
    }
    return kept;
}

}  // namespace

std::int16_t RDEPOS(WorkGrid& work, float duration, float dump_e, float dump_n,
                    const SiteFrame& site, std::vector<float>& depth, std::int16_t rows,
                    std::int16_t cols, const std::string& dut_name) {
    work.clear();
    recio::RecordReader in(dut_name);
    bool readable = in.is_open();
    long block_record = 0;
    if (readable) {
        try {
            suitefiles::skip_deposit_header(in);
            block_record = read_blocks(in, work, duration, rows, cols);
        } catch (const recio::RecordError& e) {
            recio::console_list(e.what());
            readable = false;
        }
        in.close();
    } else {
        recio::console_list("COULD NOT OPEN", " " + dut_name);
    }
    if (!readable) {
        recio::console_list("THERE WERE PROBLEMS ACCESSING CLDX.DUT");
        return 1;
    }

    // Find the dump point again: the first grid point within 10 ft in both directions.
    const Scale sc = scale_of(site);
    const suitefiles::Rotation pf = point_frame(site);
    std::int32_t dump = 0;
    for (std::int32_t i = 1; i <= site.total_points && dump == 0; ++i) {
        suitefiles::Position p = point_position(site, pf, i);
        const float de = std::fabs(dump_e - p.e) * sc.lon_factor * sc.feet_per_unit;
        const float dn = std::fabs(dump_n - p.n) * sc.feet_per_unit;
        if (dn <= 10.0f && de <= 10.0f) dump = i;
    }
    if (dump == 0) {
        recio::console_list("COULD NOT RELOCATE DISPOSAL POINT(RDEPOS)");
        return 1;
    }

    // Thickness row a, column b lies at offsets m = a - (hr + 1), n = b - (hc + 1)
    // from the dump; nodes off the site or wrapped into a neighbouring row are dropped.
    const int hc = cols / 2 - 2, hr = rows / 2 - 2;
    const std::int32_t dump_row = row_of(dump, site.points_we);
    // First every new depth is checked against the grid files' field, so that
    // a deposit that would leave a depth no grid file can hold changes nothing.
    for (int pass = 0; pass < 2; ++pass) {
        int a = 0;
        for (int m = -hr; m <= hr; ++m) {
            ++a;
            int b = 0;
            for (int n = -hc; n <= hc; ++n) {
                ++b;
                const std::int32_t k = dump + n + m * site.points_we;
                if (k < 1 || k > site.total_points || row_of(k, site.points_we) != dump_row + m)
                    continue;
                float& d = depth[static_cast<std::size_t>(k - 1)];
                if (pass == 1) {
                    d -= work.at(a, b);
                } else if (!fits(d - work.at(a, b), DEPTH_FIELD)) {
                    // Row a of the block starts ceil((C - 4) / 21) records after the last.
                    const long per_row = (cols - 4 + 20) / 21;
                    const long record = block_record + 1 + (a - 1) * per_row + (b - 1) / 21;
                    recio::console_list(field_place("CLDX.DUT", record, (b - 1) % 21 + 1) +
                                        ": A DEPOSIT OF " + value_text(work.at(a, b)) +
                                        " FT WOULD TAKE THE DEPTH OF POINT " + std::to_string(k) +
                                        " BEYOND ITS FIELD (F8.3)");
                    recio::console_list("THERE WERE PROBLEMS ACCESSING CLDX.DUT");
                    return 1;
                }
            }
        }
    }
    return 0;
}

}  // namespace placer
