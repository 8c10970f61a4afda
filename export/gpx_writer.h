// The GPX 1.1 output: one track named by the track title, one segment per
// input that contributes points, one track point per saved point, streamed.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "runtime/text_stream.h"
#include "tracklog/track_log.h"

namespace pathmend {

// The date text of the last day written: consecutive points mostly share
// their day, so the calendar split is done once a day.
struct GpxDateCache {
  std::uint64_t day = ~0ULL;    // days since 1601-01-01; none yet
  std::array<char, 10> text{};  // "YYYY-MM-DD"
};

struct GpxFile {
  TextStream stream;
  GpxDateCache dates;
  std::int32_t segmentInput = 0;  // the input whose <trkseg> is open; 0: none is open
  std::int64_t leftOut = 0;       // saved points whose latitude is above 90 degrees
};

// Creates the file and writes the document's start, the track's name (the
// title of `header`, the first input's, escaped and in UTF-8) and its type
// (the name of the header's track type in UTF-8; none for a type outside the
// table). The title's date is converted after the file was created, as for
// KML: an invalid start time fails and leaves the file empty.
void OpenGpx(GpxFile& gpx, const std::string& fileName, const TrackHeader& header);

// One <trkpt> line; `input` counts the inputs from 1, and the first point
// of each input opens a new segment. A point whose latitude is above 90
// degrees is counted and left out: GPX cannot hold it.
void WriteGpxPoint(GpxFile& gpx, const TrackPoint& point, std::int32_t input);

// Says on the console how many points were left out (when any), writes the
// closing text and closes the file.
void CloseGpx(GpxFile& gpx);

// The pieces of a track point, exposed for the unit tests.
//
// A stored latitude count (1/1048576 degree) that GPX can hold: at most 90
// degrees.
bool GpxLatitudeValid(std::uint32_t lat);
// A stored longitude count as a signed count in [-180, 180) degrees: reduced
// modulo 360 degrees, and 180 degrees or more written as the same direction
// west of Greenwich (minus 360).
std::int64_t GpxLongitudeCount(std::uint32_t lon);
// Degrees of a signed count with exactly 7 decimals, rounded half away from
// zero from the exact value count / 1048576 (integer arithmetic, so exact):
// the text is within 0.5e-7 degree of the stored value, and reading it back
// and multiplying by 1048576 gives the count after rounding (one count is
// 9.5e-7 degree).
void AppendDegrees(std::string& text, std::int64_t count);
// The UTC time of a FILETIME in ISO 8601, "2006-01-15T13:45:30Z", with
// ".mmm" before the Z when the milliseconds are not zero (the part below a
// millisecond is dropped). Returns false and appends nothing for a count of
// 0 and for a time beyond 9999-12-31.
bool AppendUtcTime(std::string& text, std::uint64_t fileTime);

}  // namespace pathmend
