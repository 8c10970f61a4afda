#include "platform/time_zone.h"

#include <time.h>

namespace pathmend::platform {

std::int64_t CurrentZoneBias() {
  // localtime_r does not promise to re-read TZ; tzset does, so a zone set or
  // changed since the last call takes effect now.
  tzset();
  const time_t now = time(nullptr);
  struct tm local {};
  if (now == static_cast<time_t>(-1) || localtime_r(&now, &local) == nullptr) return 0;
  // tm_gmtoff is local minus UTC in seconds, east of Greenwich positive.
  return -static_cast<std::int64_t>(local.tm_gmtoff) * 10'000'000;
}

}  // namespace pathmend::platform
