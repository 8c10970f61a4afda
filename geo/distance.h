// Coordinates in degrees, the great-circle distance between two positions and
// the sum of distances into a length in kilometres. The rounding points are
// part of the contract: the measured length written into a track log header
// depends on them to the last bit.
#pragma once

#include <cstdint>

#include "runtime/extended.h"

namespace pathmend {

// A stored coordinate count (1/1048576 degree) in degrees. Exact: a count has
// at most 32 significant bits.
double CoordinateDegrees(std::uint32_t count);

// The sines and cosines of one position's latitude and longitude, in
// extended. A track's consecutive legs share their points, so a caller can
// compute these once per point and use them as point 1 of one leg and point 2
// of the next.
struct PositionTrig {
  Extended sinLat;
  Extended cosLat;
  Extended sinLon;
  Extended cosLon;
};

// The sines and cosines of a position given in degrees. Each angle becomes
// radians as (pi * degrees) / 180, the product rounded first.
PositionTrig PositionTrigOf(double latDegrees, double lonDegrees);

// The distance in metres between point 1 and point 2 on a sphere of radius
// 6378137 m, by the spherical law of cosines. 0 for s outside (-1, 1). The
// order of the points matters to the last bits: the products are formed in a
// fixed order.
double GreatCircleDistance(const PositionTrig& point1, const PositionTrig& point2);

// The same from the coordinates in degrees: point 1 is (lat1, lon1).
double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2);

// Adds a distance in metres to a length in kilometres: metres / 1000 in
// extended, plus the length in extended, rounded to double.
double AddKilometres(double lengthKm, double metres);

}  // namespace pathmend
