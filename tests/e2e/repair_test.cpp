// The measured length, the merge summary and the repair of the output
// header, end to end.

#include <cmath>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

// Three positions whose legs are worked examples of the distance: (47, 8) to
// (48, 8) is 111319.49079327831 m and (48, 8) to (48.0009765625, 8) is
// 108.7104358385334 m; their kilometre sum is 111.42820122911684 km.
const PointSpec kP1{49283072, 8388608, 1053, 500, 127817838000000000ULL};
const PointSpec kP2{50331648, 8388608, 1054, 510, 127817838010000000ULL};
const PointSpec kP3{50332672, 8388608, 1055, 520, 127817838020000000ULL};
const PointSpec kFar{60000000, 9000000, 1056, 530, 127817838030000000ULL};

std::string Summary(int tracks, const std::string& points, const std::string& lengths) {
  return kSeparatorLine + "Repair/Append: \r\n  Tracks: " + std::to_string(tracks) +
         "\r\n  Points: " + points + "\r\n  Length: " + lengths + " km\r\n";
}

class Repair : public EndToEnd {
 protected:
  std::vector<std::uint8_t> Output() { return ReadFileBytes(File("out.trk")); }
};

TEST_F(Repair, StalePointCountIsRepaired) {
  TrackLogBuilder().PointCount(5).Point(kP1).Point(kP2).Point(kP3).WriteTo(File("in.trk"));
  const RunResult result = Run({"in.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + Report("in.trk", 5) +
                            kSeparatorLine + Summary(1, "5 -> 3", "0.00000 -> 111.42820"));
  const auto out = Output();
  EXPECT_EQ(GetU32(out, 0), 3U);
  EXPECT_EQ(GetDouble(out, 80), 111.42820122911684);
  // Every other header byte is the input's.
  auto expected = TrackLogBuilder().PointCount(5).Point(kP1).Point(kP2).Point(kP3).Bytes();
  PutU32(expected, 0, 3);
  for (std::size_t i = 0; i < 96; ++i) {
    if (i < 80 || i >= 88) {
      EXPECT_EQ(out[i], expected[i]) << "header byte " << i;
    }
  }
  EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 96, out.end()),
            std::vector<std::uint8_t>(expected.begin() + 96, expected.end()));
}

struct CutRepairCase {
  const char* name;
  std::vector<std::string> options;
  std::vector<PointSpec> points;
  const char* cut;  // the report's cut line
};

void PrintTo(const CutRepairCase& c, std::ostream* os) { *os << c.name; }

class CutRepair : public Repair, public ::testing::WithParamInterface<CutRepairCase> {};

TEST_P(CutRepair, MeasuresOnlyTheSavedPoints) {
  const CutRepairCase& c = GetParam();
  TrackLogBuilder builder;
  for (const PointSpec& p : c.points) builder.Point(p);
  builder.Length(987.5).WriteTo(File("in.trk"));
  std::vector<std::string> args = c.options;
  args.insert(args.end(), {"in.trk", "out.trk"});
  const RunResult result = Run(args);
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock report;
  report.argument = "in.trk";
  report.points = "4";
  report.length = "987.50000";
  report.cut = c.cut;
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + report.Text() + kSeparatorLine +
                            Summary(1, "4 -> 3", "987.50000 -> 111.42820"));
  EXPECT_EQ(GetU32(Output(), 0), 3U);
  EXPECT_EQ(GetDouble(Output(), 80), 111.42820122911684);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, CutRepair,
    ::testing::Values(CutRepairCase{"First", {"/f:2"}, {kFar, kP1, kP2, kP3}, "2 to -1"},
                      CutRepairCase{"Last", {"/l:3"}, {kP1, kP2, kP3, kFar}, "-1 to 3"},
                      CutRepairCase{
                          "FirstAndLast", {"/f:2", "/l:4"}, {kFar, kP1, kP2, kP3}, "2 to 4"}),
    [](const ::testing::TestParamInfo<CutRepairCase>& row) { return std::string(row.param.name); });

