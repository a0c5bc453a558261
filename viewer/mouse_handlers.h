// Mouse handlers: a view hands every mouse event over its image to one replaceable handler
// before it fires its own events, and tells it before and after it rebuilds or moves its
// display. TMouseHandler does nothing but note presses; TDragMouseHandler scrolls the view
// with the pointer (the default of a new view). The rubber band is in band_mouse_handler.h.
#pragma once

#include <cstdint>

#include "viewer/mouse_view.h"

// The view's mouse modes; 1 and 3 are reserved and never selected.
enum TMouseMode : std::uint8_t { mmDrag = 0, mmRubberband = 2, mmNone = 4 };

class TMouseHandler {
 public:
  explicit TMouseHandler(TMouseHandlerView& view) : view_(view) {}
  virtual ~TMouseHandler() = default;
  TMouseHandler(const TMouseHandler&) = delete;
  TMouseHandler& operator=(const TMouseHandler&) = delete;

  virtual void ViewChanging() {}
  virtual void ViewChanged() {}
  // x and y are display coordinates.
  virtual void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
  virtual void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y);

  // A press is in progress.
  bool ButtonDown() const { return buttonDown_; }

 protected:
  TMouseHandlerView& ScrollBox() const { return view_; }
  void SetButtonDown(bool down) { buttonDown_ = down; }

 private:
  TMouseHandlerView& view_;
  bool buttonDown_ = false;
};

// Drags the image with the pointer: the image point grabbed at the press stays under it.
class TDragMouseHandler : public TMouseHandler {
 public:
  // Shows the open hand over the image.
  explicit TDragMouseHandler(TMouseHandlerView& view);

  // Starts a drag when a scroll bar is shown and the button is not the right one.
  void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
  void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;

 private:
  TPoint press_{};
  TCursorShape savedCursor_ = crDefault;
};
