// A view without a window for the mouse handler tests: it keeps scroll positions and sizes,
// and records what the handlers ask of it (outlines, cursors, repaints, band reports).
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "viewer/mouse_view.h"

namespace mouse_test {

struct TBandReport {
  TRect Rect;
  TBandReportCause Cause;
};

class TFakeMouseView : public TMouseHandlerView {
 public:
  TExtent Display{400, 300};
  TExtent Source{800, 600};
  TExtent Client{400, 300};
  bool IsCentered = false;
  bool HorzVisible = false, VertVisible = false;
  TPoint Centering{0, 0};
  std::int32_t HorzPos = 0, VertPos = 0;
  TCursorShape ImageCursor = crDefault;
  TCursorShape Screen = crDefault;
  int Repaints = 0;
  std::vector<TRect> Drawn, Erased;
  std::vector<TBandReport> Reports;
  std::function<void()> AfterDraw;

  std::int32_t HorzPosition() const override { return HorzPos; }
  std::int32_t VertPosition() const override { return VertPos; }
  void SetHorzPosition(std::int32_t p) override {
    HorzPos = std::clamp(p, 0, std::max(0, Display.Width - Client.Width));
  }
  void SetVertPosition(std::int32_t p) override {
    VertPos = std::clamp(p, 0, std::max(0, Display.Height - Client.Height));
  }
  bool HorzScrollBarVisible() const override { return HorzVisible; }
  bool VertScrollBarVisible() const override { return VertVisible; }
  TPoint ImageOrigin() const override {
    return {ImageOffset(Centering.X, HorzPos), ImageOffset(Centering.Y, VertPos)};
  }
  TExtent DisplayExtent() const override { return Display; }
  TExtent SourceExtent() const override { return Source; }
  bool Centered() const override { return IsCentered; }
  void SetImageCursor(TCursorShape shape) override { ImageCursor = shape; }
  TCursorShape ScreenCursor() const override { return Screen; }
  void SetScreenCursor(TCursorShape shape) override { Screen = shape; }
  void RepaintNow() override { ++Repaints; }
  void DrawBandOutline(const TRect& client) override { Drawn.push_back(client); }
  void EraseBandOutline(const TRect& client) override { Erased.push_back(client); }
  void SetAfterDrawAction(std::function<void()> action) override { AfterDraw = std::move(action); }
  void ReportRubberband(const TRect& band, TBandReportCause cause) override {
    Reports.push_back({band, cause});
  }

  // The display point under a client point, as the view hands it to its handler.
  TPoint At(std::int32_t clientX, std::int32_t clientY) const {
    return ClientToDisplay({clientX, clientY}, ImageOrigin());
  }
};

// A rectangle as comparable, printable values: Left, Top, Right, Bottom.
using TCorners = std::array<std::int32_t, 4>;
inline TCorners Corners(const TRect& r) {
  return {r.Left, r.Top, r.Right, r.Bottom};
}

}  // namespace mouse_test
