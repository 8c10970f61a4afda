#include "geo/date_time.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "runtime/failure.h"

namespace pathmend {
namespace {

SystemTime Fields(std::uint16_t year, std::uint16_t month, std::uint16_t day,
                  std::uint16_t hour = 0, std::uint16_t minute = 0, std::uint16_t second = 0,
                  std::uint16_t ms = 0, std::uint16_t dayOfWeek = 0) {
  return SystemTime{year, month, dayOfWeek, day, hour, minute, second, ms};
}

// The failure message of a call that must fail with EConvertError.
template <typename Call>
std::string ConvertFailure(Call call) {
  try {
    call();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind, kEConvertError);
    return failure.message;
  }
  return "(no failure)";
}

constexpr std::int64_t kTicksPerDay = 864'000'000'000;
constexpr std::int64_t kTicksPerHour = 36'000'000'000;
// A FILETIME for a day number (days from 1899-12-30) and a time of day.
constexpr std::uint64_t FileTime(std::int64_t dayNumber, std::int64_t ticksOfDay) {
  return static_cast<std::uint64_t>((dayNumber + 109205) * kTicksPerDay + ticksOfDay);
}

TEST(SystemTimeToValue, EncodesValidFields) {
  struct Row {
    SystemTime time;
    DateTimeValue value;
  };
  const Row rows[] = {
      {Fields(1899, 12, 30), 0.0},
      {Fields(1899, 12, 30, 6), 0.25},
      {Fields(1899, 12, 29, 18), -1.75},
      {Fields(1899, 12, 31, 12), 1.5},
      {Fields(1, 1, 1), -693593.0},
      {Fields(1601, 1, 1), -109205.0},
      {Fields(9999, 12, 31), 2958465.0},
      {Fields(2006, 1, 15), 38732.0},
      {Fields(2004, 2, 29), 38046.0},
      {Fields(2000, 2, 29), 36585.0},
      {Fields(2000, 3, 1), 36586.0},
      {Fields(1900, 3, 1), 61.0},
      // The day of week takes no part.
      {Fields(2006, 1, 15, 0, 0, 0, 0, 9), 38732.0},
      {Fields(2006, 1, 15, 0, 0, 0, 0, 65535), 38732.0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SystemTimeToValue(row.time), row.value)
        << row.time.year << "-" << row.time.month << "-" << row.time.day;
  }
  // Milliseconds 999 and the last moment of the range are valid.
  const DateTimeValue last = SystemTimeToValue(Fields(9999, 12, 31, 23, 59, 59, 999));
  EXPECT_GT(last, 2958465.999988);
  EXPECT_LT(last, 2958466.0);
}

TEST(SystemTimeToValue, RejectsInvalidDateBeforeTime) {
  struct Row {
    SystemTime time;
    const char* message;
  };
  const Row rows[] = {
      {SystemTime{}, kDateEncodeMessage},  // sixteen zero bytes: year 0
      {Fields(2005, 2, 29), kDateEncodeMessage},
      {Fields(1900, 2, 29), kDateEncodeMessage},
      {Fields(2006, 4, 31), kDateEncodeMessage},
      {Fields(2006, 13, 1), kDateEncodeMessage},
      {Fields(2006, 0, 1), kDateEncodeMessage},
      {Fields(2006, 1, 0), kDateEncodeMessage},
      {Fields(2006, 1, 32), kDateEncodeMessage},
      {Fields(10000, 1, 1), kDateEncodeMessage},
      {Fields(65535, 1, 1), kDateEncodeMessage},
      // Both parts wrong: the date is tested first.
      {Fields(2006, 13, 1, 24, 60, 60, 1000), kDateEncodeMessage},
      {Fields(2006, 1, 15, 24), kTimeEncodeMessage},
      {Fields(2006, 1, 15, 0, 60), kTimeEncodeMessage},
      {Fields(2006, 1, 15, 0, 0, 60), kTimeEncodeMessage},
      {Fields(2006, 1, 15, 0, 0, 0, 1000), kTimeEncodeMessage},
      {Fields(2006, 1, 15, 65535), kTimeEncodeMessage},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ConvertFailure([&] { SystemTimeToValue(row.time); }), row.message)
        << row.time.year << "-" << row.time.month << "-" << row.time.day << " " << row.time.hour;
  }
}

