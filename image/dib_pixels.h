// The per-format pixel fetch and store operations of TDIB.
#pragma once

#include "image/dibunit.h"

struct TPixelOperations {
  TPixelReader reader;
  TPixelWriter writer;
};

// The operations of a format code; both null for an unknown code.
TPixelOperations PixelOperationsOf(TDIBFormat format);
