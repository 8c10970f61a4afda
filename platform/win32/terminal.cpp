// Win32 backend: standard error, and what the console text needs to know of
// the console.

#include <windows.h>

#include "platform/platform.h"

namespace pathmend::platform {

Handle StandardError() {
  const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return kInvalidHandle;
  return reinterpret_cast<Handle>(handle);
}

bool IsTerminal(Handle handle) {
  if (handle == kInvalidHandle) return false;
  DWORD mode = 0;
  // Only a console answers GetConsoleMode; files, pipes and NUL do not.
  return ::GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) != 0;
}

// The Windows console shows the program's bytes in its own code page, as the
// original program expects: no conversion.
bool LocaleIsUtf8() { return false; }

}  // namespace pathmend::platform
