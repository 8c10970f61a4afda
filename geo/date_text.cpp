// The picture language, read left to right in steps:
//   "..." or '...'  copied without the quotes (to the end if unclosed)
//   /  :            the date and the time separator
//   y yy / yyy+     year mod 100 in 2 digits / year in 4 digits
//   m mm mmm mmmm+  month, 1 or 2 digits, abbreviation, name; read as minutes
//                   (m, mm+) right after a step that began with h
//   d dd ddd dddd   day, 1 or 2 digits, weekday abbreviation, weekday name
//   ddddd dddddd+   short date picture, long date picture
//   h hh+  n nn+  s ss+  z zz zzz+   hour, minute, second, millisecond
//   t tt+  c        short time, long time picture; the default text
//   g e             era name and year within the era (from the era formatter)
//   am/pm a/p ampm aaaa aaa   markers and weekday names (any case)
// Letters are tokens in either case; a run is the same letter in the same
// case. Pictures named by c, ddddd+ and t render in place one level deep.
#include "geo/date_text.h"

#include <cstddef>
#include <cstdint>

namespace pathmend {

namespace {

constexpr std::size_t kMaxOutput = 256;

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (AsciiUpper(text[pos + i]) != word[i]) return false;
  }
  return true;
}

// The output of one RenderDateTime call; bytes past the 256th are dropped.
struct Output {
  char bytes[kMaxOutput];
  std::size_t size = 0;

