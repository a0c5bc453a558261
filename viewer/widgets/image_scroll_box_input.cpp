// TImageScrollBox: mouse routing, cursors and scroll gestures.
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include "viewer/widgets/image_scroll_box.h"
#include "viewer/widgets/view_cursors.h"

namespace {

TMouseButton ButtonOf(Qt::MouseButton button) {
  if (button == Qt::RightButton) return mbRight;
  if (button == Qt::MiddleButton) return mbMiddle;
  return mbLeft;
}

TShiftState ShiftOf(const QMouseEvent& event) {
  TShiftState shift = 0;
  Qt::KeyboardModifiers keys = event.modifiers();
  Qt::MouseButtons buttons = event.buttons();
  if (keys & Qt::ShiftModifier) shift |= ssShift;
  if (keys & Qt::AltModifier) shift |= ssAlt;
  if (keys & Qt::ControlModifier) shift |= ssCtrl;
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  if (buttons & Qt::MiddleButton) shift |= ssMiddle;
  if (event.type() == QEvent::MouseButtonDblClick) shift |= ssDouble;
  return shift;
}

TPoint ClientPointOf(const QMouseEvent& event) {
  QPoint position = event.position().toPoint();
  return {position.x(), position.y()};
}

}  // namespace

bool TImageScrollBox::OverImage(TPoint client) const {
  if (!imageVisible_) return false;
  TPoint display = ClientToDisplay(client, ImageOrigin());
  return display.X >= 0 && display.Y >= 0 && display.X < display_.Width() &&
         display.Y < display_.Height();
}

// The view's events get display coordinates over the image and client coordinates over the
// background; a press keeps the place where it began until its buttons are released.
TPoint TImageScrollBox::EventPoint(TPoint client, bool onImage) const {
  return onImage ? ClientToDisplay(client, ImageOrigin()) : client;
}

void TImageScrollBox::mousePressEvent(QMouseEvent* event) {
  RunGuarded([this, event] {
    TPoint client = ClientPointOf(*event);
    if (event->buttons() == event->button()) captureOnImage_ = OverImage(client);
    TMouseButton button = ButtonOf(event->button());
    TShiftState shift = ShiftOf(*event);
    TPoint display = ClientToDisplay(client, ImageOrigin());
    if (handler_) handler_->MouseDown(button, shift, display.X, display.Y);
    TPoint at = EventPoint(client, captureOnImage_);
    if (OnImageMouseDown) OnImageMouseDown(*this, button, shift, at.X, at.Y);
  });
}

void TImageScrollBox::mouseMoveEvent(QMouseEvent* event) {
  RunGuarded([this, event] {
    TPoint client = ClientPointOf(*event);
    lastPointer_ = client;
    TShiftState shift = ShiftOf(*event);
    TPoint display = ClientToDisplay(client, ImageOrigin());
    if (handler_) handler_->MouseMove(shift, display.X, display.Y);
    ApplyCursor(client);
    bool onImage = event->buttons() != Qt::NoButton ? captureOnImage_ : OverImage(client);
    TPoint at = EventPoint(client, onImage);
    if (OnImageMouseMove) OnImageMouseMove(*this, shift, at.X, at.Y);
  });
}

void TImageScrollBox::mouseReleaseEvent(QMouseEvent* event) {
  RunGuarded([this, event] {
    TPoint client = ClientPointOf(*event);
    TMouseButton button = ButtonOf(event->button());
    TShiftState shift = ShiftOf(*event);
    TPoint display = ClientToDisplay(client, ImageOrigin());
    if (handler_) handler_->MouseUp(button, shift, display.X, display.Y);
    TPoint at = EventPoint(client, captureOnImage_);
    if (OnImageMouseUp) OnImageMouseUp(*this, button, shift, at.X, at.Y);
  });
}

// A double click is a press of its own as well, after the double-click event.
void TImageScrollBox::mouseDoubleClickEvent(QMouseEvent* event) {
  RunGuarded([this] {
    if (OnImageDblClick) OnImageDblClick(*this);
  });
  mousePressEvent(event);
}

void TImageScrollBox::ApplyCursor(TPoint client) {
  Qt::CursorShape shape = OverImage(client) ? CursorShapeOf(imageCursor_) : Qt::ArrowCursor;
  if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
}

void TImageScrollBox::SetImageCursor(TCursorShape shape) {
  imageCursor_ = shape;
  ApplyCursor(lastPointer_);
}

TCursorShape TImageScrollBox::ScreenCursor() const {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor == nullptr ? crDefault : NamedCursorOf(cursor->shape());
}

// The application-wide cursor: the view only ever removes the override it set itself.
void TImageScrollBox::SetScreenCursor(TCursorShape shape) {
  if (shape == crDefault) {
    if (screenOverride_) QGuiApplication::restoreOverrideCursor();
    screenOverride_ = false;
    return;
  }
  if (screenOverride_) {
    QGuiApplication::changeOverrideCursor(CursorShapeOf(shape));
  } else {
    QGuiApplication::setOverrideCursor(CursorShapeOf(shape));
    screenOverride_ = true;
  }
}

void TImageScrollBox::WatchScrollGestures(QScrollBar* bar) {
  bar->installEventFilter(this);
  connect(bar, &QAbstractSlider::actionTriggered, this, [this](int action) {
    if (action == QAbstractSlider::SliderNoAction) return;
    RunGuarded([this] { ScrollStep(); });
    // Wheel turns and key steps have no release: their gesture ends when they pause.
    if (!barPressed_) gestureEnd_.start();
  });
}

bool TImageScrollBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == horizontalScrollBar() || watched == verticalScrollBar()) {
    if (event->type() == QEvent::MouseButtonPress) {
      barPressed_ = true;
      gestureEnd_.stop();
    } else if (event->type() == QEvent::MouseButtonRelease) {
      barPressed_ = false;
      RunGuarded([this] { ScrollEnd(); });
    }
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}

void TImageScrollBox::ScrollStep() {
  if (gesture_.Step() == snBegin && OnBeginScroll) OnBeginScroll(*this);
}

void TImageScrollBox::ScrollEnd() {
  gestureEnd_.stop();
  if (gesture_.End() == snEnd && OnEndScroll) OnEndScroll(*this);
}

// The image follows the thumb at once; a rebuild paints once when it is done.
void TImageScrollBox::scrollContentsBy(int, int) {
  if (redrawing_) {
    viewport()->update();
  } else {
    viewport()->repaint();
  }
}
