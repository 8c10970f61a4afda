// The block of header fields printed for every input, end to end: each field
// from odd header bytes, the lines the options add, and a block that a
// failure ends early while the run goes on.

#include <functional>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

const PointSpec kP1{49283072, 8388608, 1053, 500, 127817838000000000ULL};
const PointSpec kP2{50331648, 8388608, 1054, 510, 127817838010000000ULL};

std::string Summary(int tracks, const std::string& points, const std::string& lengths) {
  return kSeparatorLine + "Repair/Append: \r\n  Tracks: " + std::to_string(tracks) +
         "\r\n  Points: " + points + "\r\n  Length: " + lengths + " km\r\n";
}

class TrackReport : public EndToEnd {};

struct HeaderCase {
  const char* name;
  std::function<void(TrackLogBuilder&)> header;  // changes to the default header
  std::vector<std::string> options;
  std::function<void(ReportBlock&)> block;  // changes to the default block
  std::string summary;                      // empty: no summary expected
  bool pointsSaved = true;                  // false: the cut drops both points
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class HeaderReport : public EndToEnd, public ::testing::WithParamInterface<HeaderCase> {};

// One input of two points, track log output: the block, the separator and
// the points, whatever the block shows or where it stops.
TEST_P(HeaderReport, ShowsTheFieldsAndTheRunGoesOn) {
  const HeaderCase& c = GetParam();
  TrackLogBuilder builder;
  builder.Point(kP1).Point(kP2);
  if (c.header) c.header(builder);
  const auto input = builder.Bytes();
  WriteFileBytes(File("in.trk"), input);
  std::vector<std::string> args = c.options;
  args.insert(args.end(), {"in.trk", "out.trk"});

  const RunResult result = Run(args);

  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock block;
  block.argument = "in.trk";
  block.points = "2";
  if (c.block) c.block(block);
  EXPECT_EQ(result.out,
            kBanner + kTrackLogFormatLine + kCrLf + block.Text() + kSeparatorLine + c.summary);
  // The points were read and those saved written, however early the block
  // stopped.
  const auto out = ReadFileBytes(File("out.trk"));
  if (!c.pointsSaved) {
    EXPECT_EQ(out.size(), 96U);
    return;
  }
  ASSERT_EQ(out.size(), input.size());
  EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 96, out.end()),
            std::vector<std::uint8_t>(input.begin() + 96, input.end()));
}

const std::vector<std::uint8_t> kZeroStart(16, 0);

