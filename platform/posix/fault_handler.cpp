// POSIX backend of the fault handling: SIGSEGV, SIGBUS, SIGFPE and SIGILL
// caught on an alternate signal stack (a stack overflow leaves no stack to
// run a handler on), described as the Windows system would describe them,
// and handed to the reporter; then the process ends with exit code 1.
//
// The handler uses async-signal-safe calls only: it reads the signal's
// information and the interrupted registers, compares addresses with limits
// taken at installation, and calls _exit.

#include <pthread.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/fault_handler.h"
#include "platform/platform.h"

// The executable's image: its ELF header and the end of its code.
extern "C" const char __ehdr_start[]  // NOLINT(bugprone-reserved-identifier): the linker's name
    __attribute__((visibility("hidden")));
extern "C" const char etext[];  // the linker's name for the end of the code

namespace pathmend::platform {

namespace {

FaultReporter reporter = nullptr;

// The alternate stack the handler runs on.
alignas(16) char alternateStack[64 * 1024];

// The executable's file name, for faults inside its code.
char executableName[256];
std::size_t executableNameSize = 0;

// The main thread's stack: its top, and how far down it may grow (its
// limit, with the gap the kernel keeps below it).
std::uintptr_t stackTop = 0;
std::uintptr_t stackFloor = 0;

// The main thread's stack as the C library sees it: its lowest address
// (the limit it may grow to) and its size. False when it cannot tell.
bool ReadStack(std::uintptr_t& low, std::uintptr_t& size) {
  pthread_attr_t attributes;
  if (::pthread_getattr_np(::pthread_self(), &attributes) != 0) return false;
  void* address = nullptr;
  std::size_t bytes = 0;
  const bool known = ::pthread_attr_getstack(&attributes, &address, &bytes) == 0;
  ::pthread_attr_destroy(&attributes);
  low = reinterpret_cast<std::uintptr_t>(address);
  size = bytes;
  return known;
}

bool InExecutable(std::uintptr_t address) {
  return address >= reinterpret_cast<std::uintptr_t>(__ehdr_start) &&
         address < reinterpret_cast<std::uintptr_t>(etext);
}

// The interrupted instruction's address and, for a page fault, whether it
// was a write (bit 1 of the x86 page-fault error code).
void ReadRegisters(const void* context, std::uintptr_t& code, bool& write, std::uintptr_t& sp) {
  const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
  code = static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]);
  sp = static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]);
  write = (uc->uc_mcontext.gregs[REG_ERR] & 2) != 0;
#elif defined(__i386__)
  code = static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_EIP]);
  sp = static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_ESP]);
  write = (uc->uc_mcontext.gregs[REG_ERR] & 2) != 0;
#else
  (void)uc;
  code = 0;
  sp = 0;
  write = false;
#endif
}

// A fault touching the stack's guard region, or just below the interrupted
// stack pointer, is a stack overflow.
bool StackOverflowAt(std::uintptr_t address, std::uintptr_t sp) {
  if (stackTop != 0 && address < stackTop && address >= stackFloor) return true;
  return sp != 0 && address <= sp + 256 && address + std::uintptr_t{64 * 1024} >= sp;
}

FaultKind KindOf(int signal, int code) {
  switch (signal) {
    case SIGFPE:
      switch (code) {
        case FPE_INTDIV: return FaultKind::DivByZero;
        case FPE_INTOVF: return FaultKind::IntOverflow;
        case FPE_FLTDIV: return FaultKind::ZeroDivide;
        case FPE_FLTOVF: return FaultKind::Overflow;
        case FPE_FLTUND: return FaultKind::Underflow;
        case FPE_FLTSUB: return FaultKind::RangeError;
        default: return FaultKind::InvalidOp;  // invalid operation, inexact result
      }
    case SIGILL:
      return code == ILL_PRVOPC || code == ILL_PRVREG ? FaultKind::Privilege : FaultKind::External;
    default: return FaultKind::AccessViolation;  // SIGSEGV, SIGBUS
  }
}

void OnFault(int signal, siginfo_t* info, void* context) {
  FaultInfo fault;
  std::uintptr_t sp = 0;
  ReadRegisters(context, fault.codeAddress, fault.write, sp);
  fault.kind = KindOf(signal, info->si_code);
  if (fault.kind == FaultKind::AccessViolation) {
    fault.dataAddress = reinterpret_cast<std::uintptr_t>(info->si_addr);
    if (signal == SIGSEGV && StackOverflowAt(fault.dataAddress, sp))
      fault.kind = FaultKind::StackOverflow;
  }
  // The Windows code of an illegal instruction, so that the report reads as
  // it does there.
  if (fault.kind == FaultKind::External) fault.systemCode = 0xC000001D;
  if (InExecutable(fault.codeAddress))
    fault.module = std::string_view(executableName, executableNameSize);
  if (reporter != nullptr) reporter(fault);
  ::_exit(1);
}

}  // namespace

void InstallFaultHandler(FaultReporter report) {
  reporter = report;
  const std::string name = ExecutableName();
  executableNameSize = name.size() < sizeof executableName ? name.size() : sizeof executableName;
  std::memcpy(executableName, name.data(), executableNameSize);

  // Below the stack's lowest address the kernel keeps a guard gap; a fault
  // there, or anywhere in the stack's range, is a stack overflow.
  std::uintptr_t low = 0;
  std::uintptr_t size = 0;
  if (ReadStack(low, size)) {
    const std::uintptr_t gap = std::uintptr_t{1} << 20;
    stackTop = low + size;
    stackFloor = low > gap ? low - gap : 0;
  }

  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  ::sigaltstack(&stack, nullptr);

  struct sigaction action {};
  action.sa_sigaction = OnFault;
  action.sa_flags = static_cast<int>(SA_SIGINFO | SA_ONSTACK | SA_RESETHAND);
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) ::sigaction(signal, &action, nullptr);
}

}  // namespace pathmend::platform
