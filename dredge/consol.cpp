// CONSOL: consolidation of the mound under its centroid.
#include <algorithm>
#include <cmath>

#include "dredge/consolidation.hpp"
#include "dredge/numeric.hpp"
#include "recio/records.hpp"

namespace dredge {

namespace {

// Appends a warning to the consolidation diagnostics file.
void warn(const ConsolState& state, int blank_lines, const char* text, std::int32_t n) {
    recio::RecordWriter out(state.diagnostics_path, recio::RecordWriter::Mode::Append);
    if (!out.is_open()) return;
    for (int k = 0; k < blank_lines; ++k) out.record("");
    out.write("(2X,A)", std::string(text));
    out.write("(2X,'AT STEP N =',I7,',',F11.3,' DAYS OF CONSOLIDATION')", n, state.column.time);
    out.close();
}

}  // namespace

bool CONSOL(Fields& f, ConsolState& state, float xref, float yref, float xc, float yc,
            std::int32_t n, std::int32_t t, std::int32_t n0) {
    // The cell of the centroid (held to the grid), and the mound there.
    const int ic = held_trunc((xc + xref) / f.dx, 1, f.nx);
    const int jc = held_trunc((yc + yref) / f.dy, 1, f.ny);
    const float base = f.depth(1, 1);
    const float height = base - f.depth(ic, jc);
    if (height < 2.0f) return false;

    const float target = static_cast<float>(t - 3 * (n0 - 1)) / 24.0f;  // days since the run began
    Column& c = state.column;
    if (!state.initialised) {
        // The first consolidating step of the run makes a new column.
        c = Column{};
        read_consolidation_data(consolidation_data_file(state.ised), c);
        c.h = height;
        c.sett = 0.0f;
        c.desiccation = 0.0f;
        c.time = 0.0f;
        c.step = 1;
        SETUP1(c);
        check_time_step(c, consolidation_data_file(state.ised));
        state.rprev = 0.0f;
        state.initialised = true;
    } else {
        DATAIN(c, state.store_path);
    }

    const FdifeqWarnings w = FDIFEQ(c, target);
    if (w.stability) warn(state, 5, "STABILITY ERROR--DREDGED FILL--PROBLEM", n);
    if (w.tau) warn(state, 4, "POSSIBLE STABILITY PROBLEM--DECREASE TAU", n);
    STRESS(c);
    SAVEDAT(c, state.store_path);
    state.sett = c.sett;

    // Lower the mound with the column: the compression since the last step,
    // as a fraction of the height left after it.
    const float thickness = c.xi[static_cast<std::size_t>(c.nodes - 1)] + c.desiccation;
    const float r = 1.0f - thickness / c.h;
    float fraction = 0.0f;
    if (r > state.rprev && state.rprev < 1.0f) fraction = (r - state.rprev) / (1.0f - state.rprev);
    state.rprev = r;
    if (fraction > 0.0f)
        for (float& d : f.depth.v) {
            const float lowered = d + (base - d) * fraction;
            state.lowered += static_cast<double>(lowered) - static_cast<double>(d);
            d = lowered;
        }
    return true;
}

}  // namespace dredge
