// Sine, cosine, arc tangent and square root in the extended format, computed
// the same way on every platform.
//
// Sine and cosine reduce the argument by pi/2 with pi/2 split into three
// parts (Cody-Waite), take the processor's fsincos on the reduced argument,
// where it is accurate to about one unit of the 64-bit significand, and put
// the quadrant back. Neither the raw fsin/fsincos on a large argument (its
// built-in pi is too short near the zeros of sine and cosine) nor the C
// library is used, so the last bits do not depend on the platform's library.
#pragma once

#include "runtime/extended.h"

namespace pathmend {

struct SineCosine {
  Extended sine;
  Extended cosine;
};

// Sine and cosine of x radians. Accurate for |x| up to 190 (the distance
// needs 0 to 71.5); beyond that the reduction is no longer exact and the
// error grows.
SineCosine ExtendedSinCos(Extended x);

// The angle of the vector (x, y) in radians, between -pi and pi: the
// processor's fpatan, rounded to extended.
Extended ExtendedArcTangent2(Extended y, Extended x);

// The square root, correctly rounded to extended (fsqrt).
Extended ExtendedSquareRoot(Extended x);

}  // namespace pathmend
