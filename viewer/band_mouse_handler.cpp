// The rubber-band selection handler.
#include "viewer/band_mouse_handler.h"

#include "viewer/view_coordinates.h"
#include "viewer/viewer_errors.h"

TRubberbandMouseHandler::TRubberbandMouseHandler(TMouseHandlerView& view) : TMouseHandler(view) {
  view.SetImageCursor(crDefault);
  view.SetAfterDrawAction([this] {
    if (hasSelection_) DrawBand();
  });
}

TRubberbandMouseHandler::~TRubberbandMouseHandler() {
  if (hasSelection_) EraseBand();
  ScrollBox().SetAfterDrawAction(nullptr);
}

TRect TRubberbandMouseHandler::OutlineClientRect() const {
  return DisplayRectToClient(BandRect(band_), ScrollBox().ImageOrigin());
}

void TRubberbandMouseHandler::DrawBand() {
  ScrollBox().DrawBandOutline(OutlineClientRect());
  hasSelection_ = true;
}

void TRubberbandMouseHandler::EraseBand() {
  ScrollBox().EraseBandOutline(OutlineClientRect());
  hasSelection_ = false;
}

void TRubberbandMouseHandler::Report(const TRect& rect, TBandReportCause cause) {
  ScrollBox().ReportRubberband(rect, cause);
}

TRect TRubberbandMouseHandler::GetSelection() const {
  if (!hasSelection_) throw ERubberbandError("A region is not selected");
  return BandRect(band_);
}

TRect TRubberbandMouseHandler::GetImageSelection() const {
  return DisplayRectToSource(GetSelection(), ScrollBox().SourceExtent(),
                             ScrollBox().DisplayExtent());
}

void TRubberbandMouseHandler::ClearSelection() {
  if (!hasSelection_) return;
  EraseBand();
  Report({0, 0, 0, 0}, brClear);
}

void TRubberbandMouseHandler::ViewChanging() {
  bool shown = hasSelection_;
  if (shown) EraseBand();
  // A centered view loses its selection; otherwise the band stays selected while hidden and
  // follows the display in ViewChanged.
  if (ScrollBox().Centered()) return;
  savedDisplay_ = ScrollBox().DisplayExtent();
  hasSelection_ = shown;
}

void TRubberbandMouseHandler::ViewChanged() {
  if (!hasSelection_) return;
  band_ = RescaleBand(band_, savedDisplay_, ScrollBox().DisplayExtent());
  DrawBand();
  Report(BandRect(band_), brViewChange);
}

void TRubberbandMouseHandler::MouseDown(TMouseButton, TShiftState, std::int32_t x, std::int32_t y) {
  if (ScrollBox().Centered()) return;
  std::optional<TGrabHandle> hit;
  if (hasSelection_) hit = HitTest(band_, {x, y});
  SetButtonDown(true);
  last_ = {x, y};
  if (hit) {
    handle_ = *hit;
    movement_ = GrabHandleToBandMovement(handle_);
    band_ = SwapForGrab(band_, handle_);
    return;
  }
  if (hasSelection_) {
    EraseBand();
    Report({0, 0, 0, 0}, brPress);
  }
  movement_ = bmFree;
  handle_ = ghBottomRight;
  // The anchor is the press itself, not clamped: a press beside the image anchors there.
  band_ = {x, y, x, y};
}

void TRubberbandMouseHandler::MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) {
  if (!ButtonDown()) {
    if (!hasSelection_) return;
    std::optional<TGrabHandle> hit = HitTest(band_, {x, y});
    ScrollBox().SetImageCursor(hit ? GrabHandleToCursor(*hit) : crDefault);
    return;
  }
  if ((shift & ssLeft) == 0) return;
  if (movement_ == bmMove) {
    MoveBand({x, y});
    return;
  }
  TPoint corner = ClampToDisplay({x, y}, ScrollBox().DisplayExtent());
  if (movement_ == bmVertical) corner.X = band_.X2;
  if (movement_ == bmHorizontal) corner.Y = band_.Y2;
  EraseBand();
  band_.X2 = corner.X;
  band_.Y2 = corner.Y;
  DrawBand();
  Report(BandRect(band_), brDrag);
}

// Moves the whole band by the pointer's step. Each corner is kept on the display on its own,
// so a band pushed against an edge shrinks and stays shrunk.
void TRubberbandMouseHandler::MoveBand(TPoint pointer) {
  EraseBand();
  std::int32_t dx = pointer.X - last_.X, dy = pointer.Y - last_.Y;
  last_ = pointer;
  TExtent display = ScrollBox().DisplayExtent();
  TPoint anchor = ClampToDisplay({band_.X1 + dx, band_.Y1 + dy}, display);
  TPoint corner = ClampToDisplay({band_.X2 + dx, band_.Y2 + dy}, display);
  band_ = {anchor.X, anchor.Y, corner.X, corner.Y};
  DrawBand();
  Report(BandRect(band_), brDrag);
}

void TRubberbandMouseHandler::MouseUp(TMouseButton, TShiftState, std::int32_t, std::int32_t) {
  if (!ButtonDown()) return;
  if (hasSelection_) {
    band_ = NormalizeBand(band_);
    if (band_.X1 == band_.X2 || band_.Y1 == band_.Y2) EraseBand();
  }
  SetButtonDown(false);
  Report(BandRect(band_), brRelease);
}
