// The SVG picture (/os), end to end: xmllint parses it, rsvg-convert renders
// it, and the rendered pixels are where the coordinates say; dropped vertices
// stay within a fraction of a pixel of the drawn line.

#include <cmath>
#include <regex>
#include <sstream>

#include "tests/e2e/e2e.h"
#include "tests/e2e/tools.h"

namespace pathmend::testing {
namespace {

const std::string kSvgFormatLine = "Output format: SVG picture\r\n";
constexpr std::uint32_t kDegree = 1048576;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  int r, g, b;
};
const Rgb kStart{16, 160, 16};
const Rgb kEnd{208, 16, 16};
const Rgb kLine{31, 95, 208};
const Rgb kWhite{255, 255, 255};

class Svg : public EndToEnd {
 protected:
  // Renders the picture and returns its size and the colours of the pixels.
  std::vector<Rgb> Pixels(const std::string& svg, const std::vector<std::pair<int, int>>& at,
                          int& width, int& height) {
    const ToolResult render = RunTool(dir.path(), "rsvg-convert '" + svg + "' -o picture.png");
    EXPECT_EQ(render.exitCode, 0) << render.out;
    std::string command = "python3 '" + InteropFile("png_pixels.py") + "' picture.png";
    for (const auto& [x, y] : at) command += " " + std::to_string(x) + "," + std::to_string(y);
    const ToolResult read = RunTool(dir.path(), command);
    EXPECT_EQ(read.exitCode, 0) << read.out;
    std::istringstream in(read.out);
    in >> width >> height;
    std::vector<Rgb> colours;
    for (std::size_t i = 0; i < at.size(); ++i) {
      Rgb c{};
      int alpha = 0;
      in >> c.r >> c.g >> c.b >> alpha;
      colours.push_back(c);
    }
    return colours;
  }

  void SetUp() override {
    if (!Installed("rsvg-convert")) GTEST_SKIP() << "rsvg-convert not installed (librsvg2-bin)";
    if (!Installed("xmllint")) GTEST_SKIP() << "xmllint not installed (libxml2-utils)";
  }

