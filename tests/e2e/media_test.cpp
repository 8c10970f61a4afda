// Inputs on read-only media are read; outputs there fail. A standard output
// whose reader has gone ends the run with exit code 1, not a signal.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

// A shell in the test folder with the pathmend under test as $PATHMEND.
RunSetup Shell(const std::string& shell = "/bin/sh") {
  RunSetup setup;
  setup.binary = shell;
  setup.env = {{"PATHMEND", PathmendBinary()}};
  return setup;
}

// Commands that make `folder` a read-only bind mount of itself in a private
// mount namespace of their own, then run `command` there. The host's mounts
// are not touched.
std::string OnReadOnlyMount(const std::string& folder, const std::string& command) {
  return "exec unshare -m sh -c 'mount --make-rprivate / && mount --bind " + folder + " " + folder +
         " && mount -o remount,bind,ro " + folder + " && exec " + command + "'";
}

class ReadOnlyMedium : public EndToEnd {
 protected:
  void SetUp() override {
    PATHMEND_LINUX_ONLY("a read-only bind mount in a private mount namespace");
    // Root and the unshare tool are needed; where they are not, say so.
    if (std::system("unshare -m sh -c 'mount --make-rprivate /' >/dev/null 2>&1") != 0) {
      GTEST_SKIP() << "SKIPPED: cannot make a private mount namespace here "
                      "(needs root and unshare -m); read-only media not tested";
    }
    std::filesystem::create_directory(File("ro"));
  }
};

TEST_F(ReadOnlyMedium, InputThereIsReadNormally) {
  const auto input = TrackLogBuilder().Line(49283072, 8388608, 100, 3).Bytes();
  WriteFileBytes(File("ro/in.trk"), input);
  const RunResult result =
      Run({"-c", OnReadOnlyMount("ro", "\"$PATHMEND\" ro/in.trk out.trk")}, Shell());
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out,
            kBanner + kTrackLogFormatLine + kCrLf + Report("ro/in.trk", 3) + kSeparatorLine);
  EXPECT_EQ(ReadFileBytes(File("out.trk")), input);
  EXPECT_EQ(ReadFileBytes(File("ro/in.trk")), input);
}

TEST_F(ReadOnlyMedium, OutputThereFailsWithAccessDenied) {
  const auto input = TrackLogBuilder().Line(49283072, 8388608, 100, 3).Bytes();
  WriteFileBytes(File("in.trk"), input);
  for (const char* format : {"/ot", "/ok", "/ox"}) {
    SCOPED_TRACE(format);
    const RunResult result = Run(
        {"-c", OnReadOnlyMount("ro", std::string("\"$PATHMEND\" ") + format + " in.trk ro/out")},
        Shell());
    EXPECT_EQ(result.exitCode, 1);
    const std::string formatLine = std::string(format) == "/ot" ? kTrackLogFormatLine
                                   : std::string(format) == "/ok"
                                       ? "Output format: Google Earth KML\r\n"
                                       : "Output format: GPS TrackMaker Text Format\r\n";
    EXPECT_EQ(ReplaceAddress(result.out),
              kBanner + formatLine + FailureText("EInOutError", "File access denied."));
    EXPECT_TRUE(std::filesystem::is_empty(File("ro")));
  }
  EXPECT_EQ(ReadFileBytes(File("in.trk")), input);
}

class ClosedPipe : public EndToEnd {
 protected:
  void SetUp() override { PATHMEND_LINUX_ONLY("a shell pipeline and a Linux pipe"); }

  // The run was cut short: out.trk holds the header and whole records, a
  // proper prefix of the input, which is unchanged.
  void ExpectWholeRecordsOf(const std::vector<std::uint8_t>& input) {
    const auto output = ReadFileBytes(File("out.trk"));
    ASSERT_GE(output.size(), 96U);
    EXPECT_EQ((output.size() - 96) % 20, 0U);
    EXPECT_LT(output.size(), input.size());
    EXPECT_TRUE(std::equal(output.begin(), output.end(), input.begin()));
    EXPECT_EQ(ReadFileBytes(File("in.trk")), input);
  }
};

// The reader goes away after three lines while the run still has most of its
// trace to print: the next write fails, and the run ends with exit code 1
// (its report cannot reach the closed pipe either). The output keeps whole
// records only.
TEST_F(ClosedPipe, ReaderLeavingEndsTheRunWithExitCodeOne) {
  const auto input = TrackLogBuilder().Line(49283072, 8388608, 100, 3000).Bytes();
  WriteFileBytes(File("in.trk"), input);
  // The shell and the program get the default action of SIGPIPE, as from a
  // terminal: a signal ignored when a shell starts cannot be reset in it.
  ::signal(SIGPIPE, SIG_DFL);
  const RunResult result =
      Run({"-c", "\"$PATHMEND\" /v in.trk out.trk | head -3; echo \"[${PIPESTATUS[0]}]\""},
          Shell("/bin/bash"));
  EXPECT_EQ(result.out, kBanner + "[1]\n");
  ExpectWholeRecordsOf(input);
}

// A pipe already closed at its reading end: standard output to a pipe gets
// 128-byte blocks, and the first block written outside the guarded track
// report (here in the point trace) fails; the run ends by its report, not by
// the signal.
TEST_F(ClosedPipe, WriteFailsAndEndsTheRunWithExitCodeOne) {
  const auto input = TrackLogBuilder().Line(49283072, 8388608, 100, 20).Bytes();
  WriteFileBytes(File("in.trk"), input);
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::close(ends[0]);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::chdir(dir.path().c_str()) != 0) _exit(127);
    ::dup2(ends[1], 1);
    ::close(ends[1]);
    // The program itself must not die of the signal, whatever its parent set.
    ::signal(SIGPIPE, SIG_DFL);
    const std::string binary = PathmendBinary();
    ::execl(binary.c_str(), binary.c_str(), "/v", "in.trk", "out.trk", static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(ends[1]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  ExpectWholeRecordsOf(input);
}

}  // namespace
}  // namespace pathmend::testing
