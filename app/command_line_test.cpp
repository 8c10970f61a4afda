#include "app/command_line.h"

#include <gtest/gtest.h>

#include <set>

namespace pathmend {
namespace {

struct IntegerCase {
  const char* text;
  std::optional<std::int32_t> value;
};

TEST(ParseOptionInteger, AcceptsOnlyTheDocumentedForms) {
  const IntegerCase cases[] = {
      {"10", 10},
      {"   7", 7},
      {"+5", 5},
      {"-1", -1},
      {"007", 7},
      {"0", 0},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"0x1F", 31},
      {"0X1f", 31},
      {"x10", 16},
      {"X10", 16},
      {"$a", 10},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"$000000001", 1},  // leading zeros are not significant digits
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"\t7", std::nullopt},
      {"10 ", std::nullopt},
      {"1e3", std::nullopt},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"$123456789", std::nullopt},  // nine significant digits
      {"-$10", std::nullopt},
      {"$-1", std::nullopt},
      {"abc", std::nullopt},
      {"99999999999999999999", std::nullopt},
  };
  for (const IntegerCase& c : cases) {
    EXPECT_EQ(ParseOptionInteger(c.text), c.value) << '"' << c.text << '"';
  }
}

bool NoPathExists(const std::string&) { return false; }

Arguments Args(std::vector<std::string> items) { return Arguments{std::move(items)}; }

TEST(ParseOptions, ReadsEveryOptionBeforeTheFirstInput) {
  const ParsedOptions parsed = ParseOptions(
      Args({"/v", "/ok", "/r:Road Split", "/f:10", "/l:30", "/t:5", "in.trk", "out.kml"}),
      NoPathExists);
  EXPECT_TRUE(parsed.options.Verbose);
  EXPECT_EQ(parsed.options.FormatLetter, 'K');
  EXPECT_EQ(parsed.options.Rename, "Road Split");
  EXPECT_EQ(parsed.options.First, 10);
  EXPECT_EQ(parsed.options.Last, 30);
  EXPECT_EQ(parsed.options.NewType, 5);
  EXPECT_EQ(parsed.firstInput, 7U);
}

TEST(ParseOptions, Defaults) {
  const ParsedOptions parsed = ParseOptions(Args({"in.trk", "out.trk"}), NoPathExists);
  EXPECT_FALSE(parsed.options.Verbose);
  EXPECT_FALSE(parsed.options.Salvage);
  EXPECT_EQ(parsed.options.FormatLetter, 'A');
  EXPECT_FALSE(RenameGiven(parsed.options));
  EXPECT_EQ(parsed.options.First, -1);
  EXPECT_EQ(parsed.options.Last, -1);
  EXPECT_EQ(parsed.options.NewType, -1);
  EXPECT_EQ(FormatOf(parsed.options), OutputFormat::TrackLog);
  EXPECT_EQ(parsed.firstInput, 1U);
}

TEST(ParseOptions, ConsequencesOfTheRules) {
  // Only the second character counts, in either case; the third is the
  // separator and never examined; unknown letters are skipped.
  auto options = ParseOptions(Args({"/verbose", "/T=5", "/fx10", "/q", "a", "b"}), NoPathExists);
  EXPECT_TRUE(options.options.Verbose);
  EXPECT_EQ(options.options.NewType, 5);
  EXPECT_EQ(options.options.First, 10);
  EXPECT_EQ(options.firstInput, 5U);

  // /overbose selects the format letter V, which is a track log.
  options = ParseOptions(Args({"/overbose", "a", "b"}), NoPathExists);
  EXPECT_EQ(options.options.FormatLetter, 'V');
  EXPECT_EQ(FormatOf(options.options), OutputFormat::TrackLog);
  options = ParseOptions(Args({"/ox", "a", "b"}), NoPathExists);
  EXPECT_EQ(FormatOf(options.options), OutputFormat::GtmText);

  // The letters this program adds: /og GPX, /os SVG (either case), /s
  // salvage, whatever follows the letter.
  options = ParseOptions(Args({"/OG", "a", "b"}), NoPathExists);
  EXPECT_EQ(FormatOf(options.options), OutputFormat::Gpx);
  EXPECT_FALSE(options.options.Salvage);
  options = ParseOptions(Args({"/os", "/Salvage", "a", "b"}), NoPathExists);
  EXPECT_EQ(FormatOf(options.options), OutputFormat::Svg);
  EXPECT_TRUE(options.options.Salvage);
  EXPECT_EQ(options.firstInput, 3U);

  // "/o" alone names no format and is ignored.
  options = ParseOptions(Args({"/ok", "/o", "a", "b"}), NoPathExists);
  EXPECT_EQ(options.options.FormatLetter, 'K');

  // An invalid value keeps the earlier one; a later valid one wins.
  options = ParseOptions(Args({"/f:10", "/f:abc", "/l:3", "/l:4", "a", "b"}), NoPathExists);
  EXPECT_EQ(options.options.First, 10);
  EXPECT_EQ(options.options.Last, 4);

  // "/r:" gives the empty name, which is a name given.
  options = ParseOptions(Args({"/r:", "a", "b"}), NoPathExists);
  EXPECT_TRUE(RenameGiven(options.options));
  EXPECT_EQ(options.options.Rename, "");

  // Options stop at the first input; the last argument is never an option.
  options = ParseOptions(Args({"a", "/v", "b"}), NoPathExists);
  EXPECT_FALSE(options.options.Verbose);
  EXPECT_EQ(options.firstInput, 1U);
  options = ParseOptions(Args({"/v", "/out.trk"}), NoPathExists);
  EXPECT_EQ(options.firstInput, 2U);
}

