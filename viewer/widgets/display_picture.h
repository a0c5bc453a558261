// The picture a view paints: its display graphic turned once per rebuild into an image the
// toolkit copies to the screen 1:1, so that painting and scrolling never convert or rescale.
#pragma once

#include <QImage>

#include "viewer/dib_graphic.h"

// A top-down copy of the display graphic (a null image for an empty graphic). The view's
// display is 24-bit; other formats go through their palette.
QImage DisplayPicture(const TDibGraphic& display);
