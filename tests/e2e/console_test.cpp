// The console end to end: the final wait for Enter and what it takes from
// standard input, and the same text on a terminal, a pipe and a file, with
// the open trace line shown on a terminal before the point is written.

#include <cstdlib>
#include <regex>
#include <sstream>

#include <unistd.h>

#include "tests/e2e/e2e.h"
#include "tests/support/pty_process.h"

namespace pathmend::testing {
namespace {

const PointSpec kP1{49283072, 8388608, 1053, 500, 127817838000000000ULL};
const PointSpec kP2{50331648, 8388608, 1054, 510, 127817838010000000ULL};

const std::string kTrace1 =
    "\tPoint #1 (Saved Point #1)\r\n\tLat: 47.000000000000000\r\n\tLong: 8.000000000000000\r\n"
    "\tAlt: 105.3 m\r\n\tSpeed: 50.0 km/h\r\n\tDate&Time: 1/15/06 7:30:00 am\r\n"
    "\t+ 0.00000 km\r\n" +
    kSeparatorLine;
const std::string kTrace2 =
    "\tPoint #2 (Saved Point #2)\r\n\tLat: 48.000000000000000\r\n\tLong: 8.000000000000000\r\n"
    "\tAlt: 105.4 m\r\n\tSpeed: 51.0 km/h\r\n\tDate&Time: 1/15/06 7:30:01 am\r\n"
    "\t+ 111.31949 km\r\n" +
    kSeparatorLine;

// The console text of `/v in.trk out.trk` on two points, up to "Ready.".
std::string VerboseText() {
  return kBanner + kTrackLogFormatLine + kCrLf + Report("in.trk", 2) + kSeparatorLine + kTrace1 +
         kTrace2 + kSeparatorLine + "\r\nReady.\r\n";
}

// A shell in the test folder, with the pathmend under test as $PATHMEND and
// standard input fed with `input`; its arguments are "-c" and the commands.
RunSetup ShellSetup(const std::string& input) {
  RunSetup setup;
  setup.binary = "/bin/sh";
  setup.input = input;
  setup.env = {{"PATHMEND", PathmendBinary()}};
  return setup;
}

class Console : public EndToEnd {
 protected:
  void SetUp() override { TrackLogBuilder().Point(kP1).Point(kP2).WriteTo(File("in.trk")); }
};

struct FinalReadCase {
  const char* name;
  std::string input;
  std::string left;  // what the next command still reads
};

void PrintTo(const FinalReadCase& c, std::ostream* os) { *os << c.name; }

class FinalRead : public Console, public ::testing::WithParamInterface<FinalReadCase> {};

// The wait for Enter takes the bytes up to and including the first line
// feed, or everything when none comes, and goes on at the end of input.
TEST_P(FinalRead, TakesOneLineAndLeavesTheRest) {
  PATHMEND_LINUX_ONLY("a shell shares its standard input with the program");
  const FinalReadCase& c = GetParam();
  const RunResult result =
      Run({"-c", "\"$PATHMEND\" /v in.trk out.trk; echo \"[$?]\"; exec cat"}, ShellSetup(c.input));
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, VerboseText() + "[0]\n" + c.left);
}

INSTANTIATE_TEST_SUITE_P(
    StandardInput, FinalRead,
    ::testing::Values(FinalReadCase{"AtItsEnd", "", ""}, FinalReadCase{"LineFeedOnly", "\n", ""},
                      FinalReadCase{"NoLineFeed", "no line feed", ""},
                      FinalReadCase{"RestAfterTheLineFeed", "a\nrest", "rest"},
                      FinalReadCase{"CrLfLine", "yes\r\nnext\r\n", "next\r\n"},
                      FinalReadCase{"EmptyLines", "\n\n\n", "\n\n"},
                      FinalReadCase{"ZeroByteInTheLine", std::string("a\0b\nz", 5), "z"}),
    [](const ::testing::TestParamInfo<FinalReadCase>& row) { return std::string(row.param.name); });

TEST_F(Console, WithoutVerboseStandardInputIsNotRead) {
  PATHMEND_LINUX_ONLY("a shell shares its standard input with the program");
  const RunResult result =
      Run({"-c", "\"$PATHMEND\" in.trk out.trk; echo \"[$?]\"; exec cat"}, ShellSetup("a\nrest"));
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + Report("in.trk", 2) +
                            kSeparatorLine + "[0]\na\nrest");
}

