// FixedNotation against an exact reference. The reference follows the
// rules of the text form in integer arithmetic on the value's significand
// and binary exponent: the scaling divisions by powers of ten and the
// multiplication by 10^17, each rounded to a 64-bit significand (to nearest,
// ties to even) from the exact quotient or product; the intermediate rounded
// to an integer (ties to even); the cut rounded half up by the one next
// digit. It covers every finite value below 2^64 (all the program prints
// comes from there: coordinates, altitudes, speeds, lengths of real tracks)
// and 0 to 40 decimals. Larger values, the special values and non-canonical
// encodings only have to give a text of the documented shape.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "runtime/extended.h"
#include "runtime/fixed_notation.h"

namespace {

using U128 = unsigned __int128;

int BitLength(U128 v) {
  int n = 0;
  while (v != 0) {
    v >>= 1;
    ++n;
  }
  return n;
}

// A positive value sig * 2^exp with sig below 2^64.
struct Exact {
  std::uint64_t sig;
  int exp;
};

// value * 2^exp rounded to a 64-bit significand, ties to even; `sticky` says
// that non-zero bits were already dropped below `value` (a remainder).
Exact RoundTo64(U128 value, int exp, bool sticky) {
  const int n = BitLength(value);
  if (n <= 64)
    return {static_cast<std::uint64_t>(value), exp};  // callers keep enough bits when sticky
  const int drop = n - 64;
  U128 kept = value >> drop;
  const U128 rest = value & ((static_cast<U128>(1) << drop) - 1);
  const U128 half = static_cast<U128>(1) << (drop - 1);
  const bool up = rest > half || (rest == half && (sticky || (kept & 1) != 0));
  int e = exp + drop;
  if (up) {
    ++kept;
    if (kept >> 64 != 0) {
      kept >>= 1;
      ++e;
    }
  }
  return {static_cast<std::uint64_t>(kept), e};
}

std::uint64_t PowerOfTen(int k) {
  std::uint64_t p = 1;
  for (int i = 0; i < k; ++i) p *= 10;
  return p;
}

// s / 10^k (10^k exact, k <= 19), rounded to a 64-bit significand.
Exact DivideByPowerOfTen(Exact s, int k) {
  const U128 dividend = static_cast<U128>(s.sig) << 64;
  const std::uint64_t divisor = PowerOfTen(k);
  return RoundTo64(dividend / divisor, s.exp - 64, dividend % divisor != 0);
}

// The reference text of a, below 2^64 and not negative, with d decimals.
std::string Reference(bool negative, Exact a, int d) {
  int e10 = 0;
  Exact s = a;
  auto binaryExponent = [](Exact v) { return v.exp + BitLength(v.sig) - 1; };
  // A value below 10 is never scaled. Here exp <= 0, as a < 2^64.
  const int shift = -a.exp;
  const bool scale = shift < 64 && static_cast<U128>(a.sig) >= (static_cast<U128>(10) << shift);
  if (scale) {
    for (;;) {
      const int b = binaryExponent(s);
      const int f = b * 19728 / 65536;
      if (f == 0) break;
      e10 += f;
      s = DivideByPowerOfTen(s, f);
    }
  }
  // m = s * 10^17 rounded to 64 bits, then to an integer with ties to even.
  std::uint64_t m = 0;
  if (s.sig != 0) {
    const Exact p = RoundTo64(static_cast<U128>(s.sig) * PowerOfTen(17), s.exp, false);
    if (p.exp >= 0) {
      m = p.sig << p.exp;
    } else if (-p.exp < 100) {
      const int down = -p.exp;
      const U128 v = p.sig;
      const U128 kept = v >> down;
      const U128 rest = v - (kept << down);
      const U128 half = static_cast<U128>(1) << (down - 1);
      const bool up = rest > half || (rest == half && (kept & 1) != 0);
      m = static_cast<std::uint64_t>(kept + (up ? 1 : 0));
    }
  }
  // The 19 digits D0..D18 of m (D0 is 0 or 1).
  int digits[19];
  for (int i = 18; i >= 0; --i) {
    digits[i] = static_cast<int>(m % 10);
    m /= 10;
  }
  const int n = e10 + 1 + d;
  std::string result;  // R0..Rn
  if (n >= 18) {
    for (int i = 0; i <= 18; ++i) result += static_cast<char>('0' + digits[i]);
    result.append(static_cast<std::size_t>(n - 18), '0');
  } else {
    int r[19];
    for (int i = 0; i <= n; ++i) r[i] = digits[i];
    if (digits[n + 1] >= 5) {
      int i = n;
      ++r[i];
      while (r[i] == 10 && i > 0) {
        r[i] = 0;
        ++r[--i];
      }
    }
    for (int i = 0; i <= n; ++i) result += static_cast<char>('0' + r[i]);
  }
  // Integer part R0 (or R1 when R0 is 0) to R(E+1), then d decimals.
  const auto integerDigits = static_cast<std::size_t>(e10) + 2;
  std::string integer = result.substr(0, integerDigits);
  if (integer[0] == '0') integer.erase(0, 1);
  std::string text = negative ? "-" : "";
  text += integer;
  if (d > 0) text += "." + result.substr(integerDigits);
  return text;
}

[[noreturn]] void Fail(std::uint64_t sig, int exponentField, bool negative, int d,
                       const std::string& got, const std::string& want) {
  std::fprintf(stderr, "FixedNotation(%s0x%016llXp%d, %d): got \"%s\", reference \"%s\"\n",
               negative ? "-" : "", static_cast<unsigned long long>(sig),
               exponentField - 16383 - 63, d, got.c_str(), want.c_str());
  std::abort();
}

bool Shaped(const std::string& text) {
  if (text == "Nan" || text == "+Inf" || text == "-Inf") return true;
  if (text.empty()) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == ' ' || c == 'E' || c == '+'))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pathmend::fuzz::FuzzReader in(data, size);
  std::uint64_t sig = in.U64();
  const std::uint16_t signAndExponent = in.U16();
  const int d = in.Byte() % 41;
  const bool negative = (signAndExponent & 0x8000) != 0;
  const int exponentField = signAndExponent & 0x7FFF;

  // Any encoding at all, non-canonical ones included, gives a text.
  pathmend::Extended raw = 0;
  unsigned char bytes[sizeof raw] = {};
  std::memcpy(bytes, &sig, 8);
  std::memcpy(bytes + 8, &signAndExponent, 2);
  std::memcpy(&raw, bytes, sizeof bytes);
  if (!Shaped(pathmend::FixedNotation(raw, d)))
    Fail(sig, exponentField, negative, d, pathmend::FixedNotation(raw, d), "a number");

  // The canonical value: integer bit set exactly when the exponent field is
  // not zero (zero, denormals and normals).
  if (exponentField == 0) {
    sig &= ~(1ULL << 63);
  } else {
    sig |= 1ULL << 63;
  }
  if (exponentField == 0x7FFF) return 0;  // infinities and not-a-numbers: shape only
  std::memcpy(bytes, &sig, 8);
  pathmend::Extended x = 0;
  std::memcpy(&x, bytes, sizeof bytes);
  const std::string got = pathmend::FixedNotation(x, d);
  const int exp = (exponentField == 0 ? 1 : exponentField) - 16383 - 63;
  if (exp + 63 >= 64) return 0;  // 2^64 and above: beyond the reference
  const std::string want = Reference(negative, Exact{sig, exp}, d);
  if (got != want) Fail(sig, exponentField, negative, d, got, want);
  return 0;
}
