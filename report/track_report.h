// The block of console lines that shows an input's header fields and the
// changes the options will make, printed right after the header is read.
#pragma once

#include <cstdint>
#include <string>

#include "tracklog/track_log.h"

namespace pathmend {

// The changes the command line asks for, as the report shows them: the new
// name and type and the cut of the first input. -1 means "not given".
struct ReportedChanges {
  bool renamed = false;
  std::string newName;
  std::int32_t newType = -1;
  std::int32_t first = -1;
  std::int32_t last = -1;
};

// Writes the report lines of one input. A failure inside (an invalid start
// time, a signalling NaN length) raises as usual; the run driver runs this
// under a guard that ends the block silently. Each line is one statement, so
// text of an interrupted line stays in the console buffer.
void ReportTrack(const std::string& argument, std::int32_t filesRead, const TrackHeader& header,
                 const ReportedChanges& changes);

}  // namespace pathmend