TEST(SplitDateTime, SplitsValues) {
  struct Row {
    DateTimeValue value;
    DateTimeFields fields;  // year, month, day, weekday, hour, minute, second, ms
  };
  const Row rows[] = {
      {0.0, {1899, 12, 30, 7, 0, 0, 0, 0}},
      {0.25, {1899, 12, 30, 7, 6, 0, 0, 0}},
      {-1.75, {1899, 12, 29, 6, 18, 0, 0, 0}},
      {-109205.0, {1601, 1, 1, 2, 0, 0, 0, 0}},
      {-109205.0 - 1.0 / 24, {1601, 1, 1, 2, 1, 0, 0, 0}},
      {-693593.0, {1, 1, 1, 2, 0, 0, 0, 0}},
      {38732.0, {2006, 1, 15, 1, 0, 0, 0, 0}},
      {2958465.0, {9999, 12, 31, 6, 0, 0, 0, 0}},
      // Exact halves of a millisecond round to even.
      {1.0 / 2048, {1899, 12, 30, 7, 0, 0, 42, 188}},
      {3.0 / 2048, {1899, 12, 30, 7, 0, 2, 6, 562}},
      {-1.0 - 1.0 / 2048, {1899, 12, 29, 6, 0, 0, 42, 188}},
  };
  for (const Row& row : rows) {
    const DateTimeFields f = SplitDateTime(row.value);
    const DateTimeFields& e = row.fields;
    EXPECT_TRUE(f.year == e.year && f.month == e.month && f.day == e.day &&
                f.weekday == e.weekday && f.hour == e.hour && f.minute == e.minute &&
                f.second == e.second && f.millisecond == e.millisecond)
        << "value " << row.value << " gave " << f.year << "-" << f.month << "-" << f.day << " wd "
        << f.weekday << " " << f.hour << ":" << f.minute << ":" << f.second << "." << f.millisecond;
  }
}

TEST(SplitDateTime, RejectsValuesOutsideTheRange) {
  const DateTimeValue rows[] = {std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(),
                                1e300,
                                2958466.0,
                                -693594.0,
                                -693593.99999999999};
  for (const DateTimeValue value : rows) {
    EXPECT_EQ(ConvertFailure([&] { SplitDateTime(value); }), kDateEncodeMessage) << value;
  }
}

