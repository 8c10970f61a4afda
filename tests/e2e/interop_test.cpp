// The exported files read back by readers that this project did not write:
// xmllint, GDAL's KML, LIBKML and GPX drivers and GPSBabel. A test whose reader is
// not installed is skipped with a message naming the reader and its Debian
// package.

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>

#include "tests/e2e/e2e.h"
#include "tests/e2e/tools.h"

namespace pathmend::testing {
namespace {

// "Túra & <Őrség> é" in Windows-1250, and its title as a reader decodes it.
const std::string kRawName = "T\xFAra & <\xD5rs\xE9g> \xE9";
const std::string kTitleUtf8 =
    "T\xC3\xBAra & <\xC5\x90rs\xC3\xA9g> \xC3\xA9 (1/15/06 8:30:00 am) - Powered by Tollen";

constexpr int kPointCount = 40;
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

// Points with uneven coordinates, altitudes up to the largest, and times
// from 23:59:00 on 15 January 2006 (UTC) across midnight.
std::vector<PointSpec> Points() {
  std::vector<PointSpec> points;
  for (int i = 0; i < kPointCount; ++i) {
    const auto k = static_cast<std::uint32_t>(i);
    points.push_back({49807360 + k * 1237 + (k * k * 97) % 1000, 19922944 + k * 977 + k % 7,
                      static_cast<std::uint16_t>(i == kPointCount - 1 ? 65535 : 1053 + 1311 * k), 0,
                      127818431400000000ULL + 70000000ULL * k});
  }
  return points;
}

double Degrees(std::uint32_t count) { return count / 1048576.0; }

// The UTC date as YYYY/MM/DD and the time as HH:MM:SS of a FILETIME.
std::pair<std::string, std::string> DateAndTime(std::uint64_t fileTime) {
  const auto seconds = static_cast<std::time_t>((fileTime - kUnixEpochAsFileTime) / 10000000ULL);
  std::tm fields{};
  gmtime_r(&seconds, &fields);
  char date[16];
  char time[16];
  std::strftime(date, sizeof date, "%Y/%m/%d", &fields);
  std::strftime(time, sizeof time, "%H:%M:%S", &fields);
  return {date, time};
}

// Output without the line end that some versions add after a value.
std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

double Number(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  EXPECT_TRUE(end != text.c_str() && *end == '\0') << "not a number: \"" << text << "\"";
  return value;
}

// A CSV file with a header line: one map from column name to text per row.
std::vector<std::map<std::string, std::string>> CsvRows(const std::string& text) {
  std::vector<std::map<std::string, std::string>> rows;
  const std::vector<std::string> lines = Split(text, '\n');
  if (lines.empty()) return rows;
  const std::vector<std::string> names = Split(lines[0], ',');
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const std::vector<std::string> cells = Split(lines[i], ',');
    std::map<std::string, std::string> row;
    for (std::size_t c = 0; c < names.size() && c < cells.size(); ++c) row[names[c]] = cells[c];
    rows.push_back(row);
  }
  return rows;
}

std::string XmlUnescape(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : entities) {
    for (std::size_t at = text.find(entity); at != std::string::npos;
         at = text.find(entity, at + 1)) {
      text.replace(at, std::string(entity).size(), character);
    }
  }
  return text;
}

class Interop : public EndToEnd {
 protected:
  void SetUp() override {
    TrackLogBuilder builder;
    builder.Name(kRawName);
    for (const PointSpec& p : Points()) builder.Point(p);
    builder.WriteTo(File("day.trk"));
  }

  void Export(const std::string& option, const std::string& output) {
    const RunResult result = Run({option, "day.trk", output});
    ASSERT_EQ(result.exitCode, 0) << result.out;
  }

  // Checks a reader's points against the track log's, to 1e-6 degree and
  // 1e-6 m (tolerance: the reader's own text of the coordinate).
  static void ExpectPoints(const std::vector<std::array<double, 3>>& read, double tolerance) {
    const std::vector<PointSpec> points = Points();
    ASSERT_EQ(read.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_NEAR(read[i][0], Degrees(points[i].lat), tolerance) << "latitude of point " << i;
      EXPECT_NEAR(read[i][1], Degrees(points[i].lon), tolerance) << "longitude of point " << i;
      EXPECT_NEAR(read[i][2], points[i].alt / 10.0, 1e-6) << "altitude of point " << i;
    }
  }
};

