// The verbose trace of every point read, end to end: numbers across inputs,
// the saved note, the decoded values in the local zone, the running length,
// and a failure that comes while a trace line is open.

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

// 2006-01-15 07:30:00 UTC and the seconds after it. The legs P1-P2 and P2-P3
// are 111.31949 km and 0.10871 km.
constexpr std::uint64_t kTime = 127817838000000000ULL;
constexpr std::uint64_t kSecond = 10000000ULL;
const PointSpec kP1{49283072, 8388608, 1053, 500, kTime};
const PointSpec kP2{50331648, 8388608, 1054, 510, kTime + kSecond};
const PointSpec kP3{50332672, 8388608, 65535, 0, kTime + 2 * kSecond};
const PointSpec kP4{49283072, 8388608, 0, 65535, kTime + 3 * kSecond};

// The text of the decoded values of a point.
struct PointText {
  std::string lat;
  std::string lon;
  std::string alt;
  std::string speed;
  std::string time;
};

const PointText kT1{"47.000000000000000", "8.000000000000000", "105.3", "50.0",
                    "1/15/06 7:30:00 am"};
const PointText kT2{"48.000000000000000", "8.000000000000000", "105.4", "51.0",
                    "1/15/06 7:30:01 am"};
const PointText kT3{"48.000976562500000", "8.000000000000000", "6553.5", "0.0",
                    "1/15/06 7:30:02 am"};
const PointText kT4{"47.000000000000000", "8.000000000000000", "0.0", "6553.5",
                    "1/15/06 7:30:03 am"};

// The trace of one point; `saved` 0 for a point that was not saved.
std::string Trace(int number, int saved, const PointText& p, const std::string& length) {
  std::string text = "\tPoint #" + std::to_string(number);
  if (saved != 0) text += " (Saved Point #" + std::to_string(saved) + ")";
  text += "\r\n\tLat: " + p.lat + "\r\n\tLong: " + p.lon + "\r\n\tAlt: " + p.alt +
          " m\r\n\tSpeed: " + p.speed + " km/h\r\n\tDate&Time: " + p.time + "\r\n\t+ " + length +
          " km\r\n" + kSeparatorLine;
  return text;
}

std::string Summary(int tracks, const std::string& points, const std::string& lengths) {
  return kSeparatorLine + "Repair/Append: \r\n  Tracks: " + std::to_string(tracks) +
         "\r\n  Points: " + points + "\r\n  Length: " + lengths + " km\r\n";
}

const std::string kReady = "\r\nReady.\r\n";

class PointTrace : public EndToEnd {};

TEST_F(PointTrace, NumbersRunOnAcrossInputsAndSkippedPointsKeepTheLength) {
  TrackLogBuilder().Point(kP1).Point(kP2).Point(kP3).Point(kP4).WriteTo(File("a.trk"));
  TrackLogBuilder().Point(kP2).Point(kP3).Length(0.5).WriteTo(File("b.trk"));

  const RunResult result = Run({"/v", "/f:2", "/l:3", "a.trk", "b.trk", "out.trk"});

  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock a;
  a.argument = "a.trk";
  a.points = "4";
  a.cut = "2 to 3";
  ReportBlock b = a;
  b.index = 2;
  b.argument = "b.trk";
  b.points = "2";
  b.length = "0.50000";
  // No leg joins the inputs: point 5, the first saved point of b.trk, adds
  // nothing.
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + a.Text() + kSeparatorLine +
                            Trace(1, 0, kT1, "0.00000") + Trace(2, 1, kT2, "0.00000") +
                            Trace(3, 2, kT3, "0.10871") + Trace(4, 0, kT4, "0.10871") +
                            kSeparatorLine + b.Text() + kSeparatorLine +
                            Trace(5, 3, kT2, "0.10871") + Trace(6, 4, kT3, "0.21742") +
                            kSeparatorLine + Summary(2, "6 -> 4", "0.50000 -> 0.21742") + kReady);
  EXPECT_EQ(ReadFileBytes(File("out.trk")).size(), 96U + 4 * 20U);
}

TEST_F(PointTrace, InputWithoutPointsShowsOnlyTheSeparators) {
  TrackLogBuilder().PointCount(3).WriteTo(File("empty.trk"));
  TrackLogBuilder().Point(kP1).WriteTo(File("one.trk"));

  const RunResult result = Run({"/v", "empty.trk", "one.trk", "empty.trk", "out.trk"});

  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + Report("empty.trk", 3) +
                            kSeparatorLine + kSeparatorLine + Report("one.trk", 1, 2) +
                            kSeparatorLine + Trace(1, 1, kT1, "0.00000") + kSeparatorLine +
                            Report("empty.trk", 3, 3) + kSeparatorLine + kSeparatorLine +
                            Summary(3, "7 -> 1", "0.00000 -> 0.00000") + kReady);
}

