#include "platform/locale_source.h"

#include <windows.h>

namespace pathmend::platform {

namespace {

// Every item the formats read, in the order of the locale items' numbers.
constexpr std::uint32_t kSingleItems[] = {
    kLocaleDateSep,  kLocaleTimeSep, kLocaleShortDate, kLocaleLongDate,       kLocaleClock,
    kLocaleHourZero, kLocaleAmWord,  kLocalePmWord,    kLocaleMarkerPosition, kLocaleCalendarType,
};

// One GetLocaleInfoA query: its count includes the terminating NUL, and 0
// means the query failed. Texts are in the ANSI code page, unconverted.
bool QueryItem(LCID locale, std::uint32_t item, std::string& text) {
  char buffer[256];
  const int count = ::GetLocaleInfoA(locale, item, buffer, sizeof buffer);
  if (count <= 0) return false;
  text.assign(buffer, static_cast<std::size_t>(count - 1));
  return true;
}

}  // namespace

UserLocale ReadUserLocale() {
  UserLocale result;
  const LCID locale = ::GetThreadLocale();
  result.localeId = locale;
  auto read = [&](std::uint32_t item) {
    std::string text;
    if (QueryItem(locale, item, text)) result.items[item] = std::move(text);
  };
  for (const std::uint32_t item : kSingleItems) read(item);
  for (std::uint32_t i = 0; i < 7; ++i) {
    read(kLocaleDayName1 + i);
    read(kLocaleAbbrevDayName1 + i);
  }
  for (std::uint32_t i = 0; i < 12; ++i) {
    read(kLocaleMonthName1 + i);
    read(kLocaleAbbrevMonthName1 + i);
  }
  return result;
}

bool AltCalendarDateText(const std::string& picture, std::uint16_t year, std::uint16_t month,
                         std::uint16_t day, std::string& text) {
  SYSTEMTIME date{};
  date.wYear = year;
  date.wMonth = month;
  date.wDay = day;
  char buffer[256];
  const int count = ::GetDateFormatA(::GetThreadLocale(), DATE_USE_ALT_CALENDAR, &date,
                                     picture.c_str(), buffer, sizeof buffer);
  if (count <= 0) return false;
  text.assign(buffer, static_cast<std::size_t>(count - 1));
  return true;
}

bool IsLeadByte(char byte) { return ::IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE; }

}  // namespace pathmend::platform
