// The KML and GPS TrackMaker text exports, end to end: the whole files byte
// for byte, the console report of export runs, and what a failure leaves.

#include <algorithm>
#include <filesystem>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

const std::string kKmlFormatLine = "Output format: Google Earth KML\r\n";
const std::string kGtmFormatLine = "Output format: GPS TrackMaker Text Format\r\n";

std::string KmlPrologue(const std::string& title) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<kml xmlns=\"http://earth.google.com/kml/2.0\"><Document><Placemark><name>" +
         title +
         "</name><Style><LineStyle><color>FF00FF00</color><width>1</width></LineStyle>"
         "</Style><LineString><coordinates>\r\n";
}
const std::string kKmlEpilogue = "</coordinates></LineString></Placemark></Document></kml>\r\n";

const std::string kGtmPreamble =
    "Version,212\r\n\r\nWGS 1984 (GPS),217, 6378137, 298.257223563, 0, 0, 0\r\n"
    "USER GRID,0,0,0,0,0\r\n\r\n";
std::string GtmTrailer(const std::string& title) { return "\r\nn," + title + ",65280,1\r\n"; }

// The title of a header made by TrackLogBuilder, in the default locale.
std::string Title(const std::string& name, const std::string& start = "1/15/06 8:30:00 am") {
  return name + " (" + start + ") - Powered by Tollen";
}

std::string Summary(int tracks, const std::string& points, const std::string& lengths) {
  return kSeparatorLine + "Repair/Append: \r\n  Tracks: " + std::to_string(tracks) +
         "\r\n  Points: " + points + "\r\n  Length: " + lengths + " km\r\n";
}

// Points whose texts are exact: 47.5 and 19 degrees at 13:45:30 on 15
// January 2006 (UTC); 47.500091552734375 (15 decimals exactly, 47.500092 with
// 6) and 19.0000152587890625 (a tie at the 15th decimal); 48 and 0.0078125
// (a tie at the 6th) with the largest altitude on the last second of 2006.
const PointSpec kA{49807360, 19922944, 1053, 0, 127818063300000000ULL};
const PointSpec kB{49807456, 19922960, 0, 0, 127818063310000000ULL};
const PointSpec kC{50331648, 8192, 65535, 0, 128120831990000000ULL};
const std::string kKmlA = "19.000000000000000,47.500000000000000,105.3\r\n";
const std::string kKmlB = "19.000015258789063,47.500091552734375,0.0\r\n";
const std::string kKmlC = "0.007812500000000,48.000000000000000,6553.5\r\n";
const std::string kGtmA = "t,d,47.500000,19.000000,01/15/06,13:45:30,105.3,0\r\n";
const std::string kGtmB = "t,d,47.500092,19.000015,01/15/06,13:45:31,0.0,0\r\n";
const std::string kGtmC = "t,d,48.000000,0.007813,12/31/06,23:59:59,6553.5,0\r\n";

// A name with the markup characters and Windows-1250 letters: "Túra & <Őrség>"
// followed by "é". The KML holds it escaped and in UTF-8; the text file holds
// the stored bytes.
const std::string kRawName = "T\xFAra & <\xD5rs\xE9g> \xE9";
const std::string kKmlName = "T\xC3\xBAra &amp; &lt;\xC5\x90rs\xC3\xA9g&gt; \xC3\xA9";

