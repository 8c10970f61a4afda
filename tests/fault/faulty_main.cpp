// pathmend_faulty: the program with failures injected, for tests only.
//
//   pathmend_faulty CONTROL [pathmend arguments...]
//
// CONTROL is a comma-separated list of settings (empty for none):
//   fail=N      the Nth operating-system call of the run fails ...
//   code=C      ... with the Windows error code C (112, 1117, 5, 232, ...),
//               given to the platform layer as the POSIX error it maps to C
//   alloc=N     the Nth memory allocation of the run fails (std::bad_alloc)
//   allocfrom=N every allocation from the Nth on fails, as on a full heap
//   fault=K     at the call given by at=N (default 1), the processor faults:
//               K is read or write (through address 0x1008), divide (an
//               integer division by zero) or stack (unbounded recursion)
//   log=PATH    at the end, write "calls N", "allocations N" and
//               "failed NAME FD" (the call that was made to fail) to PATH
//
// The operating-system calls are those the platform layer makes on files
// and standard streams: open, read, write, lseek, fstat and close. They are
// counted by link-time wrappers (ld --wrap) around the C library's
// functions, so the shipped program has none of this in it.

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/run_driver.h"

extern "C" {
int __real_open(const char* path, int flags, ...);
ssize_t __real_read(int fd, void* bytes, size_t size);
ssize_t __real_write(int fd, const void* bytes, size_t size);
off_t __real_lseek(int fd, off_t offset, int whence);
int __real_fstat(int fd, struct stat* info);
int __real_close(int fd);
}

namespace {

struct Control {
  long failAt = 0;
  int code = 0;
  long allocAt = 0;
  long allocFrom = 0;
  std::string fault;
  long faultAt = 1;
  std::string log;
};

Control control;
bool counting = false;
long calls = 0;
long allocations = 0;
const char* failedName = nullptr;
int failedFd = -1;

// The POSIX error the platform layer maps to a Windows code.
int ErrnoFor(int code) {
  switch (code) {
    case 2: return ENOENT;
    case 4: return EMFILE;
    case 5: return EACCES;
    case 8: return ENOMEM;
    case 112: return ENOSPC;
    case 232: return EPIPE;
    case 1117: return EIO;
    default:
      std::fprintf(stderr, "pathmend_faulty: no POSIX error for code %d\n", code);
      std::_Exit(2);
  }
}

// Always true; read at run time, so the compiler sees a recursion that ends.
volatile bool deeper = true;

__attribute__((no_sanitize("address", "undefined"), noinline)) int Recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  if (!deeper) return frame[0];
  return Recurse(depth + 1) + frame[0];
}

__attribute__((no_sanitize("address", "undefined"), noinline)) void Provoke(
    const std::string& fault) {
  volatile int* bad = reinterpret_cast<volatile int*>(0x1008);
  if (fault == "read") {
    const int value = *bad;
    (void)value;
  } else if (fault == "write") {
    *bad = 1;
  } else if (fault == "divide") {
    volatile int zero = 0;
    volatile int one = 1;
    one = one / zero;
  } else if (fault == "stack") {
    Recurse(0);
  }
}

// Counts a call; true when this one is to fail (errno is set then).
bool Fails(const char* name, int fd) {
  if (!counting) return false;
  ++calls;
  if (!control.fault.empty() && calls == control.faultAt) Provoke(control.fault);
  if (calls != control.failAt) return false;
  failedName = name;
  failedFd = fd;
  errno = ErrnoFor(control.code);
  return true;
}

bool AllocationFails() {
  if (!counting) return false;
  ++allocations;
  return (control.allocAt != 0 && allocations == control.allocAt) ||
         (control.allocFrom != 0 && allocations >= control.allocFrom);
}

void ReadControl(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(',', at);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(at, end - at);
    at = end + 1;
    const std::size_t equals = item.find('=');
    const std::string key = item.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : item.substr(equals + 1);
    if (key == "fail")
      control.failAt = std::atol(value.c_str());
    else if (key == "code")
      control.code = std::atoi(value.c_str());
    else if (key == "alloc")
      control.allocAt = std::atol(value.c_str());
    else if (key == "allocfrom")
      control.allocFrom = std::atol(value.c_str());
    else if (key == "fault")
      control.fault = value;
    else if (key == "at")
      control.faultAt = std::atol(value.c_str());
    else if (key == "log")
      control.log = value;
    else if (!key.empty()) {
      std::fprintf(stderr, "pathmend_faulty: unknown setting %s\n", key.c_str());
      std::_Exit(2);
    }
  }
  if (control.failAt != 0) ErrnoFor(control.code);
}

}  // namespace

extern "C" {

int __wrap_open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0) {
    va_list list;
    va_start(list, flags);
    mode = static_cast<mode_t>(va_arg(list, unsigned));
    va_end(list);
  }
  if (Fails("open", -1)) return -1;
  return __real_open(path, flags, mode);
}

ssize_t __wrap_read(int fd, void* bytes, size_t size) {
  if (Fails("read", fd)) return -1;
  return __real_read(fd, bytes, size);
}

ssize_t __wrap_write(int fd, const void* bytes, size_t size) {
  if (Fails("write", fd)) return -1;
  return __real_write(fd, bytes, size);
}

off_t __wrap_lseek(int fd, off_t offset, int whence) {
  if (Fails("lseek", fd)) return -1;
  return __real_lseek(fd, offset, whence);
}

int __wrap_fstat(int fd, struct stat* info) {
  if (Fails("fstat", fd)) return -1;
  return __real_fstat(fd, info);
}

int __wrap_close(int fd) {
  if (Fails("close", fd)) {
    // The descriptor is released all the same, as close does on Linux.
    const int error = errno;
    __real_close(fd);
    errno = error;
    return -1;
  }
  return __real_close(fd);
}

}  // extern "C"

// Allocations: counted, and failed where asked. Memory comes from malloc and
// goes back to free, so that a sanitizer sees matching pairs.
void* operator new(std::size_t size) {
  if (AllocationFails()) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (AllocationFails()) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pathmend_faulty CONTROL [arguments...]\n");
    return 2;
  }
  ReadControl(argv[1]);
  argv[1] = argv[0];
  counting = true;
  const int code = pathmend::Main(argc - 1, argv + 1);
  counting = false;
  if (!control.log.empty()) {
    if (FILE* log = std::fopen(control.log.c_str(), "w")) {
      std::fprintf(log, "calls %ld\nallocations %ld\nfailed %s %d\n", calls, allocations,
                   failedName != nullptr ? failedName : "none", failedFd);
      std::fclose(log);
    }
  }
  return code;
}
