// The rubber band's outline: exactly the border pixels, dots and gaps alternating, and the
// strips that erasing repaints covering the same pixels.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "viewer/band_outline.h"

namespace {

using TPixelSet = std::set<std::pair<std::int32_t, std::int32_t>>;

TPixelSet BorderOf(const TRect& r) {
  TPixelSet border;
  for (std::int32_t y = r.Top; y <= r.Bottom; ++y) {
    for (std::int32_t x = r.Left; x <= r.Right; ++x) {
      if (x == r.Left || x == r.Right || y == r.Top || y == r.Bottom) border.insert({x, y});
    }
  }
  return border;
}

struct TOutlineCase {
  TRect Rect;
  const char* Reason;
};

const TOutlineCase kOutlineCases[] = {
    {{5, 5, 5, 5}, "a single pixel"},
    {{5, 5, 5, 9}, "a single column walks down only"},
    {{5, 5, 9, 5}, "a single row walks right only"},
    {{5, 5, 6, 6}, "two by two: every pixel is border"},
    {{-3, 10, 40, 22}, "a band partly left of the client area"},
};

TEST(BandOutline, OutlineIsEveryBorderPixelOnceWithAlternatingDots) {
  for (const TOutlineCase& c : kOutlineCases) {
    std::vector<TOutlinePixel> pixels = BandOutlinePixels(c.Rect);
    TPixelSet seen;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      EXPECT_TRUE(seen.insert({pixels[i].Position.X, pixels[i].Position.Y}).second) << c.Reason;
      EXPECT_EQ(pixels[i].Dot, i % 2 == 0) << c.Reason;
    }
    EXPECT_EQ(seen, BorderOf(c.Rect)) << c.Reason;
  }
}

TEST(BandOutline, ErasedStripsCoverTheOutline) {
  for (const TOutlineCase& c : kOutlineCases) {
    TPixelSet covered;
    for (const TRect& strip : BandOutlineStrips(c.Rect)) {
      EXPECT_TRUE(strip.Left == strip.Right || strip.Top == strip.Bottom) << c.Reason;
      for (std::int32_t y = strip.Top; y <= strip.Bottom; ++y) {
        for (std::int32_t x = strip.Left; x <= strip.Right; ++x) covered.insert({x, y});
      }
    }
    EXPECT_EQ(covered, BorderOf(c.Rect)) << c.Reason;
  }
}

}  // namespace
