#include "runtime/failure.h"

#include <gtest/gtest.h>

#include "runtime/fault_report.h"

namespace pathmend {
namespace {

TEST(IoMessage, KnownCodesAndTheGeneralForm) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {2, "File not found"},          {3, "Invalid filename"},          {4, "Too many open files"},
      {5, "File access denied"},      {100, "Read beyond end of file"}, {101, "Disk full"},
      {106, "Invalid numeric input"}, {103, "I/O error 103"},           {105, "I/O error 105"},
      {112, "I/O error 112"},         {1117, "I/O error 1117"},         {-7, "I/O error -7"},
  };
  for (const auto& [code, message] : cases) EXPECT_EQ(IoMessage(code), message) << code;
}

TEST(FailureReport, TwoLinesWithClosingStop) {
  const Failure failure{"EInOutError", "File not found", 0x1A2B, 2};
  EXPECT_EQ(FailureReport(failure, "pathmend"),
            "Exception EInOutError in module pathmend at 00001A2B.\r\nFile not found.\r\n");
}

TEST(FailureReport, NoSecondStopAndNoneForAnEmptyMessage) {
  EXPECT_EQ(FailureReport(Failure{"EConvertError", "Ends.", 0xABCDEF01, 0}, "x.exe"),
            "Exception EConvertError in module x.exe at ABCDEF01.\r\nEnds.\r\n");
  EXPECT_EQ(FailureReport(Failure{"EInvalidOp", "", 0, 0}, "m"),
            "Exception EInvalidOp in module m at 00000000.\r\n\r\n");
}

TEST(FailureReport, CutAt1023Characters) {
  const std::string report = FailureReport(Failure{"E", std::string(2000, 'm'), 0, 0}, "m");
  EXPECT_EQ(report.size(), 1023U);
}

TEST(CheckIo, RaisesOncePerPendingCodeAndClearsIt) {
  CheckIo();  // nothing pending: no failure
  SetPendingIoCode(0);
  CheckIo();
  SetPendingIoCode(5);
  try {
    CheckIo();
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind, "EInOutError");
    EXPECT_EQ(failure.message, "File access denied");
    EXPECT_EQ(failure.ioCode, 5);
  }
  EXPECT_EQ(PendingIoCode, 0);
  CheckIo();
}

TEST(CheckIo, CarriesTheFileOfTheFailedOperation) {
  SetPendingIoCode(kIoReadBeyondEnd, "day.trk");
  try {
    CheckIo();
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.file, "day.trk");
    // The program's own code has no system message: the report's says it.
    EXPECT_EQ(failure.systemMessage, "");
  }
  // A later code without a file does not keep the earlier file.
  SetPendingIoCode(kIoNotOpenForOutput);
  try {
    CheckIo();
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.file, "");
  }
}

struct LineCase {
  const char* name;
  Failure failure;
  const char* line;
};

TEST(ErrorLine, NamesFileAndPrefersTheSystemMessage) {
  const LineCase cases[] = {
      {"SystemMessage",
       Failure{"EInOutError", "File not found", 0, 2, "day.trk", "No such file or directory"},
       "pathmend: day.trk: No such file or directory\n"},
      {"ReportMessage", Failure{"EInOutError", "Read beyond end of file", 0, 100, "day.trk", ""},
       "pathmend: day.trk: Read beyond end of file\n"},
      {"Console", Failure{"EInOutError", "I/O error 105", 0, 105, "standard output", ""},
       "pathmend: standard output: I/O error 105\n"},
      {"NoFile", Failure{"EConvertError", "Invalid argument to date encode", 0, 0, "", ""},
       "pathmend: Invalid argument to date encode\n"},
  };
  for (const LineCase& c : cases) {
    char line[256];
    const std::size_t size =
        FormatErrorLine(line, sizeof line, "pathmend", c.failure.file, ErrorLineMessage(c.failure));
    EXPECT_EQ(std::string(line, size), c.line) << c.name;
  }
  // Cut to the room, with the line feed kept.
  char small[12];
  const std::size_t size = FormatErrorLine(small, sizeof small, "pathmend", "day.trk", "long");
  EXPECT_EQ(std::string(small, size), "pathmend: d\n");
}

}  // namespace
}  // namespace pathmend
