// A failure at every operation: representative runs are repeated with the
// Nth operating-system call made to fail, for every N the complete run
// makes, with a full disk (112) and a device error (1117); then with a
// failing allocation at every allocation; then with each processor fault
// that can be provoked on purpose. The program under test is
// pathmend_faulty, a test-only build with the injection linked in.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

std::string FaultyBinary() { return PATHMEND_FAULTY_PATH; }

struct Injected {
  RunResult result;
  long calls = 0;
  long allocations = 0;
  std::string failedName;  // the call made to fail: open, read, write, ...
  int failedFd = -1;
};

struct SweepCase {
  const char* name;
  std::vector<std::string> args;
  const char* output;  // the file the run writes
  bool trackLog;
};

void PrintTo(const SweepCase& c, std::ostream* os) { *os << c.name; }

const std::vector<std::uint8_t>& FirstInput() {
  static const auto bytes =
      TrackLogBuilder().Name("First").Line(49283072, 8388608, 700, 20).Bytes();
  return bytes;
}
const std::vector<std::uint8_t>& SecondInput() {
  static const auto bytes = TrackLogBuilder()
                                .Name("Second")
                                .Line(50331648, 9388608, 900, 8, 128000000000000000ULL)
                                .Bytes();
  return bytes;
}

class FaultInjection : public EndToEnd {
 protected:
  TempDir logDir;  // the injection's log lives outside the run's folder

  void SetUp() override {
    PATHMEND_LINUX_ONLY("the test-only build with injected failures is a Linux program");
    WriteFileBytes(File("a.trk"), FirstInput());
    WriteFileBytes(File("b.trk"), SecondInput());
  }

  // Runs pathmend_faulty with the settings, after removing everything but
  // the inputs.
  Injected RunInjected(const std::string& settings, const std::vector<std::string>& args) {
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = entry.path().filename().string();
      if (name != "a.trk" && name != "b.trk") std::filesystem::remove_all(entry.path());
    }
    const std::string log = logDir.File("log");
    std::vector<std::string> all = {settings + (settings.empty() ? "" : ",") + "log=" + log};
    all.insert(all.end(), args.begin(), args.end());
    RunSetup setup;
    setup.binary = FaultyBinary();
    Injected injected;
    injected.result = Run(all, setup);
    std::ifstream in(log);
    std::string word;
    while (in >> word) {
      if (word == "calls") in >> injected.calls;
      if (word == "allocations") in >> injected.allocations;
      if (word == "failed") in >> injected.failedName >> injected.failedFd;
    }
    std::filesystem::remove(log);
    return injected;
  }

  // The inputs are unchanged, and nothing but the output was created.
  void ExpectFilesSafe(const std::string& output) {
    EXPECT_EQ(ReadFileBytes(File("a.trk")), FirstInput());
    EXPECT_EQ(ReadFileBytes(File("b.trk")), SecondInput());
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name == "a.trk" || name == "b.trk" || name == output) << "created " << name;
    }
  }

  // The output of a run that ended on a failure: absent, or a prefix of the
  // complete output in whole records (a track log, whose header may still be
  // the unrepaired first one) or in whole lines or whole 128-byte blocks (a
  // text export).
  void ExpectCleanPrefix(const SweepCase& c, const std::vector<std::uint8_t>& complete) {
    if (!std::filesystem::exists(File(c.output))) return;
    const auto output = ReadFileBytes(File(c.output));
    if (c.trackLog) {
      if (output.empty()) return;  // the header write itself failed
      ASSERT_GE(output.size(), 96U);
      EXPECT_EQ((output.size() - 96) % 20, 0U) << output.size();
      const std::vector<std::uint8_t> header(output.begin(), output.begin() + 96);
      const bool headerKnown = std::equal(header.begin(), header.end(), complete.begin()) ||
                               std::equal(header.begin(), header.end(), FirstInput().begin());
      EXPECT_TRUE(headerKnown) << "the output's header is neither the first nor the repaired one";
      ASSERT_LE(output.size(), complete.size());
      EXPECT_TRUE(std::equal(output.begin() + 96, output.end(), complete.begin() + 96));
    } else {
      ASSERT_LE(output.size(), complete.size());
      EXPECT_TRUE(std::equal(output.begin(), output.end(), complete.begin()));
      const bool wholeLines =
          output.empty() ||
          (output.size() >= 2 && output[output.size() - 2] == '\r' && output.back() == '\n');
      EXPECT_TRUE(wholeLines || output.size() % 128 == 0) << output.size() << " bytes";
    }
  }
};

