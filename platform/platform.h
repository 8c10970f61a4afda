// The program's one seam to the operating system.
//
// Everything the program asks of the system goes through these functions:
// files, standard output and input, the executable's name and load address,
// and whether two names reach the same file. The POSIX backend lives in
// platform/posix/; a Windows backend can implement the same functions on the
// Windows calls directly. Nothing else in the program includes an OS header.
//
// Errors are reported as Windows error codes on every system, so that the
// failure report reads the same everywhere: the backend translates its own
// error numbers into the codes below and never passes a raw one through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pathmend::platform {

// Windows error codes the program's messages are chosen by.
enum ErrorCode : std::int32_t {
  kNoError = 0,
  kErrorInvalidFunction = 1,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorTooManyOpenFiles = 4,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorInvalidAccess = 12,
  kErrorWriteProtect = 19,
  kErrorNotReady = 21,
  kErrorSeek = 25,
  kErrorWriteFault = 29,
  kErrorReadFault = 30,
  kErrorSharingViolation = 32,
  kErrorLockViolation = 33,
  kErrorHandleEof = 38,
  kErrorNotSupported = 50,
  kErrorFileExists = 80,
  kErrorInvalidParameter = 87,
  kErrorBrokenPipe = 109,
  kErrorOpenFailed = 110,
  kErrorBufferOverflow = 111,
  kErrorDiskFull = 112,
  kErrorInvalidName = 123,
  kErrorNegativeSeek = 131,
  kErrorDirNotEmpty = 145,
  kErrorBusy = 170,
  kErrorAlreadyExists = 183,
  kErrorFilenameTooLong = 206,
  kErrorFileTooLarge = 223,
  kErrorNoData = 232,
  kErrorDirectory = 267,
  kErrorOperationAborted = 995,
  kErrorIoDevice = 1117,
  kErrorDiskQuotaExceeded = 1295,
  kErrorTooManyLinks = 1142,
  kErrorCantResolveFilename = 1921,
};

// A handle to an open file, standard output or standard input.
using Handle = std::intptr_t;
inline constexpr Handle kInvalidHandle = -1;

// The kind of an open handle, as the text streams need to know it.
enum class HandleKind { Unknown, Disk, Char, Pipe };

// Opens an existing file for reading only (others may read and write it).
// Returns the handle, or kInvalidHandle with the reason in `error`.
Handle OpenExisting(const std::string& name, std::int32_t& error);

// Creates a file, or empties an existing one, and opens it. With `readBack`
// the file is opened for reading as well as writing.
Handle CreateAlways(const std::string& name, bool readBack, std::int32_t& error);

// Reads up to `size` bytes in one system call; `done` is the count read.
// Returns 0 or the error code.
std::int32_t Read(Handle handle, void* bytes, std::size_t size, std::size_t& done);

// Writes `size` bytes in one system call; `done` is the count written
// (possibly fewer than asked). Returns 0 or the error code.
std::int32_t Write(Handle handle, const void* bytes, std::size_t size, std::size_t& done);

// Moves to an absolute byte position. Returns 0 or the error code.
std::int32_t Seek(Handle handle, std::uint64_t position);

// The size of the file in bytes.
std::int32_t FileSize(Handle handle, std::uint64_t& size);

// Closes a file handle. Returns 0 or the error code.
std::int32_t Close(Handle handle);

// Called once at start-up, before anything else: notes which standard
// streams the process was started without and keeps their slots taken, so
// that no file the program opens can take the place of standard output, and
// makes a write to a closed pipe fail with an error code (232) instead of
// ending the process. On Windows it also sets the x87 control word the
// program computes with (kX87ControlWord), whatever the runtime or a loaded
// DLL left there.
void Initialise();

// The x87 control word of the run: all exceptions masked (the program checks
// for invalid operations and overflows itself, runtime/float_checks.h),
// 64-bit precision, rounding to nearest.
inline constexpr std::uint16_t kX87ControlWord = 0x037F;

// The process's command line as one text, when the system hands it over that
// way (Windows: GetCommandLineA, program name first, to be split by the
// program's own rule). False where the system gives the arguments already
// split (POSIX): `main`'s argument list is then the one to use.
bool CommandLine(std::string& line);

// True where absolute paths begin with "/" (POSIX). There an argument that
// begins with "/" but names an existing file or folder, and everything after
// "--", is an input rather than an option. On Windows no path begins with
// "/", every such argument before the first input is an option and "--" is
// an ordinary argument.
bool SlashBeginsPaths();

// The handle of standard output, or kInvalidHandle when there is none.
Handle StandardOutput();
// The handle of standard input, or kInvalidHandle when there is none.
Handle StandardInput();
// The handle of standard error, or kInvalidHandle when there is none.
Handle StandardError();

// True when the handle is an interactive terminal (a console), not a file,
// a pipe or another character device such as /dev/null.
bool IsTerminal(Handle handle);

// True when the user's locale (on POSIX: LC_ALL, else LC_CTYPE, else LANG)
// has UTF-8 as its character set.
bool LocaleIsUtf8();

// Milliseconds on a clock that only moves forward, from an arbitrary start.
std::uint64_t MonotonicMilliseconds();

// The size in bytes of the file a name leads to; 0 when there is none.
std::uint64_t SizeOfFile(const std::string& name);

// The operating system's own message, in the user's language, for an error
// code that a call of this layer returned (on POSIX the text of the error
// number behind the code; on Windows the system's text of the code). Empty
// when it is not known: on POSIX, when the code is not the one the last
// failing call returned.
std::string SystemMessage(std::int32_t code);

// The kind of an open handle; Unknown when it is not usable.
HandleKind KindOf(Handle handle);

// The executable's file name without its folder.
std::string ExecutableName();

// The address at which the executable's image is loaded; a code address
// minus this is an offset that addr2line understands.
std::uintptr_t ImageBase();

// Reads standard input up to and including the first line feed, or to its
// end. Returns 0 or the error code.
std::int32_t ReadLine(Handle handle);

// True when `name` names an existing file or folder.
bool PathExists(const std::string& name);

// True when both names reach one existing file (same device and file number),
// whatever path, hard link or symbolic link leads to it.
bool SameFile(const std::string& first, const std::string& second);

}  // namespace pathmend::platform
