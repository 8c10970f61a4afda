// POSIX backend of the platform layer: files, standard streams and the
// process. Every error number is translated into the Windows error code that
// the program's messages are chosen by (see ErrorFromErrno).

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <locale.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/platform.h"

// The ELF header of the running executable: its address is the load address.
extern "C" const char __ehdr_start[]  // NOLINT(bugprone-reserved-identifier): the linker's name
    __attribute__((visibility("hidden")));

namespace pathmend::platform {

namespace {

// Which standard streams were closed when the process started.
bool standardOutputMissing = false;
bool standardInputMissing = false;
bool standardErrorMissing = false;

// The error number behind the code that the last failing call returned: the
// translation into Windows codes loses it, and the system's message needs it.
int lastErrno = 0;
std::int32_t lastErrorCode = kNoError;

bool FolderExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder part of a path: everything before the last "/", or "." when
// there is none; "/" for a name directly under the root.
std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return name.substr(0, slash);
}

// A POSIX error number as the Windows error code of the same condition. No
// raw error number is passed through: EIO is 5 and EINTR 4 on Linux, which
// would read as "File access denied" and "Too many open files".
std::int32_t WindowsCode(int error, const std::string& name);

std::int32_t ErrorFromErrno(int error, const std::string& name = std::string()) {
  const std::int32_t code = WindowsCode(error, name);
  if (code != kNoError) {
    lastErrno = error;
    lastErrorCode = code;
  }
  return code;
}

std::int32_t WindowsCode(int error, const std::string& name) {
  switch (error) {
    case 0: return kNoError;
    case ENOENT:
      // Windows tells a missing file (2) from a missing folder on its path (3).
      return name.empty() || FolderExists(FolderOf(name)) ? kErrorFileNotFound : kErrorPathNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return kErrorAccessDenied;
    case EBADF: return kErrorInvalidHandle;
    case ENOMEM: return kErrorNotEnoughMemory;
    case ETXTBSY: return kErrorSharingViolation;
    case ENOSPC: return kErrorDiskFull;
    case EDQUOT: return kErrorDiskQuotaExceeded;
    case EFBIG: return kErrorFileTooLarge;
    case EIO: return kErrorIoDevice;
    case ENXIO:
    case ENODEV: return kErrorNotReady;
    case ESPIPE: return kErrorSeek;
    // A write to a pipe whose reader has gone: Windows fails that write with
    // "The pipe is being closed" (232).
    case EPIPE: return kErrorNoData;
    case EEXIST: return kErrorFileExists;
    case EINVAL:
    case EOVERFLOW: return kErrorInvalidParameter;
    case ENAMETOOLONG: return kErrorFilenameTooLong;
    case ELOOP: return kErrorCantResolveFilename;
    case EBUSY:
    case EAGAIN: return kErrorBusy;
    case EMLINK: return kErrorTooManyLinks;
    case EOPNOTSUPP: return kErrorNotSupported;
    case ECANCELED: return kErrorOperationAborted;
    default: return kErrorInvalidFunction;
  }
}

Handle OpenWith(const std::string& name, int flags, std::int32_t& error) {
  int fd;
  do {
    fd = ::open(name.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    error = ErrorFromErrno(errno, name);
    return kInvalidHandle;
  }
  error = kNoError;
  return fd;
}

int Fd(Handle handle) { return static_cast<int>(handle); }

// True when a call failed only because it would have to wait: the process was
// handed a descriptor in non-blocking mode (a shared terminal or pipe).
// Windows calls wait in that case, and so does the program: until the
// descriptor is ready, then the call is made again.
bool WaitIfWouldBlock(int fd, short events) {
  if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
  pollfd ready{fd, events, 0};
  while (::poll(&ready, 1, -1) < 0 && errno == EINTR) {
  }
  return true;
}

}  // namespace

void Initialise() {
  // A write to a closed pipe must fail with an error code like any other
  // write, not end the process: the run then ends with its report.
  ::signal(SIGPIPE, SIG_IGN);
  // A slot left free by a closed standard stream would be handed to the next
  // file opened, and console text would then land in that file. Fill it with
  // /dev/null, opened read-only, and remember that the stream is missing.
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int filler = ::open("/dev/null", O_RDONLY);
    if (filler >= 0 && filler != fd) {
      ::dup2(filler, fd);
      ::close(filler);
    }
    if (fd == 0) standardInputMissing = true;
    if (fd == 1) standardOutputMissing = true;
    if (fd == 2) standardErrorMissing = true;
  }
}

