#include "tests/support/pty_process.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

namespace pathmend::testing {

PtyProcess::PtyProcess(const PtySetup& setup) {
  int slave = -1;
  if (openpty(&master_, &slave, nullptr, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  termios mode{};
  if (tcgetattr(slave, &mode) != 0) throw std::runtime_error("tcgetattr failed");
  cfmakeraw(&mode);  // clears OPOST among the rest
  if (tcsetattr(slave, TCSANOW, &mode) != 0) throw std::runtime_error("tcsetattr failed");

  child_ = fork();
  if (child_ < 0) throw std::runtime_error("fork failed");
  if (child_ == 0) {
    close(master_);
    if (login_tty(slave) != 0) _exit(127);
    if (!setup.cwd.empty() && chdir(setup.cwd.c_str()) != 0) _exit(127);
    for (const auto& [name, value] : setup.env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(setup.binary.c_str()));
    for (const std::string& arg : setup.args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(setup.binary.c_str(), argv.data());
    _exit(127);
  }
  close(slave);
}

PtyProcess::~PtyProcess() {
  if (child_ > 0 && !exited_) {
    kill(child_, SIGKILL);
    waitpid(child_, &status_, 0);
  }
  if (master_ >= 0) close(master_);
}

PtyProcess::ReadState PtyProcess::ReadSome(int timeoutMs) {
  pollfd ready{master_, POLLIN, 0};
  const int polled = poll(&ready, 1, timeoutMs);
  if (polled < 0 && errno == EINTR) return ReadState::Nothing;
  if (polled <= 0) return ReadState::Nothing;
  char buffer[4096];
  const ssize_t got = read(master_, buffer, sizeof buffer);
  if (got < 0 && errno == EINTR) return ReadState::Nothing;
  // Linux answers EIO once the child side has closed the terminal.
  if (got <= 0) return ReadState::Closed;
  out_.append(buffer, static_cast<std::size_t>(got));
  return ReadState::Data;
}

bool PtyProcess::ReadUntil(const std::string& marker, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (out_.find(marker) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    if (ReadSome(static_cast<int>(left.count())) == ReadState::Closed) {
      return out_.find(marker) != std::string::npos;
    }
  }
  return true;
}

bool PtyProcess::StillRunningAfter(int waitMs) {
  std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
  if (exited_) return false;
  const pid_t done = waitpid(child_, &status_, WNOHANG);
  if (done == child_) exited_ = true;
  return !exited_;
}

void PtyProcess::Send(const std::string& bytes) {
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    const ssize_t wrote = write(master_, bytes.data() + offset, bytes.size() - offset);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) throw std::runtime_error("write to the terminal failed");
    offset += static_cast<std::size_t>(wrote);
  }
}

int PtyProcess::Finish() {
  // The terminal closes when the child and everything it started are gone.
  // A child that prints nothing for a minute is taken as hung and ended.
  for (;;) {
    const ReadState state = ReadSome(60000);
    if (state == ReadState::Closed) break;
    if (state == ReadState::Nothing) {
      if (!exited_) kill(child_, SIGKILL);
      break;
    }
  }
  if (!exited_) {
    waitpid(child_, &status_, 0);
    exited_ = true;
  }
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

PtyResult RunUnderPty(const PtySetup& setup, const std::string& input) {
  PtyProcess process(setup);
  if (!input.empty()) process.Send(input);
  PtyResult result;
  result.exitCode = process.Finish();
  result.out = process.out();
  return result;
}

}  // namespace pathmend::testing
