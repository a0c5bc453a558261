// What a mouse handler sees of the view it serves, and the mouse event terms they share.
//
// The view implements TMouseHandlerView; tests implement it without a window. Points given
// to a handler are display coordinates, so a band or a drag stays under the pointer whether
// the press began on the image or on the background beside it, scrolled or not.
#pragma once

#include <cstdint>
#include <functional>

#include "image/dibunit.h"
#include "viewer/view_coordinates.h"
#include "viewer/view_cursor.h"

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// A set of the keys and buttons held during a mouse event.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;
inline constexpr TShiftState ssDouble = 64;

// Why a rubber band reports its rectangle. Only a release ends an operator's selection; a
// report made by rebuilding the view or by clearing the band must never be taken for one.
enum TBandReportCause : std::uint8_t {
  brDrag,        // the pointer moved the band
  brPress,       // a press outside the band erased it
  brRelease,     // the mouse button was released
  brViewChange,  // the view was rebuilt or moved and the band followed its display
  brClear        // ClearSelection
};

class TMouseHandlerView {
 public:
  virtual ~TMouseHandlerView() = default;

  // Scroll bars: positions (setting one is limited to its range) and visibility.
  virtual std::int32_t HorzPosition() const = 0;
  virtual std::int32_t VertPosition() const = 0;
  virtual void SetHorzPosition(std::int32_t position) = 0;
  virtual void SetVertPosition(std::int32_t position) = 0;
  virtual bool HorzScrollBarVisible() const = 0;
  virtual bool VertScrollBarVisible() const = 0;

  // (ImageLeft, ImageTop): where display point (0, 0) lies in the client area.
  virtual TPoint ImageOrigin() const = 0;
  virtual TExtent DisplayExtent() const = 0;
  virtual TExtent SourceExtent() const = 0;
  virtual bool Centered() const = 0;

  // The cursor over the image area, and the application-wide cursor a drag shows.
  virtual void SetImageCursor(TCursorShape shape) = 0;
  virtual TCursorShape ScreenCursor() const = 0;
  virtual void SetScreenCursor(TCursorShape shape) = 0;

  // Paints the view now, so that the image follows a drag.
  virtual void RepaintNow() = 0;
  // Shows the band outline around a normalized client rectangle.
  virtual void DrawBandOutline(const TRect& client) = 0;
  // Repaints the outline's pixels from the display picture.
  virtual void EraseBandOutline(const TRect& client) = 0;
  // Called after every paint of the display (nullptr: nothing).
  virtual void SetAfterDrawAction(std::function<void()> action) = 0;
  // Tells the view's owner the band rectangle (display coordinates) and why it changed.
  virtual void ReportRubberband(const TRect& band, TBandReportCause cause) = 0;
};