TEST_F(Interop, XmllintAcceptsTheKmlAndReadsTheName) {
  if (!Installed("xmllint")) GTEST_SKIP() << "xmllint not installed (Debian package libxml2-utils)";
  Export("/ok", "day.kml");
  const ToolResult check = RunTool(dir.path(), "xmllint --noout day.kml");
  EXPECT_EQ(check.exitCode, 0) << check.out;
  EXPECT_EQ(check.out, "");
  const ToolResult name = RunTool(
      dir.path(),
      "xmllint --xpath \"string(//*[local-name()='Placemark']/*[local-name()='name'])\" day.kml");
  EXPECT_EQ(name.exitCode, 0) << name.out;
  EXPECT_EQ(FromSystemLocale(Trimmed(name.out)), kTitleUtf8);
  const ToolResult root =
      RunTool(dir.path(), "xmllint --xpath \"concat(name(/*), ' ', namespace-uri(/*))\" day.kml");
  EXPECT_EQ(Trimmed(root.out), "kml http://earth.google.com/kml/2.0");
}

class GdalDriver : public Interop, public ::testing::WithParamInterface<const char*> {};

TEST_P(GdalDriver, ReadsTheLineAndTheName) {
  const std::string driver = GetParam();
  if (!Installed("ogrinfo")) GTEST_SKIP() << "ogrinfo not installed (Debian package gdal-bin)";
  const ToolResult formats = RunTool(dir.path(), "ogrinfo --formats");
  if (formats.out.find("  " + driver + " -vector-") == std::string::npos) {
    GTEST_SKIP() << "GDAL has no " << driver
                 << " driver (Debian: gdal-bin with libgdal32, built with libkml)";
  }
  Export("/ok", "day.kml");
  // The other KML driver is skipped, so that this one has to read the file
  // (ogrinfo -if needs GDAL 3.7).
  const std::string other = driver == "KML" ? "LIBKML" : "KML";
  const ToolResult read =
      RunTool(dir.path(), "ogrinfo --config GDAL_SKIP " + other + " -ro -al day.kml");
  ASSERT_EQ(read.exitCode, 0) << read.out;
  EXPECT_NE(read.out.find("using driver `" + driver + "' successful"), std::string::npos)
      << read.out;
  EXPECT_NE(read.out.find("Feature Count: 1\n"), std::string::npos) << read.out;

  const std::string nameLabel = "  Name (String) = ";
  const std::size_t nameAt = read.out.find(nameLabel);
  ASSERT_NE(nameAt, std::string::npos) << read.out;
  const std::size_t nameEnd = read.out.find('\n', nameAt);
  EXPECT_EQ(FromSystemLocale(
                read.out.substr(nameAt + nameLabel.size(), nameEnd - nameAt - nameLabel.size())),
            kTitleUtf8);

  const std::string lineLabel = "LINESTRING Z (";
  const std::size_t lineAt = read.out.find(lineLabel);
  ASSERT_NE(lineAt, std::string::npos) << read.out;
  const std::size_t lineEnd = read.out.find(')', lineAt);
  std::vector<std::array<double, 3>> points;
  for (const std::string& point : Split(
           read.out.substr(lineAt + lineLabel.size(), lineEnd - lineAt - lineLabel.size()), ',')) {
    const std::vector<std::string> xyz = Split(point, ' ');
    ASSERT_EQ(xyz.size(), 3U) << point;
    points.push_back({Number(xyz[1]), Number(xyz[0]), Number(xyz[2])});
  }
  ExpectPoints(points, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Drivers, GdalDriver, ::testing::Values("KML", "LIBKML"));

TEST_F(Interop, GpsBabelReadsTheKmlTrack) {
  if (!Installed("gpsbabel")) GTEST_SKIP() << "gpsbabel not installed (Debian package gpsbabel)";
  Export("/ok", "day.kml");
  // Without -t GPSBabel reads no track from KML (and still succeeds). The
  // CSV has the points; the GPX written in the same run has the track name.
  const ToolResult read = RunTool(
      dir.path(), "gpsbabel -t -i kml -f day.kml -o unicsv -F points.csv -o gpx -F track.gpx");
  ASSERT_EQ(read.exitCode, 0) << read.out;
  std::vector<std::array<double, 3>> points;
  for (const auto& row : CsvRows(ReadExportText(File("points.csv")))) {
    ASSERT_TRUE(row.count("Latitude") && row.count("Longitude") && row.count("Altitude"));
    points.push_back(
        {Number(row.at("Latitude")), Number(row.at("Longitude")), Number(row.at("Altitude"))});
  }
  // unicsv writes 6 decimals.
  ExpectPoints(points, 0.5e-6 + 1e-12);

  const std::string gpx = ReadExportText(File("track.gpx"));
  const std::size_t track = gpx.find("<trk>");
  ASSERT_NE(track, std::string::npos) << gpx;
  const std::size_t nameAt = gpx.find("<name>", track);
  const std::size_t nameEnd = gpx.find("</name>", track);
  ASSERT_TRUE(nameAt != std::string::npos && nameEnd != std::string::npos) << gpx;
  EXPECT_EQ(XmlUnescape(gpx.substr(nameAt + 6, nameEnd - nameAt - 6)), kTitleUtf8);
}

// The GPS TrackMaker point lines, read with GPSBabel's xcsv format and the
// project's style file.
TEST_F(Interop, GpsBabelReadsTheTextPointLines) {
  if (!Installed("gpsbabel")) GTEST_SKIP() << "gpsbabel not installed (Debian package gpsbabel)";
  const std::filesystem::path style =
      std::filesystem::path(__FILE__).parent_path().parent_path() / "interop" / "gtm_points.style";
  ASSERT_TRUE(std::filesystem::exists(style)) << style;
  Export("/ox", "day.txt");
  std::string pointLines;
  for (const std::string& line : Split(ReadExportText(File("day.txt")), '\n')) {
    if (line.rfind("t,d,", 0) == 0) pointLines += line + "\r\n";
  }
  WriteFileBytes(File("points.txt"), {pointLines.begin(), pointLines.end()});
  const ToolResult read = RunTool(dir.path(), "gpsbabel -i xcsv,style='" + style.string() +
                                                  "' -f points.txt -o unicsv -F points.csv");
  ASSERT_EQ(read.exitCode, 0) << read.out;
  const auto rows = CsvRows(ReadExportText(File("points.csv")));
  std::vector<std::array<double, 3>> points;
  for (const auto& row : rows) {
    ASSERT_TRUE(row.count("Latitude") && row.count("Longitude") && row.count("Altitude") &&
                row.count("Date") && row.count("Time"));
    points.push_back(
        {Number(row.at("Latitude")), Number(row.at("Longitude")), Number(row.at("Altitude"))});
  }
  // The text has 6 decimals.
  ExpectPoints(points, 0.5e-6 + 1e-12);
  const std::vector<PointSpec> specs = Points();
  for (std::size_t i = 0; i < rows.size() && i < specs.size(); ++i) {
    const auto [date, time] = DateAndTime(specs[i].time);
    EXPECT_EQ(rows[i].at("Date"), date) << "point " << i;
    EXPECT_EQ(rows[i].at("Time"), time) << "point " << i;
  }
}

// The GPX export read back. The points of the other interop tests, with
// every fifth point moved 200 degrees east (so written west of Greenwich)
// and every third point's time 250 ms later.
std::vector<PointSpec> GpxPoints() {
  std::vector<PointSpec> points = Points();
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i % 5 == 0) points[i].lon += 200U * 1048576U;
    if (i % 3 == 0) points[i].time += 2500000ULL;
  }
  return points;
}

