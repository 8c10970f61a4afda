#include "runtime/float_checks.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "runtime/failure.h"

namespace pathmend {
namespace {

double DoubleFromBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

// An extended value from its significand and its sign-and-exponent field.
Extended ExtendedFromBits(std::uint64_t significand, std::uint16_t signAndExponent) {
  unsigned char bytes[sizeof(Extended)] = {};
  std::memcpy(bytes, &significand, 8);
  std::memcpy(bytes + 8, &signAndExponent, 2);
  Extended value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

constexpr double kDoubleMax = std::numeric_limits<double>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr Extended kExtInf = std::numeric_limits<Extended>::infinity();

// Runs the action and returns the kind and message of the failure it raised,
// or "none".
template <typename Action>
std::string FailureOf(Action action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure.kind + ": " + failure.message;
  }
  return "none";
}

const std::string kInvalid = "EInvalidOp: Invalid floating point operation";
const std::string kOverflow = "EOverflow: Floating point overflow";

TEST(IsSignallingNaN, TellsSignallingFromQuietAndOrdinary) {
  EXPECT_TRUE(IsSignallingNaN(DoubleFromBits(0x7FF0000000000001u)));  // smallest payload
  EXPECT_TRUE(IsSignallingNaN(DoubleFromBits(0xFFF4000000000000u)));  // sign bit set
  EXPECT_TRUE(IsSignallingNaN(std::numeric_limits<double>::signaling_NaN()));
  EXPECT_FALSE(IsSignallingNaN(DoubleFromBits(0x7FF8000000000000u)));  // quiet
  EXPECT_FALSE(IsSignallingNaN(DoubleFromBits(0x7FF8000000000001u)));  // quiet with payload
  EXPECT_FALSE(IsSignallingNaN(kInf));
  EXPECT_FALSE(IsSignallingNaN(-kInf));
  EXPECT_FALSE(IsSignallingNaN(0.0));
  EXPECT_FALSE(IsSignallingNaN(kDoubleMax));
}

TEST(LoadDouble, LoadsExactlyAndRefusesSignallingNaN) {
  EXPECT_EQ(LoadDouble(0.1), static_cast<Extended>(0.1));
  EXPECT_EQ(LoadDouble(kDoubleMax), static_cast<Extended>(kDoubleMax));
  EXPECT_TRUE(std::signbit(LoadDouble(-0.0)));
  EXPECT_EQ(LoadDouble(-kInf), -kExtInf);
  const Extended quiet = LoadDouble(std::numeric_limits<double>::quiet_NaN());
  EXPECT_NE(quiet, quiet);

  EXPECT_EQ(FailureOf([] { LoadDouble(DoubleFromBits(0x7FF0000000000001u)); }), kInvalid);
  EXPECT_EQ(FailureOf([] { LoadDouble(DoubleFromBits(0xFFF7FFFFFFFFFFFFu)); }), kInvalid);
  EXPECT_EQ(FailureOf([] { LoadDouble(std::numeric_limits<double>::signaling_NaN()); }), kInvalid);
}

TEST(IsInvalidOperand, RefusesSignallingNaNAndEncodingsWithoutIntegerBit) {
  EXPECT_TRUE(IsInvalidOperand(ExtendedFromBits(0x8000000000000001u, 0x7FFF)));   // signalling
  EXPECT_TRUE(IsInvalidOperand(ExtendedFromBits(0xBFFFFFFFFFFFFFFFu, 0xFFFF)));   // signalling, -
  EXPECT_TRUE(IsInvalidOperand(ExtendedFromBits(0x0000000000000000u, 0x7FFF)));   // pseudo-inf
  EXPECT_TRUE(IsInvalidOperand(ExtendedFromBits(0x4000000000000000u, 0x7FFF)));   // pseudo-NaN
  EXPECT_TRUE(IsInvalidOperand(ExtendedFromBits(0x4000000000000000u, 0x3FFF)));   // unnormal
  EXPECT_FALSE(IsInvalidOperand(ExtendedFromBits(0xC000000000000000u, 0x7FFF)));  // quiet NaN
  EXPECT_FALSE(IsInvalidOperand(kExtInf));
  EXPECT_FALSE(IsInvalidOperand(std::numeric_limits<Extended>::denorm_min()));
  EXPECT_FALSE(IsInvalidOperand(0.0L));
  EXPECT_FALSE(IsInvalidOperand(-1.5L));
}

TEST(AddChecked, AddsAndRaisesWhereTheTrapsWould) {
  EXPECT_EQ(AddChecked(1.0L, 2.0L), 3.0L);
  // Rounded to extended, not to double: 1 + 2^-60 survives.
  EXPECT_EQ(AddChecked(1.0L, 0x1p-60L), 1.0L + 0x1p-60L);
  EXPECT_EQ(AddChecked(kExtInf, 1.0L), kExtInf);
  EXPECT_EQ(AddChecked(kExtInf, kExtInf), kExtInf);
  EXPECT_EQ(AddChecked(-kExtInf, -5.0L), -kExtInf);
  const Extended quiet = AddChecked(std::numeric_limits<Extended>::quiet_NaN(), 1.0L);
  EXPECT_NE(quiet, quiet);
  // Doubles never overflow the extended range, so the largest doubles add fine.
  EXPECT_EQ(AddChecked(kDoubleMax, kDoubleMax), 2.0L * static_cast<Extended>(kDoubleMax));

  EXPECT_EQ(FailureOf([] { AddChecked(kExtInf, -kExtInf); }), kInvalid);
  EXPECT_EQ(FailureOf([] { AddChecked(-kExtInf, kExtInf); }), kInvalid);
  EXPECT_EQ(FailureOf([] { AddChecked(ExtendedFromBits(0x8000000000000001u, 0x7FFF), 1.0L); }),
            kInvalid);
  EXPECT_EQ(FailureOf([] { AddChecked(1.0L, ExtendedFromBits(0x8000000000000001u, 0x7FFF)); }),
            kInvalid);
  EXPECT_EQ(FailureOf([] {
              AddChecked(std::numeric_limits<Extended>::max(),
                         std::numeric_limits<Extended>::max());
            }),
            kOverflow);
}

TEST(StoreDouble, RoundsToNearestAndRaisesOnOverflow) {
  const Extended max = static_cast<Extended>(kDoubleMax);
  const Extended halfUlp = 0x1p970L;  // half the spacing of doubles at the top
  EXPECT_EQ(StoreDouble(1.5L), 1.5);
  EXPECT_EQ(StoreDouble(1.0L + 0x1p-53L), 1.0);                       // tie to even, down
  EXPECT_EQ(StoreDouble(1.0L + 0x1p-53L + 0x1p-60L), 1.0 + 0x1p-52);  // above the tie, up
  EXPECT_EQ(StoreDouble(max), kDoubleMax);
  EXPECT_EQ(StoreDouble(max + halfUlp / 2.0L), kDoubleMax);  // rounds down to the largest
  EXPECT_EQ(StoreDouble(kExtInf), kInf);
  EXPECT_EQ(StoreDouble(-kExtInf), -kInf);
  const double quiet = StoreDouble(std::numeric_limits<Extended>::quiet_NaN());
  EXPECT_NE(quiet, quiet);

  // The tie at the top goes to even, which is infinity.
  EXPECT_EQ(FailureOf([&] { StoreDouble(max + halfUlp); }), kOverflow);
  EXPECT_EQ(FailureOf([&] { StoreDouble(2.0L * max); }), kOverflow);
  EXPECT_EQ(FailureOf([&] { StoreDouble(-2.0L * max); }), kOverflow);
  EXPECT_EQ(FailureOf([] { StoreDouble(ExtendedFromBits(0x8000000000000001u, 0x7FFF)); }),
            kInvalid);
}

TEST(FloatChecks, AnnouncedLengthSum) {
  // length announced = length announced + header Length, in extended, stored
  // as double.
  auto add = [](double announced, double headerLength) {
    return StoreDouble(AddChecked(LoadDouble(announced), LoadDouble(headerLength)));
  };
  EXPECT_EQ(add(0.0, 12.5), 12.5);
  EXPECT_EQ(add(0.1, 0.2), 0.30000000000000004);  // the exact sum is a tie; even is up
  EXPECT_EQ(add(1.0, kInf), kInf);
  EXPECT_EQ(FailureOf([&] { add(kDoubleMax, kDoubleMax); }), kOverflow);
  EXPECT_EQ(FailureOf([&] { add(kInf, -kInf); }), kInvalid);
  EXPECT_EQ(FailureOf([&] { add(0.0, DoubleFromBits(0x7FF0000000000001u)); }), kInvalid);
}

}  // namespace
}  // namespace pathmend
