// The date picture renderer and the translation of the C library's
// strftime formats into pictures.
// - Any picture, value and locale texts: the renderer gives at most 256
//   bytes or an EConvertError for a value outside the calendar, the same
//   text every time, and the default and GPS TrackMaker texts too.
// - Any format: the translation and the separator and clock readers finish;
//   the picture renders.
// - Any answers of the user's locale: the formats made from them and the
//   date pictures adapted to their calendar render in at most 256 bytes.
// - A format made of the conversions whose text the picture language can
//   show exactly (%Y %y %m %d %b %B %a %A %H %M %S %x %X %%) and plain
//   characters renders to what strftime writes for the same moment in the
//   C locale.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "fuzz/fuzz_input.h"
#include "geo/date_text.h"
#include "geo/date_time.h"
#include "geo/locale_formats.h"
#include "platform/locale_source.h"
#include "platform/posix/strftime_picture.h"
#include "runtime/failure.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

// Renders, or gives "<failure>" for a value outside the calendar.
std::string Render(std::string_view picture, pathmend::DateTimeValue value,
                   const pathmend::LocaleFormats& formats) {
  try {
    return pathmend::RenderDateTime(picture, value, formats);
  } catch (const pathmend::Failure& failure) {
    if (failure.kind != "EConvertError") Fail("renderer raised " + failure.kind);
    return "<failure>";
  }
}

void RandomPictures(pathmend::fuzz::FuzzReader& in) {
  pathmend::LocaleFormats formats;
  formats.dateSep = static_cast<char>(in.Byte());
  formats.timeSep = static_cast<char>(in.Byte());
  formats.amWord = in.Text(8);
  formats.pmWord = in.Text(8);
  formats.shortDatePicture = in.Text(24);
  formats.longDatePicture = in.Text(24);
  formats.shortTimePicture = in.Text(24);
  formats.longTimePicture = in.Text(24);
  formats.monthNames[in.Byte() % 12] = in.Text(300);
  const std::uint64_t bits = in.U64();
  double value = 0;
  if ((bits & 1) != 0) {
    std::memcpy(&value, &bits, sizeof value);  // any double at all
  } else {
    value = static_cast<double>(static_cast<std::int64_t>(bits >> 1) % 4000000) - 693593.0 +
            static_cast<double>(bits >> 40) / 16777216.0;  // years 1 to 9999
  }
  const std::string picture = in.Rest();
  const std::string text = Render(picture, value, formats);
  if (text.size() > 256) Fail("rendering of " + std::to_string(text.size()) + " bytes");
  if (Render(picture, value, formats) != text) Fail("rendering differs between calls");
  try {
    const std::string shown = pathmend::DefaultDateTimeText(value, formats);
    if (shown.size() > 256) Fail("default text too long");
    pathmend::GtmTimeText(value, formats);
  } catch (const pathmend::Failure& failure) {
    if (failure.kind != "EConvertError") Fail("default text raised " + failure.kind);
  }
}

const pathmend::platform::StrftimeFormats kCFormats{"%m/%d/%y", "%H:%M:%S", "%I:%M:%S %p",
                                                    "%a %b %e %H:%M:%S %Y"};

void AnyFormat(pathmend::fuzz::FuzzReader& in) {
  const std::uint8_t flags = in.Byte();
  const std::string format = in.Rest();
  const std::string picture =
      pathmend::platform::StrftimePicture(format, kCFormats, (flags & 1) != 0, (flags & 2) != 0);
  std::string separator;
  pathmend::platform::DateSeparator(format, kCFormats, separator);
  pathmend::platform::TimeSeparator(format, kCFormats, separator);
  pathmend::platform::ClockStyle clock;
  pathmend::platform::ClockOf(format, kCFormats, clock);
  Render(picture, 38732.5, pathmend::LocaleFormats{});
}

