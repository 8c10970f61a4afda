#include "report/point_trace.h"

#include "geo/date_text.h"
#include "geo/date_time.h"
#include "geo/distance.h"
#include "runtime/fixed_notation.h"
#include "runtime/number_text.h"
#include "runtime/text_stream.h"

namespace pathmend {

void TraceStart(std::int32_t pointNumber) {
  WriteText(Console, "\tPoint #");
  WriteText(Console, SignedDecimal(pointNumber));
  EndStatement(Console);
  CheckIo();
}

void TraceSaved(std::int32_t pointsSaved) {
  WriteText(Console, " (Saved Point #");
  WriteText(Console, SignedDecimal(pointsSaved));
  WriteText(Console, ")");
  EndStatement(Console);
  CheckIo();
}

void TraceFinish(const TrackPoint& point, double lengthMeasured) {
  EndLine(Console);
  CheckIo();
  ConsoleLine("\tLat: " + FixedNotation(CoordinateDegrees(point.Lat), 15));
  ConsoleLine("\tLong: " + FixedNotation(CoordinateDegrees(point.Lon), 15));
  // Tenths divided in extended: always the exact m div 10 "." m mod 10.
  ConsoleLine("\tAlt: " + FixedNotation(static_cast<Extended>(point.Alt) / 10, 1) + " m");
  ConsoleLine("\tSpeed: " + FixedNotation(static_cast<Extended>(point.Speed) / 10, 1) + " km/h");
  // Converted before any character of the line is written.
  const std::string time = DefaultDateTimeText(PointTimeToLocal(point.Time));
  ConsoleLine("\tDate&Time: " + time);
  ConsoleLine("\t+ " + FixedNotation(lengthMeasured, 5) + " km");
  ConsoleLine("- - - - - - - - - - - - -");
}

}  // namespace pathmend
