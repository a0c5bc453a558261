// A real view on the screen (Qt's offscreen platform in the test run) showing a small
// generated image, and real mouse events sent to its client area.
#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <memory>

#include "viewer/widgets/image_scroll_box.h"

namespace scroll_box_test {

// The colour of a pattern pixel: no two neighbours alike, so a shifted paint shows.
inline TColorValue PatternColor(std::int32_t x, std::int32_t y) {
  return (static_cast<TColorValue>(x * 7 & 0xFF) << 16) |
         (static_cast<TColorValue>(y * 5 & 0xFF) << 8) | 0x40;
}

inline void FillPattern(TDibGraphic& graphic, std::int32_t width, std::int32_t height) {
  graphic.NewImage(width, height, gfTrueColor, nullptr, 96, 96);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) graphic.SetPixelColor(x, y, PatternColor(x, y));
  }
}

// A shown view of the given client size (it has no frame) at 100 %.
inline std::unique_ptr<TImageScrollBox> ShownView(std::int32_t clientWidth,
                                                  std::int32_t clientHeight) {
  auto view = std::make_unique<TImageScrollBox>();
  view->resize(clientWidth, clientHeight);
  view->show();
  QCoreApplication::processEvents();
  return view;
}

// A shown view holding the pattern image of width x height.
inline std::unique_ptr<TImageScrollBox> PatternView(std::int32_t clientWidth,
                                                    std::int32_t clientHeight, std::int32_t width,
                                                    std::int32_t height) {
  auto view = ShownView(clientWidth, clientHeight);
  FillPattern(view->Graphic(), width, height);
  view->Redraw(true);
  return view;
}

inline void SendMouse(TImageScrollBox& view, QEvent::Type type, QPoint client,
                      Qt::MouseButton button, Qt::MouseButtons held) {
  QWidget* target = view.viewport();
  QMouseEvent event(type, QPointF(client), target->mapToGlobal(QPointF(client)), button, held,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(target, &event);
}

inline void Press(TImageScrollBox& view, QPoint client, Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(view, QEvent::MouseButtonPress, client, button, button);
}
inline void MoveTo(TImageScrollBox& view, QPoint client, Qt::MouseButtons held = Qt::LeftButton) {
  SendMouse(view, QEvent::MouseMove, client, Qt::NoButton, held);
}
inline void Release(TImageScrollBox& view, QPoint client, Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(view, QEvent::MouseButtonRelease, client, button, Qt::NoButton);
}
inline void DragMouse(TImageScrollBox& view, QPoint from, QPoint to) {
  Press(view, from);
  MoveTo(view, to);
  Release(view, to);
}

}  // namespace scroll_box_test
