// TImageScrollBox: properties, rebuilding the display, and reading files.
#include "viewer/widgets/image_scroll_box.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <exception>

#include "image/streams.h"
#include "viewer/view_file_reader.h"
#include "viewer/widgets/display_picture.h"
#include "viewer/zoom_display_size.h"

namespace {

// Sets a flag for the length of a scope, also when the scope fails.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagGuard() { flag_ = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& flag_;
};

// A resolution of 0 in a graphic stands for the screen's logical dots per inch.
void TakeScreenResolution() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  auto dpi = [](qreal value) {
    return static_cast<std::uint16_t>(std::clamp(qRound(value), 1, 65535));
  };
  SetScreenResolution({dpi(screen->logicalDotsPerInchX()), dpi(screen->logicalDotsPerInchY())});
}

}  // namespace

TImageScrollBox::TImageScrollBox(QWidget* parent)
    : QAbstractScrollArea(parent), graphic_(std::make_unique<TDibGraphic>()) {
  TakeScreenResolution();
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  SetBarVisible(Qt::Horizontal, false);
  SetBarVisible(Qt::Vertical, false);
  resize(100, 100);
  gestureEnd_.setSingleShot(true);
  gestureEnd_.setInterval(250);
  connect(&gestureEnd_, &QTimer::timeout, this, [this] { RunGuarded([this] { ScrollEnd(); }); });
  WatchScrollGestures(horizontalScrollBar());
  WatchScrollGestures(verticalScrollBar());
  SetMouseMode(mmDrag);
}

TImageScrollBox::~TImageScrollBox() {
  handler_.reset();
  SetScreenCursor(crDefault);
}

void TImageScrollBox::RunGuarded(const std::function<void()>& work) {
  if (EventGuard) {
    EventGuard(work);
    return;
  }
  try {
    work();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
  }
}

TRubberbandMouseHandler* TImageScrollBox::Rubberband() const {
  return dynamic_cast<TRubberbandMouseHandler*>(handler_.get());
}

std::int32_t TImageScrollBox::ImageLeft() const {
  return ImageOffset(centering_.X, horizontalScrollBar()->value());
}

std::int32_t TImageScrollBox::ImageTop() const {
  return ImageOffset(centering_.Y, verticalScrollBar()->value());
}

void TImageScrollBox::SetZoomMode(TZoomMode mode) {
  if (mode == zoomMode_) return;
  zoomMode_ = mode;
  Redraw(false);
}

void TImageScrollBox::SetZoomPercent(float value) {
  if (zoomMode_ == zmPercent && zoomPercent_ == value) return;
  if (graphic_->Empty() || !(static_cast<double>(value) > 0.1)) return;
  zoomPercent_ = value;
  previousPercent_ = value;
  zoomMode_ = zmPercent;
  if (handler_) handler_->ViewChanging();
  Redraw(false);
  if (handler_) handler_->ViewChanged();
  if (OnZoomChange) OnZoomChange(*this, zoomPercent_);
}

void TImageScrollBox::SetAntiAliased(bool antiAliased) {
  if (antiAliased == antiAliased_) return;
  antiAliased_ = antiAliased;
  if (graphic_->ImageFormat() == gfBilevel) Redraw(false);
}

void TImageScrollBox::SetCentered(bool centered) {
  if (centered == centered_) return;
  centered_ = centered;
  if (handler_) handler_->ViewChanging();
  Redraw(false);
  if (handler_) handler_->ViewChanged();
}

void TImageScrollBox::SetFileName(const std::string& fileName) {
  if (!fileName.empty()) {
    LoadFromFile(fileName, 1);
    return;
  }
  graphic_->ReleaseImage();
  fileName_.clear();
  if (TRubberbandMouseHandler* band = Rubberband()) band->ClearSelection();
  if (OnNewGraphic) OnNewGraphic(*graphic_);
  Redraw(true);
}

void TImageScrollBox::SetMouseMode(TMouseMode mode) {
  if (mode == mouseMode_) return;
  handler_.reset();
  mouseMode_ = mode;
  TMouseHandlerView& view = *this;
  if (mode == mmDrag) {
    handler_ = std::make_unique<TDragMouseHandler>(view);
  } else if (mode == mmRubberband) {
    handler_ = std::make_unique<TRubberbandMouseHandler>(view);
  } else {
    SetImageCursor(crDefault);
  }
}

void TImageScrollBox::LoadFromFile(const std::string& fileName, std::int32_t imageIndex) {
  TFileStream stream(fileName, fmOpenRead);
  graphic_ = std::make_unique<TDibGraphic>();
  if (TRubberbandMouseHandler* band = Rubberband()) band->ClearSelection();
  try {
    graphic_ = ReadViewGraphic(stream, fileName, imageIndex, OnReadWriteProgress, this);
  } catch (...) {
    // The previous image must not stay on screen as if it were this view's image.
    Redraw(true);
    throw;
  }
  if (OnNewGraphic) OnNewGraphic(*graphic_);
  Redraw(true);
  fileName_ = fileName;
}

