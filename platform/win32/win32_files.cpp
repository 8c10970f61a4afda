// Windows backend of the platform layer: files, standard streams and the
// process, on the Windows calls themselves. Error codes are GetLastError's,
// passed through unchanged: on Windows they are the codes the program's
// messages are chosen by.

#include <windows.h>

#include <string>

#include "platform/platform.h"

// The DOS header of the running executable, placed by the linker at the
// image's load address.
extern "C" IMAGE_DOS_HEADER __ImageBase;  // NOLINT(bugprone-reserved-identifier): the linker's name

namespace pathmend::platform {

namespace {

HANDLE Native(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
Handle Ours(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

std::int32_t LastError() { return static_cast<std::int32_t>(::GetLastError()); }

Handle CreateWith(const std::string& name, DWORD access, DWORD share, DWORD disposition,
                  std::int32_t& error) {
  // A CreateFileA that succeeds over an existing file sets the last error to
  // 183 (ERROR_ALREADY_EXISTS): only a failed call's code is a failure.
  const HANDLE handle = ::CreateFileA(name.c_str(), access, share, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = LastError();
    return kInvalidHandle;
  }
  error = kNoError;
  return Ours(handle);
}

// A standard handle, or kInvalidHandle: GetStdHandle gives NULL for a process
// started without one and INVALID_HANDLE_VALUE on failure, and both mean none.
Handle Standard(DWORD which) {
  const HANDLE handle = ::GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return kInvalidHandle;
  return Ours(handle);
}

// The end of a pipe or of a file, as a read reports it: not a failure, the
// read simply gives nothing more.
bool IsEndOfInput(DWORD error) { return error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF; }

// Volume serial number and file index of a name: the same file whatever the
// spelling (case, short 8.3 name, ".\", a hard link). Opened without asking
// for read or write access, so that a file open elsewhere or without read
// permission is still compared; folders need backup semantics to be opened.
bool FileIdentity(const std::string& name, BY_HANDLE_FILE_INFORMATION& info) {
  const HANDLE handle =
      ::CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const BOOL known = ::GetFileInformationByHandle(handle, &info);
  ::CloseHandle(handle);
  return known != FALSE;
}

}  // namespace

void Initialise() {
  // Windows does not hand a missing standard handle's place to the next
  // file opened, so there is nothing to fill. The x87 control word is the
  // process's to set: MinGW's start-up leaves kX87ControlWord, but a DLL or
  // the runtime may change it, and the program's digits depend on its
  // precision and rounding fields.
  const std::uint16_t word = kX87ControlWord;
  __asm__ __volatile__("fldcw %0" : : "m"(word));
}

bool CommandLine(std::string& line) {
  const char* text = ::GetCommandLineA();
  line = text != nullptr ? text : "";
  return true;
}

bool SlashBeginsPaths() { return false; }

Handle OpenExisting(const std::string& name, std::int32_t& error) {
  // Inputs are only read; others may go on reading and writing them.
  return CreateWith(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, error);
}

Handle CreateAlways(const std::string& name, bool readBack, std::int32_t& error) {
  const DWORD access = readBack ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
  return CreateWith(name, access, FILE_SHARE_READ, CREATE_ALWAYS, error);
}

std::int32_t Read(Handle handle, void* bytes, std::size_t size, std::size_t& done) {
  done = 0;
  DWORD got = 0;
  if (!::ReadFile(Native(handle), bytes, static_cast<DWORD>(size), &got, nullptr)) {
    const DWORD error = ::GetLastError();
    if (IsEndOfInput(error)) return kNoError;
    return static_cast<std::int32_t>(error);
  }
  done = got;
  return kNoError;
}

std::int32_t Write(Handle handle, const void* bytes, std::size_t size, std::size_t& done) {
  done = 0;
  DWORD wrote = 0;
  if (!::WriteFile(Native(handle), bytes, static_cast<DWORD>(size), &wrote, nullptr)) {
    return LastError();
  }
  done = wrote;
  return kNoError;
}

std::int32_t Seek(Handle handle, std::uint64_t position) {
  // SetFilePointerEx: the plain SetFilePointer's error return is also a
  // valid position.
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(position);
  if (!::SetFilePointerEx(Native(handle), distance, nullptr, FILE_BEGIN)) return LastError();
  return kNoError;
}

std::int32_t FileSize(Handle handle, std::uint64_t& size) {
  LARGE_INTEGER bytes;
  if (!::GetFileSizeEx(Native(handle), &bytes)) return LastError();
  size = static_cast<std::uint64_t>(bytes.QuadPart);
  return kNoError;
}

std::int32_t Close(Handle handle) {
  if (!::CloseHandle(Native(handle))) return LastError();
  return kNoError;
}

Handle StandardOutput() { return Standard(STD_OUTPUT_HANDLE); }

Handle StandardInput() { return Standard(STD_INPUT_HANDLE); }

HandleKind KindOf(Handle handle) {
  if (handle == kInvalidHandle) return HandleKind::Unknown;
  switch (::GetFileType(Native(handle))) {
    case FILE_TYPE_CHAR: return HandleKind::Char;
    case FILE_TYPE_DISK: return HandleKind::Disk;
    case FILE_TYPE_PIPE: return HandleKind::Pipe;
    default: return HandleKind::Unknown;
  }
}

std::int32_t ReadLine(Handle handle) {
  // One byte at a time, so that nothing after the line feed is taken from a
  // shared standard input. A pipe at its end answers ERROR_BROKEN_PIPE: the
  // end of input, as on Linux.
  char byte = 0;
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(Native(handle), &byte, 1, &got, nullptr)) {
      const DWORD error = ::GetLastError();
      return IsEndOfInput(error) ? kNoError : static_cast<std::int32_t>(error);
    }
    if (got == 0 || byte == '\n') return kNoError;
  }
}

std::string ExecutableName() {
  char path[MAX_PATH + 1];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0) return "pathmend.exe";
  const std::string full(path, length);
  const std::size_t slash = full.find_last_of('\\');
  return slash == std::string::npos ? full : full.substr(slash + 1);
}

std::uintptr_t ImageBase() { return reinterpret_cast<std::uintptr_t>(&__ImageBase); }

bool PathExists(const std::string& name) {
  return ::GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameFile(const std::string& first, const std::string& second) {
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  if (!FileIdentity(first, a) || !FileIdentity(second, b)) return false;
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace pathmend::platform
