// The tuner's progress on standard error: on a terminal one line redrawn in place (runs done,
// percent, time so far and time left), otherwise a plain line at every tenth of the runs.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "evaluate/tuner.h"

class TTuneProgress : public TTuningObserver {
 public:
  TTuneProgress(std::FILE* stream, bool terminal);
  // Names the step the next runs belong to ("algo 3, 32 settings").
  void Step(const std::string& label);
  void RunsDone(std::size_t done, std::size_t total) override;
  // Ends a redrawn line.
  void Finish();

 private:
  double Elapsed() const;

  std::FILE* stream_;
  bool terminal_;
  std::string label_;
  std::size_t shownTenth_ = 0;
  bool lineOpen_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point stepStart_;
  std::chrono::steady_clock::time_point lastDraw_;
};
