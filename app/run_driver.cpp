#include "app/run_driver.h"

#include <cstring>
#include <new>
#include <string_view>

#include "app/command_line.h"
#include "export/file_name.h"
#include "export/gtm_writer.h"
#include "export/kml_writer.h"
#include "geo/locale_formats.h"
#include "platform/fault_handler.h"
#include "platform/platform.h"
#include "process/length_summary.h"
#include "process/run_totals.h"
#include "report/point_trace.h"
#include "report/track_report.h"
#include "runtime/failure.h"
#include "runtime/fault_report.h"
#include "runtime/text_stream.h"
#include "tracklog/track_log.h"

namespace pathmend {

namespace {

constexpr std::string_view kSeparator = "- - - - - - - - - - - - -";

// The file the run will write: the output argument itself for a track log,
// the argument with a new extension for an export.
std::string WrittenFileName(const std::string& output, OutputFormat format) {
  switch (format) {
    case OutputFormat::Kml: return ReplaceExtension(output, ".kml");
    case OutputFormat::GtmText: return ReplaceExtension(output, ".txt");
    case OutputFormat::TrackLog: break;
  }
  return output;
}

// Creating the output empties it. When it is one of the inputs (the same
// argument, or the same file through another path, a hard link or a
// symbolic link), the run stops before anything is created.
void RefuseOutputOverInput(const Arguments& arguments, std::size_t firstInput,
                           OutputFormat format) {
  const std::size_t count = arguments.Count();
  const std::string written = WrittenFileName(arguments[count], format);
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
  OutputFormat format = OutputFormat::TrackLog;
  TrackHeader header;  // first the output's template, then each input's header
  TrackPoint point;
  TrackPoint savedPoint;
  std::int32_t pointNumber = 0;
  RunTotals totals;
  LegCache legs;
  TrackFile output;       // a track log output
  TextStream exportFile;  // a KML or GPS TrackMaker text output
};

const RunOptions& Options(const Run& run) { return run.parsed.options; }

void OpenOutput(Run& run) {
  const RunOptions& options = Options(run);
  const std::string& name = run.arguments[run.arguments.Count()];
  switch (run.format) {
    case OutputFormat::Kml:
      ConsoleLine("Output format: Google Earth KML");
      OpenKml(run.exportFile, name, run.header);
      break;
    case OutputFormat::GtmText:
      ConsoleLine("Output format: GPS TrackMaker Text Format");
      OpenGtm(run.exportFile, name);
      break;
    case OutputFormat::TrackLog:
      ConsoleLine("Output format: Vantira Tracklog");
      run.output = CreateTrackOutput(name);
      if (RenameGiven(options)) SetName(run.header, options.Rename);
      if (options.NewType != -1) run.header.TrackType = options.NewType;
      WriteHeader(run.output, run.header);
      break;
  }
}

void CloseOutput(Run& run) {
  switch (run.format) {
    case OutputFormat::Kml: CloseKml(run.exportFile); break;
    case OutputFormat::GtmText: CloseGtm(run.exportFile, run.header); break;
    case OutputFormat::TrackLog: CloseTrackFile(run.output); break;
  }
}

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
  switch (run.format) {
    case OutputFormat::Kml: WriteKmlPoint(run.exportFile, run.savedPoint); break;
    case OutputFormat::GtmText: WriteGtmPoint(run.exportFile, run.savedPoint); break;
    case OutputFormat::TrackLog: WritePoint(run.output, run.savedPoint); break;
  }
}

void ReadInput(Run& run, const std::string& name) {
  const bool verbose = Options(run).Verbose;
  TrackFile input = OpenTrackInput(name);
  run.header = ReadHeader(input);
  ++run.totals.filesRead;
  // The program's only guard: a failure anywhere in the report ends the
  // block silently, and the run goes on with the separator line.
  try {
    ReportTrack(name, run.totals.filesRead, run.header, Options(run));
  } catch (...) {
    PendingIoCode = 0;
  }
  ConsoleLine(kSeparator);
  run.point = TrackPoint{};
  run.savedPoint = TrackPoint{};
  while (!AtEnd(input)) {
    ++run.pointNumber;
    run.point = ReadPoint(input);
    if (verbose) TraceStart(run.pointNumber);
    if (SaveTest(run)) {
      SavePoint(run);
      if (verbose) TraceSaved(run.totals.pointsSaved);
    }
    if (verbose) TraceFinish(run.point, run.totals.lengthMeasured);
  }
  if (verbose) ConsoleLine(kSeparator);
  AddAnnounced(run.totals, run.header);
  CloseTrackFile(input);
}

// Waits for the user to press Enter: reads standard input up to and
// including the first line feed, or to its end.
void WaitForEnter() {
  const platform::Handle input = platform::StandardInput();
  SetPendingIoCode(input == platform::kInvalidHandle ? kIoStdInputUnavailable
                                                     : platform::ReadLine(input));
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
  run.format = FormatOf(Options(run));
  RefuseOutputOverInput(run.arguments, run.parsed.firstInput, run.format);

  TrackFile first = OpenTrackInput(run.arguments[run.parsed.firstInput]);
  run.header = ReadHeader(first);
  CloseTrackFile(first);

  OpenOutput(run);
  ConsoleLine("");

  run.pointNumber = 0;
  run.totals.filesRead = 0;
  run.totals.pointsSaved = 0;
  run.totals.lengthMeasured = 0.0;
  for (std::size_t i = run.parsed.firstInput; i < count; ++i) ReadInput(run, run.arguments[i]);

  SummaryAndRepair(run.totals, run.format == OutputFormat::TrackLog ? &run.output : nullptr);
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

// Writes the failure report on standard output: first what the console
// buffer still holds, then the two report lines and an empty line.
void ReportFailure(std::string_view kind, std::string_view message, std::uintptr_t offset) {
  FlushBuffer(Console);
  PendingIoCode = 0;
  WriteReport(kind, message, offset);
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
}

// An export that a failure interrupts keeps the lines it completed: the text
// still in its buffer is written out, the file is not closed and gets no
// closing text. Not after a lost block, though: the buffer's text would then
// land after the gap. Errors are ignored here too.
void KeepExportedLines(Run& run) {
  if (!run.exportFile.writeFailed) FlushBuffer(run.exportFile);
  PendingIoCode = 0;
}

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
    KeepExportedLines(run);
    ReportFailure(failure.kind, failure.message, failure.raiseOffset);
    return 1;
  } catch (const std::bad_alloc&) {
    KeepExportedLines(run);
    ReportFailure("EOutOfMemory", "Out of memory", 0);
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
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunProgram(arguments);
  } catch (const std::bad_alloc&) {
    ReportFailure("EOutOfMemory", "Out of memory", 0);
    return 1;
  }
}

}  // namespace pathmend
