// Rubber-band geometry: the handle tables, hit tests, clamping and rescaling.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "viewer/band_geometry.h"
#include "viewer/viewer_errors.h"

namespace {

struct THandleCase {
  TGrabHandle Handle;
  TBandMovement Movement;
  TCursorShape Cursor;
  TBand Swapped;  // of the band (10, 20, 30, 40)
  const char* Reason;
};

const THandleCase kHandleCases[] = {
    {ghTopLeft, bmFree, crSizeNWSE, {30, 40, 10, 20}, "the top-left corner becomes the mover"},
    {ghTop, bmVertical, crSizeNS, {10, 40, 30, 20}, "the top edge moves in y"},
    {ghTopRight, bmFree, crSizeNESW, {10, 40, 30, 20}, "the top-right corner"},
    {ghRight, bmHorizontal, crSizeWE, {10, 20, 30, 40}, "the right edge is already the mover"},
    {ghBottomRight, bmFree, crSizeNWSE, {10, 20, 30, 40}, "the moving corner itself"},
    {ghBottom, bmVertical, crSizeNS, {10, 20, 30, 40}, "the bottom edge"},
    {ghBottomLeft, bmFree, crSizeNESW, {30, 20, 10, 40}, "the bottom-left corner"},
    {ghLeft, bmHorizontal, crSizeWE, {30, 20, 10, 40}, "the left edge moves in x"},
    {ghInside, bmMove, crHandOpened, {10, 20, 30, 40}, "the inside moves the band"},
};

TEST(BandGeometry, EachHandleHasItsMovementCursorAndSwap) {
  for (const THandleCase& c : kHandleCases) {
    EXPECT_EQ(GrabHandleToBandMovement(c.Handle), c.Movement) << c.Reason;
    EXPECT_EQ(GrabHandleToCursor(c.Handle), c.Cursor) << c.Reason;
    EXPECT_EQ(SwapForGrab({10, 20, 30, 40}, c.Handle), c.Swapped) << c.Reason;
  }
}

TEST(BandGeometry, AHandleBeyondTheInsideIsAnInternalError) {
  auto invalid = static_cast<TGrabHandle>(9);
  try {
    GrabHandleToBandMovement(invalid);
    FAIL() << "no error";
  } catch (const EViewerError& e) {
    EXPECT_EQ(std::string(e.what()), "Invalid GrabHandle, GrabHandleToBandMovement");
  }
  try {
    GrabHandleToCursor(invalid);
    FAIL() << "no error";
  } catch (const EViewerError& e) {
    EXPECT_EQ(std::string(e.what()), "Invalid GrabHandle, GrabHandleToCursor");
  }
}

struct THitCase {
  TPoint Point;
  std::optional<TGrabHandle> Expected;
  const char* Reason;
};

// The band (100, 100)-(200, 160).
const THitCase kHitCases[] = {
    {{200, 160}, ghBottomRight, "on the moving corner"},
    {{203, 163}, ghBottomRight, "3 pixels off is still near"},
    {{204, 160}, std::nullopt, "4 pixels off is not near, and not inside"},
    {{97, 97}, ghTopLeft, "near the anchor corner"},
    {{200, 100}, ghTopRight, "top-right corner"},
    {{100, 160}, ghBottomLeft, "bottom-left corner"},
    {{150, 97}, ghTop, "above the top edge within 3"},
    {{150, 103}, ghTop, "below the top edge within 3"},
    {{150, 160}, ghBottom, "on the bottom edge"},
    {{100, 130}, ghLeft, "on the left edge"},
    {{103, 130}, ghLeft, "3 pixels inside the left edge"},
    {{200, 130}, ghRight, "on the right edge"},
    {{104, 130}, ghInside, "the inside starts 4 pixels in from the left"},
    {{195, 130}, ghInside, "and ends 5 pixels before the right"},
    {{196, 130}, std::nullopt, "4 pixels before the right edge is neither"},
    {{150, 96}, ghInside, "the inside reaches 4 rows above the top edge"},
    {{150, 95}, std::nullopt, "but not 5"},
    {{150, 163}, ghBottom, "the bottom edge wins over the inside below it"},
    {{96, 130}, std::nullopt, "left of the band"},
    {{300, 300}, std::nullopt, "far away"},
};

TEST(BandGeometry, HitTestFindsTheFirstMatchingHandle) {
  const TBand band{100, 100, 200, 160};
  for (const THitCase& c : kHitCases) {
    EXPECT_EQ(HitTest(band, c.Point), c.Expected) << c.Reason;
  }
}

TEST(BandGeometry, InATinyBandTheMovingCornerWins) {
  EXPECT_EQ(HitTest({100, 100, 102, 102}, {101, 101}), ghBottomRight);
}

struct TClampCase {
  TPoint Point, Expected;
  const char* Reason;
};

// A display of 400 x 300.
const TClampCase kClampCases[] = {
    {{-5, 10}, {0, 10}, "left of the display"},
    {{10, -1}, {10, 0}, "above the display"},
    {{400, 300}, {399, 299}, "one past the last column and row"},
    {{399, 299}, {399, 299}, "the last pixel stays"},
    {{5000, -5000}, {399, 0}, "far out on both axes"},
};

TEST(BandGeometry, ClampKeepsAPointOnTheDisplay) {
  for (const TClampCase& c : kClampCases) {
    EXPECT_EQ(ClampToDisplay(c.Point, {400, 300}), c.Expected) << c.Reason;
  }
}

struct TRescaleCase {
  TBand Band;
  TExtent Saved, Now;
  TBand Expected;
  const char* Reason;
};

const TRescaleCase kRescaleCases[] = {
    {{100, 100, 300, 200}, {400, 300}, {200, 150}, {50, 50, 150, 100}, "the display halves"},
    {{101, 99, 301, 201}, {400, 300}, {200, 150}, {50, 49, 150, 100}, "halves truncate"},
    {{10, 10, 20, 20}, {100, 100}, {300, 200}, {30, 20, 60, 40}, "each axis its own factor"},
    {{-7, 5, 9, 9}, {10, 10}, {5, 5}, {-3, 2, 4, 4}, "truncation goes toward zero"},
    {{10, 10, 20, 20}, {0, 100}, {300, 50}, {10, 5, 20, 10}, "a saved width of 0 keeps x"},
};

TEST(BandGeometry, ABandFollowsItsDisplay) {
  for (const TRescaleCase& c : kRescaleCases) {
    EXPECT_EQ(RescaleBand(c.Band, c.Saved, c.Now), c.Expected) << c.Reason;
  }
}

TEST(BandGeometry, NormalizeOrdersTheCorners) {
  EXPECT_EQ(NormalizeBand({50, 90, 10, 40}), (TBand{10, 40, 50, 90}));
  TRect rect = BandRect({50, 40, 10, 90});
  EXPECT_EQ(rect.Left, 10);
  EXPECT_EQ(rect.Top, 40);
  EXPECT_EQ(rect.Right, 50);
  EXPECT_EQ(rect.Bottom, 90);
}

}  // namespace
