// Scroll gestures: one begin per gesture however many steps, an end only after a begin.
#include <gtest/gtest.h>

#include <string>

#include "viewer/scroll_gesture.h"

namespace {

struct TGestureCase {
  const char* Messages;  // s: a scroll step, e: the end-of-scroll notice
  const char* Expected;  // b: begin reported, e: end reported
  const char* Reason;
};

const TGestureCase kGestureCases[] = {
    {"ssse", "be", "many steps, one begin and one end"},
    {"e", "", "an end without a begin is not reported"},
    {"see", "be", "a second end is not reported"},
    {"sese", "bebe", "two gestures"},
    {"s", "b", "a gesture still open"},
};

TEST(ScrollGesture, BeginOncePerGestureEndOnlyAfterABegin) {
  for (const TGestureCase& c : kGestureCases) {
    TScrollGesture gesture;
    std::string reported;
    for (const char* m = c.Messages; *m != '\0'; ++m) {
      TScrollNotice notice = *m == 's' ? gesture.Step() : gesture.End();
      if (notice == snBegin) reported += 'b';
      if (notice == snEnd) reported += 'e';
    }
    EXPECT_EQ(reported, c.Expected) << c.Reason;
  }
}

}  // namespace
