#include "platform/posix/strftime_picture.h"

#include <vector>

namespace pathmend::platform {

namespace {

// One piece of a format: literal text, or a conversion with its flag.
struct Piece {
  bool literal = true;
  std::string text;  // literal text
  char conversion = 0;
  char flag = 0;  // '-', '_', '0', '^' or '#', 0 for none
};

void AddLiteral(std::vector<Piece>& pieces, std::string_view text) {
  if (text.empty()) return;
  if (!pieces.empty() && pieces.back().literal) {
    pieces.back().text += text;
  } else {
    pieces.push_back(Piece{true, std::string(text), 0, 0});
  }
}

// Splits a format into pieces, replacing the composite conversions by what
// they stand for. `depth` stops a locale format that names itself.
void Expand(std::string_view format, const StrftimeFormats& formats, int depth,
            std::vector<Piece>& pieces) {
  std::size_t i = 0;
  while (i < format.size()) {
    const std::size_t percent = format.find('%', i);
    if (percent == std::string_view::npos) {
      AddLiteral(pieces, format.substr(i));
      return;
    }
    AddLiteral(pieces, format.substr(i, percent - i));
    std::size_t k = percent + 1;
    char flag = 0;
    while (k < format.size() && (format[k] == '-' || format[k] == '_' || format[k] == '0' ||
                                 format[k] == '^' || format[k] == '#')) {
      flag = format[k++];
    }
    while (k < format.size() && format[k] >= '0' && format[k] <= '9') ++k;  // width
    if (k < format.size() && (format[k] == 'E' || format[k] == 'O')) ++k;   // alternatives
    if (k >= format.size()) return;                                         // a lone % at the end
    const char c = format[k];
    i = k + 1;
    std::string_view stands;
    switch (c) {
      case '%': AddLiteral(pieces, "%"); continue;
      case 'n': AddLiteral(pieces, "\n"); continue;
      case 't': AddLiteral(pieces, "\t"); continue;
      case 'D': stands = "%m/%d/%y"; break;
      case 'F': stands = "%Y-%m-%d"; break;
      case 'T': stands = "%H:%M:%S"; break;
      case 'R': stands = "%H:%M"; break;
      case 'r':
        stands = formats.time12;
        if (stands.empty()) stands = "%I:%M:%S %p";
        break;
      case 'x': stands = formats.date; break;
      case 'X': stands = formats.time; break;
      case 'c': stands = formats.dateTime; break;
      default: pieces.push_back(Piece{false, {}, c, flag}); continue;
    }
    if (depth < 3) Expand(stands, formats, depth + 1, pieces);
  }
}

std::vector<Piece> Pieces(std::string_view format, const StrftimeFormats& formats) {
  std::vector<Piece> pieces;
  Expand(format, formats, 0, pieces);
  return pieces;
}

bool IsDateConversion(char c) {
  switch (c) {
    case 'Y':
    case 'y':
    case 'C':
    case 'G':
    case 'g':
    case 'm':
    case 'd':
    case 'e':
    case 'b':
    case 'B':
    case 'h': return true;
    default: return false;
  }
}

bool IsHourConversion(char c) { return c == 'H' || c == 'k' || c == 'I' || c == 'l'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Literal text in picture form: letters and quote characters are quoted, so
// that they are copied rather than read as tokens.
void AppendLiteral(std::string& picture, std::string_view text, bool slashIsDateSep,
                   bool colonIsTimeSep) {
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (IsAsciiLetter(c)) {
      std::size_t end = i;
      while (end < text.size() && IsAsciiLetter(text[end])) ++end;
      picture += '"';
      picture += text.substr(i, end - i);
      picture += '"';
      i = end;
      continue;
    }
    if (c == '"') {
      picture += "'\"'";
    } else if (c == '\'') {
      picture += "\"'\"";
    } else if ((c == '/' && !slashIsDateSep) || (c == ':' && !colonIsTimeSep)) {
      picture += '"';
      picture += c;
      picture += '"';
    } else {
      picture += c;
    }
    ++i;
  }
}

}  // namespace

std::string StrftimePicture(std::string_view format, const StrftimeFormats& formats,
                            bool slashIsDateSep, bool colonIsTimeSep) {
  std::string picture;
  for (const Piece& piece : Pieces(format, formats)) {
    if (piece.literal) {
      AppendLiteral(picture, piece.text, slashIsDateSep, colonIsTimeSep);
      continue;
    }
    // Without padding ("%-d", "%_d") the one-digit token is the closest.
    const bool unpadded = piece.flag == '-' || piece.flag == '_';
    std::string_view token;
    switch (piece.conversion) {
      case 'Y':
      case 'G': token = "yyyy"; break;
      case 'y':
      case 'g': token = "yy"; break;
      case 'm': token = unpadded ? "m" : "mm"; break;
      case 'd': token = unpadded ? "d" : "dd"; break;
      case 'e': token = "d"; break;
      case 'b':
      case 'h': token = "mmm"; break;
      case 'B': token = "mmmm"; break;
      case 'a': token = "ddd"; break;
      case 'A': token = "dddd"; break;
      case 'H':
      case 'I': token = unpadded ? "h" : "hh"; break;
      case 'k':
      case 'l': token = "h"; break;
      case 'M': token = unpadded ? "n" : "nn"; break;
      case 'S': token = unpadded ? "s" : "ss"; break;
      case 'p':
      case 'P': token = "AMPM"; break;
      default: break;  // not shown by a picture
    }
    // Two tokens of the same letter side by side would read as one longer
    // run ("%d%a" as "ddddd", the short date): an empty quoted text keeps
    // them apart and writes nothing.
    if (!token.empty() && !picture.empty() && picture.back() == token.front()) picture += "\"\"";
    picture += token;
  }
  return picture;
}

bool DateSeparator(std::string_view format, const StrftimeFormats& formats,
                   std::string& separator) {
  const std::vector<Piece> pieces = Pieces(format, formats);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].literal || !IsDateConversion(pieces[i].conversion)) continue;
    for (std::size_t j = i + 1; j < pieces.size(); ++j) {
      if (!pieces[j].literal && IsDateConversion(pieces[j].conversion)) {
        separator.clear();
        for (std::size_t k = i + 1; k < j; ++k) {
          if (pieces[k].literal) separator += pieces[k].text;
        }
        return true;
      }
    }
    return false;
  }
  return false;
}

