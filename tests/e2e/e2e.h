// Shared pieces of the end-to-end tests: running pathmend in a temporary
// folder, and the fixed console texts it prints.
#pragma once

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"
#include "tests/support/track_log_builder.h"

namespace pathmend::testing {

inline const std::string kCrLf = "\r\n";
inline const std::string kBanner = "\r\nVantira Track log Repairer/Appender & Exporter\r\n\r\n";
inline const std::string kSeparatorLine = "- - - - - - - - - - - - -\r\n";
inline const std::string kTrackLogFormatLine = "Output format: Vantira Tracklog\r\n";

// The module name in a failure report: the executable's file name, which
// Windows gives with its extension.
inline std::string ModuleName() { return WindowsMode() ? "pathmend.exe" : "pathmend"; }

// The failure report: the two report lines and the closing empty line.
inline std::string FailureText(const std::string& kind, const std::string& message) {
  // The address differs from build to build; tests compare it through
  // ReplaceAddress.
  return "Exception " + kind + " in module " + ModuleName() + " at XXXXXXXX.\r\n" + message +
         "\r\n\r\n";
}

// Date texts come from the system's locale data: with LC_ALL=C the program
// shows the documented defaults on Linux ("1/15/06 8:30:00 am"), while Wine
// turns C into English (United States), "1/15/2006 8:30:00 AM". In Windows
// mode the expectations stay those of the defaults and the program's text is
// mapped onto them: years 2000 to 2099 in four digits become two, and the
// marker after a time becomes lower case. Any other difference, other
// centuries included, is left for the comparison to show.
inline std::string FromSystemLocale(std::string text) {
  if (!WindowsMode()) return text;
  static const std::regex kAm("\\b(\\d{1,2}/\\d{1,2}/)20(\\d\\d) (\\d{1,2}:\\d\\d:\\d\\d) AM");
  static const std::regex kPm("\\b(\\d{1,2}/\\d{1,2}/)20(\\d\\d) (\\d{1,2}:\\d\\d:\\d\\d) PM");
  static const std::regex kDate("\\b(\\d{1,2}/\\d{1,2}/)20(\\d\\d)\\b");
  text = std::regex_replace(text, kAm, "$1$2 $3 am");
  text = std::regex_replace(text, kPm, "$1$2 $3 pm");
  return std::regex_replace(text, kDate, "$1$2");
}

// An exported text file, its dates as FromSystemLocale gives them.
inline std::string ReadExportText(const std::string& path) {
  return FromSystemLocale(ReadFileText(path));
}

// Skips a test that needs Linux itself: a terminal, a shell, descriptor
// limits, absolute paths that begin with "/".
#define PATHMEND_LINUX_ONLY(why)                                                     \
  do {                                                                               \
    if (::pathmend::testing::WindowsMode()) GTEST_SKIP() << "Linux only: " << (why); \
  } while (0)

// Replaces the eight hexadecimal digits of the address in a failure report
// with X, after checking that they are eight upper-case hexadecimal digits.
inline std::string ReplaceAddress(const std::string& out) {
  static const std::regex kAddress("(Exception [A-Za-z]+ in module [^ ]+ at )[0-9A-F]{8}\\.");
  return std::regex_replace(out, kAddress, "$1XXXXXXXX.");
}

// The report block of one input. The defaults are those of a header made by
// TrackLogBuilder, shown in the default locale.
struct ReportBlock {
  int index = 1;
  std::string argument;
  std::string points;
  std::string name = "Test";
  std::string newName;  // the /r value; shown when `renamed`
  bool renamed = false;
  std::string type = "5 (Aut\xA2)";
  std::string newType;  // shown when not empty
  std::string pp = "0";
  std::string id = "ID";
  std::string start = "1/15/06 8:30:00 am";  // empty: the block ends before this line
  std::string length = "0.00000";
  std::string visible = "TRUE";
  std::string cut;  // "first to last", shown when not empty

  std::string Text() const {
    std::string text = "Track #" + std::to_string(index) + ": " + argument + "\r\n";
    text += "  * Points: " + points + "\r\n";
    text += "  * Name: " + name + "\r\n";
    if (renamed) text += "  -> New Name: " + newName + "\r\n";
    text += "  * Type: " + type + "\r\n";
    if (!newType.empty()) text += "  -> New Type: " + newType + "\r\n";
    text += "  * PP: " + pp + "\r\n";
    text += "  * VT-ID: " + id + "\r\n";
    if (start.empty()) return text;
    text += "  * Start Date&Time: " + start + "\r\n";
    text += "  * Length: " + length + " km\r\n";
    text += "  * Visible: " + visible + "\r\n";
    if (!cut.empty()) text += "  -> First Track Cut: " + cut + "\r\n";
    return text;
  }
};

// A report block with the defaults for an argument and a point count.
inline std::string Report(const std::string& argument, int points, int index = 1,
                          const std::string& length = "0.00000") {
  ReportBlock block;
  block.index = index;
  block.argument = argument;
  block.points = std::to_string(points);
  block.length = length;
  return block.Text();
}

class EndToEnd : public ::testing::Test {
 protected:
  TempDir dir;
  // Set by tests of the locale itself: the program's date texts are
  // compared as they come, not mapped by FromSystemLocale.
  bool systemDates = false;

  std::string File(const std::string& name) const { return dir.File(name); }

  // Runs pathmend in the test's folder, in UTC and the default locale unless
  // the setup says otherwise.
  RunResult Run(std::vector<std::string> args, RunSetup setup = {}) {
    setup.args = std::move(args);
    setup.env.insert(setup.env.begin(), {{"TZ", "UTC"}, {"LC_ALL", "C"}});
    if (setup.cwd.empty()) setup.cwd = dir.path();
    RunResult result = RunPathmend(setup);
    if (!systemDates) result.out = FromSystemLocale(std::move(result.out));
    return result;
  }
};

}  // namespace pathmend::testing