  void Put(char c) {
    if (size < kMaxOutput) bytes[size++] = c;
  }
  void Put(std::string_view text) {
    for (const char c : text) Put(c);
  }
  // Decimal, left-filled with zeros to at least `digits` digits.
  void Number(unsigned value, std::size_t digits) {
    char text[10];
    std::size_t n = 0;
    do {
      text[n++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (n < digits) text[n++] = '0';
    while (n > 0) Put(text[--n]);
  }
};

struct Renderer {
  const LocaleFormats& formats;
  const DateTimeFields& time;
  Output& out;

  void Picture(std::string_view picture, int depth);
  void Default(int depth) {
    Picture(formats.shortDatePicture, depth);
    if (time.hour != 0 || time.minute != 0 || time.second != 0) {
      out.Put(' ');
      Picture(formats.longTimePicture, depth);
    }
  }
  void Era(bool name, std::size_t run);
};

void Renderer::Era(bool name, std::size_t run) {
  if (formats.eraFormatter == nullptr) return;
  std::string text;
  const char* eraPicture = name ? "gg" : (run <= 2 ? "yy" : "yyyy");
  if (!formats.eraFormatter(eraPicture, time.year, time.month, time.day, text)) return;
  std::string_view shown = text;
  if (name && run == 1) {
    if (formats.primaryLanguage == 4 && formats.subLanguage == 1 && shown.size() == 4) {
      shown = shown.substr(2, 2);
    } else if (formats.primaryLanguage == 17) {
      shown = shown.substr(0, 1);
    }
  } else if (!name && run == 1 && !shown.empty() && shown[0] == '0') {
    shown.remove_prefix(1);
  }
  out.Put(shown);
}

// The 12-hour look-ahead of an hour token: from `pos`, up to the first h or
// H, or the first a or A outside quotes, which sets the flag when a marker
// token begins there.
// The second byte of a two-byte character is passed over.
bool MarkerFollows(std::string_view picture, std::size_t pos, LeadByteTest isLeadByte) {
  bool quoted = false;
  for (std::size_t k = pos; k < picture.size(); ++k) {
    const char c = picture[k];
    if (isLeadByte != nullptr && isLeadByte(c)) {
      ++k;
      continue;
    }
    if (c == 'h' || c == 'H') return false;
    if ((c == 'a' || c == 'A') && !quoted) {
      return StartsWithNoCase(picture, k, "AM/PM") || StartsWithNoCase(picture, k, "A/P") ||
             StartsWithNoCase(picture, k, "AMPM");
    }
    if (c == '"' || c == '\'') quoted = !quoted;
  }
  return false;
}

// Depth 0 is the picture given to RenderDateTime; the pictures it names are
// rendered at depth 1, where c, ddddd+ and t write nothing.
void Renderer::Picture(std::string_view picture, int depth) {
  bool twelveHour = false;
  char lastLetter = 0;  // upper case; 0 before the first letter
  std::size_t i = 0;
  const std::size_t n = picture.size();
  while (i < n) {
    const char c = picture[i];
    if (c == '"' || c == '\'') {
      const std::size_t close = picture.find(c, i + 1);
      const std::size_t end = close == std::string_view::npos ? n : close;
      out.Put(picture.substr(i + 1, end - i - 1));
      i = end == n ? n : end + 1;
      continue;
    }
    if (c == '/' || c == ':') {
      const char sep = c == '/' ? formats.dateSep : formats.timeSep;
      if (sep != '\0') out.Put(sep);
      ++i;
      continue;
    }
    if (formats.isLeadByte != nullptr && formats.isLeadByte(c) && i + 1 < n) {
      // A two-byte character (code page 932 and the like) is written whole;
      // its second byte, which may look like a token letter, is not read on
      // its own. Like any character that is not a letter, it starts no token,
      // but it ends a step: the minute rule's letter memory is cleared.
      out.Put(picture.substr(i, 2));
      i += 2;
      lastLetter = 0;
      continue;
    }
    if (!IsAsciiLetter(c)) {
      // Any other byte, those of UTF-8 sequences included, is copied.
      out.Put(c);
      ++i;
      continue;
    }
    char token = AsciiUpper(c);
    if (token == 'M' && lastLetter == 'H') token = 'N';
    lastLetter = token;

    if (token == 'A') {
      const bool am = time.hour < 12;
      if (StartsWithNoCase(picture, i, "AM/PM")) {
        out.Put(am ? picture.substr(i, 2) : picture.substr(i + 3, 2));
        twelveHour = true;
        i += 5;
      } else if (StartsWithNoCase(picture, i, "A/P")) {
        out.Put(am ? picture[i] : picture[i + 2]);
        twelveHour = true;
        i += 3;
      } else if (StartsWithNoCase(picture, i, "AMPM")) {
        out.Put(am ? formats.amWord : formats.pmWord);
        twelveHour = true;
        i += 4;
      } else if (StartsWithNoCase(picture, i, "AAAA")) {
        out.Put(formats.dayNames[time.weekday - 1u]);
        i += 4;
      } else if (StartsWithNoCase(picture, i, "AAA")) {
        out.Put(formats.dayAbbrevs[time.weekday - 1u]);
        i += 3;
      } else {
        out.Put(c);
        ++i;
      }
      continue;
    }

    switch (token) {
      case 'Y':
      case 'M':
      case 'N':
      case 'D':
      case 'H':
      case 'S':
      case 'Z':
      case 'T':
      case 'C':
      case 'G':
      case 'E': break;
      default:
        out.Put(c);
        ++i;
        continue;
    }
    std::size_t run = 1;
    while (i + run < n && picture[i + run] == c) ++run;
    i += run;

    switch (token) {
      case 'Y':
        if (run <= 2) {
          out.Number(time.year % 100u, 2);
        } else {
          out.Number(time.year, 4);
        }
        break;
      case 'M':
        if (run <= 2) {
          out.Number(time.month, run);
        } else if (run == 3) {
          out.Put(formats.monthAbbrevs[time.month - 1u]);
        } else {
          out.Put(formats.monthNames[time.month - 1u]);
        }
        break;
      case 'D':
        if (run <= 2) {
          out.Number(time.day, run);
        } else if (run == 3) {
          out.Put(formats.dayAbbrevs[time.weekday - 1u]);
        } else if (run == 4) {
          out.Put(formats.dayNames[time.weekday - 1u]);
        } else if (depth == 0) {
          Picture(run == 5 ? formats.shortDatePicture : formats.longDatePicture, depth + 1);
        }
        break;
      case 'H': {
        if (MarkerFollows(picture, i, formats.isLeadByte)) twelveHour = true;
        unsigned hour = time.hour;
        if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        out.Number(hour, run == 1 ? 1 : 2);
        break;
      }
      case 'N': out.Number(time.minute, run == 1 ? 1 : 2); break;
      case 'S': out.Number(time.second, run == 1 ? 1 : 2); break;
      case 'Z': out.Number(time.millisecond, run < 3 ? run : 3); break;
      case 'T':
        if (depth == 0) {
          Picture(run == 1 ? formats.shortTimePicture : formats.longTimePicture, depth + 1);
        }
        break;
      case 'C':
        if (depth == 0) Default(depth + 1);
        break;
      case 'G': Era(true, run); break;
      case 'E': Era(false, run); break;
      default: break;
    }
  }
}

}  // namespace

std::string RenderDateTime(std::string_view picture, DateTimeValue value,
                           const LocaleFormats& formats) {
  const DateTimeFields time = SplitDateTime(value);
  Output out;
  Renderer renderer{formats, time, out};
  renderer.Picture(picture.empty() ? std::string_view("c") : picture, 0);
  return std::string(out.bytes, out.size);
}

std::string RenderDateTime(std::string_view picture, DateTimeValue value) {
  return RenderDateTime(picture, value, RunLocaleFormats());
}

std::string DefaultDateTimeText(DateTimeValue value, const LocaleFormats& formats) {
  return RenderDateTime("c", value, formats);
}

std::string DefaultDateTimeText(DateTimeValue value) {
  return DefaultDateTimeText(value, RunLocaleFormats());
}

std::string GtmTimeText(DateTimeValue value, const LocaleFormats& formats) {
  return RenderDateTime(kGtmTimePicture, value, formats);
}

std::string GtmTimeText(DateTimeValue value) { return GtmTimeText(value, RunLocaleFormats()); }

}  // namespace pathmend
