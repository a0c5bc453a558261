// TImageScrollBox: painting the display picture and the rubber band's outline over it.
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include "viewer/band_outline.h"
#include "viewer/widgets/image_scroll_box.h"

namespace {

QRegion OutlineRegion(const TRect& client) {
  QRegion region;
  for (const TRect& strip : BandOutlineStrips(client)) {
    region += QRect(QPoint(strip.Left, strip.Top), QPoint(strip.Right, strip.Bottom));
  }
  return region;
}

QColor ColorOf(std::uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

void TImageScrollBox::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), viewport()->palette().color(viewport()->backgroundRole()));
  if (!imageVisible_ || picture_.isNull()) return;
  const QRect image(ImageLeft(), ImageTop(), picture_.width(), picture_.height());
  const QRect exposed = image & event->rect();
  if (!exposed.isEmpty()) {
    painter.drawImage(exposed, picture_, exposed.translated(-image.topLeft()));
  }
  // The band (if any) is painted over every paint of the image.
  painter_ = &painter;
  RunGuarded([this] { display_.AfterDraw(); });
  painter_ = nullptr;
}

void TImageScrollBox::RepaintNow() {
  viewport()->repaint();
}

void TImageScrollBox::DrawBandOutline(const TRect& client) {
  if (painter_ != nullptr) {
    PaintBand(*painter_, client);
  } else {
    viewport()->update(OutlineRegion(client));
  }
}

// Erasing repaints the outline's pixels from the display picture.
void TImageScrollBox::EraseBandOutline(const TRect& client) {
  viewport()->update(OutlineRegion(client));
}

void TImageScrollBox::PaintBand(QPainter& painter, const TRect& client) const {
  const QColor dot = ColorOf(kBandDotColor);
  const QColor gap = ColorOf(kBandGapColor);
  for (const TOutlinePixel& pixel : BandOutlinePixels(client)) {
    painter.fillRect(pixel.Position.X, pixel.Position.Y, 1, 1, pixel.Dot ? dot : gap);
  }
}

void TImageScrollBox::SetAfterDrawAction(std::function<void()> action) {
  if (!action) {
    display_.OnAfterDraw = nullptr;
    return;
  }
  display_.OnAfterDraw = [action = std::move(action)](const void*) { action(); };
}

void TImageScrollBox::ReportRubberband(const TRect& band, TBandReportCause cause) {
  bandReportCause_ = cause;
  if (OnRubberbandChange) OnRubberbandChange(band);
}
