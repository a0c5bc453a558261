// What the batch command shows while it runs, on standard error: on a terminal a progress bar
// (files done, pages per second, time left) with failures printed above it; otherwise one
// plain line per file. Quiet shows failures only; verbose adds each file's times for
// reading, binarizing and writing.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "cli/batch_runner.h"

inline constexpr const char* kProgramName = "zonewright-cli";

class TProgressDisplay : public TBatchObserver {
 public:
  TProgressDisplay(std::FILE* stream, bool terminal, bool quiet, bool verbose);
  void Started(std::size_t files) override;
  void FileDone(const TFileReport& report) override;
  // The closing summary line.
  void Finished(const TBatchSummary& summary);

 private:
  double Elapsed() const;
  std::string FileLine(const TFileReport& report) const;
  std::string Bar() const;
  void Print(const std::string& line);
  void DrawBar(bool force);

  std::FILE* stream_;
  bool terminal_;
  bool quiet_;
  bool verbose_;
  std::size_t files_ = 0;
  std::size_t done_ = 0;
  std::int64_t pages_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
  bool barShown_ = false;
};
