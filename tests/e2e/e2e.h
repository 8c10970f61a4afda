// Shared pieces of the end-to-end tests: running pathmend in a temporary
// folder, and the fixed console texts it prints.
#pragma once

#include <gtest/gtest.h>

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
std::string ReplaceAddress(const std::string& out);

class EndToEnd : public ::testing::Test {
 protected:
  TempDir dir;

  std::string File(const std::string& name) const { return dir.File(name); }

  RunResult Run(std::vector<std::string> args, RunSetup setup = {}) {
    setup.args = std::move(args);
    if (setup.cwd.empty()) setup.cwd = dir.path();
    return RunPathmend(setup);
  }
};

}  // namespace pathmend::testing
