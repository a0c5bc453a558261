// The toolkit's cursor shapes for the view's named cursors.
#pragma once

#include <Qt>

#include "viewer/view_cursor.h"

// Sizing cursors are the toolkit's diagonal, vertical and horizontal sizing shapes; the
// hands are its open and closed hands.
Qt::CursorShape CursorShapeOf(TCursorShape shape);
// The named cursor of a toolkit shape; crDefault for shapes the view never shows.
TCursorShape NamedCursorOf(Qt::CursorShape shape);
