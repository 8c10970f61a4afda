#include "runtime/number_text.h"

#include <gtest/gtest.h>

namespace pathmend {
namespace {

TEST(SignedDecimal, SignDigitsAndWidth) {
  const struct {
    std::int32_t value;
    int width;
    const char* text;
  } cases[] = {
      {0, 0, "0"},
      {7, 0, "7"},
      {-7, 0, "-7"},
      {INT32_MIN, 0, "-2147483648"},
      {INT32_MAX, 0, "2147483647"},
      {5, 2, " 5"},
      {123, 2, "123"},
      {10, 2, "10"},
      {-1, 4, "  -1"},
  };
  for (const auto& c : cases) EXPECT_EQ(SignedDecimal(c.value, c.width), c.text) << c.value;
}

TEST(UnsignedDecimal, WholeRange) {
  EXPECT_EQ(UnsignedDecimal(0), "0");
  EXPECT_EQ(UnsignedDecimal(100), "100");
  EXPECT_EQ(UnsignedDecimal(4294967295U), "4294967295");
}

TEST(TruthWord, NonZeroIsTrue) {
  EXPECT_EQ(TruthWord(0), "FALSE");
  EXPECT_EQ(TruthWord(7), "TRUE");
  EXPECT_EQ(TruthWord(-1), "TRUE");
  EXPECT_EQ(TruthWord(2), "TRUE");
}

}  // namespace
}  // namespace pathmend
