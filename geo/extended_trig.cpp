// The only place with x87 instructions: fsincos on a reduced argument, fpatan
// and fsqrt. The x87 unit works at a 64-bit significand, rounding to nearest,
// so each instruction's result is an extended value as it stands.
#include "geo/extended_trig.h"

#include <cstdint>
#include <cstring>

namespace pathmend {
namespace {

#if !(defined(__x86_64__) || defined(__i386__))
#error "the extended arithmetic needs the x87 unit"
#endif

// 2/pi rounded to extended: only used to pick the quadrant, so its own
// rounding does not matter beyond choosing between two neighbouring k.
constexpr Extended kTwoOverPi = 0xA2F9836E4E44152Ap-64L;
constexpr Extended kTwoTo63 = 0x8000000000000000p+0L;

// pi/2 = kPiOver2Part1 + kPiOver2Part2 + kPiOver2Part3 to about 180 bits. The
// first two parts have at most 57 significant bits, so k * part is exact for
// every k below 128, and the first subtraction is exact as well.
constexpr Extended kPiOver2Part1 = 0xC90FDAA22168C200p-63L;
constexpr Extended kPiOver2Part2 = 0xD313198A2E037000p-121L;
constexpr Extended kPiOver2Part3 = 0xE68948127044533Ep-178L;

void X87SinCos(Extended r, Extended& sine, Extended& cosine) {
  // fsincos replaces st(0) by its sine and pushes the cosine.
  __asm__("fsincos" : "=t"(cosine), "=u"(sine) : "0"(r));
}

}  // namespace

SineCosine ExtendedSinCos(Extended x) {
  const bool negative = x < 0.0L;
  const Extended a = negative ? -x : x;

  // Nearest multiple k of pi/2 (a tie may go either way: both reduced
  // arguments are within pi/4 and a little). Adding 2^63 leaves a sum whose
  // last place is worth 1, so the addition rounds to the integer and k can be
  // read from the low bits of the sum's significand. This avoids a float to
  // integer conversion, which on the x87 means switching the rounding mode.
  const Extended shifted = a * kTwoOverPi + kTwoTo63;
  std::uint64_t significand;
  std::memcpy(&significand, &shifted, sizeof significand);
  const auto k = static_cast<std::uint32_t>(significand & 0xFFu);
  const Extended kk = shifted - kTwoTo63;
  const Extended r = ((a - kk * kPiOver2Part1) - kk * kPiOver2Part2) - kk * kPiOver2Part3;

  Extended s, c;
  X87SinCos(r, s, c);
  SineCosine result{};
  switch (k & 3) {
    case 0: result = {s, c}; break;
    case 1: result = {c, -s}; break;
    case 2: result = {-s, -c}; break;
    default: result = {-c, s}; break;
  }
  if (negative) result.sine = -result.sine;
  return result;
}

Extended ExtendedArcTangent2(Extended y, Extended x) {
  // fpatan computes the angle of (st(0), st(1)) = (x, y) and pops.
  Extended angle;
  __asm__("fpatan" : "=t"(angle) : "0"(x), "u"(y) : "st(1)");
  return angle;
}

Extended ExtendedSquareRoot(Extended x) {
  Extended root;
  __asm__("fsqrt" : "=t"(root) : "0"(x));
  return root;
}

}  // namespace pathmend
