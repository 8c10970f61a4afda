#include "runtime/number_text.h"

namespace pathmend {

namespace {

std::string Digits(std::uint32_t magnitude) {
  char buffer[10];
  int at = 10;
  do {
    buffer[--at] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  return {buffer + at, buffer + 10};
}

}  // namespace

std::string SignedDecimal(std::int32_t value, int width) {
  // The magnitude is taken in unsigned arithmetic, so -2147483648 needs no
  // special case.
  const std::uint32_t magnitude =
      value < 0 ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  std::string text = value < 0 ? "-" + Digits(magnitude) : Digits(magnitude);
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}

std::string UnsignedDecimal(std::uint32_t value) { return Digits(value); }

std::string TruthWord(std::int64_t value) { return value != 0 ? "TRUE" : "FALSE"; }

}  // namespace pathmend
