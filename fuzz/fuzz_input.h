// The byte layout the fuzz targets read their cases from, and the writer the
// seed generator uses to make cases in the same layout. Values are read from
// the front; a read past the end gives zeros and empty texts, so every byte
// string is a valid case.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pathmend::fuzz {

class FuzzReader {
 public:
  FuzzReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
  std::uint32_t U32() {
    return static_cast<std::uint32_t>(U16()) | static_cast<std::uint32_t>(U16()) << 16;
  }
  std::uint64_t U64() {
    return static_cast<std::uint64_t>(U32()) | static_cast<std::uint64_t>(U32()) << 32;
  }
  // A text of at most `limit` bytes, its length in the first byte.
  std::string Text(std::size_t limit = 255) { return Bytes(Byte() % (limit + 1)); }
  std::string Bytes(std::size_t count) {
    if (count > size_ - at_) count = size_ - at_;
    std::string text(reinterpret_cast<const char*>(data_ + at_), count);
    at_ += count;
    return text;
  }
  std::string Rest() { return Bytes(size_ - at_); }
  std::size_t Left() const { return size_ - at_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

class FuzzWriter {
 public:
  FuzzWriter& Byte(std::uint8_t value) {
    bytes_.push_back(value);
    return *this;
  }
  FuzzWriter& U16(std::uint16_t value) {
    return Byte(static_cast<std::uint8_t>(value)).Byte(static_cast<std::uint8_t>(value >> 8));
  }
  FuzzWriter& U32(std::uint32_t value) {
    return U16(static_cast<std::uint16_t>(value)).U16(static_cast<std::uint16_t>(value >> 16));
  }
  FuzzWriter& U64(std::uint64_t value) {
    return U32(static_cast<std::uint32_t>(value)).U32(static_cast<std::uint32_t>(value >> 32));
  }
  FuzzWriter& Text(std::string_view text) {
    Byte(static_cast<std::uint8_t>(text.size()));
    return Bytes(text);
  }
  FuzzWriter& Bytes(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  FuzzWriter& Bytes(const std::vector<std::uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  const std::vector<std::uint8_t>& Result() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// The whole-run case: options drawn from the real option forms, then one or
// two input files.
struct RunCase {
  std::vector<std::string> options;
  std::string first;
  std::string second;
  bool twoInputs = false;
  char format = 'T';  // 'T' track log, 'K' KML, 'X' GPS TrackMaker text
};

// The option letters a case can use: the six the program knows and others.
inline constexpr std::string_view kOptionLetters = "VORFLTvorflt?Zx-";

inline RunCase ReadRunCase(FuzzReader& in) {
  RunCase c;
  static constexpr char kFormats[] = {'T', 'K', 'X'};
  c.format = kFormats[in.Byte() % 3];
  const std::uint8_t flags = in.Byte();
  c.twoInputs = (flags & 1) != 0;
  const int optionCount = in.Byte() % 8;
  for (int i = 0; i < optionCount; ++i) {
    const char letter = kOptionLetters[in.Byte() % kOptionLetters.size()];
    const char separator = static_cast<char>(in.Byte());
    std::string value;
    const std::uint8_t kind = in.Byte();
    const std::uint32_t number = in.U32();
    switch (kind % 6) {
      case 0: value = std::to_string(static_cast<std::int32_t>(number)); break;
      case 1: value = std::to_string(number % 64); break;
      case 2: value = "$" + std::to_string(number); break;  // decimal digits read as hexadecimal
      case 3: value = std::string(number % 4, ' ') + std::to_string(number % 1000); break;
      default: value = in.Text(40); break;
    }
    std::string option(1, letter);
    option += separator;
    option += value;
    // Arguments are C strings, and a "/" after the first byte could make the
    // option name a file elsewhere, which would then be read as an input.
    std::erase_if(option, [](char ch) { return ch == '\0'; });
    std::erase(option, '/');
    c.options.push_back("/" + option);
  }
  // The format option comes last, so that it wins over a fuzzed /o.
  c.options.push_back(std::string("/o") + c.format);
  const std::uint32_t firstSize = in.U32();
  c.first = in.Bytes(c.twoInputs ? firstSize : in.Left());
  c.second = c.twoInputs ? in.Rest() : std::string();
  return c;
}

}  // namespace pathmend::fuzz