class Export : public EndToEnd {
 protected:
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
      names.push_back(std::filesystem::relative(entry.path(), dir.path()).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(Export, KmlFileByteForByte) {
  const auto input = TrackLogBuilder().Name(kRawName).Point(kA).Point(kB).Point(kC).Bytes();
  WriteFileBytes(File("day.trk"), input);
  WriteFileBytes(File("day.kml"), std::vector<std::uint8_t>(1000, 'x'));  // emptied first
  const RunResult result = Run({"/ok", "day.trk", "day.kml"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock report;
  report.argument = "day.trk";
  report.points = "3";
  report.name = kRawName;  // the console shows the stored bytes
  EXPECT_EQ(result.out, kBanner + kKmlFormatLine + kCrLf + report.Text() + kSeparatorLine);
  EXPECT_EQ(ReadExportText(File("day.kml")),
            KmlPrologue(Title(kKmlName)) + kKmlA + kKmlB + kKmlC + kKmlEpilogue);
  EXPECT_EQ(ReadFileBytes(File("day.trk")), input);
  EXPECT_EQ(Files(), (std::vector<std::string>{"day.kml", "day.trk"}));
}

TEST_F(Export, TextFileByteForByte) {
  const auto input = TrackLogBuilder().Name(kRawName).Point(kA).Point(kB).Point(kC).Bytes();
  WriteFileBytes(File("day.trk"), input);
  WriteFileBytes(File("day.txt"), std::vector<std::uint8_t>(1000, 'x'));  // emptied first
  const RunResult result = Run({"/ox", "day.trk", "day.txt"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock report;
  report.argument = "day.trk";
  report.points = "3";
  report.name = kRawName;
  EXPECT_EQ(result.out, kBanner + kGtmFormatLine + kCrLf + report.Text() + kSeparatorLine);
  EXPECT_EQ(ReadExportText(File("day.txt")),
            kGtmPreamble + kGtmA + kGtmB + kGtmC + GtmTrailer(Title(kRawName)));
  EXPECT_EQ(ReadFileBytes(File("day.trk")), input);
  EXPECT_EQ(Files(), (std::vector<std::string>{"day.trk", "day.txt"}));
}

TEST_F(Export, PointTimesAreLocalAndTheTitleIsNot) {
  TrackLogBuilder().Point(kA).WriteTo(File("day.trk"));
  RunSetup setup;
  setup.env = {{"TZ", "CET-1CEST,M3.5.0,M10.5.0/3"}};  // one hour east of UTC in January
  ASSERT_EQ(Run({"/ox", "day.trk", "day.txt"}, setup).exitCode, 0);
  EXPECT_EQ(ReadExportText(File("day.txt")),
            kGtmPreamble + "t,d,47.500000,19.000000,01/15/06,14:45:30,105.3,0\r\n" +
                GtmTrailer(Title("Test")));
}

// Two inputs: one line through the points of both; the KML title is the
// first input's, the text trailer the last input's; the summary is printed
// and no track log is written or repaired.
TEST_F(Export, TwoInputsMakeOneTrack) {
  TrackLogBuilder().Name("Morning").Point(kA).Point(kB).Length(1.5).WriteTo(File("a.trk"));
  TrackLogBuilder()
      .Name("Evening & <late>")
      .StartTime(2007, 2, 3, 16, 5, 6)
      .Point(kC)
      .Length(2.25)
      .WriteTo(File("b.trk"));
  ReportBlock second;
  second.index = 2;
  second.argument = "b.trk";
  second.points = "1";
  second.name = "Evening & <late>";
  second.start = "2/3/07 4:05:06 pm";
  second.length = "2.25000";
  ReportBlock first;
  first.argument = "a.trk";
  first.points = "2";
  first.name = "Morning";
  first.length = "1.50000";
  const std::string console = kCrLf + first.Text() + kSeparatorLine + second.Text() +
                              kSeparatorLine + Summary(2, "3 -> 3", "3.75000 -> 0.01026");

  RunResult result = Run({"/ok", "a.trk", "b.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kKmlFormatLine + console);
  EXPECT_EQ(ReadExportText(File("out.kml")),
            KmlPrologue(Title("Morning")) + kKmlA + kKmlB + kKmlC + kKmlEpilogue);

  result = Run({"/ox", "a.trk", "b.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kGtmFormatLine + console);
  EXPECT_EQ(ReadExportText(File("out.txt")),
            kGtmPreamble + kGtmA + kGtmB + kGtmC +
                GtmTrailer(Title("Evening & <late>", "2/3/07 4:05:06 pm")));
  EXPECT_EQ(Files(), (std::vector<std::string>{"a.trk", "b.trk", "out.kml", "out.txt"}));
}

TEST_F(Export, NoSavedPoints) {
  TrackLogBuilder().Point(kA).Point(kB).WriteTo(File("day.trk"));
  ReportBlock report;
  report.argument = "day.trk";
  report.points = "2";
  report.cut = "-1 to 0";
  const std::string console =
      kCrLf + report.Text() + kSeparatorLine + Summary(1, "2 -> 0", "0.00000 -> 0.00000");

  RunResult result = Run({"/ok", "/l:0", "day.trk", "day"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kKmlFormatLine + console);
  EXPECT_EQ(ReadExportText(File("day.kml")), KmlPrologue(Title("Test")) + kKmlEpilogue);

  result = Run({"/ox", "/l:0", "day.trk", "day"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kGtmFormatLine + console);
  EXPECT_EQ(ReadExportText(File("day.txt")), kGtmPreamble + GtmTrailer(Title("Test")));
}

TEST_F(Export, NewNameAndTypeAreReportedButNotExported) {
  TrackLogBuilder().Name("Old").Point(kA).WriteTo(File("day.trk"));
  ReportBlock report;
  report.argument = "day.trk";
  report.points = "1";
  report.name = "Old";
  report.renamed = true;
  report.newName = "New & Improved";
  report.newType = "3 (Kedvenc)";
  const std::string console = kCrLf + report.Text() + kSeparatorLine;

  RunResult result = Run({"/ok", "/r:New & Improved", "/t:3", "day.trk", "day.kml"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kKmlFormatLine + console);
  EXPECT_EQ(ReadExportText(File("day.kml")), KmlPrologue(Title("Old")) + kKmlA + kKmlEpilogue);

  result = Run({"/ox", "/r:New & Improved", "/t:3", "day.trk", "day.txt"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kGtmFormatLine + console);
  EXPECT_EQ(ReadExportText(File("day.txt")), kGtmPreamble + kGtmA + GtmTrailer(Title("Old")));
}

TEST_F(Export, StaleCountIsSummarisedAndNoTrackLogIsWritten) {
  const auto input = TrackLogBuilder().PointCount(5).Point(kA).Point(kB).Length(1.0).Bytes();
  WriteFileBytes(File("day.trk"), input);
  const RunResult result = Run({"/ok", "day.trk", "day.trk.out"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kKmlFormatLine + kCrLf + Report("day.trk", 5, 1, "1.00000") +
                            kSeparatorLine + Summary(1, "5 -> 2", "1.00000 -> 0.01026"));
  EXPECT_EQ(ReadFileBytes(File("day.trk")), input);  // the input's header is not repaired
  EXPECT_EQ(Files(), (std::vector<std::string>{"day.trk", "day.trk.kml"}));
}

struct NameCase {
  const char* label;
  const char* option;
  const char* argument;
  const char* written;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class ExportName : public Export, public ::testing::WithParamInterface<NameCase> {};

TEST_P(ExportName, ReplacesOnlyTheFileNamesExtension) {
  const NameCase& c = GetParam();
  std::filesystem::create_directory(File("maps.old"));
  TrackLogBuilder().Point(kA).WriteTo(File("day.trk"));
  const RunResult result = Run({c.option, "day.trk", c.argument});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  std::vector<std::string> expected{"day.trk", "maps.old", c.written};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Files(), expected);
  const std::string text = ReadExportText(File(c.written));
  EXPECT_EQ(text, std::string(c.option) == "/ok"
                      ? KmlPrologue(Title("Test")) + kKmlA + kKmlEpilogue
                      : kGtmPreamble + kGtmA + GtmTrailer(Title("Test")));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExportName,
    ::testing::Values(NameCase{"KmlFromDat", "/ok", "out.dat", "out.kml"},
                      NameCase{"TextFromDat", "/ox", "out.dat", "out.txt"},
                      NameCase{"KmlKept", "/ok", "ge.kml", "ge.kml"},
                      NameCase{"KmlAdded", "/ok", "track", "track.kml"},
                      NameCase{"KmlAfterDot", "/ok", "out.", "out.kml"},
                      NameCase{"KmlInDottedFolder", "/ok", "maps.old/track", "maps.old/track.kml"},
                      NameCase{"TextInDottedFolder", "/ox", "maps.old/track", "maps.old/track.txt"},
                      NameCase{"TextInDottedFolderWithExtension", "/ox", "maps.old/t.trk",
                               "maps.old/t.txt"}),
    [](const ::testing::TestParamInfo<NameCase>& row) { return std::string(row.param.label); });

// A start time that is no date: month 13.
const std::vector<std::uint8_t> kBadStart = {0xD6, 0x07, 13, 0, 0, 0, 15, 0,
                                             8,    0,    30, 0, 0, 0, 0,  0};

TEST_F(Export, InvalidFirstStartTimeLeavesAnEmptyKmlFile) {
  TrackLogBuilder().StartTimeRaw(kBadStart).Point(kA).WriteTo(File("day.trk"));
  const RunResult result = Run({"/ok", "day.trk", "day.kml"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(
      ReplaceAddress(result.out),
      kBanner + kKmlFormatLine + FailureText("EConvertError", "Invalid argument to date encode."));
  ASSERT_TRUE(std::filesystem::exists(File("day.kml")));
  EXPECT_EQ(ReadExportText(File("day.kml")), "");
}

TEST_F(Export, InvalidLastStartTimeEndsTheTextBeforeTheTrailer) {
  TrackLogBuilder().Point(kA).Point(kB).WriteTo(File("a.trk"));
  TrackLogBuilder().StartTimeRaw(kBadStart).Point(kC).WriteTo(File("b.trk"));
  ReportBlock second;
  second.index = 2;
  second.argument = "b.trk";
  second.points = "1";
  second.start = "";  // the report's guard ends the block at the start time
  const std::string reports = kCrLf + Report("a.trk", 2) + kSeparatorLine + second.Text() +
                              kSeparatorLine + Summary(2, "3 -> 3", "0.00000 -> 0.01026");

  RunResult result = Run({"/ox", "a.trk", "b.trk", "out"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out),
            kBanner + kGtmFormatLine + reports +
                FailureText("EConvertError", "Invalid argument to date encode."));
  EXPECT_EQ(ReadExportText(File("out.txt")), kGtmPreamble + kGtmA + kGtmB + kGtmC);

  // The KML title is the first input's: the same run completes.
  result = Run({"/ok", "a.trk", "b.trk", "out"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kKmlFormatLine + reports);
  EXPECT_EQ(ReadExportText(File("out.kml")),
            KmlPrologue(Title("Test")) + kKmlA + kKmlB + kKmlC + kKmlEpilogue);
}

TEST_F(Export, InvalidFirstStartTimeIsNoFailureForTheText) {
  TrackLogBuilder().StartTimeRaw(kBadStart).Point(kA).WriteTo(File("a.trk"));
  TrackLogBuilder().Name("Last").Point(kB).WriteTo(File("b.trk"));
  const RunResult result = Run({"/ox", "a.trk", "b.trk", "out"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(ReadExportText(File("out.txt")),
            kGtmPreamble + kGtmA + kGtmB + GtmTrailer(Title("Last")));
}

// A point time from the year 10000 on cannot be written: the text ends with
// the lines before it; the KML, which has no times, is complete.
TEST_F(Export, PointTimeBeyondYear9999EndsTheTextBeforeItsLine) {
  PointSpec last = kA;
  last.time = 2650467743990000000ULL;  // 9999-12-31 23:59:59
  PointSpec beyond = kA;
  beyond.time = 2650467744000000000ULL;  // 10000-01-01 00:00:00
  TrackLogBuilder().Point(kB).Point(last).Point(beyond).WriteTo(File("day.trk"));
  const std::string reports = kCrLf + Report("day.trk", 3) + kSeparatorLine;

  RunResult result = Run({"/ox", "day.trk", "day"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out),
            kBanner + kGtmFormatLine + reports +
                FailureText("EConvertError", "Invalid argument to date encode."));
  EXPECT_EQ(ReadExportText(File("day.txt")),
            kGtmPreamble + kGtmB + "t,d,47.500000,19.000000,12/31/99,23:59:59,105.3,0\r\n");

  result = Run({"/ok", "day.trk", "day"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(ReadExportText(File("day.kml")),
            KmlPrologue(Title("Test")) + kKmlB + kKmlA + kKmlA + kKmlEpilogue);
}

// A failure in the middle of an export: every full 128-byte block and the
// completed lines still in the buffer are in the file; the closing text is
// not.
struct MidFailureCase {
  const char* label;
  const char* option;
  const char* written;
};

void PrintTo(const MidFailureCase& c, std::ostream* os) { *os << c.label; }

class MidFailure : public Export, public ::testing::WithParamInterface<MidFailureCase> {
 protected:
  bool IsKml() const { return std::string(GetParam().option) == "/ok"; }
  // The file's text after the given points.
  std::string Expected(int points) const {
    std::string text = IsKml() ? KmlPrologue(Title("Test")) : kGtmPreamble;
    const std::string lines[] = {IsKml() ? kKmlA : kGtmA, IsKml() ? kKmlB : kGtmB,
                                 IsKml() ? kKmlC : kGtmC};
    for (int i = 0; i < points; ++i) text += lines[i % 3];
    return text;
  }
};

TEST_P(MidFailure, PartialLastRecord) {
  const MidFailureCase& c = GetParam();
  TrackLogBuilder builder;
  for (int i = 0; i < 7; ++i) builder.Point(i % 3 == 0 ? kA : i % 3 == 1 ? kB : kC);
  builder.Trailing(11).WriteTo(File("day.trk"));
  const RunResult result = Run({c.option, "day.trk", "day"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), kBanner + (IsKml() ? kKmlFormatLine : kGtmFormatLine) +
                                            kCrLf + Report("day.trk", 7) + kSeparatorLine +
                                            FailureText("EInOutError", "Read beyond end of file."));
  const std::string expected = Expected(7);
  ASSERT_GT(expected.size(), 2 * 128U);  // full blocks left the buffer before the failure
  ASSERT_NE(expected.size() % 128, 0U);  // and a tail was still in it
  EXPECT_EQ(ReadExportText(File(c.written)), expected);
}

TEST_P(MidFailure, MissingSecondInput) {
  const MidFailureCase& c = GetParam();
  TrackLogBuilder().Point(kA).Point(kB).Point(kC).Point(kA).WriteTo(File("a.trk"));
  const RunResult result = Run({c.option, "a.trk", "missing.trk", "day"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), kBanner + (IsKml() ? kKmlFormatLine : kGtmFormatLine) +
                                            kCrLf + Report("a.trk", 4) + kSeparatorLine +
                                            FailureText("EInOutError", "File not found."));
  EXPECT_EQ(ReadExportText(File(c.written)), Expected(4));
}

TEST_P(MidFailure, FullDevice) {
  const MidFailureCase& c = GetParam();
  TrackLogBuilder().Point(kA).WriteTo(File("day.trk"));
  // A character device is written at the end of every line: the first line
  // fails with the system's code for a full disk.
  std::filesystem::create_symlink("/dev/full", File(c.written));
  const RunResult result = Run({c.option, "day.trk", "day"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), kBanner + (IsKml() ? kKmlFormatLine : kGtmFormatLine) +
                                            FailureText("EInOutError", "I/O error 112."));
}

INSTANTIATE_TEST_SUITE_P(Exports, MidFailure,
                         ::testing::Values(MidFailureCase{"Kml", "/ok", "day.kml"},
                                           MidFailureCase{"Text", "/ox", "day.txt"}),
                         [](const ::testing::TestParamInfo<MidFailureCase>& row) {
                           return std::string(row.param.label);
                         });

}  // namespace
}  // namespace pathmend::testing
