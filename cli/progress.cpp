// The batch command's progress display.
#include "cli/progress.h"

#include <cmath>

namespace {

constexpr int kBarWidth = 24;
// Redrawing the bar more often than this only costs terminal time.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::string Format(const char* format, auto... values) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, values...);
  return buffer;
}

std::string Duration(double seconds) {
  const auto total = static_cast<long>(std::lround(seconds));
  if (total >= 3600) return Format("%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  return Format("%ld:%02ld", total / 60, total % 60);
}

double Milliseconds(double seconds) {
  return seconds * 1000.0;
}

}  // namespace

TProgressDisplay::TProgressDisplay(std::FILE* stream, bool terminal, bool quiet, bool verbose)
    : stream_(stream), terminal_(terminal), quiet_(quiet), verbose_(verbose) {}

double TProgressDisplay::Elapsed() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void TProgressDisplay::Started(std::size_t files) {
  files_ = files;
  start_ = std::chrono::steady_clock::now();
  if (!quiet_ && files == 0) Print("no images to process");
  DrawBar(true);
}

std::string TProgressDisplay::FileLine(const TFileReport& report) const {
  std::string line = Format("[%zu/%zu] ", done_, files_) + report.Input;
  if (report.Outcome == TFileOutcome::foSkipped)
    return line + ": skipped, " + report.Output + " exists";
  line += " -> " + report.Output;
  if (report.BilevelPages == 1 && report.Pages == 1) {
    line += " (bi-level already, written as it is)";
  } else if (report.BilevelPages > 0) {
    line += Format(" (%d of %d pages bi-level already, written as they are)", report.BilevelPages,
                   report.Pages);
  }
  if (verbose_) {
    line += Format(": %d page%s, read %.1f ms, binarize %.1f ms, write %.1f ms", report.Pages,
                   report.Pages == 1 ? "" : "s", Milliseconds(report.ReadSeconds),
                   Milliseconds(report.BinarizeSeconds), Milliseconds(report.WriteSeconds));
  }
  return line;
}

void TProgressDisplay::FileDone(const TFileReport& report) {
  ++done_;
  pages_ += report.Pages;
  if (report.Outcome == TFileOutcome::foFailed) {
    Print(std::string(kProgramName) + ": " + report.Input + ": " + report.Error);
  } else if (!quiet_ && (!terminal_ || verbose_)) {
    Print(FileLine(report));
  }
  DrawBar(done_ == files_);
}

std::string TProgressDisplay::Bar() const {
  const double fraction = files_ == 0 ? 1.0 : static_cast<double>(done_) / files_;
  const int filled = static_cast<int>(fraction * kBarWidth);
  const double elapsed = Elapsed();
  std::string bar = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] ";
  bar += Format("%zu/%zu files  %.1f pages/s  ", done_, files_,
                elapsed > 0 ? static_cast<double>(pages_) / elapsed : 0.0);
  if (done_ == 0) return bar + "--:-- left";
  return bar +
         Duration(elapsed / static_cast<double>(done_) * static_cast<double>(files_ - done_)) +
         " left";
}

void TProgressDisplay::Print(const std::string& line) {
  // On a terminal the line replaces the bar, which is drawn again below it.
  std::fprintf(stream_, "%s%s\n", barShown_ ? "\r\033[K" : "", line.c_str());
  barShown_ = false;
  std::fflush(stream_);
}

void TProgressDisplay::DrawBar(bool force) {
  if (!terminal_ || quiet_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && barShown_ && now - lastDraw_ < kRedrawInterval) return;
  lastDraw_ = now;
  std::fprintf(stream_, "\r%s\033[K", Bar().c_str());
  barShown_ = true;
  std::fflush(stream_);
}

void TProgressDisplay::Finished(const TBatchSummary& summary) {
  if (barShown_) std::fputc('\n', stream_);
  barShown_ = false;
  if (quiet_) return;
  const double elapsed = Elapsed();
  Print(
      Format("%zu file%s, %lld page%s in %.1f s (%.1f pages/s): %zu written, %zu skipped, "
             "%zu failed",
             files_, files_ == 1 ? "" : "s", static_cast<long long>(summary.Pages),
             summary.Pages == 1 ? "" : "s", elapsed,
             elapsed > 0 ? static_cast<double>(summary.Pages) / elapsed : 0.0, summary.Written,
             summary.Skipped, summary.Failed));
}
