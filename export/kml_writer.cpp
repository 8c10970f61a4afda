#include "export/kml_writer.h"

#include "export/track_title.h"
#include "export/xml_text.h"
#include "geo/distance.h"
#include "runtime/failure.h"
#include "runtime/fixed_notation.h"

namespace pathmend {

namespace {

// The prologue around the title. The root element kml carries the KML 2.0
// namespace, as KML readers require; the title is escaped and in UTF-8.
constexpr std::string_view kPrologueStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<kml xmlns=\"http://earth.google.com/kml/2.0\"><Document><Placemark><name>";
constexpr std::string_view kPrologueEnd =
    "</name><Style><LineStyle><color>FF00FF00</color><width>1</width></LineStyle></Style>"
    "<LineString><coordinates>";
constexpr std::string_view kEpilogue = "</coordinates></LineString></Placemark></Document></kml>";

}  // namespace

void OpenKml(TextStream& stream, const std::string& fileName, const TrackHeader& header) {
  CreateTextFile(stream, fileName);
  CheckIo();
  const std::string title = XmlText(TrackTitle(header));
  WriteText(stream, kPrologueStart);
  WriteText(stream, title);
  WriteText(stream, kPrologueEnd);
  EndLine(stream);
  CheckIo();
}

void WriteKmlPoint(TextStream& stream, const TrackPoint& point) {
  // The line is built in one string that keeps its room from point to point.
  static std::string line;
  line.clear();
  AppendFixedNotation(line, CoordinateDegrees(point.Lon), 15);
  line += ',';
  AppendFixedNotation(line, CoordinateDegrees(point.Lat), 15);
  line += ',';
  AppendFixedNotation(line, static_cast<Extended>(point.Alt) / 10, 1);
  WriteText(stream, line);
  EndLine(stream);
  CheckIo();
}

void CloseKml(TextStream& stream) {
  WriteText(stream, kEpilogue);
  EndLine(stream);
  CheckIo();
  CloseTextFile(stream);
  CheckIo();
}

}  // namespace pathmend
