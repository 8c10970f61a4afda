// The progress line of a long run: on standard error, only when it is a
// terminal and the run is not verbose, once the run has taken more than a
// second. It shows the points read so far and the share of the inputs' bytes
// done, rewritten in place, and is cleared before the console report goes on
// (the report and the line share the terminal) and at the end of the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pathmend {

struct Progress {
  bool enabled = false;
  std::uint64_t startMs = 0;
  std::uint64_t lastShownMs = 0;
  std::uint32_t untilClock = 0;            // points until the clock is read again
  std::vector<std::string> inputs;         // their sizes are read when first shown
  std::vector<std::uint64_t> bytesBefore;  // bytes of the inputs before each one
  std::uint64_t totalBytes = 0;
  bool shown = false;  // the line is on the terminal now
};

// The clock is read once every this many points: a point costs far less than
// a clock reading, and a second holds hundreds of thousands of points.
inline constexpr std::uint32_t kProgressClockPoints = 1024;

// Starts the clock of the run; decides whether the line may be shown.
void StartProgress(Progress& progress, std::vector<std::string> inputs, bool verbose);

// The slow part of ProgressPoint: reads the clock and redraws the line.
void UpdateProgress(Progress& progress, std::int32_t pointsRead, std::int32_t inputNumber,
                    std::uint64_t position);

// Called for every point read: the point number, the input's number (from 1)
// and the byte position in that input.
inline void ProgressPoint(Progress& progress, std::int32_t pointsRead, std::int32_t inputNumber,
                          std::uint64_t position) {
  if (!progress.enabled || --progress.untilClock != 0) return;
  UpdateProgress(progress, pointsRead, inputNumber, position);
}

// Takes the line off the terminal, if it is shown.
void ClearProgress(Progress& progress);

}  // namespace pathmend
