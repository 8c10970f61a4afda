// Two-byte characters of the ANSI code page. The test program also runs with
// LC_ALL=ja_JP.UTF-8, where Wine's ANSI code page is 932 (see
// tests/CMakeLists.txt).

#include <windows.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "geo/date_text.h"
#include "geo/date_time.h"
#include "geo/locale_formats.h"
#include "platform/locale_source.h"

namespace pathmend::platform {
namespace {

// The run under ja_JP must really have code page 932, or its checks would
// quietly take the single-byte branch.
void ExpectJapaneseCodePageWhereAsked() {
  const char* all = std::getenv("LC_ALL");
  if (all != nullptr && std::string(all).rfind("ja_JP", 0) == 0) {
    EXPECT_EQ(::GetACP(), 932u);
  }
}

TEST(IsLeadByte, FollowsTheAnsiCodePage) {
  ExpectJapaneseCodePageWhereAsked();
  CPINFO info{};
  ASSERT_TRUE(::GetCPInfo(CP_ACP, &info));
  if (::GetACP() == 932) {
    EXPECT_TRUE(IsLeadByte('\x94'));  // the year sign begins with it
    EXPECT_TRUE(IsLeadByte('\xE0'));
    EXPECT_FALSE(IsLeadByte('N'));
    EXPECT_FALSE(IsLeadByte('\xA6'));  // a one-byte katakana
  } else if (info.MaxCharSize == 1) {
    for (int byte = 0; byte < 256; ++byte)
      EXPECT_FALSE(IsLeadByte(static_cast<char>(byte))) << byte;
  }
}

// The run's formats take the code page's lead bytes from the system: under
// code page 932 the year sign 0x94 0x4E is written whole, not read as a
// minute token ("N").
TEST(IsLeadByte, ReachesTheDatePictures) {
  LoadLocaleFormats();
  const DateTimeValue value = SystemTimeToValue(SystemTime{2006, 1, 0, 15, 13, 45, 30, 0});
  const std::string text = RenderDateTime("yyyy\x94N", value, RunLocaleFormats());
  EXPECT_EQ(text, ::GetACP() == 932 ? "2006\x94N"
                                    : "2006\x94"
                                      "45");
}

}  // namespace
}  // namespace pathmend::platform