  void ExpectParses(const std::string& svg) {
    const ToolResult check = RunTool(dir.path(), "xmllint --noout '" + svg + "'");
    EXPECT_EQ(check.exitCode, 0) << check.out;
  }
};

void ExpectColour(const Rgb& got, const Rgb& want, const std::string& what) {
  EXPECT_TRUE(std::abs(got.r - want.r) <= 24 && std::abs(got.g - want.g) <= 24 &&
              std::abs(got.b - want.b) <= 24)
      << what << ": got " << got.r << " " << got.g << " " << got.b << ", want " << want.r << " "
      << want.g << " " << want.b;
}

// Two inputs: 1 km north, then, from the corner, 1 km east. The shape is
// kept true, so the picture is a square of 900 pixels plus the margins:
// start bottom left, the second input's start top left, the end top right.
TEST_F(Svg, MarkersAndLineWhereTheCoordinatesSay) {
  const std::uint32_t lat0 = 47 * kDegree + kDegree / 2;
  const std::uint32_t lon0 = 19 * kDegree;
  const double north = 1000.0 / (kPi * 6378137.0 / 180.0) * kDegree;  // 1 km in counts
  const double middle = (lat0 + north / 2) / kDegree * kPi / 180.0;
  const double east = north / std::cos(middle);
  TrackLogBuilder first;
  TrackLogBuilder second;
  for (int i = 0; i <= 100; ++i) {
    first.Point({lat0 + static_cast<std::uint32_t>(std::lround(north * i / 100)), lon0, 1000, 0,
                 127818063300000000ULL + std::uint64_t{10000000} * static_cast<std::uint64_t>(i)});
    second.Point({lat0 + static_cast<std::uint32_t>(std::lround(north)),
                  lon0 + static_cast<std::uint32_t>(std::lround(east * i / 100)), 1000, 0,
                  127818073300000000ULL + std::uint64_t{10000000} * static_cast<std::uint64_t>(i)});
  }
  first.WriteTo(File("north.trk"));
  second.WriteTo(File("east.trk"));
  const RunResult result = Run({"/os", "north.trk", "east.trk", "walk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out.substr(0, kBanner.size() + kSvgFormatLine.size()), kBanner + kSvgFormatLine);
  ExpectParses("walk.svg");
  const std::string svg = ReadExportText(File("walk.svg"));
  EXPECT_NE(svg.find("202 points, 2.00 km</text>"), std::string::npos) << svg;
  EXPECT_NE(svg.find("Test (1/15/06 8:30:00 am) - Powered by Tollen</text>"), std::string::npos);

  int width = 0;
  int height = 0;
  const auto pixels = Pixels("walk.svg",
                             {{50, 950},   // start
                              {50, 50},    // the second input's start
                              {950, 50},   // end
                              {50, 500},   // the north leg
                              {500, 50},   // the east leg
                              {500, 500},  // inside the corner
                              {60, 500},   // beside the north leg
                              {500, 60}},  // below the east leg
                             width, height);
  EXPECT_EQ(width, 1000);
  EXPECT_EQ(height, 1070);
  ASSERT_EQ(pixels.size(), 8U);
  ExpectColour(pixels[0], kStart, "start marker");
  ExpectColour(pixels[1], kStart, "second input's start marker");
  ExpectColour(pixels[2], kEnd, "end marker");
  ExpectColour(pixels[3], kLine, "north leg");
  ExpectColour(pixels[4], kLine, "east leg");
  ExpectColour(pixels[5], kWhite, "inside");
  ExpectColour(pixels[6], kWhite, "beside the north leg");
  ExpectColour(pixels[7], kWhite, "below the east leg");
}

// A straight line north has no width: it is drawn in the middle of the
// minimum width. One point is drawn as its markers; no points give a picture
// with only the caption. A point beyond the pole is left out and said so.
TEST_F(Svg, LineWithoutWidthOnePointAndNone) {
  TrackLogBuilder north;
  for (int i = 0; i < 50; ++i) {
    north.Point({47 * kDegree + static_cast<std::uint32_t>(i) * 200, 19 * kDegree, 0, 0, 0});
  }
  north.Point({90 * kDegree + 1, 19 * kDegree, 0, 0, 0});
  north.WriteTo(File("north.trk"));
  RunResult result = Run({"/os", "north.trk", "north"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_NE(
      result.out.find(kSeparatorLine +
                      "Left out of the picture: 1 point with a latitude above 90 degrees\r\n"),
      std::string::npos)
      << result.out;
  ExpectParses("north.svg");
  int width = 0;
  int height = 0;
  auto pixels = Pixels("north.svg", {{320, 950}, {320, 50}, {320, 500}, {340, 500}}, width, height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 1070);
  ExpectColour(pixels[0], kStart, "start");
  ExpectColour(pixels[1], kEnd, "end");
  ExpectColour(pixels[2], kLine, "line");
  ExpectColour(pixels[3], kWhite, "beside");

  TrackLogBuilder().Point({47 * kDegree, 19 * kDegree, 0, 0, 0}).WriteTo(File("one.trk"));
  result = Run({"/os", "one.trk", "one"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ExpectParses("one.svg");
  EXPECT_NE(ReadExportText(File("one.svg")).find("1 point, 0.00 km</text>"), std::string::npos);
  pixels = Pixels("one.svg", {{320, 50}, {326, 50}, {320, 30}}, width, height);
  ExpectColour(pixels[0], kStart, "the point's start marker");
  ExpectColour(pixels[1], kEnd, "the end marker's ring around it");
  ExpectColour(pixels[2], kWhite, "above it");

  result = Run({"/os", "/l:0", "one.trk", "none"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ExpectParses("none.svg");
  const std::string none = ReadExportText(File("none.svg"));
  EXPECT_NE(none.find("0 points, 0.00 km</text>"), std::string::npos) << none;
  EXPECT_EQ(none.find("<circle"), std::string::npos) << none;
}

// A dense wiggly track: fewer vertices than points, and every point lies
// within 0.2 pixel (plus the half count to which the written x is rounded)
// of the drawn line, in the picture's own transform.
TEST_F(Svg, DroppedVerticesStayWithinAFifthOfAPixel) {
  constexpr int kPoints = 20000;
  std::vector<PointSpec> points;
  for (int i = 0; i < kPoints; ++i) {
    const double t = i / 200.0;
    points.push_back(
        {47 * kDegree + static_cast<std::uint32_t>(20 * i + 3000 * std::sin(t)),
         19 * kDegree + static_cast<std::uint32_t>(8000 + 8000 * std::cos(t / 3) + (i * 7919) % 5),
         0, 0, 0});
  }
  TrackLogBuilder builder;
  for (const PointSpec& p : points) builder.Point(p);
  builder.WriteTo(File("dense.trk"));
  const RunResult result = Run({"/os", "dense.trk", "dense"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ExpectParses("dense.svg");
  const std::string svg = ReadExportText(File("dense.svg"));

  std::smatch match;
  const std::regex matrix("matrix\\(([-0-9.]+) 0 0 ([-0-9.]+) ([-0-9.]+) ([-0-9.]+)\\)");
  ASSERT_TRUE(std::regex_search(svg, match, matrix)) << svg.substr(0, 900);
  const double a = std::stod(match[1]);
  const double d = std::stod(match[2]);
  const double e = std::stod(match[3]);
  const double f = std::stod(match[4]);
  std::vector<std::pair<double, double>> drawn;
  const std::regex vertex("\r\n[ML](-?[0-9]+) (-?[0-9]+)(?=\r\n)");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), vertex); it != std::sregex_iterator();
       ++it) {
    drawn.push_back({a * std::stod((*it)[1]) + e, d * std::stod((*it)[2]) + f});
  }
  ASSERT_GE(drawn.size(), 2U);
  // The test is made with the extent known so far, so the first points of a
  // track are drawn more densely than the final scale needs (here about an
  // eighth of the points are drawn; without the rule, all of them).
  EXPECT_LT(drawn.size(), static_cast<std::size_t>(kPoints / 4)) << "vertices drawn";

  const double cosFirst = std::cos(points[0].lat / double(kDegree) * kPi / 180.0);
  const double slack = 0.5 * std::fabs(a);  // the written x is a whole count
  std::size_t segment = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double x = a * std::round((double(points[i].lon) - points[0].lon) * cosFirst) + e;
    const double y = d * (double(points[0].lat) - points[i].lat) + f;
    // The nearest segment at or after the one the previous point was near.
    double best = 1e9;
    std::size_t bestSegment = segment;
    for (std::size_t s = segment; s + 1 < drawn.size() && s < segment + 50; ++s) {
      const auto [x1, y1] = drawn[s];
      const auto [x2, y2] = drawn[s + 1];
      const double dx = x2 - x1;
      const double dy = y2 - y1;
      const double length2 = dx * dx + dy * dy;
      double u = length2 > 0 ? ((x - x1) * dx + (y - y1) * dy) / length2 : 0;
      u = u < 0 ? 0 : u > 1 ? 1 : u;
      const double distance = std::hypot(x - (x1 + u * dx), y - (y1 + u * dy));
      if (distance < best) {
        best = distance;
        bestSegment = s;
      }
    }
    if (drawn.size() == 1) best = std::hypot(x - drawn[0].first, y - drawn[0].second);
    ASSERT_LE(best, 0.2 + slack + 1e-6) << "point " << i;
    segment = bestSegment;
  }
}

// A failure keeps the lines completed, as for the other exports; the
// document's start, written at the close, is missing (its room stays spaces).
TEST_F(Svg, FailureKeepsTheCompletedPathLines) {
  TrackLogBuilder()
      .Point({47 * kDegree, 19 * kDegree, 0, 0, 0})
      .Point({47 * kDegree + 500, 19 * kDegree, 0, 0, 0})
      .Trailing(9)
      .WriteTo(File("cut.trk"));
  const RunResult result = Run({"/os", "cut.trk", "cut"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("Read beyond end of file."), std::string::npos) << result.out;
  EXPECT_EQ(ReadExportText(File("cut.svg")), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" +
                                                 std::string(768, ' ') +
                                                 "\r\n<path d=\"\r\nM0 0\r\n");
}

}  // namespace
}  // namespace pathmend::testing
