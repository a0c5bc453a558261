// Geometry of the rubber band, in display coordinates: its corners, the handles by which it
// is grabbed, how a grabbed band moves, and how it follows a display that changes size.
//
// (X1, Y1) is the anchor corner and (X2, Y2) the moving corner; both are inclusive pixel
// positions. After a release the band is normalized (X1 <= X2, Y1 <= Y2).
#pragma once

#include <cstdint>
#include <optional>

#include "image/dibunit.h"
#include "viewer/view_coordinates.h"
#include "viewer/view_cursor.h"

struct TBand {
  std::int32_t X1, Y1, X2, Y2;
  friend bool operator==(const TBand&, const TBand&) = default;
};

enum TGrabHandle : std::uint8_t {
  ghTopLeft = 0,
  ghTop = 1,
  ghTopRight = 2,
  ghRight = 3,
  ghBottomRight = 4,
  ghBottom = 5,
  ghBottomLeft = 6,
  ghLeft = 7,
  ghInside = 8
};

enum TBandMovement : std::uint8_t {
  bmFree = 0,        // the moving corner follows the pointer
  bmVertical = 1,    // only its Y follows
  bmHorizontal = 2,  // only its X follows
  bmMove = 3         // the whole band follows
};

// How a grab moves the band; a value above ghInside raises
// "Invalid GrabHandle, GrabHandleToBandMovement".
TBandMovement GrabHandleToBandMovement(TGrabHandle handle);
// The cursor shown over a handle; a value above ghInside raises
// "Invalid GrabHandle, GrabHandleToCursor".
TCursorShape GrabHandleToCursor(TGrabHandle handle);

// The band with its corners swapped so that the grabbed corner or edge is the moving corner
// (X2, Y2) of a normalized band.
TBand SwapForGrab(const TBand& band, TGrabHandle handle);

// The handle of a normalized band under a display point, or none. Corners and edges count
// within 3 pixels; the inside starts 4 pixels in from the left and right edges.
std::optional<TGrabHandle> HitTest(const TBand& band, TPoint display);

// A point moved into the display: negative values become 0, values past the last column or
// row become that column or row.
TPoint ClampToDisplay(TPoint point, TExtent display);

// X1 <= X2 and Y1 <= Y2.
TBand NormalizeBand(const TBand& band);
// The band as a rectangle: (min X, min Y, max X, max Y).
TRect BandRect(const TBand& band);

// The band of a display resized from saved to now: each coordinate times the new/old ratio
// of its axis, truncated toward zero. An axis whose saved extent is 0 is left as it is.
TBand RescaleBand(const TBand& band, TExtent saved, TExtent now);
