#include "geo/date_text.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "geo/date_time.h"
#include "geo/locale_formats.h"

namespace pathmend {
namespace {

DateTimeValue Moment(std::uint16_t year, std::uint16_t month, std::uint16_t day,
                     std::uint16_t hour = 0, std::uint16_t minute = 0, std::uint16_t second = 0,
                     std::uint16_t ms = 0) {
  return SystemTimeToValue(SystemTime{year, month, 0, day, hour, minute, second, ms});
}

// Locale A: "yyyy.MM.dd.", "." and ":", 24-hour clock without hour zero.
LocaleFormats LocaleA() {
  LocaleFormats f;
  f.shortDatePicture = "yyyy.MM.dd.";
  f.dateSep = '.';
  f.timeSep = ':';
  f.shortTimePicture = BuildTimePicture(0, 1, 0, false);
  f.longTimePicture = BuildTimePicture(0, 1, 0, true);
  return f;
}

// Locale B: "M/d/yyyy", "/" and ":", 12-hour clock with the marker after the
// time, AM and PM.
LocaleFormats LocaleB() {
  LocaleFormats f;
  f.shortDatePicture = "M/d/yyyy";
  f.shortTimePicture = BuildTimePicture(0, 0, 0, false);
  f.longTimePicture = BuildTimePicture(0, 0, 0, true);
  f.amWord = "AM";
  f.pmWord = "PM";
  return f;
}

TEST(DefaultDateTimeText, WorkedExamples) {
  struct Row {
    DateTimeValue value;
    const char* a;
    const char* b;
    const char* defaults;
  };
  const Row rows[] = {
      {Moment(2006, 1, 15, 13, 45, 30, 250), "2006.01.15. 13:45:30", "1/15/2006 1:45:30 PM",
       "1/15/06 1:45:30 pm"},
      {Moment(2006, 1, 15, 9, 5, 7), "2006.01.15. 9:05:07", "1/15/2006 9:05:07 AM",
       "1/15/06 9:05:07 am"},
      {Moment(2006, 1, 15, 0, 0, 0, 999), "2006.01.15.", "1/15/2006", "1/15/06"},
      {Moment(2006, 1, 15, 0, 30), "2006.01.15. 0:30:00", "1/15/2006 12:30:00 AM",
       "1/15/06 12:30:00 am"},
      {Moment(2006, 1, 15, 12), "2006.01.15. 12:00:00", "1/15/2006 12:00:00 PM",
       "1/15/06 12:00:00 pm"},
      {Moment(1601, 1, 1, 1), "1601.01.01. 1:00:00", "1/1/1601 1:00:00 AM", "1/1/01 1:00:00 am"},
      // Midnight plus half a second is the date alone; one second is not.
      {Moment(2006, 1, 15, 0, 0, 0, 500), "2006.01.15.", "1/15/2006", "1/15/06"},
      {Moment(2006, 1, 15, 0, 0, 1), "2006.01.15. 0:00:01", "1/15/2006 12:00:01 AM",
       "1/15/06 12:00:01 am"},
      // Seconds are never rounded up from milliseconds.
      {Moment(2006, 1, 15, 12, 34, 56, 999), "2006.01.15. 12:34:56", "1/15/2006 12:34:56 PM",
       "1/15/06 12:34:56 pm"},
      // Before 1899-12-30 the time of day is subtracted: -1.75 is 18:00.
      {-1.75, "1899.12.29. 18:00:00", "12/29/1899 6:00:00 PM", "12/29/99 6:00:00 pm"},
      {0.25, "1899.12.30. 6:00:00", "12/30/1899 6:00:00 AM", "12/30/99 6:00:00 am"},
      {-109205.0, "1601.01.01.", "1/1/1601", "1/1/01"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DefaultDateTimeText(row.value, LocaleA()), row.a) << row.value;
    EXPECT_EQ(DefaultDateTimeText(row.value, LocaleB()), row.b) << row.value;
    EXPECT_EQ(DefaultDateTimeText(row.value, LocaleFormats{}), row.defaults) << row.value;
  }
}

TEST(GtmTimeText, WorkedExamples) {
  struct Row {
    DateTimeValue value;
    const char* text;
  };
  const Row rows[] = {
      {Moment(2006, 1, 15, 13, 45, 30, 250), ",01/15/06,13:45:30,"},
      {Moment(2006, 1, 15, 9, 5, 7), ",01/15/06,09:05:07,"},
      {Moment(2006, 1, 15, 0, 0, 0, 999), ",01/15/06,00:00:00,"},
      {Moment(2006, 1, 15, 0, 30), ",01/15/06,00:30:00,"},
      {Moment(2006, 1, 15, 12), ",01/15/06,12:00:00,"},
      {Moment(1601, 1, 1, 1), ",01/01/01,01:00:00,"},
      {Moment(2006, 1, 15, 12, 34, 56, 999), ",01/15/06,12:34:56,"},
  };
  // The locale's date picture and date separator play no part.
  for (const LocaleFormats& formats : {LocaleFormats{}, LocaleA(), LocaleB()}) {
    for (const Row& row : rows) EXPECT_EQ(GtmTimeText(row.value, formats), row.text);
  }
}

TEST(GtmTimeText, TimeSeparatorFollowsTheLocale) {
  const DateTimeValue value = Moment(2006, 1, 15, 13, 45, 30, 250);
  struct Row {
    char dateSep;
    char timeSep;
    const char* text;
  };
  const Row rows[] = {
      {'/', '.', ",01/15/06,13.45.30,"},
      {'/', '\0', ",01/15/06,134530,"},
      {'-', ':', ",01/15/06,13:45:30,"},
      {'\0', ':', ",01/15/06,13:45:30,"},
  };
  for (const Row& row : rows) {
    LocaleFormats formats;
    formats.dateSep = row.dateSep;
    formats.timeSep = row.timeSep;
    EXPECT_EQ(GtmTimeText(value, formats), row.text);
  }
}

struct TokenRow {
  const char* picture;
  DateTimeValue value;
  const char* text;
};

// 2006-01-15 13:45:30.250 was a Sunday.
const DateTimeValue kAfternoon = Moment(2006, 1, 15, 13, 45, 30, 250);
const DateTimeValue kMorning = Moment(2009, 3, 7, 9, 5, 7, 5);  // a Saturday

TEST(RenderDateTime, Tokens) {
  const TokenRow rows[] = {
      // Years.
      {"y", kAfternoon, "06"},
      {"yy", kAfternoon, "06"},
      {"yyy", kAfternoon, "2006"},
      {"yyyy", kAfternoon, "2006"},
      {"yyyyy", kAfternoon, "2006"},
      {"Y", kMorning, "09"},
      {"yyyy", Moment(1, 1, 1), "0001"},
      {"yy", Moment(2000, 1, 1), "00"},
      // Months, at the start of a picture.
      {"m", kAfternoon, "1"},
      {"mm", kAfternoon, "01"},
      {"mmm", kAfternoon, "Jan"},
      {"mmmm", kAfternoon, "January"},
      {"mmmmmm", kAfternoon, "January"},
      {"M", Moment(2006, 11, 1), "11"},
      {"MMM", kMorning, "Mar"},
      // Days.
      {"d", kMorning, "7"},
      {"dd", kMorning, "07"},
      {"ddd", kMorning, "Sat"},
      {"dddd", kMorning, "Saturday"},
      {"dddd", kAfternoon, "Sunday"},
      {"ddddd", kAfternoon, "1/15/06"},
      {"dddddd", kAfternoon, "January 15, 2006"},
      {"ddddddd", kAfternoon, "January 15, 2006"},
      // Hours (24-hour clock without a marker), minutes, seconds.
      {"h", kAfternoon, "13"},
      {"hh", kMorning, "09"},
      {"h", kMorning, "9"},
      {"HHH", kMorning, "09"},
      {"n", kMorning, "5"},
      {"nn", kMorning, "05"},
      {"nnn", kAfternoon, "45"},
      {"s", kMorning, "7"},
      {"ss", kMorning, "07"},
      {"S", kAfternoon, "30"},
      // Milliseconds.
      {"z", kMorning, "5"},
      {"zz", kMorning, "05"},
      {"zzz", kMorning, "005"},
      {"zzzz", kMorning, "005"},
      {"z", kAfternoon, "250"},
      // Time pictures and the default text.
      {"t", kAfternoon, "1:45 pm"},
      {"tt", kAfternoon, "1:45:30 pm"},
      {"T", kMorning, "9:05 am"},
      {"c", kAfternoon, "1/15/06 1:45:30 pm"},
      {"ccc", kAfternoon, "1/15/06 1:45:30 pm"},
      {"C", Moment(2006, 1, 15), "1/15/06"},
      {"", kAfternoon, "1/15/06 1:45:30 pm"},
      {"", Moment(2006, 1, 15, 0, 0, 0, 500), "1/15/06"},
      // Era tokens write nothing without an era formatter.
      {"g", kAfternoon, ""},
      {"ggee", kAfternoon, ""},
      {"<e>", kAfternoon, "<>"},
      // Separators and other characters.
      {"/", kAfternoon, "/"},
      {":", kAfternoon, ":"},
      {"x-b Q,!", kAfternoon, "x-b Q,!"},
      {"\xE5\xB9\xB4", kAfternoon, "\xE5\xB9\xB4"},
      // Quotes.
      {"'yy'", kAfternoon, "yy"},
      {"\"d/m\"", kAfternoon, "d/m"},
      {"'it''s'", kAfternoon, "its"},
      {"\"a'b\"", kAfternoon, "a'b"},
      {"yy 'unclosed", kAfternoon, "06 unclosed"},
      {"'", kAfternoon, ""},
  };
  for (const TokenRow& row : rows) {
    EXPECT_EQ(RenderDateTime(row.picture, row.value, LocaleFormats{}), row.text)
        << "picture \"" << row.picture << "\"";
  }
}

TEST(RenderDateTime, MarkersAndWeekdayNames) {
  const DateTimeValue midnight5 = Moment(2006, 1, 15, 0, 5);
  const DateTimeValue noon5 = Moment(2006, 1, 15, 12, 5);
  const TokenRow rows[] = {
      {"am/pm", kMorning, "am"},
      {"am/pm", kAfternoon, "pm"},
      {"AM/PM", kAfternoon, "PM"},
      {"Am/pM", kMorning, "Am"},
      {"Am/pM", kAfternoon, "pM"},
      {"a/p", kMorning, "a"},
      {"A/P", kAfternoon, "P"},
      {"ampm", kMorning, "am"},
      {"AMPM", kAfternoon, "pm"},
      {"aaaa", kMorning, "Saturday"},
      {"AAAA", kAfternoon, "Sunday"},
      {"aaa", kMorning, "Sat"},
      {"AaA", kAfternoon, "Sun"},
      {"aaaaa", kAfternoon, "Sundaya"},
      {"a", kAfternoon, "a"},
      {"Ax", kAfternoon, "Ax"},
      {"am/p", kAfternoon, "a1/p"},  // no marker: a, then m as the month
      // The 12-hour rule.
      {"h:nn am/pm", midnight5, "12:05 am"},
      {"h:nn am/pm", noon5, "12:05 pm"},
      {"h:nn am/pm", kAfternoon, "1:45 pm"},
      {"h:nn a/p", kMorning, "9:05 a"},
      {"hh:nn AMPM", kMorning, "09:05 am"},
      {"hh", midnight5, "00"},
      {"hh", Moment(2006, 1, 15, 23), "23"},
      {"h:nn", midnight5, "0:05"},
      // A marker token before the hour sets the flag for the rest.
      {"ampm h", kAfternoon, "pm 1"},
      {"h ampm h", kAfternoon, "1 pm 1"},
      // The look-ahead stops at the next h, quoted or not ...
      {"h h am/pm", kAfternoon, "13 1 pm"},
      {"h\"h\"ampm", kAfternoon, "13hpm"},
      // ... and at the first a outside quotes, marker or not.
      {"h aaa am/pm", kAfternoon, "13 Sun pm"},
      {"h 'am/pm'", kAfternoon, "13 am/pm"},
      {"h \"x\" am/pm", kAfternoon, "1 x pm"},
      // Either quote character toggles the look-ahead's quoted state.
      {"h 'x\" am/pm", kAfternoon, "1 x\" am/pm"},
  };
  for (const TokenRow& row : rows) {
    EXPECT_EQ(RenderDateTime(row.picture, row.value, LocaleFormats{}), row.text)
        << "picture \"" << row.picture << "\"";
  }
  LocaleFormats words;
  words.amWord = "vorm.";
  words.pmWord = "";
  EXPECT_EQ(RenderDateTime("AMPM hh", kMorning, words), "vorm. 09");
  EXPECT_EQ(RenderDateTime("AMPM hh", kAfternoon, words), " 01");
}

TEST(RenderDateTime, MinuteRule) {
  const TokenRow rows[] = {
      {"h:mm", kAfternoon, "13:45"},
      {"h:m", kMorning, "9:5"},
      {"hh'h'mm", kAfternoon, "13h45"},
      {"hmm", kAfternoon, "1345"},
      {"h mm", kAfternoon, "13 45"},
      {"H:MM:ss", kAfternoon, "13:45:30"},
      {"h x m", kAfternoon, "13 x 1"},
      {"mm", kAfternoon, "01"},
      {"h:Mm", kAfternoon, "13:451"},  // M is minutes, then m follows N: the month
      {"h:mmm", kAfternoon, "13:45"},
      {"hh:mm:ss mmmm", kAfternoon, "13:45:30 January"},
      {"d/m h:m", kMorning, "7/3 9:5"},
      {"ham/pmm", kAfternoon, "1pm1"},  // the a-token is remembered, so m is the month
  };
  for (const TokenRow& row : rows) {
    EXPECT_EQ(RenderDateTime(row.picture, row.value, LocaleFormats{}), row.text)
        << "picture \"" << row.picture << "\"";
  }
}

TEST(RenderDateTime, SeparatorsComeFromTheLocale) {
  LocaleFormats formats;
  formats.dateSep = '-';
  formats.timeSep = '.';
  EXPECT_EQ(RenderDateTime("yyyy/mm/dd hh:nn:ss", kAfternoon, formats), "2006-01-15 13.45.30");
  EXPECT_EQ(RenderDateTime("c", kAfternoon, formats), "1-15-06 1.45.30 pm");
  formats.dateSep = '\0';
  formats.timeSep = '\0';
  EXPECT_EQ(RenderDateTime("yyyy/mm/dd hh:nn:ss", kAfternoon, formats), "20060115 134530");
}

TEST(RenderDateTime, NestsOneLevelDeep) {
  LocaleFormats formats;
  formats.shortDatePicture = "d|c|ddddd|dddddd|t|tt|";
  formats.longDatePicture = "dddd|c|t|";
  formats.shortTimePicture = "h:mm|c|";
  formats.longTimePicture = "ampm h";
  struct Row {
    const char* picture;
    const char* text;
  };
  const Row rows[] = {
      {"c", "15|||||| pm 1"},
      {"ddddd", "15||||||"},
      {"dddddd", "Sunday|||"},
      {"t", "13:45||"},
      {"tt", "pm 1"},
      // A nested picture has its own 12-hour flag and letter memory.
      {"ampm t", "pm 13:45||"},
      {"h t", "13 13:45||"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RenderDateTime(row.picture, kAfternoon, formats), row.text)
        << "picture \"" << row.picture << "\"";
  }
  formats.shortTimePicture = "mm";
  EXPECT_EQ(RenderDateTime("h t", kAfternoon, formats), "13 01");
}

TEST(RenderDateTime, CutsTheOutputAt256Bytes) {
  EXPECT_EQ(RenderDateTime(std::string(300, 'x'), kAfternoon, LocaleFormats{}),
            std::string(256, 'x'));
  EXPECT_EQ(RenderDateTime(std::string(256, 'x'), kAfternoon, LocaleFormats{}),
            std::string(256, 'x'));
  // Nested text counts towards the same limit.
  LocaleFormats formats;
  formats.shortDatePicture = std::string(250, '.') + "yyyy";
  EXPECT_EQ(RenderDateTime("c", kAfternoon, formats), std::string(250, '.') + "2006 1");
  std::string picture;
  for (int i = 0; i < 40; ++i) picture += "dddd|";  // 40 x "Sunday|" = 280 bytes
  std::string expected;
  for (int i = 0; i < 40; ++i) expected += "Sunday|";
  EXPECT_EQ(RenderDateTime(picture, kAfternoon, formats), expected.substr(0, 256));
}

TEST(RenderDateTime, UsesTheLocaleNames) {
  LocaleFormats formats;
  formats.monthAbbrevs[0] = "jan.";
  formats.monthNames[0] = "janvier";
  formats.dayAbbrevs[0] = "dim.";
  formats.dayNames[0] = "dimanche";
  formats.longDatePicture = "dddd d mmmm yyyy";
  EXPECT_EQ(RenderDateTime("ddd d mmm|dddddd|aaa aaaa", kAfternoon, formats),
            "dim. 15 jan.|dimanche 15 janvier 2006|dim. dimanche");
}

// An era calendar: era "ABCD", year within the era "05" or "0005".
bool FakeEra(const std::string& picture, std::uint16_t, std::uint16_t, std::uint16_t,
             std::string& text) {
  if (picture == "gg") {
    text = "ABCD";
  } else if (picture == "yy") {
    text = "05";
  } else if (picture == "yyyy") {
    text = "0005";
  } else {
    return false;
  }
  return true;
}

bool FailingEra(const std::string&, std::uint16_t, std::uint16_t, std::uint16_t, std::string&) {
  return false;
}

TEST(RenderDateTime, EraTokens) {
  struct Row {
    std::uint32_t primary;
    std::uint32_t sub;
    const char* picture;
    const char* text;
  };
  const Row rows[] = {
      {9, 1, "g", "ABCD"},     {9, 1, "gg", "ABCD"}, {9, 1, "GGG", "ABCD"}, {4, 1, "g", "CD"},
      {4, 1, "gg", "ABCD"},    {4, 2, "g", "ABCD"},  {17, 1, "g", "A"},     {17, 1, "gg", "ABCD"},
      {9, 1, "e", "5"},        {9, 1, "ee", "05"},   {9, 1, "eee", "0005"}, {9, 1, "eeee", "0005"},
      {17, 1, "gge", "ABCD5"}, {9, 1, "E/e", "5/5"},
  };
  for (const Row& row : rows) {
    LocaleFormats formats;
    formats.eraFormatter = &FakeEra;
    formats.primaryLanguage = row.primary;
    formats.subLanguage = row.sub;
    EXPECT_EQ(RenderDateTime(row.picture, kAfternoon, formats), row.text)
        << row.primary << "/" << row.sub << " \"" << row.picture << "\"";
  }
  LocaleFormats failing;
  failing.eraFormatter = &FailingEra;
  EXPECT_EQ(RenderDateTime("[g e ee]", kAfternoon, failing), "[  ]");
}

// Lead bytes of code page 932 (Japanese): 0x81 to 0x9F and 0xE0 to 0xFC.
bool Cp932Lead(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The second byte of a two-byte character can be an ASCII letter: the year
// sign is 0x94 0x4E ("N"), so read byte by byte it would write minutes.
TEST(RenderDateTime, TwoByteCharactersAreWrittenWhole) {
  LocaleFormats formats;
  formats.isLeadByte = &Cp932Lead;
  const DateTimeValue value = Moment(2006, 1, 15, 13, 45, 30);
  struct Row {
    const char* picture;
    const char* text;
  };
  const Row rows[] = {
      // year, month and day signs between the numbers
      {"yyyy\x94N M\x8C\x8E d\x93\xFA", "2006\x94N 1\x8C\x8E 15\x93\xFA"},
      // a two-byte character ends the step: the m after it is the month
      {"h\x94Nm", "13\x94N1"},
      // the trail byte "a" does not start "am/pm" for the hour's look-ahead
      {"h\x82\x61m/pm",
       "13\x82\x61"
       "1/p1"},
      // a lead byte at the very end has no second byte and is written alone
      {"d\x94", "15\x94"},
      // quoted two-byte text is copied as it is
      {"yyyy'\x94N'", "2006\x94N"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RenderDateTime(row.picture, value, formats), row.text) << row.picture;
  }
  // Without the code page's lead bytes every byte stands for itself (Linux,
  // UTF-8): the "N" after 0x94 is then the minute.
  formats.isLeadByte = nullptr;
  EXPECT_EQ(RenderDateTime("yyyy\x94N", value, formats),
            "2006\x94"
            "45");
}

}  // namespace
}  // namespace pathmend
