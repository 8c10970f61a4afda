#include "export/xml_text.h"

#include <cstdint>

#include "runtime/code_pages.h"

namespace pathmend {

std::string XmlText(std::string_view bytes) {
  // The recorder's text decoded as the console decodes it; every byte below
  // 128 of the result stands for itself (the bytes of a UTF-8 sequence are
  // all 128 or more), so escaping those bytes afterwards escapes characters.
  const std::string text = RecordedTextToUtf8(bytes);
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\t':
      case '\n':
      case '\r': out += c; break;
      default:
        // Control characters have no place in XML 1.0.
        if (static_cast<std::uint8_t>(c) < 0x20) {
          AppendUtf8(out, kReplacementCharacter);
        } else {
          out += c;
        }
    }
  }
  return out;
}

}  // namespace pathmend
