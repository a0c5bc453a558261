// A stand-in for the external thresholding engine, loaded at run time by the desktop
// program's tests: the start and end entry points, a few of the others, and controls that
// make the start or the end raise and count how often each was called.
#include <stdexcept>

namespace {

int mode = 0;  // 1: start raises with a message, 2: start raises a bare value, 3: end raises
int starts = 0;
int ends = 0;

}  // namespace

extern "C" {

void StandInSetMode(int newMode) {
  mode = newMode;
  starts = 0;
  ends = 0;
}
int StandInStarts() {
  return starts;
}
int StandInEnds() {
  return ends;
}

void ThrInitS() {
  ++starts;
  if (mode == 1) throw std::runtime_error("The engine's licence has expired");
  if (mode == 2) throw 42;
}

void ThrDeInitS() {
  ++ends;
  if (mode == 3) throw std::runtime_error("The engine is busy");
}

int ThrEnumS() {
  return 0;
}
int ThrSettingsMaxStrLenS() {
  return 260;
}

}  // extern "C"
