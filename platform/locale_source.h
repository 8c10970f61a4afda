// The user's locale items, as the date and time text forms need them.
//
// The items are named by their Windows locale item numbers and answered as
// text, the way GetLocaleInfoA answers them, so that the rules for missing or
// odd answers (defaults, one-character separators, numbers) live in one
// place above this layer (geo/locale_formats.h) and hold on every system. A
// Windows backend answers from the locale of the running thread; the POSIX
// backend derives the answers from the C library's LC_TIME data.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace pathmend::platform {

// Windows locale item numbers.
enum LocaleItem : std::uint32_t {
  kLocaleDateSep = 29,
  kLocaleTimeSep = 30,
  kLocaleShortDate = 31,
  kLocaleLongDate = 32,
  kLocaleClock = 35,     // "0" for the 12-hour clock, "1" for the 24-hour clock
  kLocaleHourZero = 37,  // "1" when hours have a leading zero
  kLocaleAmWord = 40,
  kLocalePmWord = 41,
  kLocaleDayName1 = 42,          // Monday; 43 to 48 are Tuesday to Sunday
  kLocaleAbbrevDayName1 = 49,    // Monday; 50 to 55 are Tuesday to Sunday
  kLocaleMonthName1 = 56,        // January to December: 56 to 67
  kLocaleAbbrevMonthName1 = 68,  // January to December: 68 to 79
  kLocaleMarkerPosition = 4101,  // "1" when the AM/PM marker comes first
  kLocaleCalendarType = 4105,
};

// The answers of one locale. An item that is absent is a failed query.
struct UserLocale {
  // The Windows locale identifier (language in the low 10 bits, sub-language
  // in the next 6); 0 when not known.
  std::uint32_t localeId = 0;
  std::map<std::uint32_t, std::string> items;

  // The answer to one item; false when the query fails.
  bool Query(std::uint32_t item, std::string& text) const {
    const auto found = items.find(item);
    if (found == items.end()) return false;
    text = found->second;
    return true;
  }
};

// Reads the items of the user's time locale. On POSIX the locale is named by
// LC_ALL, else LC_TIME, else LANG (an empty variable counts as unset); the
// C and POSIX locales (with any code set, such as C.UTF-8), an unset name and
// a locale that is not installed answer no item at all. The process's global
// locale is not changed. Texts are the locale's own bytes, in its own
// character set (UTF-8 for the usual Linux locales).
UserLocale ReadUserLocale();

// The alternative calendar's text for a picture ("gg" for the era name, "yy"
// or "yyyy" for the year within the era) on a date, in the user's locale.
// Returns false when the system has no such calendar formatter; the POSIX
// backend has none and always returns false.
bool AltCalendarDateText(const std::string& picture, std::uint16_t year, std::uint16_t month,
                         std::uint16_t day, std::string& text);

// True when the byte begins a two-byte character in the system's ANSI code
// page (Windows: IsDBCSLeadByte, true in code pages such as 932, Japanese);
// the byte after it is the character's second byte, whatever its value.
// Never true on POSIX, where the locale's texts are single-byte or UTF-8 and
// every byte of a picture stands for itself.
bool IsLeadByte(char byte);

}  // namespace pathmend::platform
