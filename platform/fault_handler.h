// Faults of the processor or the system (a bad memory access, an integer
// division by zero, a stack overflow, ...) reported instead of ending the
// process silently.
//
// The backend catches the fault (POSIX: signal handlers on an alternate
// stack, so that a stack overflow is caught too; Windows: the unhandled
// exception filter), describes it as a FaultInfo and calls the reporter,
// then ends the process with exit code 1. The reporter runs where only
// async-signal-safe work is allowed: no memory allocation, no locks, only
// writes.
#pragma once

#include <cstdint>
#include <string_view>

namespace pathmend::platform {

// The faults the report names.
enum class FaultKind {
  AccessViolation,
  DivByZero,
  RangeError,
  IntOverflow,
  InvalidOp,
  ZeroDivide,
  Overflow,
  Underflow,
  Privilege,
  StackOverflow,
  ControlC,
  OutOfMemory,
  InvalidPointer,
  External,
};

struct FaultInfo {
  FaultKind kind = FaultKind::External;
  std::uintptr_t codeAddress = 0;  // where the fault happened
  std::uintptr_t dataAddress = 0;  // the address an access violation touched
  bool write = false;              // the access was a write
  std::string_view module;         // file name of the module holding codeAddress; empty: unknown
  std::uint32_t systemCode = 0;    // the (Windows) exception code of an external exception
};

using FaultReporter = void (*)(const FaultInfo& fault);

// Installs the fault handling for the rest of the process. Call once at
// start-up; the reporter is called at most once.
void InstallFaultHandler(FaultReporter reporter);

}  // namespace pathmend::platform
