// The yardstick of the export benchmarks: the system calls a streamed export
// must make and nothing else. It reads the track log's header, then each
// point with one read, and writes the given bytes (the file the export wrote)
// in 128-byte blocks as they fall due, at the same pace as the points are
// read, with the tail at the end.
//
//   export_floor IN.trk BYTES OUT

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  // The bytes to write, loaded before the measured work begins in earnest
  // (a few large reads).
  const int source = open(argv[2], O_RDONLY);
  struct stat info {};
  if (source < 0 || fstat(source, &info) != 0) return 1;
  std::vector<char> bytes(static_cast<std::size_t>(info.st_size));
  std::size_t loaded = 0;
  while (loaded < bytes.size()) {
    const ssize_t got = read(source, bytes.data() + loaded, bytes.size() - loaded);
    if (got <= 0) return 1;
    loaded += static_cast<std::size_t>(got);
  }
  close(source);

  const int in = open(argv[1], O_RDWR);
  struct stat inInfo {};
  if (in < 0 || fstat(in, &inInfo) != 0) return 1;
  const std::size_t points = (static_cast<std::size_t>(inInfo.st_size) - 96) / 20;
  const int out = open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (out < 0) return 1;
  char header[96];
  char point[20];
  if (read(in, header, 96) != 96) return 1;
  std::size_t written = 0;
  for (std::size_t i = 0; i < points; ++i) {
    if (read(in, point, 20) != 20) return 1;
    const std::size_t due = bytes.size() / points * (i + 1);
    while (written + 128 <= due) {
      if (write(out, bytes.data() + written, 128) != 128) return 1;
      written += 128;
    }
  }
  while (written + 128 <= bytes.size()) {
    if (write(out, bytes.data() + written, 128) != 128) return 1;
    written += 128;
  }
  if (written < bytes.size()) {
    const auto tail = static_cast<ssize_t>(bytes.size() - written);
    if (write(out, bytes.data() + written, static_cast<std::size_t>(tail)) != tail) return 1;
  }
  close(in);
  return close(out) == 0 ? 0 : 1;
}
