#include "export/svg_writer.h"

#include <gtest/gtest.h>

namespace pathmend {
namespace {

TEST(SvgScaleBar, LargestRoundLengthThatFits) {
  const struct {
    Extended maxMetres;
    std::int64_t centimetres;
    const char* label;
  } cases[] = {
      {1234.5L, 100000, "1 km"},
      {999.0L, 50000, "500 m"},
      {2000.0L, 200000, "2 km"},
      {4999.9L, 200000, "2 km"},
      {5000.0L, 500000, "5 km"},
      {1.0L, 100, "1 m"},
      {0.3L, 20, "20 cm"},
      {0.001L, 1, "1 cm"},
      {73000.0L, 5000000, "50 km"},
      {19.99L, 1000, "10 m"},
      {25000000.0L, 2000000000, "20000 km"},
  };
  for (const auto& c : cases) {
    const ScaleBar bar = RoundScaleBar(c.maxMetres);
    EXPECT_EQ(bar.centimetres, c.centimetres) << static_cast<double>(c.maxMetres);
    EXPECT_EQ(bar.label, c.label) << static_cast<double>(c.maxMetres);
  }
}

}  // namespace
}  // namespace pathmend
