// The block of console lines that shows an input's header fields and the
// changes the options will make, printed right after the header is read.
#pragma once

#include <cstdint>
#include <string>

#include "app/run_options.h"
#include "tracklog/track_log.h"

namespace pathmend {

// Writes the report lines of one input. A failure inside (an invalid start
// time, a signalling NaN length) raises as usual; the run driver runs this
// under a guard that ends the block silently. Each line is one statement, so
// text of an interrupted line stays in the console buffer.
void ReportTrack(const std::string& argument, std::int32_t filesRead, const TrackHeader& header,
                 const RunOptions& options);

}  // namespace pathmend