INSTANTIATE_TEST_SUITE_P(
    Fields, HeaderReport,
    ::testing::Values(
        // The start time is converted before its line is written: an invalid
        // one ends the block after the VT-ID line, without a trace of line 9.
        HeaderCase{"AllZeroStartTime",
                   [](TrackLogBuilder& b) { b.StartTimeRaw(kZeroStart); },
                   {},
                   [](ReportBlock& r) { r.start.clear(); },
                   ""},
        HeaderCase{"AllZeroStartTimeAfterRenameAndRetype",
                   [](TrackLogBuilder& b) { b.StartTimeRaw(kZeroStart).Length(3.5); },
                   {"/r:New", "/t:3", "/f:1"},
                   [](ReportBlock& r) {
                     r.renamed = true;
                     r.newName = "New";
                     r.newType = "3 (Kedvenc)";
                     r.start.clear();
                   },
                   ""},
        HeaderCase{"NonLeapDayStartTime",
                   [](TrackLogBuilder& b) { b.StartTime(2005, 2, 29, 8, 30, 0); },
                   {},
                   [](ReportBlock& r) { r.start.clear(); },
                   ""},
        HeaderCase{"HourTwentyFourStartTime",
                   [](TrackLogBuilder& b) { b.StartTime(2006, 1, 15, 24, 0, 0); },
                   {},
                   [](ReportBlock& r) { r.start.clear(); },
                   ""},
        HeaderCase{"NameOfThirtyTwoBytesWithoutZero",
                   [](TrackLogBuilder& b) {
                     b.Name("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345").Id("0123456789abcdef");
                   },
                   {},
                   [](ReportBlock& r) {
                     r.name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
                     r.id = "0123456789abcdef";
                   },
                   ""},
        HeaderCase{"NameStartingWithZero",
                   [](TrackLogBuilder& b) {
                     std::vector<std::uint8_t> name(32, 'x');
                     name[0] = 0;
                     b.NameRaw(name);
                   },
                   {},
                   [](ReportBlock& r) { r.name.clear(); },
                   ""},
        HeaderCase{"NameWithCodePageBytes",
                   [](TrackLogBuilder& b) { b.Name("\x90rdekes \xA2t"); },
                   {},
                   [](ReportBlock& r) { r.name = "\x90rdekes \xA2t"; },
                   ""},
        // The announced sum is signed: the summary shows the count as -1.
        HeaderCase{"LargestPointCount",
                   [](TrackLogBuilder& b) { b.PointCount(4294967295U); },
                   {},
                   [](ReportBlock& r) { r.points = "4294967295"; },
                   Summary(1, "-1 -> 2", "0.00000 -> 111.31949")},
        HeaderCase{"FirstAlone",
                   nullptr,
                   {"/f:5"},
                   [](ReportBlock& r) { r.cut = "5 to -1"; },
                   Summary(1, "2 -> 0", "0.00000 -> 0.00000"),
                   false},
        HeaderCase{"LastAlone", nullptr, {"/l:2"}, [](ReportBlock& r) { r.cut = "-1 to 2"; }, ""},
        HeaderCase{"CutOfMinusOneIsNoCut", nullptr, {"/f:-1", "/l:$FFFFFFFF"}, nullptr, ""},
        HeaderCase{"EmptyRename", nullptr, {"/r:"}, [](ReportBlock& r) { r.renamed = true; }, ""},
        HeaderCase{"TypeAboveTheTable",
                   [](TrackLogBuilder& b) { b.TrackType(15); },
                   {},
                   [](ReportBlock& r) { r.type = "15 (?)"; },
                   ""},
        HeaderCase{"NegativeType",
                   [](TrackLogBuilder& b) { b.TrackType(-2147483647 - 1); },
                   {},
                   [](ReportBlock& r) { r.type = "-2147483648 (?)"; },
                   ""},
        HeaderCase{"FirstAndLastNamedTypes",
                   [](TrackLogBuilder& b) { b.TrackType(0); },
                   {"/t:11"},
                   [](ReportBlock& r) {
                     r.type = "0 (H\x82tk\x94znapi)";
                     r.newType = "11 (Arch\xA1v)";
                   },
                   ""},
        HeaderCase{"NewTypeAboveTheTable",
                   nullptr,
                   {"/t:12"},
                   [](ReportBlock& r) { r.newType = "12 (?)"; },
                   ""},
        HeaderCase{"NegativeNewType",
                   nullptr,
                   {"/t:-7"},
                   [](ReportBlock& r) { r.newType = "-7 (?)"; },
                   ""},
        HeaderCase{"SignedPpAndHiddenTrack",
                   [](TrackLogBuilder& b) { b.PP(-2147483647 - 1).Visible(0); },
                   {},
                   [](ReportBlock& r) {
                     r.pp = "-2147483648";
                     r.visible = "FALSE";
                   },
                   ""},
        HeaderCase{"AnyNonZeroVisibleIsTrue",
                   [](TrackLogBuilder& b) { b.Visible(0x80000000U); },
                   {},
                   nullptr,
                   ""},
        HeaderCase{"StartTimeAsRecorded",
                   [](TrackLogBuilder& b) { b.StartTime(2004, 2, 29, 23, 59, 59, 999, 9); },
                   {},
                   [](ReportBlock& r) { r.start = "2/29/04 11:59:59 pm"; },
                   ""}),
    [](const ::testing::TestParamInfo<HeaderCase>& row) { return std::string(row.param.name); });

