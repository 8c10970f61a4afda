// The one output of a run, chosen once from the format: a table with one row
// per format that says everything the run driver does differently for it.
//
// Adding a format is one writer in export/ and one row here. The refusal to
// write over an input asks the row for the file name, so it compares the
// very name the row's open creates.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/run_options.h"
#include "export/gpx_writer.h"
#include "export/svg_writer.h"
#include "process/run_totals.h"
#include "runtime/text_stream.h"
#include "tracklog/track_log.h"

namespace pathmend {

// What the open output holds; a row uses its own member.
struct Output {
  TrackFile trackLog;  // a track log
  TextStream text;     // KML or GPS TrackMaker text
  GpxFile gpx;
  SvgFile svg;
};

struct OutputWriter {
  // The console line written before the output is opened.
  std::string_view consoleLine;
  // The file the run creates, from the output argument.
  std::string (*fileName)(const std::string& outputArgument);
  // Creates the file and writes its start. `header` is the first input's; a
  // track log applies the new name and type to it (it is then the template
  // that the repair reads back).
  void (*open)(Output& output, const std::string& fileName, TrackHeader& header,
               const RunOptions& options);
  // Writes one saved point; `input` counts the inputs from 1.
  void (*writePoint)(Output& output, const TrackPoint& point, std::int32_t input);
  // The track log whose header the repair rewrites; null for an export.
  TrackFile* (*repaired)(Output& output);
  // Writes the closing text and closes. `header` is the last input's.
  void (*close)(Output& output, const TrackHeader& header, const RunTotals& totals);
  // After a failure: what the output keeps (errors are ignored).
  void (*keepOnFailure)(Output& output);
};

// The row of a format.
const OutputWriter& WriterFor(OutputFormat format);

}  // namespace pathmend
