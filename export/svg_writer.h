// The SVG picture of the saved points: the path in a local projection that
// keeps shapes true (longitude scaled by the cosine of the middle latitude),
// fitted into about 1000 pixels, with the start of every input and the end
// marked, a scale bar and a caption.
//
// One pass, memory flat in the number of points: the path is written as the
// points come, in whole counts relative to the first point (the longitude
// already scaled by the cosine of the first point's latitude), and the start
// of the document, which holds the picture's size and the transform that
// fits the path, is written into a reserved run of spaces at the end, when
// the extent is known. The file must therefore allow a seek back to its
// start (a pipe does not).
//
// Vertices closer than a fraction of a pixel to the line already drawn are
// dropped: every dropped point lies within 0.2 pixel of the drawn line
// (svg_writer.cpp says how this is ensured without knowing the final scale).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/extended.h"
#include "runtime/text_stream.h"
#include "tracklog/track_log.h"

namespace pathmend {

// A point of the path in the written units: x east and y south, in counts of
// 1/1048576 degree relative to the first point drawn, x scaled by the cosine
// of the first point's latitude.
struct SvgVertex {
  std::int64_t x = 0;
  std::int64_t y = 0;
};

// Drops vertices of a polyline that lie within a tolerance of the line drawn
// so far, in constant memory (the sleeve of Zhao and Saalfeld): from the last
// drawn vertex, the anchor, it keeps the wedge of directions whose ray passes
// within `tolerance` of every point skipped since, and the largest distance of
// a skipped point from the anchor. A new point continues the run when its
// direction lies in the wedge and it is not more than `tolerance` nearer to
// the anchor than the farthest skipped point; otherwise the previous point is
// drawn and becomes the anchor. Each skipped point is then within 2 x
// `tolerance` of the segment from the anchor to the next drawn vertex.
//
// Distances are measured after scaling x and y by factors fixed when the
// anchor is set; see SvgFile.
struct SleeveSimplifier {
  SvgVertex anchor;
  Extended xFactor = 1;
  Extended yFactor = 1;
  bool constrained = false;  // false: every direction is still allowed
  Extended reference = 0;    // the angle the wedge is measured from
  Extended low = 0;
  Extended high = 0;
  Extended farthest = 0;
  bool hasPending = false;
  SvgVertex pending;  // the newest point, not drawn yet
};

struct SvgFile {
  TextStream stream;
  std::string title;       // escaped, UTF-8
  std::int32_t input = 0;  // the input of the last point drawn; 0: none yet
  bool any = false;
  std::int64_t lat0 = 0;  // the first point drawn, counts (longitude signed)
  std::int64_t lon0 = 0;
  Extended xScale = 1;  // cosine of the first point's latitude
  SvgVertex low;        // the extent of the points drawn, written units
  SvgVertex high;
  std::int64_t minLat = 0;
  std::int64_t maxLat = 0;
  SleeveSimplifier sleeve;
  std::vector<SvgVertex> inputStarts;  // one per input that has points
  SvgVertex last;
  std::int64_t drawn = 0;     // points drawn (before dropping vertices)
  std::int64_t leftOut = 0;   // points whose latitude is above 90 degrees
  std::int64_t vertices = 0;  // vertices written
};

// Creates the file, writes the XML declaration, reserves the room of the
// document's start and opens the path. The title (of the first input's
// header) is converted here, as for KML: an invalid start time fails.
void OpenSvg(SvgFile& svg, const std::string& fileName, const TrackHeader& header);

// Adds a saved point; `input` counts the inputs from 1. A point whose
// latitude is above 90 degrees is counted and left out.
void WriteSvgPoint(SvgFile& svg, const TrackPoint& point, std::int32_t input);

// Ends the path, writes the markers, the scale bar and the caption (with the
// points drawn and the measured length), writes the document's start into
// its reserved room, and closes the file. Says on the console how many
// points were left out, when any.
void CloseSvg(SvgFile& svg, double lengthMeasuredKm);

// The round length of the scale bar, in centimetres: the largest 1, 2 or 5
// times a power of ten from 1 cm up that is at most `maxMetres` (1 cm when
// none is), and its label ("500 m", "2 km", "20 cm").
struct ScaleBar {
  std::int64_t centimetres;
  std::string label;
};
ScaleBar RoundScaleBar(Extended maxMetres);

}  // namespace pathmend
