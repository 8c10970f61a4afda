// The progress line of a long run, on a terminal's standard error. The run is
// made long by its output: a named pipe that the test reads slowly, so the
// program waits on its writes as it would on a slow disk.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "tests/e2e/e2e.h"
#include "tests/support/pty_process.h"

namespace pathmend::testing {
namespace {

using namespace std::chrono_literals;

// Reads a named pipe slowly (4 KiB every 20 ms) until told to hurry or until
// `slowFor` has passed, then to its end.
class SlowReader {
 public:
  SlowReader(std::string path, std::chrono::milliseconds slowFor)
      : thread_([this, path = std::move(path), slowFor] { Read(path, slowFor); }) {}
  ~SlowReader() {
    hurry_ = true;
    thread_.join();
  }
  void Hurry() { hurry_ = true; }
  std::size_t bytes() const { return bytes_; }

 private:
  void Read(const std::string& path, std::chrono::milliseconds slowFor) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    const auto until = std::chrono::steady_clock::now() + slowFor;
    // At most 1 KiB every 20 ms while slow (about 50 KB/s): a run that writes
    // more than the pipe holds (64 KiB) plus 50 KB then lasts the whole
    // slow time, however fast the machine is.
    char buffer[1024];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got <= 0) break;
      bytes_ += static_cast<std::size_t>(got);
      if (!hurry_ && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(20ms);
    }
    ::close(fd);
  }

  std::atomic<bool> hurry_{false};
  std::atomic<std::size_t> bytes_{0};
  std::thread thread_;
};

const std::regex kProgressLine("\r\x1b\\[Kpathmend: ([0-9]+) points read, ([0-9]+)% done");
constexpr int kPoints = 60000;

class ProgressLine : public EndToEnd {
 protected:
  void SetUp() override {
    TrackLogBuilder().Line(49283072, 8388608, 100, kPoints).WriteTo(File("in.trk"));
    ASSERT_EQ(::mkfifo(File("out.kml").c_str(), 0600), 0);
  }

  PtySetup TerminalSetup(std::vector<std::string> args) {
    PtySetup setup;
    setup.binary = PathmendBinary();
    setup.args = std::move(args);
    setup.cwd = dir.path();
    setup.env = {{"TZ", "UTC"}, {"LC_ALL", "C"}};
    return setup;
  }
};

TEST_F(ProgressLine, ShowsPointsAndShareOnATerminalAndClearsIt) {
  SlowReader reader(File("out.kml"), 20s);
  PtyProcess process(TerminalSetup({"/ok", "in.trk", "out"}));
  ASSERT_TRUE(process.ReadUntil("% done", 20000)) << process.out();
  reader.Hurry();
  EXPECT_EQ(process.Finish(), 0);
  const std::string terminal = process.out();

  // Each line shows more points and a larger share than the one before, up
  // to all points and 100 % at most.
  long lastPoints = 0;
  long lastShare = 0;
  int lines = 0;
  for (std::sregex_iterator it(terminal.begin(), terminal.end(), kProgressLine), end; it != end;
       ++it) {
    const long points = std::stol((*it)[1]);
    const long share = std::stol((*it)[2]);
    EXPECT_GE(points, lastPoints);
    EXPECT_LE(points, kPoints);
    EXPECT_GE(share, lastShare);
    EXPECT_LE(share, 100);
    lastPoints = points;
    lastShare = share;
    ++lines;
  }
  EXPECT_GE(lines, 1);
  // The share follows the bytes read: points × 20 + the header, of the file.
  EXPECT_LE(lastShare, (96 + 20 * lastPoints) * 100 / (96 + 20 * kPoints));

  // Take the progress lines out: what is left is the console text as a pipe
  // gets it, and the last line was cleared.
  ASSERT_GE(terminal.size(), 4u);
  EXPECT_EQ(terminal.substr(terminal.size() - 4), "\r\x1b[K");
  std::string withoutProgress = std::regex_replace(terminal, kProgressLine, "");
  withoutProgress = std::regex_replace(withoutProgress, std::regex("\r\x1b\\[K"), "");
  std::filesystem::remove(File("out.kml"));
  const RunResult pipe = Run({"/ok", "in.trk", "out"});
  EXPECT_EQ(withoutProgress, pipe.out);
  EXPECT_EQ(pipe.err, "");
}

TEST_F(ProgressLine, NeverInVerboseMode) {
  SlowReader reader(File("out.kml"), 1500ms);
  const auto start = std::chrono::steady_clock::now();
  PtyProcess process(TerminalSetup({"/v", "/ok", "/l:3000", "in.trk", "out"}));
  ASSERT_TRUE(process.ReadUntil("Ready.\r\n", 30000)) << process.out().size();
  EXPECT_GE(std::chrono::steady_clock::now() - start, 1s) << "the run was not slowed down";
  process.Send("\n");
  EXPECT_EQ(process.Finish(), 0);
  EXPECT_EQ(process.out().find("points read"), std::string::npos);
  EXPECT_EQ(process.out().find("\x1b"), std::string::npos);
}

TEST_F(ProgressLine, NeverOnAPipeOrFile) {
  SlowReader reader(File("out.kml"), 1500ms);
  const auto start = std::chrono::steady_clock::now();
  const RunResult result = Run({"/ok", "in.trk", "out"});
  EXPECT_GE(std::chrono::steady_clock::now() - start, 1s) << "the run was not slowed down";
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out.find("points read"), std::string::npos);
}

}  // namespace
}  // namespace pathmend::testing
