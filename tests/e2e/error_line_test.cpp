// The line on standard error that a failure adds to the report on standard
// output: "pathmend: FILE: MESSAGE", with the system's own message for the
// error in the user's language, the report's message where the system has
// none; and nothing on standard error when a run succeeds.

#include <locale.h>

#include <filesystem>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

class ErrorLine : public EndToEnd {
 protected:
  void SetUp() override {
    WriteFileBytes(File("in.trk"), TrackLogBuilder().Line(49283072, 8388608, 100, 3).Bytes());
    WriteFileBytes(File("cut.trk"),
                   TrackLogBuilder().Line(49283072, 8388608, 100, 2).Trailing(7).Bytes());
    WriteFileBytes(File("short.trk"), std::vector<std::uint8_t>(50, 1));
    std::filesystem::create_directory(File("folder"));
  }
};

struct LineCase {
  const char* name;
  std::vector<std::string> args;
  const char* report;     // the report's message, second line
  const char* file;       // the file the line on standard error names
  const char* onLinux;    // the system's message on Linux (the C library's)
  const char* onWindows;  // and on Windows (FormatMessageA, as Wine words it)
};

// The line on standard error: the program's name as the system gives it,
// the file when there is one, and the message.
std::string ErrorText(const std::string& file, const std::string& message) {
  return ModuleName() + ": " + (file.empty() ? "" : file + ": ") + message + "\n";
}

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class ErrorLineCase : public ErrorLine, public ::testing::WithParamInterface<LineCase> {};

TEST_P(ErrorLineCase, NamesTheFileAndTheSystemMessage) {
  const LineCase& c = GetParam();
  const RunResult result = Run(c.args);
  EXPECT_EQ(result.exitCode, 1);
  // The report on standard output is unchanged by the line on standard error.
  const std::string out = ReplaceAddress(result.out);
  EXPECT_NE(out.find("Exception EInOutError in module " + ModuleName() + " at XXXXXXXX.\r\n" +
                     std::string(c.report) + "\r\n\r\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(result.err, ErrorText(c.file, WindowsMode() ? c.onWindows : c.onLinux));
}

INSTANTIATE_TEST_SUITE_P(Failures, ErrorLineCase,
                         ::testing::Values(LineCase{"MissingInput",
                                                    {"day.trk", "out.trk"},
                                                    "File not found.",
                                                    "day.trk",
                                                    "No such file or directory",
                                                    "File not found."},
                                           LineCase{"MissingFolder",
                                                    {"nofolder/in.trk", "out.trk"},
                                                    "Invalid filename.",
                                                    "nofolder/in.trk",
                                                    "No such file or directory",
                                                    "Path not found."},
                                           LineCase{"FolderAsInput",
                                                    {"folder", "out.trk"},
                                                    "File access denied.",
                                                    "folder",
                                                    "Is a directory",
                                                    "Access denied."},
                                           LineCase{"SecondInputMissing",
                                                    {"in.trk", "gone.trk", "out.trk"},
                                                    "File not found.",
                                                    "gone.trk",
                                                    "No such file or directory",
                                                    "File not found."},
                                           LineCase{"ShortHeader",
                                                    {"short.trk", "out.trk"},
                                                    "Read beyond end of file.",
                                                    "short.trk",
                                                    "Read beyond end of file",
                                                    "Read beyond end of file"},
                                           LineCase{"CutRecordInSecondInput",
                                                    {"in.trk", "cut.trk", "out.trk"},
                                                    "Read beyond end of file.",
                                                    "cut.trk",
                                                    "Read beyond end of file",
                                                    "Read beyond end of file"},
                                           LineCase{"OutputIsAFolder",
                                                    {"in.trk", "folder"},
                                                    "File access denied.",
                                                    "folder",
                                                    "Is a directory",
                                                    "Access denied."},
                                           LineCase{"FullDisk",
                                                    {"in.trk", "/dev/full"},
                                                    "I/O error 112.",
                                                    "/dev/full",
                                                    "No space left on device",
                                                    "Disk full."},
                                           LineCase{"KmlInMissingFolder",
                                                    {"/ok", "in.trk", "nofolder/out"},
                                                    "Invalid filename.",
                                                    "nofolder/out.kml",
                                                    "No such file or directory",
                                                    "Path not found."}),
                         [](const ::testing::TestParamInfo<LineCase>& row) {
                           return std::string(row.param.name);
                         });

TEST_F(ErrorLine, ConsoleFailureGivesTheReportsMessage) {
  RunSetup setup;
  setup.closeStdout = true;
  const RunResult result = Run({"in.trk", "out.trk"}, setup);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, ErrorText("standard output", "I/O error 105"));
}

TEST_F(ErrorLine, FailureWithoutAFileGivesTheMessageAlone) {
  // A start time in month 13: the KML title's date fails outside the guard.
  TrackLogBuilder()
      .StartTimeRaw({0xD6, 0x07, 13, 0, 0, 0, 15, 0, 8, 0, 30, 0, 0, 0, 0, 0})
      .Point(PointSpec{49283072, 8388608, 1053, 500, 127817838000000000ULL})
      .WriteTo(File("bad.trk"));
  const RunResult result = Run({"/ok", "bad.trk", "bad.kml"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, ErrorText("", "Invalid argument to date encode"));
}

TEST_F(ErrorLine, OutputOverInputIsRefusedOnStandardErrorToo) {
  const RunResult result = Run({"in.trk", "in.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            ErrorText("", "Output file in.trk is also input file in.trk; nothing was written"));
}

TEST_F(ErrorLine, MessageIsInTheUsersLanguage) {
  const char* german = "de_DE.UTF-8";
  const locale_t locale = newlocale(LC_MESSAGES_MASK, german, static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0) ||
      !std::filesystem::exists("/usr/share/locale/de/LC_MESSAGES/libc.mo")) {
    GTEST_SKIP() << german << " or the C library's German messages are not installed";
  }
  freelocale(locale);
  RunSetup setup;
  setup.env = {{"LC_ALL", german}};
  const RunResult result = Run({"day.trk", "out.trk"}, setup);
  EXPECT_EQ(result.exitCode, 1);
  // The report keeps its fixed English text; the line speaks German.
  EXPECT_NE(result.out.find("File not found."), std::string::npos);
  EXPECT_EQ(result.err,
            ErrorText("day.trk", WindowsMode() ? "Datei nicht gefunden."
                                               : "Datei oder Verzeichnis nicht gefunden"));
}

struct SuccessCase {
  const char* name;
  std::vector<std::string> args;
};

void PrintTo(const SuccessCase& c, std::ostream* os) { *os << c.name; }

class QuietSuccess : public ErrorLine, public ::testing::WithParamInterface<SuccessCase> {};

TEST_P(QuietSuccess, WritesNothingOnStandardError) {
  const RunResult result = Run(GetParam().args);
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Runs, QuietSuccess,
    ::testing::Values(SuccessCase{"Usage", {}}, SuccessCase{"TrackLog", {"in.trk", "out.trk"}},
                      SuccessCase{"Kml", {"/ok", "in.trk", "out"}},
                      SuccessCase{"Text", {"/ox", "/f:2", "in.trk", "in.trk", "out"}},
                      SuccessCase{"Verbose", {"/v", "in.trk", "out.trk"}}),
    [](const ::testing::TestParamInfo<SuccessCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace pathmend::testing
