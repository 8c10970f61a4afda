// The program's main routine: one pass over the inputs, point by point, with
// every saved point written to the one output as soon as it is read.
#pragma once

#include <string>
#include <vector>

namespace pathmend {

// Runs the program on its arguments (the program name not included) and
// returns the exit code: 0 when the run completes, 1 when it ends on a
// reported failure.
int RunProgram(const std::vector<std::string>& arguments);

// The process entry point: start-up, the run under the top-level handler,
// the failure report and the exit code.
int Main(int argc, char** argv);

}  // namespace pathmend