Handle OpenExisting(const std::string& name, std::int32_t& error) {
  // Inputs are only read: a track log on a read-only medium or without write
  // permission is read like any other.
  return OpenWith(name, O_RDONLY, error);
}

Handle CreateAlways(const std::string& name, bool readBack, std::int32_t& error) {
  return OpenWith(name, (readBack ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC, error);
}

std::int32_t Read(Handle handle, void* bytes, std::size_t size, std::size_t& done) {
  done = 0;
  ssize_t got;
  do {
    got = ::read(Fd(handle), bytes, size);
  } while (got < 0 && (errno == EINTR || WaitIfWouldBlock(Fd(handle), POLLIN)));
  if (got < 0) return ErrorFromErrno(errno);
  done = static_cast<std::size_t>(got);
  return kNoError;
}

std::int32_t Write(Handle handle, const void* bytes, std::size_t size, std::size_t& done) {
  done = 0;
  ssize_t wrote;
  do {
    wrote = ::write(Fd(handle), bytes, size);
  } while (wrote < 0 && (errno == EINTR || WaitIfWouldBlock(Fd(handle), POLLOUT)));
  if (wrote < 0) return ErrorFromErrno(errno);
  done = static_cast<std::size_t>(wrote);
  return kNoError;
}

std::int32_t Seek(Handle handle, std::uint64_t position) {
  if (::lseek(Fd(handle), static_cast<off_t>(position), SEEK_SET) < 0) return ErrorFromErrno(errno);
  return kNoError;
}

std::int32_t FileSize(Handle handle, std::uint64_t& size) {
  struct stat info {};
  if (::fstat(Fd(handle), &info) != 0) return ErrorFromErrno(errno);
  size = static_cast<std::uint64_t>(info.st_size);
  return kNoError;
}

std::int32_t Close(Handle handle) {
  // The descriptor is released even when close reports an error; retrying
  // after EINTR could close a descriptor opened by someone else.
  if (::close(Fd(handle)) != 0 && errno != EINTR) return ErrorFromErrno(errno);
  return kNoError;
}

bool CommandLine(std::string&) { return false; }

bool SlashBeginsPaths() { return true; }

Handle StandardOutput() { return standardOutputMissing ? kInvalidHandle : STDOUT_FILENO; }

Handle StandardInput() { return standardInputMissing ? kInvalidHandle : STDIN_FILENO; }

Handle StandardError() { return standardErrorMissing ? kInvalidHandle : STDERR_FILENO; }

bool IsTerminal(Handle handle) { return handle != kInvalidHandle && ::isatty(Fd(handle)) == 1; }

HandleKind KindOf(Handle handle) {
  struct stat info {};
  if (handle == kInvalidHandle || ::fstat(Fd(handle), &info) != 0) return HandleKind::Unknown;
  if (S_ISCHR(info.st_mode)) return HandleKind::Char;
  if (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode)) return HandleKind::Disk;
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return HandleKind::Pipe;
  return HandleKind::Unknown;
}

std::int32_t ReadLine(Handle handle) {
  // One byte at a time, so that nothing after the line feed is taken from a
  // shared standard input.
  char byte = 0;
  for (;;) {
    const ssize_t got = ::read(Fd(handle), &byte, 1);
    if (got < 0 && (errno == EINTR || WaitIfWouldBlock(Fd(handle), POLLIN))) continue;
    if (got < 0) return ErrorFromErrno(errno);
    if (got == 0 || byte == '\n') return kNoError;
  }
}

std::string ExecutableName() {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "pathmend";
  const std::string full(path, static_cast<std::size_t>(length));
  const std::size_t slash = full.find_last_of('/');
  return slash == std::string::npos ? full : full.substr(slash + 1);
}

std::string SystemMessage(std::int32_t code) {
  if (code == kNoError || code != lastErrorCode) return std::string();
  // The user's language and character set, as the environment names them
  // (LC_ALL, LC_MESSAGES or LC_CTYPE, LANG); the C locale's English when
  // that locale is not installed.
  locale_t locale = ::newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) {
    locale = ::newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }
  if (locale == static_cast<locale_t>(0)) return std::string();
  std::string message = ::strerror_l(lastErrno, locale);
  ::freelocale(locale);
  return message;
}

std::uintptr_t ImageBase() { return reinterpret_cast<std::uintptr_t>(__ehdr_start); }

std::uint64_t MonotonicMilliseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

std::uint64_t SizeOfFile(const std::string& name) {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}

bool PathExists(const std::string& name) {
  struct stat info {};
  return ::stat(name.c_str(), &info) == 0;
}

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace pathmend::platform
