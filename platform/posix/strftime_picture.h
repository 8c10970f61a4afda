// Reading the C library's strftime-style time formats (D_FMT, T_FMT, ...) as
// the locale answers the date and time text forms need: a date picture in
// the picture language of geo/date_text.cpp, the separators, and the clock.
#pragma once

#include <string>
#include <string_view>

namespace pathmend::platform {

// A locale's own formats, which %x, %X, %r and %c stand for.
struct StrftimeFormats {
  std::string date;      // D_FMT
  std::string time;      // T_FMT
  std::string time12;    // T_FMT_AMPM
  std::string dateTime;  // D_T_FMT
};

// The picture of a format. Conversions become tokens (%Y yyyy, %y yy, %m mm,
// %-m and %e m, %d dd, %-d d, %b mmm, %B mmmm, %a ddd, %A dddd, %H hh, %k h,
// %I hh, %l h, %M nn, %S ss, %p AMPM, %% %); those the pictures cannot
// show (zone, week and day numbers, ...) are left out. Literal text is
// quoted where the picture language would read it as a token; a literal "/"
// is written bare only when `slashIsDateSep`, a literal ":" only when
// `colonIsTimeSep`, so that they show as the separators. Two tokens of the
// same letter side by side are kept apart by an empty quoted text. A month
// (%m, %b, %B) that follows an hour with no other conversion between reads
// as minutes: the picture language has no way to say otherwise.
std::string StrftimePicture(std::string_view format, const StrftimeFormats& formats,
                            bool slashIsDateSep, bool colonIsTimeSep);

// The literal text between the first two date conversions (year, month or
// day); false when the format has fewer than two.
bool DateSeparator(std::string_view format, const StrftimeFormats& formats, std::string& separator);

// The literal text between the first hour conversion and a minute conversion
// right after it; false when there is no such pair.
bool TimeSeparator(std::string_view format, const StrftimeFormats& formats, std::string& separator);

// How a time format writes its hour: on the 24-hour clock or not, with a
// leading zero or not, and whether the AM/PM marker comes before the hour.
struct ClockStyle {
  bool twentyFourHour = false;
  bool hourZero = false;
  bool markerFirst = false;
};
// False when the format has no hour conversion.
bool ClockOf(std::string_view format, const StrftimeFormats& formats, ClockStyle& style);

}  // namespace pathmend::platform
