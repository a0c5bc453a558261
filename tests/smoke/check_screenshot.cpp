// Checks a screenshot of the desktop program filling the screen: the original view (upper
// half) shows a page, not a blank area, and the processed view (lower half) shows a
// black-and-white page. Prints what it measured; exits 1 when a check fails.
#include <QImage>
#include <cstdio>

namespace {

struct TRegionStats {
  double Dark = 0, Light = 0, Between = 0;  // shares of pixels
  int Levels = 0;                           // distinct gray levels
};

// Shares of pure black (<= 8), pure white (>= 247) and other gray levels in a region given
// as fractions of the image.
TRegionStats Measure(const QImage& shot, double left, double top, double right, double bottom) {
  const int x0 = static_cast<int>(left * shot.width()), x1 = static_cast<int>(right * shot.width());
  const int y0 = static_cast<int>(top * shot.height());
  const int y1 = static_cast<int>(bottom * shot.height());
  TRegionStats stats;
  bool seen[256] = {};
  double total = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const int gray = qGray(shot.pixel(x, y));
      seen[gray] = true;
      (gray <= 8 ? stats.Dark : gray >= 247 ? stats.Light : stats.Between) += 1;
      total += 1;
    }
  }
  for (bool level : seen) stats.Levels += level;
  stats.Dark /= total;
  stats.Light /= total;
  stats.Between /= total;
  return stats;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: check_screenshot SCREENSHOT.png\n");
    return 2;
  }
  const QImage shot(argv[1]);
  if (shot.isNull()) {
    std::fprintf(stderr, "%s: not a readable picture\n", argv[1]);
    return 1;
  }
  const TRegionStats original = Measure(shot, 0.05, 0.12, 0.85, 0.40);
  const TRegionStats processed = Measure(shot, 0.05, 0.62, 0.85, 0.88);
  std::printf("original: %d levels, %.3f dark, %.3f light\n", original.Levels, original.Dark,
              original.Light);
  std::printf("processed: %d levels, %.4f between, %.3f dark, %.3f light\n", processed.Levels,
              processed.Between, processed.Dark, processed.Light);
  bool ok = true;
  if (original.Levels < 16) {
    std::printf("FAIL: the original view shows no page\n");
    ok = false;
  }
  if (processed.Between > 0.01 || processed.Dark < 0.002 || processed.Light < 0.5) {
    std::printf("FAIL: the processed view does not show a black-and-white page\n");
    ok = false;
  }
  return ok ? 0 : 1;
}
