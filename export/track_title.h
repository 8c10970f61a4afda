// The name under which an export shows a track.
#pragma once

#include <string>

#include "tracklog/track_log.h"

namespace pathmend {

// The header's name, " (", the default text of its start time (no time-zone
// change), ") - Powered by Tollen". Fails like the start time's conversion.
std::string TrackTitle(const TrackHeader& header);

}  // namespace pathmend
