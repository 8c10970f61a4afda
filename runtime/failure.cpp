#include "runtime/failure.h"

#include <utility>

#include "platform/platform.h"
#include "runtime/fault_report.h"
#include "runtime/number_text.h"

namespace pathmend {

std::int32_t PendingIoCode = 0;

namespace {

// The file of the pending code; it belongs to the code and is replaced with it.
std::string pendingIoFile;

bool IsProgramCode(std::int32_t code) {
  return code == kIoReadBeyondEnd || code == kIoDiskFull || code == kIoFileNotOpen ||
         code == kIoStdInputUnavailable || code == kIoNotOpenForOutput;
}

// The system's message goes with a failure of a file; for the console streams
// and the program's own codes the report's message says it.
std::string SystemMessageFor(std::int32_t code, std::string_view file) {
  if (file.empty() || file == kStandardOutputName || file == kStandardInputName ||
      IsProgramCode(code)) {
    return std::string();
  }
  return platform::SystemMessage(code);
}

// The code address of a call: the return address points just after the call
// instruction, so one byte back lies inside it and addr2line names its line.
std::uintptr_t CallSiteOffset(const void* returnAddress) {
  const auto address = reinterpret_cast<std::uintptr_t>(returnAddress);
  return address - 1 - platform::ImageBase();
}

}  // namespace

void SetPendingIoCode(std::int32_t code, std::string_view file) {
  if (code == 0) return;
  PendingIoCode = code;
  pendingIoFile.assign(file);
}

__attribute__((noinline)) void CheckIo() {
  if (PendingIoCode == 0) return;
  const std::int32_t code = PendingIoCode;
  PendingIoCode = 0;
  Failure failure{kEInOutError, IoMessage(code), CallSiteOffset(__builtin_return_address(0)), code};
  failure.systemMessage = SystemMessageFor(code, pendingIoFile);
  failure.file = std::move(pendingIoFile);
  pendingIoFile.clear();
  throw failure;
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
