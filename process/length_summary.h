// The measured length of the saved track, the merge summary and the repair
// of the output header.
#pragma once

#include "geo/distance.h"
#include "process/run_totals.h"
#include "tracklog/track_log.h"

namespace pathmend {

// The sines and cosines of the last saved point, kept so that each point's
// trigonometry is computed once: as point 1 of its own leg and point 2 of
// the next.
struct LegCache {
  PositionTrig savedTrig{};
};

// Adds the leg from the current point to the previous saved point to the
// measured length, unless the previous saved point is empty (latitude 0).
// Call it before the saved point is replaced; afterwards the cache holds the
// current point's sines and cosines.
void AddLeg(RunTotals& totals, const TrackPoint& current, const TrackPoint& saved, LegCache& cache);

// Adds an input header's announced point count and length to the totals. The
// length is added in extended and stored as a double; a signalling NaN, a sum
// of opposite infinities or a sum beyond the double range fails.
void AddAnnounced(RunTotals& totals, const TrackHeader& header);

// When points were dropped or inputs joined: prints the summary and, for a
// track log output, writes the true point count and measured length into the
// output's header. `output` is null for an export.
void SummaryAndRepair(const RunTotals& totals, TrackFile* output);

}  // namespace pathmend
