// The verbose trace of every point read: its number, whether and as which
// output point it was saved, its decoded values and the running length.
#pragma once

#include <cstdint>

#include "tracklog/track_log.h"

namespace pathmend {

// TAB "Point #" and the number, leaving the line open; on a terminal it shows
// at once, before the point is written to the output.
void TraceStart(std::int32_t pointNumber);

// " (Saved Point #n)" on the open line.
void TraceSaved(std::int32_t pointsSaved);

// Ends the open line, then the point's values, the running length in km and
// the separator, one line each.
void TraceFinish(const TrackPoint& point, double lengthMeasured);

}  // namespace pathmend
