// The rubber-band selection handler: the operator drags a band on the view to mark a zone,
// then resizes it by its corners and edges or moves it from inside. The band lives in display
// coordinates; the view's owner reads it in source pixels with GetImageSelection.
//
// States: no band; pressing (creating a band from an anchor, resizing or moving); band shown
// (the pointer shows the handle cursors). A release normalizes the band and shows it, or drops
// it when it has no width or height. Every change is reported with its cause, so that the
// owner tells an operator's release from a report caused by a rebuild or a clear.
#pragma once

#include <cstdint>

#include "image/dibunit.h"
#include "viewer/band_geometry.h"
#include "viewer/mouse_handlers.h"

class TRubberbandMouseHandler : public TMouseHandler {
 public:
  // Shows the default cursor over the image and keeps the band painted after every paint.
  explicit TRubberbandMouseHandler(TMouseHandlerView& view);
  // Erases a shown band.
  ~TRubberbandMouseHandler() override;

  void ViewChanging() override;
  void ViewChanged() override;
  void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
  void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) override;

  // The band, normalized, in display coordinates; raises "A region is not selected" when no
  // band is shown.
  TRect GetSelection() const;
  // The band in source pixels (each side rounded, halves to even).
  TRect GetImageSelection() const;
  // Erases a shown band and reports (0, 0, 0, 0); nothing otherwise.
  void ClearSelection();

  bool HasSelection() const { return hasSelection_; }
  const TBand& Band() const { return band_; }
  TBandMovement Movement() const { return movement_; }
  TGrabHandle Handle() const { return handle_; }

 private:
  void DrawBand();
  void EraseBand();
  void Report(const TRect& rect, TBandReportCause cause);
  TRect OutlineClientRect() const;
  void MoveBand(TPoint pointer);

  TBand band_{};
  bool hasSelection_ = false;
  TBandMovement movement_ = bmFree;
  TGrabHandle handle_ = ghBottomRight;
  TExtent savedDisplay_{};
  TPoint last_{};
};
