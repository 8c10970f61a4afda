#include "tests/support/iconv_reference.h"

#if __has_include(<iconv.h>)
#include <iconv.h>
#define PATHMEND_HAVE_ICONV 1
#endif

namespace pathmend::testing {

#ifdef PATHMEND_HAVE_ICONV

bool IconvAvailable() { return true; }

std::optional<std::string> IconvToUtf8(const char* charset, std::string_view bytes) {
  const iconv_t converter = iconv_open("UTF-8", charset);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in(bytes);
  std::string out(bytes.size() * 4 + 4, '\0');
  char* inPointer = in.data();
  std::size_t inLeft = in.size();
  char* outPointer = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

#else

bool IconvAvailable() { return false; }

std::optional<std::string> IconvToUtf8(const char*, std::string_view) { return std::nullopt; }

#endif

}  // namespace pathmend::testing
