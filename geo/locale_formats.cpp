#include "geo/locale_formats.h"

#include <utility>

namespace pathmend {

namespace {

LocaleFormats& MutableRunFormats() {
  static LocaleFormats formats;
  return formats;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// True when `text` at `pos` begins with `word` (upper case), in either case.
bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (AsciiUpper(text[pos + i]) != word[i]) return false;
  }
  return true;
}

// A number item: the text as a decimal integer, 0 when the query fails or the
// text is not a number.
long NumberItem(const platform::UserLocale& locale, std::uint32_t item, long fallback = 0) {
  std::string text;
  if (!locale.Query(item, text) || text.empty()) return fallback;
  std::size_t i = 0;
  const bool negative = text[0] == '-';
  if (negative) i = 1;
  if (i == text.size()) return fallback;
  long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9' || value > 100'000'000) return fallback;
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

// A text item: the locale's text, even when empty; the default when the
// query fails.
void TextItem(const platform::UserLocale& locale, std::uint32_t item, std::string& field) {
  std::string text;
  if (locale.Query(item, text)) field = std::move(text);
}

// A name item: the default also replaces an empty text.
void NameItem(const platform::UserLocale& locale, std::uint32_t item, std::string& field) {
  std::string text;
  if (locale.Query(item, text) && !text.empty()) field = std::move(text);
}

// A character item, read as into room for one character and its NUL: the
// default when the query fails, and so when the text has two or more
// characters; NUL for an empty text.
void CharacterItem(const platform::UserLocale& locale, std::uint32_t item, char& field) {
  std::string text;
  if (!locale.Query(item, text) || text.size() >= 2) return;
  field = text.empty() ? '\0' : text[0];
}

}  // namespace

std::string BuildTimePicture(long hourZero, long clock, long markerPosition, bool withSeconds) {
  std::string prefix;
  std::string suffix;
  if (clock == 0) {
    if (markerPosition != 0) {
      prefix = "AMPM ";
    } else {
      suffix = " AMPM";
    }
  }
  return prefix + (hourZero != 0 ? "hh" : "h") + (withSeconds ? ":mm:ss" : ":mm") + suffix;
}

std::string AdaptDatePicture(std::string_view picture, long calendarType,
                             std::uint32_t primaryLanguage, LeadByteTest isLeadByte) {
  // The length of the character at `i`: 2 for a lead byte and the byte after
  // it, else 1.
  auto characterAt = [&](std::size_t i) -> std::size_t {
    return isLeadByte != nullptr && isLeadByte(picture[i]) && i + 1 < picture.size() ? 2 : 1;
  };
  std::string out;
  if (calendarType == 3 || calendarType == 4 || calendarType == 5) {
    std::size_t i = 0;
    while (i < picture.size()) {
      if (characterAt(i) == 2) {
        out.append(picture.substr(i, 2));
        i += 2;
      } else if (StartsWithNoCase(picture, i, "GG")) {
        out += "ggg";
        i += 2;
      } else if (StartsWithNoCase(picture, i, "YYYY")) {
        out += "eeee";
        i += 4;
      } else if (StartsWithNoCase(picture, i, "YY")) {
        out += "ee";
        i += 2;
      } else if (AsciiUpper(picture[i]) == 'Y') {
        out += 'e';
        ++i;
      } else {
        out += picture[i++];
      }
    }
    return out;
  }
  if (primaryLanguage == 4 || primaryLanguage == 17 || primaryLanguage == 18) {
    std::size_t i = 0;
    while (i < picture.size()) {
      const std::size_t length = characterAt(i);
      if (length == 2 || (picture[i] != 'g' && picture[i] != 'G')) {
        out.append(picture.substr(i, length));
      }
      i += length;
    }
    return out;
  }
  return std::string(picture);
}

LocaleFormats LocaleFormatsFrom(const platform::UserLocale& locale) {
  using namespace platform;
  LocaleFormats f;
  const std::uint32_t lowHalf = locale.localeId & 0xFFFFu;
  if (lowHalf != 0) {
    f.primaryLanguage = lowHalf & 0x3FFu;
    f.subLanguage = lowHalf >> 10;
  }
  CharacterItem(locale, kLocaleDateSep, f.dateSep);
  CharacterItem(locale, kLocaleTimeSep, f.timeSep);
  f.isLeadByte = &IsLeadByte;
  const long calendarType = NumberItem(locale, kLocaleCalendarType, 1);
  TextItem(locale, kLocaleShortDate, f.shortDatePicture);
  f.shortDatePicture =
      AdaptDatePicture(f.shortDatePicture, calendarType, f.primaryLanguage, f.isLeadByte);
  TextItem(locale, kLocaleLongDate, f.longDatePicture);
  f.longDatePicture =
      AdaptDatePicture(f.longDatePicture, calendarType, f.primaryLanguage, f.isLeadByte);
  TextItem(locale, kLocaleAmWord, f.amWord);
  TextItem(locale, kLocalePmWord, f.pmWord);

  const long hourZero = NumberItem(locale, kLocaleHourZero);
  const long clock = NumberItem(locale, kLocaleClock);
  const long markerPosition = NumberItem(locale, kLocaleMarkerPosition);
  f.shortTimePicture = BuildTimePicture(hourZero, clock, markerPosition, false);
  f.longTimePicture = BuildTimePicture(hourZero, clock, markerPosition, true);

  for (std::uint32_t i = 0; i < 12; ++i) {
    NameItem(locale, kLocaleAbbrevMonthName1 + i, f.monthAbbrevs[i]);
    NameItem(locale, kLocaleMonthName1 + i, f.monthNames[i]);
  }
  // Index j (1 = Sunday) takes the item of weekday (j + 5) mod 7 counted
  // from Monday.
  for (std::uint32_t j = 1; j <= 7; ++j) {
    NameItem(locale, kLocaleAbbrevDayName1 + (j + 5) % 7, f.dayAbbrevs[j - 1]);
    NameItem(locale, kLocaleDayName1 + (j + 5) % 7, f.dayNames[j - 1]);
  }
  f.eraFormatter = &AltCalendarDateText;
  return f;
}

void LoadLocaleFormats() { MutableRunFormats() = LocaleFormatsFrom(platform::ReadUserLocale()); }

const LocaleFormats& RunLocaleFormats() { return MutableRunFormats(); }

}  // namespace pathmend
