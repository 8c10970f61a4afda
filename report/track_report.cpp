#include "report/track_report.h"

#include "geo/date_text.h"
#include "geo/date_time.h"
#include "runtime/fixed_notation.h"
#include "runtime/float_checks.h"
#include "runtime/number_text.h"
#include "runtime/text_stream.h"

namespace pathmend {

namespace {

// A type line: the label, the number and " (name)". A type outside the table
// shows "?". The name is code page 852 text, which a UTF-8 terminal shows in
// its own letters; the line's other bytes are ASCII, the same in code page
// 852, so the whole line is one item, as the other report lines are.
void TypeLine(std::string_view label, std::int32_t type) {
  WriteText(Console, std::string(label) + SignedDecimal(type) + " (" + TypeName(type) + ")",
            TextBytes::CodePage852);
  EndLine(Console);
  CheckIo();
}

}  // namespace

void ReportTrack(const std::string& argument, std::int32_t filesRead, const TrackHeader& header,
                 const ReportedChanges& changes) {
  ConsoleLine("Track #" + SignedDecimal(filesRead) + ": " + argument);
  ConsoleLine("  * Points: " + UnsignedDecimal(header.PointCount));
  ConsoleLine("  * Name: " + FieldText(header.Name.data(), kNameWidth));
  if (changes.renamed) ConsoleLine("  -> New Name: " + changes.newName);
  TypeLine("  * Type: ", header.TrackType);
  if (changes.newType != -1) TypeLine("  -> New Type: ", changes.newType);
  ConsoleLine("  * PP: " + SignedDecimal(header.PP));
  ConsoleLine("  * VT-ID: " + FieldText(header.Id.data(), kIdWidth));

  // The start time is converted before any character of its line is written:
  // an invalid one ends the block without a trace on the console.
  const std::string start = DefaultDateTimeText(SystemTimeToValue(header.StartTime));
  ConsoleLine("  * Start Date&Time: " + start);

  // The label goes to the console buffer before the length is loaded: a
  // signalling NaN ends the block after the label, and the separator line
  // continues it.
  WriteText(Console, "  * Length: ");
  const Extended length = LoadDouble(header.Length);
  WriteText(Console, FixedNotation(length, 5));
  WriteText(Console, " km");
  EndLine(Console);
  CheckIo();

  ConsoleLine("  * Visible: " + TruthWord(header.Visible));
  if (changes.first != -1 || changes.last != -1) {
    ConsoleLine("  -> First Track Cut: " + SignedDecimal(changes.first) + " to " +
                SignedDecimal(changes.last));
  }
}

}  // namespace pathmend
