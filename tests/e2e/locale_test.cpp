// Dates in the user's locale, end to end: the locale is read once at start-up
// and shapes the report's start time and the trace's point times.

#include <clocale>

#include "tests/e2e/e2e.h"

namespace pathmend::testing {
namespace {

// True when the C library can load the locale on this machine.
bool LocaleInstalled(const char* name) {
  locale_t locale = newlocale(LC_TIME_MASK, name, nullptr);
  if (locale == nullptr) return false;
  freelocale(locale);
  return true;
}

// The texts come from the system's locale data: glibc's on Linux, Wine's
// (which turns C and POSIX into English, United States) for pathmend.exe.
struct LocaleCase {
  const char* locale;
  const char* start;  // the header's start, 2006-01-15 08:30:00
  const char* point;  // the point's time, 2006-01-15 13:45:30 UTC
  const char* windowsStart;
  const char* windowsPoint;
};

void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.locale; }

class UserLocale : public EndToEnd, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(UserLocale, ShapesTheReportAndTheTrace) {
  const LocaleCase& c = GetParam();
  systemDates = true;
  const char* start = WindowsMode() ? c.windowsStart : c.start;
  const char* point = WindowsMode() ? c.windowsPoint : c.point;
  if (!LocaleInstalled(c.locale)) {
    GTEST_SKIP() << "locale " << c.locale << " is not installed here (Debian: locales-all)";
  }
  // 2006-01-15 13:45:30 UTC as a FILETIME.
  TrackLogBuilder()
      .Point({49807360, 19922944, 1053, 500, 127818063300000000ULL})
      .WriteTo(File("in.trk"));
  RunSetup setup;
  setup.env = {{"LC_ALL", c.locale}};
  const RunResult result = Run({"/v", "in.trk", "out.trk"}, setup);
  ASSERT_EQ(result.exitCode, 0) << result.out;
  EXPECT_NE(result.out.find(std::string("  * Start Date&Time: ") + start + "\r\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find(std::string("\tDate&Time: ") + point + "\r\n"), std::string::npos)
      << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Locales, UserLocale,
    ::testing::Values(LocaleCase{"C", "1/15/06 8:30:00 am", "1/15/06 1:45:30 pm",
                                 "1/15/2006 8:30:00 AM", "1/15/2006 1:45:30 PM"},
                      LocaleCase{"POSIX", "1/15/06 8:30:00 am", "1/15/06 1:45:30 pm",
                                 "1/15/2006 8:30:00 AM", "1/15/2006 1:45:30 PM"},
                      LocaleCase{"de_DE.UTF-8", "15.01.2006 08:30:00", "15.01.2006 13:45:30",
                                 "15.1.2006 08:30:00", "15.1.2006 13:45:30"},
                      LocaleCase{"en_US.UTF-8", "01/15/2006 08:30:00 AM", "01/15/2006 01:45:30 PM",
                                 "1/15/2006 8:30:00 AM", "1/15/2006 1:45:30 PM"},
                      LocaleCase{"hu_HU.UTF-8", "2006-01-15 08:30:00", "2006-01-15 13:45:30",
                                 "2006. 01. 15. 8:30:00", "2006. 01. 15. 13:45:30"}),
    [](const ::testing::TestParamInfo<LocaleCase>& row) {
      std::string name = row.param.locale;
      for (char& ch : name) {
        if (ch == '.' || ch == '-') ch = '_';
      }
      return name;
    });

}  // namespace
}  // namespace pathmend::testing
