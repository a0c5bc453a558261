// Showing the tuner's progress.
#include "evaluate/tune_progress.h"

namespace {

constexpr double kRedrawSeconds = 0.25;

}  // namespace

TTuneProgress::TTuneProgress(std::FILE* stream, bool terminal)
    : stream_(stream), terminal_(terminal), start_(std::chrono::steady_clock::now()) {}

double TTuneProgress::Elapsed() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void TTuneProgress::Step(const std::string& label) {
  Finish();
  label_ = label;
  shownTenth_ = 0;
  stepStart_ = std::chrono::steady_clock::now();
}

void TTuneProgress::RunsDone(std::size_t done, std::size_t total) {
  const auto now = std::chrono::steady_clock::now();
  const std::size_t tenth = done * 10 / total;
  const bool last = done == total;
  if (terminal_ ? !last && now - lastDraw_ < std::chrono::duration<double>(kRedrawSeconds)
                : tenth == shownTenth_ && !last) {
    return;
  }
  lastDraw_ = now;
  shownTenth_ = tenth;
  const double stepSeconds = std::chrono::duration<double>(now - stepStart_).count();
  const double left = stepSeconds / done * (total - done);
  std::fprintf(stream_, "%s%s: %zu/%zu runs (%zu%%), %.0f s in all, %.0f s left in this step%s",
               terminal_ ? "\r\033[K" : "", label_.c_str(), done, total, done * 100 / total,
               Elapsed(), left, terminal_ ? "" : "\n");
  std::fflush(stream_);
  lineOpen_ = terminal_;
}

void TTuneProgress::Finish() {
  if (lineOpen_) std::fputc('\n', stream_);
  lineOpen_ = false;
}
