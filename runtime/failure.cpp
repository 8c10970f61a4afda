#include "runtime/failure.h"

#include <utility>

#include "platform/platform.h"
#include "runtime/fault_report.h"
#include "runtime/number_text.h"

namespace pathmend {

std::int32_t PendingIoCode = 0;

namespace {

// The code address of a call: the return address points just after the call
// instruction, so one byte back lies inside it and addr2line names its line.
std::uintptr_t CallSiteOffset(const void* returnAddress) {
  const auto address = reinterpret_cast<std::uintptr_t>(returnAddress);
  return address - 1 - platform::ImageBase();
}

}  // namespace

void SetPendingIoCode(std::int32_t code) {
  if (code != 0) PendingIoCode = code;
}

__attribute__((noinline)) void CheckIo() {
  if (PendingIoCode == 0) return;
  const std::int32_t code = PendingIoCode;
  PendingIoCode = 0;
  RaiseIoFailure(code, __builtin_return_address(0));
}

std::string IoMessage(std::int32_t code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + SignedDecimal(code, 0);
  }
}

__attribute__((noinline)) void RaiseFailure(const char* kind, std::string message) {
  throw Failure{kind, std::move(message), CallSiteOffset(__builtin_return_address(0)), 0};
}

void RaiseIoFailure(std::int32_t code, const void* site) {
  throw Failure{kEInOutError, IoMessage(code), CallSiteOffset(site), code};
}

std::string FailureReport(const Failure& failure, const std::string& moduleName) {
  char text[1023];
  const std::size_t size = FormatFailureReport(text, sizeof text, failure.kind, failure.message,
                                               moduleName, failure.raiseOffset);
  return {text, size};
}

}  // namespace pathmend
