// Runs the built pathmend binary in a child process for end-to-end tests and
// captures its standard output, standard error and exit code.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace pathmend::testing {

struct RunSetup {
  std::vector<std::string> args;  // after the program name
  std::string cwd;                // working folder; empty: inherit
  std::string input;              // bytes on standard input (a pipe)
  bool closeStdin = false;        // start with standard input closed
  bool closeStdout = false;       // start with standard output closed
  std::string stdoutPath;         // send standard output to this file instead of a pipe
  int openFileLimit = -1;         // RLIMIT_NOFILE for the child, -1: unchanged
  bool nonBlockingStdin = false;  // hand the child its standard input in non-blocking mode
  int inputDelayMs = 0;           // wait this long before sending `input`
  std::vector<std::pair<std::string, std::string>> env;  // variables to set
  std::string binary;                                    // default: the pathmend under test
};

struct RunResult {
  int exitCode = -1;  // -1 when the child did not exit normally
  std::string out;    // standard output (empty when sent to a file or closed)
  std::string err;    // standard error
};

RunResult RunPathmend(const RunSetup& setup);

// The path of the pathmend binary under test.
std::string PathmendBinary();

}  // namespace pathmend::testing
