// The parsed command line: the options that steer a run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pathmend {

enum class OutputFormat { TrackLog, Kml, GtmText, Gpx, Svg };

// The absence of /r is held as a one-character text, a carriage return; any
// other text, the empty one included, is a new name.
inline constexpr std::string_view kNoRename = "\r";

struct RunOptions {
  char FormatLetter =
      'A';  // 'K' KML, 'X' GPS TrackMaker text, 'G' GPX, 'S' SVG, any other a track log
  bool Verbose = false;
  bool Salvage = false;  // /s: leave out a record cut in half at the end of an input
  std::string Rename{kNoRename};
  std::int32_t First = -1;  // -1: not given
  std::int32_t Last = -1;
  std::int32_t NewType = -1;
};

inline OutputFormat FormatOf(const RunOptions& options) {
  switch (options.FormatLetter) {
    case 'K': return OutputFormat::Kml;
    case 'X': return OutputFormat::GtmText;
    case 'G': return OutputFormat::Gpx;
    case 'S': return OutputFormat::Svg;
    default: return OutputFormat::TrackLog;
  }
}

inline bool RenameGiven(const RunOptions& options) { return options.Rename != kNoRename; }

}  // namespace pathmend
