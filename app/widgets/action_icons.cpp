// Tool bar pictures: theme names, and 24 x 24 drawings of pages, arrows and frames as the
// fallback.
#include "app/widgets/action_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const char* ThemeName(TActionIcon icon) {
  switch (icon) {
    case aiOpen:
      return "document-open";
    case aiSaveAs:
      return "document-save-as";
    case aiFitToPage:
      return "zoom-fit-best";
    case aiOriginalSize:
      return "zoom-original";
    case aiRefresh:
      return "view-refresh";
    case aiFirst:
      return "go-first";
    case aiPrior:
      return "go-previous";
    case aiNext:
      return "go-next";
    case aiLast:
      return "go-last";
    case aiSettings:
      return "preferences-system";
    case aiFolders:
      return "folder-open";
    default:
      return "";
  }
}

const QColor kInk(40, 60, 110);
const QColor kPaper(250, 250, 245);
const QColor kAccent(200, 120, 20);

void Page(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kInk, 1.2));
  p.setBrush(kPaper);
  p.drawRect(r);
  p.setPen(QPen(kInk.lighter(160), 1));
  for (qreal y = r.top() + 4; y < r.bottom() - 2; y += 3) {
    p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
  }
}

void Triangle(QPainter& p, qreal x, bool right) {
  QPainterPath path;
  const qreal tip = right ? x + 7 : x - 7;
  path.moveTo(x, 6);
  path.lineTo(tip, 12);
  path.lineTo(x, 18);
  path.closeSubpath();
  p.fillPath(path, kInk);
}

void Bar(QPainter& p, qreal x) {
  p.fillRect(QRectF(x, 6, 2.5, 12), kInk);
}

// Arrows on a page's edges: both sides (width), top and bottom (height), all four (page).
void FitArrows(QPainter& p, bool horizontal, bool vertical) {
  p.setPen(QPen(kAccent, 2));
  if (horizontal) {
    p.drawLine(QPointF(1, 12), QPointF(23, 12));
    p.drawLine(QPointF(1, 12), QPointF(4, 9));
    p.drawLine(QPointF(23, 12), QPointF(20, 9));
  }
  if (vertical) {
    p.drawLine(QPointF(12, 1), QPointF(12, 23));
    p.drawLine(QPointF(12, 1), QPointF(9, 4));
    p.drawLine(QPointF(12, 23), QPointF(9, 20));
  }
}

void Draw(QPainter& p, TActionIcon icon) {
  switch (icon) {
    case aiOpen:
    case aiFolders:
      p.setPen(QPen(kInk, 1.2));
      p.setBrush(QColor(235, 200, 90));
      p.drawRect(QRectF(2, 7, 20, 13));
      p.drawRect(QRectF(2, 5, 8, 3));
      if (icon == aiFolders) Page(p, QRectF(11, 2, 9, 11));
      break;
    case aiSaveAs:
      p.setPen(QPen(kInk, 1.2));
      p.setBrush(QColor(90, 120, 190));
      p.drawRect(QRectF(3, 3, 18, 18));
      p.setBrush(kPaper);
      p.drawRect(QRectF(7, 3, 10, 7));
      break;
    case aiFitToPage:
    case aiFitToWidth:
    case aiFitToHeight:
      Page(p, QRectF(6, 4, 12, 16));
      FitArrows(p, icon != aiFitToHeight, icon != aiFitToWidth);
      break;
    case aiOriginalSize:
    case aiNoZoom:
      Page(p, QRectF(5, 3, 14, 18));
      p.setPen(QPen(kAccent, 1));
      p.setFont(QFont("Sans", 6, QFont::Bold));
      p.drawText(QRectF(3, 8, 18, 10), Qt::AlignCenter, icon == aiNoZoom ? "100" : "1:1");
      break;
    case aiRefresh:
      p.setPen(QPen(kInk, 2.5));
      p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 300 * 16);
      Triangle(p, 17, true);
      break;
    case aiFirst:
      Bar(p, 5);
      Triangle(p, 17, false);
      break;
    case aiPrior:
      Triangle(p, 15, false);
      break;
    case aiNext:
      Triangle(p, 9, true);
      break;
    case aiLast:
      Triangle(p, 7, true);
      Bar(p, 16.5);
      break;
    case aiVertical:
      Page(p, QRectF(5, 2, 14, 9));
      Page(p, QRectF(5, 13, 14, 9));
      break;
    case aiHorizontal:
      Page(p, QRectF(2, 4, 9, 16));
      Page(p, QRectF(13, 4, 9, 16));
      break;
    case aiSettings:
      p.setPen(QPen(kInk, 2));
      for (const qreal x : {6.0, 12.0, 18.0}) p.drawLine(QPointF(x, 3), QPointF(x, 21));
      p.setBrush(kAccent);
      p.drawRect(QRectF(4, 13, 4, 4));
      p.drawRect(QRectF(10, 6, 4, 4));
      p.drawRect(QRectF(16, 15, 4, 4));
      break;
  }
}

}  // namespace

QIcon DrawnActionIcon(TActionIcon icon) {
  QPixmap picture(24, 24);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  Draw(painter, icon);
  return QIcon(picture);
}

QIcon ActionIcon(TActionIcon icon) {
  return QIcon::fromTheme(ThemeName(icon), DrawnActionIcon(icon));
}
