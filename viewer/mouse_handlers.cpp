// The base mouse handler and the drag-to-scroll handler.
#include "viewer/mouse_handlers.h"

void TMouseHandler::MouseDown(TMouseButton, TShiftState, std::int32_t, std::int32_t) {
  buttonDown_ = true;
}

void TMouseHandler::MouseUp(TMouseButton, TShiftState, std::int32_t, std::int32_t) {
  buttonDown_ = false;
}

void TMouseHandler::MouseMove(TShiftState, std::int32_t, std::int32_t) {}

TDragMouseHandler::TDragMouseHandler(TMouseHandlerView& view) : TMouseHandler(view) {
  view.SetImageCursor(crHandOpened);
}

void TDragMouseHandler::MouseDown(TMouseButton button, TShiftState, std::int32_t x,
                                  std::int32_t y) {
  TMouseHandlerView& view = ScrollBox();
  if (!(view.HorzScrollBarVisible() || view.VertScrollBarVisible()) || button == mbRight) return;
  SetButtonDown(true);
  press_ = {x, y};
  savedCursor_ = view.ScreenCursor();
  view.SetScreenCursor(crHandClosed);
}

void TDragMouseHandler::MouseMove(TShiftState, std::int32_t x, std::int32_t y) {
  if (!ButtonDown()) return;
  TMouseHandlerView& view = ScrollBox();
  // The pointer is x - press_.X display pixels right of the grabbed point: scroll it back.
  view.SetHorzPosition(view.HorzPosition() + press_.X - x);
  view.SetVertPosition(view.VertPosition() + press_.Y - y);
  view.RepaintNow();
}

void TDragMouseHandler::MouseUp(TMouseButton, TShiftState, std::int32_t, std::int32_t) {
  if (!ButtonDown()) return;
  TMouseHandlerView& view = ScrollBox();
  if (view.ScreenCursor() == crHandClosed) view.SetScreenCursor(savedCursor_);
  SetButtonDown(false);
}
