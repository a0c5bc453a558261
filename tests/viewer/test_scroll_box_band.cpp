// The rubber band in a real view driven by real mouse events: the reported rectangles, the
// cursors over the handles, the outline's look, and erasing that restores the image.
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <vector>

#include "tests/viewer/test_scroll_box_fixture.h"

namespace {

using scroll_box_test::DragMouse;
using scroll_box_test::MoveTo;
using scroll_box_test::PatternView;
using scroll_box_test::Press;
using scroll_box_test::Release;

using TCorners = std::array<std::int32_t, 4>;
TCorners Corners(const TRect& r) {
  return {r.Left, r.Top, r.Right, r.Bottom};
}

struct TReport {
  TCorners Rect;
  TBandReportCause Cause;
};

class ScrollBoxBand : public testing::Test {
 protected:
  void SetUp() override {
    view = PatternView(300, 200, 200, 150);
    view->SetMouseMode(mmRubberband);
    view->OnRubberbandChange = [this](const TRect& rect) {
      reports.push_back({Corners(rect), view->BandReportCause()});
    };
  }
  QImage Grab() const {
    return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  std::unique_ptr<TImageScrollBox> view;
  std::vector<TReport> reports;
};

TEST_F(ScrollBoxBand, ADragReportsTheBandAndTheReleaseEndsIt) {
  Press(*view, {50, 40});
  MoveTo(*view, {10, 90});
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back().Rect, (TCorners{10, 40, 50, 90}));
  EXPECT_EQ(reports.back().Cause, brDrag);
  Release(*view, {10, 90});
  EXPECT_EQ(reports.back().Rect, (TCorners{10, 40, 50, 90}));
  EXPECT_EQ(reports.back().Cause, brRelease);
  EXPECT_TRUE(view->Rubberband()->HasSelection());
  EXPECT_EQ(Corners(view->Rubberband()->GetImageSelection()), (TCorners{10, 40, 50, 90}));
}

TEST_F(ScrollBoxBand, AClickSelectsNothing) {
  Press(*view, {70, 80});
  Release(*view, {70, 80});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports.back().Rect, (TCorners{70, 80, 70, 80}));
  EXPECT_FALSE(view->Rubberband()->HasSelection());
}

struct TCursorCase {
  QPoint Pointer;
  Qt::CursorShape Expected;
  const char* Reason;
};

// Over the band (40, 30)-(120, 100) of the 200 x 150 image.
const TCursorCase kCursorCases[] = {
    {{40, 30}, Qt::SizeFDiagCursor, "top-left corner"},
    {{120, 30}, Qt::SizeBDiagCursor, "top-right corner"},
    {{80, 30}, Qt::SizeVerCursor, "top edge"},
    {{41, 60}, Qt::SizeHorCursor, "left edge"},
    {{80, 60}, Qt::OpenHandCursor, "inside"},
    {{160, 130}, Qt::ArrowCursor, "on the image away from the band"},
    {{250, 60}, Qt::ArrowCursor, "on the background"},
};

TEST_F(ScrollBoxBand, HandlesShowTheirSizingCursors) {
  DragMouse(*view, {40, 30}, {120, 100});
  for (const TCursorCase& c : kCursorCases) {
    MoveTo(*view, c.Pointer, Qt::NoButton);
    EXPECT_EQ(view->viewport()->cursor().shape(), c.Expected) << c.Reason;
  }
}

TEST_F(ScrollBoxBand, TheOutlineIsWhiteDotsOnNavyAndErasingRestoresTheImage) {
  const QImage before = Grab();
  DragMouse(*view, {40, 30}, {120, 100});
  const QImage with = Grab();
  EXPECT_EQ(with.pixel(40, 30), qRgb(255, 255, 255)) << "a dot at the corner";
  EXPECT_EQ(with.pixel(41, 30), qRgb(0, 0, 128)) << "then a navy gap";
  EXPECT_EQ(with.pixel(80, 60), before.pixel(80, 60)) << "the inside is untouched";
  view->Rubberband()->ClearSelection();
  EXPECT_EQ(Grab(), before);
  EXPECT_EQ(reports.back().Cause, brClear);
}

TEST_F(ScrollBoxBand, TheBandFollowsAZoomAndSaysARebuildMovedIt) {
  DragMouse(*view, {100, 100}, {180, 140});
  view->SetZoomPercent(50.0F);
  EXPECT_EQ(reports.back().Rect, (TCorners{50, 50, 90, 70}));
  EXPECT_EQ(reports.back().Cause, brViewChange);
  EXPECT_EQ(Corners(view->Rubberband()->GetImageSelection()), (TCorners{100, 100, 180, 140}));
}

TEST_F(ScrollBoxBand, ABandStartedBesideAScrolledImageStaysUnderThePointer) {
  view = PatternView(300, 200, 100, 1000);
  view->SetMouseMode(mmRubberband);
  view->OnRubberbandChange = [this](const TRect& rect) {
    reports.push_back({Corners(rect), view->BandReportCause()});
  };
  view->VertScrollBar()->setValue(300);
  DragMouse(*view, {200, 50}, {50, 80});
  EXPECT_EQ(reports.back().Rect, (TCorners{50, 350, 200, 380}));
}

TEST_F(ScrollBoxBand, ACenteredViewIgnoresPresses) {
  view->SetCentered(true);
  DragMouse(*view, {60, 60}, {150, 120});
  EXPECT_TRUE(reports.empty());
}

TEST_F(ScrollBoxBand, ChangingTheMouseModeErasesTheBand) {
  const QImage before = Grab();
  DragMouse(*view, {40, 30}, {120, 100});
  view->SetMouseMode(mmDrag);
  EXPECT_EQ(Grab(), before);
}

}  // namespace