class EveryCall : public FaultInjection, public ::testing::WithParamInterface<SweepCase> {};

// The report's message for a code, from the message table: the two codes
// used here have no message of their own.
std::string IoErrorText(int code) { return "I/O error " + std::to_string(code) + "."; }

TEST_P(EveryCall, FailureAtEveryOperationEndsTheRunCleanly) {
  const SweepCase& c = GetParam();
  const Injected complete = RunInjected("", c.args);
  ASSERT_EQ(complete.result.exitCode, 0) << complete.result.out;
  ASSERT_GT(complete.calls, 10);
  const auto completeOutput = ReadFileBytes(File(c.output));
  const std::string& completeConsole = complete.result.out;
  int endedOnFailure = 0;
  int discardedByGuard = 0;

  for (const int code : {112, 1117}) {
    for (long n = 1; n <= complete.calls; ++n) {
      SCOPED_TRACE("code " + std::to_string(code) + ", call " + std::to_string(n));
      const Injected run =
          RunInjected("fail=" + std::to_string(n) + ",code=" + std::to_string(code), c.args);
      ASSERT_FALSE(run.failedName.empty()) << "call " << n << " was not made";
      SCOPED_TRACE("failed " + run.failedName + " on descriptor " + std::to_string(run.failedFd));
      ExpectFilesSafe(c.output);
      const std::string& out = run.result.out;

      if (run.result.exitCode == 0) {
        // Only a console block written inside the guarded track report: the
        // guard discards the failure and skips the rest of the report
        // block. The console is the complete text with one piece cut out,
        // from a 128-byte block boundary, the lost block at least; the
        // files are complete.
        ASSERT_TRUE(run.failedName == "write" && run.failedFd == 1) << out;
        ASSERT_GE(completeConsole.size(), out.size() + 128);
        std::size_t same = 0;
        while (same < out.size() && out[same] == completeConsole[same]) ++same;
        const std::size_t cut = same / 128 * 128;
        EXPECT_EQ(out.substr(0, cut), completeConsole.substr(0, cut));
        EXPECT_TRUE(completeConsole.ends_with(out.substr(cut))) << out;
        EXPECT_EQ(ReadFileBytes(File(c.output)), completeOutput);
        ++discardedByGuard;
        continue;
      }

      ASSERT_EQ(run.result.exitCode, 1) << out;
      ++endedOnFailure;
      // The console: what the complete run printed up to some point, then
      // the report. A failed standard-output check (fstat) is code 105.
      const std::string text = ReplaceAddress(out);
      std::string message = IoErrorText(code);
      if (run.failedName == "fstat" && text.find(IoErrorText(105)) != std::string::npos) {
        message = IoErrorText(105);
      }
      const std::string report =
          "Exception EInOutError in module pathmend_faulty at XXXXXXXX.\r\n" + message + "\r\n\r\n";
      // A failed console write leaves no report that can be seen.
      if (run.failedFd == 1 && text.size() < report.size()) continue;
      ASSERT_GE(text.size(), report.size()) << text;
      EXPECT_EQ(text.substr(text.size() - report.size()), report);
      const std::string before = text.substr(0, text.size() - report.size());
      if (run.failedName == "write" && run.failedFd == 1) {
        // A lost console block: the text before it, then what the rest of
        // the failing statement put into the emptied buffer (the failing
        // item's own rest is dropped), written out before the report.
        std::size_t same = 0;
        while (same < before.size() && before[same] == completeConsole[same]) ++same;
        const std::size_t blocks = same / 128 * 128;
        const std::string tail = before.substr(blocks);
        EXPECT_LT(tail.size(), 128U) << before;
        EXPECT_TRUE(tail.empty() || completeConsole.find(tail, blocks) != std::string::npos)
            << tail;
      } else {
        EXPECT_EQ(before, completeConsole.substr(0, before.size()));
      }
      ExpectCleanPrefix(c, completeOutput);
    }
  }
  EXPECT_GT(endedOnFailure, 0);
  RecordProperty("discarded_by_guard", discardedByGuard);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, EveryCall,
    ::testing::Values(
        SweepCase{"TrackLogOneInput", {"a.trk", "out.trk"}, "out.trk", true},
        SweepCase{"TrackLogTwoInputsVerboseCut",
                  {"/v", "/f:3", "/l:15", "a.trk", "b.trk", "out.trk"},
                  "out.trk",
                  true},
        SweepCase{
            "KmlTwoInputsCut", {"/ok", "/f:2", "a.trk", "b.trk", "out.kml"}, "out.kml", false},
        SweepCase{"KmlVerbose", {"/ok", "/v", "a.trk", "out.kml"}, "out.kml", false},
        SweepCase{
            "GtmTwoInputsVerbose", {"/ox", "/v", "a.trk", "b.trk", "out.txt"}, "out.txt", false},
        SweepCase{"GtmCut", {"/ox", "/l:5", "a.trk", "out.txt"}, "out.txt", false}),
    [](const ::testing::TestParamInfo<SweepCase>& row) { return std::string(row.param.name); });