void TImageScrollBox::Redraw(bool graphicChanged) {
  if (!isVisible() || redrawing_) return;
  TFlagGuard redrawing(redrawing_);
  if (graphic_->Empty()) {
    ClearDisplay();
    return;
  }
  ComputeZoom();
  const bool zoomChanged = zoomPercent_ != previousPercent_;
  if (zoomChanged && OnZoomChange) OnZoomChange(*this, zoomPercent_);
  previousPercent_ = zoomPercent_;
  const bool tellHandler = handler_ && (graphicChanged || zoomChanged);
  if (tellHandler) handler_->ViewChanging();
  BuildDisplay();
  if (OnRedraw) OnRedraw(*graphic_);
  imageVisible_ = true;
  if (tellHandler) handler_->ViewChanged();
}

void TImageScrollBox::ClearDisplay() {
  display_.ReleaseImage();
  picture_ = QImage();
  SetBarVisible(Qt::Horizontal, false);
  SetBarVisible(Qt::Vertical, false);
  SetScrollRanges({0, 0});
  imageVisible_ = false;
  viewport()->update();
}

void TImageScrollBox::ComputeZoom() {
  TZoomScrollBars hidden = ScrollBarsHiddenForZoom(zoomMode_);
  if (hidden.HideVertical) SetBarVisible(Qt::Vertical, false);
  if (hidden.HideHorizontal) SetBarVisible(Qt::Horizontal, false);
  float percent = ComputeZoomPercent(zoomMode_, zoomPercent_, ClientExtent(), SourceExtent());
  zoomPercent_ = CappedZoomPercent(SourceExtent(), percent);
}

void TImageScrollBox::BuildDisplay() {
  const TExtent size = DisplaySize(SourceExtent(), zoomPercent_);
  SetBarVisible(Qt::Horizontal, size.Width > ClientExtent().Width);
  SetBarVisible(Qt::Vertical, size.Height > ClientExtent().Height);
  FillDisplay(size);
  picture_ = DisplayPicture(display_);
  ++rebuildCount_;
  SetScrollRanges(size);
  if (centered_) {
    CenterImage(size);
  } else {
    centering_ = {0, 0};
  }
  viewport()->update();
}

void TImageScrollBox::FillDisplay(TExtent size) {
  resize_.TargetWidth = size.Width;
  resize_.TargetHeight = size.Height;
  resize_.ForceFormat = true;
  resize_.TargetFormat = gfTrueColor;
  if (graphic_->ImageFormat() == gfBilevel && antiAliased_) {
    antiAlias_.TargetWidth = size.Width;
    antiAlias_.TargetHeight = size.Height;
    antiAlias_.ApplyOnDest(*graphic_, display_);
    resize_.Apply(display_);
  } else {
    resize_.ApplyOnDest(*graphic_, display_);
  }
}

void TImageScrollBox::SetScrollRanges(TExtent size) {
  const TExtent client = ClientExtent();
  QScrollBar* horizontal = horizontalScrollBar();
  QScrollBar* vertical = verticalScrollBar();
  horizontal->setPageStep(std::max(1, client.Width));
  vertical->setPageStep(std::max(1, client.Height));
  horizontal->setRange(0, HorzScrollBarVisible() ? std::max(0, size.Width - client.Width) : 0);
  vertical->setRange(0, VertScrollBarVisible() ? std::max(0, size.Height - client.Height) : 0);
  horizontal->setValue(0);
  vertical->setValue(0);
}

void TImageScrollBox::CenterImage(TExtent size) {
  if (handler_) handler_->ViewChanging();
  centering_ = {CenteringOffset(width(), size.Width), CenteringOffset(height(), size.Height)};
  if (handler_) handler_->ViewChanged();
}

void TImageScrollBox::SetBarVisible(Qt::Orientation orientation, bool visible) {
  Qt::ScrollBarPolicy policy = visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  if (orientation == Qt::Horizontal) {
    setHorizontalScrollBarPolicy(policy);
  } else {
    setVerticalScrollBarPolicy(policy);
  }
}

TExtent TImageScrollBox::ClientExtent() const {
  return {viewport()->width(), viewport()->height()};
}

bool TImageScrollBox::HorzScrollBarVisible() const {
  return horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
}

bool TImageScrollBox::VertScrollBarVisible() const {
  return verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
}

std::int32_t TImageScrollBox::HorzPosition() const {
  return horizontalScrollBar()->value();
}

std::int32_t TImageScrollBox::VertPosition() const {
  return verticalScrollBar()->value();
}

void TImageScrollBox::SetHorzPosition(std::int32_t position) {
  horizontalScrollBar()->setValue(position);
}

void TImageScrollBox::SetVertPosition(std::int32_t position) {
  verticalScrollBar()->setValue(position);
}

void TImageScrollBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (!redrawing_) RunGuarded([this] { Redraw(false); });
}

void TImageScrollBox::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  RunGuarded([this] { Redraw(false); });
}
