// Explicit checks that stand in for the x87 exception traps.
//
// The run's arithmetic environment treats invalid operation and overflow as
// failures, raised at the operation that caused them. Instead of unmasking
// the processor's exceptions and catching a signal, the few operations where
// the program can meet such an event go through these functions, which test
// the operands and the result and raise the failure themselves:
//   EInvalidOp "Invalid floating point operation"
//   EOverflow  "Floating point overflow"
#pragma once

#include "runtime/extended.h"

namespace pathmend {

inline constexpr const char* kInvalidOpMessage = "Invalid floating point operation";
inline constexpr const char* kOverflowMessage = "Floating point overflow";

// True for a double whose bits are a signalling NaN: exponent all ones,
// fraction not zero, quiet bit (the fraction's top bit) clear.
bool IsSignallingNaN(double value);

// True for an extended value the x87 unit refuses as an operand: a signalling
// NaN (exponent all ones, integer bit set, quiet bit clear, fraction not
// zero), or an encoding without its integer bit (pseudo-NaN, pseudo-infinity,
// unnormal).
bool IsInvalidOperand(Extended value);

// Loads a double into extended (exactly), as the x87 load does: a signalling
// NaN raises EInvalidOp. The bits are inspected before any conversion, since
// converting would quieten the NaN.
Extended LoadDouble(double value);

// a + b rounded to extended. Raises EInvalidOp for an invalid operand or for
// infinities of opposite signs, EOverflow when finite operands give an
// infinite sum. Quiet NaNs pass through without a failure.
Extended AddChecked(Extended a, Extended b);

// Rounds to double (to nearest, ties to even) for storing. Raises EInvalidOp
// for an invalid operand and EOverflow when a finite value rounds to
// infinity; infinities and quiet NaNs are stored as they are.
double StoreDouble(Extended value);

}  // namespace pathmend
