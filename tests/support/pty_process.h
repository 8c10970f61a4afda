// Runs a program with a pseudo-terminal as its standard input, output and
// error, as a user at a console would, for the end-to-end tests that compare
// the console text on a terminal with the text on a pipe or in a file.
//
// The terminal is put in raw mode before the program starts: no echo of the
// bytes sent to it, no line editing, and no output processing (a "\n" is not
// turned into "\r\n"), so the bytes read from it are the program's bytes.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace pathmend::testing {

struct PtySetup {
  std::string binary;                                    // the program to run
  std::vector<std::string> args;                         // after the program name
  std::string cwd;                                       // working folder; empty: inherit
  std::vector<std::pair<std::string, std::string>> env;  // set in this order
};

class PtyProcess {
 public:
  explicit PtyProcess(const PtySetup& setup);
  ~PtyProcess();  // ends the child if it still runs
  PtyProcess(const PtyProcess&) = delete;
  PtyProcess& operator=(const PtyProcess&) = delete;

  // Reads the program's output until it contains `marker`, the terminal
  // closes, or `timeoutMs` passes. True when the marker was seen.
  bool ReadUntil(const std::string& marker, int timeoutMs);
  // True when the child is still running after `waitMs`.
  bool StillRunningAfter(int waitMs);
  // Types bytes at the terminal.
  void Send(const std::string& bytes);
  // Reads to the end of the output and waits for the child; returns its exit
  // code, or -1 when it did not exit normally.
  int Finish();

  const std::string& out() const { return out_; }

 private:
  // One read of whatever the terminal holds within `timeoutMs`. Closed: every
  // copy of the terminal's other side is gone.
  enum class ReadState { Data, Nothing, Closed };
  ReadState ReadSome(int timeoutMs);

  int master_ = -1;
  pid_t child_ = -1;
  bool exited_ = false;
  int status_ = 0;
  std::string out_;
};

// Runs the program to its end under a terminal, with `input` typed at it
// right away; returns the exit code and the output.
struct PtyResult {
  int exitCode = -1;
  std::string out;
};
PtyResult RunUnderPty(const PtySetup& setup, const std::string& input = std::string());

}  // namespace pathmend::testing
