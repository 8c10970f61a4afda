#include "geo/distance.h"

#include "geo/extended_trig.h"

namespace pathmend {
namespace {

// pi rounded to nearest in extended (significand C90FDAA22168C235); not the
// double nearest pi.
constexpr Extended kPi = 0xC90FDAA22168C235p-62L;
constexpr Extended kHalfTurnDegrees = 180.0L;
constexpr Extended kSphereRadiusMetres = 6378137.0L;

// Degrees to radians: the product pi * degrees is rounded to extended first,
// then divided by 180 and rounded again. Not degrees * (pi / 180).
Extended Radians(double degrees) {
  const Extended product = kPi * static_cast<Extended>(degrees);
  return product / kHalfTurnDegrees;
}

}  // namespace

double CoordinateDegrees(std::uint32_t count) {
  // Exact: count has at most 32 bits and 1048576 is 2^20.
  return static_cast<double>(count) / 1048576.0;
}

PositionTrig PositionTrigOf(double latDegrees, double lonDegrees) {
  const SineCosine lat = ExtendedSinCos(Radians(latDegrees));
  const SineCosine lon = ExtendedSinCos(Radians(lonDegrees));
  return {lat.sine, lat.cosine, lon.sine, lon.cosine};
}

double GreatCircleDistance(const PositionTrig& p1, const PositionTrig& p2) {
  // Three terms, each a product formed left to right with every partial
  // product rounded to extended, and the full product rounded to double.
  // T1 + T2 is cos lat1 cos lat2 cos(lon1 - lon2) without forming the
  // difference of the longitudes.
  const double t1 = RoundToDouble(((p1.cosLat * p2.cosLat) * p1.cosLon) * p2.cosLon);
  const double t2 = RoundToDouble(((p1.cosLat * p1.sinLon) * p2.cosLat) * p2.sinLon);
  const double t3 = RoundToDouble(p1.sinLat * p2.sinLat);

  // s = (T1 + T2) + T3, each addition rounded to extended; s stays extended.
  const Extended s =
      (static_cast<Extended>(t1) + static_cast<Extended>(t2)) + static_cast<Extended>(t3);

  // The arc is taken only for -1 < s < 1; identical or antipodal points (and
  // anything the rounding pushes outside) give 0.
  if (s >= 1.0L) return 0.0;
  if (!(s > -1.0L)) return 0.0;

  // arccos s as the angle of (s, sqrt(1 - s*s)); each step rounded to
  // extended, the root correctly rounded.
  const Extended square = s * s;
  const Extended complement = 1.0L - square;
  const Extended y = ExtendedSquareRoot(complement);
  const Extended angle = ExtendedArcTangent2(y, s);

  // a * 6378137 rounded to extended, then to double.
  const Extended metres = angle * kSphereRadiusMetres;
  return RoundToDouble(metres);
}

double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2) {
  return GreatCircleDistance(PositionTrigOf(lat1, lon1), PositionTrigOf(lat2, lon2));
}

double AddKilometres(double lengthKm, double metres) {
  // q = d / 1000 rounded to extended; q + L rounded to extended; that sum
  // rounded to double. L is never carried in extended between additions.
  const Extended kilometres = static_cast<Extended>(metres) / 1000.0L;
  const Extended sum = kilometres + static_cast<Extended>(lengthKm);
  return RoundToDouble(sum);
}

}  // namespace pathmend
