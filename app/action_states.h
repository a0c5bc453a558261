// Which actions are enabled and checked, derived afresh from the window's state whenever the
// application is idle, so that no handler has to remember to update them.
#pragma once

#include <cstdint>

struct TWindowState {
  bool OriginalEmpty = true;
  bool ProcessedEmpty = true;
  bool OriginalOnTop = true;     // layout: original view above the processed view
  std::int32_t BatchCount = 0;   // entries of the batch list; 0 outside batch mode
  std::int32_t BatchIndex = -1;  // its selected entry
};

struct TActionStates {
  bool VerticalChecked = false;
  bool HorizontalChecked = false;
  bool ZoomEnabled = false;  // the five zoom actions
  bool RefreshEnabled = false;
  bool SaveEnabled = false;
  bool FirstPriorEnabled = false;  // First Image, Prior Image
  bool NextLastEnabled = false;    // Next Image, Last Image

  bool operator==(const TActionStates&) const = default;
};

TActionStates ActionStatesOf(const TWindowState& state);
