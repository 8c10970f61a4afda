#include "runtime/fixed_notation.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace pathmend {
namespace {

// Powers of ten as the extended values nearest to them. 10^0 to 10^27 are
// exact; the others are rounded to nearest. They are written as hexadecimal
// literals (64-bit significand times a power of two), so the compiler takes
// them as they stand, with no decimal conversion of its own.
constexpr Extended kPowersOfTenLow[32] = {
    0x8000000000000000p-63L, 0xA000000000000000p-60L, 0xC800000000000000p-57L,
    0xFA00000000000000p-54L, 0x9C40000000000000p-50L, 0xC350000000000000p-47L,
    0xF424000000000000p-44L, 0x9896800000000000p-40L, 0xBEBC200000000000p-37L,
    0xEE6B280000000000p-34L, 0x9502F90000000000p-30L, 0xBA43B74000000000p-27L,
    0xE8D4A51000000000p-24L, 0x9184E72A00000000p-20L, 0xB5E620F480000000p-17L,
    0xE35FA931A0000000p-14L, 0x8E1BC9BF04000000p-10L, 0xB1A2BC2EC5000000p-7L,
    0xDE0B6B3A76400000p-4L,  0x8AC7230489E80000p+0L,  0xAD78EBC5AC620000p+3L,
    0xD8D726B7177A8000p+6L,  0x878678326EAC9000p+10L, 0xA968163F0A57B400p+13L,
    0xD3C21BCECCEDA100p+16L, 0x84595161401484A0p+20L, 0xA56FA5B99019A5C8p+23L,
    0xCECB8F27F4200F3Ap+26L,  // 10^27, the last exact one
    0x813F3978F8940984p+30L, 0xA18F07D736B90BE5p+33L, 0xC9F2C9CD04674EDFp+36L,
    0xFC6F7C4045812296p+39L,
};

// 10^(32 k) for k = 0..15 (index 0 unused).
constexpr Extended kPowersOfTenBy32[16] = {
    1.0L,
    0x9DC5ADA82B70B59Ep+43L,
    0xC2781F49FFCFA6D5p+149L,
    0xEFB3AB16C59B14A3p+255L,
    0x93BA47C980E98CE0p+362L,
    0xB616A12B7FE617AAp+468L,
    0xE070F78D3927556Bp+574L,
    0x8A5296FFE33CC930p+681L,
    0xAA7EEBFB9DF9DE8Ep+787L,
    0xD226FC195C6A2F8Cp+893L,
    0x81842F29F2CCE376p+1000L,
    0x9FA42700DB900AD2p+1106L,
    0xC4C5E310AEF8AA17p+1212L,
    0xF28A9C07E9B09C59p+1318L,
    0x957A4AE1EBF7F3D4p+1425L,
    0xB83ED8DC0795A262p+1531L,
};

// 10^(512 k) for k = 0..9 (index 0 unused). The largest finite extended value
// is about 1.19 * 10^4932, so the scaling never needs more than 10^4608 here.
constexpr Extended kPowersOfTenBy512[10] = {
    1.0L,
    0xE319A0AEA60E91C7p+1637L,
    0xC976758681750C17p+3338L,
    0xB2B8353B3993A7E4p+5039L,
    0x9E8B3B5DC53D5DE5p+6740L,
    0x8CA554C020A1F0A6p+8441L,
    0xF9895D25D88B5A8Bp+10141L,
    0xDD5DC8A2BF27F3F8p+11842L,
    0xC46052028A20979Bp+13543L,
    0xAE3511626ED559F0p+15244L,
};

constexpr std::uint64_t kTenTo18 = 1000000000000000000ULL;

// The bytes of an extended value: 8 bytes of significand (integer bit
// included), then 2 bytes of sign and biased exponent.
struct ExtendedBits {
  std::uint64_t significand;
  std::uint16_t signAndExponent;
};

ExtendedBits BitsOf(Extended x) {
  unsigned char bytes[sizeof(Extended)];
  std::memcpy(bytes, &x, sizeof bytes);
  ExtendedBits bits{};
  std::memcpy(&bits.significand, bytes, 8);
  std::memcpy(&bits.signAndExponent, bytes + 8, 2);
  return bits;
}

// The integer b with 2^b <= s < 2^(b+1), for a positive normal s.
int BinaryExponent(Extended s) { return (BitsOf(s).signAndExponent & 0x7FFF) - 16383; }

// Rounds a non-negative value below 2^64 to an integer, ties to even. Below
// 2^63, adding 2^63 leaves the sum with a unit in its last place of exactly 1,
// so the extended addition (to nearest, ties to even) does the rounding and
// the subtraction gives the integer back exactly. From 2^63 on every extended
// value is already an integer.
std::uint64_t RoundToIntegerTiesToEven(Extended p) {
  const Extended twoTo63 = 0x8000000000000000p+0L;
  if (p >= twoTo63) return static_cast<std::uint64_t>(p);
  const Extended rounded = (p + twoTo63) - twoTo63;
  return static_cast<std::uint64_t>(rounded);
}

char DigitChar(int digit) { return static_cast<char>('0' + digit); }

// Two significant digits and a four-digit decimal exponent, from the digits of
// the intermediate D0..D18 standing for D * 10^(E-17).
void AppendExponentForm(std::string& text, bool negative, const int (&d)[19], int e) {
  int first, second, next, exponent;
  if (d[0] != 0) {
    first = d[0], second = d[1], next = d[2], exponent = e + 1;
  } else {
    first = d[1], second = d[2], next = d[3], exponent = e;
  }
  // Half up by the one digit after the two kept ones.
  if (next >= 5) {
    ++second;
    if (second == 10) {
      second = 0;
      ++first;
      if (first == 10) {  // the carry runs past the first digit: 9.9x -> 1.0, one place up
        first = 1;
        exponent += 1;
      }
    }
  }
  text += negative ? '-' : ' ';
  text += DigitChar(first);
  text += '.';
  text += DigitChar(second);
  text += "E+";
  text += DigitChar(exponent / 1000 % 10);
  text += DigitChar(exponent / 100 % 10);
  text += DigitChar(exponent / 10 % 10);
  text += DigitChar(exponent % 10);
}

}  // namespace

