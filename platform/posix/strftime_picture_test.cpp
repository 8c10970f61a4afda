#include "platform/posix/strftime_picture.h"

#include <string>

#include <gtest/gtest.h>

namespace pathmend::platform {
namespace {

// Formats of real locales, as glibc's LC_TIME data gives them.
const StrftimeFormats kEnUs{"%m/%d/%Y", "%r", "%I:%M:%S %p", "%a %d %b %Y %r %Z"};
const StrftimeFormats kDeDe{"%d.%m.%Y", "%T", "", "%a %d %b %Y %T %Z"};
const StrftimeFormats kJaJp{"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5",
                            "%H\xE6\x99\x82%M\xE5\x88\x86%S\xE7\xA7\x92",
                            "%p%I\xE6\x99\x82%M\xE5\x88\x86%S\xE7\xA7\x92", ""};
const StrftimeFormats kEnGb{"%d/%m/%y", "%T", "%l:%M:%S %P %Z", ""};
const StrftimeFormats kNone{};
const StrftimeFormats kSelf{"<%x>", "", "", ""};

TEST(StrftimePicture, TranslatesLocaleFormats) {
  struct Row {
    const char* format;
    const StrftimeFormats* formats;
    bool slashIsDateSep;
    bool colonIsTimeSep;
    const char* picture;
  };
  const Row rows[] = {
      {"%m/%d/%Y", &kEnUs, true, true, "mm/dd/yyyy"},           // en_US
      {"%m/%d/%Y", &kEnUs, false, true, "mm\"/\"dd\"/\"yyyy"},  // "/" kept literal
      {"%d.%m.%Y", &kDeDe, false, true, "dd.mm.yyyy"},          // de_DE
      {"%Y. %m. %d.", &kNone, false, true, "yyyy. mm. dd."},    // hu_HU (older data)
      {"%Y-%m-%d", &kNone, false, true, "yyyy-mm-dd"},          // hu_HU (glibc 2.36)
      {kJaJp.date.c_str(), &kJaJp, false, true,                 // ja_JP
       "yyyy\xE5\xB9\xB4mm\xE6\x9C\x88"
       "dd\xE6\x97\xA5"},
      {"%d/%m/%y", &kEnGb, true, true, "dd/mm/yy"},  // en_GB
      {"%x", &kDeDe, false, true, "dd.mm.yyyy"},
      {"%D", &kNone, true, true, "mm/dd/yy"},
      {"%F", &kNone, false, true, "yyyy-mm-dd"},
      {"%r", &kEnUs, true, true, "hh:nn:ss AMPM"},
      {"%r", &kNone, true, false, "hh\":\"nn\":\"ss AMPM"},
      {"%X", &kJaJp, true, true, "hh\xE6\x99\x82nn\xE5\x88\x86ss\xE7\xA7\x92"},
      {"%T %R", &kNone, true, true, "hh:nn:ss hh:nn"},
      {"%-d.%-m.%Y %-H:%M", &kNone, true, true, "d.m.yyyy h:nn"},
      {"%e %k %l %_H", &kNone, true, true, "d h h h"},
      {"%a %A %b %h %B", &kNone, true, true, "ddd dddd mmm mmm mmmm"},
      {"%Ey %Od %EY", &kNone, true, true, "yy dd yyyy"},
      {"%a %e. %Bta %Y %H.%M.%S", &kNone, true, true, "ddd d. mmmm\"ta\" yyyy hh.nn.ss"},  // fi
      {"%P%p", &kNone, true, true, "AMPMAMPM"},
      // Tokens of one letter side by side stay apart (found by fuzzing: the
      // runs merged into a longer token).
      {"%d%m%m%Y%Y%y", &kNone, true, true, "ddmm\"\"mmyyyy\"\"yyyy\"\"yy"},
      {"%d%a %m%b %-H%H", &kNone, true, true, "dd\"\"ddd mm\"\"mmm h\"\"hh"},
      // Conversions a picture cannot show are left out.
      {"%Z %z %j %U %%", &kNone, true, true, "    %"},
      // Quote characters and letters are quoted; other bytes are copied.
      {"'\"", &kNone, true, true, "\"'\"'\"'"},
      {"Week of %d", &kNone, true, true, "\"Week\" \"of\" dd"},
      {"100%", &kNone, true, true, "100"},
      // A format that names itself stops instead of running on.
      {"%x", &kSelf, true, true, "<<<>>>"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(StrftimePicture(row.format, *row.formats, row.slashIsDateSep, row.colonIsTimeSep),
              row.picture)
        << row.format;
  }
}

TEST(StrftimePicture, FindsTheSeparators) {
  struct Row {
    const char* format;
    const StrftimeFormats* formats;
    bool dateFound;
    const char* date;
    bool timeFound;
    const char* time;
  };
  const Row rows[] = {
      {"%m/%d/%Y", &kEnUs, true, "/", false, ""},
      {"%d.%m.%Y", &kDeDe, true, ".", false, ""},
      {"%Y. %m. %d.", &kNone, true, ". ", false, ""},
      {kJaJp.date.c_str(), &kJaJp, true, "\xE5\xB9\xB4", false, ""},
      {"%Y%m%d", &kNone, true, "", false, ""},
      {"%A", &kNone, false, "", false, ""},
      {"%x", &kDeDe, true, ".", false, ""},
      {"%H:%M:%S", &kNone, false, "", true, ":"},
      {"%H.%M.%S", &kNone, false, "", true, "."},                     // fi_FI
      {kJaJp.time.c_str(), &kJaJp, false, "", true, "\xE6\x99\x82"},  // ja_JP
      {"%r", &kEnUs, false, "", true, ":"},
      {"%T", &kNone, false, "", true, ":"},
      {"%H%M", &kNone, false, "", true, ""},
      {"%H h %S", &kNone, false, "", false, ""},
      {"%p", &kNone, false, "", false, ""},
  };
  for (const Row& row : rows) {
    std::string date = "unchanged";
    std::string time = "unchanged";
    EXPECT_EQ(DateSeparator(row.format, *row.formats, date), row.dateFound) << row.format;
    if (row.dateFound) {
      EXPECT_EQ(date, row.date) << row.format;
    }
    EXPECT_EQ(TimeSeparator(row.format, *row.formats, time), row.timeFound) << row.format;
    if (row.timeFound) {
      EXPECT_EQ(time, row.time) << row.format;
    }
  }
}

TEST(StrftimePicture, ReadsTheClock) {
  struct Row {
    const char* format;
    const StrftimeFormats* formats;
    bool found;
    bool twentyFourHour;
    bool hourZero;
    bool markerFirst;
  };
  const Row rows[] = {
      {"%r", &kEnUs, true, false, true, false},  // en_US
      {"%T", &kDeDe, true, true, true, false},   // de_DE
      {kJaJp.time12.c_str(), &kJaJp, true, false, true, true},
      {kJaJp.time.c_str(), &kJaJp, true, true, true, false},
      {"%l:%M:%S %P %Z", &kEnGb, true, false, false, false},
      {"%k:%M", &kNone, true, true, false, false},
      {"%-H:%M", &kNone, true, true, false, false},
      {"%p %I:%M", &kNone, true, false, true, true},
      {"%M:%S", &kNone, false, false, false, false},
  };
  for (const Row& row : rows) {
    ClockStyle style;
    ASSERT_EQ(ClockOf(row.format, *row.formats, style), row.found) << row.format;
    if (!row.found) continue;
    EXPECT_EQ(style.twentyFourHour, row.twentyFourHour) << row.format;
    EXPECT_EQ(style.hourZero, row.hourZero) << row.format;
    EXPECT_EQ(style.markerFirst, row.markerFirst) << row.format;
  }
}

}  // namespace
}  // namespace pathmend::platform