TEST_F(Console, NonBlockingStandardInputStillWaitsForEnter) {
  PATHMEND_LINUX_ONLY("non-blocking descriptors");
  // A parent may hand over a shared terminal or pipe in non-blocking mode:
  // the final read must wait for the line all the same.
  TrackLogBuilder().Line(49283072, 8388608, 100, 1).WriteTo(File("one.trk"));
  RunSetup setup;
  setup.nonBlockingStdin = true;
  setup.input = "\n";
  setup.inputDelayMs = 300;
  const RunResult result = Run({"/v", "one.trk", "out.trk"}, setup);
  EXPECT_EQ(result.exitCode, 0) << result.out;
  ASSERT_GE(result.out.size(), 8U);
  EXPECT_EQ(result.out.substr(result.out.size() - 8), "Ready.\r\n");
}

// Standard input that is closed or open only for writing: the run has done
// all its work when the final read fails, so every file is complete.
struct BadInputCase {
  const char* name;
  const char* option;
  const char* written;  // the file the run writes
  bool closed;          // closed; otherwise open for writing only
  const char* message;
};

void PrintTo(const BadInputCase& c, std::ostream* os) { *os << c.name; }

class BadInput : public Console, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInput, FailsAfterTheOutputIsComplete) {
  const BadInputCase& c = GetParam();
  if (!c.closed) PATHMEND_LINUX_ONLY("a shell hands over a write-only standard input");
  // A stale count, so that the track log output is repaired.
  TrackLogBuilder().PointCount(5).Point(kP1).Point(kP2).WriteTo(File("in.trk"));
  RunSetup enter;
  enter.input = "\n";
  const RunResult good = Run({"/v", c.option, "in.trk", "good.trk"}, enter);
  ASSERT_EQ(good.exitCode, 0) << good.out;
  const std::string goodFile = c.written == std::string("out.trk")   ? "good.trk"
                               : c.written == std::string("out.kml") ? "good.kml"
                                                                     : "good.txt";

  RunResult result;
  if (c.closed) {
    RunSetup setup;
    setup.closeStdin = true;
    result = Run({"/v", c.option, "in.trk", "out.trk"}, setup);
  } else {
    result = Run(
        {"-c", std::string("exec \"$PATHMEND\" /v ") + c.option + " in.trk out.trk 0>/dev/null"},
        ShellSetup(""));
  }

  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), good.out + FailureText("EInOutError", c.message));
  EXPECT_EQ(ReadFileBytes(File(c.written)), ReadFileBytes(File(goodFile)));
}

INSTANTIATE_TEST_SUITE_P(
    StandardInput, BadInput,
    ::testing::Values(BadInputCase{"ClosedTrackLog", "/ot", "out.trk", true, "I/O error 104."},
                      BadInputCase{"ClosedKml", "/ok", "out.kml", true, "I/O error 104."},
                      BadInputCase{"ClosedGpsTrackMaker", "/ox", "out.txt", true, "I/O error 104."},
                      // Reading a descriptor open for writing fails with the code of an
                      // invalid handle.
                      BadInputCase{"WriteOnlyTrackLog", "/ot", "out.trk", false, "I/O error 6."}),
    [](const ::testing::TestParamInfo<BadInputCase>& row) { return std::string(row.param.name); });

// A terminal session with the zone and locale of the other runs.
PtySetup TerminalSetup(const std::string& cwd, std::vector<std::string> args,
                       const std::string& binary = PathmendBinary()) {
  PtySetup setup;
  setup.binary = binary;
  setup.args = std::move(args);
  setup.cwd = cwd;
  setup.env = {{"TZ", "UTC"}, {"LC_ALL", "C"}};
  return setup;
}

