#include "export/xml_text.h"

#include <gtest/gtest.h>

// The C library's converter (glibc's iconv) is the reference of the tests
// below it; a Windows build has none, and the Linux build runs them.
#if __has_include(<iconv.h>)
#include <iconv.h>
#define PATHMEND_HAVE_ICONV 1
#endif

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pathmend {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

TEST(XmlText, EscapesKeepsUtf8AndDecodesWindows1250) {
  const struct {
    const char* label;
    std::string in;
    std::string out;
  } cases[] = {
      {"empty", "", ""},
      {"plain ASCII", "Road Split (1/15/06) - x", "Road Split (1/15/06) - x"},
      {"markup characters", "A & B <c> d", "A &amp; B &lt;c&gt; d"},
      {"an entity is escaped again", "&amp;", "&amp;amp;"},
      {"quotes stay in element text", "\"q\" 'a'", "\"q\" 'a'"},
      {"TAB, LF and CR stay", "a\tb\nc\rd", "a\tb\nc\rd"},
      {"control bytes",
       std::string("a\x01"
                   "b\x1F"
                   "c",
                   5),
       "a" + kReplacement + "b" + kReplacement + "c"},
      {"zero byte", std::string("a\0b", 3), "a" + kReplacement + "b"},
      {"DEL is an XML character", "\x7F", "\x7F"},
      // Windows-1250 letters.
      {"e acute", "Sz\xE9p", "Sz\xC3\xA9p"},
      {"S caron", "\x8A", "\xC5\xA0"},
      {"o double acute", "\xF5", "\xC5\x91"},
      {"u double acute", "\xFB", "\xC5\xB1"},
      {"Hungarian word", "\xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p",
       "\xC3\x81rv\xC3\xADzt\xC5\xB1r\xC5\x91 t\xC3\xBCk\xC3\xB6rf\xC3\xBAr\xC3\xB3g\xC3\xA9p"},
      {"euro sign", "\x80", "\xE2\x82\xAC"},
      {"no-break space", "\xA0", "\xC2\xA0"},
      {"dot above", "\xFF", "\xCB\x99"},
      {"a lone continuation byte", "\xA9", "\xC2\xA9"},
      // The five positions the code page leaves unassigned.
      {"unassigned 0x81", "\x81", kReplacement},
      {"unassigned 0x83", "\x83", kReplacement},
      {"unassigned 0x88", "\x88", kReplacement},
      {"unassigned 0x90", "\x90", kReplacement},
      {"unassigned 0x98", "\x98", kReplacement},
      // Well-formed UTF-8 is kept as it is.
      {"UTF-8 two bytes", "Sz\xC3\xA9p \xC5\x91", "Sz\xC3\xA9p \xC5\x91"},
      {"UTF-8 three bytes", "\xE2\x82\xAC 5", "\xE2\x82\xAC 5"},
      {"UTF-8 four bytes", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"UTF-8 C1 control", "\xC2\x85", "\xC2\x85"},
      {"UTF-8 next to markup", "\xC3\xA9&\xC3\xA9", "\xC3\xA9&amp;\xC3\xA9"},
      // Anything else is read byte by byte as Windows-1250.
      {"truncated two-byte sequence at the end", "x\xC3", "x\xC4\x82"},
      {"truncated two-byte sequence before ASCII",
       "\xC3"
       "A",
       "\xC4\x82"
       "A"},
      {"truncated three-byte sequence", "\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},
      {"truncated four-byte sequence", "\xF0\x9F\x98", "\xC4\x91\xC5\xBA" + kReplacement},
      {"overlong slash", "\xC0\xAF", "\xC5\x94\xC5\xBB"},
      {"overlong C1", "\xC1\x81", "\xC3\x81" + kReplacement},
      {"overlong three bytes", "\xE0\x80\xAF", "\xC5\x95\xE2\x82\xAC\xC5\xBB"},
      {"overlong four bytes", "\xF0\x80\x80\xAF", "\xC4\x91\xE2\x82\xAC\xE2\x82\xAC\xC5\xBB"},
      {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80",
       "\xC3\xB4" + kReplacement + "\xE2\x82\xAC\xE2\x82\xAC"},
      {"non-character U+FFFE", "\xEF\xBF\xBE", "\xC4\x8F\xC5\xBC\xC4\xBE"},
      {"non-character U+FFFF", "\xEF\xBF\xBF", "\xC4\x8F\xC5\xBC\xC5\xBC"},
      {"lead byte F5", "\xF5\x80\x80\x80", "\xC5\x91\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"},
      {"good sequence after a bad one", "\xC3\xC3\xA9", "\xC4\x82\xC3\xA9"},
  };
  for (const auto& c : cases) EXPECT_EQ(XmlText(c.in), c.out) << c.label;
}

#ifdef PATHMEND_HAVE_ICONV
// The code points of UTF-8 text, or nothing when the bytes are not
// well-formed UTF-8 (the C library's converter decides).
std::optional<std::u32string> DecodeUtf8(iconv_t cd, const std::string& text) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string in = text;
  std::vector<char> out(4 * text.size() + 4);
  char* inPtr = in.data();
  std::size_t inLeft = in.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  if (done == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
  std::u32string codes;
  for (const char* p = out.data(); p < outPtr; p += 4) {
    std::uint32_t code = 0;
    for (int i = 3; i >= 0; --i) code = (code << 8) | static_cast<std::uint8_t>(p[i]);
    codes.push_back(code);
  }
  return codes;
}

// One Windows-1250 byte in UTF-8 as the C library converts it; nothing for a
// byte the code page leaves unassigned.
std::optional<std::string> Windows1250ByLibrary(unsigned char byte) {
  iconv_t cd = iconv_open("UTF-8", "CP1250");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inPtr = in;
  std::size_t inLeft = 1;
  char* outPtr = out;
  std::size_t outLeft = sizeof out;
  const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (done == static_cast<std::size_t>(-1)) return std::nullopt;
  return std::string(out, outPtr);
}

bool ConverterAvailable(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

TEST(XmlText, EveryHighByteAloneMatchesTheCLibrarysWindows1250) {
  if (!ConverterAvailable("UTF-8", "CP1250")) {
    GTEST_SKIP() << "iconv has no CP1250 converter (glibc gconv modules)";
  }
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const auto expected = Windows1250ByLibrary(static_cast<unsigned char>(byte));
    const std::string in(1, static_cast<char>(byte));
    EXPECT_EQ(XmlText(in), expected.value_or(kReplacement)) << "byte 0x" << std::hex << byte;
  }
}

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Every two-byte input, and three-byte inputs around every byte, give
// well-formed UTF-8 of XML characters with no bare "<" or "&".
TEST(XmlText, AnyBytesGiveWellFormedXmlCharacterData) {
  iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "iconv has no UTF-8 converter";
  const unsigned char probes[] = {0x00, 0x09, 0x26, 0x3C, 0x41, 0x7F, 0x80, 0x81, 0x9F, 0xA0,
                                  0xBF, 0xC0, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xFF};
  int failures = 0;
  const auto check = [&](const std::string& in) {
    const std::string out = XmlText(in);
    const auto codes = DecodeUtf8(cd, out);
    bool good = codes.has_value();
    if (good) {
      for (const char32_t c : *codes) good = good && IsXmlChar(c) && c != U'<';
      // Every "&" starts one of the three escapes.
      for (std::size_t at = out.find('&'); good && at != std::string::npos;
           at = out.find('&', at + 1)) {
        good = out.compare(at, 5, "&amp;") == 0 || out.compare(at, 4, "&lt;") == 0 ||
               out.compare(at, 4, "&gt;") == 0;
      }
    }
    if (!good && ++failures <= 10) {
      std::string hex;
      for (const char b : in) hex += std::to_string(static_cast<unsigned char>(b)) + " ";
      ADD_FAILURE() << "input bytes " << hex;
    }
  };
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      check(std::string{static_cast<char>(a), static_cast<char>(b)});
    }
  }
  for (const unsigned char a : probes) {
    for (const unsigned char b : probes) {
      for (int c = 0; c < 256; ++c) {
        check(std::string{static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)});
        check(std::string{static_cast<char>(a), static_cast<char>(c), static_cast<char>(b)});
      }
    }
  }
  iconv_close(cd);
}
#endif  // PATHMEND_HAVE_ICONV

}  // namespace
}  // namespace pathmend
