// Text forms of date-time values: the picture renderer, the default text and
// the GPS TrackMaker point time.
#pragma once

#include <string>
#include <string_view>

#include "geo/date_time.h"
#include "geo/locale_formats.h"

namespace pathmend {

// The picture of GtmTimeText: month/day/year with slashes that never change,
// then the 24-hour time with the locale's time separator, between commas.
inline constexpr std::string_view kGtmTimePicture = ",mm\"/\"dd\"/\"yy,hh:nn:ss,";

// Renders a picture (see date_text.cpp for the picture language); an empty
// picture renders as "c". The result is at most 256 bytes. Values outside
// 0001-01-01 to 9999-12-31 fail as SplitDateTime does.
std::string RenderDateTime(std::string_view picture, DateTimeValue value,
                           const LocaleFormats& formats);
std::string RenderDateTime(std::string_view picture, DateTimeValue value);

// The short date, then, unless hour, minute and second are all zero, a space
// and the long time.
std::string DefaultDateTimeText(DateTimeValue value, const LocaleFormats& formats);
std::string DefaultDateTimeText(DateTimeValue value);

// ",MM/DD/YY,HH:NN:SS," with the locale's time separator in place of ":".
std::string GtmTimeText(DateTimeValue value, const LocaleFormats& formats);
std::string GtmTimeText(DateTimeValue value);

}  // namespace pathmend
