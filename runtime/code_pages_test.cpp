#include "runtime/code_pages.h"

#include <gtest/gtest.h>

#include "tests/support/iconv_reference.h"

namespace pathmend {
namespace {

using testing::IconvToUtf8;

// Every byte from 128 up, against the C library's own tables.
TEST(CodePages, CodePage852MatchesIconv) {
  if (!testing::IconvAvailable()) GTEST_SKIP() << "no iconv here: the Linux build checks this";
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    const auto expected = IconvToUtf8("CP852", one);
    ASSERT_TRUE(expected.has_value()) << "iconv has no CP852";
    EXPECT_EQ(CodePage852ToUtf8(one), *expected) << "byte " << byte;
  }
}

TEST(CodePages, Windows1250MatchesIconvAndMarksTheUnassignedBytes) {
  if (!testing::IconvAvailable()) GTEST_SKIP() << "no iconv here: the Linux build checks this";
  int unassigned = 0;
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    const auto expected = IconvToUtf8("CP1250", one);
    if (!expected) {
      ++unassigned;
      EXPECT_EQ(Windows1250Character(static_cast<std::uint8_t>(byte)), 0) << "byte " << byte;
      EXPECT_EQ(RecordedTextToUtf8(one), "\xEF\xBF\xBD") << "byte " << byte;
      continue;
    }
    EXPECT_EQ(RecordedTextToUtf8(one), *expected) << "byte " << byte;
  }
  EXPECT_EQ(unassigned, 5);
}

struct RecordedCase {
  const char* name;
  std::string bytes;
  std::string utf8;
};

class RecordedText : public ::testing::TestWithParam<RecordedCase> {};

TEST_P(RecordedText, KeepsUtf8AndReadsOtherBytesAsWindows1250) {
  EXPECT_EQ(RecordedTextToUtf8(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordedText,
    ::testing::Values(RecordedCase{"Ascii", "Road Split\r\n\t", "Road Split\r\n\t"},
                      RecordedCase{"Utf8Kept", "Szentendre \xC3\xA9s \xC5\x91",
                                   "Szentendre \xC3\xA9s \xC5\x91"},
                      RecordedCase{"FourByteUtf8Kept", "\xF0\x9F\x9A\x97", "\xF0\x9F\x9A\x97"},
                      RecordedCase{"Windows1250", "\x8A\xE9\xF5", "\xC5\xA0\xC3\xA9\xC5\x91"},
                      // A lead byte without its continuation is a Windows-1250 letter.
                      RecordedCase{"BrokenSequence", "\xC3z", "\xC4\x82z"},
                      RecordedCase{"Overlong", "\xC0\xAF", "\xC5\x94\xC5\xBB"},
                      RecordedCase{"Mixed", "\xC3\xA9\xE9", "\xC3\xA9\xC3\xA9"}),
    [](const ::testing::TestParamInfo<RecordedCase>& row) { return std::string(row.param.name); });

TEST(CodePages, TypeNamesOfTheTable) {
  EXPECT_EQ(CodePage852ToUtf8("H\x82tk\x94znapi"), "H\xC3\xA9tk\xC3\xB6znapi");
  EXPECT_EQ(CodePage852ToUtf8("Rep\x81l\x8B"), "Rep\xC3\xBCl\xC5\x91");
  EXPECT_EQ(CodePage852ToUtf8("\x90rdekes"), "\xC3\x89rdekes");
}

}  // namespace
}  // namespace pathmend
