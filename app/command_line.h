// The command line: banner, usage text, option parsing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_options.h"
#include "platform/platform.h"

namespace pathmend {

// Arguments after the program name, numbered from 1; argument N is the
// output. An index beyond N gives the empty text.
struct Arguments {
  std::vector<std::string> items;
  std::size_t Count() const { return items.size(); }
  const std::string& operator[](std::size_t index) const;  // 1-based
};

void PrintBanner();
void PrintUsage();

// Reads an option's integer value: leading spaces, then decimal with an
// optional sign, or hexadecimal after "$", "x", "X", "0x" or "0X" (at most
// 8 significant digits, taken as a signed 32-bit number). Nothing else is
// valid; an invalid value gives no result.
std::optional<std::int32_t> ParseOptionInteger(std::string_view text);

struct ParsedOptions {
  RunOptions options;
  std::size_t firstInput = 1;  // index of the first input argument
};

// Parses the leading options. Where `slashBeginsPaths` (the system's own rule
// by default: Linux yes, Windows no), two more rules hold: `pathExists` tells
// whether a name is an existing file or folder, and before the first input an
// argument that begins with "/" but names one is the first input, not an
// option; an argument that is exactly "--" ends the options and the next
// argument is the first input. Without them every argument before the first
// input that begins with "/" is an option, "--" included.
ParsedOptions ParseOptions(const Arguments& arguments, bool (*pathExists)(const std::string&),
                           bool slashBeginsPaths = platform::SlashBeginsPaths());

// Splits a Windows command line into arguments, the program name first:
// bytes 1 to 32 separate arguments; a double quote starts a section, up to
// the next double quote or the end, in which separators are ordinary; the
// quotes are removed; no escapes; no argument is empty.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace pathmend
