// Windows backend of the fault handling: the unhandled-exception filter.
// An exception that nothing handled (an access violation, an integer
// division by zero, a stack overflow, ...) is described by its exception
// code, reported, and the process ends with exit code 1.
//
// The filter runs on the faulting thread; after a stack overflow the system
// has re-armed a guard page's worth of stack for it, so it keeps its own
// frame small and allocates nothing.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/fault_handler.h"

namespace pathmend::platform {

namespace {

FaultReporter reporter = nullptr;

// Exception codes and the kinds they are reported as. Codes not listed are
// external exceptions, shown with their code.
struct CodeKind {
  DWORD code;
  FaultKind kind;
};

constexpr CodeKind kCodeKinds[] = {
    {EXCEPTION_ACCESS_VIOLATION, FaultKind::AccessViolation},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, FaultKind::DivByZero},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, FaultKind::RangeError},
    {EXCEPTION_INT_OVERFLOW, FaultKind::IntOverflow},
    {EXCEPTION_FLT_INVALID_OPERATION, FaultKind::InvalidOp},
    {EXCEPTION_FLT_INEXACT_RESULT, FaultKind::InvalidOp},
    {EXCEPTION_FLT_STACK_CHECK, FaultKind::InvalidOp},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, FaultKind::ZeroDivide},
    {EXCEPTION_FLT_OVERFLOW, FaultKind::Overflow},
    {EXCEPTION_FLT_UNDERFLOW, FaultKind::Underflow},
    {EXCEPTION_FLT_DENORMAL_OPERAND, FaultKind::Underflow},
    {EXCEPTION_PRIV_INSTRUCTION, FaultKind::Privilege},
    {EXCEPTION_STACK_OVERFLOW, FaultKind::StackOverflow},
    {STATUS_CONTROL_C_EXIT, FaultKind::ControlC},
    {STATUS_NO_MEMORY, FaultKind::OutOfMemory},
};

// The file name, without its folder, of the module that holds an address.
char moduleName[MAX_PATH];

std::string_view ModuleOf(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCSTR>(address), &module)) {
    return {};
  }
  const DWORD length = GetModuleFileNameA(module, moduleName, sizeof moduleName);
  if (length == 0 || length >= sizeof moduleName) return {};
  std::string_view name(moduleName, length);
  const std::size_t slash = name.find_last_of("\\/");
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
  FaultInfo fault;
  fault.systemCode = record.ExceptionCode;
  fault.codeAddress = reinterpret_cast<std::uintptr_t>(record.ExceptionAddress);
  for (const CodeKind& entry : kCodeKinds) {
    if (entry.code == record.ExceptionCode) fault.kind = entry.kind;
  }
  if (fault.kind == FaultKind::AccessViolation && record.NumberParameters >= 2) {
    // The first parameter is 0 for a read, 1 for a write, 8 for running
    // data; the second is the address touched.
    fault.write = record.ExceptionInformation[0] == 1;
    fault.dataAddress = static_cast<std::uintptr_t>(record.ExceptionInformation[1]);
  }
  fault.module = ModuleOf(record.ExceptionAddress);
  if (reporter != nullptr) reporter(fault);
  ExitProcess(1);
}

}  // namespace

void InstallFaultHandler(FaultReporter report) {
  reporter = report;
  SetUnhandledExceptionFilter(OnUnhandledException);
}

}  // namespace pathmend::platform
