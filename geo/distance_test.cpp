#include "geo/distance.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace pathmend {
namespace {

// Doubles compare bit for bit; EXPECT_EQ on doubles would also accept -0 for 0.
void ExpectSameDouble(double actual, double expected) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected))
      << "actual " << actual << " expected " << expected;
}

TEST(CoordinateDegrees, IsTheExactQuotient) {
  ExpectSameDouble(CoordinateDegrees(0), 0.0);
  ExpectSameDouble(CoordinateDegrees(49284096), 47.0009765625);
  ExpectSameDouble(CoordinateDegrees(49284121), 47.00100040435791015625);
  ExpectSameDouble(CoordinateDegrees(2147483648u), 2048.0);
  ExpectSameDouble(CoordinateDegrees(4294967295u), 4095.99999904632568359375);
}

struct Leg {
  std::uint32_t lat1, lon1, lat2, lon2;  // counts; point 1 is the current point
  double metres;
};

class DistanceCase : public ::testing::TestWithParam<Leg> {};

TEST_P(DistanceCase, MatchesBitForBit) {
  const Leg& leg = GetParam();
  const double lat1 = CoordinateDegrees(leg.lat1), lon1 = CoordinateDegrees(leg.lon1);
  const double lat2 = CoordinateDegrees(leg.lat2), lon2 = CoordinateDegrees(leg.lon2);
  ExpectSameDouble(GreatCircleDistance(lat1, lon1, lat2, lon2), leg.metres);
  // The precomputed form gives the same double.
  ExpectSameDouble(GreatCircleDistance(PositionTrigOf(lat1, lon1), PositionTrigOf(lat2, lon2)),
                   leg.metres);
  // Swapping the points leaves these examples unchanged.
  ExpectSameDouble(GreatCircleDistance(lat2, lon2, lat1, lon1), leg.metres);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, DistanceCase,
    ::testing::Values(Leg{49284096, 8388608, 49283072, 8388608, 108.71043259277106},
                      Leg{49284121, 8388608, 49283072, 8388608, 111.3645176014488},
                      Leg{49283072, 8389632, 49283072, 8388608, 74.14038005982363},
                      Leg{50331648, 8388608, 49283072, 8388608, 111319.49079327831},
                      Leg{50332672, 8388608, 50331648, 8388608, 108.7104358385334}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, DistanceCase,
    ::testing::Values(
        // A point against itself at 47, 8: s = 1 - 1056 * 2^-64, a small residual.
        Leg{49283072, 8388608, 49283072, 8388608, 0.06824658730011829},
        // The smallest step: one count of latitude.
        Leg{49283073, 8388608, 49283072, 8388608, 0.11270552956644465},
        // Exactly antipodal on the equator: s = -1, the guard gives 0.
        Leg{0, 0, 0, 188743680, 0.0},
        // One count short of antipodal.
        Leg{0, 0, 0, 188743679, 20037508.247747596},
        // Two points at the pole.
        Leg{94371840, 0, 94371840, 94371840, 0.0},
        // The origin against itself: s reaches 1 exactly.
        Leg{0, 0, 0, 0, 0.0}));

TEST(GreatCircleDistance, IdenticalPointResidualComesFromSJustBelowOne) {
  // The residual at 47, 8 is arccos(1 - 1056 * 2^-64) * 6378137.
  const double d = GreatCircleDistance(47.0, 8.0, 47.0, 8.0);
  EXPECT_GT(d, 0.0);
  EXPECT_LT(d, 0.09);
}

TEST(GreatCircleDistance, TopBitCountIsTheAngleAsItStands) {
  // 2048 degrees is the direction 248 degrees: the same distances as 248,
  // up to the last bits of the larger angle's rounding.
  const double lat = CoordinateDegrees(2147483648u);  // 2048
  const double far = GreatCircleDistance(lat, 8.0, 47.0, 8.0);
  const double near = GreatCircleDistance(248.0, 8.0, 47.0, 8.0);
  EXPECT_GT(far, 0.0);
  EXPECT_NEAR(far, near, 1e-6);
  // 248 - 47 = 201 degrees of latitude along one meridian is 159 degrees of arc.
  EXPECT_NEAR(far, 159.0 / 180.0 * 20037508.342789244, 1e-3);
}

TEST(GreatCircleDistance, StaysWithinHalfTheCircumference) {
  for (std::uint32_t lat = 0; lat < 4294967295u - 97u * 16777216u; lat += 97u * 16777216u) {
    for (std::uint32_t lon = 0; lon < 4294967295u - 89u * 16777216u; lon += 89u * 16777216u) {
      const double d =
          GreatCircleDistance(CoordinateDegrees(lat), CoordinateDegrees(lon), 12.5, 300.25);
      EXPECT_GE(d, 0.0);
      EXPECT_LT(d, 20037508.35);
    }
  }
}

TEST(AddKilometres, WorkedExample) {
  double length = 0.0;
  length = AddKilometres(length, 111319.49079327831);
  ExpectSameDouble(length, 111.3194907932783);
  length = AddKilometres(length, 108.7104358385334);
  ExpectSameDouble(length, 111.42820122911684);
}

TEST(AddKilometres, DividesAndAddsInExtendedRoundingOnlyTheSum) {
  // Legs whose sum comes out one bit different when the quotient is rounded to
  // double before the addition (or both are done in double).
  struct Row {
    double lengthKm, metres, sumKm;
  };
  for (const Row& row :
       {Row{642.09424000000001, 40686.847999999998, 682.78108800000007},
        Row{164.82217, 39091.290000000001, 203.91346000000001},
        Row{20.867100000000001, 9714.3619999999992, 30.581461999999998}, Row{0.0, 0.0, 0.0}}) {
    ExpectSameDouble(AddKilometres(row.lengthKm, row.metres), row.sumKm);
  }
}

}  // namespace
}  // namespace pathmend
