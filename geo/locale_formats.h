// The user's date and time formats, read once at start-up.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/locale_source.h"

namespace pathmend {

// The text of the locale's alternative (era) calendar for a picture ("gg",
// "yy" or "yyyy") on a date; false when there is none.
using EraFormatter = bool (*)(const std::string& picture, std::uint16_t year, std::uint16_t month,
                              std::uint16_t day, std::string& text);

// True when a byte begins a two-byte character of the locale's code page.
using LeadByteTest = bool (*)(char byte);

// Texts are 8-bit bytes in the locale's own character set, written out
// unconverted. Every field starts at its documented default.
struct LocaleFormats {
  char dateSep = '/';  // written for "/"; NUL writes nothing
  char timeSep = ':';  // written for ":"; NUL writes nothing
  std::string shortDatePicture = "m/d/yy";
  std::string longDatePicture = "mmmm d, yyyy";
  std::string shortTimePicture = "h:mm AMPM";
  std::string longTimePicture = "h:mm:ss AMPM";
  std::string amWord = "am";
  std::string pmWord = "pm";
  std::array<std::string, 12> monthAbbrevs = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> monthNames = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  std::array<std::string, 7> dayAbbrevs = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> dayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
  std::uint32_t primaryLanguage = 9;  // English
  std::uint32_t subLanguage = 1;
  EraFormatter eraFormatter = nullptr;  // none: era tokens write nothing
  // None: every byte of a picture is read on its own. With a test, a
  // two-byte character is written whole and its second byte is never read
  // as a token (a Japanese trail byte can be "N", "g" or "y").
  LeadByteTest isLeadByte = nullptr;
};

// The time pictures built from the locale's three numbers: hour part "hh"
// when hourZero is not 0, else "h"; for the 12-hour clock (clock 0) the marker
// "AMPM" before the time when markerPosition is not 0, else after it.
std::string BuildTimePicture(long hourZero, long clock, long markerPosition, bool withSeconds);

// Rewrites a locale date picture for its calendar: for the era calendars
// (types 3, 4 and 5) years become era years and "gg" the era name; otherwise,
// for Chinese, Japanese and Korean (primary languages 4, 17, 18), era names
// are removed. Two-byte characters (when `isLeadByte` is given) are copied
// whole and never rewritten.
std::string AdaptDatePicture(std::string_view picture, long calendarType,
                             std::uint32_t primaryLanguage, LeadByteTest isLeadByte = nullptr);

// The formats of a locale's answers; a failed query gives the default.
LocaleFormats LocaleFormatsFrom(const platform::UserLocale& locale);

// Reads the user's locale into the formats of the run. Called once at
// start-up; later changes of the user's locale have no effect.
void LoadLocaleFormats();

// The formats of the run: the defaults until LoadLocaleFormats has run.
const LocaleFormats& RunLocaleFormats();

}  // namespace pathmend
