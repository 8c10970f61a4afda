// Win32 backend: the clock and the file sizes that the progress line needs.

#include <windows.h>

#include "platform/platform.h"

namespace pathmend::platform {

std::uint64_t MonotonicMilliseconds() { return ::GetTickCount64(); }

std::uint64_t SizeOfFile(const std::string& name) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (::GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data) == 0 ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return 0;
  }
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace pathmend::platform
