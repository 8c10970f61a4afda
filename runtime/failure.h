// Typed failures, the pending input/output code and the failure report.
//
// A failure has a kind (the class name the user sees in the report, such as
// "EInOutError"), a message and the code address at which it was raised. It
// travels as a C++ exception to the one top-level handler (app/main.cpp) or
// to the guard around each input's track report, which discards it.
//
// File and console operations never raise by themselves: they leave a code in
// PendingIoCode, and the caller calls CheckIo right after each operation,
// which turns a pending code into an EInOutError raised at that call site.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pathmend {

struct Failure {
  std::string kind;                // class name, e.g. "EInOutError"
  std::string message;             // shown on the report's second line
  std::uintptr_t raiseOffset = 0;  // raise address minus the executable's load address
  std::int32_t ioCode = 0;         // the code an EInOutError was made from, else 0
  // For an EInOutError: the file of the failed operation (the console streams
  // by the names below), empty when not known; and the operating system's own
  // message for the error in the user's language, empty when the code is the
  // program's own or the failure belongs to a console stream.
  std::string file{};
  std::string systemMessage{};
};

// The names under which the line on standard error shows the console.
inline constexpr std::string_view kStandardOutputName = "standard output";
inline constexpr std::string_view kStandardInputName = "standard input";

// The failure kinds the program raises.
inline constexpr const char* kEInOutError = "EInOutError";
inline constexpr const char* kEConvertError = "EConvertError";
inline constexpr const char* kEInvalidOp = "EInvalidOp";
inline constexpr const char* kEZeroDivide = "EZeroDivide";
inline constexpr const char* kEOverflow = "EOverflow";

// The program's own input/output codes; other codes are the system's (Windows
// numbering, see platform/platform.h).
inline constexpr std::int32_t kIoReadBeyondEnd = 100;
inline constexpr std::int32_t kIoDiskFull = 101;
inline constexpr std::int32_t kIoFileNotOpen = 103;
inline constexpr std::int32_t kIoStdInputUnavailable = 104;
inline constexpr std::int32_t kIoNotOpenForOutput = 105;

// The one pending input/output code of the run; 0 when nothing is pending.
// Operations set it on failure; only CheckIo reads it, and reading clears it.
extern std::int32_t PendingIoCode;

// Records a failed operation's code, unless the code is 0, with the file the
// operation worked on (empty when there is none).
void SetPendingIoCode(std::int32_t code, std::string_view file = {});

// Raises an EInOutError if a code is pending; the raise address is the call
// site of CheckIo. Call it after every file operation and every console or
// text-file write statement.
void CheckIo();

// The message of an EInOutError for a code: "File not found" for 2 and so on;
// "I/O error %d" for any code not in the table.
std::string IoMessage(std::int32_t code);

// Raises a failure of the given kind; the raise address is the caller's call
// site. (Never returns.)
[[noreturn]] void RaiseFailure(const char* kind, std::string message);

// Raises an EInOutError for a code at a given code address.
[[noreturn]] void RaiseIoFailure(std::int32_t code, const void* site);

// The two report lines, "Exception <kind> in module <module> at <address>."
// and the message with its closing stop, each ending in CR LF, cut at 1023
// characters.
std::string FailureReport(const Failure& failure, const std::string& moduleName);

// The message of the line on standard error: the system's own words for the
// error when there are any, else the report's message.
inline std::string_view ErrorLineMessage(const Failure& failure) {
  return failure.systemMessage.empty() ? failure.message : failure.systemMessage;
}

}  // namespace pathmend
