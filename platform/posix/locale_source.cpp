#include "platform/locale_source.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <string_view>

#include "platform/platform.h"
#include "platform/posix/strftime_picture.h"

namespace pathmend::platform {

namespace {

// The locale that names the user's time formats: LC_ALL, else LC_TIME, else
// LANG, as the C library resolves it; an empty variable counts as unset.
std::string TimeLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return value;
  }
  return "C";
}

// C and POSIX, with or without a code set or modifier (C.UTF-8, POSIX@x).
bool IsPlainLocale(std::string_view name) {
  for (const std::string_view plain : {std::string_view("C"), std::string_view("POSIX")}) {
    if (name.substr(0, plain.size()) == plain &&
        (name.size() == plain.size() || name[plain.size()] == '.' || name[plain.size()] == '@')) {
      return true;
    }
  }
  return false;
}

// The Windows locale identifier of a locale name such as "de_DE.UTF-8":
// language in the low 10 bits, sub-language above. 0 for languages not in
// the table; only Chinese, Japanese and Korean change what is shown (their
// date pictures lose era names), the others are listed for completeness.
std::uint32_t LocaleIdOf(std::string_view name) {
  const std::string_view language = name.substr(0, name.find_first_of("_.@"));
  const std::size_t territoryStart = name.find('_');
  const std::string_view territory =
      territoryStart == std::string_view::npos
          ? std::string_view()
          : name.substr(territoryStart + 1,
                        name.find_first_of(".@", territoryStart) - territoryStart - 1);
  struct Entry {
    std::string_view language;
    std::uint32_t primary;
  };
  static constexpr Entry kLanguages[] = {
      {"ar", 1},  {"bg", 2},  {"ca", 3},  {"zh", 4},  {"cs", 5},  {"da", 6},  {"de", 7},
      {"el", 8},  {"en", 9},  {"es", 10}, {"fi", 11}, {"fr", 12}, {"he", 13}, {"hu", 14},
      {"is", 15}, {"it", 16}, {"ja", 17}, {"ko", 18}, {"nl", 19}, {"nb", 20}, {"no", 20},
      {"pl", 21}, {"pt", 22}, {"ro", 24}, {"ru", 25}, {"hr", 26}, {"sk", 27}, {"sq", 28},
      {"sv", 29}, {"th", 30}, {"tr", 31}, {"id", 33}, {"uk", 34}, {"be", 35}, {"sl", 36},
      {"et", 37}, {"lv", 38}, {"lt", 39}, {"fa", 41}, {"vi", 42}, {"hy", 43}, {"eu", 45},
  };
  for (const Entry& entry : kLanguages) {
    if (entry.language != language) continue;
    std::uint32_t sub = 1;
    if (entry.primary == 4) {  // traditional Chinese is 1, simplified 2
      if (territory == "CN") sub = 2;
      if (territory == "HK") sub = 3;
      if (territory == "SG") sub = 4;
      if (territory == "MO") sub = 5;
    }
    return (sub << 10) | entry.primary;
  }
  return 0;
}

std::string Item(locale_t locale, nl_item item) {
  const char* text = nl_langinfo_l(item, locale);
  return text != nullptr ? text : "";
}

}  // namespace

bool LocaleIsUtf8() {
  const char* name = nullptr;
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') {
      name = value;
      break;
    }
  }
  if (name == nullptr) return false;  // the C locale: ASCII
  const locale_t locale = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return false;  // not installed
  const std::string_view codeSet = nl_langinfo_l(CODESET, locale);
  const bool utf8 = codeSet == "UTF-8";
  freelocale(locale);
  return utf8;
}

UserLocale ReadUserLocale() {
  UserLocale result;
  const std::string name = TimeLocaleName();
  if (IsPlainLocale(name)) return result;
  // A locale object of its own: the process's global locale stays as it is.
  const locale_t locale = newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return result;  // not installed: defaults

  result.localeId = LocaleIdOf(name);
  StrftimeFormats formats;
  formats.date = Item(locale, D_FMT);
  formats.time = Item(locale, T_FMT);
  formats.time12 = Item(locale, T_FMT_AMPM);
  formats.dateTime = Item(locale, D_T_FMT);

  std::string dateSep;
  if (DateSeparator(formats.date, formats, dateSep)) result.items[kLocaleDateSep] = dateSep;
  std::string timeSep;
  if (TimeSeparator(formats.time, formats, timeSep)) result.items[kLocaleTimeSep] = timeSep;
  result.items[kLocaleShortDate] =
      StrftimePicture(formats.date, formats, dateSep == "/", timeSep == ":");
  // The C library has no long date format: that item fails and takes its
  // default.
  ClockStyle clock;
  if (ClockOf(formats.time, formats, clock)) {
    result.items[kLocaleClock] = clock.twentyFourHour ? "1" : "0";
    result.items[kLocaleHourZero] = clock.hourZero ? "1" : "0";
    result.items[kLocaleMarkerPosition] = clock.markerFirst ? "1" : "0";
  }
  result.items[kLocaleAmWord] = Item(locale, AM_STR);
  result.items[kLocalePmWord] = Item(locale, PM_STR);
  for (std::uint32_t i = 0; i < 12; ++i) {
    result.items[kLocaleAbbrevMonthName1 + i] =
        Item(locale, static_cast<nl_item>(ABMON_1 + static_cast<int>(i)));
    result.items[kLocaleMonthName1 + i] =
        Item(locale, static_cast<nl_item>(MON_1 + static_cast<int>(i)));
  }
  // Windows counts weekdays from Monday, the C library from Sunday.
  for (std::uint32_t k = 0; k < 7; ++k) {
    const int fromSunday = static_cast<int>((k + 1) % 7);
    result.items[kLocaleAbbrevDayName1 + k] =
        Item(locale, static_cast<nl_item>(ABDAY_1 + fromSunday));
    result.items[kLocaleDayName1 + k] = Item(locale, static_cast<nl_item>(DAY_1 + fromSunday));
  }
  result.items[kLocaleCalendarType] = "1";  // Gregorian
  freelocale(locale);
  return result;
}

bool AltCalendarDateText(const std::string&, std::uint16_t, std::uint16_t, std::uint16_t,
                         std::string&) {
  return false;
}

bool IsLeadByte(char) { return false; }

}  // namespace pathmend::platform
