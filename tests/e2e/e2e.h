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

// The failure report: the two report lines and the closing empty line.
inline std::string FailureText(const std::string& kind, const std::string& message) {
  // The address differs from build to build; tests compare it through
  // ReplaceAddress.
  return "Exception " + kind + " in module pathmend at XXXXXXXX.\r\n" + message + "\r\n\r\n";
}

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

  std::string File(const std::string& name) const { return dir.File(name); }

  // Runs pathmend in the test's folder, in UTC and the default locale unless
  // the setup says otherwise.
  RunResult Run(std::vector<std::string> args, RunSetup setup = {}) {
    setup.args = std::move(args);
    setup.env.insert(setup.env.begin(), {{"TZ", "UTC"}, {"LC_ALL", "C"}});
    if (setup.cwd.empty()) setup.cwd = dir.path();
    return RunPathmend(setup);
  }
};

}  // namespace pathmend::testing
