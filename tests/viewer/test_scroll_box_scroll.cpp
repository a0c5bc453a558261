// Scrolling a real view: painting copies the display 1:1 and never rebuilds it, gestures
// report their begin and end once each, and a drag moves the image with the pointer.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWheelEvent>

#include "tests/viewer/test_scroll_box_fixture.h"

namespace {

using scroll_box_test::MoveTo;
using scroll_box_test::PatternColor;
using scroll_box_test::PatternView;
using scroll_box_test::Press;
using scroll_box_test::Release;

QRgb ViewportPixel(TImageScrollBox& view, int x, int y) {
  return view.viewport()->grab().toImage().pixel(x, y) & 0xFFFFFF;
}

TEST(ScrollBoxScroll, ScrollingAndPaintingNeverRebuildTheDisplay) {
  auto view = PatternView(100, 80, 300, 200);
  const std::uint64_t rebuilds = view->RebuildCount();
  view->HorzScrollBar()->setValue(37);
  view->VertScrollBar()->setValue(21);
  view->viewport()->repaint();
  EXPECT_EQ(view->RebuildCount(), rebuilds);
  EXPECT_EQ(ViewportPixel(*view, 5, 6), PatternColor(42, 27)) << "painted 1:1 at the offset";
}

class ScrollGestures : public testing::Test {
 protected:
  void SetUp() override {
    view = PatternView(100, 80, 300, 400);
    view->OnBeginScroll = [this](TImageScrollBox&) { ++begins; };
    view->OnEndScroll = [this](TImageScrollBox&) { ++ends; };
  }
  // Lets the view's event loop run until the gesture has ended (a wheel or key gesture ends
  // when it pauses).
  void AwaitEnd() {
    QElapsedTimer waited;
    waited.start();
    while (ends == 0 && waited.elapsed() < 10000) QCoreApplication::processEvents();
  }
  void Wheel() {
    QPointF at(50, 40);
    QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &event);
  }

  std::unique_ptr<TImageScrollBox> view;
  int begins = 0, ends = 0;
};

TEST_F(ScrollGestures, WheelTurnsAreOneGesture) {
  Wheel();
  Wheel();
  Wheel();
  EXPECT_GT(view->VertScrollBar()->value(), 0);
  EXPECT_EQ(begins, 1);
  AwaitEnd();
  EXPECT_EQ(ends, 1);
}

TEST_F(ScrollGestures, KeyStepsAreOneGesture) {
  QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
  QCoreApplication::sendEvent(view.get(), &down);
  QCoreApplication::sendEvent(view.get(), &down);
  EXPECT_EQ(begins, 1);
  AwaitEnd();
  EXPECT_EQ(ends, 1);
}

TEST_F(ScrollGestures, AThumbDragEndsAtItsRelease) {
  QScrollBar* bar = view->VertScrollBar();
  QPointF at(bar->width() / 2.0, bar->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, bar->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(bar, &press);
  for (int i = 0; i < 3; ++i) bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(ends, 0) << "still pressed";
  QCoreApplication::sendEvent(bar, &release);
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
}

TEST_F(ScrollGestures, PositionsSetFromCodeAreNoGesture) {
  view->VertScrollBar()->setValue(50);
  view->HorzScrollBar()->setValue(20);
  QCoreApplication::processEvents();
  EXPECT_EQ(begins, 0);
  EXPECT_EQ(ends, 0);
}

TEST(ScrollBoxScroll, ADragMovesTheImageWithThePointer) {
  auto view = PatternView(100, 80, 300, 200);
  Press(*view, {60, 50});
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
  MoveTo(*view, {40, 20});
  MoveTo(*view, {30, 10});
  Release(*view, {30, 10});
  EXPECT_EQ(view->HorzScrollBar()->value(), 30);
  EXPECT_EQ(view->VertScrollBar()->value(), 40);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
