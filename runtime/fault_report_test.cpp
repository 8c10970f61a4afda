#include "runtime/fault_report.h"

#include <string>

#include <gtest/gtest.h>

#include "runtime/failure.h"

namespace pathmend {
namespace {

std::string Message(const FaultInfo& fault) {
  char text[512];
  return {text, FormatFaultMessage(text, sizeof text, fault)};
}

// Pointers are shown in full width: 16 digits on a 64-bit build.
std::string Pointer(const char* low8) { return std::string(2 * sizeof(void*) - 8, '0') + low8; }

TEST(FaultReport, AccessViolationNamesBothAddressesAndTheModule) {
  FaultInfo fault;
  fault.kind = FaultKind::AccessViolation;
  fault.codeAddress = 0x0040A1B2;
  fault.dataAddress = 0;
  fault.module = "pathmend.exe";
  EXPECT_EQ(Message(fault), "Access violation at address " + Pointer("0040A1B2") +
                                " in module 'pathmend.exe'. Read of address " +
                                Pointer("00000000"));
  fault.write = true;
  fault.module = {};
  fault.dataAddress = 0xDEADBEEF;
  EXPECT_EQ(Message(fault), "Access violation at address " + Pointer("0040A1B2") +
                                ". Write of address " + Pointer("DEADBEEF"));
}

TEST(FaultReport, KindsAndMessages) {
  struct Row {
    FaultKind kind;
    const char* name;
    const char* message;
  };
  const Row rows[] = {
      {FaultKind::DivByZero, "EDivByZero", "Division by zero"},
      {FaultKind::RangeError, "ERangeError", "Range check error"},
      {FaultKind::IntOverflow, "EIntOverflow", "Integer overflow"},
      {FaultKind::InvalidOp, "EInvalidOp", "Invalid floating point operation"},
      {FaultKind::ZeroDivide, "EZeroDivide", "Floating point division by zero"},
      {FaultKind::Overflow, "EOverflow", "Floating point overflow"},
      {FaultKind::Underflow, "EUnderflow", "Floating point underflow"},
      {FaultKind::Privilege, "EPrivilege", "Privileged instruction"},
      {FaultKind::StackOverflow, "EStackOverflow", "Stack overflow"},
      {FaultKind::ControlC, "EControlC", "Control-C hit"},
      {FaultKind::OutOfMemory, "EOutOfMemory", "Out of memory"},
      {FaultKind::InvalidPointer, "EInvalidPointer", "Invalid pointer operation"},
  };
  for (const Row& row : rows) {
    FaultInfo fault;
    fault.kind = row.kind;
    EXPECT_EQ(FaultKindName(row.kind), row.name);
    EXPECT_EQ(Message(fault), row.message);
  }
}

TEST(FaultReport, ExternalExceptionShowsItsCodeWithoutLeadingZeros) {
  FaultInfo fault;
  fault.kind = FaultKind::External;
  fault.systemCode = 0xC000001D;
  EXPECT_EQ(FaultKindName(fault.kind), "EExternalException");
  EXPECT_EQ(Message(fault), "External exception C000001D");
  fault.systemCode = 0x1A;
  EXPECT_EQ(Message(fault), "External exception 1A");
}

TEST(FaultReport, FixedBufferReportMatchesTheReportText) {
  char text[1023];
  const std::size_t size = FormatFailureReport(text, sizeof text, "EStackOverflow",
                                               "Stack overflow", "pathmend", 0x1234);
  EXPECT_EQ(std::string(text, size),
            FailureReport(Failure{"EStackOverflow", "Stack overflow", 0x1234, 0}, "pathmend"));
  EXPECT_EQ(std::string(text, size),
            "Exception EStackOverflow in module pathmend at 00001234.\r\nStack overflow.\r\n");
  // A buffer too small cuts the text instead of overrunning.
  char small[10];
  EXPECT_EQ(FormatFailureReport(small, sizeof small, "E", "m", "x", 0), sizeof small);
}

}  // namespace
}  // namespace pathmend