struct ZoneCase {
  const char* name;
  const char* tz;
  const char* first;   // the local time of 2006-01-15 07:30:00 UTC
  const char* second;  // the local time of 2006-01-15 23:30:00 UTC
};

void PrintTo(const ZoneCase& c, std::ostream* os) { *os << c.name; }

class Zone : public EndToEnd, public ::testing::WithParamInterface<ZoneCase> {};

// Point times are shown in the zone in force; the header's start time is
// shown as recorded, whatever the zone.
TEST_P(Zone, PointTimesAreLocalAndTheStartTimeIsNot) {
  const ZoneCase& c = GetParam();
  PointSpec late = kP2;
  late.time = kTime + 16 * 3600 * kSecond;
  TrackLogBuilder().Point(kP1).Point(late).WriteTo(File("in.trk"));
  RunSetup setup;
  setup.env = {{"TZ", c.tz}};

  const RunResult result = Run({"/v", "in.trk", "out.trk"}, setup);

  ASSERT_EQ(result.exitCode, 0) << result.out;
  PointText t1 = kT1;
  t1.time = c.first;
  PointText t2 = kT2;
  t2.time = c.second;
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + Report("in.trk", 2) +
                            kSeparatorLine + Trace(1, 1, t1, "0.00000") +
                            Trace(2, 2, t2, "111.31949") + kSeparatorLine + kReady);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, Zone,
    ::testing::Values(
        ZoneCase{"Utc", "UTC", "1/15/06 7:30:00 am", "1/15/06 11:30:00 pm"},
        ZoneCase{"SixtyMinutesEast", "<+01>-1", "1/15/06 8:30:00 am", "1/16/06 12:30:00 am"},
        ZoneCase{"NinetyMinutesWest", "<-0130>+1:30", "1/15/06 6:00:00 am", "1/15/06 10:00:00 pm"}),
    [](const ::testing::TestParamInfo<ZoneCase>& row) { return std::string(row.param.name); });

// A point time in the year 10000 fails when it is converted. The GPS
// TrackMaker point line converts it before the saved note, so the report's
// first line continues the open trace line; the trace converts it before its
// date line, so in a track log run the report starts a line of its own.
struct LateTimeCase {
  const char* name;
  const char* option;
  std::string formatLine;
  std::string traceBeforeFailure;
};

void PrintTo(const LateTimeCase& c, std::ostream* os) { *os << c.name; }

class LateTime : public EndToEnd, public ::testing::WithParamInterface<LateTimeCase> {};

TEST_P(LateTime, FailureReportFollowsTheOpenTraceText) {
  const LateTimeCase& c = GetParam();
  PointSpec late = kP2;
  late.time = 2650467744000000000ULL;  // 10000-01-01 00:00 UTC
  TrackLogBuilder().Point(kP1).Point(late).WriteTo(File("in.trk"));

  const RunResult result = Run({"/v", c.option, "in.trk", "out.trk"});

  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out),
            kBanner + c.formatLine + kCrLf + Report("in.trk", 2) + kSeparatorLine +
                Trace(1, 1, kT1, "0.00000") + c.traceBeforeFailure +
                FailureText("EConvertError", "Invalid argument to date encode."));
}

INSTANTIATE_TEST_SUITE_P(
    Year10000, LateTime,
    ::testing::Values(LateTimeCase{"GpsTrackMaker", "/ox",
                                   "Output format: GPS TrackMaker Text Format\r\n", "\tPoint #2"},
                      LateTimeCase{"TrackLog", "/ot", kTrackLogFormatLine,
                                   "\tPoint #2 (Saved Point #2)\r\n\tLat: 48.000000000000000\r\n"
                                   "\tLong: 8.000000000000000\r\n\tAlt: 105.4 m\r\n"
                                   "\tSpeed: 51.0 km/h\r\n"}),
    [](const ::testing::TestParamInfo<LateTimeCase>& row) { return std::string(row.param.name); });

// A partial last record fails when it is read, before its trace line starts.
TEST_F(PointTrace, PartialRecordFailsBeforeItsTraceLine) {
  TrackLogBuilder().Point(kP1).Trailing(19).WriteTo(File("in.trk"));
  const RunResult result = Run({"/v", "in.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), kBanner + kTrackLogFormatLine + kCrLf +
                                            Report("in.trk", 1) + kSeparatorLine +
                                            Trace(1, 1, kT1, "0.00000") +
                                            FailureText("EInOutError", "Read beyond end of file."));
}

}  // namespace
}  // namespace pathmend::testing