struct SameTextCase {
  const char* name;
  std::vector<std::string> args;
  int exitCode;
};

void PrintTo(const SameTextCase& c, std::ostream* os) { *os << c.name; }

class SameText : public Console, public ::testing::WithParamInterface<SameTextCase> {};

TEST_P(SameText, OnATerminalAPipeAndAFile) {
  const SameTextCase& c = GetParam();
  PointSpec late = kP2;
  late.time = 2650467744000000000ULL;  // year 10000: fails with a trace line open
  TrackLogBuilder().PointCount(7).Point(kP1).Point(late).WriteTo(File("late.trk"));

  RunSetup pipeSetup;
  pipeSetup.input = "\n";
  const RunResult pipe = Run(c.args, pipeSetup);
  RunSetup fileSetup;
  fileSetup.input = "\n";
  fileSetup.stdoutPath = File("console.txt");
  const RunResult file = Run(c.args, fileSetup);

  EXPECT_EQ(pipe.exitCode, c.exitCode) << pipe.out;
  EXPECT_EQ(file.exitCode, c.exitCode);
  EXPECT_FALSE(pipe.out.empty());
  EXPECT_EQ(ReadExportText(File("console.txt")), pipe.out);
  EXPECT_EQ(pipe.err.empty(), c.exitCode == 0) << pipe.err;
  // A Wine console is not a terminal whose bytes can be compared.
  PATHMEND_LINUX_ONLY("the terminal part: a pseudo-terminal");
  const PtyResult terminal = RunUnderPty(TerminalSetup(dir.path(), c.args), "\n");
  EXPECT_EQ(terminal.exitCode, c.exitCode) << terminal.out;
  // The terminal is standard error too: it shows the failure's line after
  // the report.
  EXPECT_EQ(terminal.out, pipe.out + pipe.err);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SameText,
    ::testing::Values(SameTextCase{"Usage", {}, 0}, SameTextCase{"Copy", {"in.trk", "out.trk"}, 0},
                      SameTextCase{"VerboseJoin", {"/v", "/f:2", "in.trk", "in.trk", "out.trk"}, 0},
                      SameTextCase{"VerboseExportFailsWithATraceLineOpen",
                                   {"/v", "/ox", "in.trk", "late.trk", "out.trk"},
                                   1},
                      SameTextCase{"MissingInput", {"/v", "in.trk", "missing.trk", "out.trk"}, 1}),
    [](const ::testing::TestParamInfo<SameTextCase>& row) { return std::string(row.param.name); });

TEST_F(Console, TerminalShowsReadyAndWaitsForEnter) {
  PATHMEND_LINUX_ONLY("a pseudo-terminal");
  PtyProcess process(TerminalSetup(dir.path(), {"/v", "in.trk", "out.trk"}));
  ASSERT_TRUE(process.ReadUntil("Ready.\r\n", 20000)) << process.out();
  // Everything the run prints is on the terminal while it waits.
  EXPECT_EQ(process.out(), VerboseText());
  EXPECT_TRUE(process.StillRunningAfter(300));
  process.Send("\n");
  EXPECT_EQ(process.Finish(), 0);
  EXPECT_EQ(process.out(), VerboseText());
}

// The strace program, or empty when it is not installed.
std::string FindStrace() {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::string candidate = folder + "/strace";
    if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

struct WriteCall {
  int fd = -1;
  std::string target;  // the path behind the descriptor
  std::string data;
};

std::string Unescape(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 4 <= hex.size(); i += 4) {
    bytes += static_cast<char>(std::stoi(hex.substr(i + 2, 2), nullptr, 16));
  }
  return bytes;
}

