// Running the readers this project did not write (xmllint, GDAL, GPSBabel,
// rsvg-convert) from end-to-end tests, and reading their text output.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/track_log_builder.h"

namespace pathmend::testing {

inline bool Installed(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

struct ToolResult {
  int exitCode = -1;
  std::string out;  // standard output and standard error
};

// Runs a shell command in a folder with TZ=UTC; its output goes through a
// file in that folder.
inline ToolResult RunTool(const std::string& folder, const std::string& command) {
  const std::string capture = folder + "/tool-output.txt";
  const std::string line =
      "cd '" + folder + "' && TZ=UTC LC_ALL=C " + command + " >'" + capture + "' 2>&1";
  const int status = std::system(line.c_str());
  ToolResult result;
  if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.out = ReadFileText(capture);
  std::filesystem::remove(capture);
  return result;
}

inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) {
    if (!part.empty() && part.back() == '\r') part.pop_back();
    parts.push_back(part);
  }
  return parts;
}

// A file of the repository's tests/interop folder.
inline std::string InteropFile(const std::string& name) {
  return (std::filesystem::path(__FILE__).parent_path().parent_path() / "interop" / name).string();
}

// The public GPX 1.1 schema, kept in the schemas folder beside the project
// (../shared/schemas from the source tree), not copied into it.
inline std::string GpxSchemaPath() {
  return (std::filesystem::path(PATHMEND_SOURCE_DIR).parent_path() / "shared" / "schemas" /
          "gpx-1.1.xsd")
      .string();
}

// Validates a GPX file against the GPX 1.1 schema with xmllint; an empty
// result means valid (or xmllint missing). A missing schema is an error, so
// that the check can never pass without having looked.
inline std::string GpxSchemaErrors(const std::string& folder, const std::string& file) {
  if (!Installed("xmllint")) return "";
  if (!std::filesystem::exists(GpxSchemaPath())) return "no GPX schema at " + GpxSchemaPath();
  const ToolResult check =
      RunTool(folder, "xmllint --noout --schema '" + GpxSchemaPath() + "' '" + file + "'");
  if (check.exitCode == 0) return "";
  return "xmllint --schema: exit " + std::to_string(check.exitCode) + "\n" + check.out;
}

}  // namespace pathmend::testing
