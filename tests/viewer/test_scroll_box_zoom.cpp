// A real view's zoom: the percent each mode gives for its client, the display it builds, the
// scroll bars it shows, and the changes it ignores.
#include <gtest/gtest.h>

#include "tests/viewer/test_scroll_box_fixture.h"
#include "viewer/zoom_display_size.h"

namespace {

using scroll_box_test::PatternView;
using scroll_box_test::ShownView;

TEST(ScrollBoxZoom, APageFitsALowClientWithoutScrollBars) {
  auto view = ShownView(686, 163);
  view->Graphic().NewImage(2480, 3508, gfBilevel, nullptr, 300, 300);
  view->SetZoomMode(zmFitToPage);
  view->Redraw(true);
  EXPECT_EQ(view->ZoomPercent(), 4.6465220F);
  EXPECT_EQ(view->DisplayGraphic().Width(), 115);
  EXPECT_EQ(view->DisplayGraphic().Height(), 162);
  EXPECT_FALSE(view->HorzScrollBar()->isVisible());
  EXPECT_FALSE(view->VertScrollBar()->isVisible());
}

struct TSmallCase {
  TZoomMode Mode;
  float Expected;
  const char* Reason;
};

const TSmallCase kSmallCases[] = {
    {zmFitToPage, 100.0F, "a small image is not enlarged"},
    {zmFullPage, 163.0F, "full page enlarges it to the client height"},
    {zmFitHeight, 163.0F, "fit to height as well"},
    {zmFitWidth, 686.0F, "fit to width to the client width"},
};

TEST(ScrollBoxZoom, ASmallImageInAWideClient) {
  for (const TSmallCase& c : kSmallCases) {
    auto view = PatternView(686, 163, 100, 100);
    view->SetZoomMode(c.Mode);
    EXPECT_EQ(view->ZoomPercent(), c.Expected) << c.Reason;
  }
}

TEST(ScrollBoxZoom, ADisplayTallerThanTheClientShowsTheVerticalBar) {
  auto view = PatternView(300, 200, 100, 1000);
  EXPECT_FALSE(view->HorzScrollBar()->isVisible());
  EXPECT_TRUE(view->VertScrollBar()->isVisible());
  EXPECT_EQ(view->VertRange(), 1000);
  EXPECT_EQ(view->VertScrollBar()->maximum(), 800);
}

struct TIgnoredCase {
  bool Empty;
  float Value;
  const char* Reason;
};

const TIgnoredCase kIgnoredCases[] = {
    {false, 0.05F, "below the smallest zoom"},
    {false, 0.0F, "zero"},
    {false, -20.0F, "negative"},
    {true, 50.0F, "an empty view has nothing to zoom"},
};

TEST(ScrollBoxZoom, IgnoredZoomPercentsChangeNothing) {
  for (const TIgnoredCase& c : kIgnoredCases) {
    auto view = c.Empty ? ShownView(300, 200) : PatternView(300, 200, 100, 100);
    view->SetZoomPercent(c.Value);
    EXPECT_EQ(view->ZoomPercent(), 100.0F) << c.Reason;
    EXPECT_EQ(view->ZoomMode(), zmOriginalSize) << c.Reason;
  }
}

TEST(ScrollBoxZoom, SettingAPercentSwitchesModeAndReportsOnce) {
  auto view = PatternView(300, 200, 100, 100);
  int reports = 0;
  view->OnZoomChange = [&](TImageScrollBox&, float zoom) {
    ++reports;
    EXPECT_EQ(zoom, 50.0F);
  };
  view->SetZoomPercent(50.0F);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(view->ZoomMode(), zmPercent);
  EXPECT_EQ(view->DisplayGraphic().Width(), 50);
}

TEST(ScrollBoxZoom, AZoomPastTheDisplayLimitIsLoweredAndTheModeStays) {
  auto view = ShownView(300, 200);
  view->Graphic().NewImage(40000, 1, gfBilevel, nullptr, 0, 0);
  view->Redraw(true);
  EXPECT_EQ(view->ZoomMode(), zmOriginalSize);
  EXPECT_LT(view->ZoomPercent(), 100.0F);
  EXPECT_LE(view->DisplayGraphic().Width(), kMaxDisplaySide);
}

TEST(ScrollBoxZoom, EveryRebuildScrollsBackToTheTopLeft) {
  auto view = PatternView(100, 100, 400, 400);
  view->HorzScrollBar()->setValue(120);
  view->VertScrollBar()->setValue(80);
  view->Redraw(false);
  EXPECT_EQ(view->HorzScrollBar()->value(), 0);
  EXPECT_EQ(view->VertScrollBar()->value(), 0);
}

TEST(ScrollBoxZoom, ACenteredImageSitsInTheMiddleOfTheView) {
  auto view = PatternView(300, 200, 100, 60);
  view->SetCentered(true);
  EXPECT_EQ(view->ImageLeft(), 100);
  EXPECT_EQ(view->ImageTop(), 70);
}

TEST(ScrollBoxZoom, AnEmptiedViewClearsItsDisplay) {
  auto view = PatternView(300, 200, 100, 1000);
  view->Graphic().ReleaseImage();
  view->Redraw(true);
  EXPECT_TRUE(view->DisplayGraphic().Empty());
  EXPECT_FALSE(view->VertScrollBar()->isVisible());
}

}  // namespace