// Out of memory: the Nth allocation fails, for every N of the run. The run
// ends with EOutOfMemory, unless the allocation was inside the guarded track
// report, whose guard discards it; then only the report block is cut short.
TEST_F(FaultInjection, FailingAllocationAtEveryPoint) {
  const SweepCase c{"TrackLog", {"/f:2", "a.trk", "b.trk", "out.trk"}, "out.trk", true};
  const Injected complete = RunInjected("", c.args);
  ASSERT_EQ(complete.result.exitCode, 0);
  ASSERT_GT(complete.allocations, 3);
  const auto completeOutput = ReadFileBytes(File(c.output));
  const std::string report =
      "Exception EOutOfMemory in module pathmend_faulty at 00000000.\r\nOut of memory.\r\n\r\n";
  // The first allocation is the one that takes the executable's name: when
  // it fails, the report names the program by its default name.
  const std::string firstReport =
      "Exception EOutOfMemory in module pathmend at 00000000.\r\nOut of memory.\r\n\r\n";
  int reported = 0;
  for (long n = 1; n <= complete.allocations; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n));
    const Injected run = RunInjected("alloc=" + std::to_string(n), c.args);
    ExpectFilesSafe(c.output);
    if (run.result.exitCode == 0) {
      EXPECT_EQ(ReadFileBytes(File(c.output)), completeOutput);
      EXPECT_TRUE(run.result.out.starts_with(kBanner));
      continue;
    }
    ASSERT_EQ(run.result.exitCode, 1) << run.result.out;
    ++reported;
    const std::string& expected = n == 1 ? firstReport : report;
    ASSERT_TRUE(run.result.out.ends_with(expected)) << run.result.out;
    const std::string before = run.result.out.substr(0, run.result.out.size() - expected.size());
    EXPECT_EQ(before, complete.result.out.substr(0, before.size()));
    ExpectCleanPrefix(c, completeOutput);
  }
  EXPECT_GT(reported, 0);
}

