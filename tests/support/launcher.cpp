// Starts pathmend.exe under Wine the way a Windows command prompt would, for
// the end-to-end tests: with an exact command line and with chosen, or
// absent, standard handles. Started from Linux, Wine would rebuild a command
// line from Linux argv with its own quoting, and a standard handle closed on
// the Linux side would not be missing on the Windows side; a process that
// makes the CreateProcessA call itself gives both for real.
//
// Everything comes in environment variables, so that Wine changes nothing
// on the way (the command line is hexadecimal, two digits a byte):
//   PATHMEND_LAUNCH_EXE    the program to start (a Windows path)
//   PATHMEND_LAUNCH_LINE   the command line, program name first, in hex
//   PATHMEND_LAUNCH_STDIN  "none": no standard input; else the launcher's own
//   PATHMEND_LAUNCH_STDOUT "none": no standard output; else the launcher's own
// The launcher's exit code is the program's; 125 when it could not start it.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool FromHex(const std::string& hex, std::string& bytes) {
  if (hex.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

// The launcher's own standard handle, inheritable, or NULL for "none".
HANDLE Passed(DWORD which, const char* variable) {
  if (Variable(variable) == "none") return nullptr;
  const HANDLE handle = ::GetStdHandle(which);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
    ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  return handle;
}

}  // namespace

int main() {
  const std::string exe = Variable("PATHMEND_LAUNCH_EXE");
  std::string line;
  if (exe.empty() || !FromHex(Variable("PATHMEND_LAUNCH_LINE"), line)) {
    std::fputs("launcher: PATHMEND_LAUNCH_EXE and PATHMEND_LAUNCH_LINE (hex) are needed\n", stderr);
    return 125;
  }
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Passed(STD_INPUT_HANDLE, "PATHMEND_LAUNCH_STDIN");
  startup.hStdOutput = Passed(STD_OUTPUT_HANDLE, "PATHMEND_LAUNCH_STDOUT");
  startup.hStdError = Passed(STD_ERROR_HANDLE, "PATHMEND_LAUNCH_STDERR");
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
    std::fprintf(stderr, "launcher: CreateProcessA failed with %lu\n", ::GetLastError());
    return 125;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 125;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