// Any answers of a locale (separators, pictures, clock numbers, words,
// calendar type, language): the formats made from them render every value
// in at most 256 bytes, and so do the adapted date pictures.
void AnyLocale(pathmend::fuzz::FuzzReader& in) {
  static constexpr std::uint32_t kItems[] = {
      pathmend::platform::kLocaleDateSep,        pathmend::platform::kLocaleTimeSep,
      pathmend::platform::kLocaleShortDate,      pathmend::platform::kLocaleLongDate,
      pathmend::platform::kLocaleClock,          pathmend::platform::kLocaleHourZero,
      pathmend::platform::kLocaleAmWord,         pathmend::platform::kLocalePmWord,
      pathmend::platform::kLocaleMarkerPosition, pathmend::platform::kLocaleCalendarType,
      pathmend::platform::kLocaleMonthName1,     pathmend::platform::kLocaleAbbrevDayName1};
  pathmend::platform::UserLocale locale;
  locale.localeId = in.U16();
  const std::uint16_t present = in.U16();
  for (std::size_t i = 0; i < sizeof kItems / sizeof kItems[0]; ++i) {
    if ((present >> i & 1) != 0) locale.items[kItems[i]] = in.Text(40);
  }
  const pathmend::LocaleFormats formats = pathmend::LocaleFormatsFrom(locale);
  const double value = 38732.0 + static_cast<double>(in.U32()) / 65536.0;
  const std::string shown = pathmend::DefaultDateTimeText(value, formats);
  if (shown.size() > 256) Fail("default text of " + std::to_string(shown.size()) + " bytes");
  pathmend::GtmTimeText(value, formats);
  const std::string adapted =
      pathmend::AdaptDatePicture(in.Text(60), static_cast<long>(in.Byte() % 8), in.Byte() % 20);
  if (Render(adapted, value, formats).size() > 256) Fail("adapted picture too long");
}

int DayOfWeek(int y, int m, int d) {  // 0 = Sunday
  static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) y -= 1;
  return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

void AgainstStrftime(pathmend::fuzz::FuzzReader& in) {
  static constexpr const char* kConversions[] = {"%Y", "%y", "%m", "%d", "%b", "%B", "%a",
                                                 "%A", "%H", "%M", "%S", "%x", "%X", "%%"};
  pathmend::SystemTime time;
  time.year = static_cast<std::uint16_t>(1000 + in.U16() % 9000);
  time.month = static_cast<std::uint16_t>(1 + in.Byte() % 12);
  const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  time.day = static_cast<std::uint16_t>(1 + in.Byte() % monthDays[time.month - 1]);
  time.hour = static_cast<std::uint16_t>(in.Byte() % 24);
  time.minute = static_cast<std::uint16_t>(in.Byte() % 60);
  time.second = static_cast<std::uint16_t>(in.Byte() % 60);
  std::string format;
  while (in.Left() > 0 && format.size() < 60) {
    const std::uint8_t b = in.Byte();
    if (b < 0x80) {
      format += kConversions[b % (sizeof kConversions / sizeof kConversions[0])];
    } else {
      const char c = static_cast<char>(32 + (b - 0x80) % 95);  // printable ASCII
      if (c != '%') format += c;
    }
  }
  // The picture language reads a month right after an hour as minutes, with
  // no way to say otherwise; formats that put a month there are left out.
  std::string expanded;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      const char c = format[++i];
      expanded += c == 'x' ? "%m/%d/%y" : c == 'X' ? "%H:%M:%S" : std::string("%") + c;
    } else {
      expanded += format[i];
    }
  }
  char lastConversion = 0;
  for (std::size_t i = 0; i + 1 < expanded.size(); ++i) {
    if (expanded[i] != '%') continue;
    const char c = expanded[++i];
    if (c == '%') continue;
    if ((c == 'm' || c == 'b' || c == 'B') && lastConversion == 'H') return;
    lastConversion = c;
  }
  std::tm tm{};
  tm.tm_year = time.year - 1900;
  tm.tm_mon = time.month - 1;
  tm.tm_mday = time.day;
  tm.tm_hour = time.hour;
  tm.tm_min = time.minute;
  tm.tm_sec = time.second;
  tm.tm_wday = DayOfWeek(time.year, time.month, time.day);
  char expected[1024];
  const std::size_t length = std::strftime(expected, sizeof expected, format.c_str(), &tm);
  if (length > 256) return;  // the renderer cuts at 256 bytes
  const std::string picture = pathmend::platform::StrftimePicture(format, kCFormats, false, false);
  if (picture.empty()) return;  // an empty picture stands for the default text
  const std::string got =
      Render(picture, pathmend::SystemTimeToValue(time), pathmend::LocaleFormats{});
  if (got != std::string(expected, length)) {
    Fail("format \"" + format + "\" picture \"" + picture + "\": rendered \"" + got +
         "\", strftime \"" + std::string(expected, length) + "\"");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pathmend::fuzz::FuzzReader in(data, size);
  switch (in.Byte() % 4) {
    case 0: RandomPictures(in); break;
    case 1: AnyFormat(in); break;
    case 3: AnyLocale(in); break;
    default: AgainstStrftime(in); break;
  }
  return 0;
}
