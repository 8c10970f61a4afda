#include "runtime/float_checks.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "runtime/failure.h"

namespace pathmend {
namespace {

constexpr Extended kExtendedInfinity = std::numeric_limits<Extended>::infinity();
constexpr double kDoubleInfinity = std::numeric_limits<double>::infinity();

bool IsNaN(Extended x) { return x != x; }
bool IsFinite(Extended x) { return !IsNaN(x) && x != kExtendedInfinity && x != -kExtendedInfinity; }

}  // namespace

bool IsSignallingNaN(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const std::uint64_t exponent = (bits >> 52) & 0x7FF;
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const std::uint64_t quietBit = std::uint64_t{1} << 51;
  return exponent == 0x7FF && fraction != 0 && (fraction & quietBit) == 0;
}

bool IsInvalidOperand(Extended value) {
  unsigned char bytes[sizeof(Extended)];
  std::memcpy(bytes, &value, sizeof bytes);
  std::uint64_t significand;
  std::uint16_t signAndExponent;
  std::memcpy(&significand, bytes, 8);
  std::memcpy(&signAndExponent, bytes + 8, 2);
  const unsigned exponent = signAndExponent & 0x7FFFu;
  const std::uint64_t integerBit = std::uint64_t{1} << 63;
  const std::uint64_t quietBit = std::uint64_t{1} << 62;
  const std::uint64_t fraction = significand & ~integerBit;
  // Zeros and denormals (exponent 0) have no integer bit and are valid; any
  // other exponent needs it.
  if (exponent != 0 && (significand & integerBit) == 0) return true;
  return exponent == 0x7FFF && fraction != 0 && (fraction & quietBit) == 0;
}

Extended LoadDouble(double value) {
  if (IsSignallingNaN(value)) RaiseFailure(kEInvalidOp, kInvalidOpMessage);
  return static_cast<Extended>(value);
}

Extended AddChecked(Extended a, Extended b) {
  if (IsInvalidOperand(a) || IsInvalidOperand(b)) RaiseFailure(kEInvalidOp, kInvalidOpMessage);
  // +Inf + -Inf has no value.
  if ((a == kExtendedInfinity && b == -kExtendedInfinity) ||
      (a == -kExtendedInfinity && b == kExtendedInfinity)) {
    RaiseFailure(kEInvalidOp, kInvalidOpMessage);
  }
  const Extended sum = a + b;  // rounded to extended, to nearest
  if (IsFinite(a) && IsFinite(b) && !IsFinite(sum)) RaiseFailure(kEOverflow, kOverflowMessage);
  return sum;
}

double StoreDouble(Extended value) {
  if (IsInvalidOperand(value)) RaiseFailure(kEInvalidOp, kInvalidOpMessage);
  const double stored = RoundToDouble(value);
  // A finite value beyond the largest double (after rounding to nearest) has
  // no double to go to.
  if (IsFinite(value) && (stored == kDoubleInfinity || stored == -kDoubleInfinity)) {
    RaiseFailure(kEOverflow, kOverflowMessage);
  }
  return stored;
}

}  // namespace pathmend
