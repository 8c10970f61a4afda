#include "export/track_title.h"

#include "geo/date_text.h"
#include "geo/date_time.h"

namespace pathmend {

std::string TrackTitle(const TrackHeader& header) {
  const std::string start = DefaultDateTimeText(SystemTimeToValue(header.StartTime));
  return FieldText(header.Name.data(), kNameWidth) + " (" + start + ") - Powered by Tollen";
}

}  // namespace pathmend
