#include "runtime/fault_report.h"

namespace pathmend {

void FixedText::Append(std::string_view text) {
  for (const char c : text) {
    if (size >= room) return;
    data[size++] = c;
  }
}

void FixedText::AppendHex(std::uintptr_t value, int digits) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  char reversed[2 * sizeof value];
  int count = 0;
  do {
    reversed[count++] = kHex[value & 0xF];
    value >>= 4;
  } while (value != 0 && count < static_cast<int>(sizeof reversed));
  while (count < digits && count < static_cast<int>(sizeof reversed)) reversed[count++] = '0';
  while (count > 0) Append(std::string_view(&reversed[--count], 1));
}

std::size_t FormatFailureReport(char* out, std::size_t room, std::string_view kind,
                                std::string_view message, std::string_view module,
                                std::uintptr_t offset) {
  FixedText text{out, room < 1023 ? room : 1023};
  text.Append("Exception ");
  text.Append(kind);
  text.Append(" in module ");
  text.Append(module);
  text.Append(" at ");
  // The offset is shown in eight digits, as the report always shows it.
  text.AppendHex(offset & 0xFFFFFFFFu, 8);
  text.Append(".\r\n");
  text.Append(message);
  if (!message.empty() && message.back() != '.') text.Append(".");
  text.Append("\r\n");
  return text.size;
}

std::string_view FaultKindName(FaultKind kind) {
  switch (kind) {
    case FaultKind::AccessViolation: return "EAccessViolation";
    case FaultKind::DivByZero: return "EDivByZero";
    case FaultKind::RangeError: return "ERangeError";
    case FaultKind::IntOverflow: return "EIntOverflow";
    case FaultKind::InvalidOp: return "EInvalidOp";
    case FaultKind::ZeroDivide: return "EZeroDivide";
    case FaultKind::Overflow: return "EOverflow";
    case FaultKind::Underflow: return "EUnderflow";
    case FaultKind::Privilege: return "EPrivilege";
    case FaultKind::StackOverflow: return "EStackOverflow";
    case FaultKind::ControlC: return "EControlC";
    case FaultKind::OutOfMemory: return "EOutOfMemory";
    case FaultKind::InvalidPointer: return "EInvalidPointer";
    case FaultKind::External: break;
  }
  return "EExternalException";
}

std::size_t FormatFaultMessage(char* out, std::size_t room, const FaultInfo& fault) {
  FixedText text{out, room};
  constexpr int kPointerDigits = 2 * sizeof(void*);
  switch (fault.kind) {
    case FaultKind::AccessViolation:
      text.Append("Access violation at address ");
      text.AppendHex(fault.codeAddress, kPointerDigits);
      if (!fault.module.empty()) {
        text.Append(" in module '");
        text.Append(fault.module);
        text.Append("'");
      }
      text.Append(". ");
      text.Append(fault.write ? "Write" : "Read");
      text.Append(" of address ");
      text.AppendHex(fault.dataAddress, kPointerDigits);
      break;
    case FaultKind::DivByZero: text.Append("Division by zero"); break;
    case FaultKind::RangeError: text.Append("Range check error"); break;
    case FaultKind::IntOverflow: text.Append("Integer overflow"); break;
    case FaultKind::InvalidOp: text.Append("Invalid floating point operation"); break;
    case FaultKind::ZeroDivide: text.Append("Floating point division by zero"); break;
    case FaultKind::Overflow: text.Append("Floating point overflow"); break;
    case FaultKind::Underflow: text.Append("Floating point underflow"); break;
    case FaultKind::Privilege: text.Append("Privileged instruction"); break;
    case FaultKind::StackOverflow: text.Append("Stack overflow"); break;
    case FaultKind::ControlC: text.Append("Control-C hit"); break;
    case FaultKind::OutOfMemory: text.Append("Out of memory"); break;
    case FaultKind::InvalidPointer: text.Append("Invalid pointer operation"); break;
    case FaultKind::External:
      text.Append("External exception ");
      text.AppendHex(fault.systemCode, 1);
      break;
  }
  return text.size;
}

std::size_t FormatErrorLine(char* out, std::size_t room, std::string_view program,
                            std::string_view file, std::string_view message) {
  if (room == 0) return 0;
  FixedText text{out, room - 1};  // the line feed always fits
  text.Append(program);
  text.Append(": ");
  if (!file.empty()) {
    text.Append(file);
    text.Append(": ");
  }
  text.Append(message);
  out[text.size] = '\n';
  return text.size + 1;
}

}  // namespace pathmend
