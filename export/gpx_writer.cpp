#include "export/gpx_writer.h"

#include "export/track_title.h"
#include "export/xml_text.h"
#include "geo/date_time.h"
#include "runtime/failure.h"

namespace pathmend {

namespace {

constexpr std::int64_t kCountsPerDegree = 1048576;
constexpr std::int64_t kFullCircle = 360 * kCountsPerDegree;
constexpr std::int64_t kHalfCircle = 180 * kCountsPerDegree;
constexpr std::uint32_t kMaxLatitude = 90 * 1048576U;
// FILETIME of 10000-01-01 00:00:00 UTC: the first moment GPX's four-digit
// years cannot show.
constexpr std::uint64_t kYear10000 = 2650467744000000000ULL;

constexpr std::string_view kDocumentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" version=\"1.1\" creator=\"pathmend\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
    "http://www.topografix.com/GPX/1/1/gpx.xsd\">\r\n";

void Line(TextStream& stream, std::string_view text) {
  WriteText(stream, text);
  EndLine(stream);
  CheckIo();
}

// Appends `value` with exactly `width` digits, leading zeros included.
void AppendDigits(std::string& text, std::uint64_t value, int width) {
  char digits[20];
  for (int i = width - 1; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  text.append(digits, static_cast<std::size_t>(width));
}

void AppendUnsigned(std::string& text, std::uint64_t value) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) text += digits[--count];
}

}  // namespace

bool GpxLatitudeValid(std::uint32_t lat) { return lat <= kMaxLatitude; }

std::int64_t GpxLongitudeCount(std::uint32_t lon) {
  const std::int64_t reduced = static_cast<std::int64_t>(lon) % kFullCircle;
  return reduced >= kHalfCircle ? reduced - kFullCircle : reduced;
}

void AppendDegrees(std::string& text, std::int64_t count) {
  // count * 10^7 / 1048576 rounded half up on the magnitude; the magnitude is
  // below 2^32, so the product stays below 2^56.
  const std::uint64_t magnitude =
      count < 0 ? static_cast<std::uint64_t>(-count) : static_cast<std::uint64_t>(count);
  const std::uint64_t scaled = (magnitude * 10'000'000ULL + 524'288ULL) / 1'048'576ULL;
  if (count < 0 && scaled != 0) text += '-';
  AppendUnsigned(text, scaled / 10'000'000ULL);
  text += '.';
  AppendDigits(text, scaled % 10'000'000ULL, 7);
}

bool AppendUtcTime(std::string& text, std::uint64_t fileTime) {
  if (fileTime == 0 || fileTime >= kYear10000) return false;
  SystemTime time;
  // The calendar split of the date-time module: whole milliseconds from
  // 1601-01-01, no zone applied, as a FILETIME is UTC.
  if (!LocalCountToSystemTime(static_cast<std::int64_t>(fileTime), time)) return false;
  AppendDigits(text, time.year, 4);
  text += '-';
  AppendDigits(text, time.month, 2);
  text += '-';
  AppendDigits(text, time.day, 2);
  text += 'T';
  AppendDigits(text, time.hour, 2);
  text += ':';
  AppendDigits(text, time.minute, 2);
  text += ':';
  AppendDigits(text, time.second, 2);
  if (time.milliseconds != 0) {
    text += '.';
    AppendDigits(text, time.milliseconds, 3);
  }
  text += 'Z';
  return true;
}

void OpenGpx(GpxFile& gpx, const std::string& fileName, const TrackHeader& header) {
  gpx = GpxFile{};
  CreateTextFile(gpx.stream, fileName);
  CheckIo();
  const std::string title = XmlText(TrackTitle(header));
  WriteText(gpx.stream, kDocumentStart);
  WriteText(gpx.stream, "<trk><name>");
  WriteText(gpx.stream, title);
  WriteText(gpx.stream, "</name>");
  if (header.TrackType >= 0 && header.TrackType < kTrackTypeCount) {
    WriteText(gpx.stream, "<type>");
    WriteText(gpx.stream, TypeNameUtf8(header.TrackType));
    WriteText(gpx.stream, "</type>");
  }
  EndLine(gpx.stream);
  CheckIo();
}

void WriteGpxPoint(GpxFile& gpx, const TrackPoint& point, std::int32_t input) {
  if (!GpxLatitudeValid(point.Lat)) {
    ++gpx.leftOut;
    return;
  }
  // The line is built in one string that keeps its room from point to point.
  static std::string line;
  line.clear();
  if (input != gpx.segmentInput) {
    if (gpx.segmentInput != 0) line += "</trkseg>\r\n";
    line += "<trkseg>\r\n";
    gpx.segmentInput = input;
  }
  line += "<trkpt lat=\"";
  AppendDegrees(line, point.Lat);
  line += "\" lon=\"";
  AppendDegrees(line, GpxLongitudeCount(point.Lon));
  line += "\"><ele>";
  // Tenths of a metre: m div 10 "." m mod 10, exactly.
  AppendUnsigned(line, point.Alt / 10U);
  line += '.';
  line += static_cast<char>('0' + point.Alt % 10U);
  line += "</ele>";
  const std::size_t timeAt = line.size();
  line += "<time>";
  if (AppendUtcTime(line, point.Time)) {
    line += "</time>";
  } else {
    line.resize(timeAt);
  }
  line += "</trkpt>";
  WriteText(gpx.stream, line);
  EndLine(gpx.stream);
  CheckIo();
}

void CloseGpx(GpxFile& gpx) {
  if (gpx.leftOut != 0) {
    std::string line = "Left out of the GPX file: ";
    AppendUnsigned(line, static_cast<std::uint64_t>(gpx.leftOut));
    line += gpx.leftOut == 1 ? " point" : " points";
    line += " with a latitude above 90 degrees";
    ConsoleLine(line);
  }
  if (gpx.segmentInput != 0) Line(gpx.stream, "</trkseg>");
  Line(gpx.stream, "</trk>");
  Line(gpx.stream, "</gpx>");
  CloseTextFile(gpx.stream);
  CheckIo();
}

}  // namespace pathmend
