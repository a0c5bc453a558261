// TImageScrollBox, the scrolling, zooming view of one image.
//
// The view keeps the image at full resolution as its source graphic, derives a zoom percent
// from its zoom mode and client size, builds the display graphic (the source scaled to that
// percent) and its picture once per rebuild, and paints only that picture, 1:1, at the image
// origin the scroll bars give. Mouse input goes to the replaceable mouse handler first (drag
// or rubber band), then to the view's events. Coordinates: see viewer/view_coordinates.h.
//
// The horizontal and vertical scroll bars have Range = display width (height) and Position
// 0 .. Range - client extent, 0 while hidden. Each scroll gesture (a thumb drag or a press
// on a bar, a run of wheel turns or key steps) fires OnBeginScroll once at its first step
// and OnEndScroll once at its end; setting a position from code fires neither.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "viewer/band_mouse_handler.h"
#include "viewer/dib_graphic.h"
#include "viewer/image_transforms.h"
#include "viewer/mouse_handlers.h"
#include "viewer/scroll_gesture.h"
#include "viewer/zoom_percent.h"

class QPainter;
class QScrollBar;

class TImageScrollBox : public QAbstractScrollArea, private TMouseHandlerView {
  Q_OBJECT

 public:
  using TViewEvent = std::function<void(TImageScrollBox& sender)>;
  using TZoomEvent = std::function<void(TImageScrollBox& sender, float zoom)>;
  using TGraphicEvent = std::function<void(TDibGraphic& graphic)>;
  using TMouseButtonEvent = std::function<void(TImageScrollBox& sender, TMouseButton button,
                                               TShiftState shift, std::int32_t x, std::int32_t y)>;
  using TMouseMoveEvent = std::function<void(TImageScrollBox& sender, TShiftState shift,
                                             std::int32_t x, std::int32_t y)>;
  using TRubberbandEvent = std::function<void(const TRect& rect)>;
  // Runs the work of one toolkit event of the view; the owner installs its top-level failure
  // handler here. Without one a failure is written to the standard error stream.
  using TEventGuard = std::function<void(const std::function<void()>& work)>;

  // A 100 x 100 view with a drag handler and hidden scroll bars.
  explicit TImageScrollBox(QWidget* parent = nullptr);
  ~TImageScrollBox() override;

  // --- properties --------------------------------------------------------------------
  TZoomMode ZoomMode() const { return zoomMode_; }
  // A different mode is stored and the view rebuilt.
  void SetZoomMode(TZoomMode mode);
  float ZoomPercent() const { return zoomPercent_; }
  // Switches to zmPercent at value. Ignored for 0.1 or less, on an empty view, and when the
  // view already shows that percent.
  void SetZoomPercent(float value);
  bool AntiAliased() const { return antiAliased_; }
  // Shows a bi-level source scaled to gray.
  void SetAntiAliased(bool antiAliased);
  bool Centered() const override { return centered_; }
  void SetCentered(bool centered);
  const std::string& FileName() const { return fileName_; }
  // A name loads its first image; an empty name clears the view.
  void SetFileName(const std::string& fileName);

  // The source graphic. LoadFromFile puts a new object in its place: hold no reference to it
  // across a load.
  TDibGraphic& Graphic() { return *graphic_; }
  TDibGraphic& DisplayGraphic() { return display_; }
  TMouseHandler* MouseHandler() const { return handler_.get(); }
  // The handler when it is a rubber band, else null.
  TRubberbandMouseHandler* Rubberband() const;
  TMouseMode MouseMode() const { return mouseMode_; }
  // Why the rubber band made its latest report (valid during OnRubberbandChange).
  TBandReportCause BandReportCause() const { return bandReportCause_; }

  QScrollBar* HorzScrollBar() const { return horizontalScrollBar(); }
  QScrollBar* VertScrollBar() const { return verticalScrollBar(); }
  std::int32_t HorzRange() const { return display_.Width(); }
  std::int32_t VertRange() const { return display_.Height(); }
  std::int32_t ImageLeft() const;
  std::int32_t ImageTop() const;
  // Display rebuilds so far; painting and scrolling never add one.
  std::uint64_t RebuildCount() const { return rebuildCount_; }

