// Display sizes of a zoom percent and the limit that keeps a display within memory.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "viewer/zoom_display_size.h"

namespace {

struct TExtentCase {
  std::int32_t Source;
  float Zoom;
  std::int64_t Expected;
  const char* Reason;
};

const TExtentCase kExtentCases[] = {
    {2480, 4.6465220F, 115, "truncated, not rounded"},
    {3508, 4.6465220F, 162, "the float percent falls just short of 163"},
    {10, 5.0F, 1, "a display that truncates to 0 becomes 1"},
    {1000, 0.0F, 1, "zero zoom still shows a pixel"},
    {1000, -50.0F, 1, "a negative zoom shows a pixel"},
    {1000, std::numeric_limits<float>::quiet_NaN(), 1, "NaN never reaches the truncation"},
    {3, 100.0F, 3, "100 % is the source"},
};

TEST(DisplaySize, ExtentIsTheTruncatedProductAtLeastOne) {
  for (const TExtentCase& c : kExtentCases) {
    EXPECT_EQ(DisplayExtent(c.Source, c.Zoom), c.Expected) << c.Reason;
  }
}

TEST(DisplaySize, HugeZoomsSaturateInsteadOfOverflowing) {
  EXPECT_GT(DisplayExtent(2147483647, 3.0e38F), kMaxDisplaySide);
  EXPECT_GT(DisplayExtent(1, std::numeric_limits<float>::infinity()), kMaxDisplaySide);
}

struct TCapCase {
  TExtent Source;
  float Zoom;
  const char* Reason;
};

const TCapCase kCapCases[] = {
    {{2480, 3508}, 9600.0F, "an A4 page claiming 1 dpi, shown at its physical size"},
    {{40000, 1}, 100.0F, "a strip wider than a display side at 100 %"},
    {{1, 40000}, 100.0F, "a strip taller than a display side"},
    {{20000, 20000}, 100.0F, "each side fits, the pixel count does not"},
    {{100, 100}, std::numeric_limits<float>::infinity(), "an infinite percent"},
};

TEST(DisplaySize, ATooLargeZoomIsLoweredToTheLargestThatFits) {
  for (const TCapCase& c : kCapCases) {
    float capped = CappedZoomPercent(c.Source, c.Zoom);
    EXPECT_LT(capped, c.Zoom) << c.Reason;
    EXPECT_TRUE(DisplayFits(c.Source, capped)) << c.Reason;
    EXPECT_FALSE(DisplayFits(c.Source, std::nextafter(capped, c.Zoom))) << c.Reason;
  }
}

TEST(DisplaySize, AZoomThatFitsIsKept) {
  EXPECT_EQ(CappedZoomPercent({2480, 3508}, 300.0F), 300.0F);
  EXPECT_EQ(CappedZoomPercent({32767, 1}, 100.0F), 100.0F);
}

}  // namespace
