#include "tests/support/run_program.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

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

bool WindowsMode() {
  const char* exe = std::getenv("PATHMEND_WINDOWS_EXE");
  return exe != nullptr && *exe != '\0';
}

std::string QuoteCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) {
    if (arg.find('"') != std::string::npos) {
      throw std::runtime_error("no Windows command line carries a double quote: " + arg);
    }
    bool quote = arg.empty();
    for (const char c : arg) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte >= 1 && byte <= 32) quote = true;
    }
    line += ' ';
    line += quote ? '"' + arg + '"' : arg;
  }
  return line;
}

namespace {

// A Linux path as Wine's drive Z: shows it.
std::string WindowsPath(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

std::string Required(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0')
    throw std::runtime_error(std::string(name) + " is not set");
  return value;
}

}  // namespace

namespace {

RunResult RunOnce(const RunSetup& setup) {
  int outPipe[2] = {-1, -1};
  int inPipe[2] = {-1, -1};
  if (pipe(outPipe) != 0 || pipe(inPipe) != 0) throw std::runtime_error("pipe failed");
  const bool windows = WindowsMode() && !setup.linuxBuild;
  std::vector<std::string> command;
  std::vector<std::pair<std::string, std::string>> env = setup.env;
  if (windows) {
    if (!setup.binary.empty() || setup.openFileLimit >= 0 || setup.nonBlockingStdin) {
      throw std::runtime_error("this setup needs Linux: skip the test in Windows mode");
    }
    // The program name as a command prompt gives it, then the arguments.
    const std::string exe = Required("PATHMEND_WINDOWS_EXE");
    const std::string line =
        "pathmend.exe" +
        (setup.commandLine.empty() ? QuoteCommandLine(setup.args) : " " + setup.commandLine);
    command = {"wine", Required("PATHMEND_WINDOWS_LAUNCHER")};
    env.emplace_back("PATHMEND_LAUNCH_EXE", WindowsPath(exe));
    env.emplace_back("PATHMEND_LAUNCH_LINE", Hex(line));
    env.emplace_back("PATHMEND_LAUNCH_STDIN", setup.closeStdin ? "none" : "inherit");
    env.emplace_back("PATHMEND_LAUNCH_STDOUT", setup.closeStdout ? "none" : "inherit");
  } else {
    command.push_back(setup.binary.empty() ? PathmendBinary() : setup.binary);
    command.insert(command.end(), setup.args.begin(), setup.args.end());
  }
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
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
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
    if (!windows && setup.closeStdin) close(0);
    if (!windows && setup.closeStdout) close(1);
    if (setup.openFileLimit >= 0) {
      rlimit limit{static_cast<rlim_t>(setup.openFileLimit),
                   static_cast<rlim_t>(setup.openFileLimit)};
      setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
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

}  // namespace

RunResult RunPathmend(const RunSetup& setup) {
  RunResult result = RunOnce(setup);
  // Wine now and then fails to start the launcher, or the launcher's
  // CreateProcessA fails, while other processes start in the same prefix (the
  // two test shards run at once; the locale tests switch its locale). The
  // program never ran then: it printed nothing, and the start is tried again.
  const auto neverStarted = [&](const RunResult& run) {
    return WindowsMode() && !setup.linuxBuild && run.out.empty() &&
           (run.err.find("ShellExecuteEx failed") != std::string::npos ||
            run.err.find("launcher: CreateProcessA failed") != std::string::npos);
  };
  for (int retry = 0; retry < 2 && neverStarted(result); ++retry) result = RunOnce(setup);
  return result;
}

}  // namespace pathmend::testing