TEST_F(TrackReport, OutOfTableNewTypeReachesTheOutputHeader) {
  TrackLogBuilder().Point(kP1).WriteTo(File("in.trk"));
  const RunResult result = Run({"/t:12", "in.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(GetU32(ReadFileBytes(File("out.trk")), 36), 12U);
}

struct FormatCase {
  const char* name;
  const char* option;
  const char* formatLine;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class EveryInput : public EndToEnd, public ::testing::WithParamInterface<FormatCase> {};

// The new name, new type and cut apply to the output header or the first
// input only, but each input's block shows them, whatever the output is.
TEST_P(EveryInput, ShowsRenameRetypeAndCut) {
  const FormatCase& c = GetParam();
  TrackLogBuilder().Point(kP1).WriteTo(File("a.trk"));
  TrackLogBuilder().Name("Second").TrackType(99).Point(kP2).Length(2.25).WriteTo(File("b.trk"));
  std::vector<std::string> args;
  if (*c.option != '\0') args.emplace_back(c.option);
  args.insert(args.end(), {"/r:Road Split", "/t:7", "/l:1", "a.trk", "b.trk", "out.trk"});

  const RunResult result = Run(args);

  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock a;
  a.argument = "a.trk";
  a.points = "1";
  a.renamed = true;
  a.newName = "Road Split";
  a.newType = "7 (T\xA3ra)";
  a.cut = "-1 to 1";
  ReportBlock b = a;
  b.index = 2;
  b.argument = "b.trk";
  b.name = "Second";
  b.type = "99 (?)";
  b.length = "2.25000";
  EXPECT_EQ(result.out, kBanner + c.formatLine + kCrLf + a.Text() + kSeparatorLine + b.Text() +
                            kSeparatorLine + Summary(2, "2 -> 2", "2.25000 -> 0.00000"));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EveryInput,
    ::testing::Values(FormatCase{"Default", "", "Output format: Vantira Tracklog\r\n"},
                      FormatCase{"TrackLog", "/ot", "Output format: Vantira Tracklog\r\n"},
                      FormatCase{"OtherLetter", "/oq", "Output format: Vantira Tracklog\r\n"},
                      FormatCase{"Kml", "/ok", "Output format: Google Earth KML\r\n"},
                      FormatCase{"GpsTrackMaker", "/ox",
                                 "Output format: GPS TrackMaker Text Format\r\n"}),
    [](const ::testing::TestParamInfo<FormatCase>& row) { return std::string(row.param.name); });

// A damaged header in a later input ends only its own block; an export run
// goes on as well.
TEST_F(TrackReport, InvalidStartTimeOfALaterInputEndsOnlyItsBlock) {
  TrackLogBuilder().Point(kP1).WriteTo(File("a.trk"));
  TrackLogBuilder().StartTimeRaw(kZeroStart).Point(kP2).WriteTo(File("b.trk"));
  TrackLogBuilder().Point(kP2).WriteTo(File("c.trk"));
  const RunResult result = Run({"/ok", "a.trk", "b.trk", "c.trk", "out.kml"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock b;
  b.index = 2;
  b.argument = "b.trk";
  b.points = "1";
  b.start.clear();
  EXPECT_EQ(result.out, kBanner + "Output format: Google Earth KML\r\n" + kCrLf +
                            Report("a.trk", 1) + kSeparatorLine + b.Text() + kSeparatorLine +
                            Report("c.trk", 1, 3) + kSeparatorLine +
                            Summary(3, "3 -> 3", "0.00000 -> 0.00000"));
}

// A signalling NaN length stops the block after the label of its line; the
// separator continues that line. With /v the points are still traced before
// the announced-length sum ends the run.
TEST_F(TrackReport, SignallingNanLengthInVerboseModeTracesThePointsFirst) {
  TrackLogBuilder().Point(kP1).LengthBits(0x7FF4000000000000ULL).WriteTo(File("in.trk"));
  const RunResult result = Run({"/v", "/r:X", "in.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  ReportBlock block;
  block.argument = "in.trk";
  block.points = "1";
  block.renamed = true;
  block.newName = "X";
  std::string text = block.Text();
  text = text.substr(0, text.find("  * Length: ") + 12);
  EXPECT_EQ(ReplaceAddress(result.out),
            kBanner + kTrackLogFormatLine + kCrLf + text + kSeparatorLine +
                "\tPoint #1 (Saved Point #1)\r\n\tLat: 47.000000000000000\r\n"
                "\tLong: 8.000000000000000\r\n\tAlt: 105.3 m\r\n\tSpeed: 50.0 km/h\r\n"
                "\tDate&Time: 1/15/06 7:30:00 am\r\n\t+ 0.00000 km\r\n" +
                kSeparatorLine + kSeparatorLine +
                FailureText("EInvalidOp", "Invalid floating point operation."));
}

}  // namespace
}  // namespace pathmend::testing
