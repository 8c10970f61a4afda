// Calendar fields as a Windows SYSTEMTIME holds them: eight unsigned 16-bit
// values. A track log header stores its start time in this form.
#pragma once

#include <cstdint>

namespace pathmend {

struct SystemTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;      // 1 = January
  std::uint16_t dayOfWeek = 0;  // stored, never used by a conversion
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

}  // namespace pathmend