// Longitude in degrees, west of Greenwich negative.
double GpxLongitude(std::uint32_t count) {
  const double degrees = std::fmod(count / 1048576.0, 360.0);
  return degrees >= 180.0 ? degrees - 360.0 : degrees;
}

// "YYYY-MM-DDTHH:MM:SS" and the milliseconds of a FILETIME, in UTC.
std::pair<std::string, int> IsoTime(std::uint64_t fileTime) {
  const auto [date, time] = DateAndTime(fileTime);
  std::string iso = date + "T" + time;
  for (char& c : iso) {
    if (c == '/') c = '-';
  }
  return {iso, static_cast<int>(fileTime / 10000ULL % 1000ULL)};
}

class GpxInterop : public Interop {
 protected:
  void SetUp() override {
    TrackLogBuilder builder;
    builder.Name(kRawName);
    for (const PointSpec& p : GpxPoints()) builder.Point(p);
    builder.WriteTo(File("day.trk"));
    Export("/og", "day.gpx");
  }
};

TEST_F(GpxInterop, XmllintValidatesAgainstTheSchema) {
  if (!Installed("xmllint")) GTEST_SKIP() << "xmllint not installed (Debian package libxml2-utils)";
  EXPECT_EQ(GpxSchemaErrors(dir.path(), "day.gpx"), "");
  const ToolResult name =
      RunTool(dir.path(),
              "xmllint --xpath \"string(//*[local-name()='trk']/*[local-name()='name'])\" day.gpx");
  EXPECT_EQ(FromSystemLocale(Trimmed(name.out)), kTitleUtf8);
}

