// The rubber-band handler driven through a view without a window: the bands it reports, how
// grabs resize and move a band, and how the band follows a rebuilt display.
#include <gtest/gtest.h>

#include <string>

#include "tests/viewer/test_mouse_fake_view.h"
#include "viewer/band_mouse_handler.h"
#include "viewer/viewer_errors.h"

namespace {

using mouse_test::Corners;
using mouse_test::TCorners;
using mouse_test::TFakeMouseView;

class RubberbandTest : public testing::Test {
 protected:
  TFakeMouseView view;  // a 400 x 300 display, not scrolled
  TRubberbandMouseHandler band{view};

  void Drag(TPoint from, TPoint to, TMouseButton button = mbLeft) {
    TShiftState held = button == mbLeft ? ssLeft : ssRight;
    band.MouseDown(button, held, from.X, from.Y);
    band.MouseMove(held, to.X, to.Y);
    band.MouseUp(button, 0, to.X, to.Y);
  }
  TCorners LastReport() const { return Corners(view.Reports.back().Rect); }
  TCorners Selection() const { return Corners(band.GetSelection()); }
};

TEST_F(RubberbandTest, ADragUpAndLeftReportsTheNormalizedBand) {
  band.MouseDown(mbLeft, ssLeft, 50, 40);
  band.MouseMove(ssLeft, 10, 90);
  EXPECT_EQ(LastReport(), (TCorners{10, 40, 50, 90})) << "the last move";
  band.MouseUp(mbLeft, 0, 10, 90);
  EXPECT_EQ(LastReport(), (TCorners{10, 40, 50, 90})) << "the release";
  EXPECT_EQ(view.Reports.back().Cause, brRelease);
  EXPECT_EQ(band.Band(), (TBand{10, 40, 50, 90})) << "normalized after the release";
  EXPECT_TRUE(band.HasSelection());
  EXPECT_FALSE(band.ButtonDown());
}

TEST_F(RubberbandTest, AClickWithoutMovingReportsAPointAndSelectsNothing) {
  band.MouseDown(mbLeft, ssLeft, 70, 80);
  band.MouseUp(mbLeft, 0, 70, 80);
  ASSERT_EQ(view.Reports.size(), 1u);
  EXPECT_EQ(LastReport(), (TCorners{70, 80, 70, 80}));
  EXPECT_FALSE(band.HasSelection());
}

struct TFlatCase {
  TPoint To;
  const char* Reason;
};

const TFlatCase kFlatCases[] = {
    {{90, 40}, "ends on the anchor's row"},
    {{50, 120}, "ends on the anchor's column"},
};

TEST_F(RubberbandTest, ABandWithoutWidthOrHeightIsDroppedAtTheRelease) {
  for (const TFlatCase& c : kFlatCases) {
    Drag({50, 40}, c.To);
    EXPECT_FALSE(band.HasSelection()) << c.Reason;
    EXPECT_EQ(Corners(view.Erased.back()), LastReport()) << c.Reason << ": its outline erased";
  }
}

TEST_F(RubberbandTest, TheMovingCornerStopsAtTheDisplayEdgeTheAnchorDoesNot) {
  Drag({390, 290}, {600, 500});
  EXPECT_EQ(Selection(), (TCorners{390, 290, 399, 299})) << "clamped to the last pixel";
  Drag({450, 350}, {300, 200});
  EXPECT_EQ(Selection(), (TCorners{300, 200, 450, 350})) << "an anchor beside the image";
}

TEST_F(RubberbandTest, GrabbingTheTopEdgeMovesOnlyTheTop) {
  Drag({100, 100}, {200, 160});
  Drag({150, 102}, {170, 80});
  EXPECT_EQ(Selection(), (TCorners{100, 80, 200, 160}));
  Drag({150, 80}, {120, 190});
  EXPECT_EQ(Selection(), (TCorners{100, 160, 200, 190})) << "dragged past the bottom: flipped";
}

struct TGrabCase {
  TPoint Press, To;
  TCorners Expected;
  const char* Reason;
};

// Grabs of the band (100, 100)-(200, 160).
const TGrabCase kGrabCases[] = {
    {{100, 100}, {80, 90}, {80, 90, 200, 160}, "the top-left corner moves alone"},
    {{200, 100}, {230, 70}, {100, 70, 230, 160}, "the top-right corner"},
    {{100, 160}, {90, 170}, {90, 100, 200, 170}, "the bottom-left corner"},
    {{99, 130}, {60, 10}, {60, 100, 200, 160}, "the left edge keeps its rows"},
    {{201, 130}, {250, 299}, {100, 100, 250, 160}, "the right edge keeps its rows"},
    {{150, 130}, {170, 120}, {120, 90, 220, 150}, "the inside moves the whole band"},
    {{150, 130}, {400, 130}, {350, 100, 399, 160}, "pushed against an edge it shrinks"},
};

TEST_F(RubberbandTest, EachGrabReshapesTheBandItsOwnWay) {
  for (const TGrabCase& c : kGrabCases) {
    Drag({100, 100}, {200, 160});
    Drag(c.Press, c.To);
    EXPECT_EQ(Selection(), c.Expected) << c.Reason;
    band.ClearSelection();
  }
}

TEST_F(RubberbandTest, AMovedBandPushedAgainstAnEdgeStaysShrunk) {
  Drag({100, 100}, {200, 160});
  band.MouseDown(mbLeft, ssLeft, 150, 130);
  band.MouseMove(ssLeft, 400, 130);
  band.MouseMove(ssLeft, 150, 130);
  band.MouseUp(mbLeft, 0, 150, 130);
  EXPECT_EQ(Selection(), (TCorners{100, 100, 149, 160}));
}

TEST_F(RubberbandTest, ARightButtonPressInsideNeverMoves) {
  Drag({100, 100}, {200, 160});
  Drag({150, 130}, {10, 10}, mbRight);
  EXPECT_EQ(LastReport(), (TCorners{100, 100, 200, 160})) << "the release reports it unchanged";
  EXPECT_EQ(view.Reports.back().Cause, brRelease);
  EXPECT_EQ(Selection(), (TCorners{100, 100, 200, 160}));
}

TEST_F(RubberbandTest, ACenteredViewIgnoresPresses) {
  view.IsCentered = true;
  Drag({10, 10}, {100, 100});
  EXPECT_TRUE(view.Reports.empty());
  EXPECT_FALSE(band.ButtonDown());
  EXPECT_FALSE(band.HasSelection());
}

TEST_F(RubberbandTest, APressBesideAShownBandErasesItAndReportsNothingSelected) {
  Drag({100, 100}, {200, 160});
  band.MouseDown(mbLeft, ssLeft, 300, 250);
  EXPECT_EQ(LastReport(), (TCorners{0, 0, 0, 0}));
  EXPECT_EQ(view.Reports.back().Cause, brPress);
  EXPECT_FALSE(band.HasSelection());
  EXPECT_EQ(Corners(view.Erased.back()), (TCorners{100, 100, 200, 160}));
}

TEST_F(RubberbandTest, TheBandFollowsADisplayThatShrinks) {
  Drag({100, 100}, {300, 200});
  band.ViewChanging();
  view.Display = {200, 150};
  band.ViewChanged();
  EXPECT_EQ(Selection(), (TCorners{50, 50, 150, 100}));
  EXPECT_EQ(LastReport(), (TCorners{50, 50, 150, 100}));
  EXPECT_EQ(view.Reports.back().Cause, brViewChange) << "never taken for a release";
  EXPECT_EQ(Corners(view.Drawn.back()), (TCorners{50, 50, 150, 100})) << "drawn again";
}

TEST_F(RubberbandTest, ARebuildWithoutABandShowsNone) {
  band.ViewChanging();
  view.Display = {200, 150};
  band.ViewChanged();
  EXPECT_FALSE(band.HasSelection());
  EXPECT_TRUE(view.Reports.empty());
  EXPECT_TRUE(view.Drawn.empty());
}

TEST_F(RubberbandTest, ACenteredRebuildLosesTheSelection) {
  Drag({100, 100}, {300, 200});
  view.IsCentered = true;
  band.ViewChanging();
  band.ViewChanged();
  EXPECT_FALSE(band.HasSelection());
}

TEST_F(RubberbandTest, TheImageSelectionIsInSourcePixels) {
  view.Source = {2480, 3508};
  view.Display = {115, 162};
  Drag({57, 10}, {114, 161});
  TRect source = band.GetImageSelection();
  EXPECT_EQ(Corners(source), (TCorners{1229, 217, 2458, 3486}));
}

TEST_F(RubberbandTest, NoSelectionIsAnError) {
  try {
    band.GetImageSelection();
    FAIL() << "no error";
  } catch (const ERubberbandError& e) {
    EXPECT_EQ(std::string(e.what()), "A region is not selected");
  }
}

TEST_F(RubberbandTest, ClearSelectionErasesAndReportsOnlyAShownBand) {
  band.ClearSelection();
  EXPECT_TRUE(view.Reports.empty()) << "nothing to clear";
  Drag({100, 100}, {200, 160});
  band.ClearSelection();
  EXPECT_FALSE(band.HasSelection());
  EXPECT_EQ(LastReport(), (TCorners{0, 0, 0, 0}));
  EXPECT_EQ(view.Reports.back().Cause, brClear);
  EXPECT_EQ(Corners(view.Erased.back()), (TCorners{100, 100, 200, 160}));
}

struct TCursorCase {
  TPoint Pointer;
  TCursorShape Expected;
  const char* Reason;
};

const TCursorCase kCursorCases[] = {
    {{100, 100}, crSizeNWSE, "top-left corner"}, {{200, 100}, crSizeNESW, "top-right corner"},
    {{150, 160}, crSizeNS, "bottom edge"},       {{200, 130}, crSizeWE, "right edge"},
    {{150, 130}, crHandOpened, "inside"},        {{300, 250}, crDefault, "away from the band"},
};

TEST_F(RubberbandTest, HoveringOverAShownBandShowsTheHandleCursors) {
  Drag({100, 100}, {200, 160});
  for (const TCursorCase& c : kCursorCases) {
    band.MouseMove(0, c.Pointer.X, c.Pointer.Y);
    EXPECT_EQ(view.ImageCursor, c.Expected) << c.Reason;
  }
}

TEST_F(RubberbandTest, TheOutlineIsDrawnInClientPositionsOfAScrolledView) {
  view.Display = {1000, 1000};
  view.HorzPos = 30;
  view.VertPos = 20;
  TPoint from = view.At(10, 10), to = view.At(60, 50);
  Drag(from, to);
  EXPECT_EQ(Selection(), (TCorners{40, 30, 90, 70})) << "display coordinates";
  EXPECT_EQ(Corners(view.Drawn.back()), (TCorners{10, 10, 60, 50})) << "under the pointer";
}

TEST_F(RubberbandTest, EveryPaintRedrawsAShownBand) {
  Drag({100, 100}, {200, 160});
  std::size_t drawn = view.Drawn.size();
  view.AfterDraw();
  EXPECT_EQ(view.Drawn.size(), drawn + 1);
  band.ClearSelection();
  view.AfterDraw();
  EXPECT_EQ(view.Drawn.size(), drawn + 1) << "a cleared band is not painted";
}

TEST(RubberbandLifetime, DestroyingTheHandlerErasesItsBandAndLetsGoOfPaints) {
  TFakeMouseView view;
  {
    TRubberbandMouseHandler band(view);
    band.MouseDown(mbLeft, ssLeft, 10, 10);
    band.MouseMove(ssLeft, 40, 30);
    band.MouseUp(mbLeft, 0, 40, 30);
  }
  EXPECT_EQ(Corners(view.Erased.back()), (TCorners{10, 10, 40, 30}));
  EXPECT_FALSE(view.AfterDraw);
}

}  // namespace
