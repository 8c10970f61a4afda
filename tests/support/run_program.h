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
  // Windows mode only: the exact command line after the program name, used
  // instead of `args` (which are quoted by the command-line rule).
  std::string commandLine;
  // Run the Linux build even in Windows mode (the differential test).
  bool linuxBuild = false;
};

struct RunResult {
  int exitCode = -1;  // -1 when the child did not exit normally
  std::string out;    // standard output (empty when sent to a file or closed)
  std::string err;    // standard error
};

RunResult RunPathmend(const RunSetup& setup);

// The path of the pathmend binary under test.
std::string PathmendBinary();

// Windows mode: when PATHMEND_WINDOWS_EXE names a pathmend.exe (and
// PATHMEND_WINDOWS_LAUNCHER the launcher built with it), RunPathmend starts
// that exe under Wine through the launcher, which makes the CreateProcessA
// call with an exact command line and with the standard handles asked for
// (closeStdin and closeStdout give a process without them). Setups that
// need Linux itself (a binary of their own, open-file limits, non-blocking
// descriptors) cannot run there: their tests skip.
bool WindowsMode();

// The command line that hands `args` over unchanged under the Windows rule:
// an argument that is empty or holds a separator (bytes 1 to 32) is put in
// double quotes. Throws for an argument with a double quote, which the rule
// cannot carry.
std::string QuoteCommandLine(const std::vector<std::string>& args);

}  // namespace pathmend::testing