TEST_F(GpxInterop, GdalReadsThePointsAndTheirTimes) {
  if (!Installed("ogrinfo")) GTEST_SKIP() << "ogrinfo not installed (Debian package gdal-bin)";
  const ToolResult read = RunTool(dir.path(), "ogrinfo -ro day.gpx track_points");
  ASSERT_EQ(read.exitCode, 0) << read.out;
  EXPECT_NE(read.out.find("using driver `GPX' successful"), std::string::npos) << read.out;
  const std::vector<PointSpec> points = GpxPoints();
  std::size_t at = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::size_t ele = read.out.find("  ele (Real) = ", at);
    const std::size_t time = read.out.find("  time (DateTime) = ", at);
    const std::size_t point = read.out.find("  POINT (", at);
    ASSERT_TRUE(ele != std::string::npos && time != std::string::npos && point != std::string::npos)
        << "point " << i << "\n"
        << read.out;
    const std::string eleText = read.out.substr(ele + 15, read.out.find('\n', ele) - ele - 15);
    EXPECT_NEAR(Number(eleText), points[i].alt / 10.0, 1e-9) << "elevation of point " << i;
    // "2006/01/15 23:59:00.250+00" or "2006/01/15 23:59:07+00".
    const std::string timeText = read.out.substr(time + 20, read.out.find('\n', time) - time - 20);
    auto [iso, ms] = IsoTime(points[i].time);
    for (char& c : iso) {
      if (c == '-') c = '/';
      if (c == 'T') c = ' ';
    }
    std::string expected = iso;
    if (ms != 0) expected += "." + std::to_string(1000 + ms).substr(1);
    EXPECT_EQ(timeText, expected + "+00") << "time of point " << i;
    const std::size_t close = read.out.find(')', point);
    const std::vector<std::string> xy = Split(read.out.substr(point + 9, close - point - 9), ' ');
    ASSERT_EQ(xy.size(), 2U) << read.out.substr(point, 80);
    EXPECT_NEAR(Number(xy[0]), GpxLongitude(points[i].lon), 1e-7) << "longitude of point " << i;
    EXPECT_NEAR(Number(xy[1]), Degrees(points[i].lat), 1e-7) << "latitude of point " << i;
    at = close;
  }
  EXPECT_EQ(read.out.find("  POINT (", at), std::string::npos) << "more points than saved";
}

TEST_F(GpxInterop, GpsBabelReadsThePointsAndTheirTimes) {
  if (!Installed("gpsbabel")) GTEST_SKIP() << "gpsbabel not installed (Debian package gpsbabel)";
  // GPSBabel writes the track it read as GPX again, with 9 decimals.
  const ToolResult read = RunTool(dir.path(), "gpsbabel -t -i gpx -f day.gpx -o gpx -F back.gpx");
  ASSERT_EQ(read.exitCode, 0) << read.out;
  const std::string back = ReadFileText(File("back.gpx"));
  const std::vector<PointSpec> points = GpxPoints();
  std::size_t at = back.find("<trk>");
  ASSERT_NE(at, std::string::npos) << back;
  const auto attribute = [&](std::size_t from, const std::string& name) {
    const std::size_t start = back.find(name + "=\"", from) + name.size() + 2;
    return back.substr(start, back.find('"', start) - start);
  };
  const auto element = [&](std::size_t from, const std::string& name) {
    const std::size_t start = back.find("<" + name + ">", from) + name.size() + 2;
    return back.substr(start, back.find("</" + name + ">", start) - start);
  };
  for (std::size_t i = 0; i < points.size(); ++i) {
    at = back.find("<trkpt ", at);
    ASSERT_NE(at, std::string::npos) << "point " << i << "\n" << back;
    EXPECT_NEAR(Number(attribute(at, "lat")), Degrees(points[i].lat), 1e-7) << "point " << i;
    EXPECT_NEAR(Number(attribute(at, "lon")), GpxLongitude(points[i].lon), 1e-7) << "point " << i;
    EXPECT_NEAR(Number(element(at, "ele")), points[i].alt / 10.0, 1e-9) << "point " << i;
    const auto [iso, ms] = IsoTime(points[i].time);
    std::string expected = iso;
    if (ms != 0) expected += "." + std::to_string(1000 + ms).substr(1);
    EXPECT_EQ(element(at, "time"), expected + "Z") << "point " << i;
    ++at;
  }
  EXPECT_EQ(back.find("<trkpt ", at), std::string::npos) << "more points than saved";
}

}  // namespace
}  // namespace pathmend::testing