TEST_F(Repair, NoLegJoinsTwoInputs) {
  // Two inputs (P1, P2) and (P2, P3): the legs are the two worked examples;
  // a leg from P2 to P2 across the join would add a residual.
  TrackLogBuilder().Point(kP1).Point(kP2).Length(111.3194907932783).WriteTo(File("a.trk"));
  TrackLogBuilder().Point(kP2).Point(kP3).Length(0.1087104358385334).WriteTo(File("b.trk"));
  TrackLogBuilder().Point(kP3).Length(0.0).WriteTo(File("c.trk"));

  RunResult result = Run({"a.trk", "b.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  const std::string a = Report("a.trk", 2, 1, "111.31949") + kSeparatorLine;
  const std::string b = Report("b.trk", 2, 2, "0.10871") + kSeparatorLine;
  const std::string c = Report("c.trk", 1, 3, "0.00000") + kSeparatorLine;
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + a + b +
                            Summary(2, "4 -> 4", "111.42820 -> 111.42820"));
  EXPECT_EQ(GetU32(Output(), 0), 4U);
  EXPECT_EQ(GetDouble(Output(), 80), 111.42820122911684);

  result = Run({"a.trk", "b.trk", "c.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + a + b + c +
                            Summary(3, "5 -> 5", "111.42820 -> 111.42820"));
  EXPECT_EQ(GetU32(Output(), 0), 5U);
  EXPECT_EQ(GetDouble(Output(), 80), 111.42820122911684);
}

TEST_F(Repair, NothingDroppedFromOneInputLeavesTheHeaderAlone) {
  const auto input = TrackLogBuilder().Point(kP1).Point(kP2).Point(kP3).Length(0.0).Bytes();
  WriteFileBytes(File("in.trk"), input);
  const RunResult result = Run({"in.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            kBanner + kTrackLogFormatLine + kCrLf + Report("in.trk", 3) + kSeparatorLine);
  EXPECT_EQ(Output(), input);  // Length stays 0.0 although 111 km were measured
}

TEST_F(Repair, SignallingNanLengthEndsTheRunAfterThePoints) {
  const auto input = TrackLogBuilder()
                         .PointCount(9)
                         .Point(kP1)
                         .Point(kP2)
                         .LengthBits(0x7FF0000000000001ULL)
                         .Bytes();
  WriteFileBytes(File("in.trk"), input);
  const RunResult result = Run({"in.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  // The report shows lines up to the start time, then the label of the
  // length, where loading the signalling NaN ends the block.
  const std::size_t cutAt = Report("in.trk", 9).find("  * Length: ");
  EXPECT_EQ(ReplaceAddress(result.out),
            kBanner + kTrackLogFormatLine + kCrLf + Report("in.trk", 9).substr(0, cutAt) +
                "  * Length: " + kSeparatorLine +
                FailureText("EInvalidOp", "Invalid floating point operation."));
  EXPECT_EQ(Output(), input);  // points written, header not repaired
}

TEST_F(Repair, AnnouncedLengthsBeyondTheDoubleRangeOverflow) {
  const std::string big = " 1.7E+0308";  // the exponent form, from 2^120 on
  TrackLogBuilder().Point(kP1).Length(1.7e308).WriteTo(File("a.trk"));
  TrackLogBuilder().Point(kP2).Length(1.7e308).WriteTo(File("b.trk"));
  const RunResult result = Run({"a.trk", "b.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out), kBanner + kTrackLogFormatLine + kCrLf +
                                            Report("a.trk", 1, 1, big) + kSeparatorLine +
                                            Report("b.trk", 1, 2, big) + kSeparatorLine +
                                            FailureText("EOverflow", "Floating point overflow."));
  const auto out = Output();
  EXPECT_EQ(out.size(), 96U + 2 * 20U);
  EXPECT_EQ(GetU32(out, 0), 1U);  // the first header, unrepaired
}

TEST_F(Repair, OppositeInfiniteLengthsAreAnInvalidOperation) {
  TrackLogBuilder().Point(kP1).Length(HUGE_VAL).WriteTo(File("a.trk"));
  TrackLogBuilder().Point(kP2).Length(-HUGE_VAL).WriteTo(File("b.trk"));
  const RunResult result = Run({"a.trk", "b.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out),
            kBanner + kTrackLogFormatLine + kCrLf + Report("a.trk", 1, 1, "+Inf") + kSeparatorLine +
                Report("b.trk", 1, 2, "-Inf") + kSeparatorLine +
                FailureText("EInvalidOp", "Invalid floating point operation."));
}

TEST_F(Repair, QuietNanAndInfinityLengthsArePrinted) {
  TrackLogBuilder().PointCount(2).Point(kP1).Length(HUGE_VAL).WriteTo(File("in.trk"));
  RunResult result = Run({"in.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + Report("in.trk", 2, 1, "+Inf") +
                            kSeparatorLine + Summary(1, "2 -> 1", "+Inf -> 0.00000"));
  TrackLogBuilder()
      .PointCount(2)
      .Point(kP1)
      .LengthBits(0xFFF8000000000000ULL)
      .WriteTo(File("in.trk"));
  result = Run({"in.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + Report("in.trk", 2, 1, "Nan") +
                            kSeparatorLine + Summary(1, "2 -> 1", "Nan -> 0.00000"));
}

}  // namespace
}  // namespace pathmend::testing
