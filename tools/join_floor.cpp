// The yardstick of the join benchmark: the system calls a join of track logs
// must make and nothing else. It reads the first input's header, creates the
// output and writes the header, then for each input reads its header and
// each point with one read and writes each point with one write, and at the
// end reads the output's header back and rewrites it.
//
// It makes its calls through the program's own seam to the system
// (platform/platform.h), which adds nothing but the call itself, so the
// same floor builds for Linux and for Windows.
//
//   join_floor IN... OUT

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace platform = pathmend::platform;

namespace {

bool ReadAll(platform::Handle file, char* bytes, std::size_t size, bool& atEnd) {
  std::size_t done = 0;
  if (platform::Read(file, bytes, size, done) != 0) return false;
  atEnd = done == 0;
  return done == size || atEnd;
}

bool WriteAll(platform::Handle file, const char* bytes, std::size_t size) {
  std::size_t done = 0;
  return platform::Write(file, bytes, size, done) == 0 && done == size;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  char header[96];
  char point[20];
  std::int32_t error = 0;
  bool atEnd = false;
  const platform::Handle first = platform::OpenExisting(argv[1], error);
  if (first == platform::kInvalidHandle || !ReadAll(first, header, 96, atEnd) || atEnd) return 1;
  platform::Close(first);
  const platform::Handle out = platform::CreateAlways(argv[argc - 1], true, error);
  if (out == platform::kInvalidHandle || !WriteAll(out, header, 96)) return 1;
  for (int i = 1; i < argc - 1; ++i) {
    const platform::Handle in = platform::OpenExisting(argv[i], error);
    if (in == platform::kInvalidHandle || !ReadAll(in, header, 96, atEnd) || atEnd) return 1;
    for (;;) {
      // The end: one call more per input, as the program's size check.
      if (!ReadAll(in, point, 20, atEnd)) return 1;
      if (atEnd) break;
      if (!WriteAll(out, point, 20)) return 1;
    }
    platform::Close(in);
  }
  if (platform::Seek(out, 0) != 0 || !ReadAll(out, header, 96, atEnd) || atEnd) return 1;
  if (platform::Seek(out, 0) != 0 || !WriteAll(out, header, 96)) return 1;
  return platform::Close(out) == 0 ? 0 : 1;
}
