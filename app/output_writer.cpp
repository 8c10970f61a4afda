#include "app/output_writer.h"

#include <array>

#include "export/file_name.h"
#include "export/gtm_writer.h"
#include "export/kml_writer.h"

namespace pathmend {

namespace {

std::string SameName(const std::string& argument) { return argument; }
template <const char* Extension>
std::string NewExtension(const std::string& argument) {
  return ReplaceExtension(argument, Extension);
}
constexpr char kKml[] = ".kml";
constexpr char kTxt[] = ".txt";
constexpr char kGpx[] = ".gpx";
constexpr char kSvg[] = ".svg";

TrackFile* NoRepair(Output&) { return nullptr; }

// A text export that a failure interrupts keeps the lines it completed: the
// text still in its buffer is written out, the file is not closed and gets no
// closing text. Not after a lost block, though: the buffer's text would then
// land after the gap.
void KeepLines(TextStream& stream) {
  if (!stream.writeFailed) FlushBuffer(stream);
  PendingIoCode = 0;
}

// Track log: the argument's name unchanged; the header with the new name and
// type first, every point's 20 bytes as read; each record goes straight to
// the file, so a failure leaves every record written before it.
constexpr OutputWriter kTrackLogRow{
    "Output format: Vantira Tracklog",
    SameName,
    [](Output& out, const std::string& name, TrackHeader& header, const RunOptions& options) {
      out.trackLog = CreateTrackOutput(name);
      if (RenameGiven(options)) SetName(header, options.Rename);
      if (options.NewType != -1) header.TrackType = options.NewType;
      WriteHeader(out.trackLog, header);
    },
    [](Output& out, const TrackPoint& point, std::int32_t) { WritePoint(out.trackLog, point); },
    [](Output& out) -> TrackFile* { return &out.trackLog; },
    [](Output& out, const TrackHeader&, const RunTotals&) { CloseTrackFile(out.trackLog); },
    [](Output&) {},
};

constexpr OutputWriter kKmlRow{
    "Output format: Google Earth KML",
    NewExtension<kKml>,
    [](Output& out, const std::string& name, TrackHeader& header, const RunOptions&) {
      OpenKml(out.text, name, header);
    },
    [](Output& out, const TrackPoint& point, std::int32_t) { WriteKmlPoint(out.text, point); },
    NoRepair,
    [](Output& out, const TrackHeader&, const RunTotals&) { CloseKml(out.text); },
    [](Output& out) { KeepLines(out.text); },
};

constexpr OutputWriter kGtmRow{
    "Output format: GPS TrackMaker Text Format",
    NewExtension<kTxt>,
    [](Output& out, const std::string& name, TrackHeader&, const RunOptions&) {
      OpenGtm(out.text, name);
    },
    [](Output& out, const TrackPoint& point, std::int32_t) { WriteGtmPoint(out.text, point); },
    NoRepair,
    [](Output& out, const TrackHeader& last, const RunTotals&) { CloseGtm(out.text, last); },
    [](Output& out) { KeepLines(out.text); },
};

constexpr OutputWriter kGpxRow{
    "Output format: GPX 1.1",
    NewExtension<kGpx>,
    [](Output& out, const std::string& name, TrackHeader& header, const RunOptions&) {
      OpenGpx(out.gpx, name, header);
    },
    [](Output& out, const TrackPoint& point, std::int32_t input) {
      WriteGpxPoint(out.gpx, point, input);
    },
    NoRepair,
    [](Output& out, const TrackHeader&, const RunTotals&) { CloseGpx(out.gpx); },
    [](Output& out) { KeepLines(out.gpx.stream); },
};

// The picture's start is written at the end: after a failure the file holds
// the completed path lines without it.
constexpr OutputWriter kSvgRow{
    "Output format: SVG picture",
    NewExtension<kSvg>,
    [](Output& out, const std::string& name, TrackHeader& header, const RunOptions&) {
      OpenSvg(out.svg, name, header);
    },
    [](Output& out, const TrackPoint& point, std::int32_t input) {
      WriteSvgPoint(out.svg, point, input);
    },
    NoRepair,
    [](Output& out, const TrackHeader&, const RunTotals& totals) {
      CloseSvg(out.svg, totals.lengthMeasured);
    },
    [](Output& out) { KeepLines(out.svg.stream); },
};

// Indexed by OutputFormat.
constexpr std::array<const OutputWriter*, 5> kWriters = {&kTrackLogRow, &kKmlRow, &kGtmRow,
                                                         &kGpxRow, &kSvgRow};
static_assert(static_cast<int>(OutputFormat::TrackLog) == 0 &&
              static_cast<int>(OutputFormat::Kml) == 1 &&
              static_cast<int>(OutputFormat::GtmText) == 2 &&
              static_cast<int>(OutputFormat::Gpx) == 3 && static_cast<int>(OutputFormat::Svg) == 4);

}  // namespace

const OutputWriter& WriterFor(OutputFormat format) {
  return *kWriters[static_cast<std::size_t>(format)];
}

}  // namespace pathmend
