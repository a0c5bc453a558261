// When the two sliders of the thresholding window have come to rest: the window's timer ticks
// every 500 ms while the sliders move, and the owner is told at the second consecutive tick
// without a change, once per period of rest. The widget owns the real timer; this class
// decides when it runs and when to notify.
#pragma once

#include <cstdint>

class TSliderRest {
 public:
  // The window was shown: nothing has been seen yet.
  void Shown();
  // A slider moved: the timer must run.
  void Changed() { timerOn_ = true; }
  // The sliders were set by the program: remember the values and stop the timer.
  void SetPositions(std::int32_t contrast, std::int32_t brightness);
  // One tick with the sliders' positions; true when the owner is to be notified now (the
  // timer is then off).
  bool Tick(std::int32_t contrast, std::int32_t brightness);
  bool TimerOn() const { return timerOn_; }

 private:
  std::int32_t lastContrast_ = -1;
  std::int32_t lastBrightness_ = -1;
  std::int32_t stableTicks_ = 0;
  bool timerOn_ = false;
};
