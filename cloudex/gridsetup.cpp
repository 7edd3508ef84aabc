#include "cloudex/gridsetup.hpp"

#include <algorithm>

#include "cloudex/listing.hpp"

namespace cloudex {

void assign_codes(Grid& g) {
    g.code.fill(kDummy);
    g.nwater = 0;
    for (int m = 1; m <= g.mmax; ++m)
        for (int n = 1; n <= g.nmax; ++n) {
            std::int16_t c;
            if (n == 1 || n == g.nmax || m == 1 || m == g.mmax)
                c = kDummy;
            else if (g.depth(n, m) == 0.0f)
                c = kLand;
            else if (n == 2 || n == g.nmax - 1 || m == 2 || m == g.mmax - 1)
                c = kOpen;
            else
                c = kWater;
            g.code(n, m) = c;
            if (c == kWater) ++g.nwater;
        }
}

void build_runs(Grid& g) {
    g.runs.clear();
    for (int n = 2; n <= g.nmax - 1; ++n) {
        int m = 2;
        while (m <= g.mmax - 1) {
            const auto wet = [&](int mm) {
                const std::int16_t c = g.code(n, mm);
                return c == kWater || c == kOpen;
            };
            if (!wet(m)) {
                ++m;
                continue;
            }
            const int m1 = m;
            while (m + 1 <= g.mmax - 1 && wet(m + 1)) ++m;
            if (static_cast<int>(g.runs.size()) >= kMaxRuns)
                throw Stop({"ARRAYS IN COMMON BLOCK /GUIDE2/ FILLED...CALL EXIT...",
                            "USER SHOULD INCREASE DIMENSIONS AND CHANGE CHECK STATEMENT."});
            g.runs.push_back({static_cast<std::int16_t>(n), static_cast<std::int16_t>(m1),
                              static_cast<std::int16_t>(m)});
            ++m;
        }
    }
}

void locate_dump(Grid& g) {
    g.dump_row =
        static_cast<std::int16_t>(std::clamp(trunc_index(g.xbarge / g.dx + 1.5f), -32768, 32767));
    g.dump_col =
        static_cast<std::int16_t>(std::clamp(trunc_index(g.zbarge / g.dz + 1.5f), -32768, 32767));
}

void mark_interior_land(Grid& g) {
    const CodeGrid before = g.code;
    for (int m = 2; m <= g.mmax - 1; ++m)
        for (int n = 2; n <= g.nmax - 1; ++n)
            if (before(n, m) == kLand && before(n - 1, m) == kLand && before(n + 1, m) == kLand &&
                before(n, m - 1) == kLand && before(n, m + 1) == kLand)
                g.code(n, m) = kInteriorLand;
}

char code_letter(std::int16_t code) {
    switch (code) {
        case kWater:
            return 'W';
        case kLand:
        case kInteriorLand:
            return 'L';
        case kOpen:
            return 'O';
        default:
            return 'X';
    }
}

}  // namespace cloudex
