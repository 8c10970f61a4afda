#include "platform/time_zone.h"

#include <stdlib.h>
#include <time.h>

#include <string>

namespace pathmend::platform {

namespace {

// The last answer, with the wall-clock second and the TZ setting it was
// taken at. Re-reading the zone (tzset) costs a check of /etc/localtime on
// every call when TZ is not set, about 2 microseconds: for a million points
// that would be seconds. The offset in force cannot change within one second
// of wall-clock time unless the zone settings change, so the answer is kept
// for the rest of that second and taken afresh when the second or TZ
// changes.
struct CachedBias {
  bool valid = false;
  time_t second = 0;
  std::string tz;
  bool tzSet = false;
  std::int64_t bias = 0;
};

CachedBias cache;

}  // namespace

std::int64_t CurrentZoneBias() {
  const time_t now = time(nullptr);
  const char* tz = getenv("TZ");
  if (cache.valid && now == cache.second && (tz != nullptr) == cache.tzSet &&
      (tz == nullptr || cache.tz == tz)) {
    return cache.bias;
  }
  // localtime_r does not promise to re-read TZ; tzset does, so a zone set or
  // changed since the last reading takes effect now.
  tzset();
  struct tm local {};
  std::int64_t bias = 0;
  if (now != static_cast<time_t>(-1) && localtime_r(&now, &local) != nullptr) {
    // tm_gmtoff is local minus UTC in seconds, east of Greenwich positive.
    bias = -static_cast<std::int64_t>(local.tm_gmtoff) * 10'000'000;
  }
  cache.valid = true;
  cache.second = now;
  cache.tzSet = tz != nullptr;
  cache.tz = tz != nullptr ? tz : "";
  cache.bias = bias;
  return bias;
}

}  // namespace pathmend::platform
