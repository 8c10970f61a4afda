#include "export/xml_text.h"

#include <cstdint>

#include "runtime/code_pages.h"

namespace pathmend {

std::string XmlText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<std::uint8_t>(bytes[i]);
    if (byte < 0x80) {
      switch (byte) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\t':
        case '\n':
        case '\r': out += static_cast<char>(byte); break;
        default:
          if (byte < 0x20) {
            AppendUtf8(out, kReplacementCharacter);
          } else {
            out += static_cast<char>(byte);
          }
      }
      ++i;
      continue;
    }
    if (const std::size_t length = Utf8SequenceLength(bytes.substr(i))) {
      out.append(bytes.substr(i, length));
      i += length;
      continue;
    }
    const std::uint16_t code = Windows1250Character(byte);
    AppendUtf8(out, code != 0 ? code : kReplacementCharacter);
    ++i;
  }
  return out;
}

}  // namespace pathmend
