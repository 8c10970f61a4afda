// Fixed-notation text of a real number, byte for byte as the reports and the
// exports print coordinates, lengths, altitudes and speeds.
#pragma once

#include <string>

#include "runtime/extended.h"

namespace pathmend {

// The text of x with exactly `decimals` digits after the point (0 or more; no
// point at all for 0), no minimum width:
// - "Nan" for any not-a-number, "+Inf" and "-Inf" for the infinities;
// - "-" in front whenever the sign bit is set, also for -0 and for negative
//   values that round to zero;
// - the value is scaled into [1, 16) by dividing by powers of ten, turned into
//   a 19-digit intermediate, and cut, rounding half up by the one next digit;
//   places beyond the intermediate's 19 digits are written as 0;
// - from 2^120 on, the exponent form " 1.3E+0036" (space or "-", two
//   significant digits, a four-digit exponent).
std::string FixedNotation(Extended x, int decimals);

// The same text, appended to `text`: a caller that builds a line in a reused
// string makes no allocation per number.
void AppendFixedNotation(std::string& text, Extended x, int decimals);

// The extended value nearest to 10^k, for k in 0..31, the multiples of 32 up
// to 480, and the multiples of 512 up to 4608 (the powers the scaling step
// divides by). Other k are not in the table; the function then returns 0.
Extended NearestPowerOfTen(int k);

}  // namespace pathmend