// A heap that stays exhausted from the Nth allocation on, for every N: the
// report itself is written without allocating. Inside the guarded track
// report the guard discards the failure, and a track log run needs no more
// memory after it.
TEST_F(FaultInjection, ExhaustedHeapIsReported) {
  const std::vector<std::string> args = {"a.trk", "out.trk"};
  const Injected complete = RunInjected("", args);
  ASSERT_EQ(complete.result.exitCode, 0);
  const auto completeOutput = ReadFileBytes(File("out.trk"));
  int reported = 0;
  for (long from = 1; from <= complete.allocations; ++from) {
    SCOPED_TRACE(from);
    const Injected run = RunInjected("allocfrom=" + std::to_string(from), args);
    ExpectFilesSafe("out.trk");
    if (run.result.exitCode == 0) {
      EXPECT_EQ(ReadFileBytes(File("out.trk")), completeOutput);
      continue;
    }
    ++reported;
    EXPECT_EQ(run.result.exitCode, 1);
    EXPECT_TRUE(run.result.out.ends_with(std::string("Exception EOutOfMemory in module ") +
                                         (from == 1 ? "pathmend" : "pathmend_faulty") +
                                         " at 00000000.\r\nOut of memory.\r\n\r\n"))
        << run.result.out;
  }
  EXPECT_GT(reported, 1);
}

struct FaultCase {
  const char* fault;
  const char* report;  // a regular expression
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.fault; }

class ProcessorFault : public FaultInjection, public ::testing::WithParamInterface<FaultCase> {};

// The fault is provoked at the 8th operating-system call, inside the point
// loop; the console text before it comes first, then the report.
TEST_P(ProcessorFault, IsReportedWithKindMessageAndExitCodeOne) {
  const FaultCase& c = GetParam();
  const std::vector<std::string> args = {"/v", "a.trk", "out.trk"};
  const Injected complete = RunInjected("", args);
  const Injected run = RunInjected(std::string("fault=") + c.fault + ",at=8", args);
  EXPECT_EQ(run.result.exitCode, 1) << run.result.out;
  std::smatch match;
  const std::regex report(std::string("([^]*)Exception ") + c.report + "\r\n\r\n");
  ASSERT_TRUE(std::regex_match(run.result.out, match, report)) << run.result.out;
  const std::string before = match[1].str();
  EXPECT_EQ(before, complete.result.out.substr(0, before.size()));
  ExpectFilesSafe("out.trk");

  // The address of the first line names the provoking function's source.
  if (std::system("command -v addr2line >/dev/null 2>&1") != 0) return;
  const std::size_t at = run.result.out.find(" at ", before.size());
  const std::string command =
      "addr2line -e '" + FaultyBinary() + "' 0x" + run.result.out.substr(at + 4, 8);
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  char line[512] = {};
  ASSERT_NE(fgets(line, sizeof line, pipe.get()), nullptr);
  EXPECT_NE(std::string(line).find("faulty_main.cpp:"), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ProcessorFault,
    ::testing::Values(
        FaultCase{
            "read",
            "EAccessViolation in module pathmend_faulty at [0-9A-F]{8}\\.\r\nAccess violation "
            "at address [0-9A-F]{16} in module 'pathmend_faulty'\\. Read of address "
            "0000000000001008\\."},
        FaultCase{
            "write",
            "EAccessViolation in module pathmend_faulty at [0-9A-F]{8}\\.\r\nAccess violation "
            "at address [0-9A-F]{16} in module 'pathmend_faulty'\\. Write of address "
            "0000000000001008\\."},
        FaultCase{"divide",
                  "EDivByZero in module pathmend_faulty at [0-9A-F]{8}\\.\r\nDivision by zero\\."},
        FaultCase{
            "stack",
            "EStackOverflow in module pathmend_faulty at [0-9A-F]{8}\\.\r\nStack overflow\\."}),
    [](const ::testing::TestParamInfo<FaultCase>& row) { return std::string(row.param.fault); });

}  // namespace
}  // namespace pathmend::testing
