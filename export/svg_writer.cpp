#include "export/svg_writer.h"

#include <cmath>

#include "export/gpx_writer.h"
#include "export/track_title.h"
#include "export/xml_text.h"
#include "geo/extended_trig.h"
#include "runtime/failure.h"
#include "runtime/fixed_notation.h"
#include "runtime/number_text.h"

namespace pathmend {

namespace {

constexpr Extended kPi = 0xC90FDAA22168C235p-62L;
constexpr std::uint32_t kMaxLatitude = 90 * 1048576U;
constexpr Extended kCountsPerDegree = 1048576.0L;
// Metres in one count of latitude on the program's sphere (radius 6378137 m).
constexpr Extended kMetresPerCount = kPi * 6378137.0L / 180.0L / kCountsPerDegree;

// The picture: the track fits a square of kDrawing pixels, with kMargin
// around it, a band for the caption and the scale bar below, and at least
// kMinWidth pixels of width so that the caption has room. A track without
// extent (one point, or all points on one spot) is drawn at 2 pixels a metre.
constexpr Extended kDrawing = 900;
constexpr Extended kMargin = 50;
constexpr Extended kCaptionBand = 70;
constexpr Extended kMinWidth = 640;
constexpr Extended kPointScale = 2 * kMetresPerCount;  // pixels per count
// A vertex is dropped when it lies within 2 x kTolerance pixels of the line.
constexpr Extended kTolerance = 0.1L;
// The room reserved for the document's start, written at the end.
constexpr std::size_t kStartRoom = 768;

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
constexpr std::string_view kLineColour = "#1f5fd0";
constexpr std::string_view kStartColour = "#10a010";
constexpr std::string_view kEndColour = "#d01010";

Extended Cosine(Extended degrees) { return ExtendedSinCos(kPi * degrees / 180).cosine; }

void Number(std::string& text, Extended value, int decimals) {
  AppendFixedNotation(text, value, decimals);
}

void WriteVertex(SvgFile& svg, char command, const SvgVertex& v) {
  std::string line(1, command);
  line += SignedDecimal(static_cast<std::int32_t>(v.x));
  line += ' ';
  line += SignedDecimal(static_cast<std::int32_t>(v.y));
  WriteText(svg.stream, line);
  EndLine(svg.stream);
  CheckIo();
  ++svg.vertices;
}

// Sets a new anchor and fixes the scale factors of the distance test from
// the extent so far. The extent only grows, so the final picture's scale is
// at most these factors on each axis: the final pixels are these units
// shrunk along x and y, and a shrink along the axes moves no point farther
// from a segment. A point within the tolerance now is within it in the
// picture.
void Anchor(SvgFile& svg, const SvgVertex& v) {
  SleeveSimplifier& s = svg.sleeve;
  s = SleeveSimplifier{};
  s.anchor = v;
  const std::int64_t width = svg.high.x - svg.low.x;
  const std::int64_t height = svg.high.y - svg.low.y;
  s.xFactor = kDrawing / static_cast<Extended>(width > 1 ? width : 1);
  s.yFactor = kDrawing / static_cast<Extended>(height > 1 ? height : 1);
}

struct Offset {
  Extended distance;
  Extended angle;
};

Offset OffsetOf(const SleeveSimplifier& s, const SvgVertex& v) {
  const Extended du = static_cast<Extended>(v.x - s.anchor.x) * s.xFactor;
  const Extended dv = static_cast<Extended>(v.y - s.anchor.y) * s.yFactor;
  return {std::hypot(du, dv), std::atan2(dv, du)};
}

// The angle relative to the wedge's reference, in [-pi, pi]. Every interval
// of the wedge is narrower than pi around a direction within pi/2 of the
// reference, so no interval needs to wrap around.
Extended Relative(const SleeveSimplifier& s, Extended angle) {
  return std::remainder(angle - s.reference, 2 * kPi);
}

// Adds a skipped point to the wedge; false when no direction is left.
bool Narrow(SleeveSimplifier& s, const Offset& p) {
  if (p.distance > s.farthest) s.farthest = p.distance;
  if (p.distance <= kTolerance) return true;  // its disc holds the anchor
  const Extended half = std::asin(kTolerance / p.distance);
  if (!s.constrained) {
    s.constrained = true;
    s.reference = p.angle;
    s.low = -half;
    s.high = half;
    return true;
  }
  const Extended centre = Relative(s, p.angle);
  if (centre - half > s.low) s.low = centre - half;
  if (centre + half < s.high) s.high = centre + half;
  return s.low <= s.high;
}

// Whether the segment from the anchor to `v` still passes within the
// tolerance of every skipped point, the pending one included.
bool Continues(SleeveSimplifier& s, const SvgVertex& v) {
  SleeveSimplifier trial = s;
  if (!Narrow(trial, OffsetOf(s, s.pending))) return false;
  const Offset n = OffsetOf(s, v);
  if (n.distance < trial.farthest - kTolerance) return false;
  if (trial.constrained) {
    if (n.distance == 0) return false;
    const Extended direction = Relative(trial, n.angle);
    if (direction < trial.low || direction > trial.high) return false;
  }
  s = trial;
  return true;
}

void AddToPath(SvgFile& svg, const SvgVertex& v) {
  SleeveSimplifier& s = svg.sleeve;
  if (!s.hasPending) {
    s.hasPending = true;
    s.pending = v;
    return;
  }
  if (Continues(s, v)) {
    s.pending = v;
    return;
  }
  const SvgVertex drawnVertex = s.pending;
  WriteVertex(svg, 'L', drawnVertex);
  Anchor(svg, drawnVertex);
  svg.sleeve.hasPending = true;
  svg.sleeve.pending = v;
}

void FlushPending(SvgFile& svg) {
  if (svg.sleeve.hasPending) WriteVertex(svg, 'L', svg.sleeve.pending);
  svg.sleeve.hasPending = false;
}

void Line(TextStream& stream, std::string_view text) {
  WriteText(stream, text);
  EndLine(stream);
  CheckIo();
}

std::string Circle(Extended x, Extended y, int radius, std::string_view colour) {
  std::string text = "<circle cx=\"";
  Number(text, x, 1);
  text += "\" cy=\"";
  Number(text, y, 1);
  text += "\" r=\"" + SignedDecimal(radius) + "\" fill=\"";
  text += colour;
  text += "\"/>";
  return text;
}

}  // namespace

ScaleBar RoundScaleBar(Extended maxMetres) {
  const Extended maxCentimetres = maxMetres * 100;
  std::int64_t best = 1;
  for (std::int64_t power = 1; power <= 1'000'000'000LL; power *= 10) {
    for (const std::int64_t step : {1, 2, 5}) {
      if (static_cast<Extended>(step * power) <= maxCentimetres) best = step * power;
    }
  }
  std::string label;
  if (best >= 100'000) {
    label = UnsignedDecimal(static_cast<std::uint32_t>(best / 100'000)) + " km";
  } else if (best >= 100) {
    label = UnsignedDecimal(static_cast<std::uint32_t>(best / 100)) + " m";
  } else {
    label = UnsignedDecimal(static_cast<std::uint32_t>(best)) + " cm";
  }
  return {best, label};
}

void OpenSvg(SvgFile& svg, const std::string& fileName, const TrackHeader& header) {
  svg = SvgFile{};
  CreateTextFile(svg.stream, fileName);
  CheckIo();
  svg.title = XmlText(TrackTitle(header));
  WriteText(svg.stream, kDeclaration);
  WriteText(svg.stream, std::string(kStartRoom, ' '));
  EndLine(svg.stream);
  CheckIo();
  Line(svg.stream, "<path d=\"");
}

void WriteSvgPoint(SvgFile& svg, const TrackPoint& point, std::int32_t input) {
  if (point.Lat > kMaxLatitude) {
    ++svg.leftOut;
    return;
  }
  const std::int64_t lat = point.Lat;
  const std::int64_t lon = GpxLongitudeCount(point.Lon);
  if (!svg.any) {
    svg.any = true;
    svg.lat0 = lat;
    svg.lon0 = lon;
    svg.minLat = svg.maxLat = lat;
    // At the pole the cosine is 0; a floor keeps the written x finite.
    const Extended cosine = Cosine(static_cast<Extended>(lat) / kCountsPerDegree);
    svg.xScale = cosine > 0.01L ? cosine : 0.01L;
  }
  const SvgVertex v{std::llrint(static_cast<Extended>(lon - svg.lon0) * svg.xScale),
                    svg.lat0 - lat};
  if (svg.drawn == 0) {
    svg.low = svg.high = v;
  } else {
    svg.low = {std::min(svg.low.x, v.x), std::min(svg.low.y, v.y)};
    svg.high = {std::max(svg.high.x, v.x), std::max(svg.high.y, v.y)};
  }
  svg.minLat = std::min(svg.minLat, lat);
  svg.maxLat = std::max(svg.maxLat, lat);
  ++svg.drawn;
  svg.last = v;
  if (input != svg.input) {
    // Each input is its own recording: a new subpath from its first point.
    FlushPending(svg);
    WriteVertex(svg, 'M', v);
    svg.inputStarts.push_back(v);
    svg.input = input;
    Anchor(svg, v);
    return;
  }
  AddToPath(svg, v);
}

namespace {

void WriteScaleBar(TextStream& stream, Extended metresPerPixel, Extended pictureHeight) {
  const ScaleBar bar = RoundScaleBar(200 * metresPerPixel);
  const Extended barPixels = static_cast<Extended>(bar.centimetres) / 100 / metresPerPixel;
  const Extended barY = pictureHeight - kCaptionBand - kMargin / 2;
  std::string text = "<path d=\"M";
  Number(text, kMargin, 1);
  text += ' ';
  Number(text, barY - 5, 1);
  text += "v5h";
  Number(text, barPixels, 1);
  text += "v-5\" fill=\"none\" stroke=\"#000000\" stroke-width=\"2\"/>";
  Line(stream, text);
  text = "<text x=\"";
  Number(text, kMargin + barPixels + 8, 1);
  text += "\" y=\"";
  Number(text, barY, 1);
  text +=
      "\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#000000\">" + bar.label + "</text>";
  Line(stream, text);
}

}  // namespace

void CloseSvg(SvgFile& svg, double lengthMeasuredKm) {
  FlushPending(svg);
  if (svg.leftOut != 0) {
    ConsoleLine(
        "Left out of the picture: " + SignedDecimal(static_cast<std::int32_t>(svg.leftOut)) +
        (svg.leftOut == 1 ? " point" : " points") + " with a latitude above 90 degrees");
  }

  // The fit: x in the written units is scaled by cos(first latitude); the
  // picture wants cos(middle latitude).
  const Extended middle = static_cast<Extended>(svg.minLat + svg.maxLat) / 2 / kCountsPerDegree;
  const Extended xCorrection = svg.any ? Cosine(middle) / svg.xScale : 1;
  const Extended width = static_cast<Extended>(svg.high.x - svg.low.x) * xCorrection;
  const Extended height = static_cast<Extended>(svg.high.y - svg.low.y);
  const Extended extent = width > height ? width : height;
  const Extended scale = extent > 0 ? kDrawing / extent : kPointScale;  // pixels per count
  const Extended a = scale * xCorrection;
  const Extended d = scale;
  const Extended drawnWidth = width * scale;
  const Extended drawnHeight = height * scale;
  const Extended pictureWidth =
      std::ceil(drawnWidth + 2 * kMargin > kMinWidth ? drawnWidth + 2 * kMargin : kMinWidth);
  const Extended pictureHeight = std::ceil(drawnHeight + 2 * kMargin + kCaptionBand);
  const Extended e = (pictureWidth - drawnWidth) / 2 - static_cast<Extended>(svg.low.x) * a;
  const Extended f = kMargin - static_cast<Extended>(svg.low.y) * d;
  const auto px = [&](const SvgVertex& v) { return a * static_cast<Extended>(v.x) + e; };
  const auto py = [&](const SvgVertex& v) { return d * static_cast<Extended>(v.y) + f; };

  Line(svg.stream, "\"/>");
  Line(svg.stream, "</g>");
  if (svg.any) {
    Line(svg.stream, Circle(px(svg.last), py(svg.last), 7, kEndColour));
    for (const SvgVertex& start : svg.inputStarts) {
      Line(svg.stream, Circle(px(start), py(start), 5, kStartColour));
    }
  }

  // The scale bar: a round length of at most 200 pixels, on the left of the
  // band below the track; none in a picture without points.
  if (svg.any) WriteScaleBar(svg.stream, kMetresPerCount / scale, pictureHeight);

  // The caption: the title, then the points drawn and the measured length.
  std::string text = "<text x=\"";

  Number(text, kMargin, 1);
  text += "\" y=\"";
  Number(text, pictureHeight - 40, 1);
  text +=
      "\" font-family=\"sans-serif\" font-size=\"15\" fill=\"#000000\">" + svg.title + "</text>";
  Line(svg.stream, text);
  text = "<text x=\"";
  Number(text, kMargin, 1);
  text += "\" y=\"";
  Number(text, pictureHeight - 18, 1);
  text += "\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#000000\">" +
          SignedDecimal(static_cast<std::int32_t>(svg.drawn)) +
          (svg.drawn == 1 ? " point, " : " points, ");
  Number(text, lengthMeasuredKm, 2);
  text += " km</text>";
  Line(svg.stream, text);
  Line(svg.stream, "</svg>");

  // The document's start, into the room reserved after the declaration.
  std::string start = "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  Number(start, pictureWidth, 0);
  start += "\" height=\"";
  Number(start, pictureHeight, 0);
  start += "\" viewBox=\"0 0 ";
  Number(start, pictureWidth, 0);
  start += ' ';
  Number(start, pictureHeight, 0);
  start += "\"><rect x=\"0\" y=\"0\" width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>";
  start += "<g fill=\"none\" stroke=\"";
  start += kLineColour;
  start += "\" stroke-width=\"";
  Number(start, 2 / d, 9);
  start += "\" stroke-linejoin=\"round\" stroke-linecap=\"round\" transform=\"matrix(";
  Number(start, a, 15);
  start += " 0 0 ";
  Number(start, d, 15);
  start += ' ';
  Number(start, e, 6);
  start += ' ';
  Number(start, f, 6);
  start += ")\">";
  if (start.size() > kStartRoom) RaiseFailure(kEInOutError, "SVG start longer than its room");
  FlushBuffer(svg.stream);
  CheckIo();
  SetPendingIoCode(platform::Seek(svg.stream.handle, kDeclaration.size()));
  CheckIo();
  std::size_t done = 0;
  const std::int32_t error = platform::Write(svg.stream.handle, start.data(), start.size(), done);
  SetPendingIoCode(error != 0 ? error : done < start.size() ? kIoDiskFull : 0);
  CheckIo();
  CloseTextFile(svg.stream);
  CheckIo();
}

}  // namespace pathmend
