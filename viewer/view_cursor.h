// The cursor shapes a view shows over its image, by name. The widget layer maps them to the
// toolkit's shapes; the mouse handlers only ever name them.
#pragma once

#include <cstdint>

enum TCursorShape : std::int32_t {
  crDefault = 0,
  crSizeNESW = -6,     // north-east / south-west sizing
  crSizeNS = -7,       // north-south sizing
  crSizeNWSE = -8,     // north-west / south-east sizing
  crSizeWE = -9,       // west-east sizing
  crHandOpened = 100,  // an image that can be dragged
  crHandClosed = 101   // an image being dragged
};
