// The Google Earth KML output: one Placemark with one green LineString
// through the saved points, streamed point by point.
#pragma once

#include <string>

#include "runtime/text_stream.h"
#include "tracklog/track_log.h"

namespace pathmend {

// Creates the file `fileName` (the output argument with the extension .kml) and writes
// the prologue with the title of `header`, the first input's header. The
// title's date is converted after the file was created: an invalid start time
// fails and leaves the file empty.
void OpenKml(TextStream& stream, const std::string& fileName, const TrackHeader& header);

// "longitude,latitude,altitude": degrees with 15 decimals, metres with 1.
void WriteKmlPoint(TextStream& stream, const TrackPoint& point);

// Writes the epilogue and closes the file.
void CloseKml(TextStream& stream);

}  // namespace pathmend
