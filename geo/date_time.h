// Date-time values: days since 1899-12-30 with the time of day as fraction.
//
// A header's start time (calendar fields, no time-zone change) and a point's
// time (a UTC FILETIME count, shifted by the zone offset in force now) both
// become a DateTimeValue; SplitDateTime turns one back into calendar fields
// for the text forms.
#pragma once

#include <cstdint>

#include "geo/system_time.h"

namespace pathmend {

// Days from 1899-12-30 (day 0) in the proleptic Gregorian calendar; the
// fraction's magnitude is the time of day, subtracted for negative days
// (-1.75 is 1899-12-29 18:00). Range 0001-01-01 (-693593) to 9999-12-31
// (2958465), resolution one millisecond.
using DateTimeValue = double;

// The fields of a value: weekday 1 = Sunday to 7 = Saturday, hour 0 to 23.
struct DateTimeFields {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day = 0;
  std::uint16_t weekday = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t millisecond = 0;
};

inline constexpr const char* kDateEncodeMessage = "Invalid argument to date encode";
inline constexpr const char* kTimeEncodeMessage = "Invalid argument to time encode";

// Encodes calendar fields, without any time-zone change. The date is checked
// first (EConvertError "Invalid argument to date encode"), then the time
// (EConvertError "Invalid argument to time encode"). The day of week is
// ignored.
DateTimeValue SystemTimeToValue(const SystemTime& time);

// Splits a count of 100-nanosecond units from 1601-01-01 00:00:00 into
// calendar fields, dropping the part below one millisecond, as the Windows
// call FileTimeToSystemTime does. The count is read as signed, so counts
// before 1601 give earlier dates. Returns false, leaving `time` unchanged,
// when the date falls before 0001-01-01 or after 9999-12-31.
bool LocalCountToSystemTime(std::int64_t localCount, SystemTime& time);

// Converts a point's UTC FILETIME to a local value with the given zone bias
// (UTC minus local time, in 100-nanosecond units, positive west of
// Greenwich). The local count is fileTime - bias modulo 2^64, read as a
// signed count: a count with its top bit set (a FILETIME of 2^63 or more, or
// a small one in a zone west of Greenwich) is a moment before 1601, which is
// encoded like any other when it falls in year 1 or later. A local count
// before 0001-01-01 or from 10000-01-01 on fails with EConvertError "Invalid
// argument to date encode".
DateTimeValue PointTimeToLocal(std::uint64_t fileTime, std::int64_t zoneBias);

// The same with the bias of the local time zone in force at this moment,
// taken afresh from the system at each call.
DateTimeValue PointTimeToLocal(std::uint64_t fileTime);

// Splits a value into its fields. The millisecond total is the value times
// 86,400,000 rounded half to even; a second is never rounded up from its
// milliseconds. A value outside 0001-01-01 00:00 to 9999-12-31 23:59:59.999
// (or not a number) fails with EConvertError "Invalid argument to date
// encode".
DateTimeFields SplitDateTime(DateTimeValue value);

}  // namespace pathmend
