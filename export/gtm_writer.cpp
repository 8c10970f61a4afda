#include "export/gtm_writer.h"

#include "export/track_title.h"
#include "geo/date_text.h"
#include "geo/date_time.h"
#include "geo/distance.h"
#include "runtime/failure.h"
#include "runtime/fixed_notation.h"

namespace pathmend {

namespace {

void Line(TextStream& stream, std::string_view text) {
  WriteText(stream, text);
  EndLine(stream);
  CheckIo();
}

}  // namespace

void OpenGtm(TextStream& stream, const std::string& fileName) {
  CreateTextFile(stream, fileName);
  CheckIo();
  Line(stream, "Version,212");
  Line(stream, "");
  Line(stream, "WGS 1984 (GPS),217, 6378137, 298.257223563, 0, 0, 0");
  Line(stream, "USER GRID,0,0,0,0,0");
  Line(stream, "");
}

void WriteGtmPoint(TextStream& stream, const TrackPoint& point) {
  // The time is converted before any character of the line is written.
  const std::string time = GtmTimeText(PointTimeToLocal(point.Time));
  // The line is built in one string that keeps its room from point to point.
  static std::string line;
  line.assign("t,d,");
  AppendFixedNotation(line, CoordinateDegrees(point.Lat), 6);
  line += ',';
  AppendFixedNotation(line, CoordinateDegrees(point.Lon), 6);
  line += time;
  AppendFixedNotation(line, static_cast<Extended>(point.Alt) / 10, 1);
  line += ",0";
  WriteText(stream, line);
  EndLine(stream);
  CheckIo();
}

void CloseGtm(TextStream& stream, const TrackHeader& header) {
  const std::string title = TrackTitle(header);
  Line(stream, "");
  WriteText(stream, "n,");
  WriteText(stream, title);
  WriteText(stream, ",65280,1");
  EndLine(stream);
  CheckIo();
  CloseTextFile(stream);
  CheckIo();
}

}  // namespace pathmend
