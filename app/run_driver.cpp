#include "app/run_driver.h"

#include <cstring>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/output_writer.h"
#include "app/progress.h"
#include "geo/locale_formats.h"
#include "platform/fault_handler.h"
#include "platform/platform.h"
#include "process/length_summary.h"
#include "process/run_totals.h"
#include "report/point_trace.h"
#include "report/track_report.h"
#include "runtime/failure.h"
#include "runtime/fault_report.h"
#include "runtime/number_text.h"
#include "runtime/text_stream.h"
#include "tracklog/track_log.h"

namespace pathmend {

namespace {

constexpr std::string_view kSeparator = "- - - - - - - - - - - - -";

// Creating the output empties it. When it is one of the inputs (the same
// argument, or the same file through another path, a hard link or a
// symbolic link), the run stops before anything is created.
// The name compared is the one the format's writer will create.
void RefuseOutputOverInput(const Arguments& arguments, std::size_t firstInput,
                           const OutputWriter& writer) {
  const std::size_t count = arguments.Count();
  const std::string written = writer.fileName(arguments[count]);
  // With no input between the options and the output, the first input is
  // the output argument itself.
  const std::size_t lastInput = firstInput < count ? count - 1 : firstInput;
  for (std::size_t i = firstInput; i <= lastInput; ++i) {
    const std::string& input = arguments[i];
    if (input == written || platform::SameFile(input, written)) {
      RaiseFailure(kEInOutError, "Output file " + written + " is also input file " + input +
                                     "; nothing was written");
    }
  }
}

// The state of the one pass.
struct Run {
  Arguments arguments;
  ParsedOptions parsed;
  const OutputWriter* writer = &WriterFor(OutputFormat::TrackLog);
  TrackHeader header;  // first the output's template, then each input's header
  TrackPoint point;
  TrackPoint savedPoint;
  std::int32_t pointNumber = 0;
  RunTotals totals;
  LegCache legs;
  Output output;
  Progress progress;  // the progress line on a terminal's standard error
};

const RunOptions& Options(const Run& run) { return run.parsed.options; }

void OpenOutput(Run& run) {
  const OutputWriter& writer = *run.writer;
  ConsoleLine(writer.consoleLine);
  const std::string name = writer.fileName(run.arguments[run.arguments.Count()]);
  writer.open(run.output, name, run.header, Options(run));
}

void CloseOutput(Run& run) { run.writer->close(run.output, run.header, run.totals); }

bool SaveTest(const Run& run) {
  const RunOptions& options = Options(run);
  if (run.totals.filesRead != 1) return true;
  return (options.First == -1 || run.pointNumber >= options.First) &&
         (options.Last == -1 || run.pointNumber <= options.Last);
}

void SavePoint(Run& run) {
  AddLeg(run.totals, run.point, run.savedPoint, run.legs);
  run.savedPoint = run.point;
  ++run.totals.pointsSaved;
  run.writer->writePoint(run.output, run.savedPoint, run.totals.filesRead);
}

ReportedChanges ChangesOf(const RunOptions& options) {
  ReportedChanges changes;
  changes.renamed = RenameGiven(options);
  if (changes.renamed) changes.newName = options.Rename;
  changes.newType = options.NewType;
  changes.first = options.First;
  changes.last = options.Last;
  return changes;
}

void ReadInput(Run& run, const std::string& name) {
  const bool verbose = Options(run).Verbose;
  const bool salvage = Options(run).Salvage;
  TrackFile input = OpenTrackInput(name);
  run.header = ReadHeader(input);
  ++run.totals.filesRead;
  // The program's only guard: a failure anywhere in the report ends the
  // block silently, and the run goes on with the separator line.
  try {
    ReportTrack(name, run.totals.filesRead, run.header, ChangesOf(Options(run)));
  } catch (...) {
    PendingIoCode = 0;
  }
  // With /s a record cut in half at the end is left out, and the block says
  // so outside the guard, so that the line shows even after a report that a
  // failure ended early.
  if (salvage) {
    const std::uint64_t partial = PartialRecordBytes(input);
    if (partial != 0) {
      ConsoleLine("  -> Cut Record Left Out: " +
                  UnsignedDecimal(static_cast<std::uint32_t>(partial)) + " bytes");
    }
  }
  ConsoleLine(kSeparator);
  run.point = TrackPoint{};
  run.savedPoint = TrackPoint{};
  while (salvage ? !AtLastWholeRecord(input) : !AtEnd(input)) {
    ++run.pointNumber;
    run.point = ReadPoint(input);
    ProgressPoint(run.progress, run.pointNumber, run.totals.filesRead, input.position);
    if (verbose) TraceStart(run.pointNumber);
    if (SaveTest(run)) {
      SavePoint(run);
      if (verbose) TraceSaved(run.totals.pointsSaved);
    }
    if (verbose) TraceFinish(run.point, run.totals.lengthMeasured);
  }
  ClearProgress(run.progress);  // the console report goes on on the same terminal
  if (verbose) ConsoleLine(kSeparator);
  AddAnnounced(run.totals, run.header);
  CloseTrackFile(input);
}

// Waits for the user to press Enter: reads standard input up to and
// including the first line feed, or to its end.
void WaitForEnter() {
  const platform::Handle input = platform::StandardInput();
  SetPendingIoCode(
      input == platform::kInvalidHandle ? kIoStdInputUnavailable : platform::ReadLine(input),
      kStandardInputName);
  CheckIo();
}

void RunSteps(Run& run) {
  PrintBanner();
  const std::size_t count = run.arguments.Count();
  if (count < 2) {
    PrintUsage();
    return;
  }
  run.parsed = ParseOptions(run.arguments, platform::PathExists);
  run.writer = &WriterFor(FormatOf(Options(run)));
  RefuseOutputOverInput(run.arguments, run.parsed.firstInput, *run.writer);

  TrackFile first = OpenTrackInput(run.arguments[run.parsed.firstInput]);
  run.header = ReadHeader(first);
  CloseTrackFile(first);

  OpenOutput(run);
  ConsoleLine("");

  std::vector<std::string> inputs;
  for (std::size_t i = run.parsed.firstInput; i < count; ++i) inputs.push_back(run.arguments[i]);
  StartProgress(run.progress, std::move(inputs), Options(run).Verbose);
  run.pointNumber = 0;
  run.totals.filesRead = 0;
  run.totals.pointsSaved = 0;
  run.totals.lengthMeasured = 0.0;
  for (std::size_t i = run.parsed.firstInput; i < count; ++i) ReadInput(run, run.arguments[i]);

  SummaryAndRepair(run.totals, run.writer->repaired(run.output));
  CloseOutput(run);

  if (Options(run).Verbose) {
    ConsoleLine("");
    ConsoleLine("Ready.");
    WaitForEnter();
  }
}

// The executable's file name, taken once at start-up: the reports are
// written without allocating memory, so that an exhausted heap or a fault
// of the processor can be reported too.
char moduleName[256] = "pathmend";
std::size_t moduleNameSize = 8;

void TakeModuleName() {
  const std::string name = platform::ExecutableName();
  moduleNameSize = name.size() < sizeof moduleName ? name.size() : sizeof moduleName;
  std::memcpy(moduleName, name.data(), moduleNameSize);
}

std::string_view ModuleName() { return {moduleName, moduleNameSize}; }

// Writes the report lines and an empty line to standard output. Errors of
// these writes are ignored: there is nowhere left to report them.
void WriteReport(std::string_view kind, std::string_view message, std::uintptr_t offset) {
  const platform::Handle out = platform::StandardOutput();
  if (out == platform::kInvalidHandle) return;
  char report[1023];
  const std::size_t size =
      FormatFailureReport(report, sizeof report, kind, message, ModuleName(), offset);
  std::size_t done = 0;
  platform::Write(out, report, size, done);
  platform::Write(out, "\r\n", 2, done);
}

// Writes one line on standard error in the form Unix tools use: the program,
// the file of the failed operation when there is one, and the system's own
// message (or the report's). The line is built without allocating, so that
// it can follow an exhausted heap's report too. Errors are ignored.
void WriteErrorLine(std::string_view file, std::string_view message) {
  const platform::Handle error = platform::StandardError();
  if (error == platform::kInvalidHandle) return;
  char line[1024];
  const std::size_t size = FormatErrorLine(line, sizeof line, ModuleName(), file, message);
  std::size_t done = 0;
  platform::Write(error, line, size, done);
}

// Writes the failure report on standard output: first what the console
// buffer still holds, then the two report lines and an empty line; then the
// line on standard error that names the file.
void ReportFailure(const Failure& failure) {
  FlushBuffer(Console);
  PendingIoCode = 0;
  WriteReport(failure.kind, failure.message, failure.raiseOffset);
  WriteErrorLine(failure.file, ErrorLineMessage(failure));
}

// The report of an exhausted heap: fixed texts only.
void ReportOutOfMemory() {
  FlushBuffer(Console);
  PendingIoCode = 0;
  WriteReport("EOutOfMemory", "Out of memory", 0);
  WriteErrorLine({}, "Out of memory");
}

// A fault of the processor, reported from the fault handler: only
// async-signal-safe work here (the console buffer is written out with plain
// writes, the texts are built in fixed buffers).
void ReportFault(const platform::FaultInfo& fault) {
  FlushBuffer(Console);
  char message[512];
  const std::size_t size = FormatFaultMessage(message, sizeof message, fault);
  const std::uintptr_t offset =
      fault.module.empty() ? fault.codeAddress : fault.codeAddress - platform::ImageBase();
  WriteReport(FaultKindName(fault.kind), std::string_view(message, size), offset);
  WriteErrorLine({}, std::string_view(message, size));
}

// What the output keeps after a failure is the format's (see its row);
// errors are ignored here too.
void KeepExportedLines(Run& run) { run.writer->keepOnFailure(run.output); }

}  // namespace

int RunProgram(const std::vector<std::string>& arguments) {
  Run run;
  try {
    run.arguments.items = arguments;
    RunSteps(run);
    // The console's last text is written out as part of the run: when that
    // fails, the run ends on the failure like any other.
    FlushBuffer(Console);
    CheckIo();
  } catch (const Failure& failure) {
    ClearProgress(run.progress);
    KeepExportedLines(run);
    ReportFailure(failure);
    return 1;
  } catch (const std::bad_alloc&) {
    ClearProgress(run.progress);
    KeepExportedLines(run);
    ReportOutOfMemory();
    return 1;
  }
  return 0;
}

int Main(int argc, char** argv) {
  platform::Initialise();
  // Everything after this runs under the handler, start-up included.
  try {
    TakeModuleName();
    platform::InstallFaultHandler(ReportFault);
    LoadLocaleFormats();
    std::vector<std::string> arguments;
    std::string line;
    if (platform::CommandLine(line)) {
      // Windows hands over one text: split by the program's own rule, the
      // program name dropped. The C runtime's argv, split by other rules, is
      // not used.
      arguments = SplitCommandLine(line);
      if (!arguments.empty()) arguments.erase(arguments.begin());
    } else {
      arguments.assign(argv + 1, argv + argc);
    }
    return RunProgram(arguments);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return 1;
  }
}

}  // namespace pathmend
