// Win32 backend: the system's own message for an error code, in the user's
// language, for the line on standard error that names the failing file.

#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace pathmend::platform {

std::string SystemMessage(std::int32_t code) {
  if (code == kNoError) return std::string();
  char* text = nullptr;
  // Language 0: the thread's language, else the user's, else the system's.
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return std::string();
  std::string message(text, length);
  ::LocalFree(text);
  // The system's texts end with a line end (and usually a full stop, which
  // stays: it is part of the system's wording).
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  return message;
}

}  // namespace pathmend::platform