TEST(SplitDateTime, UndoesEveryEncoding) {
  // Days spread over the whole range, each with times across the day: every
  // value splits back into exactly the fields it was made from.
  for (std::int64_t day = -693593; day <= 2958465; day += 997) {
    const DateTimeFields date = SplitDateTime(static_cast<double>(day));
    for (std::int64_t ms = 0; ms < 86'400'000; ms += 7'654'321) {
      for (std::int64_t extra : {0, 1, 998, 999}) {
        const std::int64_t t = ms + extra;
        const SystemTime in =
            Fields(date.year, date.month, date.day, static_cast<std::uint16_t>(t / 3'600'000),
                   static_cast<std::uint16_t>(t / 60'000 % 60),
                   static_cast<std::uint16_t>(t / 1000 % 60), static_cast<std::uint16_t>(t % 1000));
        const DateTimeFields out = SplitDateTime(SystemTimeToValue(in));
        ASSERT_TRUE(out.year == in.year && out.month == in.month && out.day == in.day &&
                    out.hour == in.hour && out.minute == in.minute && out.second == in.second &&
                    out.millisecond == in.milliseconds)
            << "day " << day << " ms " << t;
      }
    }
  }
}

TEST(LocalCountToSystemTime, SplitsLikeFileTimeToSystemTime) {
  struct Row {
    std::int64_t count;
    SystemTime time;  // year, month, dayOfWeek (0 = Sunday), day, h, m, s, ms
  };
  const Row rows[] = {
      {0, {1601, 1, 1, 1, 0, 0, 0, 0}},
      {9'999, {1601, 1, 1, 1, 0, 0, 0, 0}},  // below one millisecond: dropped
      {10'000, {1601, 1, 1, 1, 0, 0, 0, 1}},
      {static_cast<std::int64_t>(FileTime(38732, 0)) + 9'999'999 + 45'296 * 10'000'000LL,
       {2006, 1, 0, 15, 12, 34, 56, 999}},
      {2'650'467'743'999'999'999, {9999, 12, 5, 31, 23, 59, 59, 999}},
      // Before 1601 the count is negative; sub-millisecond parts still go
      // towards the past.
      {-1, {1600, 12, 0, 31, 23, 59, 59, 999}},
      {-5 * kTicksPerHour, {1600, 12, 0, 31, 19, 0, 0, 0}},
      {-584'388 * kTicksPerDay, {1, 1, 1, 1, 0, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    SystemTime t;
    ASSERT_TRUE(LocalCountToSystemTime(row.count, t)) << row.count;
    const SystemTime& e = row.time;
    EXPECT_TRUE(t.year == e.year && t.month == e.month && t.dayOfWeek == e.dayOfWeek &&
                t.day == e.day && t.hour == e.hour && t.minute == e.minute &&
                t.second == e.second && t.milliseconds == e.milliseconds)
        << row.count << " gave " << t.year << "-" << t.month << "-" << t.day << " dow "
        << t.dayOfWeek << " " << t.hour << ":" << t.minute << ":" << t.second << "."
        << t.milliseconds;
  }
  for (const std::int64_t outside :
       {std::int64_t{2'650'467'744'000'000'000}, std::numeric_limits<std::int64_t>::max(),
        std::numeric_limits<std::int64_t>::min(), -584'388 * kTicksPerDay - 1}) {
    SystemTime t;
    EXPECT_FALSE(LocalCountToSystemTime(outside, t)) << outside;
  }
}

TEST(PointTimeToLocal, ShiftsByTheBiasAndEncodes) {
  struct Row {
    std::uint64_t fileTime;
    std::int64_t bias;
    SystemTime local;
  };
  const std::int64_t east1 = -kTicksPerHour;  // one hour east of Greenwich
  const std::int64_t west5 = 5 * kTicksPerHour;
  const Row rows[] = {
      {0, 0, Fields(1601, 1, 1)},
      {0, east1, Fields(1601, 1, 1, 1)},
      {FileTime(38732, 13 * kTicksPerHour), 0, Fields(2006, 1, 15, 13)},
      {FileTime(38732, 13 * kTicksPerHour), east1, Fields(2006, 1, 15, 14)},
      {FileTime(38732, 3 * kTicksPerHour), west5, Fields(2006, 1, 14, 22)},
      {FileTime(38732, 3 * kTicksPerHour + 1'234'567), 0, Fields(2006, 1, 15, 3, 0, 0, 123)},
      // A zeroed point west of Greenwich: the count wraps below 1601 and is
      // read as a moment of 1600-12-31.
      {0, west5, Fields(1600, 12, 31, 19)},
      {std::numeric_limits<std::uint64_t>::max(), 0, Fields(1600, 12, 31, 23, 59, 59, 999)},
      {2'650'467'743'999'999'999, 0, Fields(9999, 12, 31, 23, 59, 59, 999)},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PointTimeToLocal(row.fileTime, row.bias), SystemTimeToValue(row.local))
        << row.fileTime << " bias " << row.bias;
  }
  // FILETIME 0 one hour east of Greenwich is day -109205 minus one
  // twenty-fourth; in UTC it is exactly -109205.
  EXPECT_DOUBLE_EQ(PointTimeToLocal(0, east1), -109205.0 - 1.0 / 24);
  EXPECT_EQ(PointTimeToLocal(0, 0), -109205.0);
}

TEST(PointTimeToLocal, FailsOutsideYearsOneToNineThousandNineHundredNinetyNine) {
  const struct {
    std::uint64_t fileTime;
    std::int64_t bias;
  } rows[] = {
      {2'650'467'744'000'000'000, 0},
      {2'650'467'743'999'999'999, -kTicksPerHour},
      {std::uint64_t{1} << 63, 0},
      {std::numeric_limits<std::uint64_t>::max() / 2 + 1, -kTicksPerHour},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ConvertFailure([&] { PointTimeToLocal(row.fileTime, row.bias); }), kDateEncodeMessage)
        << row.fileTime;
  }
}

// On POSIX the zone is named by TZ in the process's environment. A Windows
// process takes it from the system; the Windows backend's tests compare the
// bias with the system's own conversion (platform/win32/).
#ifndef _WIN32
TEST(PointTimeToLocal, TakesTheBiasOfTheLocalZone) {
  const char* saved = std::getenv("TZ");
  const std::string savedValue = saved ? saved : "";
  ASSERT_EQ(setenv("TZ", "UTC0", 1), 0);
  EXPECT_EQ(PointTimeToLocal(0), -109205.0);
  ASSERT_EQ(setenv("TZ", "<+01>-1", 1), 0);
  EXPECT_EQ(PointTimeToLocal(0), -109205.0 - 1.0 / 24);
  if (saved) {
    setenv("TZ", savedValue.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
}

#endif  // _WIN32

}  // namespace
}  // namespace pathmend
