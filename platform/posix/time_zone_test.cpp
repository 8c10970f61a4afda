#include "platform/time_zone.h"

#include <stdlib.h>

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace pathmend::platform {
namespace {

constexpr std::int64_t kTicksPerHour = 36'000'000'000;

// Sets TZ for one test and puts the old value back afterwards.
class ZoneGuard {
 public:
  ZoneGuard() {
    const char* old = getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
  }
  ~ZoneGuard() {
    if (had_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
  }
  ZoneGuard(const ZoneGuard&) = delete;
  ZoneGuard& operator=(const ZoneGuard&) = delete;

 private:
  bool had_ = false;
  std::string old_;
};

TEST(CurrentZoneBias, FollowsTheZoneInForceNow) {
  ZoneGuard guard;
  struct Row {
    const char* tz;
    std::int64_t bias;
  };
  const Row rows[] = {
      {"UTC0", 0},
      {"EST5", 5 * kTicksPerHour},
      {"<+0530>-5:30", -(5 * kTicksPerHour + kTicksPerHour / 2)},
      {"<+01>-1", -kTicksPerHour},
      // Daylight saving in force all year round: its offset applies now,
      // whatever the date.
      {"EST5EDT,0/0,J365/25", 4 * kTicksPerHour},
  };
  // Each call re-reads TZ, so the rows in turn see their own zone.
  for (const Row& row : rows) {
    ASSERT_EQ(setenv("TZ", row.tz, 1), 0);
    EXPECT_EQ(CurrentZoneBias(), row.bias) << row.tz;
  }
}

TEST(CurrentZoneBias, ReadsTheTimeZoneDatabase) {
  ZoneGuard guard;
  // Zones without daylight saving, so the answer does not depend on today.
  ASSERT_EQ(setenv("TZ", "Asia/Tokyo", 1), 0);
  const std::int64_t tokyo = CurrentZoneBias();
  ASSERT_EQ(setenv("TZ", "America/Phoenix", 1), 0);
  const std::int64_t phoenix = CurrentZoneBias();
  if (tokyo == 0 && phoenix == 0)
    GTEST_SKIP() << "the time zone database (tzdata) is not installed";
  EXPECT_EQ(tokyo, -9 * kTicksPerHour);
  EXPECT_EQ(phoenix, 7 * kTicksPerHour);
}

}  // namespace
}  // namespace pathmend::platform
