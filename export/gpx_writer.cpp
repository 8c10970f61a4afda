#include "export/gpx_writer.h"

#include <cstring>

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

constexpr std::uint64_t kTicksPerMs = 10'000;
constexpr std::uint64_t kMsPerDay = 86'400'000;

// The digits 00 to 99 in pairs.
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes `value` with exactly `width` digits, leading zeros included, and
// returns the end.
char* PutDigits(char* out, std::uint64_t value, int width) {
  for (int i = width; i >= 2; i -= 2) {
    const std::size_t pair = 2 * static_cast<std::size_t>(value % 100);
    out[i - 2] = kPairs[pair];
    out[i - 1] = kPairs[pair + 1];
    value /= 100;
  }
  if (width % 2 != 0) out[0] = static_cast<char>('0' + value % 10);
  return out + width;
}

char* PutUnsigned(char* out, std::uint64_t value) {
  int width = 1;
  for (std::uint64_t rest = value / 10; rest != 0; rest /= 10) ++width;
  return PutDigits(out, value, width);
}

char* Put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

char* PutDegrees(char* out, std::int64_t count) {
  // count * 10^7 / 1048576 rounded half up on the magnitude; the magnitude is
  // below 2^32, so the product stays below 2^56.
  const std::uint64_t magnitude =
      count < 0 ? static_cast<std::uint64_t>(-count) : static_cast<std::uint64_t>(count);
  const std::uint64_t scaled = (magnitude * 10'000'000ULL + 524'288ULL) / 1'048'576ULL;
  if (count < 0 && scaled != 0) *out++ = '-';
  out = PutUnsigned(out, scaled / 10'000'000ULL);
  *out++ = '.';
  return PutDigits(out, scaled % 10'000'000ULL, 7);
}

// Writes the time and returns the end, or returns null (writing nothing
// that counts) for a count of 0 and a time beyond 9999-12-31.
char* PutUtcTime(char* out, std::uint64_t fileTime, GpxDateCache& cache) {
  if (fileTime == 0 || fileTime >= kYear10000) return nullptr;
  const std::uint64_t totalMs = fileTime / kTicksPerMs;
  const std::uint64_t day = totalMs / kMsPerDay;
  const std::uint64_t ms = totalMs % kMsPerDay;
  if (day != cache.day) {
    // The calendar split of the date-time module, at the day's midnight: no
    // zone applied, as a FILETIME is UTC.
    SystemTime date;
    if (!LocalCountToSystemTime(static_cast<std::int64_t>(day * kMsPerDay * kTicksPerMs), date)) {
      return nullptr;
    }
    char* at = PutDigits(cache.text.data(), date.year, 4);
    *at++ = '-';
    at = PutDigits(at, date.month, 2);
    *at++ = '-';
    PutDigits(at, date.day, 2);
    cache.day = day;
  }
  out = Put(out, {cache.text.data(), cache.text.size()});
  *out++ = 'T';
  out = PutDigits(out, ms / 3'600'000, 2);
  *out++ = ':';
  out = PutDigits(out, ms / 60'000 % 60, 2);
  *out++ = ':';
  out = PutDigits(out, ms / 1'000 % 60, 2);
  if (ms % 1'000 != 0) {
    *out++ = '.';
    out = PutDigits(out, ms % 1'000, 3);
  }
  *out++ = 'Z';
  return out;
}

}  // namespace

bool GpxLatitudeValid(std::uint32_t lat) { return lat <= kMaxLatitude; }

std::int64_t GpxLongitudeCount(std::uint32_t lon) {
  const std::int64_t reduced = static_cast<std::int64_t>(lon) % kFullCircle;
  return reduced >= kHalfCircle ? reduced - kFullCircle : reduced;
}

void AppendDegrees(std::string& text, std::int64_t count) {
  char digits[32];
  text.append(digits, static_cast<std::size_t>(PutDegrees(digits, count) - digits));
}

bool AppendUtcTime(std::string& text, std::uint64_t fileTime) {
  char digits[32];
  GpxDateCache cache;
  const char* end = PutUtcTime(digits, fileTime, cache);
  if (end == nullptr) return false;
  text.append(digits, static_cast<std::size_t>(end - digits));
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
  // The longest line: both segment tags, then a point at 90 S 180 W (were
  // it possible) with the largest altitude and a time with milliseconds:
  // about 140 bytes.
  char line[256];
  char* at = line;
  if (input != gpx.segmentInput) {
    if (gpx.segmentInput != 0) at = Put(at, "</trkseg>\r\n");
    at = Put(at, "<trkseg>\r\n");
    gpx.segmentInput = input;
  }
  at = Put(at, "<trkpt lat=\"");
  at = PutDegrees(at, point.Lat);
  at = Put(at, "\" lon=\"");
  at = PutDegrees(at, GpxLongitudeCount(point.Lon));
  at = Put(at, "\"><ele>");
  // Tenths of a metre: m div 10 "." m mod 10, exactly.
  at = PutUnsigned(at, point.Alt / 10U);
  *at++ = '.';
  *at++ = static_cast<char>('0' + point.Alt % 10U);
  at = Put(at, "</ele>");
  if (char* end = PutUtcTime(at + 6, point.Time, gpx.dates)) {
    Put(at, "<time>");
    at = Put(end, "</time>");
  }
  at = Put(at, "</trkpt>");
  WriteText(gpx.stream, {line, static_cast<std::size_t>(at - line)});
  EndLine(gpx.stream);
  CheckIo();
}

void CloseGpx(GpxFile& gpx) {
  if (gpx.leftOut != 0) {
    char count[24];
    std::string line = "Left out of the GPX file: ";
    line.append(count, static_cast<std::size_t>(
                           PutUnsigned(count, static_cast<std::uint64_t>(gpx.leftOut)) - count));
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
