// The zone bias and the split of point times, against the Windows calls
// (FileTimeToLocalFileTime, FileTimeToSystemTime) that the program's own
// arithmetic stands in for.

#include "platform/time_zone.h"

#include <windows.h>

#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "geo/date_time.h"

namespace pathmend::platform {
namespace {

FILETIME AsFileTime(std::uint64_t count) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(count);
  time.dwHighDateTime = static_cast<DWORD>(count >> 32);
  return time;
}

std::uint64_t Count(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

TEST(CurrentZoneBias, IsTheShiftOfFileTimeToLocalFileTime) {
  // The system shifts every count by the bias in force now, whatever its
  // own date: a winter and a summer point move alike.
  for (const std::uint64_t count :
       {127818063300000000ULL, 127980000000000000ULL, 36'000'000'000ULL * 24}) {
    const FILETIME utc = AsFileTime(count);
    FILETIME local;
    ASSERT_TRUE(::FileTimeToLocalFileTime(&utc, &local));
    EXPECT_EQ(CurrentZoneBias(), static_cast<std::int64_t>(count - Count(local))) << count;
  }
}

// The program splits local counts itself; below 2^63 it must agree with
// FileTimeToSystemTime field by field.
TEST(LocalCountToSystemTime, AgreesWithFileTimeToSystemTime) {
  std::mt19937_64 random(20060115);
  std::vector<std::uint64_t> counts = {0,
                                       1,
                                       9'999,
                                       10'000,
                                       864'000'000'000ULL - 1,
                                       864'000'000'000ULL,
                                       127818063309999999ULL,
                                       2'650'467'743'999'999'999ULL,
                                       2'650'467'744'000'000'000ULL,
                                       (std::uint64_t{1} << 63) - 1};
  for (int i = 0; i < 2000; ++i) counts.push_back(random() % 2'650'467'744'000'000'000ULL);
  for (const std::uint64_t count : counts) {
    const FILETIME time = AsFileTime(count);
    SYSTEMTIME system;
    ASSERT_TRUE(::FileTimeToSystemTime(&time, &system)) << count;
    SystemTime ours;
    const bool valid = LocalCountToSystemTime(static_cast<std::int64_t>(count), ours);
    if (system.wYear > 9999) {
      EXPECT_FALSE(valid) << count;
      continue;
    }
    ASSERT_TRUE(valid) << count;
    EXPECT_EQ(ours.year, system.wYear) << count;
    EXPECT_EQ(ours.month, system.wMonth) << count;
    EXPECT_EQ(ours.day, system.wDay) << count;
    EXPECT_EQ(ours.hour, system.wHour) << count;
    EXPECT_EQ(ours.minute, system.wMinute) << count;
    EXPECT_EQ(ours.second, system.wSecond) << count;
    EXPECT_EQ(ours.milliseconds, system.wMilliseconds) << count;
  }
}

// From 2^63 on Windows refuses the split (error 87); the program keeps its
// Linux reading of such a count, a signed count before 1601, on Windows too.
TEST(LocalCountToSystemTime, CountsWithTheTopBitSetAreTheSameChoiceAsOnLinux) {
  const FILETIME top = AsFileTime(std::uint64_t{1} << 63);
  SYSTEMTIME system;
  ::SetLastError(0);
  EXPECT_FALSE(::FileTimeToSystemTime(&top, &system));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // A zeroed point one hour west of Greenwich: 1600-12-31 23:00 local.
  constexpr std::int64_t kHour = 36'000'000'000;
  const DateTimeValue west = PointTimeToLocal(0, kHour);
  const DateTimeFields fields = SplitDateTime(west);
  EXPECT_EQ(fields.year, 1600);
  EXPECT_EQ(fields.month, 12);
  EXPECT_EQ(fields.day, 31);
  EXPECT_EQ(fields.hour, 23);
  EXPECT_EQ(west, -109206.0 - 82'800'000.0 / 86'400'000.0);  // the time is subtracted
}

}  // namespace
}  // namespace pathmend::platform
