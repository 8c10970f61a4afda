// XmlText: any bytes in; out comes valid UTF-8 that is well-formed XML
// character data (checked by libxml2 as the content of an element), and
// plain printable ASCII other than & < > comes out unchanged.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <libxml/parser.h>

#include "export/xml_text.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& in) {
  std::fprintf(stderr, "XmlText: %s for \"", what);
  for (const char c : in) std::fprintf(stderr, "\\x%02X", static_cast<unsigned char>(c));
  std::fprintf(stderr, "\"\n");
  std::abort();
}

// Well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF)
// made only of characters XML 1.0 allows.
bool ValidXmlUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::uint32_t code = 0;
    int extra = 0;
    if (b < 0x80) {
      code = b;
    } else if (b >= 0xC2 && b <= 0xDF) {
      code = b & 0x1Fu, extra = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      code = b & 0x0Fu, extra = 2;
    } else if (b >= 0xF0 && b <= 0xF4) {
      code = b & 0x07u, extra = 3;
    } else {
      return false;
    }
    if (extra > 0 && i + static_cast<std::size_t>(extra) >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) return false;
      code = code << 6 | (c & 0x3Fu);
    }
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)))
      return false;
    if (code >= 0xD800 && code <= 0xDFFF) return false;
    const bool allowed = code == 0x9 || code == 0xA || code == 0xD ||
                         (code >= 0x20 && code <= 0xD7FF) || (code >= 0xE000 && code <= 0xFFFD) ||
                         code >= 0x10000;
    if (!allowed) return false;
    i += 1 + static_cast<std::size_t>(extra);
  }
  return true;
}

void CountXmlError(void* context, const char*, ...) { ++*static_cast<int*>(context); }

bool WellFormedContent(const std::string& text) {
  const std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>" + text + "</a>";
  int errors = 0;
  xmlSetGenericErrorFunc(&errors, CountXmlError);
  xmlDocPtr doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), "name.xml",
                                nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  const bool ok = doc != nullptr && errors == 0;
  xmlFreeDoc(doc);
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  xmlInitParser();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string in(reinterpret_cast<const char*>(data), size);
  const std::string out = pathmend::XmlText(in);
  if (!ValidXmlUtf8(out)) Fail("not valid UTF-8 XML characters", in);
  if (!WellFormedContent(out)) Fail("not well-formed character data", in);
  bool plain = true;
  for (const char c : in) plain = plain && c >= 32 && c < 127 && c != '&' && c != '<' && c != '>';
  if (plain && out != in) Fail("plain text changed", in);
  return 0;
}
