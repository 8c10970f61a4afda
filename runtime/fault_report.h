// The failure report written without allocating memory: for a processor
// fault, reported from a signal handler or an exception filter where the
// heap may be in any state, and for an exhausted heap.
//
// Everything here writes into a caller's fixed buffer with plain loops, so
// it is safe to call from an asynchronous signal handler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/fault_handler.h"

namespace pathmend {

// A text built in a fixed buffer; appends beyond its room are cut.
struct FixedText {
  char* data;
  std::size_t room;
  std::size_t size = 0;

  void Append(std::string_view text);
  // Upper-case hexadecimal with at least `digits` digits (leading zeros).
  void AppendHex(std::uintptr_t value, int digits);
};

// The two report lines, "Exception <kind> in module <module> at <offset>."
// and the message with its closing stop, each ending in CR LF, cut at 1023
// bytes: the same bytes as FailureReport. Returns the length written.
std::size_t FormatFailureReport(char* out, std::size_t room, std::string_view kind,
                                std::string_view message, std::string_view module,
                                std::uintptr_t offset);

// The line for standard error, in the form other commands use:
// "program: file: message\n", or "program: message\n" when no file is known;
// cut to fit `room` with its line feed kept. Returns the length written.
std::size_t FormatErrorLine(char* out, std::size_t room, std::string_view program,
                            std::string_view file, std::string_view message);

using platform::FaultInfo;
using platform::FaultKind;

// The class name of a fault's kind, such as "EAccessViolation".
std::string_view FaultKindName(FaultKind kind);

// The message of a fault: "Access violation at address 0040A1B2 in module
// 'pathmend.exe'. Read of address 00000000", "Division by zero", and so on.
// Addresses are absolute, in as many upper-case hexadecimal digits as a
// pointer has (8 on a 32-bit system, 16 on a 64-bit one).
std::size_t FormatFaultMessage(char* out, std::size_t room, const FaultInfo& fault);

}  // namespace pathmend
