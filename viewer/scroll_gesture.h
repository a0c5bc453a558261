// Begin and end of a scroll gesture. A gesture (a thumb drag, a run of arrow clicks, wheel
// turns or key presses) is a run of scroll steps closed by one end-of-scroll notice; a view
// reports its begin once, at the first step, and its end once, and only after a begin.
#pragma once

enum TScrollNotice : unsigned char { snNone, snBegin, snEnd };

class TScrollGesture {
 public:
  // A scroll step; snBegin when it opens a gesture.
  TScrollNotice Step();
  // The end-of-scroll notice; snEnd when a gesture was open.
  TScrollNotice End();
  bool Scrolling() const { return scrolling_; }

 private:
  bool scrolling_ = false;
};
