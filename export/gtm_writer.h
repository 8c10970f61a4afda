// The GPS TrackMaker text output: a preamble naming the format and the WGS 84
// datum, one line per saved point, and a trailer naming the track.
#pragma once

#include <string>

#include "runtime/text_stream.h"
#include "tracklog/track_log.h"

namespace pathmend {

// Creates the file `fileName` (the output argument with the extension .txt) and writes
// the preamble.
void OpenGtm(TextStream& stream, const std::string& fileName);

// "t,d,lat,lon,MM/DD/YY,HH:NN:SS,alt,0" with the point's local time.
void WriteGtmPoint(TextStream& stream, const TrackPoint& point);

// Writes the trailer with the title of `header`, the last input's header, and
// closes the file. An invalid start time fails before the trailer.
void CloseGtm(TextStream& stream, const TrackHeader& header);

}  // namespace pathmend
