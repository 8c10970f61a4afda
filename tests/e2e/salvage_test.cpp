// Salvage of a record cut in half (/s): the partial record at the end of an
// input is left out and said so in the input's block; the whole records are
// processed, and the output is written and repaired as for an input without
// the partial record.

#include "tests/e2e/e2e.h"
#include "tests/e2e/tools.h"

namespace pathmend::testing {
namespace {

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

// The same run on the cut input with /s and on the input without its partial
// record (the name differs): the same output bytes, and the same console with
// one more line in the cut input's block.
struct SalvageCase {
  const char* label;
  std::vector<std::string> options;
  std::size_t trailing;  // bytes after the last whole record
  const char* output;    // the argument
  const char* written;   // the file written
};

void PrintTo(const SalvageCase& c, std::ostream* os) { *os << c.label; }

class SalvageRun : public EndToEnd {};

class Salvage : public EndToEnd, public ::testing::WithParamInterface<SalvageCase> {};

TEST_P(Salvage, WritesAndRepairsAsWithoutThePartialRecord) {
  const SalvageCase& c = GetParam();
  const auto first = TrackLogBuilder().Line(49283072, 8388608, 100, 4).Bytes();
  const auto whole = TrackLogBuilder().Line(49807360, 19922944, 300, 3).PointCount(9).Bytes();
  auto cut = whole;
  for (std::size_t i = 0; i < c.trailing; ++i) cut.push_back(static_cast<std::uint8_t>(0xA0 + i));
  WriteFileBytes(File("first.trk"), first);
  WriteFileBytes(File("cut.trk"), cut);
  WriteFileBytes(File("whole.trk"), whole);

  std::vector<std::string> args = c.options;
  args.insert(args.begin(), "/s");
  for (const char* input : {"first.trk", "cut.trk"}) args.push_back(input);
  args.push_back(c.output);
  const RunResult salvaged = Run(args);
  ASSERT_EQ(salvaged.exitCode, 0) << salvaged.out;
  const std::vector<std::uint8_t> salvagedOutput = ReadFileBytes(File(c.written));

  std::vector<std::string> plain = c.options;
  for (const char* input : {"first.trk", "whole.trk"}) plain.push_back(input);
  plain.push_back(c.output);
  const RunResult reference = Run(plain);
  ASSERT_EQ(reference.exitCode, 0) << reference.out;

  EXPECT_EQ(salvagedOutput, ReadFileBytes(File(c.written)));
  if (std::string(c.written).ends_with(".gpx")) {
    EXPECT_EQ(GpxSchemaErrors(dir.path(), c.written), "");
  }
  std::string expected = Replaced(reference.out, "whole.trk", "cut.trk");
  if (c.trailing != 0) {
    // The line closes the second input's block, before its separator.
    const std::size_t block = expected.find("Track #2: cut.trk");
    ASSERT_NE(block, std::string::npos) << expected;
    expected.insert(expected.find(kSeparatorLine, block),
                    "  -> Cut Record Left Out: " + std::to_string(c.trailing) + " bytes\r\n");
  }
  EXPECT_EQ(salvaged.out, expected);
  EXPECT_EQ(ReadFileBytes(File("cut.trk")), cut);
}

INSTANTIATE_TEST_SUITE_P(
    CutRecords, Salvage,
    ::testing::Values(SalvageCase{"TrackLog7Bytes", {}, 7, "out.trk", "out.trk"},
                      SalvageCase{"TrackLog1Byte", {}, 1, "out.trk", "out.trk"},
                      SalvageCase{"TrackLog19Bytes", {"/v"}, 19, "out.trk", "out.trk"},
                      SalvageCase{"NothingCut", {}, 0, "out.trk", "out.trk"},
                      SalvageCase{"Kml", {"/ok"}, 11, "out", "out.kml"},
                      SalvageCase{"Gpx", {"/og"}, 11, "out", "out.gpx"},
                      SalvageCase{"CutRenamed", {"/r:Fixed", "/f:2"}, 5, "out.trk", "out.trk"}),
    [](const ::testing::TestParamInfo<SalvageCase>& row) { return std::string(row.param.label); });

// Without /s nothing changes: the partial record still ends the run.
TEST_F(SalvageRun, WithoutSalvageACutRecordStillFails) {
  TrackLogBuilder().Line(49807360, 19922944, 300, 3).Trailing(7).WriteTo(File("cut.trk"));
  const RunResult result = Run({"cut.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("Read beyond end of file."), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("Cut Record"), std::string::npos) << result.out;
}

// A header shorter than 96 bytes has nothing to salvage.
TEST_F(SalvageRun, SalvageOfAShortHeaderStillFails) {
  WriteFileBytes(File("short.trk"), std::vector<std::uint8_t>(95, 1));
  const RunResult result = Run({"/s", "short.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(ReplaceAddress(result.out),
            kBanner + FailureText("EInOutError", "Read beyond end of file."));
}

// The line is outside the report's guard: it shows after a block that an
// invalid start time ended early.
TEST_F(SalvageRun, SalvageLineFollowsABlockEndedEarly) {
  const std::vector<std::uint8_t> badStart = {0xD6, 0x07, 13, 0, 0, 0, 15, 0,
                                              8,    0,    30, 0, 0, 0, 0,  0};
  TrackLogBuilder()
      .StartTimeRaw(badStart)
      .Line(49807360, 19922944, 300, 2)
      .Trailing(3)
      .WriteTo(File("cut.trk"));
  const RunResult result = Run({"/s", "cut.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0) << result.out;
  ReportBlock block;
  block.argument = "cut.trk";
  block.points = "2";
  block.start = "";
  EXPECT_EQ(result.out, kBanner + kTrackLogFormatLine + kCrLf + block.Text() +
                            "  -> Cut Record Left Out: 3 bytes\r\n" + kSeparatorLine);
}

}  // namespace
}  // namespace pathmend::testing
