#include "export/track_title.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "runtime/failure.h"

namespace pathmend {
namespace {

TrackHeader Header(std::string_view name, SystemTime start) {
  TrackHeader header;
  std::memcpy(header.Name.data(), name.data(), std::min(name.size(), header.Name.size()));
  header.StartTime = start;
  return header;
}

SystemTime Start(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour,
                 std::uint16_t minute, std::uint16_t second) {
  SystemTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  return time;
}

TEST(TrackTitle, NameDateTextAndTheClosingWords) {
  const struct {
    const char* label;
    std::string name;
    SystemTime start;
    std::string title;
  } cases[] = {
      {"plain", "Road Split", Start(2006, 1, 15, 8, 30, 0),
       "Road Split (1/15/06 8:30:00 am) - Powered by Tollen"},
      {"midnight has no time", "Road Split", Start(2006, 1, 15, 0, 0, 0),
       "Road Split (1/15/06) - Powered by Tollen"},
      {"afternoon", "x", Start(1999, 12, 31, 23, 59, 59),
       "x (12/31/99 11:59:59 pm) - Powered by Tollen"},
      {"empty name", "", Start(2006, 1, 15, 8, 30, 0), " (1/15/06 8:30:00 am) - Powered by Tollen"},
      // The full field has no terminating zero.
      {"32 bytes", std::string(32, 'N'), Start(2006, 1, 15, 8, 30, 0),
       std::string(32, 'N') + " (1/15/06 8:30:00 am) - Powered by Tollen"},
      // The title keeps the stored bytes; only the KML writer makes them XML.
      {"raw bytes", "Sz\xE9p & <\xF5>", Start(2006, 1, 15, 8, 30, 0),
       "Sz\xE9p & <\xF5> (1/15/06 8:30:00 am) - Powered by Tollen"},
  };
  for (const auto& c : cases) EXPECT_EQ(TrackTitle(Header(c.name, c.start)), c.title) << c.label;
}

TEST(TrackTitle, InvalidStartTimeFailsLikeItsConversion) {
  const struct {
    const char* label;
    SystemTime start;
    const char* message;
  } cases[] = {
      {"month 13", Start(2006, 13, 15, 8, 30, 0), "Invalid argument to date encode"},
      {"day 0", Start(2006, 1, 0, 8, 30, 0), "Invalid argument to date encode"},
      {"all zero", SystemTime{}, "Invalid argument to date encode"},
      {"hour 24", Start(2006, 1, 15, 24, 0, 0), "Invalid argument to time encode"},
  };
  for (const auto& c : cases) {
    try {
      const std::string title = TrackTitle(Header("Road", c.start));
      ADD_FAILURE() << c.label << ": no failure, title " << title;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.kind, kEConvertError) << c.label;
      EXPECT_EQ(failure.message, c.message) << c.label;
    }
  }
}

}  // namespace
}  // namespace pathmend
