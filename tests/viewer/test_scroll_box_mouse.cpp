// The view's own mouse events: image coordinates over the image, client coordinates over the
// background, kept from the press to the release, and the double click.
#include <gtest/gtest.h>

#include <vector>

#include "tests/viewer/test_scroll_box_fixture.h"

namespace {

using scroll_box_test::MoveTo;
using scroll_box_test::PatternView;
using scroll_box_test::Press;
using scroll_box_test::Release;
using scroll_box_test::SendMouse;

struct TSeen {
  char Kind;  // d: down, m: move, u: up, c: double click
  TShiftState Shift;
  std::int32_t X, Y;
};

// A 100 x 60 image centered in a 300 x 200 view: its top-left corner is at (100, 70).
class ScrollBoxMouse : public testing::Test {
 protected:
  void SetUp() override {
    view = PatternView(300, 200, 100, 60);
    view->SetMouseMode(mmNone);
    view->SetCentered(true);
    view->OnImageMouseDown = [this](TImageScrollBox&, TMouseButton, TShiftState shift,
                                    std::int32_t x, std::int32_t y) {
      seen.push_back({'d', shift, x, y});
    };
    view->OnImageMouseMove = [this](TImageScrollBox&, TShiftState shift, std::int32_t x,
                                    std::int32_t y) {
      seen.push_back({'m', shift, x, y});
    };
    view->OnImageMouseUp = [this](TImageScrollBox&, TMouseButton, TShiftState shift, std::int32_t x,
                                  std::int32_t y) {
      seen.push_back({'u', shift, x, y});
    };
    view->OnImageDblClick = [this](TImageScrollBox&) { seen.push_back({'c', 0, 0, 0}); };
  }

  std::unique_ptr<TImageScrollBox> view;
  std::vector<TSeen> seen;
};

struct TPlaceCase {
  QPoint Client;
  std::int32_t X, Y;
  const char* Reason;
};

const TPlaceCase kPlaceCases[] = {
    {{110, 80}, 10, 10, "over the image: image coordinates"},
    {{100, 70}, 0, 0, "the image's first pixel"},
    {{5, 6}, 5, 6, "over the background: client coordinates"},
    {{200, 70}, 200, 70, "just right of the image"},
};

TEST_F(ScrollBoxMouse, EventsAreInImageOrClientCoordinatesByPlace) {
  for (const TPlaceCase& c : kPlaceCases) {
    seen.clear();
    MoveTo(*view, c.Client, Qt::NoButton);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].X, c.X) << c.Reason;
    EXPECT_EQ(seen[0].Y, c.Y) << c.Reason;
  }
}

TEST_F(ScrollBoxMouse, APressKeepsItsPlaceUntilTheRelease) {
  Press(*view, {110, 80});
  MoveTo(*view, {250, 190});
  Release(*view, {250, 190});
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[1].X, 150) << "still image coordinates off the image";
  EXPECT_EQ(seen[2].Y, 120);
  EXPECT_NE(seen[1].Shift & ssLeft, 0);
}

TEST_F(ScrollBoxMouse, ADoubleClickIsReportedThenPressedAgain) {
  Press(*view, {110, 80});
  Release(*view, {110, 80});
  SendMouse(*view, QEvent::MouseButtonDblClick, {110, 80}, Qt::LeftButton, Qt::LeftButton);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[2].Kind, 'c');
  EXPECT_EQ(seen[3].Kind, 'd');
  EXPECT_NE(seen[3].Shift & ssDouble, 0);
}

}  // namespace