Extended NearestPowerOfTen(int k) {
  if (k >= 0 && k < 32) return kPowersOfTenLow[k];
  if (k > 0 && k % 32 == 0 && k / 32 < 16) return kPowersOfTenBy32[k / 32];
  if (k > 0 && k % 512 == 0 && k / 512 < 10) return kPowersOfTenBy512[k / 512];
  return 0.0L;
}

std::string FixedNotation(Extended x, int decimals) {
  std::string text;
  AppendFixedNotation(text, x, decimals);
  return text;
}

void AppendFixedNotation(std::string& text, Extended x, int decimals) {
  if (decimals < 0) decimals = 0;
  if (x != x) {
    text += "Nan";
    return;
  }
  if (x == std::numeric_limits<Extended>::infinity()) {
    text += "+Inf";
    return;
  }
  if (x == -std::numeric_limits<Extended>::infinity()) {
    text += "-Inf";
    return;
  }

  // The sign comes from the sign bit alone, so -0 and negative values that
  // round to zero keep their "-".
  const bool negative = (BitsOf(x).signAndExponent & 0x8000) != 0;
  const Extended a = negative ? -x : x;

  // Scale into [1, 16): divide by 10^f with f = floor(b * log10(2)) taken as
  // floor(b * 19728 / 65536), until f is 0. A value below 10 is never scaled.
  // 10^f is applied as up to three divisions, each rounded on its own.
  int e = 0;
  Extended s = a;
  if (!(a < 10.0L)) {
    for (;;) {
      const int b = BinaryExponent(s);
      const int f = (b * 19728) / 65536;  // b >= 3 here, so this is the floor
      if (f == 0) break;
      e += f;
      s = s / kPowersOfTenLow[f % 32];
      if ((f / 32) % 16 != 0) s = s / kPowersOfTenBy32[(f / 32) % 16];
      if (f / 512 != 0) s = s / kPowersOfTenBy512[f / 512];
    }
  }

  // The 19-digit intermediate: s * 10^17 rounded to extended, then to an
  // integer with ties to even. s < 16, so it stays below 1.6 * 10^18.
  const Extended scaled = s * kPowersOfTenLow[17];
  std::uint64_t m = RoundToIntegerTiesToEven(scaled);
  int digits[19];
  digits[0] = 0;
  if (m >= kTenTo18) {
    digits[0] = 1;
    m -= kTenTo18;
  }
  for (int i = 18; i >= 1; --i) {
    digits[i] = static_cast<int>(m % 10);
    m /= 10;
  }

  // From 2^120 on (exactly when E > 35) fixed notation gives way to the
  // exponent form.
  if (e > 35) {
    AppendExponentForm(text, negative, digits, e);
    return;
  }

  // The cut: result digits R0..Rn with n = E + 1 + decimals, as characters.
  // They sit on the stack unless a very long text is asked for.
  const int n = e + 1 + decimals;
  const auto count = static_cast<std::size_t>(n) + 1;
  char onStack[64];
  std::string onHeap;
  char* result = onStack;
  if (count > sizeof onStack) {
    onHeap.assign(count, '0');
    result = onHeap.data();
  }
  if (n >= 18) {
    // Every place beyond the intermediate's 19 digits is written as 0.
    for (int i = 0; i <= 18; ++i) result[i] = DigitChar(digits[i]);
    for (int i = 19; i <= n; ++i) result[i] = '0';
  } else {
    for (int i = 0; i <= n; ++i) result[i] = DigitChar(digits[i]);
    // Half up by the single next digit D(n+1); the digits after it are not
    // looked at. A carry may run up to R0 and turn it from 0 into 1.
    if (digits[n + 1] >= 5) {
      for (int i = n; i >= 0; --i) {
        if (result[i] != '9') {
          ++result[i];
          break;
        }
        result[i] = '0';
      }
    }
  }

  // Layout: R0 is dropped when it is 0; the integer part runs to R(E+1) and
  // the last `decimals` digits follow the point.
  const int first = result[0] == '0' ? 1 : 0;
  text.reserve(text.size() + static_cast<std::size_t>(n - first + 3));
  if (negative) text += '-';
  text.append(result + first, static_cast<std::size_t>(e + 2 - first));
  if (decimals > 0) {
    text += '.';
    text.append(result + e + 2, static_cast<std::size_t>(decimals));
  }
}

}  // namespace pathmend