  // --- operations --------------------------------------------------------------------
  // Rebuilds the display; graphicChanged says the source was refilled. Does nothing while
  // the view is hidden or already redrawing.
  void Redraw(bool graphicChanged);
  void SetMouseMode(TMouseMode mode);
  // Reads a file into the source graphic: imageIndex n > 0 reads image n, 0 the last one.
  // A failed read leaves the view empty, FileName unchanged, and raises.
  void LoadFromFile(const std::string& fileName, std::int32_t imageIndex);

  // --- events ------------------------------------------------------------------------
  TZoomEvent OnZoomChange;
  TGraphicEvent OnRedraw;
  TGraphicEvent OnNewGraphic;
  TMouseButtonEvent OnImageMouseDown;
  TMouseButtonEvent OnImageMouseUp;
  TMouseMoveEvent OnImageMouseMove;
  TViewEvent OnImageDblClick;
  TRubberbandEvent OnRubberbandChange;
  TDibGraphic::TProgressEvent OnReadWriteProgress;
  TViewEvent OnBeginScroll;
  TViewEvent OnEndScroll;
  TEventGuard EventGuard;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // TMouseHandlerView
  std::int32_t HorzPosition() const override;
  std::int32_t VertPosition() const override;
  void SetHorzPosition(std::int32_t position) override;
  void SetVertPosition(std::int32_t position) override;
  bool HorzScrollBarVisible() const override;
  bool VertScrollBarVisible() const override;
  TPoint ImageOrigin() const override { return {ImageLeft(), ImageTop()}; }
  TExtent DisplayExtent() const override { return {display_.Width(), display_.Height()}; }
  TExtent SourceExtent() const override { return {graphic_->Width(), graphic_->Height()}; }
  void SetImageCursor(TCursorShape shape) override;
  TCursorShape ScreenCursor() const override;
  void SetScreenCursor(TCursorShape shape) override;
  void RepaintNow() override;
  void DrawBandOutline(const TRect& client) override;
  void EraseBandOutline(const TRect& client) override;
  void SetAfterDrawAction(std::function<void()> action) override;
  void ReportRubberband(const TRect& band, TBandReportCause cause) override;

  void RunGuarded(const std::function<void()>& work);
  void ClearDisplay();
  void ComputeZoom();
  void BuildDisplay();
  void FillDisplay(TExtent size);
  void SetScrollRanges(TExtent size);
  void CenterImage(TExtent size);
  void SetBarVisible(Qt::Orientation orientation, bool visible);
  TExtent ClientExtent() const;
  bool OverImage(TPoint client) const;
  TPoint EventPoint(TPoint client, bool onImage) const;
  void ApplyCursor(TPoint client);
  void PaintBand(QPainter& painter, const TRect& client) const;
  void WatchScrollGestures(QScrollBar* bar);
  void ScrollStep();
  void ScrollEnd();

  std::unique_ptr<TDibGraphic> graphic_;
  TDibGraphic display_;
  QImage picture_;
  TResizeTransform resize_;
  TAntiAliasTransform antiAlias_;
  std::unique_ptr<TMouseHandler> handler_;
  TMouseMode mouseMode_ = mmNone;
  TZoomMode zoomMode_ = zmOriginalSize;
  float zoomPercent_ = 100.0F;
  float previousPercent_ = 100.0F;
  bool antiAliased_ = false;
  bool centered_ = false;
  std::string fileName_;
  bool redrawing_ = false;
  bool imageVisible_ = false;
  TPoint centering_{0, 0};
  std::uint64_t rebuildCount_ = 0;

  TCursorShape imageCursor_ = crDefault;
  bool screenOverride_ = false;
  TPoint lastPointer_{-1, -1};
  bool captureOnImage_ = false;
  QPainter* painter_ = nullptr;
  TBandReportCause bandReportCause_ = brRelease;

  TScrollGesture gesture_;
  QTimer gestureEnd_;
  bool barPressed_ = false;
};