// The write calls of an strace log made with -xx -y -s 4096.
std::vector<WriteCall> WriteCalls(const std::string& log) {
  static const std::regex kWrite(
      R"(write\((\d+)(?:<((?:\\x[0-9a-f]{2})*)>)?, "((?:\\x[0-9a-f]{2})*)\", \d+\) = \d+)");
  std::vector<WriteCall> calls;
  std::stringstream lines(log);
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch match;
    if (!std::regex_search(line, match, kWrite)) continue;
    calls.push_back({std::stoi(match[1]), Unescape(match[2]), Unescape(match[3])});
  }
  return calls;
}

std::vector<std::string> StraceArgs(const std::string& log) {
  return {"-f", "-xx",    "-y",     "-s", "4096", "-e", "trace=write", "-o", log, PathmendBinary(),
          "/v", "in.trk", "out.trk"};
}

// Where the first trace line is handed to the system, against the first
// point written to the output.
struct Order {
  std::size_t trace = 0;  // index of the console write that holds "\tPoint #1"
  std::size_t point = 0;  // index of the first 20-byte write to out.trk
  std::vector<WriteCall> calls;
};

Order OrderOf(const std::vector<WriteCall>& calls) {
  Order order;
  order.calls = calls;
  order.trace = order.point = calls.size();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const WriteCall& call = calls[i];
    if (order.trace == calls.size() && call.fd == 1 &&
        call.data.find("\tPoint #1") != std::string::npos) {
      order.trace = i;
    }
    if (order.point == calls.size() && call.data.size() == 20 && call.target.size() >= 8 &&
        call.target.compare(call.target.size() - 8, 8, "/out.trk") == 0) {
      order.point = i;
    }
  }
  return order;
}

TEST_F(Console, OpenTraceLineReachesATerminalBeforeThePointIsWritten) {
  PATHMEND_LINUX_ONLY("a pseudo-terminal");
  const std::string strace = FindStrace();
  if (strace.empty()) GTEST_SKIP() << "strace is not installed (Debian package strace)";

  const PtyResult terminal =
      RunUnderPty(TerminalSetup(dir.path(), StraceArgs(File("tty.log")), strace), "\n");
  ASSERT_EQ(terminal.exitCode, 0) << terminal.out;
  ASSERT_EQ(terminal.out, VerboseText());
  const Order onTerminal = OrderOf(WriteCalls(ReadExportText(File("tty.log"))));
  ASSERT_LT(onTerminal.trace, onTerminal.calls.size());
  ASSERT_LT(onTerminal.point, onTerminal.calls.size());
  // The open line is one statement, handed over on its own and before the
  // point is written.
  EXPECT_EQ(onTerminal.calls[onTerminal.trace].data, "\tPoint #1");
  EXPECT_LT(onTerminal.trace, onTerminal.point);
  EXPECT_EQ(onTerminal.calls[onTerminal.point + 1].data, " (Saved Point #1)");

  RunSetup pipeSetup;
  pipeSetup.binary = strace;
  pipeSetup.input = "\n";
  const RunResult pipe = Run(StraceArgs(File("pipe.log")), pipeSetup);
  ASSERT_EQ(pipe.exitCode, 0) << pipe.out;
  ASSERT_EQ(pipe.out, VerboseText());
  const Order onPipe = OrderOf(WriteCalls(ReadExportText(File("pipe.log"))));
  ASSERT_LT(onPipe.trace, onPipe.calls.size());
  ASSERT_LT(onPipe.point, onPipe.calls.size());
  // On a pipe the console text leaves in blocks of 128 bytes, the rest at
  // the end of the run.
  EXPECT_GT(onPipe.trace, onPipe.point);
  std::size_t consoleWrites = 0;
  for (const WriteCall& call : onPipe.calls) {
    if (call.fd != 1) continue;
    ++consoleWrites;
    if (consoleWrites * 128 < pipe.out.size()) {
      EXPECT_EQ(call.data.size(), 128U) << "console write " << consoleWrites;
    }
  }
  EXPECT_EQ(consoleWrites, (pipe.out.size() + 127) / 128);
}

}  // namespace
}  // namespace pathmend::testing
