#include "app/progress.h"

#include <utility>

#include "platform/platform.h"
#include "runtime/number_text.h"

namespace pathmend {

namespace {

constexpr std::uint64_t kQuietMs = 1000;  // a run shorter than this shows nothing
constexpr std::uint64_t kRedrawMs = 200;  // the line changes at most this often
// Carriage return, then "erase to the end of the line".
constexpr std::string_view kClear = "\r\x1b[K";

void WriteError(std::string_view text) {
  std::size_t done = 0;
  platform::Write(platform::StandardError(), text.data(), text.size(), done);
}

// Reads the inputs' sizes once, when the line is first shown.
void MeasureInputs(Progress& progress) {
  progress.bytesBefore.clear();
  progress.totalBytes = 0;
  for (const std::string& name : progress.inputs) {
    progress.bytesBefore.push_back(progress.totalBytes);
    progress.totalBytes += platform::SizeOfFile(name);
  }
}

}  // namespace

void StartProgress(Progress& progress, std::vector<std::string> inputs, bool verbose) {
  progress = Progress{};
  progress.enabled = !verbose && platform::IsTerminal(platform::StandardError());
  progress.inputs = std::move(inputs);
  progress.untilClock = kProgressClockPoints;
  if (progress.enabled) progress.startMs = platform::MonotonicMilliseconds();
}

void UpdateProgress(Progress& progress, std::int32_t pointsRead, std::int32_t inputNumber,
                    std::uint64_t position) {
  progress.untilClock = kProgressClockPoints;
  const std::uint64_t now = platform::MonotonicMilliseconds();
  if (now - progress.startMs <= kQuietMs) return;
  if (progress.shown && now - progress.lastShownMs < kRedrawMs) return;
  if (progress.bytesBefore.empty()) MeasureInputs(progress);
  progress.lastShownMs = now;

  std::string line(kClear);
  line += "pathmend: ";
  line += UnsignedDecimal(static_cast<std::uint32_t>(pointsRead));
  line += " points read";
  const auto index = static_cast<std::size_t>(inputNumber - 1);
  if (progress.totalBytes > 0 && index < progress.bytesBefore.size()) {
    std::uint64_t percent = (progress.bytesBefore[index] + position) * 100 / progress.totalBytes;
    if (percent > 100) percent = 100;  // an input that grew while it was read
    line += ", ";
    line += UnsignedDecimal(static_cast<std::uint32_t>(percent));
    line += "% done";
  }
  WriteError(line);
  progress.shown = true;
}

void ClearProgress(Progress& progress) {
  if (!progress.shown) return;
  WriteError(kClear);
  progress.shown = false;
}

}  // namespace pathmend
