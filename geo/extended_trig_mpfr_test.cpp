// Accuracy of the extended sine, cosine, arc tangent and square root against
// MPFR, and a differential check of the whole distance against the same steps
// computed with correctly rounded functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "geo/distance.h"
#include "geo/extended_trig.h"

#ifdef PATHMEND_HAVE_MPFR
#include <mpfr.h>
#endif

namespace pathmend {
namespace {

#ifdef PATHMEND_HAVE_MPFR

constexpr Extended kPi = 0xC90FDAA22168C235p-62L;

// A number in MPFR at a given precision, cleared at scope end.
struct Real {
  mpfr_t v;
  explicit Real(mpfr_prec_t precision = 64) { mpfr_init2(v, precision); }
  ~Real() { mpfr_clear(v); }
  Real(const Real&) = delete;
  Real& operator=(const Real&) = delete;
};

// |computed - exact| in units of the last place of the 64-bit significand of
// the exact value.
double ErrorUnits(Extended computed, const mpfr_t exact) {
  if (mpfr_zero_p(exact)) return computed == 0.0L ? 0.0 : 1e30;
  Real diff(256);
  mpfr_set_ld(diff.v, computed, MPFR_RNDN);
  mpfr_sub(diff.v, diff.v, exact, MPFR_RNDN);
  mpfr_abs(diff.v, diff.v, MPFR_RNDN);
  mpfr_mul_2si(diff.v, diff.v, 64 - mpfr_get_exp(exact), MPFR_RNDN);
  return mpfr_get_d(diff.v, MPFR_RNDN);
}

struct SinCosError {
  double maxUnits = 0.0;
  Extended worstArgument = 0.0L;
};

void Measure(Extended x, SinCosError& error) {
  Real arg(64), s(256), c(256);
  mpfr_set_ld(arg.v, x, MPFR_RNDN);
  mpfr_sin_cos(s.v, c.v, arg.v, MPFR_RNDN);
  const SineCosine ours = ExtendedSinCos(x);
  const double units = std::max(ErrorUnits(ours.sine, s.v), ErrorUnits(ours.cosine, c.v));
  if (units > error.maxUnits) error = {units, x};
}

TEST(ExtendedSinCos, WithinTwoUnitsAcrossTheWholeRange) {
  SinCosError error;
  std::mt19937_64 random(7177u);
  // Random arguments with full 64-bit significands from 0 to 71.5 radians.
  for (int i = 0; i < 200000; ++i) {
    const Extended u = static_cast<Extended>(random() >> 1) * 0x1p-63L;
    Measure(u * 71.5L, error);
  }
  // The hard places: around every multiple of pi/2 in the range, where sine or
  // cosine is near zero and a short pi would show.
  for (int k = 1; k <= 45; ++k) {
    Real m(64);
    mpfr_const_pi(m.v, MPFR_RNDN);
    mpfr_mul_ui(m.v, m.v, static_cast<unsigned long>(k), MPFR_RNDN);
    mpfr_div_2ui(m.v, m.v, 1, MPFR_RNDN);
    Extended x = mpfr_get_ld(m.v, MPFR_RNDN);
    for (int step = 0; step < 500; ++step) x = std::nextafter(x, 0.0L);
    for (int step = 0; step < 1000; ++step, x = std::nextafter(x, 100.0L)) Measure(x, error);
  }
  // Every angle the distance forms from a whole number of degrees, and random
  // counts.
  for (int degrees = 0; degrees < 4096; ++degrees) {
    Measure((kPi * static_cast<Extended>(degrees)) / 180.0L, error);
  }
  for (int i = 0; i < 50000; ++i) {
    const auto count = static_cast<std::uint32_t>(random());
    Measure((kPi * static_cast<Extended>(CoordinateDegrees(count))) / 180.0L, error);
  }
  std::printf("sine/cosine: max error %.3f units of the 64-bit significand (at x = %.21Lg)\n",
              error.maxUnits, error.worstArgument);
  EXPECT_LE(error.maxUnits, 2.0);
  // Negative arguments mirror the positive ones.
  const SineCosine plus = ExtendedSinCos(1.25L), minus = ExtendedSinCos(-1.25L);
  EXPECT_EQ(minus.sine, -plus.sine);
  EXPECT_EQ(minus.cosine, plus.cosine);
}

TEST(ExtendedArcTangent2, WithinOneUnitAndSquareRootCorrectlyRounded) {
  std::mt19937_64 random(99u);
  double maxUnits = 0.0;
  for (int i = 0; i < 100000; ++i) {
    // The distance asks for the angle of (s, sqrt(1 - s*s)) with -1 < s < 1,
    // and for s close to 1 most of all.
    Extended s = static_cast<Extended>(random() >> 1) * 0x1p-62L - 1.0L;
    if (i % 2 == 0) s = 1.0L - static_cast<Extended>(random() >> 11) * 0x1p-64L;
    if (!(s < 1.0L) || !(s > -1.0L)) continue;
    const Extended c = 1.0L - s * s;
    const Extended y = ExtendedSquareRoot(c);
    Real exact(64);
    Real arg(64);
    mpfr_set_ld(arg.v, c, MPFR_RNDN);
    mpfr_sqrt(exact.v, arg.v, MPFR_RNDN);
    ASSERT_EQ(y, mpfr_get_ld(exact.v, MPFR_RNDN)) << "sqrt of " << static_cast<double>(c);

    Real ry(64), rx(64), angle(256);
    mpfr_set_ld(ry.v, y, MPFR_RNDN);
    mpfr_set_ld(rx.v, s, MPFR_RNDN);
    mpfr_atan2(angle.v, ry.v, rx.v, MPFR_RNDN);
    maxUnits = std::max(maxUnits, ErrorUnits(ExtendedArcTangent2(y, s), angle.v));
  }
  std::printf("arc tangent: max error %.3f units of the 64-bit significand\n", maxUnits);
  EXPECT_LE(maxUnits, 1.0);
}

// The distance steps, with the sine, cosine, square root and arc tangent
// supplied by Functions. Also reports how close each value rounded to double
// came to a rounding boundary of the double format.
struct Trace {
  Extended rounded[4];  // the three products and the metres, before rounding to double
  double metres;
};

struct OurFunctions {
  static SineCosine SinCos(Extended x) { return ExtendedSinCos(x); }
  static Extended Sqrt(Extended x) { return ExtendedSquareRoot(x); }
  static Extended Atan2(Extended y, Extended x) { return ExtendedArcTangent2(y, x); }
};

struct CorrectlyRounded {
  static SineCosine SinCos(Extended x) {
    Real arg(64), s(64), c(64);
    mpfr_set_ld(arg.v, x, MPFR_RNDN);
    mpfr_sin(s.v, arg.v, MPFR_RNDN);
    mpfr_cos(c.v, arg.v, MPFR_RNDN);
    return {mpfr_get_ld(s.v, MPFR_RNDN), mpfr_get_ld(c.v, MPFR_RNDN)};
  }
  static Extended Sqrt(Extended x) {
    Real arg(64), r(64);
    mpfr_set_ld(arg.v, x, MPFR_RNDN);
    mpfr_sqrt(r.v, arg.v, MPFR_RNDN);
    return mpfr_get_ld(r.v, MPFR_RNDN);
  }
  static Extended Atan2(Extended y, Extended x) {
    Real ry(64), rx(64), r(64);
    mpfr_set_ld(ry.v, y, MPFR_RNDN);
    mpfr_set_ld(rx.v, x, MPFR_RNDN);
    mpfr_atan2(r.v, ry.v, rx.v, MPFR_RNDN);
    return mpfr_get_ld(r.v, MPFR_RNDN);
  }
};

template <typename Functions>
Trace Distance(double lat1, double lon1, double lat2, double lon2) {
  auto radians = [](double degrees) { return (kPi * static_cast<Extended>(degrees)) / 180.0L; };
  const SineCosine a1 = Functions::SinCos(radians(lat1)), o1 = Functions::SinCos(radians(lon1));
  const SineCosine a2 = Functions::SinCos(radians(lat2)), o2 = Functions::SinCos(radians(lon2));
  Trace trace{};
  trace.rounded[0] = ((a1.cosine * a2.cosine) * o1.cosine) * o2.cosine;
  trace.rounded[1] = ((a1.cosine * o1.sine) * a2.cosine) * o2.sine;
  trace.rounded[2] = a1.sine * a2.sine;
  const Extended s = (static_cast<Extended>(RoundToDouble(trace.rounded[0])) +
                      static_cast<Extended>(RoundToDouble(trace.rounded[1]))) +
                     static_cast<Extended>(RoundToDouble(trace.rounded[2]));
  trace.rounded[3] = 0.0L;
  trace.metres = 0.0;
  if (s < 1.0L && s > -1.0L) {
    const Extended angle = Functions::Atan2(Functions::Sqrt(1.0L - s * s), s);
    trace.rounded[3] = angle * 6378137.0L;
    trace.metres = RoundToDouble(trace.rounded[3]);
  }
  return trace;
}

// Distance, in units of the 64-bit significand, from x to the nearest value
// halfway between two doubles (the boundary of rounding to double): the low
// 11 bits of the significand against 0x400.
int UnitsFromDoubleBoundary(Extended x) {
  if (x == 0.0L) return 1 << 11;
  unsigned char bytes[sizeof(Extended)];
  std::memcpy(bytes, &x, sizeof bytes);
  std::uint64_t significand;
  std::memcpy(&significand, bytes, 8);
  const int low = static_cast<int>(significand & 0x7FF);
  return low > 0x400 ? low - 0x400 : 0x400 - low;
}

TEST(GreatCircleDistance, AgreesWithCorrectlyRoundedFunctionsAwayFromBoundaries) {
  constexpr int kNearUnits = 4;
  std::mt19937_64 random(4242u);
  int legs = 0, nearBoundary = 0;
  for (int i = 0; i < 60000; ++i) {
    std::uint32_t lat1, lon1, lat2, lon2;
    if (i % 3 == 0) {
      // Anywhere, with the full range of counts.
      lat1 = static_cast<std::uint32_t>(random()), lon1 = static_cast<std::uint32_t>(random());
      lat2 = static_cast<std::uint32_t>(random()), lon2 = static_cast<std::uint32_t>(random());
    } else {
      // Legs between points a few counts to a few kilometres apart, as in a
      // track, with real latitudes and longitudes.
      lat1 = static_cast<std::uint32_t>(random() % (90u << 20));
      lon1 = static_cast<std::uint32_t>(random() % (360u << 20));
      const std::uint32_t spread = i % 3 == 1 ? 16u : 40000u;
      lat2 = lat1 + static_cast<std::uint32_t>(random() % spread);
      lon2 = lon1 + static_cast<std::uint32_t>(random() % spread);
    }
    const double a1 = CoordinateDegrees(lat1), o1 = CoordinateDegrees(lon1);
    const double a2 = CoordinateDegrees(lat2), o2 = CoordinateDegrees(lon2);
    const Trace ours = Distance<OurFunctions>(a1, o1, a2, o2);
    const Trace reference = Distance<CorrectlyRounded>(a1, o1, a2, o2);
    ++legs;
    // The steps above are the program's own, to the bit.
    ASSERT_EQ(std::bit_cast<std::uint64_t>(GreatCircleDistance(a1, o1, a2, o2)),
              std::bit_cast<std::uint64_t>(ours.metres));
    bool near = false;
    for (int j = 0; j < 4; ++j) {
      near = near || (ours.rounded[j] != reference.rounded[j] &&
                      UnitsFromDoubleBoundary(reference.rounded[j]) <= kNearUnits);
    }
    if (near) {
      ++nearBoundary;
      continue;
    }
    ASSERT_EQ(std::bit_cast<std::uint64_t>(ours.metres),
              std::bit_cast<std::uint64_t>(reference.metres))
        << "counts " << lat1 << " " << lon1 << " " << lat2 << " " << lon2;
  }
  std::printf("distance: %d of %d legs near a double rounding boundary (skipped)\n", nearBoundary,
              legs);
  EXPECT_LT(nearBoundary * 100, legs);  // under 1 %
}

#else

TEST(ExtendedTrigAccuracy, NeedsMpfr) { GTEST_SKIP() << "built without MPFR"; }

#endif

}  // namespace
}  // namespace pathmend
