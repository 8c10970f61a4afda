// The whole run in-process: one or two fuzzed input files, each output
// format, options drawn from the real option forms. Checks: the run returns 0
// or 1 (no sanitizer report, no crash), the inputs are unchanged, nothing but
// the output is created, a track log output is a header and whole records,
// and a KML output of a run that succeeded is well-formed XML.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <libxml/parser.h>

#include "app/command_line.h"
#include "app/run_driver.h"
#include "app/run_options.h"
#include "fuzz/fuzz_input.h"
#include "platform/platform.h"
#include "runtime/failure.h"
#include "runtime/text_stream.h"

namespace {

using pathmend::fuzz::FuzzReader;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) Fail("cannot write " + name);
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The folder of the run's files, given to the program by absolute names (the
// fuzzer itself keeps the working folder for its corpus and artifacts).
std::string& WorkFolder() {
  static std::string folder;
  return folder;
}

std::string Path(const std::string& name) { return WorkFolder() + name; }

std::set<std::string> FolderEntries() {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(WorkFolder())) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// libxml2 reports errors through this; any error makes the document bad.
void CountXmlError(void* context, const char*, ...) { ++*static_cast<int*>(context); }

bool WellFormedXml(const std::string& text) {
  int errors = 0;
  xmlSetGenericErrorFunc(&errors, CountXmlError);
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "out.kml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  const bool ok = doc != nullptr && errors == 0;
  xmlFreeDoc(doc);
  return ok;
}

// Descriptors a failed run leaves open (the program does not close its files
// when a failure ends the run; the process's end does that). The target
// closes them, so that thousands of runs in one process do not exhaust the
// descriptor table.
constexpr int kFdWindow = 16;
struct FdSnapshot {
  int lowest = 0;
  bool open[kFdWindow] = {};
};

FdSnapshot TakeFds() {
  FdSnapshot snapshot;
  snapshot.lowest = ::dup(0);
  ::close(snapshot.lowest);
  for (int i = 0; i < kFdWindow; ++i)
    snapshot.open[i] = ::fcntl(snapshot.lowest + i, F_GETFD) != -1;
  return snapshot;
}

void CloseLeftOpen(const FdSnapshot& before) {
  for (int i = 0; i < kFdWindow; ++i) {
    if (!before.open[i] && ::fcntl(before.lowest + i, F_GETFD) != -1) ::close(before.lowest + i);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Console text goes to /dev/null, and the final wait for Enter reads the
  // end of /dev/null at once. Files live in a folder of the process's own,
  // in memory where possible.
  const int null = ::open("/dev/null", O_RDWR);
  ::dup2(null, 0);
  ::dup2(null, 1);
  ::close(null);
  const char* base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
  std::string folder = std::string(base) + "/pathmend-fuzz-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) Fail("no work folder");
  WorkFolder() = folder + "/";
  std::atexit([] { std::filesystem::remove_all(WorkFolder()); });
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  xmlInitParser();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzReader in(data, size);
  const pathmend::fuzz::RunCase c = pathmend::fuzz::ReadRunCase(in);

  for (const auto& entry : FolderEntries()) std::filesystem::remove(Path(entry));
  WriteFile(Path("a.trk"), c.first);
  if (c.twoInputs) WriteFile(Path("b.trk"), c.second);
  std::vector<std::string> arguments = c.options;
  arguments.push_back(Path("a.trk"));
  if (c.twoInputs) arguments.push_back(Path("b.trk"));
  arguments.push_back(Path("out.dat"));
  // Which file the run writes follows from the options as the program reads
  // them: a fuzzed option may name an existing folder and so end the options
  // before the format option.
  pathmend::Arguments parsedArguments;
  parsedArguments.items = arguments;
  const pathmend::OutputFormat format = pathmend::FormatOf(
      pathmend::ParseOptions(parsedArguments, pathmend::platform::PathExists).options);
  const std::string outputName = format == pathmend::OutputFormat::Kml       ? "out.kml"
                                 : format == pathmend::OutputFormat::GtmText ? "out.txt"
                                                                             : "out.dat";

  // The state a process starts with: a closed console stream, nothing
  // pending.
  pathmend::Console = pathmend::TextStream{};
  pathmend::Console.console = true;
  pathmend::PendingIoCode = 0;
  const FdSnapshot fds = TakeFds();
  const int result = pathmend::RunProgram(arguments);
  CloseLeftOpen(fds);

  if (result != 0 && result != 1) Fail("exit code " + std::to_string(result));
  if (ReadFile(Path("a.trk")) != c.first) Fail("first input changed");
  if (c.twoInputs && ReadFile(Path("b.trk")) != c.second) Fail("second input changed");
  std::set<std::string> expected = {"a.trk", outputName};
  if (c.twoInputs) expected.insert("b.trk");
  for (const auto& name : FolderEntries()) {
    if (expected.count(name) == 0) Fail("unexpected file " + name);
  }
  if (!std::filesystem::exists(Path(outputName))) {
    if (result == 0) Fail("a run that succeeded left no output");
    return 0;
  }
  const std::string output = ReadFile(Path(outputName));
  if (format == pathmend::OutputFormat::TrackLog) {
    if (output.size() < 96 || (output.size() - 96) % 20 != 0) {
      Fail("track log output of " + std::to_string(output.size()) + " bytes");
    }
    const std::size_t inputRecords =
        (c.first.size() >= 96 ? (c.first.size() - 96) / 20 : 0) +
        (c.twoInputs && c.second.size() >= 96 ? (c.second.size() - 96) / 20 : 0);
    if ((output.size() - 96) / 20 > inputRecords) Fail("more records out than in");
  } else if (format == pathmend::OutputFormat::Kml && result == 0 && !WellFormedXml(output)) {
    Fail("KML output is not well-formed XML");
  }
  return 0;
}
