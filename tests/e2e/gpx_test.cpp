// The GPX 1.1 export (/og), end to end: whole files byte for byte, the
// console of GPX runs, what a failure leaves. Every complete GPX file a test
// writes is validated against the GPX 1.1 schema with xmllint.

#include <filesystem>

#include "tests/e2e/e2e.h"
#include "tests/e2e/tools.h"

namespace pathmend::testing {
namespace {

const std::string kGpxFormatLine = "Output format: GPX 1.1\r\n";

const std::string kDocumentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" version=\"1.1\" creator=\"pathmend\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
    "http://www.topografix.com/GPX/1/1/gpx.xsd\">\r\n";

std::string TrackStart(const std::string& name, const std::string& type = "Aut\xC3\xB3") {
  return "<trk><name>" + name + " (1/15/06 8:30:00 am) - Powered by Tollen</name>" +
         (type.empty() ? "" : "<type>" + type + "</type>") + "\r\n";
}
const std::string kSegment = "<trkseg>\r\n";
const std::string kSegmentEnd = "</trkseg>\r\n";
const std::string kDocumentEnd = "</trk>\r\n</gpx>\r\n";

// The points of the KML and text tests: 47.5 N 19 E at 13:45:30 on 15
// January 2006; 47.500091552734375 N 19.0000152587890625 E a second later;
// 48 N 0.0078125 E with the largest altitude on the last second of 2006.
const PointSpec kA{49807360, 19922944, 1053, 0, 127818063300000000ULL};
const PointSpec kB{49807456, 19922960, 0, 0, 127818063310000000ULL};
const PointSpec kC{50331648, 8192, 65535, 0, 128120831990000000ULL};
const std::string kGpxA =
    "<trkpt lat=\"47.5000000\" lon=\"19.0000000\"><ele>105.3</ele>"
    "<time>2006-01-15T13:45:30Z</time></trkpt>\r\n";
const std::string kGpxB =
    "<trkpt lat=\"47.5000916\" lon=\"19.0000153\"><ele>0.0</ele>"
    "<time>2006-01-15T13:45:31Z</time></trkpt>\r\n";
const std::string kGpxC =
    "<trkpt lat=\"48.0000000\" lon=\"0.0078125\"><ele>6553.5</ele>"
    "<time>2006-12-31T23:59:59Z</time></trkpt>\r\n";

// "Túra & <Őrség> é" in Windows-1250, escaped and in UTF-8.
const std::string kRawName = "T\xFAra & <\xD5rs\xE9g> \xE9";
const std::string kXmlName = "T\xC3\xBAra &amp; &lt;\xC5\x90rs\xC3\xA9g&gt; \xC3\xA9";

class Gpx : public EndToEnd {
 protected:
  void ExpectValid(const std::string& name) {
    EXPECT_EQ(GpxSchemaErrors(dir.path(), name), "") << ReadFileText(File(name));
  }
};

TEST_F(Gpx, FileByteForByte) {
  const auto input = TrackLogBuilder().Name(kRawName).Point(kA).Point(kB).Point(kC).Bytes();
  WriteFileBytes(File("day.trk"), input);
  WriteFileBytes(File("day.gpx"), std::vector<std::uint8_t>(1000, 'x'));  // emptied first
  const RunResult result = Run({"/og", "day.trk", "day.gpx"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock report;
  report.argument = "day.trk";
  report.points = "3";
  report.name = kRawName;
  EXPECT_EQ(result.out, kBanner + kGpxFormatLine + kCrLf + report.Text() + kSeparatorLine);
  EXPECT_EQ(ReadExportText(File("day.gpx")), kDocumentStart + TrackStart(kXmlName) + kSegment +
                                                 kGpxA + kGpxB + kGpxC + kSegmentEnd +
                                                 kDocumentEnd);
  EXPECT_EQ(ReadFileBytes(File("day.trk")), input);
  ExpectValid("day.gpx");
}

// Times in UTC whatever the zone; milliseconds only when not zero; no time
// for a zeroed count or one beyond 9999; longitudes of 180 degrees and more
// west of Greenwich.
TEST_F(Gpx, TimesAndWesternLongitudes) {
  const std::uint32_t degree = 1048576;
  TrackLogBuilder()
      .Point({kA.lat, 359 * degree, 1053, 0, 127818063301230000ULL})       // .123 s, 1 W
      .Point({kA.lat, 180 * degree, 1053, 0, 0})                           // no time, 180 W
      .Point({kA.lat, 540 * degree + 1, 1053, 0, 2650467743999990000ULL})  // 180 W + 1 count
      .Point({kA.lat, 4294967295U, 1053, 0, 2650467744000000000ULL})       // 136 E, year 10000
      .Point({90 * degree, 0, 1053, 0, 127818063300009999ULL})             // the pole
      .WriteTo(File("day.trk"));
  RunSetup setup;
  setup.env = {{"TZ", "CET-1CEST,M3.5.0,M10.5.0/3"}};
  const RunResult result = Run({"/og", "day.trk", "day"}, setup);
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(ReadExportText(File("day.gpx")),
            kDocumentStart + TrackStart("Test") + kSegment +
                "<trkpt lat=\"47.5000000\" lon=\"-1.0000000\"><ele>105.3</ele>"
                "<time>2006-01-15T13:45:30.123Z</time></trkpt>\r\n"
                "<trkpt lat=\"47.5000000\" lon=\"-180.0000000\"><ele>105.3</ele></trkpt>\r\n"
                "<trkpt lat=\"47.5000000\" lon=\"-179.9999990\"><ele>105.3</ele>"
                "<time>9999-12-31T23:59:59.999Z</time></trkpt>\r\n"
                "<trkpt lat=\"47.5000000\" lon=\"135.9999990\"><ele>105.3</ele></trkpt>\r\n"
                "<trkpt lat=\"90.0000000\" lon=\"0.0000000\"><ele>105.3</ele>"
                "<time>2006-01-15T13:45:30Z</time></trkpt>\r\n" +
                kSegmentEnd + kDocumentEnd);
  ExpectValid("day.gpx");
}

// One segment per input that contributes points; a point above 90 degrees
// of latitude is left out and counted on the console after the summary; the
// measured length still includes it.
TEST_F(Gpx, SegmentsPerInputAndPointsLeftOut) {
  const PointSpec beyondPole{94371841, kA.lon, 0, 0, kA.time};  // 90 degrees + 1 count
  TrackLogBuilder().Name("Morning").Point(kA).Point(kB).WriteTo(File("a.trk"));
  TrackLogBuilder().Name("Lost").Point(beyondPole).WriteTo(File("b.trk"));
  TrackLogBuilder()
      .Name("Evening")
      .Point(beyondPole)
      .Point(kC)
      .Point(beyondPole)
      .WriteTo(File("c.trk"));
  const RunResult result = Run({"/og", "a.trk", "b.trk", "c.trk", "out.gpx"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock a, b, c;
  a.argument = "a.trk";
  a.points = "2";
  a.name = "Morning";
  b.index = 2;
  b.argument = "b.trk";
  b.points = "1";
  b.name = "Lost";
  c.index = 3;
  c.argument = "c.trk";
  c.points = "3";
  c.name = "Evening";
  const std::string blocks =
      kCrLf + a.Text() + kSeparatorLine + b.Text() + kSeparatorLine + c.Text() + kSeparatorLine;
  EXPECT_EQ(result.out.substr(0, kBanner.size() + kGpxFormatLine.size() + blocks.size()),
            kBanner + kGpxFormatLine + blocks);
  // The summary and its measured length are those of the same run writing a
  // track log, which keeps every point.
  const RunResult trackLog = Run({"a.trk", "b.trk", "c.trk", "out.trk"});
  ASSERT_EQ(trackLog.exitCode, 0) << trackLog.out;
  const std::string summary = trackLog.out.substr(trackLog.out.find("Repair/Append"));
  EXPECT_NE(summary.find("Points: 6 -> 6"), std::string::npos) << summary;
  EXPECT_EQ(result.out, kBanner + kGpxFormatLine + blocks + kSeparatorLine + summary +
                            "Left out of the GPX file: 3 points with a latitude above 90 "
                            "degrees\r\n");
  EXPECT_EQ(ReadExportText(File("out.gpx")), kDocumentStart + TrackStart("Morning") + kSegment +
                                                 kGpxA + kGpxB + kSegmentEnd + kSegment + kGpxC +
                                                 kSegmentEnd + kDocumentEnd);
  ExpectValid("out.gpx");
}

TEST_F(Gpx, NoSavedPointsAndATypeOutsideTheTable) {
  TrackLogBuilder().TrackType(12).Point(kA).WriteTo(File("day.trk"));
  const RunResult result = Run({"/og", "/l:0", "day.trk", "day"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(ReadExportText(File("day.gpx")),
            kDocumentStart + TrackStart("Test", "") + kDocumentEnd);
  ExpectValid("day.gpx");
}

// The same failure rules as the other exports: every completed line stays,
// the closing text is missing; an invalid first start time leaves the file
// empty.
TEST_F(Gpx, FailuresKeepCompletedLines) {
  TrackLogBuilder builder;
  for (int i = 0; i < 7; ++i) builder.Point(i % 3 == 0 ? kA : i % 3 == 1 ? kB : kC);
  builder.Trailing(11).WriteTo(File("day.trk"));
  RunResult result = Run({"/og", "day.trk", "day"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), kBanner + kGpxFormatLine + kCrLf + Report("day.trk", 7) +
                                            kSeparatorLine +
                                            FailureText("EInOutError", "Read beyond end of file."));
  std::string expected = kDocumentStart + TrackStart("Test") + kSegment;
  for (int i = 0; i < 7; ++i) expected += i % 3 == 0 ? kGpxA : i % 3 == 1 ? kGpxB : kGpxC;
  ASSERT_NE(expected.size() % 128, 0U);  // a tail was still in the buffer
  EXPECT_EQ(ReadExportText(File("day.gpx")), expected);

  const std::vector<std::uint8_t> badStart = {0xD6, 0x07, 13, 0, 0, 0, 15, 0,
                                              8,    0,    30, 0, 0, 0, 0,  0};
  TrackLogBuilder().StartTimeRaw(badStart).Point(kA).WriteTo(File("bad.trk"));
  result = Run({"/og", "bad.trk", "bad"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(
      ReplaceAddress(result.out),
      kBanner + kGpxFormatLine + FailureText("EConvertError", "Invalid argument to date encode."));
  ASSERT_TRUE(std::filesystem::exists(File("bad.gpx")));
  EXPECT_EQ(ReadFileText(File("bad.gpx")), "");
}

TEST_F(Gpx, ExtensionRuleOfTheKml) {
  std::filesystem::create_directory(File("maps.old"));
  TrackLogBuilder().Point(kA).WriteTo(File("day.trk"));
  for (const auto& [argument, written] :
       std::vector<std::pair<std::string, std::string>>{{"out.trk", "out.gpx"},
                                                        {"track", "track.gpx"},
                                                        {"maps.old/t", "maps.old/t.gpx"},
                                                        {"ge.gpx", "ge.gpx"}}) {
    const RunResult result = Run({"/og", "day.trk", argument});
    ASSERT_EQ(result.exitCode, 0) << result.out;
    EXPECT_TRUE(std::filesystem::exists(File(written))) << argument;
    ExpectValid(written);
    EXPECT_FALSE(argument != written && std::filesystem::exists(File(argument))) << argument;
  }
}

}  // namespace
}  // namespace pathmend::testing
