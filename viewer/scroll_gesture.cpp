// Scroll gesture bookkeeping.
#include "viewer/scroll_gesture.h"

TScrollNotice TScrollGesture::Step() {
  if (scrolling_) return snNone;
  scrolling_ = true;
  return snBegin;
}

TScrollNotice TScrollGesture::End() {
  if (!scrolling_) return snNone;
  scrolling_ = false;
  return snEnd;
}
