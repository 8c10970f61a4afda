#include "runtime/fixed_notation.h"

#include <gtest/gtest.h>

#ifdef PATHMEND_HAVE_MPFR
#include <mpfr.h>
#endif

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace pathmend {
namespace {

struct FixedCase {
  Extended value;
  int decimals;
  const char* text;
};

class FixedNotationCase : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedNotationCase, WritesExpectedText) {
  const FixedCase& c = GetParam();
  EXPECT_EQ(FixedNotation(c.value, c.decimals), c.text);
}

// The reference values: each literal is exactly representable, so the value
// reaches FixedNotation as written.
INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, FixedNotationCase,
    ::testing::Values(
        FixedCase{47.5L, 15, "47.500000000000000"},
        FixedCase{19.0000152587890625L, 15, "19.000015258789063"},
        FixedCase{0.0078125L, 6, "0.007813"}, FixedCase{0.25L, 1, "0.3"},
        FixedCase{0.049999999999999995836663657655662973411381244659423828125L, 1, "0.1"},
        FixedCase{73.75648021697998046875L, 15, "73.756480216979981"},
        FixedCase{445.4050750732421875L, 15, "445.405075073242187"},
        FixedCase{1023.9999990000000025247572921216487884521484375L, 15, "1023.999999000000002"},
        FixedCase{2682.7555694580078125L, 15, "2682.755569458007810"},
        FixedCase{12.345678899999999345027390518225729465484619140625L, 5, "12.34568"},
        FixedCase{1300000000000000069904223845190991872.0L, 5,
                  "1300000000000000070000000000000000000.00000"},
        FixedCase{-0.0L, 5, "-0.00000"},
        FixedCase{static_cast<Extended>(-0.000001), 5, "-0.00000"}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, FixedNotationCase,
    ::testing::Values(
        FixedCase{100.0L, 15, "100.000000000000000"}, FixedCase{10.0L, 15, "10.000000000000000"},
        FixedCase{0.0L, 5, "0.00000"}, FixedCase{0.0L, 0, "0"},
        // Largest double below 2^120: still fixed notation, 37 integer digits,
        // zeros beyond the 19 digits of the intermediate.
        FixedCase{0x1p120L - 0x1p67L, 0, "1329227995784915725000000000000000000"},
        FixedCase{0x1p120L, 5, " 1.3E+0036"}, FixedCase{-0x1p120L, 0, "-1.3E+0036"},
        FixedCase{9.96e36L, 2, " 1.0E+0037"}, FixedCase{-2.5e100L, 5, "-2.5E+0100"},
        FixedCase{static_cast<Extended>(std::numeric_limits<double>::max()), 5, " 1.8E+0308"},
        FixedCase{std::numeric_limits<Extended>::max(), 1, " 1.2E+4932"},
        FixedCase{1e4000L, 1, " 1.0E+4000"},
        // Half up at the cut, with a carry through every digit into D0.
        FixedCase{0.5L, 0, "1"}, FixedCase{2.5L, 0, "3"}, FixedCase{9.5L, 0, "10"},
        FixedCase{99.96L, 1, "100.0"}, FixedCase{-9.96L, 1, "-10.0"}, FixedCase{0.04L, 1, "0.0"},
        // Tiny values, denormals included, are unscaled and print as zero.
        FixedCase{std::numeric_limits<Extended>::denorm_min(), 3, "0.000"},
        FixedCase{-std::numeric_limits<Extended>::denorm_min(), 3, "-0.000"},
        FixedCase{1e-17L, 17, "0.00000000000000001"},
        // Values from 10 to 16 stop the scaling at once (f = 0).
        FixedCase{15.75L, 2, "15.75"}, FixedCase{16.0L, 2, "16.00"},
        // Many decimals: places beyond the intermediate are zeros.
        FixedCase{0.1L, 20, "0.10000000000000000000"},
        FixedCase{1.0L, 25, "1.0000000000000000000000000"},
        // Specials.
        FixedCase{std::numeric_limits<Extended>::quiet_NaN(), 5, "Nan"},
        FixedCase{-std::numeric_limits<Extended>::quiet_NaN(), 5, "Nan"},
        FixedCase{std::numeric_limits<Extended>::infinity(), 5, "+Inf"},
        FixedCase{-std::numeric_limits<Extended>::infinity(), 0, "-Inf"}));

TEST(FixedNotation, AltitudeTenthsAreAlwaysExact) {
  // m / 10 in extended, with 1 decimal, for every 16-bit count.
  for (std::uint32_t m = 0; m <= 65535; ++m) {
    const Extended value = static_cast<Extended>(m) / 10.0L;
    const std::string expected = std::to_string(m / 10) + "." + std::to_string(m % 10);
    ASSERT_EQ(FixedNotation(value, 1), expected) << "m = " << m;
  }
}

// The exact decimal of k / 2^20 rounded half up at `decimals` places (at most
// 20), computed in integers: k / 2^20 * 10^d = k * 5^d / 2^(20 - d).
std::string ExactCoordinateText(std::uint32_t k, int decimals) {
  std::uint64_t whole = k >> 20;
  const std::uint64_t fraction = k & 0xFFFFFu;
  std::uint64_t fivePow = 1, tenPow = 1;
  for (int i = 0; i < decimals; ++i) fivePow *= 5, tenPow *= 10;
  const int shift = 20 - decimals;
  std::uint64_t places = (fraction * fivePow + (std::uint64_t{1} << (shift - 1))) >> shift;
  if (places == tenPow) {
    places = 0;
    ++whole;
  }
  std::string digits = std::to_string(places);
  return std::to_string(whole) + "." +
         std::string(static_cast<std::size_t>(decimals) - digits.size(), '0') + digits;
}

TEST(FixedNotation, CoordinatesMatchExactDecimalRoundedHalfUp) {
  std::mt19937 random(20240531u);
  int checkedWith15 = 0;
  for (int i = 0; i < 300000; ++i) {
    // Every third draw below 16 degrees, where 15 decimals must be exact too.
    std::uint32_t k = static_cast<std::uint32_t>(random());
    if (i % 3 == 0) k &= (16u << 20) - 1u;
    const Extended degrees = static_cast<Extended>(k) / 1048576.0L;
    ASSERT_EQ(FixedNotation(degrees, 6), ExactCoordinateText(k, 6)) << "k = " << k;
    if (k < (16u << 20)) {
      ASSERT_EQ(FixedNotation(degrees, 15), ExactCoordinateText(k, 15)) << "k = " << k;
      ++checkedWith15;
    }
  }
  EXPECT_GT(checkedWith15, 90000);
}

TEST(FixedNotation, CoordinateBoundaryCounts) {
  // Ties at the sixth decimal (k = 2^20 / 128 is 0.0078125), the largest count
  // and the first count of every degree up to 16.
  for (std::uint32_t k : {0u, 1u, 8192u, 1048575u, 1048576u, 16777215u, 4294967295u}) {
    const Extended degrees = static_cast<Extended>(k) / 1048576.0L;
    EXPECT_EQ(FixedNotation(degrees, 6), ExactCoordinateText(k, 6)) << "k = " << k;
  }
  EXPECT_EQ(ExactCoordinateText(8192u, 6), "0.007813");
}

TEST(NearestPowerOfTen, SmallPowersAreExactIntegers) {
  Extended exact = 1.0L;
  for (int k = 0; k <= 27; ++k) {
    EXPECT_EQ(NearestPowerOfTen(k), exact) << "k = " << k;
    exact *= 10.0L;  // exact up to 10^27, whose odd part 5^27 fits in 64 bits
  }
  EXPECT_EQ(NearestPowerOfTen(33), 0.0L);
  EXPECT_EQ(NearestPowerOfTen(-1), 0.0L);
}

TEST(NearestPowerOfTen, TableHoldsTheNearestExtendedValues) {
#ifdef PATHMEND_HAVE_MPFR
  // MPFR rounds 10^k to a 64-bit significand, to nearest; that must be the
  // table's value, bit for bit.
  std::vector<int> powers;
  for (int k = 0; k < 32; ++k) powers.push_back(k);
  for (int k = 1; k < 16; ++k) powers.push_back(32 * k);
  for (int k = 1; k < 10; ++k) powers.push_back(512 * k);
  mpfr_t nearest;
  mpfr_init2(nearest, 64);
  for (int k : powers) {
    mpfr_ui_pow_ui(nearest, 10, static_cast<unsigned long>(k), MPFR_RNDN);
    EXPECT_EQ(NearestPowerOfTen(k), mpfr_get_ld(nearest, MPFR_RNDN)) << "k = " << k;
  }
  mpfr_clear(nearest);
#else
  GTEST_SKIP() << "built without MPFR";
#endif
}

}  // namespace
}  // namespace pathmend
