// The manual page and the README's option table describe the same options,
// and both cover every option of the program's own usage text.

#include <fstream>
#include <set>
#include <sstream>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

std::string SourceFile(const std::string& relative) {
  std::ifstream in(std::string(PATHMEND_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The options of the README's table: the first cell of each row under the
// "| option | meaning |" heading, without its backticks ("/r:NAME").
std::vector<std::string> ReadmeOptions(const std::string& readme) {
  std::vector<std::string> options;
  bool inTable = false;
  for (const std::string& line : Lines(readme)) {
    if (line == "| option | meaning |") {
      inTable = true;
      continue;
    }
    if (!inTable || line.rfind("|---", 0) == 0) continue;
    if (line.rfind("| `", 0) != 0) {
      if (!options.empty()) break;
      continue;
    }
    const std::size_t end = line.find('`', 3);
    options.push_back(line.substr(3, end - 3));
  }
  return options;
}

// The options of the manual: the tag line after each .TP of the OPTIONS
// section, ".B /ot" or ".BI /r: NAME", with the macro's arguments joined.
std::vector<std::string> ManualOptions(const std::string& manual) {
  std::vector<std::string> options;
  bool inSection = false;
  bool tagNext = false;
  for (const std::string& line : Lines(manual)) {
    if (line.rfind(".SH ", 0) == 0) {
      inSection = line == ".SH OPTIONS";
      continue;
    }
    if (!inSection) continue;
    if (line == ".TP") {
      tagNext = true;
      continue;
    }
    if (!tagNext) continue;
    tagNext = false;
    std::istringstream words(line);
    std::string macro;
    words >> macro;
    std::string option;
    for (std::string word; words >> word;) option += word;
    options.push_back(option);
  }
  return options;
}

// The option letters of the usage text: "  /ot = ..." and "  /r  = ...".
std::set<std::string> UsageOptions(const std::string& usage) {
  std::set<std::string> options;
  for (const std::string& line : Lines(usage)) {
    if (line.rfind("  /", 0) != 0) continue;
    options.insert(line.substr(2, line.find_first_of(" =", 2) - 2));
  }
  return options;
}

// "/r:NAME" and "/ot" as the letters a user types before any value.
std::string Spelling(const std::string& option) { return option.substr(0, option.find(':')); }

TEST(Manual, ListsTheOptionsOfTheReadmeTable) {
  const std::vector<std::string> readme = ReadmeOptions(SourceFile("README.md"));
  const std::vector<std::string> manual = ManualOptions(SourceFile("docs/pathmend.1"));
  ASSERT_FALSE(readme.empty()) << "no option table found in README.md";
  ASSERT_FALSE(manual.empty()) << "no OPTIONS section found in docs/pathmend.1";
  EXPECT_EQ(std::multiset<std::string>(readme.begin(), readme.end()),
            std::multiset<std::string>(manual.begin(), manual.end()));
  EXPECT_EQ(std::set<std::string>(manual.begin(), manual.end()).size(), manual.size())
      << "an option is listed twice in the manual";
}

TEST(Manual, CoversEveryOptionOfTheUsageText) {
  const RunResult usage = RunPathmend({});
  const std::set<std::string> used = UsageOptions(usage.out);
  ASSERT_EQ(used.size(), 8u) << usage.out;
  std::set<std::string> documented;
  for (const std::string& option : ManualOptions(SourceFile("docs/pathmend.1"))) {
    documented.insert(Spelling(option));
  }
  for (const std::string& option : used) EXPECT_TRUE(documented.count(option)) << option;
}

}  // namespace
}  // namespace pathmend::testing
