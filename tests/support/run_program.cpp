#include "tests/support/run_program.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pathmend::testing {

std::string PathmendBinary() {
  if (const char* path = std::getenv("PATHMEND_BINARY")) return path;
#ifdef PATHMEND_BINARY_PATH
  return PATHMEND_BINARY_PATH;
#else
  throw std::runtime_error("PATHMEND_BINARY is not set");
#endif
}

RunResult RunPathmend(const RunSetup& setup) {
  int outPipe[2] = {-1, -1};
  int inPipe[2] = {-1, -1};
  if (pipe(outPipe) != 0 || pipe(inPipe) != 0) throw std::runtime_error("pipe failed");
  const std::string binary = setup.binary.empty() ? PathmendBinary() : setup.binary;
  // Standard error goes to a file, read back after the end: a second pipe
  // would need both to be drained at once.
  char errPath[] = "/tmp/pathmend-stderr-XXXXXX";
  const int errFile = mkstemp(errPath);
  if (errFile < 0) throw std::runtime_error("mkstemp failed");
  unlink(errPath);

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    if (!setup.cwd.empty() && chdir(setup.cwd.c_str()) != 0) _exit(127);
    for (const auto& [name, value] : setup.env) setenv(name.c_str(), value.c_str(), 1);
    dup2(inPipe[0], 0);
    dup2(errFile, 2);
    if (!setup.stdoutPath.empty()) {
      const int fd = open(setup.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0) _exit(127);
      dup2(fd, 1);
      close(fd);
    } else {
      dup2(outPipe[1], 1);
    }
    close(inPipe[0]);
    close(inPipe[1]);
    close(outPipe[0]);
    close(outPipe[1]);
    // Descriptors inherited from the test runner (ctest keeps some open)
    // would change what the program sees, the open-file limit above all.
    for (int fd = 3; fd < 1024; ++fd) close(fd);
    if (setup.nonBlockingStdin) fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
    if (setup.closeStdin) close(0);
    if (setup.closeStdout) close(1);
    if (setup.openFileLimit >= 0) {
      rlimit limit{static_cast<rlim_t>(setup.openFileLimit),
                   static_cast<rlim_t>(setup.openFileLimit)};
      setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(binary.c_str()));
    for (const std::string& arg : setup.args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  close(inPipe[0]);
  close(outPipe[1]);
  // Standard input: the given bytes, then its end. The child may not read
  // it at all, so a broken pipe is ignored.
  signal(SIGPIPE, SIG_IGN);
  if (setup.inputDelayMs > 0) usleep(static_cast<useconds_t>(setup.inputDelayMs) * 1000);
  std::size_t offset = 0;
  while (offset < setup.input.size()) {
    const ssize_t wrote =
        write(inPipe[1], setup.input.data() + offset, setup.input.size() - offset);
    if (wrote <= 0) break;
    offset += static_cast<std::size_t>(wrote);
  }
  close(inPipe[1]);

  RunResult result;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(outPipe[0], buffer, sizeof buffer);
    if (got <= 0) break;
    result.out.append(buffer, static_cast<std::size_t>(got));
  }
  close(outPipe[0]);
  int status = 0;
  waitpid(child, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  lseek(errFile, 0, SEEK_SET);
  for (;;) {
    const ssize_t got = read(errFile, buffer, sizeof buffer);
    if (got <= 0) break;
    result.err.append(buffer, static_cast<std::size_t>(got));
  }
  close(errFile);
  return result;
}

}  // namespace pathmend::testing
