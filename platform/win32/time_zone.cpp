#include "platform/time_zone.h"

#include <windows.h>

namespace pathmend::platform {

namespace {

std::uint64_t Count(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The last answer and the wall-clock second it was taken in. The offset in
// force cannot change within one second unless the zone settings do, and
// asking the system for every point of a long track would cost a zone lookup
// each time; so the answer is kept for the rest of that second.
struct CachedBias {
  bool valid = false;
  std::uint64_t second = 0;
  std::int64_t bias = 0;
};

CachedBias cache;

}  // namespace

std::int64_t CurrentZoneBias() {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const std::uint64_t second = Count(now) / 10'000'000;
  if (cache.valid && cache.second == second) return cache.bias;
  // FileTimeToLocalFileTime shifts any count by the bias in force now,
  // whatever the count's own date: the difference is that bias.
  FILETIME local;
  std::int64_t bias = 0;
  if (::FileTimeToLocalFileTime(&now, &local)) {
    bias = static_cast<std::int64_t>(Count(now) - Count(local));
  }
  cache = {true, second, bias};
  return bias;
}

}  // namespace pathmend::platform
