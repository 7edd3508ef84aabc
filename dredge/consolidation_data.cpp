// The consolidation data files PCDDF2.DAT .. PCDDF4.DAT.
#include <string>

#include "dredge/consolidation.hpp"
#include "dredge/errors.hpp"
#include "recio/records.hpp"

namespace dredge {

std::string consolidation_data_file(std::int32_t ised) {
    if (ised == 3) return "PCDDF3.DAT";
    if (ised == 4) return "PCDDF4.DAT";
    return "PCDDF2.DAT";
}

void read_consolidation_data(const std::string& path, Column& c) {
    recio::RecordReader in(path);
    if (!in.is_open()) throw RunError("COULD NOT OPEN THE CONSOLIDATION DATA FILE " + path);
    in.rewind();
    std::int32_t npts = 0;
    try {
        in.need_list(c.data_flag, c.gs, npts, c.e00, c.gw, c.nel);
        if (npts < 2 || npts > kMaxTableRows)
            throw RunError(path + ": THE TABLE MUST HAVE 2 TO 201 ROWS, NOT " +
                           std::to_string(npts));
        if (c.nel < 1 || c.nel > kMaxNodes - 1)
            throw RunError(path + ": NEL MUST BE 1 TO 100, NOT " + std::to_string(c.nel));
        c.table.resize(npts);
        for (std::size_t r = 0; r < static_cast<std::size_t>(npts); ++r)
            in.need_list(c.table.e[r], c.table.sigma[r], c.table.k[r]);
        in.need_list(c.ef, c.f_thickness, c.f_perm);
    } catch (const recio::RecordError& e) {
        throw RunError(std::string("CONSOLIDATION DATA FILE: ") + e.what());
    }
    for (std::size_t r = 0; r < static_cast<std::size_t>(npts); ++r) {
        // Row r + 1 of the table is record r + 2 of the file.
        const std::string row = path + ", RECORD " + std::to_string(r + 2) + " (TABLE ROW " +
                                std::to_string(r + 1) + ")";
        if (!(c.table.e[r] >= 0.0f) || !(c.table.sigma[r] >= 0.0f) || !(c.table.k[r] >= 0.0f))
            throw RunError(row + ": THE VOID RATIO " + number_text(c.table.e[r]) +
                           ", THE EFFECTIVE STRESS " + number_text(c.table.sigma[r]) +
                           " AND THE PERMEABILITY " + number_text(c.table.k[r]) +
                           " MUST NOT BE NEGATIVE");
        if (r > 0 &&
            (!(c.table.e[r] < c.table.e[r - 1]) || !(c.table.sigma[r] > c.table.sigma[r - 1])))
            throw RunError(
                path + ": TABLE ROW " + std::to_string(r + 1) +
                " MUST HAVE A LOWER VOID RATIO AND A HIGHER EFFECTIVE STRESS THAN THE ROW BEFORE");
    }
    if (!(c.table.k[0] > 0.0f))
        throw RunError(path + ": THE PERMEABILITY OF THE FIRST TABLE ROW MUST BE POSITIVE");
    if (!(c.gw > 0.0f) || !(c.gs > 1.0f) || !(c.e00 > 0.0f))
        throw RunError(path +
                       ": GS MUST EXCEED 1, THE UNIT WEIGHT OF WATER AND E00 MUST BE POSITIVE");
    if (!(c.ef > -1.0f)) throw RunError(path + ": THE FOUNDATION VOID RATIO MUST EXCEED -1");
}

}  // namespace dredge
