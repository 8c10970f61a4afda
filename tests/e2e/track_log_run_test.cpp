// Joining, cutting, renaming and retyping track logs, end to end.

#include "tests/e2e/e2e.h"

namespace pathmend::testing {

namespace {

class TrackLogRun : public EndToEnd {};

// The console text of a run of one input with a track log output, no
// option and nothing dropped.
std::string PlainRunText(const std::string& input, int points, const std::string& length) {
  ReportBlock report;
  report.argument = input;
  report.points = std::to_string(points);
  report.name = "Road Split";
  report.length = length;
  return kBanner + kTrackLogFormatLine + kCrLf + report.Text() + kSeparatorLine;
}

TEST_F(TrackLogRun, UsageWithFewerThanTwoArguments) {
  const std::string usage =
      "Usage: pathmend.exe [options] in.trk [in2.trk in3.trk ...] out.file\r\n"
      "\r\n"
      "  /ot = create Vantira .TRK output (default)\r\n"
      "  /ok = create Google Earth .KML output\r\n"
      "  /ox = create GPS TrackMaker Text Format .TXT output\r\n"
      "  /v  = verbose mode\r\n"
      "  /r  = rename (max. 32 chars)\r\n"
      "  /f  = first point (only first track)\r\n"
      "  /l  = last point (only first track)\r\n"
      "  /t  = type of track:\r\n"
      "\r\n"
      "\t 0: H\x82tk\x94znapi\t 1: \x9Azleti\t 2: Szem\x82lyes\r\n"
      "\t 3: Kedvenc\t 4: Rep\x81l\x8B\t 5: Aut\xA2\r\n"
      "\t 6: Haj\xA2\t 7: T\xA3ra\t 8: Kaland\r\n"
      "\t 9: \x90rdekes\t10: Felm\x82r\x82s\t11: Arch\xA1v\r\n"
      "\r\n"
      "Ex. pathmend /v /r:\"Road Split\" /f:10 /l:30 /t:5 20060101.trk new.trk\r\n"
      "    pathmend /ok /f:10 20060101.trk ge.kml\r\n"
      "    pathmend /ot /l:30 20060101.trk gtm.txt\r\n";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"day.trk"}}) {
    const RunResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, kBanner + usage);
  }
}

