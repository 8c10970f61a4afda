// Text forms of integers and truth values, byte for byte as the reports and
// exports print them. (Real numbers: runtime/fixed_notation.h.)
#pragma once

#include <cstdint>
#include <string>

namespace pathmend {

// "-" for a negative value, then the digits of its magnitude without leading
// zeros; padded with spaces in front to `width` characters.
std::string SignedDecimal(std::int32_t value, int width = 0);

// The digits of the value without leading zeros, no sign, no padding.
std::string UnsignedDecimal(std::uint32_t value);

// "FALSE" for 0, "TRUE" for any other value.
std::string TruthWord(std::int64_t value);

}  // namespace pathmend