// The rules for arguments that begin with "/" where absolute paths do (Linux)
// and where they do not (Windows), each tested whatever system runs the test.
TEST(ParseOptions, AbsolutePathsAndDoubleDashEndTheOptionsWhereSlashBeginsPaths) {
  const std::set<std::string> existing = {"/home/me/day.trk", "/var"};
  static const std::set<std::string>* files = nullptr;
  files = &existing;
  auto exists = [](const std::string& name) { return files->count(name) > 0; };

  auto parsed = ParseOptions(Args({"/v", "/home/me/day.trk", "day.kml"}), exists, true);
  EXPECT_TRUE(parsed.options.Verbose);
  EXPECT_EQ(parsed.firstInput, 2U);

  parsed = ParseOptions(Args({"/var", "out.trk"}), exists, true);  // a folder, not /v
  EXPECT_FALSE(parsed.options.Verbose);
  EXPECT_EQ(parsed.firstInput, 1U);

  parsed = ParseOptions(Args({"/f:2", "--", "/odd-name", "out.trk"}), exists, true);
  EXPECT_EQ(parsed.options.First, 2);
  EXPECT_EQ(parsed.firstInput, 3U);

  // A name that does not exist is still read as an option.
  parsed = ParseOptions(Args({"/root/missing.trk", "in.trk", "out.trk"}), exists, true);
  EXPECT_EQ(parsed.options.Rename, "ot/missing.trk");
}

TEST(ParseOptions, EveryLeadingSlashIsAnOptionWhereNoPathBeginsWithSlash) {
  auto exists = [](const std::string&) { return true; };  // even existing names

  auto parsed = ParseOptions(Args({"/v", "/var", "in.trk", "out.trk"}), exists, false);
  EXPECT_TRUE(parsed.options.Verbose);  // "/var" is /v again
  EXPECT_EQ(parsed.firstInput, 3U);

  // "--" is an ordinary argument: the first input, and what follows is input.
  parsed = ParseOptions(Args({"/f:2", "--", "/l:5", "out.trk"}), exists, false);
  EXPECT_EQ(parsed.options.First, 2);
  EXPECT_EQ(parsed.options.Last, -1);
  EXPECT_EQ(parsed.firstInput, 2U);
}

TEST(ParseOptions, TheSystemsOwnRulesAreTheDefault) {
  auto exists = [](const std::string&) { return true; };
  const auto parsed = ParseOptions(Args({"/var", "in.trk", "out.trk"}), exists);
  EXPECT_EQ(parsed.options.Verbose, !platform::SlashBeginsPaths());
  EXPECT_EQ(parsed.firstInput, platform::SlashBeginsPaths() ? 1U : 2U);
}

TEST(Arguments, IndexBeyondTheListGivesTheEmptyText) {
  const Arguments arguments = Args({"a", "b"});
  EXPECT_EQ(arguments[1], "a");
  EXPECT_EQ(arguments[2], "b");
  EXPECT_EQ(arguments[3], "");
  EXPECT_EQ(arguments[0], "");
}

struct SplitCase {
  const char* line;
  std::vector<std::string> words;
};

TEST(SplitCommandLine, SeparatorsQuotesAndEmptyPairs) {
  const SplitCase cases[] = {
      {"pathmend a b", {"pathmend", "a", "b"}},
      {"  pathmend\ta\x01\x1f"
       "b  ",
       {"pathmend", "a", "b"}},
      {"p /r:\"Road Split\" x", {"p", "/r:Road Split", "x"}},
      {"p \"C:\\My Tracks\\a.trk\" b", {"p", "C:\\My Tracks\\a.trk", "b"}},
      {"p \"unterminated quote", {"p", "unterminated quote"}},
      {"p \"\" b", {"p", "b"}},
      {"p \"\"b", {"p", "b"}},
      {"p a\"\"b", {"p", "ab"}},
      {"p \" \"", {"p", " "}},
      {"", {}},
  };
  for (const SplitCase& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

}  // namespace
}  // namespace pathmend
