#include "process/length_summary.h"

#include "runtime/fixed_notation.h"
#include "runtime/float_checks.h"
#include "runtime/number_text.h"
#include "runtime/text_stream.h"

namespace pathmend {

void AddLeg(RunTotals& totals, const TrackPoint& current, const TrackPoint& saved,
            LegCache& cache) {
  const PositionTrig currentTrig =
      PositionTrigOf(CoordinateDegrees(current.Lat), CoordinateDegrees(current.Lon));
  // A saved point with latitude 0 is the empty one: the current point is the
  // first saved point of its input, so no leg joins two inputs.
  if (saved.Lat != 0) {
    const double metres = GreatCircleDistance(currentTrig, cache.savedTrig);
    totals.lengthMeasured = AddKilometres(totals.lengthMeasured, metres);
  }
  cache.savedTrig = currentTrig;
}

void AddAnnounced(RunTotals& totals, const TrackHeader& header) {
  totals.pointsAnnounced = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(totals.pointsAnnounced) + header.PointCount);
  totals.lengthAnnounced =
      StoreDouble(AddChecked(LoadDouble(totals.lengthAnnounced), LoadDouble(header.Length)));
}

void SummaryAndRepair(const RunTotals& totals, TrackFile* output) {
  if (totals.pointsSaved == totals.pointsAnnounced && totals.filesRead <= 1) return;

  ConsoleLine("- - - - - - - - - - - - -");
  ConsoleLine("Repair/Append: ");
  ConsoleLine("  Tracks: " + SignedDecimal(totals.filesRead));
  ConsoleLine("  Points: " + SignedDecimal(totals.pointsAnnounced) + " -> " +
              SignedDecimal(totals.pointsSaved));
  ConsoleLine("  Length: " + FixedNotation(LoadDouble(totals.lengthAnnounced), 5) + " -> " +
              FixedNotation(LoadDouble(totals.lengthMeasured), 5) + " km");

  if (output == nullptr) return;
  TrackHeader header = ReadHeaderAtStart(*output);
  header.PointCount = static_cast<std::uint32_t>(totals.pointsSaved);
  header.Length = totals.lengthMeasured;
  RewriteHeader(*output, header);
}

}  // namespace pathmend