TEST_F(TrackLogRun, CompleteInputIsCopiedByteForByte) {
  const auto input = TrackLogBuilder()
                         .Name("Road Split")
                         .Reserved(0xDEADBEEF, 0x01020304)
                         .Length(12.5)
                         .Line(49283072, 8388608, 1000, 5)
                         .Bytes();
  WriteFileBytes(File("in.trk"), input);
  const RunResult result = Run({"in.trk", "out.dat"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, PlainRunText("in.trk", 5, "12.50000"));
  EXPECT_EQ(ReadFileBytes(File("out.dat")), input);
}

TEST_F(TrackLogRun, InputOfHeaderOnlyGivesHeaderOnlyOutput) {
  const auto input = TrackLogBuilder().PointCount(0).Bytes();
  ASSERT_EQ(input.size(), 96U);
  WriteFileBytes(File("in.trk"), input);
  const RunResult result = Run({"in.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(ReadFileBytes(File("out.trk")), input);
}

// Points of an output file, as 20-byte records after the header.
std::vector<std::vector<std::uint8_t>> PointsOf(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::vector<std::uint8_t>> points;
  for (std::size_t at = 96; at + 20 <= bytes.size(); at += 20) {
    points.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at + 20));
  }
  return points;
}

struct CutCase {
  const char* name;
  std::vector<std::string> options;
  int firstPoints;         // points in the first input
  int secondPoints;        // points in the second input, 0 for one input
  std::vector<int> saved;  // 1-based numbers of the saved points, second input continuing
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class CutTest : public EndToEnd, public ::testing::WithParamInterface<CutCase> {};

TEST_P(CutTest, SavesThePointsTheOptionsSelect) {
  const CutCase& c = GetParam();
  TrackLogBuilder first;
  first.Line(49283072, 8388608, 100, c.firstPoints);
  first.WriteTo(File("a.trk"));
  TrackLogBuilder second;
  second.Line(50331648, 9388608, 100, c.secondPoints, 128000000000000000ULL);
  std::vector<std::string> args = c.options;
  args.push_back("a.trk");
  if (c.secondPoints > 0) {
    second.WriteTo(File("b.trk"));
    args.push_back("b.trk");
  }
  args.push_back("out.trk");
  const RunResult result = Run(args);
  ASSERT_EQ(result.exitCode, 0) << result.out;

  std::vector<std::vector<std::uint8_t>> all = PointsOf(first.Bytes());
  for (auto& p : PointsOf(second.Bytes())) all.push_back(p);
  std::vector<std::vector<std::uint8_t>> expected;
  for (int n : c.saved) expected.push_back(all.at(static_cast<std::size_t>(n - 1)));
  EXPECT_EQ(PointsOf(ReadFileBytes(File("out.trk"))), expected);
}

std::vector<int> Range(int from, int to) {
  std::vector<int> numbers;
  for (int n = from; n <= to; ++n) numbers.push_back(n);
  return numbers;
}

std::vector<int> Join(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, CutTest,
    ::testing::Values(
        CutCase{"NoOptions", {}, 5, 0, Range(1, 5)},
        CutCase{"FirstAndLast", {"/f:3", "/l:4"}, 6, 0, Range(3, 4)},
        CutCase{"FirstOnly", {"/f:5"}, 6, 0, Range(5, 6)},
        CutCase{"LastZeroSavesNothing", {"/l:0"}, 4, 0, {}},
        CutCase{
            "CutAppliesToFirstInputOnly", {"/f:2", "/l:3"}, 4, 3, Join(Range(2, 3), Range(5, 7))},
        CutCase{"LastZeroWithSecondInput", {"/l:0"}, 3, 2, Range(4, 5)},
        CutCase{"TwoInputsJoined", {}, 3, 4, Range(1, 7)},
        CutCase{"FirstBeyondEnd", {"/f:100"}, 3, 0, {}},
        CutCase{"ExplicitMinusOneIsNotGiven", {"/f:-1", "/l:-1"}, 3, 0, Range(1, 3)},
        CutCase{"LaterOptionWins", {"/f:1", "/f:2"}, 3, 0, Range(2, 3)},
        CutCase{"InvalidValueKeepsEarlier", {"/f:2", "/f:abc"}, 3, 0, Range(2, 3)},
        CutCase{"HexValue", {"/l:$2"}, 3, 0, Range(1, 2)},
        CutCase{"UpperCaseLetter", {"/F:3"}, 3, 0, Range(3, 3)}),
    [](const ::testing::TestParamInfo<CutCase>& row) { return std::string(row.param.name); });

TEST_F(TrackLogRun, RenameAndRetypeReachTheOutputHeaderOnly) {
  const auto input =
      TrackLogBuilder().Name("Old").TrackType(1).Line(49283072, 8388608, 10, 2).Bytes();
  WriteFileBytes(File("in.trk"), input);
  const RunResult result = Run({"/r:Road Split", "/t:7", "in.trk", "out.trk"});
  ASSERT_EQ(result.exitCode, 0);
  auto expected = input;
  std::fill(expected.begin() + 4, expected.begin() + 36, 0);
  const std::string name = "Road Split";
  std::copy(name.begin(), name.end(), expected.begin() + 4);
  PutU32(expected, 36, 7);
  EXPECT_EQ(ReadFileBytes(File("out.trk")), expected);
  EXPECT_EQ(ReadFileBytes(File("in.trk")), input);
}

TEST_F(TrackLogRun, RenameIsCutAtThirtyTwoBytesAndLeavesTypeIntact) {
  const auto input = TrackLogBuilder().TrackType(3).Line(49283072, 8388608, 10, 1).Bytes();
  WriteFileBytes(File("in.trk"), input);
  const std::string longName(40, 'N');
  ASSERT_EQ(Run({"/r:" + longName, "in.trk", "out.trk"}).exitCode, 0);
  const auto output = ReadFileBytes(File("out.trk"));
  EXPECT_EQ(std::string(output.begin() + 4, output.begin() + 36), std::string(32, 'N'));
  EXPECT_EQ(GetU32(output, 36), 3U);
}

TEST_F(TrackLogRun, EmptyRenameEmptiesTheName) {
  TrackLogBuilder().Name("Old").Line(49283072, 8388608, 10, 1).WriteTo(File("in.trk"));
  ASSERT_EQ(Run({"/r:", "in.trk", "out.trk"}).exitCode, 0);
  const auto output = ReadFileBytes(File("out.trk"));
  EXPECT_EQ(std::vector<std::uint8_t>(output.begin() + 4, output.begin() + 36),
            std::vector<std::uint8_t>(32, 0));
}

TEST_F(TrackLogRun, AbsolutePathIsAnInputNotAnOption) {
  PATHMEND_LINUX_ONLY("paths that begin with \"/\"");
  const auto input = TrackLogBuilder().Line(49283072, 8388608, 10, 2).Bytes();
  WriteFileBytes(File("in.trk"), input);
  const RunResult result = Run({File("in.trk"), File("out.trk")});
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(ReadFileBytes(File("out.trk")), input);
}

TEST_F(TrackLogRun, DoubleDashEndsTheOptions) {
  PATHMEND_LINUX_ONLY("\"--\" ends the options where paths begin with \"/\"");
  const auto input = TrackLogBuilder().Line(49283072, 8388608, 10, 2).Bytes();
  WriteFileBytes(File("in.trk"), input);
  const RunResult result = Run({"/f:2", "--", "in.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(PointsOf(ReadFileBytes(File("out.trk"))).size(), 1U);
}

TEST_F(TrackLogRun, OptionLikeNameAfterFirstInputIsAnInput) {
  // "/x" does not exist: after the first input it is taken as an input file
  // name, so the run fails to open it.
  TrackLogBuilder().Line(49283072, 8388608, 10, 2).WriteTo(File("in.trk"));
  const RunResult result = Run({"in.trk", "/nonexistent-folder/x.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("Invalid filename."), std::string::npos) << result.out;
}

// On Windows no path begins with "/": every argument before the first input
// that does is an option, even when a file of that name exists, and "--" is
// an ordinary argument, here the first input.
TEST_F(TrackLogRun, WindowsReadsEveryLeadingSlashAsAnOption) {
  if (!WindowsMode()) GTEST_SKIP() << "Windows only: the option rules of Windows";
  TrackLogBuilder().Line(49283072, 8388608, 10, 3).WriteTo(File("in.trk"));
  WriteFileBytes(File("--"), {});
  RunResult result = Run({"/f:2", "--", "in.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("Read beyond end of file."), std::string::npos) << result.out;

  result = Run({"/v", "/f:3", "in.trk", "out.trk"});
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_EQ(PointsOf(ReadFileBytes(File("out.trk"))).size(), 1U);
}

// The command line as a Windows program receives it, split by the program's
// own rule: separators are bytes 1 to 32, double quotes open and close
// sections anywhere in an argument and are removed, and a pair of double
// quotes at the start of an argument is skipped.
struct CommandLineCase {
  const char* name;
  std::string line;     // after the program name
  std::string newName;  // the "/r" value the report shows
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }

class WindowsCommandLine : public EndToEnd,
                           public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(WindowsCommandLine, IsSplitByTheProgramsOwnRule) {
  if (!WindowsMode()) GTEST_SKIP() << "Windows only: Linux hands over its arguments split";
  const CommandLineCase& c = GetParam();
  TrackLogBuilder().Line(49283072, 8388608, 10, 2).WriteTo(File("in.trk"));
  RunSetup setup;
  setup.commandLine = c.line;
  const RunResult result = Run({}, setup);
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_NE(result.out.find("  -> New Name: " + c.newName + "\r\n"), std::string::npos)
      << result.out;
  EXPECT_EQ(PointsOf(ReadFileBytes(File("out.trk"))).size(), 2U);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowsCommandLine,
    ::testing::Values(
        CommandLineCase{"QuotedSection", "/r:\"Road Split\" in.trk out.trk", "Road Split"},
        CommandLineCase{"QuotesInsideAWord", "/r:Ro\"ad Sp\"lit in.trk out.trk", "Road Split"},
        CommandLineCase{"TabsSeparate", "/r:Tab\tin.trk\t\tout.trk", "Tab"},
        CommandLineCase{"ControlBytesSeparate", "/r:Ctl\x01in.trk\x1fout.trk", "Ctl"},
        CommandLineCase{"EmptyPairsAreSkipped", "\"\" /r:X \"\"  \"\"in.trk out.trk", "X"},
        CommandLineCase{"TabInsideQuotes", "\"/r:A\tB\" in.trk out.trk", "A\tB"},
        CommandLineCase{"ByteAbove127", "/r:\xE9\xA0 in.trk out.trk", "\xE9\xA0"}),
    [](const ::testing::TestParamInfo<CommandLineCase>& row) {
      return std::string(row.param.name);
    });

TEST_F(TrackLogRun, WindowsQuoteOpenToTheEndMakesOneArgument) {
  if (!WindowsMode()) GTEST_SKIP() << "Windows only: Linux hands over its arguments split";
  RunSetup setup;
  setup.commandLine = "\"in.trk out.trk";  // one argument: the usage text
  const RunResult result = Run({}, setup);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out.substr(0, kBanner.size() + 7), kBanner + "Usage: ");
}

}  // namespace
}  // namespace pathmend::testing
