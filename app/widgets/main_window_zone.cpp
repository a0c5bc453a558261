// The zone cycle in the window: rubber-band reports become the zone, the slider window stands
// beside it, and an update cuts, binarizes and pastes the zone into the processed image.
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>

#include "app/widgets/main_window.h"
#include "app/widgets/thresholding_window.h"
#include "app/window_placement.h"
#include "app/zone_update.h"

void TFormMain::ClearBand(TImageScrollBox& view) {
  if (TRubberbandMouseHandler* band = view.Rubberband()) band->ClearSelection();
}

void TFormMain::UpdateRequired() {
  TDibGraphic& original = ImageScrollBoxOriginal->Graphic();
  TDibGraphic& processed = ImageScrollBoxProcessed->Graphic();
  if (original.Empty() || processed.Empty()) return;
  const std::int32_t left = DialogoThresholdingInterattivo->Contrast();
  const std::int32_t right = DialogoThresholdingInterattivo->Brightness();
  if (!ZoneUpdateNeeded(Settings, left, right, ForceRefresh)) return;
  ForceRefresh = false;
  const TRect rect = ZoneRectangle(Zone, original.Width(), original.Height());
  // A bi-level original is binary already: nothing is processed and nothing is modified.
  if (original.ImageFormat() == gfBilevel) return;
  RunProcessing(
      [&] { UpdateZone(original, processed, rect, SliderSettings(Settings, left, right)); });
  const int horizontal = ImageScrollBoxProcessed->HorzScrollBar()->value();
  const int vertical = ImageScrollBoxProcessed->VertScrollBar()->value();
  ImageScrollBoxProcessed->Redraw(true);
  ImageScrollBoxProcessed->HorzScrollBar()->setValue(horizontal);
  ImageScrollBoxProcessed->VertScrollBar()->setValue(vertical);
}

// A band report of one view. Only the operator's release starts an immediate update: a
// report made by rebuilding a view or by clearing a band must not start one.
void TFormMain::RubberbandChange(TImageScrollBox& view, TImageScrollBox& other) {
  TRubberbandMouseHandler* band = view.Rubberband();
  if (band == nullptr || !band->HasSelection()) return;
  Zone = TZone::Band(band->GetImageSelection());
  SetPanel(2, ZonePanelText(Zone));
  ClearBand(other);
  const TRect client =
      DisplayRectToClient(band->GetSelection(), {view.ImageLeft(), view.ImageTop()});
  const QPoint topLeft = view.viewport()->mapToGlobal(QPoint(client.Left, client.Top));
  const QPoint bottomRight = view.viewport()->mapToGlobal(QPoint(client.Right, client.Bottom));
  const bool released = view.BandReportCause() == brRelease && !band->ButtonDown();
  if (released && ActionImmediate->isChecked()) UpdateRequired();

  QScreen* screen = QGuiApplication::screenAt(topLeft);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect area = screen->geometry();
  const TScreenPoint place =
      PlaceThresholdingWindow({topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()},
                              {area.left(), area.top(), area.right(), area.bottom()},
                              DialogoThresholdingInterattivo->frameGeometry().width(),
                              DialogoThresholdingInterattivo->frameGeometry().height());
  DialogoThresholdingInterattivo->move(place.X, place.Y);
}

void TFormMain::ImageMouse(TMouseButton button, bool down) {
  if (button != mbLeft) return;
  DialogoThresholdingInterattivo->setVisible(!down);
}

void TFormMain::ActionRefreshExecute() {
  ForceRefresh = true;
  UpdateRequired();
}
