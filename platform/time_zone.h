// The local time zone's offset from UTC, as the system knows it now.
#pragma once

#include <cstdint>

namespace pathmend::platform {

// UTC minus local time, in 100-nanosecond units (positive west of Greenwich),
// of the local time zone at this moment, daylight saving included when it is
// in force now. Taken afresh whenever the wall-clock second or the TZ
// setting has changed since the last call, so a change of the zone is seen
// within a second. 0 when the system cannot say.
std::int64_t CurrentZoneBias();

}  // namespace pathmend::platform
