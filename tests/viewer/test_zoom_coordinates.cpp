// Conversions between the source, display and client coordinates of a view.
#include <gtest/gtest.h>

#include "viewer/view_coordinates.h"

namespace {

struct TSourceCase {
  std::int32_t Display, Source, DisplayExtent, Expected;
  const char* Reason;
};

const TSourceCase kSourceCases[] = {
    {57, 2480, 115, 1229, "57 x 21.565217... rounds down"},
    {114, 2480, 115, 2458, "the last display column"},
    {1, 5, 2, 2, "2.5 rounds to the even 2"},
    {3, 5, 2, 8, "7.5 rounds to the even 8"},
    {10, 100, 200, 5, "a magnified display maps back to fewer pixels"},
    {-4, 100, 200, -2, "an anchor left of the display stays left of the source"},
    {7, 100, 0, 0, "an empty display maps to 0"},
};

TEST(ViewCoordinates, DisplayToSourceRoundsHalfToEven) {
  for (const TSourceCase& c : kSourceCases) {
    EXPECT_EQ(DisplayToSource(c.Display, c.Source, c.DisplayExtent), c.Expected) << c.Reason;
  }
}

TEST(ViewCoordinates, DisplayRectToSourceUsesEachAxisOwnScale) {
  TRect source = DisplayRectToSource({57, 10, 114, 20}, {2480, 1000}, {115, 100});
  EXPECT_EQ(source.Left, 1229);
  EXPECT_EQ(source.Top, 100);
  EXPECT_EQ(source.Right, 2458);
  EXPECT_EQ(source.Bottom, 200);
}

struct TCenteringCase {
  std::int32_t View, Display, Expected;
  const char* Reason;
};

const TCenteringCase kCenteringCases[] = {
    {100, 60, 20, "half the free space"},
    {101, 60, 20, "an odd free space truncates"},
    {60, 60, 0, "a display that fills the view"},
    {60, 100, 0, "a display larger than the view is not centered"},
};

TEST(ViewCoordinates, CenteringOffsetIsHalfTheFreeSpace) {
  for (const TCenteringCase& c : kCenteringCases) {
    EXPECT_EQ(CenteringOffset(c.View, c.Display), c.Expected) << c.Reason;
  }
}

TEST(ViewCoordinates, ClientAndDisplayFollowTheImageOrigin) {
  // Scrolled by (30, 40) in a view centered 5 pixels from the left.
  TPoint origin{ImageOffset(5, 30), ImageOffset(0, 40)};
  EXPECT_EQ(origin, (TPoint{-25, -40}));
  EXPECT_EQ(ClientToDisplay({0, 0}, origin), (TPoint{25, 40}));
  EXPECT_EQ(DisplayToClient(ClientToDisplay({17, 9}, origin), origin), (TPoint{17, 9}));
}

}  // namespace
