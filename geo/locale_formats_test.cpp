#include "geo/locale_formats.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include <gtest/gtest.h>

#include "geo/date_text.h"
#include "geo/date_time.h"
#include "platform/locale_source.h"

namespace pathmend {
namespace {

using platform::UserLocale;

void ExpectDefaults(const LocaleFormats& f) {
  const LocaleFormats d;
  EXPECT_EQ(f.dateSep, '/');
  EXPECT_EQ(f.timeSep, ':');
  EXPECT_EQ(f.shortDatePicture, "m/d/yy");
  EXPECT_EQ(f.longDatePicture, "mmmm d, yyyy");
  EXPECT_EQ(f.shortTimePicture, "h:mm AMPM");
  EXPECT_EQ(f.longTimePicture, "h:mm:ss AMPM");
  EXPECT_EQ(f.amWord, "am");
  EXPECT_EQ(f.pmWord, "pm");
  EXPECT_EQ(f.monthAbbrevs, d.monthAbbrevs);
  EXPECT_EQ(f.monthNames, d.monthNames);
  EXPECT_EQ(f.dayAbbrevs, d.dayAbbrevs);
  EXPECT_EQ(f.dayNames, d.dayNames);
  EXPECT_EQ(f.primaryLanguage, 9u);
  EXPECT_EQ(f.subLanguage, 1u);
}

TEST(LocaleFormatsFrom, EveryFailedQueryGivesTheDefault) {
  ExpectDefaults(LocaleFormats{});
  ExpectDefaults(LocaleFormatsFrom(UserLocale{}));
  EXPECT_EQ(LocaleFormats{}.monthNames[8], "September");
  EXPECT_EQ(LocaleFormats{}.dayAbbrevs[6], "Sat");
}

TEST(LocaleFormatsFrom, ReadsSeparatorsAsOneCharacter) {
  struct Row {
    const char* text;
    char sep;
  };
  const Row rows[] = {{".", '.'}, {"-", '-'}, {"", '\0'}, {". ", '/'}, {"\xE5\xB9\xB4", '/'}};
  for (const Row& row : rows) {
    UserLocale locale;
    locale.items[platform::kLocaleDateSep] = row.text;
    locale.items[platform::kLocaleTimeSep] = row.text;
    const LocaleFormats f = LocaleFormatsFrom(locale);
    EXPECT_EQ(f.dateSep, row.sep) << row.text;
    EXPECT_EQ(f.timeSep, row.sep == '/' ? ':' : row.sep) << row.text;
  }
}

TEST(LocaleFormatsFrom, TextsStayEvenWhenEmptyNamesDoNot) {
  UserLocale locale;
  locale.items[platform::kLocaleAmWord] = "";
  locale.items[platform::kLocalePmWord] = "nachm.";
  locale.items[platform::kLocaleShortDate] = "";
  locale.items[platform::kLocaleMonthName1] = "";
  locale.items[platform::kLocaleMonthName1 + 11] = "Dezember";
  locale.items[platform::kLocaleAbbrevMonthName1 + 2] = "M\xC3\xA4r";
  // Weekday items count from Monday; index 1 of the names is Sunday.
  for (std::uint32_t k = 0; k < 7; ++k) {
    locale.items[platform::kLocaleDayName1 + k] = "day" + std::to_string(k);
    locale.items[platform::kLocaleAbbrevDayName1 + k] = "d" + std::to_string(k);
  }
  const LocaleFormats f = LocaleFormatsFrom(locale);
  EXPECT_EQ(f.amWord, "");
  EXPECT_EQ(f.pmWord, "nachm.");
  EXPECT_EQ(f.shortDatePicture, "");
  EXPECT_EQ(f.monthNames[0], "January");
  EXPECT_EQ(f.monthNames[11], "Dezember");
  EXPECT_EQ(f.monthAbbrevs[2], "M\xC3\xA4r");
  EXPECT_EQ(f.dayNames[0], "day6");  // Sunday
  EXPECT_EQ(f.dayNames[1], "day0");  // Monday
  EXPECT_EQ(f.dayNames[6], "day5");  // Saturday
  EXPECT_EQ(f.dayAbbrevs[0], "d6");
  EXPECT_EQ(f.dayAbbrevs[3], "d2");
}

TEST(LocaleFormatsFrom, BuildsTheTimePicturesFromTheNumbers) {
  struct Row {
    const char* hourZero;  // nullptr: the query fails
    const char* clock;
    const char* marker;
    const char* shortTime;
    const char* longTime;
  };
  const Row rows[] = {
      {"0", "1", "0", "h:mm", "h:mm:ss"},
      {"1", "1", "0", "hh:mm", "hh:mm:ss"},
      {"1", "1", "1", "hh:mm", "hh:mm:ss"},
      {"0", "0", "0", "h:mm AMPM", "h:mm:ss AMPM"},
      {"0", "0", "1", "AMPM h:mm", "AMPM h:mm:ss"},
      {"1", "0", "1", "AMPM hh:mm", "AMPM hh:mm:ss"},
      {nullptr, nullptr, nullptr, "h:mm AMPM", "h:mm:ss AMPM"},
      {"x", "24h", "", "h:mm AMPM", "h:mm:ss AMPM"},  // not numbers: 0
      {"2", "7", "-1", "hh:mm", "hh:mm:ss"},          // any non-zero number
  };
  for (const Row& row : rows) {
    UserLocale locale;
    if (row.hourZero) locale.items[platform::kLocaleHourZero] = row.hourZero;
    if (row.clock) locale.items[platform::kLocaleClock] = row.clock;
    if (row.marker) locale.items[platform::kLocaleMarkerPosition] = row.marker;
    const LocaleFormats f = LocaleFormatsFrom(locale);
    EXPECT_EQ(f.shortTimePicture, row.shortTime);
    EXPECT_EQ(f.longTimePicture, row.longTime);
  }
}

TEST(LocaleFormatsFrom, SplitsTheLocaleIdentifier) {
  struct Row {
    std::uint32_t id;
    std::uint32_t primary;
    std::uint32_t sub;
  };
  const Row rows[] = {
      {0, 9, 1},      {0x0409, 9, 1},  {0x0411, 17, 1}, {0x0804, 4, 2},
      {0x0404, 4, 1}, {0x10000, 9, 1}, {0x0407, 7, 1},
  };
  for (const Row& row : rows) {
    UserLocale locale;
    locale.localeId = row.id;
    const LocaleFormats f = LocaleFormatsFrom(locale);
    EXPECT_EQ(f.primaryLanguage, row.primary) << row.id;
    EXPECT_EQ(f.subLanguage, row.sub) << row.id;
  }
}

TEST(AdaptDatePicture, RewritesForTheCalendar) {
  struct Row {
    const char* picture;
    long calendarType;
    std::uint32_t primaryLanguage;
    const char* adapted;
  };
  const Row rows[] = {
      {"gg yyyy/MM/dd", 3, 17, "ggg eeee/MM/dd"},
      {"GG YYYY yy Y", 4, 9, "ggg eeee ee e"},
      {"g yyy", 5, 9, "g eee"},
      {"Gg'yy'", 3, 9, "ggg'ee'"},
      {"gg yyyy g", 1, 17, " yyyy "},
      {"Gg yyyy", 1, 4, " yyyy"},
      {"gg yyyy", 2, 18, " yyyy"},
      {"gg yyyy", 1, 9, "gg yyyy"},
      {"yyyy", 6, 17, "yyyy"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(AdaptDatePicture(row.picture, row.calendarType, row.primaryLanguage), row.adapted)
        << row.picture << " " << row.calendarType;
  }
  // The calendar type comes from the locale, 1 when the query fails.
  UserLocale locale;
  locale.localeId = 0x0411;
  locale.items[platform::kLocaleShortDate] = "gg yy/MM/dd";
  EXPECT_EQ(LocaleFormatsFrom(locale).shortDatePicture, " yy/MM/dd");
  locale.items[platform::kLocaleCalendarType] = "3";
  EXPECT_EQ(LocaleFormatsFrom(locale).shortDatePicture, "ggg ee/MM/dd");
  locale.items[platform::kLocaleCalendarType] = "three";
  EXPECT_EQ(LocaleFormatsFrom(locale).shortDatePicture, " yy/MM/dd");
}

// On POSIX the locale is named by the process's environment, so these tests
// choose it with LC_ALL. A Windows process takes it from the system; the
// Windows backend's own tests cover that (platform/win32/).
#ifndef _WIN32
bool Cp932Lead(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Code page 932 has characters whose second byte is "y" (0x82 0x79) or "g"
// (0x82 0x67): they are copied whole, never rewritten or removed.
TEST(AdaptDatePicture, KeepsTwoByteCharactersWhole) {
  struct Row {
    const char* picture;
    long calendarType;
    std::uint32_t primaryLanguage;
    const char* adapted;
  };
  const Row rows[] = {
      {"\x82\x79yy\x82\x67gg", 3, 17,
       "\x82\x79"
       "ee\x82\x67ggg"},
      {"gg\x82\x67yyyy\x82\x79", 1, 17, "\x82\x67yyyy\x82\x79"},
      {"yyyy\x82", 3, 17, "eeee\x82"},  // a lead byte at the end stands alone
  };
  for (const Row& row : rows) {
    EXPECT_EQ(AdaptDatePicture(row.picture, row.calendarType, row.primaryLanguage, &Cp932Lead),
              row.adapted)
        << row.picture;
  }
  // Read byte by byte, the same pictures lose or change their characters.
  EXPECT_EQ(AdaptDatePicture("\x82\x79yy", 3, 17),
            "\x82"
            "eee");
  EXPECT_EQ(AdaptDatePicture("\x82\x67yyyy", 1, 17), "\x82yyyy");
}

// Runs LoadLocaleFormats with LC_ALL set to a locale, and puts the
// environment and the run's formats back afterwards.
class LoadedLocale {
 public:
  explicit LoadedLocale(const char* name) {
    const char* old = std::getenv("LC_ALL");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("LC_ALL", name, 1);
    LoadLocaleFormats();
  }
  ~LoadedLocale() {
    if (had_) {
      setenv("LC_ALL", old_.c_str(), 1);
    } else {
      unsetenv("LC_ALL");
    }
    LoadLocaleFormats();
  }
  LoadedLocale(const LoadedLocale&) = delete;
  LoadedLocale& operator=(const LoadedLocale&) = delete;

 private:
  bool had_ = false;
  std::string old_;
};

TEST(LoadLocaleFormats, PlainLocaleGivesTheDefaults) {
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    LoadedLocale loaded(name);
    ExpectDefaults(RunLocaleFormats());
    const DateTimeValue value = SystemTimeToValue(SystemTime{2006, 1, 0, 15, 13, 45, 30, 250});
    EXPECT_EQ(DefaultDateTimeText(value), "1/15/06 1:45:30 pm") << name;
    EXPECT_EQ(GtmTimeText(value), ",01/15/06,13:45:30,") << name;
  }
}

TEST(LoadLocaleFormats, ReadsRealLocales) {
  struct Row {
    const char* locale;
    const char* defaultText;
    const char* gtmText;
    const char* longMonth;
  };
  const Row rows[] = {
      {"en_US.UTF-8", "01/15/2006 01:45:30 PM", ",01/15/06,13:45:30,", "January"},
      {"de_DE.UTF-8", "15.01.2006 13:45:30", ",01/15/06,13:45:30,", "Januar"},
      {"fi_FI.UTF-8", "15.01.2006 13.45.30", ",01/15/06,13.45.30,", "tammikuu"},
      {"ja_JP.UTF-8",
       "2006\xE5\xB9\xB4"
       "01\xE6\x9C\x88"
       "15\xE6\x97\xA5 13:45:30",
       ",01/15/06,13:45:30,", "1\xE6\x9C\x88"},
  };
  const DateTimeValue value = SystemTimeToValue(SystemTime{2006, 1, 0, 15, 13, 45, 30, 250});
  int ran = 0;
  std::string missing;
  for (const Row& row : rows) {
    LoadedLocale loaded(row.locale);
    if (platform::ReadUserLocale().items.empty()) {
      missing += std::string(" ") + row.locale;
      continue;
    }
    ++ran;
    EXPECT_EQ(DefaultDateTimeText(value), row.defaultText) << row.locale;
    EXPECT_EQ(GtmTimeText(value), row.gtmText) << row.locale;
    EXPECT_EQ(RenderDateTime("mmmm", value), row.longMonth) << row.locale;
  }
  if (ran == 0) GTEST_SKIP() << "none of these locales is installed:" << missing;
  if (!missing.empty())
    std::cout << "[ NOTE     ] locales not installed, not checked:" << missing << "\n";
}

#endif  // _WIN32

}  // namespace
}  // namespace pathmend
