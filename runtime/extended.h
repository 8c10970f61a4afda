// The extended real format that all of the program's arithmetic uses.
//
// The results the program writes (lengths in the track log header, digits in
// the reports) are fixed to the last bit by the x87 80-bit extended format:
// 1 sign bit, 15 exponent bits and a 64-bit significand with an explicit
// integer bit, every operation rounded to nearest with ties to even. With GCC
// or Clang on x86, `long double` is exactly that format, and the compiler
// evaluates `long double` arithmetic on the x87 unit, whose precision control
// the C runtime leaves at 64 bits. The build turns off contraction and fast
// math (see the top-level CMakeLists.txt), so every operation is rounded on
// its own.
#pragma once

#include <cfloat>
#include <limits>

namespace pathmend {

using Extended = long double;

static_assert(std::numeric_limits<Extended>::digits == 64,
              "pathmend needs long double to be the x87 80-bit extended format");
static_assert(std::numeric_limits<Extended>::max_exponent == 16384,
              "pathmend needs long double to be the x87 80-bit extended format");
static_assert(std::numeric_limits<double>::digits == 53 && std::numeric_limits<double>::is_iec559,
              "pathmend needs double to be IEEE 754 binary64");
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD != 0
#error "double arithmetic must be evaluated in double (SSE2), not in extended registers"
#endif

// Rounds an extended value to the nearest double (ties to even). Every place
// where the program keeps a value in a double field goes through this, so the
// rounding points can be found by name.
inline double RoundToDouble(Extended x) { return static_cast<double>(x); }

}  // namespace pathmend