bool TimeSeparator(std::string_view format, const StrftimeFormats& formats,
                   std::string& separator) {
  const std::vector<Piece> pieces = Pieces(format, formats);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].literal || !IsHourConversion(pieces[i].conversion)) continue;
    if (i + 1 < pieces.size() && !pieces[i + 1].literal && pieces[i + 1].conversion == 'M') {
      separator.clear();
      return true;
    }
    if (i + 2 < pieces.size() && pieces[i + 1].literal && !pieces[i + 2].literal &&
        pieces[i + 2].conversion == 'M') {
      separator = pieces[i + 1].text;
      return true;
    }
    return false;
  }
  return false;
}

bool ClockOf(std::string_view format, const StrftimeFormats& formats, ClockStyle& style) {
  bool markerSeen = false;
  for (const Piece& piece : Pieces(format, formats)) {
    if (piece.literal) continue;
    if (piece.conversion == 'p' || piece.conversion == 'P') markerSeen = true;
    if (!IsHourConversion(piece.conversion)) continue;
    style.twentyFourHour = piece.conversion == 'H' || piece.conversion == 'k';
    style.hourZero = (piece.conversion == 'H' || piece.conversion == 'I') && piece.flag != '-' &&
                     piece.flag != '_';
    style.markerFirst = !style.twentyFourHour && markerSeen;
    return true;
  }
  return false;
}

}  // namespace pathmend::platform
