#include "report/track_report.h"

#include "geo/date_text.h"
#include "geo/date_time.h"
#include "runtime/fixed_notation.h"
#include "runtime/float_checks.h"
#include "runtime/number_text.h"
#include "runtime/text_stream.h"

namespace pathmend {

namespace {

// " (name)" of a track type. A type outside the table shows "?".
std::string TypeText(std::int32_t type) {
  return SignedDecimal(type) + " (" + TypeName(type) + ")";
}

}  // namespace

void ReportTrack(const std::string& argument, std::int32_t filesRead, const TrackHeader& header,
                 const ReportedChanges& changes) {
  ConsoleLine("Track #" + SignedDecimal(filesRead) + ": " + argument);
  ConsoleLine("  * Points: " + UnsignedDecimal(header.PointCount));
  ConsoleLine("  * Name: " + FieldText(header.Name.data(), kNameWidth));
  if (changes.renamed) ConsoleLine("  -> New Name: " + changes.newName);
  ConsoleLine("  * Type: " + TypeText(header.TrackType));
  if (changes.newType != -1) ConsoleLine("  -> New Type: " + TypeText(changes.newType));
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
