#include "geo/date_time.h"

#include <cmath>

#include "platform/time_zone.h"
#include "runtime/extended.h"
#include "runtime/failure.h"

namespace pathmend {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::int64_t kTicksPerMs = 10'000;  // 100-ns units in a millisecond

// Day numbers (days from 1899-12-30) of the ends of the range.
constexpr std::int64_t kFirstDay = -693593;  // 0001-01-01
constexpr std::int64_t kLastDay = 2958465;   // 9999-12-31
// 1970-01-01 and 1601-01-01 as day numbers.
constexpr std::int64_t kUnixEpochDay = 25569;
constexpr std::int64_t kFileTimeEpochDay = -109205;

bool IsLeapYear(std::uint16_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Days before the first of each month in a common year.
constexpr std::uint16_t kDaysBeforeMonth[12] = {0,   31,  59,  90,  120, 151,
                                                181, 212, 243, 273, 304, 334};
constexpr std::uint16_t kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct CivilDate {
  std::int64_t year;
  std::uint16_t month;  // 1 to 12
  std::uint16_t day;    // 1 to 31
};

// The proleptic Gregorian date of a count of days from 1970-01-01 (Howard
// Hinnant's civil_from_days). Valid for any count whose magnitude is below
// 2^62; the program uses it only for dates of years 1 to 9999 (counts
// -719162 to 2932896). Intermediates: z in that range plus 719468; era =
// floor(z / 146097) (the 400-year cycle); doe in [0, 146096] (day of era);
// yoe in [0, 399] (year of era); doy in [0, 365] (day of the year counted
// from March 1); mp in [0, 11] (month counted from March).
constexpr CivilDate CivilFromDays(std::int64_t days) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  return {yoe + era * 400 + (month <= 2 ? 1 : 0), static_cast<std::uint16_t>(month),
          static_cast<std::uint16_t>(day)};
}

static_assert(CivilFromDays(0).year == 1970 && CivilFromDays(0).month == 1);
static_assert(CivilFromDays(kFileTimeEpochDay - kUnixEpochDay).year == 1601);
static_assert(CivilFromDays(kFirstDay - kUnixEpochDay).year == 1 &&
              CivilFromDays(kFirstDay - kUnixEpochDay).day == 1);
static_assert(CivilFromDays(kLastDay - kUnixEpochDay).year == 9999 &&
              CivilFromDays(kLastDay - kUnixEpochDay).day == 31);

// Weekday of a day number, 1 = Sunday; 1899-12-30 was a Saturday. The day
// number is in [kFirstDay, kLastDay], so the sum is positive.
std::uint16_t WeekdayOf(std::int64_t dayNumber) {
  return static_cast<std::uint16_t>((dayNumber + 693594) % 7 + 1);
}

// Floor division for a positive divisor.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace

DateTimeValue SystemTimeToValue(const SystemTime& time) {
  // Date first: an invalid date fails without looking at the time.
  if (time.year < 1 || time.year > 9999 || time.month < 1 || time.month > 12 || time.day < 1) {
    RaiseFailure(kEConvertError, kDateEncodeMessage);
  }
  const bool leap = IsLeapYear(time.year);
  const unsigned monthIndex = time.month - 1u;
  const unsigned monthLength = kMonthLength[monthIndex] + (monthIndex == 1 && leap ? 1u : 0u);
  if (time.day > monthLength) RaiseFailure(kEConvertError, kDateEncodeMessage);

  // Day count for years 1 to 9999: y in [0, 9998], the result in
  // [-693593, 2958465], far inside 32 bits.
  const std::int64_t y = time.year - 1;
  const std::int64_t dayOfYear =
      kDaysBeforeMonth[monthIndex] + (monthIndex >= 2 && leap ? 1 : 0) + time.day;
  const std::int64_t dayCount = y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - 693594;

  if (time.hour > 23 || time.minute > 59 || time.second > 59 || time.milliseconds > 999) {
    RaiseFailure(kEConvertError, kTimeEncodeMessage);
  }
  const std::int64_t ms =
      time.hour * 3'600'000LL + time.minute * 60'000LL + time.second * 1'000LL + time.milliseconds;
  const Extended fraction = static_cast<Extended>(ms) / static_cast<Extended>(kMsPerDay);
  const Extended day = static_cast<Extended>(dayCount);
  return RoundToDouble(dayCount >= 0 ? day + fraction : day - fraction);
}

bool LocalCountToSystemTime(std::int64_t localCount, SystemTime& time) {
  // Whole milliseconds towards the past: the part below one millisecond is
  // dropped from the time of day, for counts before 1601 as well.
  const std::int64_t totalMs = FloorDiv(localCount, kTicksPerMs);
  const std::int64_t days = FloorDiv(totalMs, kMsPerDay);  // from 1601-01-01
  const std::int64_t msOfDay = totalMs - days * kMsPerDay;
  const std::int64_t dayNumber = days + kFileTimeEpochDay;
  if (dayNumber < kFirstDay || dayNumber > kLastDay) return false;

  const CivilDate date = CivilFromDays(dayNumber - kUnixEpochDay);
  time.year = static_cast<std::uint16_t>(date.year);
  time.month = date.month;
  time.day = date.day;
  time.dayOfWeek = static_cast<std::uint16_t>(WeekdayOf(dayNumber) - 1);  // 0 = Sunday
  time.hour = static_cast<std::uint16_t>(msOfDay / 3'600'000);
  time.minute = static_cast<std::uint16_t>(msOfDay / 60'000 % 60);
  time.second = static_cast<std::uint16_t>(msOfDay % 60'000 / 1'000);
  time.milliseconds = static_cast<std::uint16_t>(msOfDay % 1'000);
  return true;
}

DateTimeValue PointTimeToLocal(std::uint64_t fileTime, std::int64_t zoneBias) {
  // 64-bit arithmetic modulo 2^64, then read as a signed count.
  const std::uint64_t local = fileTime - static_cast<std::uint64_t>(zoneBias);
  SystemTime time;
  if (!LocalCountToSystemTime(static_cast<std::int64_t>(local), time)) {
    RaiseFailure(kEConvertError, kDateEncodeMessage);
  }
  return SystemTimeToValue(time);
}

DateTimeValue PointTimeToLocal(std::uint64_t fileTime) {
  return PointTimeToLocal(fileTime, platform::CurrentZoneBias());
}

DateTimeFields SplitDateTime(DateTimeValue value) {
  // Totals of 0001-01-01 00:00:00.000 and 9999-12-31 23:59:59.999.
  constexpr std::int64_t kMinTotal = -(-kFirstDay * kMsPerDay + kMsPerDay - 1);
  constexpr std::int64_t kMaxTotal = kLastDay * kMsPerDay + kMsPerDay - 1;
  if (std::isnan(value)) RaiseFailure(kEConvertError, kDateEncodeMessage);
  const Extended product = static_cast<Extended>(value) * static_cast<Extended>(kMsPerDay);
  // Checked before the conversion to an integer, which is undefined out of
  // range; the exact bounds are checked on the integer.
  if (std::fabs(product) > 1e15L) RaiseFailure(kEConvertError, kDateEncodeMessage);
  const std::int64_t total = std::llrint(product);  // to nearest, halves to even
  if (total < kMinTotal || total > kMaxTotal) RaiseFailure(kEConvertError, kDateEncodeMessage);

  const std::int64_t magnitude = total < 0 ? -total : total;
  const std::int64_t days = total < 0 ? -(magnitude / kMsPerDay) : magnitude / kMsPerDay;
  const std::int64_t time = magnitude % kMsPerDay;

  const CivilDate date = CivilFromDays(days - kUnixEpochDay);
  DateTimeFields fields;
  fields.year = static_cast<std::uint16_t>(date.year);
  fields.month = date.month;
  fields.day = date.day;
  fields.weekday = WeekdayOf(days);
  fields.hour = static_cast<std::uint16_t>(time / 3'600'000);
  fields.minute = static_cast<std::uint16_t>(time / 60'000 % 60);
  fields.second = static_cast<std::uint16_t>(time % 60'000 / 1'000);
  fields.millisecond = static_cast<std::uint16_t>(time % 1'000);
  return fields;
}

}  // namespace pathmend
