// The totals of one run: what the inputs announced and what was really read,
// saved and measured.
#pragma once

#include <cstdint>

namespace pathmend {

struct RunTotals {
  std::int32_t filesRead = 0;
  std::int32_t pointsSaved = 0;
  std::int32_t pointsAnnounced = 0;  // sum of the headers' counts, 32-bit wrap-around
  double lengthAnnounced = 0.0;      // km, sum of the headers' lengths
  double lengthMeasured = 0.0;       // km, sum of the legs between saved points
};

}  // namespace pathmend
