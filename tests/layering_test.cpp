// The folders of the program form layers: a file may include headers of its
// own folder and of the folders below it, never of a folder above. This test
// reads every source file of the program's folders and fails on an include
// that goes up, on a folder that is not placed in the order, and on a folder
// whose library does not link a folder it includes (HACKING.md names the
// order).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// From the bottom up. tests/, tools/ and bench/ stand above all of them.
const std::vector<std::string> kOrder = {"platform", "runtime", "geo",    "tracklog",
                                         "process",  "report",  "export", "app"};
const std::set<std::string> kAbove = {"tests", "tools",   "bench",  "fuzz",
                                      "build", "samples", "scripts"};

const fs::path kRoot = PATHMEND_SOURCE_DIR;

int Rank(const std::string& folder) {
  const auto at = std::find(kOrder.begin(), kOrder.end(), folder);
  return at == kOrder.end() ? -1 : static_cast<int>(at - kOrder.begin());
}

std::string Read(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The folders that the quoted includes of a file name ("geo/date_time.h"
// names geo).
std::set<std::string> IncludedFolders(const fs::path& file) {
  static const std::regex kInclude("^\\s*#\\s*include\\s+\"([A-Za-z0-9_]+)/");
  std::set<std::string> folders;
  std::istringstream lines(Read(file));
  std::string line;
  std::smatch match;
  while (std::getline(lines, line)) {
    if (std::regex_search(line, match, kInclude)) folders.insert(match[1]);
  }
  return folders;
}

bool IsSource(const fs::path& path) {
  const std::string extension = path.extension().string();
  return extension == ".h" || extension == ".cpp";
}

bool IsTestFile(const fs::path& path) {
  const std::string stem = path.stem().string();
  return stem.ends_with("_test") || stem.ends_with("_bench");
}

TEST(Layering, EveryFolderWithSourcesHasAPlace) {
  for (const auto& entry : fs::directory_iterator(kRoot)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory() || name.starts_with(".") || kAbove.count(name) != 0) continue;
    bool hasSources = false;
    for (const auto& file : fs::recursive_directory_iterator(entry.path())) {
      hasSources = hasSources || IsSource(file.path());
    }
    if (hasSources) {
      EXPECT_NE(Rank(name), -1) << name << "/ has sources but no place in the order";
    }
  }
}

TEST(Layering, NoFileIncludesAHeaderOfAFolderAbove) {
  int files = 0;
  for (const std::string& folder : kOrder) {
    for (const auto& entry : fs::recursive_directory_iterator(kRoot / folder)) {
      if (!IsSource(entry.path())) continue;
      ++files;
      for (const std::string& included : IncludedFolders(entry.path())) {
        const std::string file = fs::relative(entry.path(), kRoot).string();
        if (included == "tests") {
          EXPECT_TRUE(IsTestFile(entry.path())) << file << " includes tests/ but is no test";
          continue;
        }
        EXPECT_NE(Rank(included), -1) << file << " includes from " << included << "/, not a folder";
        EXPECT_LE(Rank(included), Rank(folder)) << file << " includes a header of " << included
                                                << "/, which is above " << folder << "/";
      }
    }
  }
  EXPECT_GT(files, 50) << "the sources were not found under " << kRoot;
}

// pathmend_module(pathmend_<folder> <libraries>...) in each folder's
// CMakeLists.txt: the libraries a folder links, directly.
std::map<std::string, std::set<std::string>> LinkedFolders() {
  static const std::regex kModule("pathmend_module\\(\\s*pathmend_([a-z]+)([^)]*)\\)");
  static const std::regex kLibrary("pathmend_([a-z]+)");
  std::map<std::string, std::set<std::string>> links;
  for (const std::string& folder : kOrder) {
    const std::string text = Read(kRoot / folder / "CMakeLists.txt");
    std::smatch match;
    if (!std::regex_search(text, match, kModule)) continue;
    const std::string libraries = match[2];
    std::set<std::string>& linked = links[match[1]];
    for (auto it = std::sregex_iterator(libraries.begin(), libraries.end(), kLibrary);
         it != std::sregex_iterator(); ++it) {
      linked.insert((*it)[1]);
    }
  }
  return links;
}

TEST(Layering, EveryFolderLinksTheFoldersItIncludes) {
  const auto links = LinkedFolders();
  ASSERT_FALSE(links.empty());
  // What a folder reaches through its libraries and theirs.
  const auto reached = [&](const std::string& folder) {
    std::set<std::string> seen;
    std::vector<std::string> todo{folder};
    while (!todo.empty()) {
      const std::string next = todo.back();
      todo.pop_back();
      if (!seen.insert(next).second) continue;
      const auto it = links.find(next);
      if (it != links.end()) todo.insert(todo.end(), it->second.begin(), it->second.end());
    }
    return seen;
  };
  for (const std::string& folder : kOrder) {
    if (links.find(folder) == links.end()) continue;  // platform builds its own library
    const std::set<std::string> linked = reached(folder);
    for (const auto& entry : fs::recursive_directory_iterator(kRoot / folder)) {
      if (!IsSource(entry.path()) || IsTestFile(entry.path())) continue;
      for (const std::string& included : IncludedFolders(entry.path())) {
        EXPECT_TRUE(linked.count(included) != 0)
            << fs::relative(entry.path(), kRoot).string() << " includes " << included
            << "/ but pathmend_" << folder << " does not link pathmend_" << included;
      }
    }
  }
}

}  // namespace
