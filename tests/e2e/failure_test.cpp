// Failures end the run with the two-line report on standard output and exit
// code 1; files keep what was written before the failure.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

class Failures : public EndToEnd {
 protected:
  std::vector<std::uint8_t> ThreePoints() {
    return TrackLogBuilder().Line(49283072, 8388608, 100, 3).Bytes();
  }
};

struct OpenFailureCase {
  const char* name;
  std::vector<std::string> args;
  bool outputCreated;  // the failure comes after the output was created
  const char* message;
};

void PrintTo(const OpenFailureCase& c, std::ostream* os) { *os << c.name; }

class OpenFailure : public Failures, public ::testing::WithParamInterface<OpenFailureCase> {};

TEST_P(OpenFailure, ReportsTheSystemErrorAsItsMessage) {
  const OpenFailureCase& c = GetParam();
  WriteFileBytes(File("in.trk"), ThreePoints());
  std::filesystem::create_directory(File("folder"));
  WriteFileBytes(File("short.trk"), std::vector<std::uint8_t>(50, 1));
  WriteFileBytes(File("empty.trk"), {});
  const RunResult result = Run(c.args);
  EXPECT_EQ(result.exitCode, 1);
  std::string expected = kBanner;
  if (c.outputCreated) expected += kTrackLogFormatLine;
  expected += FailureText("EInOutError", c.message);
  EXPECT_EQ(ReplaceAddress(result.out), expected);
  EXPECT_EQ(ReadFileBytes(File("in.trk")), ThreePoints());
  if (!c.outputCreated) {
    EXPECT_FALSE(std::filesystem::exists(File("out.trk")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenFailure,
    ::testing::Values(
        OpenFailureCase{"MissingInput", {"missing.trk", "out.trk"}, false, "File not found."},
        OpenFailureCase{
            "MissingFolder", {"nofolder/in.trk", "out.trk"}, false, "Invalid filename."},
        OpenFailureCase{"FolderAsInput", {"folder", "out.trk"}, false, "File access denied."},
        OpenFailureCase{"ShortHeader", {"short.trk", "out.trk"}, false, "Read beyond end of file."},
        OpenFailureCase{"EmptyInput", {"empty.trk", "out.trk"}, false, "Read beyond end of file."},
        OpenFailureCase{"FolderAsOutput", {"in.trk", "folder"}, true, "File access denied."},
        OpenFailureCase{
            "OutputInMissingFolder", {"in.trk", "nofolder/out.trk"}, true, "Invalid filename."},
        OpenFailureCase{"FullDisk", {"in.trk", "/dev/full"}, true, "I/O error 112."}),
    [](const ::testing::TestParamInfo<OpenFailureCase>& row) {
      return std::string(row.param.name);
    });

TEST_F(Failures, PartialLastRecordKeepsHeaderAndEarlierPoints) {
  const auto complete = ThreePoints();
  auto input = TrackLogBuilder().Line(49283072, 8388608, 100, 3).PointCount(9).Trailing(7).Bytes();
  WriteFileBytes(File("in.trk"), input);
  const RunResult result = Run({"in.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), kBanner + kTrackLogFormatLine + kCrLf +
                                            Report("in.trk", 9) + kSeparatorLine +
                                            FailureText("EInOutError", "Read beyond end of file."));
  // The first header, unrepaired (count 9), and the three whole points.
  const std::vector<std::uint8_t> expected(input.begin(), input.end() - 7);
  EXPECT_EQ(ReadFileBytes(File("out.trk")), expected);
}

TEST_F(Failures, FailureInSecondInputKeepsPointsOfTheFirst) {
  const auto first = ThreePoints();
  WriteFileBytes(File("a.trk"), first);
  const RunResult result = Run({"a.trk", "missing.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), kBanner + kTrackLogFormatLine + kCrLf + Report("a.trk", 3) +
                                            kSeparatorLine +
                                            FailureText("EInOutError", "File not found."));
  EXPECT_EQ(ReadFileBytes(File("out.trk")), first);
}

TEST_F(Failures, TooManyOpenFiles) {
  PATHMEND_LINUX_ONLY("a limit on open descriptors");
  WriteFileBytes(File("in.trk"), ThreePoints());
  // Standard input, output and error take descriptors 0 to 2, the output
  // takes 3: with a limit of 4 the second opening of the input fails.
  RunSetup setup;
  setup.openFileLimit = 4;
  const RunResult result = Run({"in.trk", "out.trk"}, setup);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), kBanner + kTrackLogFormatLine + kCrLf +
                                            FailureText("EInOutError", "Too many open files."));
}

TEST_F(Failures, ClosedStandardOutputEndsTheRunWithoutTouchingFiles) {
  const auto input = ThreePoints();
  WriteFileBytes(File("in.trk"), input);
  RunSetup setup;
  setup.closeStdout = true;
  const RunResult result = Run({"in.trk", "out.trk"}, setup);
  EXPECT_EQ(result.exitCode, 1);
  // Nothing reaches the test's pipe: under Wine the launcher still holds it,
  // and the program, started without a standard output, must not find it.
  EXPECT_EQ(result.out, "");
  // The banner is the first console write: the run ends there, and no file
  // that the program opens can take standard output's place.
  EXPECT_EQ(ReadFileBytes(File("in.trk")), input);
  EXPECT_FALSE(std::filesystem::exists(File("out.trk")));
}

TEST_F(Failures, ReportFollowsEarlierOutputWhenRedirectedToAFile) {
  WriteFileBytes(File("in.trk"), ThreePoints());
  RunSetup setup;
  setup.stdoutPath = File("console.txt");
  const RunResult result = Run({"in.trk", "missing.trk", "out.trk"}, setup);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(ReadExportText(File("console.txt"))),
            kBanner + kTrackLogFormatLine + kCrLf + Report("in.trk", 3) + kSeparatorLine +
                FailureText("EInOutError", "File not found."));
}

TEST_F(Failures, AddressNamesTheFailingLineForAddr2line) {
  if (std::system("command -v addr2line >/dev/null 2>&1") != 0) GTEST_SKIP() << "no addr2line";
  const RunResult result = Run({"missing.trk", "out.trk"});
  const std::string marker = " at ";
  const std::size_t at = result.out.find(marker);
  ASSERT_NE(at, std::string::npos) << result.out;
  const std::string address = result.out.substr(at + marker.size(), 8);
  std::string command = "addr2line -e '" + PathmendBinary() + "' 0x" + address;
  if (WindowsMode()) {
    // The address is an offset from the image base; the cross tools' own
    // addr2line wants the address the image was linked for, so the base is
    // added back from the exe's header.
    const char* prefix = std::getenv("PATHMEND_WINDOWS_TOOL_PREFIX");
    if (prefix == nullptr) GTEST_SKIP() << "PATHMEND_WINDOWS_TOOL_PREFIX (the MinGW tools) not set";
    const std::string exe = std::getenv("PATHMEND_WINDOWS_EXE");
    std::unique_ptr<FILE, int (*)(FILE*)> header(
        popen((std::string(prefix) + "objdump -p '" + exe + "'").c_str(), "r"), pclose);
    ASSERT_TRUE(header);
    unsigned long long base = 0;
    char text[512];
    while (fgets(text, sizeof text, header.get()) != nullptr) {
      if (std::sscanf(text, "ImageBase %llx", &base) == 1) break;
    }
    ASSERT_NE(base, 0u);
    char absolute[32];
    std::snprintf(absolute, sizeof absolute, "%llx", base + std::stoull(address, nullptr, 16));
    command = std::string(prefix) + "addr2line -e '" + exe + "' 0x" + absolute;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  char line[512] = {};
  ASSERT_NE(fgets(line, sizeof line, pipe.get()), nullptr);
  // The open of the input is checked in the track log module.
  EXPECT_NE(std::string(line).find("track_log.cpp:"), std::string::npos) << line;
}

struct SameFileCase {
  const char* name;
  std::vector<std::string> args;
  const char* written;  // the file that would be written
  const char* input;    // the input argument it clashes with
};

void PrintTo(const SameFileCase& c, std::ostream* os) { *os << c.name; }

class SameFile : public Failures, public ::testing::WithParamInterface<SameFileCase> {};

TEST_P(SameFile, RefusesBeforeAnythingIsCreated) {
  const SameFileCase& c = GetParam();
  const auto day = ThreePoints();
  const auto other = TrackLogBuilder().Line(50331648, 8388608, 100, 2).Bytes();
  WriteFileBytes(File("day.trk"), day);
  WriteFileBytes(File("day.kml"), {'<', 'k', '>'});
  WriteFileBytes(File("day.gpx"), day);
  WriteFileBytes(File("day.svg"), day);
  WriteFileBytes(File("other.trk"), other);
  ASSERT_EQ(::link(File("day.trk").c_str(), File("hard.trk").c_str()), 0);
  ASSERT_EQ(::symlink("day.trk", File("soft.trk").c_str()), 0);
  ASSERT_EQ(::symlink("day.gpx", File("route.trk").c_str()), 0);
  const RunResult result = Run(c.args);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out),
            kBanner + FailureText("EInOutError", std::string("Output file ") + c.written +
                                                     " is also input file " + c.input +
                                                     "; nothing was written."));
  EXPECT_EQ(ReadFileBytes(File("day.trk")), day);
  EXPECT_EQ(ReadFileBytes(File("other.trk")), other);
  EXPECT_EQ(ReadExportText(File("day.kml")), "<k>");
  EXPECT_EQ(ReadFileBytes(File("day.gpx")), day);
  EXPECT_EQ(ReadFileBytes(File("day.svg")), day);
}

INSTANTIATE_TEST_SUITE_P(
    DataSafety, SameFile,
    ::testing::Values(
        SameFileCase{"SameArgument", {"day.trk", "day.trk"}, "day.trk", "day.trk"},
        SameFileCase{"SecondInput", {"other.trk", "day.trk", "day.trk"}, "day.trk", "day.trk"},
        SameFileCase{"NoInputBeforeOutput", {"/v", "day.trk"}, "day.trk", "day.trk"},
        SameFileCase{"OtherPath", {"./day.trk", "day.trk"}, "day.trk", "./day.trk"},
        SameFileCase{"HardLink", {"day.trk", "hard.trk"}, "hard.trk", "day.trk"},
        SameFileCase{"SymbolicLink", {"soft.trk", "day.trk"}, "day.trk", "soft.trk"},
        SameFileCase{"KmlWrittenOverInput", {"/ok", "day.kml", "day.trk"}, "day.kml", "day.kml"},
        SameFileCase{"GpxWrittenOverInput", {"/og", "day.gpx", "day.trk"}, "day.gpx", "day.gpx"},
        SameFileCase{"SvgWrittenOverInput", {"/os", "day.svg", "day.trk"}, "day.svg", "day.svg"},
        // The name compared is the one the writer creates: day becomes day.gpx,
        // which route.trk links to.
        SameFileCase{"GpxNameThroughALink", {"/og", "route.trk", "day"}, "day.gpx", "route.trk"}),
    [](const ::testing::TestParamInfo<SameFileCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace pathmend::testing
