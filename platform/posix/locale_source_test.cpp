#include "platform/locale_source.h"

#include <locale.h>
#include <stdlib.h>

#include <string>

#include <gtest/gtest.h>

namespace pathmend::platform {
namespace {

// Sets LC_ALL, LC_TIME and LANG for one test and puts them back afterwards.
class LocaleEnvironment {
 public:
  LocaleEnvironment(const char* all, const char* time, const char* lang) {
    for (int i = 0; i < 3; ++i) {
      const char* old = getenv(kNames[i]);
      had_[i] = old != nullptr;
      if (had_[i]) old_[i] = old;
    }
    Set(0, all);
    Set(1, time);
    Set(2, lang);
  }
  ~LocaleEnvironment() {
    for (int i = 0; i < 3; ++i) Set(i, had_[i] ? old_[i].c_str() : nullptr);
  }
  LocaleEnvironment(const LocaleEnvironment&) = delete;
  LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

 private:
  static constexpr const char* kNames[3] = {"LC_ALL", "LC_TIME", "LANG"};
  static void Set(int i, const char* value) {
    if (value != nullptr) {
      setenv(kNames[i], value, 1);
    } else {
      unsetenv(kNames[i]);
    }
  }
  bool had_[3] = {};
  std::string old_[3];
};

bool Installed(const char* name) {
  const locale_t locale = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return false;
  freelocale(locale);
  return true;
}

TEST(ReadUserLocale, PlainLocalesAnswerNothing) {
  struct Row {
    const char* all;
    const char* time;
    const char* lang;
  };
  const Row rows[] = {
      {nullptr, nullptr, nullptr},
      {"", "", ""},
      {"C", nullptr, nullptr},
      {"POSIX", nullptr, nullptr},
      {"C.UTF-8", nullptr, nullptr},
      {nullptr, nullptr, "C.utf8"},
      {"xx_NOWHERE.UTF-8", nullptr, nullptr},  // not installed
      {"C", "de_DE.UTF-8", "de_DE.UTF-8"},     // LC_ALL comes first
      {"", "C", "de_DE.UTF-8"},                // then LC_TIME
  };
  for (const Row& row : rows) {
    LocaleEnvironment environment(row.all, row.time, row.lang);
    const UserLocale locale = ReadUserLocale();
    EXPECT_TRUE(locale.items.empty()) << (row.all ? row.all : "(unset)");
    EXPECT_EQ(locale.localeId, 0u);
  }
}

TEST(ReadUserLocale, ReadsAnInstalledLocale) {
  if (!Installed("de_DE.UTF-8")) GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  // Reached through LANG, LC_TIME and LC_ALL alike.
  struct Row {
    const char* all;
    const char* time;
    const char* lang;
  };
  const Row rows[] = {
      {nullptr, nullptr, "de_DE.UTF-8"}, {"", "de_DE.UTF-8", "C"}, {"de_DE.UTF-8", "C", "C"}};
  for (const Row& row : rows) {
    LocaleEnvironment environment(row.all, row.time, row.lang);
    const UserLocale locale = ReadUserLocale();
    std::string text;
    EXPECT_EQ(locale.localeId, 0x0407u);
    ASSERT_TRUE(locale.Query(kLocaleDateSep, text));
    EXPECT_EQ(text, ".");
    ASSERT_TRUE(locale.Query(kLocaleTimeSep, text));
    EXPECT_EQ(text, ":");
    ASSERT_TRUE(locale.Query(kLocaleShortDate, text));
    EXPECT_EQ(text, "dd.mm.yyyy");
    EXPECT_FALSE(locale.Query(kLocaleLongDate, text));
    ASSERT_TRUE(locale.Query(kLocaleClock, text));
    EXPECT_EQ(text, "1");
    ASSERT_TRUE(locale.Query(kLocaleHourZero, text));
    EXPECT_EQ(text, "1");
    ASSERT_TRUE(locale.Query(kLocaleDayName1, text));
    EXPECT_EQ(text, "Montag");
    ASSERT_TRUE(locale.Query(kLocaleDayName1 + 6, text));
    EXPECT_EQ(text, "Sonntag");
    ASSERT_TRUE(locale.Query(kLocaleMonthName1 + 2, text));
    EXPECT_EQ(text, "M\xC3\xA4rz");  // UTF-8, as the locale gives it
    ASSERT_TRUE(locale.Query(kLocaleAmWord, text));
    EXPECT_EQ(text, "");
  }
}

TEST(ReadUserLocale, NamesTheLanguage) {
  if (!Installed("ja_JP.UTF-8") || !Installed("zh_CN.UTF-8")) {
    GTEST_SKIP() << "locales ja_JP.UTF-8 and zh_CN.UTF-8 are not installed";
  }
  {
    LocaleEnvironment environment("ja_JP.UTF-8", nullptr, nullptr);
    EXPECT_EQ(ReadUserLocale().localeId, 0x0411u);
  }
  {
    LocaleEnvironment environment("zh_CN.UTF-8", nullptr, nullptr);
    EXPECT_EQ(ReadUserLocale().localeId, 0x0804u);
  }
}

TEST(AltCalendarDateText, HasNoFormatterHere) {
  std::string text = "unchanged";
  EXPECT_FALSE(AltCalendarDateText("gg", 2006, 1, 15, text));
  EXPECT_EQ(text, "unchanged");
}

}  // namespace
}  // namespace pathmend::platform
