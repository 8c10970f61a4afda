#include "export/gpx_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

namespace pathmend {
namespace {

constexpr std::int64_t kDegree = 1048576;

std::string Degrees(std::int64_t count) {
  std::string text;
  AppendDegrees(text, count);
  return text;
}

TEST(GpxDegrees, SevenDecimalsRoundedHalfAwayFromZero) {
  const struct {
    std::int64_t count;
    const char* text;
  } cases[] = {
      {0, "0.0000000"},
      {47 * kDegree + kDegree / 2, "47.5000000"},
      {1, "0.0000010"},          // 9.5367431640625e-7
      {3, "0.0000029"},          // 2.86102294921875e-6
      {49807456, "47.5000916"},  // 47.500091552734375
      {19922960, "19.0000153"},  // 19.0000152587890625
      {90 * kDegree, "90.0000000"},
      {-1, "-0.0000010"},
      {-180 * kDegree, "-180.0000000"},
      {-(kDegree / 2), "-0.5000000"},
      {4294967295, "4095.9999990"},  // the largest count, 4095.99999904...
      // 4096 / 1048576 = 0.00390625: a tie at the 7th decimal.
      {4096, "0.0039063"},
      {-4096, "-0.0039063"},
  };
  for (const auto& c : cases) EXPECT_EQ(Degrees(c.count), c.text) << c.count;
}

// Reading the text back and multiplying by 1048576 gives the count after
// rounding, for counts all over the range.
TEST(GpxDegrees, RoundTripToTheStoredCount) {
  std::mt19937_64 random(11);
  std::uniform_int_distribution<std::int64_t> counts(-180 * kDegree, 180 * kDegree);
  for (int i = 0; i < 200000; ++i) {
    const std::int64_t count = i < 2000 ? i - 1000 : counts(random);
    const std::string text = Degrees(count);
    const double back = std::strtod(text.c_str(), nullptr);
    ASSERT_EQ(std::llround(back * 1048576.0), count) << text;
    ASSERT_LE(std::fabs(back - static_cast<double>(count) / 1048576.0), 0.5e-7 + 1e-12) << text;
  }
}

TEST(GpxLongitude, ReducedIntoMinus180To180) {
  const struct {
    std::uint32_t stored;
    std::int64_t count;
  } cases[] = {
      {0, 0},
      {19 * kDegree, 19 * kDegree},
      {180 * kDegree - 1, 180 * kDegree - 1},
      {180 * kDegree, -180 * kDegree},  // 180 E is 180 W
      {359 * kDegree, -1 * kDegree},    // 1 degree west of Greenwich
      {360 * kDegree, 0},               // a full turn
      {370 * kDegree, 10 * kDegree},
      {4294967295U, 4294967295LL - 11 * 360 * kDegree},  // 4095.99... is 135.99... E
      {4294967295U - 200 * kDegree, 4294967295LL - 200 * kDegree - 11 * 360 * kDegree},  // 64.0 W
  };
  for (const auto& c : cases) EXPECT_EQ(GpxLongitudeCount(c.stored), c.count) << c.stored;
}

TEST(GpxLatitude, NinetyDegreesIsTheLastValid) {
  EXPECT_TRUE(GpxLatitudeValid(0));
  EXPECT_TRUE(GpxLatitudeValid(90 * kDegree));
  EXPECT_FALSE(GpxLatitudeValid(90 * kDegree + 1));
  EXPECT_FALSE(GpxLatitudeValid(4294967295U));
}

TEST(GpxTime, UtcInIso8601WithMillisecondsOnlyWhenNotZero) {
  const struct {
    std::uint64_t fileTime;
    const char* text;  // nullptr: no time
  } cases[] = {
      {127818063300000000ULL, "2006-01-15T13:45:30Z"},
      {127818063301230000ULL, "2006-01-15T13:45:30.123Z"},
      {127818063300009999ULL, "2006-01-15T13:45:30Z"},  // below a millisecond: dropped
      {127818063300010000ULL, "2006-01-15T13:45:30.001Z"},
      {1ULL, "1601-01-01T00:00:00Z"},
      {10000ULL, "1601-01-01T00:00:00.001Z"},
      {126227808000000000ULL, "2001-01-01T00:00:00Z"},
      {125911584000000000ULL, "2000-01-01T00:00:00Z"},
      {125962560000000000ULL, "2000-02-29T00:00:00Z"},  // 2000 is a leap year
      {2650467743999990000ULL, "9999-12-31T23:59:59.999Z"},
      {0, nullptr},                       // a zeroed point has no time
      {2650467744000000000ULL, nullptr},  // 10000-01-01
      {0xFFFFFFFFFFFFFFFFULL, nullptr},
      {0x8000000000000000ULL, nullptr},
  };
  for (const auto& c : cases) {
    std::string text = "x";
    const bool written = AppendUtcTime(text, c.fileTime);
    if (c.text == nullptr) {
      EXPECT_FALSE(written) << c.fileTime;
      EXPECT_EQ(text, "x");
    } else {
      EXPECT_TRUE(written) << c.fileTime;
      EXPECT_EQ(text, std::string("x") + c.text) << c.fileTime;
    }
  }
}

}  // namespace
}  // namespace pathmend
