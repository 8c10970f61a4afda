// The option reader and the Windows command-line splitting rule against
// small reference models written here from the rules, not from the code:
// - SplitCommandLine: a state machine over the bytes (a double quote toggles
//   the quoted state and is dropped; outside quotes bytes 1 to 32 end a word;
//   a NUL ends the line; empty words are not arguments), skipping the program
//   name;
// - ParseOptionInteger: the three valid forms, checked with 128-bit sums;
// - ParseOptions: the option loop, the letters in either case, the value
//   from the fourth byte, invalid numbers keeping the earlier value.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/run_options.h"
#include "fuzz/fuzz_input.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view input) {
  std::fprintf(stderr, "%s differs from the model for \"", what);
  for (const char c : input) std::fprintf(stderr, "\\x%02X", static_cast<unsigned char>(c));
  std::fprintf(stderr, "\"\n");
  std::abort();
}

std::vector<std::string> ModelSplit(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  for (const char c : line) {
    if (c == '\0') break;
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && byte <= 32) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::int32_t> ModelInteger(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  std::string_view rest = text.substr(at);
  if (rest.empty()) return std::nullopt;
  std::size_t prefix = 0;
  if (rest.substr(0, 2) == "0x" || rest.substr(0, 2) == "0X") {
    prefix = 2;
  } else if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X') {
    prefix = 1;
  }
  if (prefix != 0) {
    std::string_view digits = rest.substr(prefix);
    if (digits.empty()) return std::nullopt;
    for (const char c : digits) {
      if (HexDigit(c) < 0) return std::nullopt;
    }
    while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
    if (digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) value = value * 16 + static_cast<std::uint32_t>(HexDigit(c));
    return static_cast<std::int32_t>(value);
  }
  bool negative = false;
  if (rest[0] == '+' || rest[0] == '-') {
    negative = rest[0] == '-';
    rest.remove_prefix(1);
  }
  if (rest.empty()) return std::nullopt;
  __int128 value = 0;
  for (const char c : rest) {
    if (c < '0' || c > '9') return std::nullopt;
    if (value <= (static_cast<__int128>(1) << 40)) value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// Names that "exist": those ending in "!".
bool ModelExists(const std::string& name) { return !name.empty() && name.back() == '!'; }

pathmend::ParsedOptions ModelOptions(const std::vector<std::string>& args) {
  pathmend::ParsedOptions parsed;
  pathmend::RunOptions& o = parsed.options;
  const std::size_t n = args.size();
  std::size_t i = 1;
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  for (; i < n; ++i) {
    const std::string& a = args[i - 1];
    if (a == "--") {
      ++i;
      break;
    }
    if (a.empty() || a[0] != '/' || ModelExists(a)) break;
    const char letter = a.size() >= 2 ? upper(a[1]) : '\0';
    const std::string value = a.size() >= 4 ? a.substr(3) : "";
    if (letter == 'V') o.Verbose = true;
    if (letter == 'O' && a.size() >= 3) o.FormatLetter = upper(a[2]);
    if (letter == 'R') o.Rename = value;
    if (letter == 'F' || letter == 'L' || letter == 'T') {
      if (const auto v = ModelInteger(value)) {
        (letter == 'F' ? o.First : letter == 'L' ? o.Last : o.NewType) = *v;
      }
    }
  }
  parsed.firstInput = i;
  return parsed;
}

bool Same(const pathmend::ParsedOptions& a, const pathmend::ParsedOptions& b) {
  return a.firstInput == b.firstInput && a.options.FormatLetter == b.options.FormatLetter &&
         a.options.Verbose == b.options.Verbose && a.options.Rename == b.options.Rename &&
         a.options.First == b.options.First && a.options.Last == b.options.Last &&
         a.options.NewType == b.options.NewType;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  if (pathmend::ParseOptionInteger(bytes) != ModelInteger(bytes)) Fail("ParseOptionInteger", bytes);

  // The bytes as a command line: the program name first, then the arguments.
  const std::vector<std::string> words = pathmend::SplitCommandLine(bytes);
  if (words != ModelSplit(bytes)) Fail("SplitCommandLine", bytes);

  pathmend::Arguments arguments;
  if (!words.empty()) arguments.items.assign(words.begin() + 1, words.end());
  const pathmend::ParsedOptions parsed = pathmend::ParseOptions(arguments, ModelExists);
  if (!Same(parsed, ModelOptions(arguments.items))) Fail("ParseOptions", bytes);
  return 0;
}
