// The C library's own character set conversion, as an independent reference
// for the program's code page tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pathmend::testing {

// `bytes` in the character set `charset` (an iconv name such as "CP852"),
// converted to UTF-8; nothing when iconv cannot convert them.
std::optional<std::string> IconvToUtf8(const char* charset, std::string_view bytes);

// False where the C library has no iconv (a Windows build): the tests that
// use it skip there, and the Linux build runs them.
bool IconvAvailable();

}  // namespace pathmend::testing
