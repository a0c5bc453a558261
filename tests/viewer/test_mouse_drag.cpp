// The drag handler: the image point grabbed at the press stays under the pointer, and the
// closed hand shows only while dragging.
#include <gtest/gtest.h>

#include "tests/viewer/test_mouse_fake_view.h"
#include "viewer/mouse_handlers.h"

namespace {

using mouse_test::TFakeMouseView;

TFakeMouseView ScrollableView() {
  TFakeMouseView view;
  view.Display = {1000, 800};
  view.HorzVisible = view.VertVisible = true;
  return view;
}

TEST(DragHandler, ShowsTheOpenHandOverTheImage) {
  TFakeMouseView view;
  TDragMouseHandler drag(view);
  EXPECT_EQ(view.ImageCursor, crHandOpened);
}

struct TIgnoredCase {
  bool Scrollable;
  TMouseButton Button;
  const char* Reason;
};

const TIgnoredCase kIgnoredCases[] = {
    {false, mbLeft, "nothing to scroll without scroll bars"},
    {true, mbRight, "the right button never drags"},
};

TEST(DragHandler, IgnoresPressesThatCannotDrag) {
  for (const TIgnoredCase& c : kIgnoredCases) {
    TFakeMouseView view = c.Scrollable ? ScrollableView() : TFakeMouseView{};
    TDragMouseHandler drag(view);
    drag.MouseDown(c.Button, 0, 100, 100);
    drag.MouseMove(0, 50, 50);
    EXPECT_FALSE(drag.ButtonDown()) << c.Reason;
    EXPECT_EQ(view.HorzPos, 0) << c.Reason;
    EXPECT_EQ(view.Screen, crDefault) << c.Reason;
  }
}

TEST(DragHandler, TheGrabbedPointStaysUnderThePointer) {
  TFakeMouseView view = ScrollableView();
  TDragMouseHandler drag(view);
  TPoint press = view.At(200, 150);
  drag.MouseDown(mbLeft, ssLeft, press.X, press.Y);
  for (TPoint client : {TPoint{180, 120}, TPoint{180, 120}, TPoint{150, 100}}) {
    TPoint at = view.At(client.X, client.Y);
    drag.MouseMove(ssLeft, at.X, at.Y);
    EXPECT_EQ(view.At(client.X, client.Y), press) << "client " << client.X << "," << client.Y;
  }
  EXPECT_EQ(view.HorzPos, 50);
  EXPECT_EQ(view.VertPos, 50);
  EXPECT_EQ(view.Repaints, 3) << "each move repaints at once";
}

TEST(DragHandler, TheClosedHandShowsWhileDraggingOnly) {
  TFakeMouseView view = ScrollableView();
  view.Screen = crSizeWE;
  TDragMouseHandler drag(view);
  drag.MouseDown(mbLeft, ssLeft, 10, 10);
  EXPECT_EQ(view.Screen, crHandClosed);
  drag.MouseUp(mbLeft, 0, 10, 10);
  EXPECT_EQ(view.Screen, crSizeWE) << "the cursor of before the press";
  EXPECT_FALSE(drag.ButtonDown());
}

TEST(DragHandler, ACursorChangedDuringTheDragIsLeftAlone) {
  TFakeMouseView view = ScrollableView();
  TDragMouseHandler drag(view);
  drag.MouseDown(mbLeft, ssLeft, 10, 10);
  view.Screen = crSizeNS;  // someone else's busy state
  drag.MouseUp(mbLeft, 0, 10, 10);
  EXPECT_EQ(view.Screen, crSizeNS);
}

}  // namespace
