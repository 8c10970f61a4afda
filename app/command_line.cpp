#include "app/command_line.h"

#include "runtime/failure.h"
#include "runtime/number_text.h"
#include "runtime/text_stream.h"
#include "tracklog/track_log.h"

namespace pathmend {

const std::string& Arguments::operator[](std::size_t index) const {
  static const std::string kEmpty;
  if (index < 1 || index > items.size()) return kEmpty;
  return items[index - 1];
}

void PrintBanner() {
  ConsoleLine("");
  ConsoleLine("Vantira Track log Repairer/Appender & Exporter");
  ConsoleLine("");
}

void PrintUsage() {
  ConsoleLine("Usage: pathmend.exe [options] in.trk [in2.trk in3.trk ...] out.file");
  ConsoleLine("");
  ConsoleLine("  /ot = create Vantira .TRK output (default)");
  ConsoleLine("  /ok = create Google Earth .KML output");
  ConsoleLine("  /ox = create GPS TrackMaker Text Format .TXT output");
  ConsoleLine("  /v  = verbose mode");
  ConsoleLine("  /r  = rename (max. 32 chars)");
  ConsoleLine("  /f  = first point (only first track)");
  ConsoleLine("  /l  = last point (only first track)");
  ConsoleLine("  /t  = type of track:");
  ConsoleLine("");
  for (std::int32_t row = 0; row < 4; ++row) {
    for (std::int32_t column = 0; column < 3; ++column) {
      const std::int32_t index = 3 * row + column;
      WriteText(Console, "\t");
      WriteText(Console, SignedDecimal(index, 2));
      WriteText(Console, ": ");
      WriteText(Console, TypeName(index), TextBytes::CodePage852);
    }
    EndLine(Console);
    CheckIo();
  }
  ConsoleLine("");
  ConsoleLine("Ex. pathmend /v /r:\"Road Split\" /f:10 /l:30 /t:5 20060101.trk new.trk");
  ConsoleLine("    pathmend /ok /f:10 20060101.trk ge.kml");
  ConsoleLine("    pathmend /ot /l:30 20060101.trk gtm.txt");
}

std::optional<std::int32_t> ParseOptionInteger(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  text.remove_prefix(at);
  if (text.empty()) return std::nullopt;

  auto hexValue = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };

  std::size_t prefix = 0;
  if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') {
    prefix = 1;
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    prefix = 2;
  }
  if (prefix != 0) {
    text.remove_prefix(prefix);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    int significant = 0;
    for (const char c : text) {
      const int digit = hexValue(c);
      if (digit < 0) return std::nullopt;
      if (significant > 0 || digit != 0) ++significant;
      if (significant > 8) return std::nullopt;
      value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }

  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

ParsedOptions ParseOptions(const Arguments& arguments, bool (*pathExists)(const std::string&),
                           bool slashBeginsPaths) {
  ParsedOptions parsed;
  RunOptions& options = parsed.options;
  const std::size_t count = arguments.Count();
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };

  std::size_t i = 1;
  while (i < count) {
    const std::string& argument = arguments[i];
    if (slashBeginsPaths && argument == "--") {
      ++i;
      break;
    }
    if (argument.empty() || argument[0] != '/') break;
    if (slashBeginsPaths && pathExists != nullptr && pathExists(argument)) break;
    const char letter = argument.size() > 1 ? upper(argument[1]) : '\0';
    const std::string value = argument.size() > 3 ? argument.substr(3) : std::string();
    switch (letter) {
      case 'V': options.Verbose = true; break;
      case 'O':
        // "/o" alone names no format: the option is ignored.
        if (argument.size() > 2) options.FormatLetter = upper(argument[2]);
        break;
      case 'R': options.Rename = value; break;
      case 'S': options.Salvage = true; break;
      case 'F':
        if (auto v = ParseOptionInteger(value)) options.First = *v;
        break;
      case 'L':
        if (auto v = ParseOptionInteger(value)) options.Last = *v;
        break;
      case 'T':
        if (auto v = ParseOptionInteger(value)) options.NewType = *v;
        break;
      default: break;  // unknown letters are skipped without a message
    }
    ++i;
  }
  parsed.firstInput = i;
  return parsed;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  auto separator = [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
  };
  while (true) {
    while (at < line.size() && separator(line[at])) ++at;
    // A pair of double quotes with nothing between them at the start of an
    // argument is skipped, so no argument is empty.
    while (at + 1 < line.size() && line[at] == '"' && line[at + 1] == '"') {
      at += 2;
      while (at < line.size() && separator(line[at])) ++at;
    }
    if (at >= line.size() || line[at] == '\0') break;
    std::string word;
    bool quoted = false;
    while (at < line.size() && line[at] != '\0' && (quoted || !separator(line[at]))) {
      if (line[at] == '"') {
        quoted = !quoted;
      } else {
        word += line[at];
      }
      ++at;
    }
    if (!word.empty()) words.push_back(std::move(word));
  }
  return words;
}

}  // namespace pathmend
