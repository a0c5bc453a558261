// Named view cursors and the toolkit's shapes.
#include "viewer/widgets/view_cursors.h"

namespace {

struct TCursorPair {
  TCursorShape Named;
  Qt::CursorShape Shape;
};

constexpr TCursorPair kCursors[] = {
    {crSizeNESW, Qt::SizeBDiagCursor},  {crSizeNS, Qt::SizeVerCursor},
    {crSizeNWSE, Qt::SizeFDiagCursor},  {crSizeWE, Qt::SizeHorCursor},
    {crHandOpened, Qt::OpenHandCursor}, {crHandClosed, Qt::ClosedHandCursor},
};

}  // namespace

Qt::CursorShape CursorShapeOf(TCursorShape shape) {
  for (const TCursorPair& pair : kCursors) {
    if (pair.Named == shape) return pair.Shape;
  }
  return Qt::ArrowCursor;
}

TCursorShape NamedCursorOf(Qt::CursorShape shape) {
  for (const TCursorPair& pair : kCursors) {
    if (pair.Shape == shape) return pair.Named;
  }
  return crDefault;
}
