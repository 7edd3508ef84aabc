// Long-term transport-diffusion: the suspended solids of each fraction
// followed with the long-term time step until they settle or the
// simulation ends, with the printed summaries and the print times.
#pragma once

#include <vector>

#include "cloudex/state.hpp"

namespace cloudex {

struct Run;

// The four default print times when the deck gives none: with
// s = int((TSTOP/4)/DTL + 0.0001) (1 when DTL > TSTOP/4) and
// k = int(te/DTL + 0.0001), te the end of the last descent and collapse,
// time j = (j*s + k)*DTL for j = 1..4, the fourth cut to TSTOP.
std::vector<float> default_print_times(float tstop, float dtl, float te);

// Completes a print-time list: TSTOP appended when the last time lies
// below it, every time above TSTOP cut to TSTOP, and a time equal to its
// predecessor dropped.
void complete_print_times(std::vector<float>& t, float tstop);

// Totals of one long-term step.
struct StepTotals {
    double settled = 0;    // cu ft on the bottom grid
    double suspended = 0;  // cu ft in the small clouds (1.0E-7 after an early end at the boundary)
};

// One long-term step of fraction fi at time t (s): advances its small clouds
// by DTL (the first step only from te, the end of the last descent and
// collapse), deposits, prints the summary and, when `print` is set, the
// bottom map and the small-cloud table.
StepTotals long_term_step(Run& run, std::size_t fi, float t, float te, bool& first, bool& print);

// The long-term phase of fraction fi: its time loop with the print-time
// logic; returns the time at which the phase ended.
float long_term_fraction(Run& run, std::size_t fi, float te, bool first_fraction);

}  // namespace cloudex
